#pragma once
// The Role and Tag cells of the task lists: the effective role in its
// colours, and what typing a role's name or a list of tags means.

#include "history/tag_commands.h"
#include "model/role_store.h"

#include <QColor>
#include <QStringList>

#include <functional>

namespace qm::ui {

struct role_cells {
    model::role_store& roles;
    history::tag_commands& tags;

    // The colours of the task's effective role; invalid without a role.
    QColor foreground(const model::task_store& store, const model::task& t) const;
    QColor background(const model::task_store& store, const model::task& t) const;
    // Every role's name (life areas aside), in role order.
    QStringList role_names() const;
    // The role named text (without regard to case); 0 for "" or "none", -1
    // when no role has that name.
    std::int32_t role_by_name(const QString& text) const;
    // Gives the tasks the typed role; false (and a message) for an unknown name.
    bool commit_role(history::task_commands& commands, const std::vector<model::task*>& tasks, const QString& text,
                     const std::function<void(const QString&)>& report) const;
};

}  // namespace qm::ui
