#pragma once
// The habit dialog ("Add habit", and the same for editing): the caption, the
// points, completion or stretch of effort, the kind of work with its items,
// and the three limits. OK refuses a habit without an item.

#include "store/records.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSpinBox;
class QTimeEdit;

namespace qm::model {
class project_store;
class task_recurrences;
class task_store;
}
namespace qm::store {
struct tables;
}

namespace qm::ui {

struct habit_sources {
    const model::task_store& tasks;
    const model::project_store& projects;
    const model::task_recurrences& recurrences;
    const store::tables& tables;
};

// The items a habit of a kind can name: (id, text, colour of its role, indent).
struct habit_item {
    std::int32_t id = 0;
    QString text;
    QColor colour;
    bool indented = false;
};
std::vector<habit_item> habit_items(const habit_sources& s, int kind);
// The name of a habit's item, for the lists.
QString habit_item_name(const habit_sources& s, const store::habit_record& h);

class habit_dialog : public QDialog {
    Q_OBJECT
public:
    habit_dialog(const habit_sources& sources, const store::habit_record& h, bool adding, QWidget* parent = nullptr);

    // The habit as the fields state it.
    store::habit_record habit() const;
    void accept() override;

    QLineEdit* description_edit() const { return description_; }
    QComboBox* kind_box() const { return kind_; }
    QListWidget* item_list() const { return items_; }
    QSpinBox* points_box() const { return points_; }
    QRadioButton* effort_button() const { return effort_; }
    QLineEdit* duration_edit() const { return duration_; }
    QLabel* problem_label() const { return problem_; }

private:
    void fill_items(std::int32_t select);

    habit_sources sources_;
    store::habit_record habit_;
    QLineEdit* description_ = nullptr;
    QSpinBox* points_ = nullptr;
    QRadioButton* completion_ = nullptr;
    QRadioButton* effort_ = nullptr;
    QLineEdit* duration_ = nullptr;
    QComboBox* kind_ = nullptr;
    QListWidget* items_ = nullptr;
    QCheckBox* after_on_ = nullptr;
    QTimeEdit* after_ = nullptr;
    QCheckBox* before_on_ = nullptr;
    QTimeEdit* before_ = nullptr;
    QCheckBox* maximum_on_ = nullptr;
    QSpinBox* maximum_ = nullptr;
    QLabel* problem_ = nullptr;
};

}  // namespace qm::ui
