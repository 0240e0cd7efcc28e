#pragma once
// The alarms of the run: the cached rows of Alarms and each task's list of
// them, the generated conflict alarms of today's schedule, when each fires
// (the quarter-second poll and the timer, task and schedule triggers), what
// firing does, and the undoable add, modify and delete. Main thread only.

#include "history/history.h"
#include "schedule/schedule_store.h"
#include "store/bindings.h"
#include "tracking/alarm.h"
#include "tracking/tracked_time.h"

#include <functional>

namespace qm::tracking {

// Where fired alarms show: one window per screen, kept by alarm id. An alarm
// with a window is not fired again.
class alarm_windows {
public:
    virtual ~alarm_windows() = default;
    virtual bool has_window(std::int32_t alarm) const = 0;
    virtual void open(const Alarm& a) = 0;
    virtual void close(std::int32_t alarm) = 0;
};

class alarm_store : public store::listener {
public:
    static constexpr int poll_period_ms = 250;

    alarm_store(store::alarm_facade_impl& alarms, model::task_store& tasks, history::history& h,
                alarm_actions& actions, QString asset_folder);
    ~alarm_store() override;
    alarm_store(const alarm_store&) = delete;
    alarm_store& operator=(const alarm_store&) = delete;

    void set_windows(alarm_windows* w) { windows_ = w; }
    // The timed task's id, 0 when nothing is timed.
    std::function<std::int32_t()> timed_task;
    // The two options of the conflict alarms.
    std::function<bool()> conflict_alarms_on;
    std::function<bool()> deadline_alarms_on;
    // Told of every alarm that fired (the desktop notification).
    std::function<void(const Alarm& a)> on_fired;

    // ---- lookups ----
    const std::vector<alarm_ptr>& stored() const { return alarms_.cache(); }
    const std::vector<alarm_ptr>& schedule_conflicts() const { return generated_[0]; }
    const std::vector<alarm_ptr>& deadline_conflicts() const { return generated_[1]; }
    // A stored or generated alarm.
    alarm_ptr find(std::int32_t id) const;
    model::task_store& tasks() const { return tasks_; }
    const QString& asset_folder() const { return asset_folder_; }
    alarm_actions& actions() { return actions_; }

    // ---- triggers ----
    // The poll: fires what fell due since the last processed second.
    void poll();
    time::stored_time last_processed() const { return last_; }
    void timer_tick(const model::task& t, const TrackedTime& running, std::int64_t elapsed_before,
                    std::int64_t total_without_running);
    void task_changed(const model::task& before, const model::task& after);
    // A timer started on t: its types 9 and 10. The timer then calls
    // transition(), as it does when it stops.
    void timer_started(const model::task& t);
    // A timer started or stopped: the next-transition alarms.
    void transition();
    // After a date's schedule is stored; only today's makes conflict alarms.
    void schedule_computed(time::stored_date date, const std::vector<const schedule::stored_block*>& blocks);

    // Shows the window and runs the actions; nothing when its window is up.
    void fire(const alarm_ptr& a);
    // One-shot alarms without a window go once fired.
    void after_firing(const std::vector<alarm_ptr>& fired);

    // ---- operations ----
    // Undoable; the add allocates the id. Return the command's alarm id.
    std::int32_t add_alarm(Alarm a);
    void modify_alarm(const Alarm& after);
    void delete_alarm(std::int32_t id);
    // Not undoable: a fired one-shot alarm leaves.
    void delete_fired(std::int32_t id);
    // The user closed an alarm's windows.
    void window_closed(std::int32_t id);
    // Moves the alarm seconds ahead (a generated one becomes a stored one).
    void snooze(std::int32_t id, std::int64_t seconds);

    // The words the history uses for an alarm.
    QString describe(const Alarm& a) const;

    bool is_windowed(std::int32_t id) const { return windows_ != nullptr && windows_->has_window(id); }
    // The timer rules of a task alarm (types 3 to 6) for a running entry.
    bool timer_condition(const Alarm& a, const model::task& t, const TrackedTime& running,
                         std::int64_t elapsed_before, std::int64_t total_without_running) const;

    // No alarm fires during shutdown.
    void clear();

    // The operations of the commands (they keep the task's list in step).
    alarm_ptr insert(Alarm a);
    void replace(const Alarm& value);
    void remove(std::int32_t id);

    long on_announcement(const store::announcement& a) override;

private:
    void close_windows(std::int32_t id);
    void fire_next_transition(std::vector<alarm_ptr>& fired);
    void fire_if_free(const alarm_ptr& a, std::vector<alarm_ptr>& fired);
    void withdraw(int list, std::int32_t task);
    // The stored alarms of a task that are not default settings.
    std::vector<alarm_ptr> alarms_of(std::int32_t task) const;

    store::alarm_facade_impl& alarms_;
    model::task_store& tasks_;
    history::history& history_;
    alarm_actions& actions_;
    QString asset_folder_;
    alarm_windows* windows_ = nullptr;
    std::vector<alarm_ptr> generated_[2];  // type 12, type 13
    std::int32_t next_generated_id_ = -1;
    time::stored_time last_ = 0;
    bool cleared_ = false;
};

}  // namespace qm::tracking
