#include "model/day_load.h"

#include "model/task_store.h"

#include <algorithm>

namespace qm::model {

day_load compute_day_load(const task_store& tasks, time::stored_date date, time::stored_time now, int working_start,
                          int working_end)
{
    day_load load;
    const time::stored_date today = time::date_of(now);
    if (date < today)
        return load;
    // The part of [from, to) of the day that lies after now.
    const std::int64_t after = date == today ? now - date : 0;
    auto ahead = [after](std::int64_t from, std::int64_t to) { return std::max<std::int64_t>(0, to - std::max(from, after)); };

    if (working_end > working_start)
        load.working_left = ahead(working_start, working_end);
    for (const task* t : tasks.tasks_of_date(date)) {
        if (t->is_folder() || t->status != status::unfinished)
            continue;
        if (t->appointment) {
            if (t->appointment_start >= 0 && t->appointment_duration > 0)
                load.planned += ahead(t->appointment_start, std::int64_t(t->appointment_start) + t->appointment_duration);
        } else {
            load.planned += tasks.time_left(*t);
        }
    }
    return load;
}

}  // namespace qm::model
