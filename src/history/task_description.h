#pragma once
// Words for a change of one task, from its states before and after.

#include "model/task.h"

#include <QString>

#include <functional>
#include <optional>

namespace qm::history {

// Names of the things a task refers to; a missing name is empty (nullopt for
// a project that cannot be found).
struct naming {
    std::function<QString(std::int32_t task)> task_name;
    std::function<QString(std::int32_t role)> role_name;
    std::function<std::optional<QString>(std::int32_t project)> project_name;
    // An alarm's trigger in words ("when finished"); the alarms fill it in.
    std::function<QString(const store::alarm_record& a)> alarm_trigger;
};

// `task "name"`, or `task` when the name is empty.
QString task_label(const model::task& t);
// A caption, ": ", the first 30 characters of the text and "..." when longer.
QString excerpt_label(const QString& caption, const QString& text);
// "A3", or "B" for a task without a place in the day order.
QString priority_text(const model::task& t);
QString tags_text(const model::task& t);

// "modifying the task \"…\"\r\nby …\r\nand …", at most 2047 characters.
QString describe_task_change(const model::task& before, const model::task& after, const naming& names);

}  // namespace qm::history
