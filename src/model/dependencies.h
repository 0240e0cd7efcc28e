#pragma once
// What the dependency links of the tasks mean to the user: which tasks one
// still waits on, and whether a new link would close a circle. The links
// themselves are kept in step with each task by the task store. Main thread.

#include "model/task_store.h"

#include <QString>

#include <vector>

namespace qm::model {

// A dependency blocks while it is neither finished nor canceled.
bool blocks(const task& dependency);
// The tasks t depends on that still block it, in the order of its list.
std::vector<task*> open_dependencies(const task_store& store, const task& t);
// "Waits on: Buy paint, Call the landlord" or empty when nothing blocks.
QString waiting_text(const task_store& store, const task& t);

// The first id of wanted that would make the task depend on itself through
// the links of the other tasks (itself included), or 0 when none does.
std::int32_t closing_cycle(const task_store& store, std::int32_t task_id, const std::vector<std::int32_t>& wanted);
// "Buy paint already waits on this task, so this task cannot wait on it."
QString cycle_message(const task_store& store, std::int32_t task_id, std::int32_t culprit);

}  // namespace qm::model
