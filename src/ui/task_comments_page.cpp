#include "ui/task_comments_page.h"

#include "model/comments.h"
#include "ui/comments_list.h"

#include <QVBoxLayout>

namespace qm::ui {

task_comments_page::task_comments_page(const task_page_context&, QWidget* parent) : task_dialog_page(parent)
{
    setObjectName(QStringLiteral("task_comments_page"));
    list_ = new comments_list(model::comment_type::task, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
}

QString task_comments_page::description() const
{
    return QStringLiteral("Notes on your progress or any information about the task that should be kept for later. "
                          "This differs from a description in that these are written as the task becomes realized "
                          "instead of before.");
}

void task_comments_page::load(const model::task& t) { list_->set_comments(t.id, t.comments.to_vector()); }

bool task_comments_page::store(model::task& t, QString&)
{
    t.comments = list_->comments();
    return true;
}

}  // namespace qm::ui
