#include "ui/keyboard_menus.h"

#include "model/task.h"
#include "time/format.h"
#include "ui/view.h"

#include <algorithm>

namespace qm::ui {
namespace {

struct filter_line {
    const char* key;
    const char* text;
    int command;
    int bit;
};

constexpr filter_line task_filters[] = {
    {nullptr, "Rows to Hide, by Type", 0, 0},
    {"N", "Notes", filter_cmd::notes, 0x1},
    {"H", "Headers", filter_cmd::headers, 0x2},
    {"D", "Descriptions", filter_cmd::descriptions, 0x4},
    {"C", "Comments", filter_cmd::comments, 0x8},
    {nullptr, "Rows to Hide, by Task Type", 0, 0},
    {"TA", "Appointments", filter_cmd::appointments, 0x10},
    {"TT", "Todos", filter_cmd::todos, 0x20},
    {nullptr, "Rows to Hide, by Task Status", 0, 0},
    {"SU", "Unfinished", filter_cmd::unfinished, 0x40},
    {"SF", "Finished", filter_cmd::finished, 0x80},
    {"SD", "Delegated", filter_cmd::delegated, 0x100},
    {"SW", "Waiting", filter_cmd::waiting, 0x200},
    {"SC", "Canceled", filter_cmd::canceled, 0x400},
};

constexpr filter_line project_filters[] = {
    {nullptr, "Rows to Hide, by Project Status", 0, 0},
    {"SU", "Unfinished", filter_cmd::project_unfinished, 0x40},
    {"SF", "Finished", filter_cmd::project_finished, 0x80},
    {"SD", "Delegated", filter_cmd::project_delegated, 0x100},
    {"SW", "Waiting", filter_cmd::project_waiting, 0x200},
    {"SC", "Canceled", filter_cmd::project_canceled, 0x400},
};

template <std::size_t N>
std::vector<popup_line> filter_lines(view& v, const filter_line (&table)[N])
{
    std::vector<popup_line> out;
    for (const filter_line& f : table) {
        popup_line l;
        l.text = QString::fromLatin1(f.text);
        if (f.key == nullptr) {
            l.kind = popup_kind::heading;
        } else {
            l.key = QString::fromLatin1(f.key);
            l.command = f.command;
            l.chosen = [&v, command = f.command] { v.handle_command(command); };
        }
        out.push_back(std::move(l));
    }
    return out;
}

template <std::size_t N>
int bit_of(const filter_line (&table)[N], int command)
{
    for (const filter_line& f : table)
        if (f.command == command && command != 0)
            return f.bit;
    return 0;
}

// The key and command of a weekday line (1 = Sunday).
struct weekday_line {
    const char* key;
    int command;
};
constexpr weekday_line weekday_lines[] = {{"su", 40064}, {"m", 40065}, {"tu", 40066}, {"w", 40067},
                                          {"th", 40068}, {"f", 40069}, {"sa", 40070}};

popup_line command_line(view& v, const QString& key, const QString& text, int command)
{
    popup_line l;
    l.key = key;
    l.text = text;
    l.command = command;
    l.chosen = [&v, command] { v.handle_command(command); };
    return l;
}

}  // namespace

int task_filter_bit(int command) { return bit_of(task_filters, command); }

int project_filter_bit_of(int command) { return bit_of(project_filters, command); }

int status_filter_bit(int status)
{
    switch (status) {
    case model::status::finished: return 0x80;
    case model::status::delegated: return 0x100;
    case model::status::waiting: return 0x200;
    case model::status::canceled: return 0x400;
    default: return 0x40;
    }
}

std::vector<popup_line> task_list_option_lines(view& v) { return filter_lines(v, task_filters); }

std::vector<popup_line> project_list_option_lines(view& v) { return filter_lines(v, project_filters); }

std::vector<popup_line> date_menu_lines(view& v, time::stored_date today, std::function<void(const QString&)> custom)
{
    std::vector<popup_line> out;
    popup_line title = command_line(v, QString(), QStringLiteral("Date"), 40045);
    title.kind = popup_kind::title;
    out.push_back(std::move(title));
    popup_line heading;
    heading.kind = popup_kind::heading;
    heading.text = QStringLiteral("Move To");
    out.push_back(std::move(heading));
    out.push_back(command_line(v, QStringLiteral("TOD"), QStringLiteral("Today, %1").arg(time::weekday_name(today)),
                               40062));
    popup_line gap;
    gap.kind = popup_kind::separator;
    out.push_back(gap);
    const time::stored_date tomorrow = time::add_days(today, 1);
    out.push_back(command_line(v, QStringLiteral("TOM"),
                               QStringLiteral("Tomorrow, %1").arg(time::weekday_name(tomorrow)), 40063));
    const time::stored_date next_week = time::start_of_week(time::add_days(today, 7));
    for (int k = 2; k <= 8; ++k) {
        const time::stored_date d = time::add_days(today, k);
        const weekday_line& w = weekday_lines[std::clamp(time::fields(d).weekday, 1, 7) - 1];
        out.push_back(command_line(v, QString::fromLatin1(w.key),
                                   QStringLiteral("%1 %2").arg(d < next_week ? QStringLiteral("This") : QStringLiteral("Next"),
                                                               time::weekday_name(d)),
                                   w.command));
    }
    out.push_back(gap);
    out.push_back(command_line(v, QStringLiteral("N"), QStringLiteral("No Date"), 40071));
    popup_line entry;
    entry.kind = popup_kind::entry;
    entry.key = QStringLiteral("C");
    entry.text = QStringLiteral("Custom Date...");
    entry.entered = std::move(custom);
    out.push_back(std::move(entry));
    return out;
}

void open_keyboard_menu(view& v, const QString& caption, std::vector<popup_line> lines)
{
    // The view answers for each line's mark from its current settings.
    for (popup_line& l : lines)
        if (l.command != 0)
            l.marked = v.line_marked(l.command);
    action_popup::run(caption, std::move(lines), &v);
}

}  // namespace qm::ui
