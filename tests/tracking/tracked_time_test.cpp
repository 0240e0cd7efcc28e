// What is read from a list of entries: the latest, the summary line and the
// next-task rule.

#include "model/task_fixture.h"
#include "time/format.h"
#include "tracking/next_task.h"
#include "tracking/tracked_time.h"

using namespace qm;
using namespace qm::test;
using tracking::TrackedTime;

namespace {

TrackedTime E(time::stored_time start, std::int32_t duration, int type = 0, std::int32_t id = 0)
{
    TrackedTime e;
    e.id = id;
    e.type = type;
    e.start = start;
    e.duration = duration;
    return e;
}

const time::stored_time day1 = D(2026, 3, 1);

struct summary_case {
    const char* name;
    std::vector<TrackedTime> entries;
    const char* span;  // the end of the line
};

struct summary : ::testing::TestWithParam<summary_case> {};

TEST_P(summary, endsWithTheSpanOfDays)
{
    const QString line = tracking::tracked_time_summary(GetParam().entries);
    EXPECT_TRUE(line.startsWith("Total time: ")) << line.toStdString();
    EXPECT_TRUE(line.endsWith(GetParam().span)) << line.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    lines, summary,
    ::testing::Values(summary_case{"sameDay", {E(day1 + 3600, 600), E(day1 + 7200, 600)}, " over a span of a day."},
                      summary_case{"daysOneAndThree", {E(day1 + 3600, 60), E(day1 + 2 * 86400 + 3600, 60)},
                                   " over a span of 3 days."},
                      summary_case{"underADayApartAcrossMidnight", {E(day1 + 86000, 60), E(day1 + 86400 + 100, 60)},
                                   " over a span of a day."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(summary_line, withoutEntriesSaysSo)
{
    EXPECT_EQ(tracking::tracked_time_summary({}), "This task does not have any tracked times associated with it.");
}

TEST(summary_line, givesTheTotalAsADuration)
{
    EXPECT_EQ(tracking::tracked_time_summary({E(day1, 1800), E(day1 + 4000, 1800)}),
              "Total time: " + time::format_duration(3600) + " over a span of a day.");
}

TEST(latest_task_time, isTheGreatestEndAmongTaskTimesFirstOnTies)
{
    std::vector<TrackedTime> list = {E(100, 50, 0, 1), E(120, 30, 0, 2), E(90, 500, 1, 3), E(10, 100, 0, 4)};
    EXPECT_EQ(tracking::latest_task_time(list)->id, 1);  // 150 = 150: the first
    list.push_back(E(140, 11, 0, 5));
    EXPECT_EQ(tracking::latest_task_time(list)->id, 5);
    EXPECT_EQ(tracking::latest_task_time(std::vector<TrackedTime>{E(0, 10, 1)}), nullptr);
}

// ---- the next-task rule ----

struct next_rule : task_fixture {
    model::task_ptr todo(const QString& name, int priority, std::int32_t estimate = 0)
    {
        auto t = add(name, D(2026, 3, 11), priority);
        if (estimate != 0)
            edit(name, [estimate](model::task& x) { x.estimate = estimate; });
        return t;
    }
};

TEST_F(next_rule, aToDoWithoutTimeLeftBeforeTheScheduledBlockWins)
{
    auto b = todo("B", 1);
    auto a = todo("A", 2, 3600);
    EXPECT_EQ(tracking::next_task_of_today(store(), nullptr, tracking::schedule_candidate{a.get(), false}), b.get());
}

TEST_F(next_rule, aBlockAtRiskWins)
{
    todo("B", 1);
    auto a = todo("A", 2, 3600);
    EXPECT_EQ(tracking::next_task_of_today(store(), nullptr, tracking::schedule_candidate{a.get(), true}), a.get());
}

TEST_F(next_rule, withNothingScheduledTheToDoWithoutTimeLeftIsNext)
{
    auto b = todo("B", 2);
    EXPECT_EQ(tracking::next_task_of_today(store(), nullptr, std::nullopt), b.get());
}

TEST_F(next_rule, theTimedAndTheFinishedAreSkipped)
{
    auto b = todo("B", 1);
    auto c = todo("C", 1);
    auto d = todo("D", 1);
    edit("C", [](model::task& x) { x.status = model::status::finished; });
    EXPECT_EQ(tracking::next_task_of_today(store(), b.get(), std::nullopt), d.get());
    EXPECT_EQ(tracking::next_task_of_today(store(), d.get(), std::nullopt), b.get());
}

TEST_F(next_rule, withNeitherThereIsNone)
{
    auto b = todo("B", 1);
    EXPECT_EQ(tracking::next_task_of_today(store(), b.get(), std::nullopt), nullptr);
}

TEST_F(next_rule, theDayOrderStandsInForTheSchedule)
{
    todo("Done", 1);
    edit("Done", [](model::task& x) { x.status = model::status::finished; });
    auto a = todo("A", 1, 1800);
    todo("B", 2, 600);
    const auto x = tracking::day_order_candidate(store(), nullptr);
    ASSERT_TRUE(x);
    EXPECT_EQ(x->task, a.get());
    EXPECT_FALSE(x->at_risk);
}

}  // namespace
