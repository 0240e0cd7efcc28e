#pragma once
// The work after the load that the conversion of a file older than 1.50 asks
// for: the targets of its goals become folders and tasks of the projects.
// Main thread, inside the start-up transaction.

#include "store/upgrade.h"

namespace qm::model {
class task_store;
}
namespace qm::store {
class database;
}

namespace qm::app {

// Removes each target whose parent target does not exist, together with the
// targets under it, for every project.
void remove_orphaned_targets(store::database& db);

// Turns the targets of every project into tasks added through the task store,
// each parent target first, then hangs the tasks that named a target under
// the task made from that target's parent.
void convert_targets(store::database& db, model::task_store& tasks, const store::upgrade_requests& requests);

}  // namespace qm::app
