#include "schedule/chart_data.h"

#include "model/role_store.h"
#include "model/task_store.h"
#include "time/format.h"

#include <algorithm>
#include <utility>

namespace qm::schedule {

QString series_label(int kind)
{
    switch (kind) {
    case series_kind::total_time: return QStringLiteral("Total time");
    case series_kind::uninterrupted_time: return QStringLiteral("Uninterrupted time");
    case series_kind::estimated_time: return QStringLiteral("Estimated time");
    case series_kind::gaps: return QStringLiteral("Gaps");
    case series_kind::impact: return QStringLiteral("Impact");
    case series_kind::tasks_finished: return QStringLiteral("Tasks finished");
    case series_kind::tasks_started: return QStringLiteral("Tasks started");
    default: return {};
    }
}

const std::vector<int>& series_kinds()
{
    static const std::vector<int> kinds{0, 1, 3, 4, 5, 6, 7};
    return kinds;
}

const std::vector<int>& default_series_kinds()
{
    static const std::vector<int> kinds{0, 1, 3, 5, 6, 7};
    return kinds;
}

bool series_in_hours(int kind) { return kind <= series_kind::gaps; }

const std::array<std::int32_t, 10>& series_palette()
{
    using model::rgb;
    static const std::array<std::int32_t, 10> palette{rgb(154, 183, 214), rgb(0, 128, 255),  rgb(170, 230, 89),
                                                      rgb(0, 174, 0),     rgb(0, 0, 221),    rgb(244, 132, 197),
                                                      rgb(140, 26, 255),  rgb(255, 255, 64), rgb(239, 180, 0),
                                                      rgb(215, 0, 0)};
    return palette;
}

std::int32_t free_series_color(const std::vector<series_group>& groups, const chart_series* except)
{
    for (std::int32_t c : series_palette()) {
        bool used = false;
        for (const series_group& g : groups)
            for (const chart_series& s : g.series)
                if (&s != except && s.visible && s.color == c)
                    used = true;
        if (!used)
            return c;
    }
    return series_palette()[0];
}

series_group default_group()
{
    series_group g;
    std::size_t i = 0;
    for (int kind : default_series_kinds())
        g.series.push_back({kind, series_palette()[i++], true});
    return g;
}

series_group project_group(std::int32_t project)
{
    series_group g;
    g.project = project;
    std::size_t i = 0;
    for (int kind : default_series_kinds())
        g.series.push_back({kind, series_palette()[i++], false});
    return g;
}

std::int64_t range_length(const chart_range& r) { return (r.end - r.start) / time::seconds_per_day; }

int automatic_granularity(const chart_range& r)
{
    const std::int64_t days = range_length(r);
    if (days < 60)
        return granularity::by_day;
    if (days < 365)
        return granularity::by_week;
    return granularity::by_month;
}

const QStringList& preset_range_names()
{
    static const QStringList names{
        QStringLiteral("This Week"),    QStringLiteral("This Month"),    QStringLiteral("This Year"),
        QStringLiteral("Last 7 Days"),  QStringLiteral("Last 14 Days"),  QStringLiteral("Last 30 Days"),
        QStringLiteral("Last 60 Days"), QStringLiteral("Last 90 Days"),  QStringLiteral("Last 120 Days"),
        QStringLiteral("Last 365 Days"), QStringLiteral("Last 2 Years"), QStringLiteral("Last 3 Years"),
        QStringLiteral("Last 5 Years"), QStringLiteral("Everything")};
    return names;
}

std::optional<chart_range> preset_range(const QString& name, time::stored_date today, time::stored_date earliest)
{
    if (!preset_range_names().contains(name))
        return std::nullopt;
    const time::calendar_fields f = time::fields(today);
    chart_range r{today, today};
    if (name == QLatin1String("This Week")) {
        r.start = time::start_of_week(today);
    } else if (name == QLatin1String("This Month")) {
        r.start = time::make_date(f.year, f.month, 1);
    } else if (name == QLatin1String("This Year")) {
        r.start = time::make_date(f.year, 1, 1);
    } else if (name == QLatin1String("Everything")) {
        r.start = earliest != 0 && earliest < today ? earliest : today;
    } else {
        // "Last 14 Days", "Last 3 Years": the number from the item's text.
        const QStringList words = name.split(QLatin1Char(' '));
        const int n = words.value(1).toInt();
        if (words.value(2) == QLatin1String("Days")) {
            r.start = time::add_days(today, -n);
        } else {
            // 29 February has no twin in most years: 28 February stands in.
            const int day = f.month == 2 && f.day == 29 ? 28 : f.day;
            r.start = time::make_date(f.year - n, f.month, day);
        }
    }
    if (r.start < 0 || r.start > r.end)
        r.start = r.end;
    return r;
}

bool is_special_date(time::stored_date d)
{
    return d == time::NO_DATE || d == time::FOLDER_DATE || d == time::RECURRENCE_MASTER_DATE;
}

time::stored_date earliest_task_date(const model::task_store& tasks)
{
    time::stored_date first = 0;
    for (const model::task_ptr& t : tasks.all())
        if (!is_special_date(t->date) && t->date > 0 && (first == 0 || t->date < first))
            first = t->date;
    return first;
}

std::int64_t tracked_on_day(const model::task& t, time::stored_date d)
{
    // The part of each entry inside the day: an entry over midnight gives
    // each day its share, and a day it runs through entirely counts whole.
    const time::stored_time day_end = d + time::seconds_per_day;
    std::int64_t sum = 0;
    for (const store::tracked_time_record& e : t.tracked_times) {
        const time::stored_time start = e.start;
        const time::stored_time end = e.start + std::max<std::int64_t>(0, e.duration);
        const time::stored_time from = std::max(start, d);
        const time::stored_time to = std::min(end, day_end);
        if (to > from)
            sum += to - from;
    }
    return sum;
}

std::int64_t total_tracked_time(const model::task_store& tasks, const model::task& t)
{
    if (t.is_folder()) {
        std::int64_t sum = 0;
        for (const model::task* c : tasks.children(t))
            sum += total_tracked_time(tasks, *c);
        return sum;
    }
    std::int64_t sum = 0;
    for (const store::tracked_time_record& e : t.tracked_times)
        sum += e.duration;
    return sum;
}

std::int64_t day_credit(const model::task_store& tasks, const model::task& t, time::stored_date d)
{
    if (const std::int64_t tracked = tracked_on_day(t, d); tracked != 0)
        return tracked;
    if (!t.is_finished())
        return 0;
    if (t.appointment && !t.is_folder())
        return std::max(0, t.appointment_duration);
    return tasks.effective_estimate(t);
}

int chart_data::index_of(std::size_t group, std::size_t index) const
{
    for (std::size_t i = 0; i < series.size(); ++i)
        if (series[i].group == group && series[i].index == index)
            return static_cast<int>(i);
    return -1;
}

namespace {

double task_value(const model::task_store& tasks, const model::task& t, int kind)
{
    constexpr double hour = 3600.0;
    switch (kind) {
    case series_kind::total_time: return static_cast<double>(total_tracked_time(tasks, t)) / hour;
    case series_kind::uninterrupted_time: return static_cast<double>(tracked_on_day(t, t.date)) / hour;
    case series_kind::estimated_time: return static_cast<double>(tasks.effective_estimate(t)) / hour;
    case series_kind::impact: return static_cast<double>(tasks.finished_impact(t));
    case series_kind::tasks_finished: return t.is_finished() ? 1.0 : 0.0;
    case series_kind::tasks_started: return day_credit(tasks, t, t.date) != 0 ? 1.0 : 0.0;
    default: return 0.0;  // gaps belong to the day, not to a task
    }
}

// The working time of each day of the range that neither an appointment nor
// any tracked time covers, in hours: what the day schedule would have had
// free. Today counts up to now; later days have no gaps yet.
std::vector<double> gap_hours(const model::task_store& tasks, const chart_range& range, std::size_t days,
                              const working_day& wd)
{
    using span = std::pair<std::int64_t, std::int64_t>;  // seconds since the day's midnight
    std::vector<std::vector<span>> busy(days);
    const time::stored_time range_end = range.end + time::seconds_per_day;
    auto add = [&](time::stored_time from, time::stored_time to) {
        from = std::max(from, range.start);
        to = std::min(to, range_end);
        while (from < to) {
            const time::stored_date d = time::date_of(from);
            const time::stored_time cut = std::min(to, d + time::seconds_per_day);
            busy[static_cast<std::size_t>((d - range.start) / time::seconds_per_day)].push_back({from - d, cut - d});
            from = cut;
        }
    };
    for (const model::task_ptr& t : tasks.all())
        for (const store::tracked_time_record& e : t->tracked_times)
            if (e.duration > 0)
                add(e.start, e.start + e.duration);
    for (std::size_t i = 0; i < days; ++i) {
        const time::stored_date d = time::add_days(range.start, static_cast<std::int64_t>(i));
        for (const model::task* t : tasks.tasks_of_date(d))
            if (t->appointment && !t->is_folder() && t->appointment_start >= 0 && t->appointment_duration > 0)
                add(d + t->appointment_start, d + t->appointment_start + t->appointment_duration);
    }

    std::vector<double> out(days, 0.0);
    const time::stored_date today = time::date_of(wd.now);
    for (std::size_t i = 0; i < days; ++i) {
        const time::stored_date d = time::add_days(range.start, static_cast<std::int64_t>(i));
        if (wd.now != 0 && d > today)
            break;
        const std::int64_t open = std::max(0, wd.working_start);
        std::int64_t close = std::min(86400, wd.working_end);
        if (wd.now != 0 && d == today)
            close = std::min(close, wd.now - d);
        if (close <= open)
            continue;
        std::vector<span>& spans = busy[i];
        std::sort(spans.begin(), spans.end());
        std::int64_t covered = 0, reach = open;
        for (const span& s : spans) {
            const std::int64_t from = std::max(s.first, reach);
            const std::int64_t to = std::min(s.second, close);
            if (to > from) {
                covered += to - from;
                reach = to;
            }
        }
        out[i] = static_cast<double>(close - open - covered) / 3600.0;
    }
    return out;
}

// Whether the period that holds d ends with it.
bool closes_bucket(time::stored_date d, int granularity)
{
    const time::stored_date next = time::next_day(d);
    switch (granularity) {
    case granularity::by_week: return time::fields(next).weekday == time::first_day_of_week();
    case granularity::by_month: return time::fields(next).month != time::fields(d).month;
    default: return true;
    }
}

}  // namespace

chart_data compute_chart(const model::task_store& tasks, const std::vector<series_group>& groups,
                         const chart_range& range, int granularity, const working_day& wd)
{
    chart_data out;
    out.granularity = granularity;
    out.range = range;
    for (std::size_t g = 0; g < groups.size(); ++g)
        for (std::size_t s = 0; s < groups[g].series.size(); ++s)
            out.series.push_back({g, s});
    const std::size_t count = out.series.size();
    out.values.assign(count, {});
    out.largest.assign(count, 0.0);
    out.totals.assign(count, 0.0);
    if (range.start <= 0 || range.end < range.start)
        return out;
    const auto days = static_cast<std::size_t>(range_length(range) + 1);

    // 1. The points: each series' value per date of the range.
    std::vector<std::vector<double>> daily(count, std::vector<double>(days, 0.0));
    std::vector<double> gaps;
    bool want_gaps = false;
    for (const series_ref& r : out.series)
        want_gaps = want_gaps || groups[r.group].series[r.index].kind == series_kind::gaps;
    if (want_gaps)
        gaps = gap_hours(tasks, range, days, wd);

    std::size_t flat = 0;
    for (const series_group& g : groups) {
        std::vector<const model::task*> source;
        if (g.project == 0) {
            for (std::size_t i = 0; i < days; ++i) {
                const time::stored_date d = time::add_days(range.start, static_cast<std::int64_t>(i));
                if (is_special_date(d))
                    continue;
                for (const model::task* t : tasks.tasks_of_date(d))
                    source.push_back(t);
            }
        } else {
            for (const model::task* t : tasks.tasks_of_project(g.project))
                if (t->date >= range.start && t->date <= range.end && !is_special_date(t->date))
                    source.push_back(t);
        }
        for (const chart_series& s : g.series) {
            std::vector<double>& points = daily[flat++];
            if (s.kind == series_kind::gaps) {
                points = gaps;
                continue;
            }
            for (const model::task* t : source)
                points[static_cast<std::size_t>((t->date - range.start) / time::seconds_per_day)] +=
                    task_value(tasks, *t, s.kind);
        }
    }

    // 2. The periods: a running sum per series, closed at the end of each
    // day, week or month and at the end of the range.
    std::vector<double> sums(count, 0.0);
    time::stored_date first = range.start;
    for (std::size_t i = 0; i < days; ++i) {
        const time::stored_date d = time::add_days(range.start, static_cast<std::int64_t>(i));
        for (std::size_t s = 0; s < count; ++s)
            sums[s] += daily[s][i];
        if (i + 1 == days || closes_bucket(d, granularity)) {
            out.buckets.push_back({first, d});
            for (std::size_t s = 0; s < count; ++s) {
                out.values[s].push_back(sums[s]);
                out.totals[s] += sums[s];
                // 3. The largest value scales the series.
                out.largest[s] = std::max(out.largest[s], sums[s]);
                sums[s] = 0.0;
            }
            first = time::next_day(d);
        }
    }
    return out;
}

bool no_data(const chart_data& data, const std::vector<series_group>& groups)
{
    if (data.buckets.empty())
        return true;
    for (const series_ref& r : data.series)
        if (r.group < groups.size() && r.index < groups[r.group].series.size() &&
            groups[r.group].series[r.index].visible)
            return false;
    return true;
}

time::stored_date week_of(const chart_bucket& b) { return time::start_of_week(b.last); }

namespace {

QString picture(time::stored_date d, const char* pattern)
{
    return time::format_picture(QString::fromLatin1(pattern), time::fields(d), time::picture_kind::date);
}

}  // namespace

QString bucket_label(const chart_bucket& b, int granularity)
{
    switch (granularity) {
    case granularity::by_week: {
        const time::stored_date w = week_of(b);
        return QStringLiteral("#%1\n%2").arg(time::week_number(w) + 1).arg(time::fields(w).year);
    }
    case granularity::by_month: return picture(b.last, "MMM'\n'yyyy");
    default: return picture(b.last, "dd'\n'MMM'\n'yyyy");
    }
}

QString bucket_caption(const chart_bucket& b, int granularity)
{
    switch (granularity) {
    case granularity::by_week:
        return QStringLiteral("Week %1, %2 to %3")
            .arg(time::week_number(week_of(b)) + 1)
            .arg(time::format_short_date(b.first), time::format_short_date(b.last));
    case granularity::by_month: return picture(b.last, "MMMM yyyy");
    default: return time::format_long_date(b.last);
    }
}

QString month_band_label(const chart_bucket& b) { return picture(week_of(b), "MMMM yyyy"); }

QString value_text(double v) { return QString::asprintf("%.2f", v); }

}  // namespace qm::schedule
