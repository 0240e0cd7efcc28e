#pragma once
// The timer operations as menus, buttons and the Clapperboard call them, each
// through the history: start, stop, toggle, Next, Progression, distractions,
// interruptions, idle time, and moving or attaching tracked time. Also the
// hooks by which a change of the timed task stops its timer. Main thread only.

#include "history/task_commands.h"
#include "tracking/next_task.h"
#include "tracking/task_timer.h"

namespace qm::tracking {

class timer_operations {
public:
    timer_operations(history::history& h, history::task_commands& commands, model::task_store& store,
                     task_timer& timer);
    ~timer_operations();
    timer_operations(const timer_operations&) = delete;
    timer_operations& operator=(const timer_operations&) = delete;

    task_timer& timer() { return timer_; }

    // Nothing on a recurrence master.
    void start_timer(const model::task_ptr& t);
    // Nothing when nothing is timed.
    void stop_timer();
    // Stops t when it is timed, else starts it.
    void toggle(const model::task_ptr& t);
    // Finishes the timed task and times next (with none given, the next task
    // of today). Returns the task timed afterwards, or nullptr.
    model::task* next_task(const model::task_ptr& next = nullptr);
    // A follow-up of the timed task named text takes over the timer; false
    // when nothing is timed.
    bool progression(const QString& text);
    // Time taken from the timed task and booked, finished, to named; 0
    // seconds takes the running entry's length.
    void record_distraction(const model::task_ptr& named, std::int64_t seconds);
    // named becomes the timed task.
    void record_interruption(const model::task_ptr& named);
    // The same for a task named by typed text: the task of today of that
    // name, or a new one, found or added in the same undo step.
    void record_distraction(const QString& text, std::int64_t seconds);
    void record_interruption(const QString& text);
    // The time since idle_start is booked to named and cut out of the timed task.
    void assign_idle_time(const model::task_ptr& named, time::stored_time idle_start);
    void move_tracked_time(std::int32_t entry, const model::task_ptr& from, const model::task_ptr& to);
    void add_task_with_tracked_time(const model::task_ptr& new_task, std::int32_t entry,
                                    const model::task_ptr& from);
    // A new entry on t covering [start, start + duration).
    void attach_time_range(const model::task_ptr& t, time::stored_time start, std::int32_t duration);

    // The task of today named text (without regard to case), or a new to-do of
    // today with that name, added through the history.
    model::task_ptr find_or_add_task(const QString& text);

    // The schedule's candidate for Next; until the day schedule exists, the
    // day order stands in.
    schedule_candidate_source schedule_source;
    // The task-change alarm triggers, after every change the status hooks see.
    std::function<void(const model::task& before, const model::task& after)> task_change_alarms;

private:
    // Books [start, start + seconds) to named and cuts it out of the timed task.
    void distraction(const model::task_ptr& named, std::int64_t seconds);
    void book_away(const model::task_ptr& named, time::stored_time start, std::int64_t seconds, bool finish);
    void on_status_change(model::task& t, int old_status);
    void on_changed(const model::task& before, model::task& t);

    history::history& history_;
    history::task_commands& commands_;
    model::task_store& store_;
    task_timer& timer_;
};

}  // namespace qm::tracking
