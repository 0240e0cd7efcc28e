#include "ui/task_lists.h"

#include "app/settings_document.h"
#include "model/task_recurrences.h"
#include "time/calendar.h"
#include "time/format.h"

#include <algorithm>
#include <map>

namespace qm::ui {

using namespace task_column;

QString date_heading(time::stored_date d)
{
    if (d == time::RECURRENCE_MASTER_DATE)
        return QStringLiteral("Recurring Tasks");
    if (d <= time::NO_DATE)
        return QStringLiteral("No Date");
    // Whole days from today: a heading names a day, not a moment.
    const std::int64_t days = (d - time::today()) / 86400;
    const QString when = days == 0    ? QStringLiteral("Today")
                         : days == 1  ? QStringLiteral("Tomorrow")
                         : days == -1 ? QStringLiteral("Yesterday")
                         : days > 1   ? QStringLiteral("in %1 days").arg(days)
                                      : QStringLiteral("%1 days ago").arg(-days);
    return QStringLiteral("%1 \u2014 %2").arg(time::format_long_date(d), when);
}

std::vector<std::pair<time::stored_date, std::vector<model::task*>>> tasks_by_date(
    const std::vector<model::task*>& tasks)
{
    // Dated groups first, in date order; then the undated; masters last.
    auto rank = [](time::stored_date d) {
        return d == time::RECURRENCE_MASTER_DATE ? 2 : d <= time::NO_DATE ? 1 : 0;
    };
    std::map<std::pair<int, time::stored_date>, std::vector<model::task*>> groups;
    for (model::task* t : tasks) {
        const time::stored_date d = t->date == time::RECURRENCE_MASTER_DATE ? t->date
                                    : t->date <= time::NO_DATE             ? time::NO_DATE
                                                                           : t->date;
        groups[{rank(d), d}].push_back(t);
    }
    std::vector<std::pair<time::stored_date, std::vector<model::task*>>> out;
    for (auto& [key, group] : groups) {
        std::sort(group.begin(), group.end(), [](const model::task* a, const model::task* b) {
            if (a->appointment != b->appointment)
                return a->appointment;  // appointments first, by their time
            if (a->appointment)
                return a->appointment_start < b->appointment_start;
            if (a->priority != b->priority)
                return a->priority < b->priority;
            if (a->priority_value != b->priority_value)
                return a->priority_value < b->priority_value;
            return a->id < b->id;
        });
        out.emplace_back(key.second, std::move(group));
    }
    return out;
}

namespace {

const QString options_block = QStringLiteral("options");

// The columns a list of tasks over many days shows at first.
const std::vector<int> date_list_columns = {status, task,    date, day_priority, estimate,
                                            time,   deadline, project, role,        tags};

}  // namespace

// ---- the task list ----

all_tasks_view::all_tasks_view(task_list_parts parts, QString settings_file, QWidget* parent)
    : task_list_view(id, QStringLiteral("Task List"), parts, std::move(settings_file), task_columns(date_list_columns),
                     parent)
{
    finish_setup(0);
}

void all_tasks_view::set_grouped(bool on)
{
    grouped_ = on;
    refresh();
}

std::vector<task_list_view::task_group> all_tasks_view::collect() const
{
    std::vector<model::task*> tasks;
    time::stored_date first = 0, last = 0;
    for (const model::task_ptr& t : parts().tasks.all()) {
        if (!listable(*t))
            continue;
        tasks.push_back(t.get());
        if (t->date > time::NO_DATE) {
            first = first == 0 ? t->date : std::min(first, t->date);
            last = std::max(last, t->date);
        }
    }
    range_ = first == 0 ? QStringLiteral("every task")
             : first == last
                 ? QStringLiteral("every task, dated %1").arg(time::format_short_date(first))
                 : QStringLiteral("every task, dated %1 \u2013 %2")
                       .arg(time::format_short_date(first), time::format_short_date(last));
    std::vector<task_group> out;
    if (!grouped_) {
        day_order(tasks);
        out.push_back({QStringLiteral("all"), QString(), false, 0, std::move(tasks)});
        return out;
    }
    for (auto& [d, group] : tasks_by_date(tasks)) {
        const bool dated = d > time::NO_DATE;
        out.push_back({QString::number(d), date_heading(d), false, dated ? d : 0, std::move(group)});
    }
    return out;
}

void all_tasks_view::add_option_lines(std::vector<popup_line>& lines)
{
    lines.push_back({QStringLiteral("G"), QStringLiteral("Group by Date"), grouped_ ? QStringLiteral("\u2713") : QString(),
                     [this] { set_grouped(!grouped_); }});
}

void all_tasks_view::load_extra(const app::settings_document& doc)
{
    grouped_ = doc.get_int(options_block, QStringLiteral("group_by_date"), 1) != 0;
}

void all_tasks_view::save_extra(app::settings_document& doc) const
{
    doc.set_int(options_block, QStringLiteral("group_by_date"), grouped_ ? 1 : 0);
}

// ---- the upcoming list ----

upcoming_view::upcoming_view(task_list_parts parts, QString settings_file, QWidget* parent)
    : task_list_view(id, QStringLiteral("Upcoming Tasks"), parts, std::move(settings_file),
                     task_columns(date_list_columns), parent)
{
    // What is done is out of the way at first; Task List Options bring it back.
    finish_setup(0x80 | 0x400);
}

void upcoming_view::set_days(int days)
{
    days_ = std::clamp(days, 1, 366);
    refresh();
}

QString upcoming_view::range_text() const
{
    const time::stored_date today = time::today();
    return QStringLiteral("%1 \u2013 %2").arg(time::format_short_date(today),
                                              time::format_short_date(time::add_days(today, days_ - 1)));
}

std::vector<task_list_view::task_group> upcoming_view::collect() const
{
    const time::stored_date today = time::today();
    const time::stored_time now = time::now();
    std::vector<time::stored_date> days;
    for (int i = 0; i < days_; ++i)
        days.push_back(time::add_days(today, i));
    // Looking at a day makes its recurring tasks, as the Day view does, but
    // only once the user does look: a list hidden behind another tab adds
    // nothing to the file.
    if (isVisible())
        for (time::stored_date d : days)
            if (!parts().tasks.looked_at(d))
                parts().tasks.look_at(d);

    auto open = [](const model::task& t) {
        return t.status != model::status::finished && t.status != model::status::canceled;
    };
    auto overdue = [&](const model::task& t) {
        const bool dated_before = t.date > time::NO_DATE && t.date < today;
        return open(t) && !model::task_recurrences::is_master(t) && (dated_before || (t.deadline != 0 && t.deadline < now));
    };
    std::vector<model::task*> late;
    for (const model::task_ptr& t : parts().tasks.all())
        if (listable(*t) && overdue(*t))
            late.push_back(t.get());
    std::sort(late.begin(), late.end(), [](const model::task* a, const model::task* b) {
        return a->date != b->date ? a->date < b->date : a->id < b->id;
    });

    std::vector<task_group> out;
    if (!late.empty())
        out.push_back({QStringLiteral("overdue"), QStringLiteral("Overdue"), true, today, std::move(late)});
    for (time::stored_date d : days) {
        std::vector<model::task*> tasks;
        for (model::task* t : parts().tasks.tasks_of_date(d))
            if (listable(*t) && !overdue(*t))
                tasks.push_back(t);
        day_order(tasks);
        out.push_back({QString::number(d), date_heading(d), false, d, std::move(tasks)});
    }
    return out;
}

void upcoming_view::add_option_lines(std::vector<popup_line>& lines)
{
    const struct {
        const char* key;
        const char* text;
        int days;
    } spans[] = {{"W", "Show One Week", 7}, {"F", "Show Two Weeks", 14}, {"M", "Show a Month", 31}};
    for (const auto& s : spans) {
        const int days = s.days;
        lines.push_back({QString::fromLatin1(s.key), QString::fromLatin1(s.text),
                         days_ == days ? QStringLiteral("\u2713") : QString(), [this, days] { set_days(days); }});
    }
}

void upcoming_view::load_extra(const app::settings_document& doc)
{
    days_ = std::clamp(doc.get_int(options_block, QStringLiteral("days"), 14), 1, 366);
}

void upcoming_view::save_extra(app::settings_document& doc) const
{
    doc.set_int(options_block, QStringLiteral("days"), days_);
}

}  // namespace qm::ui
