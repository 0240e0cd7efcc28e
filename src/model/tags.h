#pragma once
// Lookups over the tags (rows of Contexts) and the tasks that carry them.
// Tags match by name without regard to case. Main thread only.

#include "model/task_store.h"

#include <QString>
#include <QStringList>

namespace qm::model {

// "tag: Home"; an unnamed tag is "tag: untitled".
QString tag_display(const QString& name);
// The name in messages: the name, or "untitled".
QString tag_message_name(const QString& name);

// The first tag whose name equals name without regard to case.
store::context_facade::record_ptr find_tag(const store::tables& tables, const QString& name);
// Every task whose tag list holds the tag.
std::vector<task*> tasks_of_tag(const task_store& tasks, std::int32_t tag);
int task_count_of_tag(const store::tables& tables, std::int32_t tag);

// "Home, Phone" as a list of tags: trimmed, empty pieces and repeats
// (without regard to case) left out; known names take the stored tag.
std::vector<tag_ref> parse_tag_list(const store::tables& tables, const QString& text);
// Every tag name, sorted without regard to case.
QStringList tag_names(const store::tables& tables);

}  // namespace qm::model
