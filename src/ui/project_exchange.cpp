#include "ui/project_exchange.h"

#include "model/project_outline.h"
#include "ui/project_list_pane.h"
#include "ui/project_tasks_pane.h"
#include "ui/text_paste_progress.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QStringList>

namespace qm::ui {

// ---- the task list ----

project_tasks_exchange::project_tasks_exchange(project_context& c, project_tasks_pane& pane, history::item_paste& paste)
    : c_(c), pane_(pane), paste_(paste)
{
}

model::item_list project_tasks_exchange::selected_items() const
{
    model::item_list out;
    for (const model::task* t : pane_.selected_tasks())
        out.push_back(model::task_item(t->id, t->parent));
    return out;
}

model::item_descriptor project_tasks_exchange::focused_item() const
{
    const model::task* t = pane_.task_at(pane_.list().focus_row());
    return t != nullptr ? model::task_item(t->id, t->parent) : model::item_descriptor{};
}

QString project_tasks_exchange::items_text(const model::item_list& items) const { return task_names(c_.tasks, items); }

std::int32_t project_tasks_exchange::row_task(int row) const
{
    const model::task* t = pane_.task_at(row);
    return t != nullptr ? t->id : 0;
}

QString project_tasks_exchange::description() const
{
    const model::project_ptr p = c_.projects.find(pane_.project_id());
    return p ? model::project_caption(*p) : QString();
}

void project_tasks_exchange::select(const std::vector<std::int32_t>& ids)
{
    pane_.refresh();
    QVector<int> rows;
    for (std::int32_t id : ids)
        if (const int r = pane_.row_of(id); r >= 0)
            rows << r;
    if (rows.isEmpty())
        return;
    pane_.list().set_focus_cell(rows.front(), project_task_column::task);
    pane_.list().select_rows(rows);
}

void project_tasks_exchange::receive_items(const received_items& r)
{
    const int row = r.drop ? r.drop_row : pane_.list().focus_row();
    const model::task* at = pane_.task_at(row);
    // The project of the row; an empty list still shows its project.
    const std::int32_t project = at != nullptr && at->project != 0 ? at->project : pane_.project_id();
    if (!r.drop) {
        select(paste_.into_project(r.items, r.cut, project, history::item_paste::paste_label(description())));
        return;
    }
    // Onto a folder: into it; onto a task: beside it; below the rows: the top level.
    const model::task* folder = at == nullptr ? nullptr : at->is_folder() ? at : c_.tasks.parent_of(*at);
    select(paste_.into_folder(r.items, r.cut, project, folder, history::item_paste::drop_label(description())));
}

bool project_tasks_exchange::receive_text(const QString& text)
{
    const std::int32_t project = pane_.project_id();
    if (!c_.projects.find(project)) {
        if (pane_.report)
            pane_.report(QStringLiteral("Add a project first: the text goes into the selected project."));
        return true;
    }
    model::task_store& tasks = c_.tasks;
    auto new_item = [project, &tasks] {
        auto t = std::make_shared<model::task>();
        t->project = project;
        t->priority = model::day_priority::b;
        t->priority_value = -1;
        t->project_priority_value = tasks.next_folder_value(*t);
        return t;
    };
    const QString message =
        paste_text_with_progress(paste_, text, true, new_item, description(), &pane_.list());
    pane_.refresh();
    if (pane_.report)
        pane_.report(message);
    return true;
}

bool project_tasks_exchange::copy_as_text(item_clipboard& clipboard) const
{
    const model::project_ptr p = c_.projects.find(pane_.project_id());
    if (!p)
        return false;
    if (QClipboard* board = QGuiApplication::clipboard())
        board->setText(model::project_outline(c_.tasks, *p));
    clipboard.rebuild_cut_set();
    return true;
}

// ---- the project list ----

project_list_exchange::project_list_exchange(project_context& c, project_list_pane& pane, history::item_paste& paste)
    : c_(c), pane_(pane), paste_(paste)
{
}

QString project_list_exchange::items_text(const model::item_list& items) const { return task_names(c_.tasks, items); }

void project_list_exchange::receive_items(const received_items& r)
{
    // A drop goes onto the project under the pointer, a paste onto the focus row's.
    const model::project* p = pane_.project_at(r.drop ? r.drop_row : pane_.list().focus_row());
    if (p == nullptr)
        return;
    const std::vector<std::int32_t> ids = paste_.onto_project(r.items, !r.cut, *p);
    if (report && !ids.empty())
        report(QStringLiteral("%1 %2 now in %3.")
                   .arg(ids.size())
                   .arg(ids.size() == 1 ? QStringLiteral("task is") : QStringLiteral("tasks are"))
                   .arg(model::project_caption(*p)));
}

}  // namespace qm::ui
