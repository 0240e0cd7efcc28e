// The task lists' part in the exchange: Cut and Copy of the selected tasks,
// and Paste or a drop onto a row, which gives the tasks that row's date.

#include "ui/task_list_view.h"

#include "history/item_paste.h"

namespace qm::ui {

void task_list_view::set_exchange(item_clipboard& clipboard, history::item_paste& paste)
{
    paste_ = &paste;
    new list_exchange(*list_, *this, clipboard);
}

model::item_list task_list_view::selected_items() const
{
    model::item_list out;
    for (const model::task* t : selected_tasks())
        out.push_back(model::task_item(t->id));
    return out;
}

model::item_descriptor task_list_view::focused_item() const
{
    const model::task* t = task_at(list_->focus_row());
    return t != nullptr ? model::task_item(t->id) : model::item_descriptor{};
}

QString task_list_view::items_text(const model::item_list& items) const { return task_names(parts_.tasks, items); }

std::int32_t task_list_view::row_task(int row) const
{
    const node_info* i = info_at(row);
    return i != nullptr && i->kind == 1 ? i->task : 0;
}

void task_list_view::receive_items(const received_items& r)
{
    if (paste_ == nullptr)
        return;
    if (const QString why = paste_refusal(); !why.isEmpty()) {
        report(why);
        return;
    }
    // The row the tasks go to: the focus row for a paste, the row under the
    // pointer for a drop, the last row below the rows.
    int row = r.drop ? r.drop_row : list_->focus_row();
    if (row < 0)
        row = row_count() - 1;
    // As a task added there would go.
    const row_place at = place_at(row);
    history::day_place place;
    place.date = at.date;
    place.after = at.after;
    const QString where = QStringLiteral("the ") + title().toLower();
    const QString label = r.drop ? history::item_paste::drop_label(where) : history::item_paste::paste_label(where);
    const std::vector<std::int32_t> pasted = paste_->into_day(r.items, r.cut, place, label);
    refresh();
    QVector<int> rows;
    for (std::int32_t id : pasted)
        if (const int at = row_of(id); at >= 0)
            rows << at;
    if (!rows.isEmpty()) {
        list_->set_focus_cell(rows.front(), task_column::task);
        list_->select_rows(rows);
    }
}

}  // namespace qm::ui
