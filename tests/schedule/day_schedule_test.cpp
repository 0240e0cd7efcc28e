// The placement of a day's to-dos, driven by plain task values and a set
// "now": one table of day scenarios, then the look-ahead's own choices.

#include "schedule/day_schedule.h"
#include "time/calendar.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace qm;
using schedule::block;
using schedule::day_input;
using schedule::task_copy;

namespace {

const time::stored_date D = time::make_date(2026, 3, 11);
constexpr int H = 3600, M = 60;

task_copy todo(std::int32_t id, int priority, int position, std::int64_t left)
{
    task_copy t;
    t.id = id;
    t.date = D;
    t.priority = priority;
    t.position = position;
    t.time_left = left;
    t.effective_estimate = left;
    return t;
}
task_copy split(task_copy t)
{
    t.splittable = true;
    return t;
}
task_copy after(task_copy t, int at)
{
    t.appointment_start = at;
    return t;
}
task_copy before(task_copy t, int at)
{
    t.appointment_duration = at;
    return t;
}
task_copy due(task_copy t, time::stored_time deadline)
{
    t.deadline = deadline;
    return t;
}
task_copy on(task_copy t, time::stored_date date)
{
    t.date = date;
    return t;
}
task_copy appointment(std::int32_t id, int start, int length, int status = 0)
{
    task_copy t;
    t.id = id;
    t.date = D;
    t.appointment = true;
    t.status = status;
    t.appointment_start = start;
    t.appointment_duration = length;
    return t;
}
task_copy tracked(task_copy t, time::stored_time start, int duration)
{
    t.tracked_times.push_back({start, duration});
    return t;
}
task_copy finished(task_copy t)
{
    t.status = 3;
    return t;
}

// A block as the table writes it: task, start, end, "b" / "d" for the marks.
struct expected {
    std::int32_t task;
    int start, end;
    std::string marks;
    bool operator==(const expected& o) const
    {
        return task == o.task && start == o.start && end == o.end && marks == o.marks;
    }
};
void PrintTo(const expected& e, std::ostream* out)
{
    *out << "{" << e.task << ", " << e.start / 3600.0 << "h-" << e.end / 3600.0 << "h, \"" << e.marks << "\"}";
}

std::vector<expected> run(const day_input& in)
{
    std::vector<block> blocks;
    EXPECT_TRUE(schedule::compute_day(in, blocks));
    std::vector<expected> out;
    for (const block& b : blocks)
        out.push_back({b.task, b.start, b.end, std::string(b.before_mark ? "b" : "") + (b.deadline_mark ? "d" : "")});
    return out;
}

struct scenario {
    const char* name;
    time::stored_date date;
    time::stored_time now;
    std::vector<task_copy> tasks;
    std::int32_t timed;
    std::vector<expected> blocks;
};

const std::vector<scenario>& scenarios()
{
    static const std::vector<scenario> all = {
        {"a later date starts at working start", D + 86400, D + 10 * H, {on(todo(1, 1, 1, H), D + 86400)}, 0,
         {{1, 8 * H, 9 * H, ""}}},
        {"today starts at the whole minute of now, before working start too", D, D + 6 * H + 17 * M + 45,
         {todo(1, 1, 1, 30 * M)}, 0, {{1, 6 * H + 17 * M, 6 * H + 47 * M, ""}}},
        {"a whole to-do goes past the appointment, a short one fills the gap", D, D + 9 * H,
         {appointment(9, 10 * H, H), todo(1, 1, 1, 2 * H), todo(2, 1, 2, 30 * M)}, 0,
         {{1, 11 * H, 13 * H, ""}, {2, 9 * H, 9 * H + 30 * M, ""}}},
        {"a splittable to-do is cut around the appointment", D, D + 9 * H,
         {appointment(9, 10 * H, H), split(todo(1, 1, 1, 2 * H))}, 0, {{1, 9 * H, 10 * H, ""}, {1, 11 * H, 12 * H, ""}}},
        {"a finished appointment leaves its time free", D, D + 9 * H,
         {appointment(9, 10 * H, H, 3), todo(1, 1, 1, 2 * H)}, 0, {{1, 9 * H, 11 * H, ""}}},
        {"time tracked on another task blocks, also after midnight of yesterday's entry", D, D + 9 * H,
         {tracked(finished(todo(5, 1, 1, 0)), D - 30 * M, 10 * H), todo(1, 1, 2, H)}, 0,
         {{1, 9 * H + 30 * M, 10 * H + 30 * M, ""}}},
        {"blocks touch appointments; two touching appointments leave no gap", D, D + 9 * H,
         {appointment(8, 10 * H, H), appointment(9, 11 * H, H), todo(1, 1, 1, H), todo(2, 1, 2, H)}, 0,
         {{1, 9 * H, 10 * H, ""}, {2, 12 * H, 13 * H, ""}}},
        {"a schedule-after to-do waits until the others run out", D, D + 9 * H,
         {after(todo(1, 1, 1, H), 14 * H), todo(2, 1, 2, H)}, 0, {{2, 9 * H, 10 * H, ""}, {1, 14 * H, 15 * H, ""}}},
        {"a schedule-after to-do goes as soon as the clock reaches its time", D, D + 9 * H,
         {after(todo(1, 1, 1, H), 10 * H), todo(2, 1, 2, 2 * H), todo(3, 1, 3, H)}, 0,
         {{2, 9 * H, 11 * H, ""}, {1, 11 * H, 12 * H, ""}, {3, 12 * H, 13 * H, ""}}},
        {"ending 59 s after schedule before carries no mark", D, D + 9 * H, {before(todo(1, 1, 1, H + 59), 10 * H)}, 0,
         {{1, 9 * H, 10 * H + 59, ""}}},
        {"ending 60 s after schedule before is marked", D, D + 9 * H, {before(todo(1, 1, 1, H + 60), 10 * H)}, 0,
         {{1, 9 * H, 10 * H + 60, "b"}}},
        {"every piece of a late splittable to-do is marked", D, D + 9 * H,
         {appointment(9, 10 * H, H), before(split(todo(1, 1, 1, 2 * H)), 10 * H + 30 * M)}, 0,
         {{1, 9 * H, 10 * H, "b"}, {1, 11 * H, 12 * H, "b"}}},
        {"schedule before 0 means the end of the day: up to midnight no mark", D, D + 23 * H,
         {before(todo(1, 1, 1, H), 0)}, 0, {{1, 23 * H, 24 * H, ""}}},
        {"schedule before 0: past midnight the mark", D, D + 23 * H, {before(todo(1, 1, 1, H + 60), 0)}, 0,
         {{1, 23 * H, 24 * H + 60, "b"}}},
        {"a deadline missed by the placement", D, D + 9 * H, {due(todo(1, 1, 1, H), D + 9 * H + 30 * M)}, 0,
         {{1, 9 * H, 10 * H, "d"}}},
        {"a later date's deadline is weighed on that date", D + 86400, D + 9 * H,
         {due(on(todo(1, 1, 1, 4 * H), D + 86400), D + 86400 + 11 * H)}, 0, {{1, 8 * H, 12 * H, "d"}}},
        {"the timed to-do goes first from the day start, over an appointment", D, D + 9 * H,
         {appointment(9, 9 * H + 30 * M, H), todo(1, 1, 1, H), todo(2, 2, 1, H)}, 2,
         {{2, 9 * H, 10 * H, ""}, {1, 10 * H + 30 * M, 11 * H + 30 * M, ""}}},
        {"a timed task of another date changes nothing", D, D + 9 * H, {todo(1, 1, 1, H)}, 77,
         {{1, 9 * H, 10 * H, ""}}},
        {"a block may cross midnight; the day ends there", D, D + 23 * H + 30 * M,
         {todo(1, 1, 1, H), todo(2, 1, 2, H)}, 0, {{1, 23 * H + 30 * M, 24 * H + 30 * M, ""}}},
        {"finished, waiting and used-up to-dos get no block", D, D + 9 * H,
         {finished(todo(1, 1, 1, H)), todo(2, 1, 2, 0), todo(3, 1, 3, H)}, 0, {{3, 9 * H, 10 * H, ""}}},
        // The look-ahead.
        {"a constrained to-do goes first when the one before it would make it late", D, D + 9 * H,
         {todo(1, 1, 1, 2 * H), before(todo(2, 2, 1, H), 10 * H)}, 0, {{2, 9 * H, 10 * H, ""}, {1, 10 * H, 12 * H, ""}}},
        {"a piece of a splittable to-do leaves room for a constrained one", D, D + 9 * H,
         {split(todo(1, 1, 1, 2 * H)), before(todo(2, 2, 1, H), 10 * H + 30 * M)}, 0,
         {{1, 9 * H, 9 * H + 30 * M, ""}, {2, 9 * H + 30 * M, 10 * H + 30 * M, ""}, {1, 10 * H + 30 * M, 12 * H, ""}}},
        {"no reordering when the alternative would make the task itself late", D, D + 9 * H,
         {before(todo(1, 1, 1, H), 10 * H), before(todo(2, 2, 1, H), 10 * H)}, 0,
         {{1, 9 * H, 10 * H, ""}, {2, 10 * H, 11 * H, "b"}}},
    };
    return all;
}

TEST(day_schedule, scenarios)
{
    for (const scenario& s : scenarios()) {
        SCOPED_TRACE(s.name);
        day_input in;
        in.date = s.date;
        in.now = s.now;
        in.tasks = s.tasks;
        in.timed = s.timed;
        EXPECT_EQ(run(in), s.blocks);
    }
}

TEST(day_schedule, without_look_ahead_each_task_takes_its_earliest_slot)
{
    day_input in;
    in.date = D;
    in.now = D + 9 * H;
    in.tasks = {todo(1, 1, 1, 2 * H), before(todo(2, 2, 1, H), 10 * H)};
    in.look_ahead = false;
    EXPECT_EQ(run(in), (std::vector<expected>{{1, 9 * H, 11 * H, ""}, {2, 11 * H, 12 * H, "b"}}));
}

TEST(day_schedule, a_day_too_full_for_the_slot_walk_ends_at_midnight)
{
    // Each task's walk moves past every block before it: the hundredth
    // needs a hundredth move, gets an empty block at midnight and ends the day.
    day_input in;
    in.date = D;
    in.now = D;
    for (int i = 1; i <= 120; ++i)
        in.tasks.push_back(todo(i, 1, i, 5 * M));
    const std::vector<expected> blocks = run(in);
    ASSERT_EQ(blocks.size(), 101u);
    EXPECT_EQ(blocks[99], (expected{100, 99 * 5 * M, 100 * 5 * M, ""}));
    EXPECT_EQ(blocks[100], (expected{101, 86400, 86400, ""}));
}

TEST(day_schedule, a_set_cancel_flag_stops_the_computation)
{
    day_input in;
    in.date = D;
    in.now = D + 9 * H;
    in.tasks = {todo(1, 1, 1, 2 * H), before(todo(2, 2, 1, H), 10 * H)};
    std::atomic<bool> cancel{true};
    std::vector<block> blocks;
    EXPECT_FALSE(schedule::compute_day(in, blocks, &cancel));
    EXPECT_TRUE(blocks.empty());
}

TEST(day_schedule, latest_end)
{
    EXPECT_EQ(todo(1, 1, 1, H).latest_end(), -1);
    EXPECT_EQ(before(todo(1, 1, 1, H), 0).latest_end(), 86400);
    EXPECT_EQ(due(before(todo(1, 1, 1, H), 12 * H), D + 11 * H).latest_end(), 11 * H);
    EXPECT_EQ(due(todo(1, 1, 1, H), D + 86400 + 11 * H).latest_end(), -1);  // another day's deadline
    EXPECT_EQ(appointment(1, 10 * H, H).latest_end(), -1);
}

}  // namespace
