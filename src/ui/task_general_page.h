#pragma once
// The General page of the task dialog: the task's own columns.

#include "ui/task_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace qm::ui {

class checked_field;

class task_general_page : public task_dialog_page {
    Q_OBJECT
public:
    task_general_page(const task_page_context& context, QWidget* parent = nullptr);
    QString title() const override { return QStringLiteral("General"); }
    QString description() const override;
    void load(const model::task& t) override;
    bool store(model::task& t, QString& error) override;

    // The fields, for tests that type into them.
    QLineEdit* name_edit() const { return name_; }
    checked_field* date_field() const { return date_; }
    checked_field* estimate_field() const { return estimate_; }
    checked_field* original_estimate_field() const { return original_; }
    checked_field* after_field() const { return after_; }
    checked_field* before_field() const { return before_; }
    checked_field* deadline_field() const { return deadline_; }
    checked_field* impact_field() const { return impact_; }
    QComboBox* status_box() const { return status_; }
    QComboBox* priority_box() const { return priority_; }
    QComboBox* role_box() const { return role_; }
    QCheckBox* splittable_box() const { return splittable_; }
    QPlainTextEdit* description_edit() const { return description_; }

private:
    task_page_context context_;
    model::task loaded_;
    QStringList loaded_texts_;  // the checked fields as loaded
    bool appointment_ = false;
    QLineEdit* name_ = nullptr;
    checked_field* date_ = nullptr;
    QComboBox* priority_ = nullptr;
    checked_field* estimate_ = nullptr;
    checked_field* original_ = nullptr;
    QComboBox* status_ = nullptr;
    QCheckBox* splittable_ = nullptr;
    QLabel* after_label_ = nullptr;
    QLabel* before_label_ = nullptr;
    checked_field* after_ = nullptr;
    checked_field* before_ = nullptr;
    checked_field* deadline_ = nullptr;
    QComboBox* project_ = nullptr;
    QComboBox* project_priority_ = nullptr;
    QComboBox* role_ = nullptr;
    int loaded_role_index_ = 0;
    checked_field* impact_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
};

}  // namespace qm::ui
