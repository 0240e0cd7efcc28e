// The planned work of a day against the working time still ahead.

#include "model/day_load.h"
#include "model/task_fixture.h"

using namespace qm;
using namespace qm::test;

TEST_F(task_fixture, aDaysLoadCountsWhatIsLeftAgainstTheWorkingTimeAhead)
{
    const time::stored_date wednesday = D(2026, 3, 11);
    auto todo = [&](const char* name, int estimate, int status = model::status::unfinished) {
        model::task_ptr t = add(name, wednesday);
        edit(name, [&](model::task& x) {
            x.estimate = estimate;
            x.status = status;
        });
        return t;
    };
    todo("report", 3 * 3600);
    todo("calls", 5400);
    todo("done", 3600, model::status::finished);   // nothing left of it
    todo("handed on", 3600, model::status::delegated);
    model::task_ptr meeting = add("meeting", wednesday);
    edit("meeting", [](model::task& x) {
        x.appointment = true;
        x.appointment_start = 14 * 3600;
        x.appointment_duration = 3600;
    });
    // 1h of the report is already tracked.
    edit("report", [](model::task& x) { x.tracked_times.push_back({0, x.id, 0, D(2026, 3, 11) + 8 * 3600, 3600, {}}); });

    struct row {
        const char* when;
        time::stored_time now;
        time::stored_date date;
        int start, end;
        std::int64_t planned, working_left;
    };
    const int h = 3600;
    const row cases[] = {
        {"before work", wednesday + 7 * h, wednesday, 9 * h, 17 * h, 2 * h + 5400 + h, 8 * h},
        {"mid-morning", wednesday + 10 * h, wednesday, 9 * h, 17 * h, 2 * h + 5400 + h, 7 * h},
        {"in the meeting", wednesday + 14 * h + 1800, wednesday, 9 * h, 17 * h, 2 * h + 5400 + 1800, 2 * h + 1800},
        {"after work", wednesday + 20 * h, wednesday, 9 * h, 17 * h, 2 * h + 5400, 0},
        {"a later day", wednesday - 86400, wednesday, 9 * h, 17 * h, 2 * h + 5400 + h, 8 * h},
        {"a past day", wednesday + 86400, wednesday, 9 * h, 17 * h, 0, 0},
        {"no working hours", wednesday + 10 * h, wednesday, 17 * h, 9 * h, 2 * h + 5400 + h, 0},
    };
    for (const row& c : cases) {
        const model::day_load load = model::compute_day_load(store(), c.date, c.now, c.start, c.end);
        EXPECT_EQ(load.planned, c.planned) << c.when;
        EXPECT_EQ(load.working_left, c.working_left) << c.when;
        EXPECT_EQ(load.over(), std::max<std::int64_t>(0, c.planned - c.working_left)) << c.when;
    }
}
