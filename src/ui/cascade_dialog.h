#pragma once
// The cascade question: how a change or a removal of one task of a
// recurrence reaches the others.

#include "history/recurrence_commands.h"

#include <QDialog>

class QRadioButton;

namespace qm::ui {

class cascade_dialog : public QDialog {
    Q_OBJECT
public:
    cascade_dialog(history::cascade_action action, bool master, QWidget* parent = nullptr);
    // The chosen model::cascade flag.
    unsigned choice() const;

private:
    QRadioButton* this_task_ = nullptr;
    QRadioButton* future_ = nullptr;
    QRadioButton* all_ = nullptr;
};

// Shows the question modally; 0 when cancelled.
unsigned ask_cascade(history::cascade_action action, bool master, QWidget* parent = nullptr);

}  // namespace qm::ui
