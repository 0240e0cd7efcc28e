#pragma once
// Habits: the rule each one states (which work counts, how many points it
// earns, when in the day, up to what maximum) and the points earned by the
// finished tasks and tracked times of a day. Routines are shown as they are
// kept. Main thread only.
//
// The points of a habit on a day:
// - "on the completion of" (duration 0): every matching task finished and
//   dated that day earns the points once. When it has tracked time that day,
//   the end of its last entry is when it was finished, and a finish outside
//   the "after" / "before" window does not count; without one the time of
//   day is unknown and the task counts.
// - "for every" duration "of effort on": the tracked task time of the
//   matching tasks that day, cut to the window, earns the points for each
//   whole stretch of the duration.
// - A maximum above 0 caps the points of each day.
// A task matches a recurrence habit when it is that recurrence's master or an
// occurrence of it, a folder habit when it lies under that folder, a project
// habit when it belongs to the project, and a role habit when its role (its
// own or its project's) is the role, or lies in the life area named.

#include "model/task_store.h"
#include "store/records.h"

#include <QString>

namespace qm::store {
struct tables;
}

namespace qm::model {

class task_recurrences;

namespace habit_kind {
constexpr int task_recurrence = 0;
constexpr int folder = 1;
constexpr int project = 2;
constexpr int role = 3;
}  // namespace habit_kind

// "task recurrence:", "a task under folder:", …
QString habit_kind_text(int kind);
// "habit Exercise", as the history and the lists name a habit.
QString habit_description(const store::habit_record& h);
// "5 points for every 30m of effort on a task of the role: Health".
QString habit_rule_text(const store::habit_record& h, const QString& item_name);
// Why a habit cannot be stored as it is, or empty.
QString habit_problem(const store::habit_record& h);

// Routines are shown, not edited: "routine \"Morning\"".
QString routine_description(const store::routine_record& r);

class habit_points {
public:
    habit_points(const task_store& tasks, const store::tables& tables, const task_recurrences* recurrences)
        : tasks_(tasks), tables_(tables), recurrences_(recurrences)
    {
    }

    bool matches(const store::habit_record& h, const task& t) const;
    // The points earned on one day.
    int on(const store::habit_record& h, time::stored_date day) const;
    // The points of the days from first to last, both included.
    int between(const store::habit_record& h, time::stored_date first, time::stored_date last) const;

private:
    const task_store& tasks_;
    const store::tables& tables_;
    const task_recurrences* recurrences_;
};

}  // namespace qm::model
