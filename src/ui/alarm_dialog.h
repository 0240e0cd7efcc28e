#pragma once
// The alarm dialog: an alarm's subject, its trigger with the value typed as
// a duration or a date and time, its four actions with browse and test
// buttons, the window and next-transition choices. The kind decides the
// triggers offered: standalone (2), to-do (3), appointment (4); a default
// settings key (16 and up) offers none. Editing a copy; result() gives it.

#include "tracking/alarm.h"

#include <QDialog>

#include <functional>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace qm::ui {

class alarm_dialog : public QDialog {
    Q_OBJECT
public:
    // The trigger choices, in the order the dialog may show them.
    enum choice {
        before_appointment, from_now, on_time, estimate, timer_reaches, timer_whenever, time_reaches,
        timer_started, timer_started_every, finished, status_changes, choice_count
    };

    alarm_dialog(const tracking::Alarm& a, int kind, const model::task_store& tasks, tracking::alarm_actions& tester,
                 QString asset_folder, bool is_new, QWidget* parent = nullptr);

    const tracking::Alarm& result() const { return result_; }
    // The choices this kind offers; the first is selected for a new alarm.
    std::vector<choice> offered() const { return offered_; }
    void select(choice c);
    QRadioButton* choice_button(choice c) const { return buttons_[c]; }
    QLineEdit* value_edit(choice c) const { return values_[c]; }
    QLineEdit* date_edit() const { return date_; }
    QLineEdit* time_edit() const { return time_; }
    QLineEdit* subject_edit() const { return subject_; }
    QCheckBox* window_box() const { return window_; }
    QCheckBox* transition_box() const { return transition_; }
    // Sound, website, file, program.
    QCheckBox* action_box(int i) const { return action_boxes_[i]; }
    QLineEdit* action_edit(int i) const { return action_edits_[i]; }
    QLineEdit* arguments_edit() const { return arguments_; }
    QLineEdit* mend_edit() const { return mend_; }
    QString error_text() const;

    // Tests answer the question about a time that has passed, and see the
    // failures of the test buttons.
    std::function<bool(const QString& text)> confirm;
    std::function<void(const QString& caption, const QString& text)> report;

    // The "!" button of an action.
    void test_action(int i);
    void accept() override;

protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void load(const tracking::Alarm& a);
    void load_actions(const std::vector<tracking::alarm_entry>& entries);
    std::vector<tracking::alarm_entry> entries_of_boxes() const;
    std::optional<tracking::alarm_entry> entry_of(int i) const;
    bool gather(tracking::Alarm& out, QString& error);
    void browse(int i);
    void fail(const QString& text);

    tracking::Alarm original_;
    int kind_;
    const model::task_store& tasks_;
    tracking::alarm_actions& tester_;
    QString asset_folder_;
    bool is_new_;
    tracking::Alarm result_;
    std::vector<choice> offered_;
    QRadioButton* buttons_[choice_count] = {};
    QLineEdit* values_[choice_count] = {};
    QButtonGroup* group_ = nullptr;
    QLineEdit* subject_ = nullptr;
    QLineEdit* date_ = nullptr;
    QLineEdit* time_ = nullptr;
    QCheckBox* transition_ = nullptr;
    QCheckBox* window_ = nullptr;
    QCheckBox* action_boxes_[4] = {};
    QLineEdit* action_edits_[4] = {};
    QLineEdit* arguments_ = nullptr;
    QLabel* mend_label_ = nullptr;
    QLineEdit* mend_ = nullptr;
    QLabel* error_ = nullptr;
};

}  // namespace qm::ui
