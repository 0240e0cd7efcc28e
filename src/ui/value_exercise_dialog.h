#pragma once
// The window of the Value Discovery Exercise (command 40189 in the
// Overview): examples on the left, the user's own values on the right, a box
// to type one more, and the steps that halve the choice. OK turns the chosen
// words into values; Cancel keeps the lists for the next opening.

#include "history/role_commands.h"
#include "model/value_exercise.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace qm::ui {

class value_exercise_dialog : public QDialog {
    Q_OBJECT
public:
    value_exercise_dialog(model::value_exercise& exercise, history::role_commands& commands, QWidget* parent = nullptr);

    QListWidget* left_list() const { return left_; }
    QListWidget* right_list() const { return right_; }
    QLineEdit* new_value() const { return typed_; }
    QLabel* guidance() const { return guidance_; }
    QPushButton* next_button() const { return next_; }
    QPushButton* back_button() const { return back_; }

    // The buttons' work, for the keyboard and for tests.
    void add_typed();
    void move_selected(bool to_right);
    void go_next();
    void go_back();
    // The ids of the values the last OK added.
    const std::vector<std::int32_t>& added() const { return added_; }

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill(const QString& select_right = QString());

    model::value_exercise& exercise_;
    history::role_commands& commands_;
    QLabel* guidance_ = nullptr;
    QLabel* left_caption_ = nullptr;
    QLabel* right_caption_ = nullptr;
    QListWidget* left_ = nullptr;
    QListWidget* right_ = nullptr;
    QLineEdit* typed_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* to_right_ = nullptr;
    QPushButton* to_left_ = nullptr;
    std::vector<std::int32_t> added_;
};

}  // namespace qm::ui
