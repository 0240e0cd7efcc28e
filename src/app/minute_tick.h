#pragma once
// The periodic work of the main thread. The tick functions take the time
// they run at, so tests drive them with a set clock instead of waiting.

#include "time/clock.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace qm::app {

// Decides when the 200 ms minute tick does its work: at the first tick after
// start-up, then at the first tick of each new minute whose second is not 0.
class minute_gate {
public:
    bool should_run(time::stored_time now);

private:
    bool ran_ = false;
    time::stored_time last_ = 0;
};

// The timers that run for as long as the program runs. Each calls a hook that
// the subsystems built later fill in.
class app_timers : public QObject {
    Q_OBJECT
public:
    static constexpr int minute_tick_ms = 200;
    static constexpr int idle_check_ms = 10000;

    explicit app_timers(QObject* parent = nullptr);

    std::function<void(time::stored_time)> on_minute;  // queue today's schedule
    std::function<void()> on_idle_check;               // the idle menu test

    void start_idle_check();
    void start_minute_tick();
    void stop_minute_tick();
    void stop_all();

    // One tick of each timer, at the given time.
    void minute_tick(time::stored_time now);
    void idle_tick();

private:
    minute_gate gate_;
    QTimer minute_timer_;
    QTimer idle_timer_;
};

}  // namespace qm::app
