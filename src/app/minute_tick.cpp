#include "app/minute_tick.h"

namespace qm::app {

bool minute_gate::should_run(time::stored_time now)
{
    const bool first = !ran_;
    const bool new_minute = now / 60 != last_ / 60 && now % 60 != 0;
    if (!first && !new_minute)
        return false;
    ran_ = true;
    last_ = now;
    return true;
}

app_timers::app_timers(QObject* parent) : QObject(parent)
{
    minute_timer_.setInterval(minute_tick_ms);
    idle_timer_.setInterval(idle_check_ms);
    connect(&minute_timer_, &QTimer::timeout, this, [this] { minute_tick(time::now()); });
    connect(&idle_timer_, &QTimer::timeout, this, [this] { idle_tick(); });
}

void app_timers::start_idle_check() { idle_timer_.start(); }
void app_timers::start_minute_tick() { minute_timer_.start(); }
void app_timers::stop_minute_tick() { minute_timer_.stop(); }

void app_timers::stop_all()
{
    minute_timer_.stop();
    idle_timer_.stop();
}

void app_timers::minute_tick(time::stored_time now)
{
    if (gate_.should_run(now) && on_minute)
        on_minute(now);
}

void app_timers::idle_tick()
{
    if (on_idle_check)
        on_idle_check();
}

}  // namespace qm::app
