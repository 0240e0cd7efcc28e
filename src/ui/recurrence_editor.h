#pragma once
// The controls that edit a recurrence pattern: the kind, its parameters,
// the range, the live description, and a master's deadline in days from
// its occurrence date. The Recurrence page of the task dialog is built on it.

#include "time/recurrence.h"

#include <QWidget>

#include <optional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTimeEdit;

namespace qm::ui {

class recurrence_editor : public QWidget {
    Q_OBJECT
public:
    explicit recurrence_editor(QWidget* parent = nullptr);

    // Shows a pattern, or None; new_start is the start a newly chosen pattern
    // begins on. deadline_offset is the master's (0 none); working_end the
    // time a new deadline shows.
    void load(const std::optional<time::recurrence>& r, time::stored_date new_start, std::int64_t deadline_offset,
              int working_end);
    // The deadline controls belong to a master; an occurrence's page hides them.
    void set_deadline_shown(bool shown);
    // The pattern as the controls hold it; nullopt for None.
    std::optional<time::recurrence> pattern() const;
    // The deadline offset the deadline controls hold (0 none): at most 365
    // days, plus the time unless "Any time".
    std::int64_t deadline_offset() const;
    // Why the pattern cannot be saved, or empty.
    QString error() const;
    // The sentence under the controls, without its four leading blanks.
    QString summary() const;
    // Shown when the pattern would never occur again, or not within the search.
    QString notice() const;

    // The controls, for tests that drive them.
    // 0 None, 1 Daily, 2 Weekly, 3 Monthly, 4 Yearly.
    QRadioButton* kind_button(int choice) const;
    QCheckBox* day_box(int weekday) const { return days_[weekday - 1]; }
    QSpinBox* daily_count() const { return daily_n_; }
    QSpinBox* occurrences_box() const { return occurrences_; }
    QDateEdit* begin_edit() const { return begin_; }
    QDateEdit* end_edit() const { return end_; }
    QRadioButton* never_end_button() const { return never_; }
    QRadioButton* end_on_button() const { return end_on_; }
    QCheckBox* deadline_box() const { return deadline_; }
    QSpinBox* deadline_days() const { return deadline_days_; }
    QCheckBox* any_time_box() const { return any_time_; }

signals:
    void changed();

private:
    void update_view();
    void occurrences_typed();
    void end_chosen();
    std::optional<time::recurrence> read() const;

    QButtonGroup* kinds_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    // daily
    QRadioButton* daily_1_ = nullptr;
    QRadioButton* daily_2_ = nullptr;
    QRadioButton* daily_every_ = nullptr;
    QSpinBox* daily_n_ = nullptr;
    // weekly
    QCheckBox* days_[7] = {};
    QRadioButton* weekly_1_ = nullptr;
    QRadioButton* weekly_2_ = nullptr;
    QRadioButton* weekly_every_ = nullptr;
    QSpinBox* weekly_n_ = nullptr;
    // monthly
    QRadioButton* monthly_every_ = nullptr;
    QComboBox* monthly_day_ = nullptr;
    QRadioButton* monthly_the_ = nullptr;
    QComboBox* monthly_position_ = nullptr;
    QComboBox* monthly_weekday_ = nullptr;
    QRadioButton* months_1_ = nullptr;
    QRadioButton* months_2_ = nullptr;
    QRadioButton* months_every_ = nullptr;
    QSpinBox* months_n_ = nullptr;
    // yearly
    QRadioButton* yearly_every_ = nullptr;
    QDateEdit* yearly_date_ = nullptr;
    QRadioButton* yearly_the_ = nullptr;
    QComboBox* yearly_position_ = nullptr;
    QComboBox* yearly_weekday_ = nullptr;
    QComboBox* yearly_month_ = nullptr;
    // range
    QDateEdit* begin_ = nullptr;
    QRadioButton* never_ = nullptr;
    QRadioButton* end_on_ = nullptr;
    QDateEdit* end_ = nullptr;
    QSpinBox* occurrences_ = nullptr;
    // the sentence and the notice
    QLabel* summary_ = nullptr;
    QLabel* notice_ = nullptr;
    // a master's deadline
    QGroupBox* deadline_group_ = nullptr;
    QCheckBox* deadline_ = nullptr;
    QSpinBox* deadline_days_ = nullptr;
    QTimeEdit* deadline_time_ = nullptr;
    QCheckBox* any_time_ = nullptr;

    std::int32_t id_ = 0;
    std::int32_t attached_ = 0;
    bool updating_ = false;
    bool deadline_shown_ = true;
};

}  // namespace qm::ui
