#pragma once
// Moving tasks by hand inside a project's task list: indent, outdent, one
// place up or down, to the top or the bottom, into another folder, and the
// folder prioritization method. A hand move into a group ordered by ROI where
// some task has an impact switches that group to Manual first, so that the
// position holds. Each operation is one history group.

#include "history/project_commands.h"
#include "history/task_commands.h"
#include "model/project_order.h"

namespace qm::history {

struct move_result {
    bool done = false;
    QString message;  // why nothing was done, for the status bar
};

namespace move_to {
constexpr int up = 0, down = 1, top = 2, bottom = 3;
}

class tree_moves {
public:
    tree_moves(history& h, model::task_store& tasks, model::project_store& projects, task_commands& task_cmds,
               project_commands& project_cmds)
        : history_(h), tasks_(tasks), projects_(projects), task_cmds_(task_cmds), project_cmds_(project_cmds)
    {
    }

    // The task's group (its siblings, itself included) in display order.
    std::vector<model::task*> group_of(const model::task& t) const;
    // The group's method: its folder's, or the project's for the top level.
    int method_of(const model::task* parent, const model::project& p) const;

    // Under the sibling shown above it, at the end.
    move_result indent(model::task& t);
    // Right after its parent, in the parent's group.
    move_result outdent(model::task& t);
    move_result move(model::task& t, int where);
    // Into a folder (nullptr: the project's top level) at the end; a folder
    // under itself or one of its own descendants is refused.
    move_result move_under(model::task& t, std::int32_t project, model::task* new_parent);
    // On a folder its own method; on a top-level task its project's; on a
    // nested task its parent folder's.
    bool set_method(model::task& t, int method);

private:
    model::task* parent_of(const model::task& t) const { return tasks_.parent_of(t); }
    // The group ordered by hand, numbered 1 … n as it is shown now.
    void make_manual(const model::task& member, const model::project& p);

    history& history_;
    model::task_store& tasks_;
    model::project_store& projects_;
    task_commands& task_cmds_;
    project_commands& project_cmds_;
};

}  // namespace qm::history
