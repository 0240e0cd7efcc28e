#pragma once
// How the planned work of one day compares with the working time it has:
// the sum that the Day view's summary line shows.

#include "time/calendar.h"

#include <cstdint>

namespace qm::model {

class task_store;

struct day_load {
    std::int64_t planned = 0;       // time left of the unfinished to-dos, plus appointments still ahead
    std::int64_t working_left = 0;  // working time still ahead on that day
    std::int64_t over() const { return planned > working_left ? planned - working_left : 0; }
    std::int64_t free() const { return working_left > planned ? working_left - planned : 0; }
};

// For a past day nothing is ahead; for today only what lies after now counts;
// for a later day the whole working time. Working hours are seconds since
// midnight; an end at or before the start means no working time.
day_load compute_day_load(const task_store& tasks, time::stored_date date, time::stored_time now, int working_start,
                          int working_end);

}  // namespace qm::model
