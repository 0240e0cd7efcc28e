#include "app/post_load_conversion.h"

#include "model/task_store.h"
#include "store/database.h"
#include "store/upgrade_support.h"

#include <sqlite3.h>

#include <functional>
#include <map>
#include <set>
#include <vector>

namespace qm::app {
namespace {

// A target row by column name: older files differ in which columns they have.
struct target {
    std::int32_t id = 0;
    std::int32_t goal = 0;
    std::int32_t parent = 0;
    bool folder = false;
    std::int32_t priority = 0;
    QString name;
    QString comments;
    QString description;
    time::stored_time deadline = 0;
    std::int32_t impact = 0;
    std::int32_t status = 0;
    time::stored_date date = 0;
    std::int32_t estimate = 0;
    std::int32_t original_estimate = -1;
};

bool read_target(store::database& db, std::int32_t id, target& t)
{
    store::statement s = db.prepare(QStringLiteral("SELECT * FROM targets WHERE id = ") + QString::number(id));
    const bool found = !db.step(s);
    if (found) {
        for (int i = 1; i <= sqlite3_column_count(s); ++i) {
            const QString column = QString::fromUtf8(sqlite3_column_name(s, i - 1)).toLower();
            if (column == QLatin1String("id"))
                t.id = db.column_int(s, i);
            else if (column == QLatin1String("goal"))
                t.goal = db.column_int(s, i);
            else if (column == QLatin1String("parent"))
                t.parent = db.column_int(s, i);
            else if (column == QLatin1String("folder"))
                t.folder = db.column_bool(s, i);
            else if (column == QLatin1String("priority"))
                t.priority = db.column_int(s, i);
            else if (column == QLatin1String("name"))
                t.name = db.column_text(s, i);
            else if (column == QLatin1String("comments"))
                t.comments = db.column_text(s, i);
            else if (column == QLatin1String("description"))
                t.description = db.column_text(s, i);
            else if (column == QLatin1String("deadline"))
                t.deadline = db.column_int64(s, i);
            else if (column == QLatin1String("units") || column == QLatin1String("impact"))
                t.impact = db.column_int(s, i);
            else if (column == QLatin1String("status"))
                t.status = db.column_int(s, i);
            else if (column == QLatin1String("date"))
                t.date = db.column_date(s, i);
            else if (column == QLatin1String("estimate"))
                t.estimate = db.column_int(s, i);
            else if (column == QLatin1String("original_estimate"))
                t.original_estimate = db.column_int(s, i);
        }
    }
    db.finalize(s);
    if (t.original_estimate < 0)
        t.original_estimate = t.estimate;
    return found;
}

std::vector<std::int32_t> ids(store::database& db, const QString& sql)
{
    std::vector<std::int32_t> result;
    store::statement s = db.prepare(sql);
    while (!db.step(s))
        result.push_back(db.column_int(s, 1));
    db.finalize(s);
    return result;
}

struct project_row {
    std::int32_t id;
    std::int32_t role;
};

// Projects in their list order.
std::vector<project_row> projects(store::database& db)
{
    std::vector<project_row> result;
    store::statement s = db.prepare(QStringLiteral("SELECT id, role FROM Projects ORDER BY priority_value, id"));
    while (!db.step(s))
        result.push_back({db.column_int(s, 1), db.column_int(s, 2)});
    db.finalize(s);
    return result;
}

void delete_target(store::database& db, std::int32_t id, std::set<std::int32_t>& seen)
{
    if (!seen.insert(id).second)
        return;  // a loop of parents: each target goes once
    for (std::int32_t child : ids(db, QStringLiteral("SELECT id FROM targets WHERE parent = ") + QString::number(id)))
        delete_target(db, child, seen);
    db.execute(QStringLiteral("DELETE FROM TARGETS WHERE id = ") + QString::number(id));
}

}  // namespace

void remove_orphaned_targets(store::database& db)
{
    if (!store::table_exists(db, QStringLiteral("Targets")))
        return;
    // At this point of an older file the projects are still its goals.
    const QString projects_table =
        store::table_exists(db, QStringLiteral("Projects")) ? QStringLiteral("Projects") : QStringLiteral("Goals");
    for (std::int32_t project : ids(db, QStringLiteral("SELECT id FROM %1 ORDER BY id").arg(projects_table))) {
        bool again = true;
        while (again) {
            again = false;
            for (std::int32_t id :
                 ids(db, QStringLiteral("SELECT id FROM targets WHERE goal = ") + QString::number(project))) {
                const std::int64_t parent =
                    store::scalar(db, QStringLiteral("SELECT parent FROM targets WHERE id = ") + QString::number(id));
                if (parent == 0 ||
                    store::scalar(db, QStringLiteral("SELECT COUNT(*) FROM targets WHERE id = ") +
                                          QString::number(parent)) > 0)
                    continue;
                std::set<std::int32_t> seen;
                delete_target(db, id, seen);
                again = true;
                break;
            }
        }
    }
}

void convert_targets(store::database& db, model::task_store& tasks, const store::upgrade_requests& requests)
{
    if (!store::table_exists(db, QStringLiteral("Targets")))
        return;
    std::set<std::int32_t> named_by_tasks;
    for (const auto& [task, target] : requests.task_targets)
        named_by_tasks.insert(target);

    std::map<std::int32_t, std::int32_t> converted;  // target id → new task id
    std::set<std::int32_t> converting;
    std::function<std::int32_t(std::int32_t, const project_row&)> convert = [&](std::int32_t id,
                                                                                 const project_row& project) {
        if (auto done = converted.find(id); done != converted.end())
            return done->second;
        if (named_by_tasks.count(id) != 0 || !converting.insert(id).second)
            return 0;
        target t;
        if (!read_target(db, id, t))
            return 0;
        auto made = std::make_shared<model::task>();
        made->parent = t.parent != 0 ? convert(t.parent, project) : 0;
        made->folder = t.folder ? model::folder_method::roi : model::folder_method::none;
        made->name = t.name;
        made->description = t.description;
        made->deadline = t.deadline;
        made->units = t.impact;
        made->status = t.status;
        made->estimate = t.estimate;
        made->original_estimate = t.original_estimate;
        made->role = project.role;
        made->project = project.id;
        made->date = t.date != 0 ? t.date : time::NO_DATE;
        made->appointment = false;
        made->project_priority = t.folder ? 1 : t.priority + 1;
        // Tasks have kept no comments column since 1.82: the target's
        // comments become the new task's comment, written with it.
        if (!t.comments.isEmpty())
            made->comments.push_back({0, 0, made->date, 2, t.comments});
        tasks.add_task(made, model::update_flag::no_status_hooks);
        converted[id] = made->id;
        return made->id;
    };

    for (const project_row& project : projects(db))
        for (std::int32_t id : ids(db, QStringLiteral("SELECT id FROM targets WHERE goal = ") + QString::number(project.id)))
            convert(id, project);

    for (const auto& [task_id, target_id] : requests.task_targets) {
        target t;
        if (!read_target(db, target_id, t) || t.parent == 0)
            continue;
        auto found = converted.find(t.parent);
        model::task_ptr task = tasks.find(task_id);
        if (found == converted.end() || !task)
            continue;
        const model::task before = *task;
        task->parent = found->second;
        auto priority = requests.task_target_priorities.find(task_id);
        if (priority != requests.task_target_priorities.end())
            task->project_priority = priority->second;
        tasks.update_task(before, *task, model::update_flag::no_status_hooks);
    }
}

}  // namespace qm::app
