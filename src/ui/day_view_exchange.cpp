// The Day view's part in the exchange (Cut, Copy, Paste, drags and drops,
// text pasted as tasks) and its keyboard menus.

#include "ui/day_view.h"

#include "history/item_paste.h"
#include "model/text_outline.h"
#include "time/format.h"
#include "time/parse.h"
#include "ui/keyboard_menus.h"
#include "ui/text_paste_progress.h"


namespace qm::ui {

void day_view::set_exchange(item_clipboard& clipboard, history::item_paste& paste)
{
    paste_ = &paste;
    new list_exchange(*list_, *this, clipboard);
}

QString day_view::list_description() const { return time::format_long_date(date_); }

model::item_list day_view::selected_items() const
{
    model::item_list out;
    for (const model::task* t : selected_tasks())
        out.push_back(model::task_item(t->id));
    return out;
}

model::item_descriptor day_view::focused_item() const
{
    const model::task* t = task_at(list_->focus_row());
    return t != nullptr ? model::task_item(t->id) : model::item_descriptor{};
}

QString day_view::items_text(const model::item_list& items) const { return task_names(tasks_, items); }

std::int32_t day_view::row_task(int row) const
{
    return row >= 0 && row < row_count() ? rows_[static_cast<std::size_t>(row)].task_id : 0;
}

void day_view::select_tasks(const std::vector<std::int32_t>& ids)
{
    refresh();
    QVector<int> rows;
    for (std::int32_t id : ids)
        if (const int r = row_of(id); r >= 0)
            rows << r;
    if (rows.isEmpty())
        return;
    list_->set_focus_cell(rows.front(), day_column::task);
    list_->select_rows(rows);
}

void day_view::receive_items(const received_items& r)
{
    if (paste_ == nullptr)
        return;
    // A paste goes after the focus row, a drop after the row it fell on.
    const int row = r.drop ? r.drop_row : list_->focus_row();
    history::day_place place;
    place.date = date_;
    place.after = task_at(row);
    if (place.after == nullptr && row >= 0 && row < row_count() && rows_[static_cast<std::size_t>(row)].kind == 0)
        place.heading_priority = rows_[static_cast<std::size_t>(row)].priority == 0
                                     ? -1
                                     : rows_[static_cast<std::size_t>(row)].priority;
    const QString label = r.drop ? history::item_paste::drop_label(list_description())
                                 : history::item_paste::paste_label(list_description());
    select_tasks(paste_->into_day(r.items, r.cut, place, label));
}

bool day_view::receive_text(const QString& text)
{
    if (paste_ == nullptr)
        return false;
    const time::stored_date date = date_;
    auto new_item = [date] {
        auto t = std::make_shared<model::task>();
        t->date = date;
        t->priority = model::day_priority::b;
        t->priority_value = -1;
        return t;
    };
    report(paste_text_with_progress(*paste_, text, false, new_item, list_description(), this));
    refresh();
    return true;
}

bool day_view::line_marked(int command) const
{
    const int bit = task_filter_bit(command);
    return bit != 0 && (list_->columns().filter_flags & bit) != 0;
}

bool day_view::keyboard_menu_command(int command)
{
    if (const int bit = task_filter_bit(command)) {
        list_->columns().filter_flags ^= bit;
        refresh();
        return true;
    }
    switch (command) {
    case menu_cmd::task_list_options:
        open_keyboard_menu(*this, QStringLiteral("Task List Options"), task_list_option_lines(*this));
        return true;
    case menu_cmd::date_menu:
        open_keyboard_menu(*this, QStringLiteral("Date"), date_menu_lines(*this, time::today(), [this](const QString& text) {
            const time::parsed_date d = time::parse_date(text, time::short_date_pattern(), time::today());
            if (d.failed || text.trimmed().isEmpty())
                report(QStringLiteral("\"%1\" is not a date: type for example today, next fri, 3/15 or dec 25.").arg(text));
            else
                commands_.set_date(selected_tasks(), d.date);
        }));
        return true;
    default:
        return false;
    }
}

}  // namespace qm::ui
