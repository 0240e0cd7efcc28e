#pragma once
// Which task Next times when it is given none: today's first scheduled block,
// unless a to-do without time left stands before it in day order and the
// block is not at risk.

#include "model/task_store.h"
#include "schedule/schedule_store.h"

#include <functional>
#include <optional>

namespace qm::tracking {

// Today's earliest schedule block whose task is not the timed one, and
// whether that block carries a schedule-before or deadline mark.
struct schedule_candidate {
    model::task* task = nullptr;
    bool at_risk = false;
};
using schedule_candidate_source = std::function<std::optional<schedule_candidate>(const model::task* timed)>;

// Today's to-dos in day order (A, B, C, each by position).
std::vector<model::task*> day_order(const model::task_store& store, time::stored_date date);

// Until the day schedule computes blocks, the first unfinished to-do of the
// day order with time left, which is where the schedule begins the day.
std::optional<schedule_candidate> day_order_candidate(const model::task_store& store, const model::task* timed);

// Today's schedule block with the smallest start below 86399 whose task is
// not the timed one (the first in schedule order among equals); until today's
// schedule has been computed once, the day-order candidate above.
std::optional<schedule_candidate> schedule_block_candidate(schedule::schedule_store& schedule,
                                                           const model::task_store& store, const model::task* timed);

// The next task, or nullptr.
model::task* next_task_of_today(const model::task_store& store, const model::task* timed,
                                const std::optional<schedule_candidate>& from_schedule);

}  // namespace qm::tracking
