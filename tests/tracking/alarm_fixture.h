#pragma once
// The alarms on a started core with the timer, a settable clock, a fake
// action runner and fake windows: nothing plays, runs or opens for real.

#include "tracking/alarm_store.h"
#include "tracking/timer_fixture.h"

#include <set>

namespace qm::test {

struct recorded_actions : tracking::alarm_actions {
    QStringList calls;
    QString failure;  // returned by every action when set
    QString play_sound(const QString& path) override { return note(QStringLiteral("play ") + path); }
    QString open_website(const QString& address) override { return note(QStringLiteral("web ") + address); }
    QString open_file(const QString& file, const QString& p) override
    {
        return note(QStringLiteral("open %1 [%2]").arg(file, p));
    }
    QString run_program(const QString& program, const QString& p) override
    {
        return note(QStringLiteral("run %1 [%2]").arg(program, p));
    }
    QString note(const QString& call)
    {
        calls << call;
        return failure;
    }
};

struct recorded_windows : tracking::alarm_windows {
    std::set<std::int32_t> open_ids;
    std::vector<std::int32_t> opened;
    bool has_window(std::int32_t id) const override { return open_ids.count(id) != 0; }
    void open(const tracking::Alarm& a) override
    {
        open_ids.insert(a.id);
        opened.push_back(a.id);
    }
    void close(std::int32_t id) override { open_ids.erase(id); }
};

struct alarm_fixture : timer_fixture {
    recorded_actions actions;
    recorded_windows windows;
    std::unique_ptr<tracking::alarm_store> alarms;
    std::vector<std::int32_t> fired;

    void SetUp() override
    {
        timer_fixture::SetUp();
        make_alarms();
    }
    void TearDown() override
    {
        alarms.reset();
        timer_fixture::TearDown();
    }
    // A new alarm store, as after a restart: its poll starts from nothing.
    void make_alarms()
    {
        alarms = std::make_unique<tracking::alarm_store>(core.core().tables().alarms, store(), *h, actions,
                                                         QStringLiteral("/assets/"));
        alarms->set_windows(&windows);
        alarms->timed_task = [this] { return timer->timed_task() ? timer->timed_task()->id : 0; };
        alarms->on_fired = [this](const tracking::Alarm& a) { fired.push_back(a.id); };
        timer->timer_started_alarms = [this](const model::task& t) { alarms->timer_started(t); };
        timer->next_transition_alarms = [this] { alarms->transition(); };
        timer->timer_alarms = [this](const model::task& t, const tracking::TrackedTime& e, std::int64_t prev,
                                     std::int64_t others) { alarms->timer_tick(t, e, prev, others); };
        ops->task_change_alarms = [this](const model::task& b, const model::task& a) { alarms->task_changed(b, a); };
    }

    // A stored alarm added outside the history.
    tracking::alarm_ptr stored(int type, std::int64_t time, std::int32_t task = 0, int flags = 0,
                               const QString& command = QString())
    {
        tracking::Alarm a;
        a.type = type;
        a.time = time;
        a.attached = task;
        a.attached_type = task != 0 ? 1 : 0;
        a.flags = flags;
        a.command = command;
        return alarms->insert(a);
    }
    bool exists(std::int32_t id) const { return alarms->find(id) != nullptr; }
    void poll_at(std::int64_t at)
    {
        utc = at;
        clock.set(utc);
        alarms->poll();
    }
};

}  // namespace qm::test
