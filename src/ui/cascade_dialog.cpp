#include "ui/cascade_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qm::ui {

cascade_dialog::cascade_dialog(history::cascade_action action, bool master, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(master ? QStringLiteral("Task is a master recurrence") : QStringLiteral("Task belongs to a recurrence"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(master ? QStringLiteral("You are changing a master recurrence. How would you like the "
                                                    "changes to cascade?")
                                   : QStringLiteral("You are changing a recurrent task. How would you like the "
                                                    "changes to cascade?"),
                            this);
    text->setWordWrap(true);
    layout->addWidget(text);
    const QString verb = action == history::cascade_action::change ? QStringLiteral("Edit") : QStringLiteral("Remove");
    this_task_ = new QRadioButton(QStringLiteral("%1 this task only").arg(verb), this);
    future_ = new QRadioButton(QStringLiteral("%1 only future tasks").arg(verb), this);
    all_ = new QRadioButton(QStringLiteral("%1 all tasks").arg(verb), this);
    this_task_->setObjectName(QStringLiteral("this_task"));
    future_->setObjectName(QStringLiteral("future_tasks"));
    all_->setObjectName(QStringLiteral("all_tasks"));
    for (QRadioButton* b : {this_task_, future_, all_}) {
        b->setContentsMargins(12, 0, 0, 0);
        layout->addWidget(b);
    }
    if (master) {
        this_task_->hide();
        all_->setChecked(true);
    } else {
        this_task_->setChecked(true);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    setMinimumWidth(380);
}

unsigned cascade_dialog::choice() const
{
    if (this_task_->isChecked() && !this_task_->isHidden())
        return model::cascade::this_task;
    if (future_->isChecked())
        return model::cascade::future_tasks;
    return model::cascade::all_tasks;
}

unsigned ask_cascade(history::cascade_action action, bool master, QWidget* parent)
{
    cascade_dialog d(action, master, parent);
    return d.exec() == QDialog::Accepted ? d.choice() : 0;
}

}  // namespace qm::ui
