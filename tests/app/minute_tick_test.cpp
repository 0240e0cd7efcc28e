#include "app/minute_tick.h"

#include <gtest/gtest.h>

using namespace qm;

TEST(minute_gate, runsAtTheFirstTickThenOncePerMinuteNeverOnSecondZero)
{
    app::minute_gate gate;
    const time::stored_time base = 1773147600;  // 13:00:00
    struct row {
        int offset;
        bool runs;
    };
    const row ticks[] = {
        {0, true},     // first tick after start-up, even on second 0
        {1, false},    // same minute
        {59, false},   // same minute
        {60, false},   // new minute but second 0
        {61, true},    // first tick of the new minute past second 0
        {62, false},
        {300, false},  // second 0 again
        {300 + 5, true},
        {3600 + 30, true},  // a jump of an hour counts once
    };
    for (const auto& t : ticks)
        EXPECT_EQ(gate.should_run(base + t.offset), t.runs) << t.offset;
}

TEST(app_timers, minuteHookRunsThroughTheGate)
{
    app::app_timers timers;
    int calls = 0;
    timers.on_minute = [&](time::stored_time) { ++calls; };
    timers.minute_tick(1000);
    timers.minute_tick(1001);
    timers.minute_tick(1081);
    EXPECT_EQ(calls, 2);
}
