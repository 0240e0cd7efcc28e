#pragma once
// The project properties dialog: name, role (when roles exist), deadline,
// status with the finished stamp, "No date", description and the method of
// the top-level tasks. OK saves the change as one undoable command; its size
// is kept in its own settings file.

#include "ui/project_tools.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace qm::ui {

class comments_list;

class project_dialog : public QDialog {
    Q_OBJECT
public:
    project_dialog(project_context& c, const model::project& p, QString settings_file, QWidget* parent = nullptr);

    // Checks the fields and saves; false (with the reason shown) keeps the dialog open.
    bool save();
    void accept() override;
    void done(int result) override;

    QLineEdit* name_edit() const { return name_; }
    QLineEdit* deadline_edit() const { return deadline_; }
    QComboBox* status_box() const { return status_; }
    QLabel* problem_label() const { return problem_; }
    comments_list* comments() const { return comments_; }

private:
    void show_finished();

    project_context& c_;
    std::int32_t id_;
    QString settings_file_;
    QLineEdit* name_ = nullptr;
    QComboBox* role_ = nullptr;
    QLineEdit* deadline_ = nullptr;
    QCheckBox* no_date_ = nullptr;
    QComboBox* status_ = nullptr;
    QLabel* finished_ = nullptr;
    QComboBox* method_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
    comments_list* comments_ = nullptr;
    QLabel* problem_ = nullptr;
    time::stored_time finished_stamp_ = 0;
};

}  // namespace qm::ui
