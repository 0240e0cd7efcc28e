#pragma once
// A started core with the role, value and tag commands on one history, and
// the rows of Roles, Values, Contexts and TaskContexts from memory and from
// the file, to compare after a drain.

#include "history/role_commands.h"
#include "history/tag_commands.h"
#include "model/task_fixture.h"

#include <map>
#include <set>

namespace qm::test {

struct role_fixture : task_fixture {
    std::unique_ptr<history::history> h;
    std::unique_ptr<history::task_commands> tc;
    std::unique_ptr<history::role_commands> rc;
    std::unique_ptr<history::tag_commands> tags;

    role_fixture() { rebuild(); }
    void rebuild()
    {
        tags.reset();
        rc.reset();
        tc.reset();
        h = std::make_unique<history::history>([this] { store().end_change_batch(); });
        tc = std::make_unique<history::task_commands>(*h, store());
        rc = std::make_unique<history::role_commands>(*h, tables(), roles());
        tags = std::make_unique<history::tag_commands>(*h, tables(), store(), *tc);
    }
    void restart()
    {
        tags.reset();
        rc.reset();
        tc.reset();
        h.reset();
        core.restart();
        rebuild();
    }

    store::tables& tables() { return core.core().tables(); }
    model::role_store& roles() { return core.core().roles(); }

    // Removes the default tree, so a test starts from its own rows.
    void clear_roles()
    {
        std::vector<std::int32_t> ids;
        for (const auto& r : tables().roles.cache())
            ids.push_back(r->id);
        for (std::int32_t id : ids)
            tables().roles.delete_entity(id);
    }

    std::int32_t role_id(const QString& name)
    {
        for (const auto& r : tables().roles.cache())
            if (r->name == name)
                return r->id;
        return 0;
    }
    const store::role_record& role(const QString& name) { return roles().find(role_id(name)); }

    std::int32_t value_id(const QString& name)
    {
        for (const auto& v : tables().values.cache())
            if (v->name == name)
                return v->id;
        return 0;
    }
    // name → index of every value, from memory.
    std::map<QString, int> value_order()
    {
        std::map<QString, int> out;
        for (const auto& v : tables().values.cache())
            out[v->name] = v->index;
        return out;
    }
};

// The rows of the four tables as text, from memory or from a connection.
struct role_tables {
    std::map<int, QStringList> roles;
    std::map<int, QStringList> values;
    std::map<int, QString> tags;
    std::set<std::pair<int, int>> links;
    QString mission;
    bool operator==(const role_tables& o) const
    {
        return roles == o.roles && values == o.values && tags == o.tags && links == o.links && mission == o.mission;
    }
};

inline role_tables role_tables_in_memory(const store::tables& t)
{
    role_tables out;
    for (const auto& r : t.roles.cache())
        out.roles[r->id] = {QString::number(r->parent), r->name, r->description, r->values,
                            QString::number(r->foreground_color), QString::number(r->background_color)};
    for (const auto& v : t.values.cache())
        out.values[v->id] = {v->name, v->description, QString::number(v->index)};
    for (const auto& c : t.contexts.cache())
        out.tags[c->id] = c->name;
    for (const auto& l : t.task_contexts.cache())
        out.links.insert({l->task, l->context});
    out.mission = t.mission_statement.text();
    return out;
}

inline role_tables role_tables_on_disk(store::database& db)
{
    role_tables out;
    for (const auto& row : query(db, "SELECT id, parent, name, description, [values], foreground_color, "
                                     "background_color FROM Roles"))
        out.roles[row[0].toInt()] = row.mid(1);
    for (const auto& row : query(db, "SELECT id, name, description, [index] FROM [Values]"))
        out.values[row[0].toInt()] = row.mid(1);
    for (const auto& row : query(db, "SELECT id, name FROM Contexts"))
        out.tags[row[0].toInt()] = row[1];
    for (const auto& row : query(db, "SELECT task, context FROM TaskContexts"))
        out.links.insert({row[0].toInt(), row[1].toInt()});
    for (const auto& row : query(db, "SELECT text FROM MissionStatements WHERE id = 0"))
        out.mission = row[0];
    return out;
}

}  // namespace qm::test
