#pragma once
// Tracked time: entries of time spent on a task, each a start and a duration,
// and what the timers and the task dialog read from a task's list of them.

#include "model/task.h"
#include "store/records.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace qm::tracking {

using TrackedTime = store::tracked_time_record;
// A task's entries, as the task holds them.
using TrackedTimes = model::compact_list<TrackedTime>;

namespace entry_type {
constexpr int task_time = 0;
constexpr int interruption = 1;  // only in files upgraded from older versions
}  // namespace entry_type

// A recording stays open for this long after it ended: starting its task again
// within the gap continues it instead of beginning a new one.
constexpr std::int64_t resume_gap = 120;

inline time::stored_time end_of(const TrackedTime& e) { return e.start + static_cast<std::int64_t>(e.duration); }

// Among the task-time entries, the one with the greatest end; on equal ends
// the first in the list. nullptr when there is none.
const TrackedTime* latest_task_time(const TrackedTimes& entries);
TrackedTime* latest_task_time(TrackedTimes& entries);

// The sum of the durations of every entry.
std::int64_t total_tracked(const TrackedTimes& entries);

// The entry of that id, or nullptr.
TrackedTime* find_entry(TrackedTimes& entries, std::int32_t id);
const TrackedTime* find_entry(const TrackedTimes& entries, std::int32_t id);

// The one line below the Timers page's list.
QString tracked_time_summary(const TrackedTimes& entries);

// A timed task's total as the timer shows it: seconds under a minute, else a duration.
QString running_time_text(std::int64_t seconds);

// The seconds between start and now, held to the range of a duration.
std::int32_t clamp_duration(std::int64_t seconds);

}  // namespace qm::tracking
