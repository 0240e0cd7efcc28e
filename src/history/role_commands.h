#pragma once
// The undoable operations on roles, life areas, values and the mission
// statement, as the Overview calls them. Each user-level operation is one
// described step of the history.

#include "history/history.h"
#include "history/row_changes.h"
#include "model/role_store.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace qm::history {

class mission_statement_command : public command {
public:
    mission_statement_command(store::mission_statement_store& store, QString after)
        : store_(store), before_(store.text()), after_(std::move(after))
    {
    }
    void apply(bool) override { store_.set_text(after_); }
    void undo() override { store_.set_text(before_); }
    QString change_text() const override { return QStringLiteral("changes to mission statement"); }

private:
    store::mission_statement_store& store_;
    QString before_;
    QString after_;
};

// What the Overview's Delete takes: whole rows, values shown under a role
// (the pair role, value), descriptions of roles and the mission statement.
struct role_items {
    std::vector<std::int32_t> roles;  // roles and life areas
    std::vector<std::pair<std::int32_t, std::int32_t>> role_values;
    std::vector<std::int32_t> descriptions;
    bool mission_statement = false;
    bool empty() const
    {
        return roles.empty() && role_values.empty() && descriptions.empty() && !mission_statement;
    }
};

class role_commands {
public:
    role_commands(history& h, store::tables& tables, model::role_store& roles)
        : history_(h), tables_(tables), roles_(roles)
    {
    }

    // ---- roles and life areas ----
    // A role under a life area (0: outside any) or a life area (parent -1);
    // a role takes its life area's colours. Returns the new id, or 0 for an
    // empty name, which is refused.
    std::int32_t add(const QString& name, std::int32_t parent);
    // Refuses an empty name; false when nothing changed.
    bool rename(std::int32_t id, const QString& name);
    bool set_description(std::int32_t id, const QString& text);
    // On a life area its roles that still had both its old colours follow;
    // on a role only the role changes.
    bool set_color(std::int32_t id, std::int32_t foreground, std::int32_t background);
    bool copy_color_to_child_roles(const std::vector<std::int32_t>& life_areas);
    bool associate(const std::vector<std::int32_t>& roles, std::int32_t life_area);
    bool disassociate(const std::vector<std::int32_t>& roles);
    // Appends each value the role does not hold yet.
    bool add_values_to_role(std::int32_t role, const std::vector<std::int32_t>& values);
    // Deleted life areas leave their roles outside any; tasks and projects
    // keep the ids of deleted roles, which then show no role.
    bool remove_items(const role_items& items);

    // ---- values ----
    // Appended when index is -1. Returns the new id, or 0 for an empty name.
    std::int32_t add_value(const QString& name, int index = -1);
    // Each name as a new value at the end of the order, in the given order,
    // as one step; blank names, repeats and names of existing values
    // (without regard to case) are left out. Returns the new ids.
    std::vector<std::int32_t> add_values(const QStringList& names);
    bool rename_value(std::int32_t id, const QString& name);
    bool set_value_description(std::int32_t id, const QString& text);
    bool delete_values(const std::vector<std::int32_t>& ids);
    // By -1 (up) or +1 (down), when the result stays in the list.
    bool move_value(std::int32_t id, int delta);

    // ---- the mission statement ----
    bool set_mission_statement(const QString& text);

    history& owner() { return history_; }

private:
    using role_changes = std::vector<model::row_change<store::role_record>>;
    void add_role_changes(role_changes changes, const QString& text);
    void add_value_changes(std::vector<model::value_change> changes, const QString& text);
    std::vector<store::value_record> values() const;

    history& history_;
    store::tables& tables_;
    model::role_store& roles_;
};

// "value \"Integrity\"".
QString describe_value(const store::value_record& v);

}  // namespace qm::history
