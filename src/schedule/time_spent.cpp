#include "schedule/time_spent.h"

#include "model/project_store.h"
#include "model/role_store.h"
#include "model/task_store.h"
#include "schedule/chart_data.h"

#include <algorithm>
#include <map>

namespace qm::schedule {

const QStringList& report_range_names()
{
    static const QStringList names{QStringLiteral("Today"), QStringLiteral("Yesterday"), QStringLiteral("Last 7 Days"),
                                   QStringLiteral("Last 30 Days")};
    return names;
}

day_span report_days(int range, time::stored_date today)
{
    switch (range) {
    case report_range::yesterday: return {time::add_days(today, -1), time::add_days(today, -1)};
    case report_range::last_7_days: return {time::add_days(today, -7), time::add_days(today, -1)};
    case report_range::last_30_days: return {time::add_days(today, -30), time::add_days(today, -1)};
    default: return {today, today};
    }
}

QString report_heading(int kind)
{
    switch (kind) {
    case report_group::life_area: return QStringLiteral("Time Spent, by Life Area");
    case report_group::role: return QStringLiteral("Time Spent, by Role");
    case report_group::project: return QStringLiteral("Time Spent, by Project");
    default: return QStringLiteral("Time Spent, by Project Folder");
    }
}

time_spent_report compute_time_spent(const report_sources& sources, const day_span& days, time::stored_date today,
                                     std::int64_t preferable_workload)
{
    time_spent_report out;
    out.days = days;
    // id → seconds, per group; role 0 collects the time of tasks without one.
    std::map<std::int32_t, std::int64_t> sums[4];
    for (time::stored_date d = days.first; d > 0 && d <= days.last; d = time::next_day(d)) {
        if (is_special_date(d))
            continue;
        for (const model::task* t : sources.tasks.tasks_of_date(d)) {
            const std::int64_t c = day_credit(sources.tasks, *t, d);
            if (c == 0)
                continue;
            if (t->parent != 0 && sources.tasks.find(t->parent))
                sums[report_group::folder][t->parent] += c;
            if (t->project != 0 && sources.projects.find(t->project))
                sums[report_group::project][t->project] += c;
            const store::role_record& role = sources.roles.find(sources.tasks.effective_role(*t));
            sums[report_group::role][role.id] += c;
            // A role outside any life area adds nothing to that group.
            if (role.id != 0 && model::role_store::is_life_area(role))
                sums[report_group::life_area][role.id] += c;
            else if (role.id != 0 && role.parent > 0 && sources.roles.find(role.parent).id != 0)
                sums[report_group::life_area][role.parent] += c;
        }
    }

    for (int kind = 0; kind < 4; ++kind) {
        time_spent_group group;
        group.kind = kind;
        group.heading = report_heading(kind);
        for (const auto& [id, seconds] : sums[kind]) {
            report_row row;
            row.id = id;
            row.seconds = seconds;
            if (kind == report_group::folder) {
                row.name = sources.tasks.find(id)->name;
            } else if (kind == report_group::project) {
                row.name = model::project_caption(*sources.projects.find(id));
            } else if (id == 0) {
                row.name = QStringLiteral("<No Role>");
            } else {
                const store::role_record& r = sources.roles.find(id);
                row.name = r.name;
                row.color = r.background_color;
                row.text_color = r.foreground_color;
            }
            group.rows.push_back(row);
        }
        std::stable_sort(group.rows.begin(), group.rows.end(), [](const report_row& a, const report_row& b) {
            if (a.seconds != b.seconds)
                return a.seconds > b.seconds;
            return QString::localeAwareCompare(a.name, b.name) < 0;
        });
        for (const report_row& r : group.rows)
            out.largest = std::max(out.largest, r.seconds);
        if (kind == report_group::role)
            out.shares = group.rows;
        if (!group.rows.empty())
            out.groups.push_back(std::move(group));
    }

    for (const report_row& r : out.shares)
        out.scale += r.seconds;
    if (days.first == today && days.last == today)
        out.scale = std::max(out.scale, preferable_workload);
    return out;
}

}  // namespace qm::schedule
