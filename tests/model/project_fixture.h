#pragma once
// A started core with projects: helpers that add projects and project tasks
// through the stores, and the project rows read back from the file.

#include "model/project_store.h"
#include "model/task_fixture.h"

#include <map>
#include <tuple>

namespace qm::test {

struct project_fixture : task_fixture {
    model::project_store& projects() { return core.core().projects(); }

    model::project_ptr add_project(const QString& name, std::int32_t parent = 0, int value = -1)
    {
        auto p = std::make_shared<model::project>();
        p->name = name;
        p->parent = parent;
        p->priority_value = value;
        projects().add_project(p);
        return p;
    }

    model::project_ptr project_named(const QString& name)
    {
        for (const auto& p : projects().all())
            if (p->name == name)
                return p;
        return nullptr;
    }

    // name → (parent, priority_value), from memory.
    std::map<QString, std::pair<int, int>> project_order()
    {
        std::map<QString, std::pair<int, int>> out;
        for (const auto& p : projects().all())
            out[p->name] = {p->parent, p->priority_value};
        return out;
    }
};

// Every column of Projects, by id, as text.
inline std::map<int, QStringList> project_rows(store::database& db)
{
    std::map<int, QStringList> out;
    for (const auto& row : query(db, "SELECT id, name, description, finished, deadline, units, status, role, type, "
                                     "folder_type, priority_value, parent FROM Projects"))
        out[row[0].toInt()] = row;
    return out;
}

inline QStringList project_row(const model::project& p)
{
    return {QString::number(p.id),       p.name,
            p.description,               QString::number(p.finished),
            QString::number(p.deadline), QString::number(p.units),
            QString::number(p.status),   QString::number(p.role),
            QString::number(p.type),     QString::number(p.folder_type),
            QString::number(p.priority_value), QString::number(p.parent)};
}

// id → (project, parent, folder column, project_priority_value) of every task.
using task_places = std::map<int, std::tuple<int, int, int, int>>;

inline task_places places_in_memory(model::task_store& store)
{
    task_places out;
    for (const auto& t : store.all())
        out[t->id] = {t->project, t->parent, model::task_proxy::folder_column(t->folder), t->project_priority_value};
    return out;
}

inline task_places places_on_disk(store::database& db)
{
    task_places out;
    for (const auto& row : query(db, "SELECT id, project, parent, folder, project_priority_value FROM Tasks"))
        out[row[0].toInt()] = {row[1].toInt(), row[2].toInt(), row[3].toInt(), row[4].toInt()};
    return out;
}

}  // namespace qm::test
