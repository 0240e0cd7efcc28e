#pragma once
// A project's tasks as readable text: one line per task in the order of
// the project's task list, indented by tabs, with a status mark, the task's
// id and tags, and its description on the lines below.

#include "model/project.h"
#include "model/task_store.h"

#include <QString>

namespace qm::model {

// "[ ] ", "[D] ", "[C] ", "[X] " or "[W] ".
QString status_mark(int status);
// One task's lines at a level (1: the project's top level).
QString outline_lines(const task& t, int level);
// Every task of the project, all statuses, lines joined by CR LF.
QString project_outline(const task_store& store, const project& p);

}  // namespace qm::model
