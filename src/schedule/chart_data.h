#pragma once
// What the Charts tab plots: series of per-task values (tracked, estimated
// and uninterrupted time, impact, tasks finished and started, and the gaps
// of the working day) summed per date over a range and bucketed by day, week
// or month. Reads the task store and writes nothing. Main thread only, like
// the store it reads.

#include "time/calendar.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace qm::model {
struct task;
class task_store;
}  // namespace qm::model

namespace qm::schedule {

namespace series_kind {
constexpr int total_time = 0;
constexpr int uninterrupted_time = 1;
constexpr int estimated_time = 3;
constexpr int gaps = 4;
constexpr int impact = 5;
constexpr int tasks_finished = 6;
constexpr int tasks_started = 7;
}  // namespace series_kind

// "Total time", "Uninterrupted time", …; empty for an unknown kind.
QString series_label(int kind);
// Every kind, in the order the series menu offers them.
const std::vector<int>& series_kinds();
// The kinds of a new group: 0, 1, 3, 5, 6 and 7.
const std::vector<int>& default_series_kinds();
// Whether the kind's values are hours (the rest are counts and impact).
bool series_in_hours(int kind);

namespace granularity {
constexpr int by_day = 1;
constexpr int by_week = 2;
constexpr int by_month = 3;
}  // namespace granularity

// Colours are 0x00BBGGRR, as roles keep them.
const std::array<std::int32_t, 10>& series_palette();

struct chart_series {
    int kind = series_kind::total_time;
    std::int32_t color = 0;
    bool visible = true;
    bool operator==(const chart_series& o) const { return kind == o.kind && color == o.color && visible == o.visible; }
};

// The series of one task source: a project's tasks, or (project 0) every
// task dated in the range, "Selected Range".
struct series_group {
    std::int32_t project = 0;
    std::vector<chart_series> series;
    bool operator==(const series_group& o) const { return project == o.project && series == o.series; }
};

// The group of a new chart: the selected range with the default kinds, in
// the first palette colours.
series_group default_group();
// A project's group: the default kinds, switched off until the user picks them.
series_group project_group(std::int32_t project);
// The first palette colour not worn by another visible series (skipping
// `except`); the first colour again when all ten are taken.
std::int32_t free_series_color(const std::vector<series_group>& groups, const chart_series* except = nullptr);

struct chart_range {
    time::stored_date start = 0;
    time::stored_date end = 0;
    bool operator==(const chart_range& o) const { return start == o.start && end == o.end; }
};

// Days between start and end (end − start); under 60 by day, under 365 by
// week, otherwise by month.
std::int64_t range_length(const chart_range& r);
int automatic_granularity(const chart_range& r);

// The items of the range menu, in order, "This Week" … "Everything".
const QStringList& preset_range_names();
// The range of a menu item ending today; nothing for an unknown name.
// "Everything" starts at earliest (the first dated task), or today without one.
std::optional<chart_range> preset_range(const QString& name, time::stored_date today, time::stored_date earliest);
// The first date of any task, leaving out the special dates of undated
// tasks, folders and recurrence masters; 0 when there is none.
time::stored_date earliest_task_date(const model::task_store& tasks);
// Whether a date is one of those special dates rather than a day.
bool is_special_date(time::stored_date d);

// ---- the per-task values both the charts and the report use ----

// The seconds of the task's tracked times that fall on day d.
std::int64_t tracked_on_day(const model::task& t, time::stored_date d);
// The sum of every entry; for a folder, the sum of its children's totals.
std::int64_t total_tracked_time(const model::task_store& tasks, const model::task& t);
// Tracked time on d; else a finished appointment's length; else a finished
// task's effective estimate; else 0.
std::int64_t day_credit(const model::task_store& tasks, const model::task& t, time::stored_date d);

// ---- the chart ----

// One plotted period: its first and last day (the last dates the period).
struct chart_bucket {
    time::stored_date first = 0;
    time::stored_date last = 0;
};

// Which series a column of values belongs to.
struct series_ref {
    std::size_t group = 0;
    std::size_t index = 0;
};

struct chart_data {
    int granularity = granularity::by_day;
    chart_range range;
    std::vector<chart_bucket> buckets;
    std::vector<series_ref> series;           // every series of every group, in order
    std::vector<std::vector<double>> values;  // per series, one value per bucket
    std::vector<double> largest;              // per series, its largest bucket value (0 at least)
    std::vector<double> totals;               // per series, the sum over the range

    // The index of a series in the flat lists, or -1.
    int index_of(std::size_t group, std::size_t index) const;
};

// What the "Gaps" series needs of the options and the clock.
struct working_day {
    int working_start = 28800;
    int working_end = 64800;
    time::stored_time now = 0;  // the gaps of today end here; later days have none
};

chart_data compute_chart(const model::task_store& tasks, const std::vector<series_group>& groups,
                         const chart_range& range, int granularity, const working_day& day = {});

// "<No Data>" stands instead of the chart: no period, or no visible series.
bool no_data(const chart_data& data, const std::vector<series_group>& groups);

// ---- the texts of the chart ----

// The axis label of a period: by day "%d\n%b\n%Y", by week "#" + the week
// number + 1 and the year on a second line, by month "%b\n%Y".
QString bucket_label(const chart_bucket& b, int granularity);
// The label on one line, for tooltips and the summary table.
QString bucket_caption(const chart_bucket& b, int granularity);
// The band above weekly periods: "%B %Y" of the period's week.
QString month_band_label(const chart_bucket& b);
// The date that names a weekly period (the start of its week).
time::stored_date week_of(const chart_bucket& b);
// A value as the chart prints it, "%.2f".
QString value_text(double v);

}  // namespace qm::schedule
