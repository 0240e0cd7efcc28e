#pragma once
// The order of a project's task list: each group (the project's top level or
// one folder) ordered by its method, ROI or by hand, and the tree of groups
// as a list view shows it. Main thread only.

#include "model/project.h"
#include "model/task_store.h"

#include <unordered_map>
#include <vector>

namespace qm::model {

// The method of a group as folder_method (roi or manual): a folder's own, or
// for the top level (parent nullptr) the project's folder_type.
int group_method(const project& p, const task* parent);

// Manual: by project_priority_value, tasks at 0 after the ordered ones, by
// id among themselves. ROI: Yield descending, equal Yield in the manual order.
void order_group(const task_store& store, std::vector<task*>& group, int method);

// A hand move into a group ordered by ROI while some task of it has an
// impact: the group must switch to Manual so that the position holds.
bool needs_manual_switch(const task_store& store, const std::vector<task*>& group, int method);

struct task_tree {
    std::vector<task*> roots;
    std::unordered_map<std::int32_t, std::vector<task*>> children;  // by the parent's id

    const std::vector<task*>& children_of(std::int32_t id) const;
};

// Every task of the project in its place. A task whose parent is missing or
// outside the project stands at the top level, and so does a task caught in
// a loop of parents (a damaged file), so that every task is shown once.
task_tree build_task_tree(const task_store& store, const project& p);

}  // namespace qm::model
