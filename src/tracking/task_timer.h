#pragma once
// The one timer of the program: which task is timed, its running entry kept
// equal to now minus start by a quarter-second tick that works once per
// changed second, and the saves of the timed task. These core operations are
// not undoable themselves; the timer commands call them. Main thread only.

#include "model/task_store.h"
#include "store/announcements.h"
#include "tracking/tracked_time.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

namespace qm::tracking {

// Payload of the timer-started and timer-stopped announcements.
struct timer_payload {
    time::stored_date date = 0;  // the timed task's date
    std::int32_t task = 0;
};

class task_timer : public store::listener {
public:
    static constexpr int tick_period_ms = 250;
    // A processed tick beyond this many since the last save writes the task.
    static constexpr int save_every = 60;

    task_timer(model::task_store& tasks, store::id_facade& ids);
    ~task_timer() override;
    task_timer(const task_timer&) = delete;
    task_timer& operator=(const task_timer&) = delete;

    // Times t: continues its latest entry when that ended under two minutes
    // ago, else begins a new one; with entry_id given, that entry (already in
    // t's list) is the one that runs. Ends any timing first. A recurrence
    // master is never timed.
    void begin_timing(const model::task_ptr& t, std::optional<std::int32_t> entry_id = std::nullopt);
    // Stops the running timer, writing its entry; nothing when nothing is timed.
    void end_timing();

    bool is_timed(const model::task& t) const { return timed_ != nullptr && timed_.get() == &t; }
    const model::task_ptr& timed_task() const { return timed_; }
    const TrackedTime* running_entry() const;
    std::int32_t running_entry_id() const { return running_id_; }
    std::int32_t last_timed_task() const { return last_timed_; }
    bool ticking() const { return system_timer_.isActive(); }
    // The timed task's total as last shown.
    const QString& shown_time_text() const { return shown_text_; }

    // The work of one system-timer tick, at most once per changed second.
    void tick();

    // Where later parts and the windows join in.
    std::function<void()> clear_idle_menu_disabled;
    // The timed task's cells changed (its shown total moved, timing began or ended).
    std::function<void(const model::task& t)> refresh_views;
    // Alarm triggers: timer started, next transition, and every processed tick
    // with the time elapsed before it and the task's total without the running entry.
    std::function<void(const model::task& t)> timer_started_alarms;
    std::function<void()> next_transition_alarms;
    std::function<void(const model::task& t, const TrackedTime& running, std::int64_t elapsed_before,
                       std::int64_t total_without_running)>
        timer_alarms;

    long on_announcement(const store::announcement& a) override;

private:
    TrackedTime* find_running() const;
    void save(const model::task& before, bool end_batch);
    void update_shown_text();
    void clear_state();

    model::task_store& tasks_;
    store::id_facade& ids_;
    model::task_ptr timed_;
    std::int32_t running_id_ = 0;
    mutable std::size_t running_index_ = 0;  // where the running entry was last found
    time::stored_time last_tick_ = 0;
    int save_counter_ = 0;
    QString shown_text_;
    std::optional<model::task> start_snapshot_;
    std::int32_t last_timed_ = 0;
    QTimer system_timer_;
};

}  // namespace qm::tracking
