// The chart series and the time-spent report over a small fixture of tasks,
// projects, roles and tracked times, on a started core.

#include "model/project_fixture.h"
#include "model/role_store.h"
#include "schedule/chart_data.h"
#include "schedule/time_spent.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;
using schedule::chart_range;
namespace kind = schedule::series_kind;
namespace by = schedule::granularity;

namespace {

constexpr std::int64_t hour = 3600;
const time::stored_date today = D(2026, 3, 11);  // Wednesday

struct chart_fixture : project_fixture {
    chart_fixture() { time::set_first_day_of_week_option(0); }  // weeks begin on Monday
    ~chart_fixture() override { time::set_first_day_of_week_option(-1); }

    store::tables& tables() { return core.core().tables(); }
    model::role_store& roles() { return core.core().roles(); }

    store::tracked_time_record entry(time::stored_time start, std::int64_t length)
    {
        store::tracked_time_record e;
        e.id = tables().ids.allocate(7);
        e.start = start;
        e.duration = static_cast<std::int32_t>(length);
        return e;
    }
    // A task on a date with tracked times given as (start, length).
    model::task_ptr task(const QString& name, time::stored_date date,
                         std::vector<std::pair<time::stored_time, std::int64_t>> times = {}, int status = 0,
                         std::int32_t estimate = 0)
    {
        auto t = std::make_shared<model::task>();
        t->name = name;
        t->date = date;
        t->status = status;
        t->estimate = estimate;
        for (auto [start, length] : times)
            t->tracked_times.push_back(entry(start, length));
        store().add(t);
        store().end_change_batch();
        return t;
    }
    std::int32_t role(const QString& name, std::int32_t parent, std::int32_t color = 0)
    {
        store::role_record r;
        r.name = name;
        r.parent = parent;
        r.background_color = color;
        return tables().roles.add_entity(r)->id;
    }

    schedule::chart_data chart(const std::vector<schedule::series_group>& groups, chart_range r, int g,
                               const schedule::working_day& wd = {})
    {
        return schedule::compute_chart(store(), groups, r, g, wd);
    }
    // One group for the selected range with one visible series of each kind asked.
    static std::vector<schedule::series_group> range_of(std::vector<int> kinds)
    {
        schedule::series_group g;
        for (int k : kinds)
            g.series.push_back({k, 0, true});
        return {g};
    }
};

TEST_F(chart_fixture, dayCreditFollowsTrackedTimeThenTheFinishedLength)
{
    struct row {
        const char* what;
        std::vector<std::pair<time::stored_time, std::int64_t>> times;
        int status;
        std::int32_t estimate;
        bool appointment;
        time::stored_date day;
        std::int64_t credit;
    };
    const std::vector<row> rows{
        {"tracked today", {{today + 9 * hour, 1800}, {today - 86400 + 9 * hour, 2 * hour}}, 0, 0, false, today, 1800},
        {"finished, estimate, nothing tracked", {}, model::status::finished, 3600, false, today, 3600},
        {"unfinished, estimate, nothing tracked", {}, 0, 3600, false, today, 0},
        {"finished appointment of 90 minutes", {}, model::status::finished, 0, true, today, 5400},
        {"23:00 to 01:00, first day", {{today + 23 * hour, 2 * hour}}, 0, 0, false, today, 3600},
        {"23:00 to 01:00, second day", {{today + 23 * hour, 2 * hour}}, 0, 0, false, today + 86400, 3600},
        {"a day run through whole", {{today - 86400 + 23 * hour, 26 * hour}}, 0, 0, false, today, 86400},
        {"tracked on another day, finished", {{today - 86400, hour}}, model::status::finished, 600, false, today, 600},
    };
    for (const row& r : rows) {
        model::task_ptr t = task(QString::fromLatin1(r.what), today, r.times, r.status, r.estimate);
        if (r.appointment) {
            const model::task before = *t;
            t->appointment = true;
            t->appointment_start = 10 * 3600;
            t->appointment_duration = 5400;
            store().change(before, *t);
            store().end_change_batch();
        }
        EXPECT_EQ(schedule::day_credit(store(), *t, r.day), r.credit) << r.what;
    }
}

TEST_F(chart_fixture, totalAndUninterruptedTimeOfATaskTrackedOverTwoDays)
{
    task("Report", today, {{today + 9 * hour, 1800}, {today - 86400 + 9 * hour, 2 * hour}});
    task("Idea", today, {}, 0, 0);
    const auto data = chart(range_of({kind::total_time, kind::uninterrupted_time, kind::tasks_started}),
                            {today, today}, by::by_day);
    ASSERT_EQ(data.buckets.size(), 1u);
    EXPECT_DOUBLE_EQ(data.values[0][0], 2.5);
    EXPECT_DOUBLE_EQ(data.values[1][0], 0.5);
    EXPECT_DOUBLE_EQ(data.values[2][0], 1.0);  // the idea was not started
}

TEST_F(chart_fixture, everyKindSumsItsTasksPerDate)
{
    model::task_ptr a = task("A", today, {{today + 8 * hour, hour}}, model::status::finished, 2 * 3600);
    model::task_ptr b = task("B", today, {}, model::status::finished, 1800);
    task("C", today - 86400, {}, 0, 3600);
    task("Undated", time::NO_DATE, {{today + 12 * hour, hour}}, model::status::finished, 3600);
    for (const auto& t : {a, b}) {
        const model::task before = *t;
        t->units = 4;
        store().change(before, *t);
        store().end_change_batch();
    }
    const auto data = chart(range_of({kind::total_time, kind::estimated_time, kind::impact, kind::tasks_finished,
                                      kind::tasks_started}),
                            {today - 86400, today}, by::by_day);
    ASSERT_EQ(data.buckets.size(), 2u);
    const std::vector<std::vector<double>> expected{{0, 1}, {1, 2.5}, {0, 8}, {0, 2}, {0, 2}};
    EXPECT_EQ(data.values, expected);
    EXPECT_EQ(data.largest, (std::vector<double>{1, 2.5, 8, 2, 2}));
    EXPECT_EQ(data.totals, (std::vector<double>{1, 3.5, 8, 2, 2}));
}

TEST_F(chart_fixture, granularityFollowsTheLengthOfTheRange)
{
    for (auto [days, expected] : {std::pair{0, by::by_day}, {59, by::by_day}, {60, by::by_week}, {364, by::by_week},
                                  {365, by::by_month}, {1000, by::by_month}})
        EXPECT_EQ(schedule::automatic_granularity({time::add_days(today, -days), today}), expected) << days;
}

TEST_F(chart_fixture, periodsCloseAtTheEndOfEachWeekOrMonthAndOfTheRange)
{
    // Wednesday 11 March to Wednesday 25 March: weeks begin on Monday.
    for (int i = 0; i <= 14; ++i)
        task(QStringLiteral("Day %1").arg(i), time::add_days(today, i), {}, model::status::finished);
    const auto weeks = chart(range_of({kind::tasks_finished}), {today, time::add_days(today, 14)}, by::by_week);
    ASSERT_EQ(weeks.buckets.size(), 3u);
    EXPECT_EQ(weeks.buckets[0].first, today);
    EXPECT_EQ(weeks.buckets[0].last, D(2026, 3, 15));
    EXPECT_EQ(weeks.buckets[1].last, D(2026, 3, 22));
    EXPECT_EQ(weeks.buckets[2].first, D(2026, 3, 23));
    EXPECT_EQ(weeks.buckets[2].last, D(2026, 3, 25));  // the range ends mid-week
    EXPECT_EQ(weeks.values[0], (std::vector<double>{5, 7, 3}));
    EXPECT_DOUBLE_EQ(weeks.largest[0], 7);

    const auto months = chart(range_of({kind::tasks_finished}), {D(2026, 2, 20), D(2026, 4, 2)}, by::by_month);
    ASSERT_EQ(months.buckets.size(), 3u);
    EXPECT_EQ(months.buckets[0].last, D(2026, 2, 28));
    EXPECT_EQ(months.buckets[1].last, D(2026, 3, 31));
    EXPECT_EQ(months.buckets[2].last, D(2026, 4, 2));
    EXPECT_EQ(months.values[0], (std::vector<double>{0, 15, 0}));

    // Weeks that begin on Sunday move the boundary by a day.
    time::set_first_day_of_week_option(6);
    const auto sunday_weeks = chart(range_of({kind::tasks_finished}), {today, time::add_days(today, 14)}, by::by_week);
    EXPECT_EQ(sunday_weeks.buckets[0].last, D(2026, 3, 14));
}

TEST_F(chart_fixture, presetRangesEndTodayAndMoveTheTwentyNinthOfFebruaryBack)
{
    struct row {
        const char* name;
        time::stored_date today;
        time::stored_date start;
    };
    const std::vector<row> rows{
        {"This Week", today, D(2026, 3, 9)},        {"This Month", today, D(2026, 3, 1)},
        {"This Year", today, D(2026, 1, 1)},        {"Last 7 Days", today, D(2026, 3, 4)},
        {"Last 365 Days", today, D(2025, 3, 11)},   {"Last 2 Years", D(2028, 2, 29), D(2026, 2, 28)},
        {"Last 5 Years", today, D(2021, 3, 11)},    {"Everything", today, D(2025, 6, 1)},
    };
    for (const row& r : rows) {
        const auto range = schedule::preset_range(QString::fromLatin1(r.name), r.today, D(2025, 6, 1));
        ASSERT_TRUE(range) << r.name;
        EXPECT_EQ(range->start, r.start) << r.name;
        EXPECT_EQ(range->end, r.today) << r.name;
    }
    EXPECT_FALSE(schedule::preset_range(QStringLiteral("Last Week"), today, 0));
    EXPECT_EQ(schedule::preset_range(QStringLiteral("Everything"), today, 0)->start, today);  // no dated task

    task("Undated", time::NO_DATE);
    task("Early", D(2024, 5, 2));
    task("Late", D(2026, 1, 2));
    EXPECT_EQ(schedule::earliest_task_date(store()), D(2024, 5, 2));
}

TEST_F(chart_fixture, aProjectGroupCountsOnlyItsOwnTasks)
{
    model::project_ptr p = add_project("Garden");
    auto t = add_to_project("Dig", p->id);
    {
        const model::task before = *t;
        t->date = today;
        t->status = model::status::finished;
        store().change(before, *t);
        store().end_change_batch();
    }
    task("Elsewhere", today, {}, model::status::finished);
    std::vector<schedule::series_group> groups = range_of({kind::tasks_finished});
    groups.push_back(schedule::project_group(p->id));
    groups[1].series[4].visible = true;  // its "Tasks finished"
    const auto data = chart(groups, {today, today}, by::by_day);
    EXPECT_DOUBLE_EQ(data.values[0][0], 2);
    const int own = data.index_of(1, 4);
    ASSERT_GE(own, 0);
    EXPECT_DOUBLE_EQ(data.values[static_cast<std::size_t>(own)][0], 1);
}

TEST_F(chart_fixture, noDataWithoutAPeriodOrAVisibleSeries)
{
    std::vector<schedule::series_group> groups = range_of({kind::total_time});
    EXPECT_FALSE(schedule::no_data(chart(groups, {today, today}, by::by_day), groups));
    EXPECT_TRUE(schedule::no_data(chart(groups, {today, today - 86400}, by::by_day), groups));
    groups[0].series[0].visible = false;
    EXPECT_TRUE(schedule::no_data(chart(groups, {today, today}, by::by_day), groups));
    EXPECT_TRUE(schedule::no_data(chart({}, {today, today}, by::by_day), {}));
}

TEST_F(chart_fixture, gapsAreTheWorkingTimeThatNothingCovers)
{
    // Working 8:00 to 18:00; yesterday an appointment 9–10 and tracked time
    // 13:00–14:30 (overlapping a second entry 14:00–14:15); today is seen at 10:00.
    const time::stored_date y = today - 86400;
    model::task_ptr meeting = task("Meeting", y);
    {
        const model::task before = *meeting;
        meeting->appointment = true;
        meeting->appointment_start = 9 * 3600;
        meeting->appointment_duration = 3600;
        store().change(before, *meeting);
        store().end_change_batch();
    }
    task("Work", time::NO_DATE, {{y + 13 * hour, 5400}, {y + 14 * hour, 900}});
    const schedule::working_day wd{8 * 3600, 18 * 3600, today + 10 * hour};
    const auto data = chart(range_of({kind::gaps}), {y, today + 86400}, by::by_day, wd);
    EXPECT_EQ(data.values[0], (std::vector<double>{7.5, 2, 0}));
}

TEST_F(chart_fixture, labelsOfThePeriods)
{
    const schedule::chart_bucket day{today, today};
    EXPECT_EQ(schedule::bucket_label(day, by::by_day), "11\nMar\n2026");
    EXPECT_EQ(schedule::bucket_label({D(2026, 3, 1), D(2026, 3, 31)}, by::by_month), "Mar\n2026");
    // The week of Monday 9 March: counted from the first week that begins in the year.
    EXPECT_EQ(schedule::bucket_label({D(2026, 3, 9), D(2026, 3, 15)}, by::by_week),
              QStringLiteral("#%1\n2026").arg(time::week_number(D(2026, 3, 9)) + 1));
    EXPECT_EQ(schedule::month_band_label({D(2026, 3, 9), D(2026, 3, 15)}), "March 2026");
    EXPECT_EQ(schedule::value_text(2.0 / 3), "0.67");
}

TEST_F(chart_fixture, freeColourIsTheFirstNotWornByAVisibleSeries)
{
    std::vector<schedule::series_group> groups{schedule::default_group()};
    const auto& palette = schedule::series_palette();
    EXPECT_EQ(schedule::free_series_color(groups), palette[6]);
    groups[0].series[1].visible = false;
    EXPECT_EQ(schedule::free_series_color(groups), palette[1]);
    EXPECT_EQ(schedule::free_series_color(groups, &groups[0].series[0]), palette[0]);
}

TEST_F(chart_fixture, trackedTimesReadBackFromTheFileGiveTheSameChart)
{
    task("Write", today, {{today + 9 * hour, 5400}, {today - 86400 + 23 * hour, 2 * hour}}, model::status::finished,
         3600);
    task("Read", today - 86400, {{today - 86400 + 10 * hour, 600}});
    const auto groups = std::vector<schedule::series_group>{schedule::default_group()};
    const chart_range r{today - 86400, today};
    const auto before = chart(groups, r, by::by_day);
    core.drain_and_reopen();
    core.restart();
    const auto after = chart(groups, r, by::by_day);
    EXPECT_EQ(after.values, before.values);
    EXPECT_DOUBLE_EQ(after.values[0][1], 3.5);  // total time of Write
    EXPECT_DOUBLE_EQ(after.values[1][1], 2.5);  // uninterrupted: 1.5 h plus the hour after midnight
}

// ---- the time-spent report ----

struct report_fixture : chart_fixture {
    std::int32_t work = 0, developer = 0, loner = 0;
    model::project_ptr project;

    report_fixture()
    {
        work = role("Work", -1, model::rgb(10, 20, 30));
        developer = role("Developer", work, model::rgb(200, 100, 0));
        loner = role("Loner", 0);
        project = add_project("Planner");
        const model::project before = *project;
        project->role = developer;
        projects().update_project(before, *project);
    }
    schedule::time_spent_report report(int range, std::int64_t workload = 8 * hour)
    {
        return schedule::compute_time_spent({store(), projects(), roles()}, schedule::report_days(range, today), today,
                                            workload);
    }
    model::task_ptr in_folder(const QString& name, std::int32_t folder, time::stored_date date,
                              std::int64_t tracked)
    {
        auto t = add_to_project(name, project->id, folder);
        const model::task before = *t;
        t->date = date;
        t->tracked_times.push_back(entry(date + 9 * hour, tracked));
        store().change(before, *t);
        store().end_change_batch();
        return t;
    }
};

std::vector<std::pair<QString, std::int64_t>> rows_of(const schedule::time_spent_group& g)
{
    std::vector<std::pair<QString, std::int64_t>> out;
    for (const auto& r : g.rows)
        out.emplace_back(r.name, r.seconds);
    return out;
}

TEST_F(report_fixture, groupsByLifeAreaRoleProjectAndFolderLargestFirst)
{
    auto folder = add_to_project("Release", project->id, 0, 0, true);
    in_folder("Notes", folder->id, today, 2 * hour);  // no role of its own: the project's
    model::task_ptr alone = task("Walk", today, {{today + 7 * hour, hour}});
    {
        const model::task before = *alone;
        alone->role = loner;
        store().change(before, *alone);
        store().end_change_batch();
    }
    task("Call", today, {{today + 8 * hour, 1800}});
    task("Yesterday's", today - 86400, {{today - 86400 + 8 * hour, 5 * hour}});

    const auto r = report(schedule::report_range::today);
    ASSERT_EQ(r.groups.size(), 4u);
    EXPECT_EQ(r.groups[0].heading, "Time Spent, by Life Area");
    EXPECT_EQ(rows_of(r.groups[0]), (std::vector<std::pair<QString, std::int64_t>>{{"Work", 2 * hour}}));
    EXPECT_EQ(r.groups[1].heading, "Time Spent, by Role");
    EXPECT_EQ(rows_of(r.groups[1]), (std::vector<std::pair<QString, std::int64_t>>{
                                        {"Developer", 2 * hour}, {"Loner", hour}, {"<No Role>", 1800}}));
    EXPECT_EQ(r.groups[2].heading, "Time Spent, by Project");
    EXPECT_EQ(rows_of(r.groups[2]), (std::vector<std::pair<QString, std::int64_t>>{{"Planner", 2 * hour}}));
    EXPECT_EQ(r.groups[3].heading, "Time Spent, by Project Folder");
    EXPECT_EQ(rows_of(r.groups[3]), (std::vector<std::pair<QString, std::int64_t>>{{"Release", 2 * hour}}));
    EXPECT_EQ(r.largest, 2 * hour);
    EXPECT_EQ(r.groups[1].rows[0].color, model::rgb(200, 100, 0));
}

TEST_F(report_fixture, anEmptyGroupHasNoHeading)
{
    task("Call", today, {{today + 8 * hour, 1800}});
    const auto r = report(schedule::report_range::today);
    ASSERT_EQ(r.groups.size(), 1u);
    EXPECT_EQ(r.groups[0].kind, schedule::report_group::role);
    EXPECT_TRUE(report(schedule::report_range::yesterday).groups.empty());
}

TEST_F(report_fixture, roleBalanceScales)
{
    in_folder("Today's", 0, today, 2 * hour);
    in_folder("Yesterday's", 0, today - 86400, 2 * hour);
    in_folder("A week ago", 0, today - 7 * 86400, hour);
    in_folder("Eight days ago", 0, today - 8 * 86400, 4 * hour);
    struct row {
        int range;
        std::int64_t share, scale;
    };
    for (const row& r : {row{schedule::report_range::today, 2 * hour, 8 * hour},
                         row{schedule::report_range::yesterday, 2 * hour, 2 * hour},
                         row{schedule::report_range::last_7_days, 3 * hour, 3 * hour},
                         row{schedule::report_range::last_30_days, 7 * hour, 7 * hour}}) {
        const auto rep = report(r.range);
        ASSERT_EQ(rep.shares.size(), 1u) << r.range;
        EXPECT_EQ(rep.shares[0].id, developer) << r.range;
        EXPECT_EQ(rep.shares[0].seconds, r.share) << r.range;
        EXPECT_EQ(rep.scale, r.scale) << r.range;
    }
    // A day fuller than the workload fills the whole scale.
    EXPECT_EQ(report(schedule::report_range::today, hour).scale, 2 * hour);
}

}  // namespace
