#pragma once
// The Comments page of the task dialog: the task's dated comments, added,
// edited and deleted on the working copy.

#include "ui/task_dialog.h"

namespace qm::ui {

class comments_list;

class task_comments_page : public task_dialog_page {
    Q_OBJECT
public:
    task_comments_page(const task_page_context& context, QWidget* parent = nullptr);
    QString title() const override { return QStringLiteral("Comments"); }
    QString description() const override;
    void load(const model::task& t) override;
    bool store(model::task& t, QString& error) override;
    comments_list* comments() const { return list_; }

private:
    comments_list* list_ = nullptr;
};

}  // namespace qm::ui
