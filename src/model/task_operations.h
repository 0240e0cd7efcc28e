#pragma once
// The Task menu's operations on the store, one task at a time. Each goes
// through the store's change wrapper, so a caller ends the change batch (the
// history does this for commands).

#include "model/task_store.h"

#include <QString>

namespace qm::model {

class task_operations {
public:
    explicit task_operations(task_store& store) : store_(store) {}

    // "A", "B", "C": a task already at that priority is left alone.
    bool set_day_priority(task& t, int priority);
    // Within the task's day group, over unfinished tasks holding a place.
    bool push_to_top(task& t);
    bool push_to_bottom(task& t);
    // To priority A, then to the top of group A.
    bool make_top_priority(task& t);

    bool set_status(task& t, int status, unsigned flags = 0);
    bool set_date(task& t, time::stored_date date);
    bool set_no_date(task& t) { return set_date(t, time::NO_DATE); }
    bool set_today(task& t) { return set_date(t, time::today()); }
    bool set_tomorrow(task& t) { return set_date(t, time::tomorrow()); }
    bool set_weekday(task& t, int weekday) { return set_date(t, time::weekday_date(weekday)); }

    bool convert_to_folder(task& t, int method = folder_method::roi);
    bool convert_to_task(task& t);
    // On a folder its own method; on a top-level task its project's (through
    // set_project_method); on a nested task its parent folder's.
    bool set_folder_method(task& t, int method);
    std::function<void(std::int32_t project, int method)> set_project_method;

    // The unfinished or waiting tasks dated within the last `days` days
    // before today; an occurrence whose recurrence already has a task today
    // is left out.
    std::vector<task*> previously_uncompleted(int days) const;
    // Moves them to today; returns how many moved.
    int pull_previously_uncompleted(int days);
    // "moving %1!d! unfinished tasks to %2".
    static QString pull_description(int count, const QString& date_text);

private:
    bool push_to(task& t, bool top);

    task_store& store_;
};

}  // namespace qm::model
