#pragma once
// Routines: named, role-bound spans of the day. The program never adds one;
// older files bring them, and their schedule lives in a recurrence row of
// their own (attached type 1). Main thread only.

#include "store/records.h"

#include <vector>

namespace qm::store {
struct tables;
}

namespace qm::model {

class task_recurrences;

namespace recurrence_owner {
constexpr int task = 0;
constexpr int routine = 1;
}  // namespace recurrence_owner

// The pattern of a routine, or nullptr.
const time::recurrence* routine_pattern(const store::tables& tables, std::int32_t routine);

// The work after the load that older files ask for: every routine without a
// pattern gets one (every day, from today) and the routine is written again.
// Returns how many were given one.
int give_routines_recurrences(store::tables& tables, task_recurrences& recurrences);

}  // namespace qm::model
