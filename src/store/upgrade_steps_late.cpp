// The conversion steps of the 2.x versions.

#include "store/database.h"
#include "store/database_settings.h"
#include "store/id_facade.h"
#include "store/upgrade_steps.h"
#include "store/upgrade_support.h"

#include <sqlite3.h>

#include <map>

namespace qm::store {
namespace {

void run(database& db, statement s)
{
    if (db.step_failed(s)) {
        const QString message = db.error_message();
        db.finalize(s);
        throw sqlite_exception(message);
    }
    sqlite3_reset(s);
}

}  // namespace

void step_2_61(step_context& c)
{
    stamp_version(c.db, 2, 61);
    c.db.execute(QStringLiteral("ALTER TABLE [Goals] RENAME TO [Projects];"));
    // By position: "hours_per_week" becomes "folder_type" and "goal" "project".
    rebuild_table(c.db, QStringLiteral("Projects"), current_definition(QStringLiteral("Projects")));
    c.rebuild_later(QStringLiteral("Tasks"), {current_definition(QStringLiteral("Tasks")), {}, {}});
    rebuild_table(c.db, QStringLiteral("TaskRecurrences"), current_definition(QStringLiteral("TaskRecurrences")));
}

// The stamp is not postponed: the request is kept in the file instead, so
// that a run interrupted after the conversion committed still numbers the
// folders next time, and the steps after this one never run twice.
void step_2_70(step_context& c) { c.request(pending_work::project_folders); }

void step_2_80(step_context& c)
{
    c.flush(QStringLiteral("Tasks"));
    if (table_exists(c.db, QStringLiteral("TaskRecurrences"))) {
        // Above every id the counter has handed out, so that no new task takes
        // the id of a deleted one that something may still name.
        std::int64_t next_task = scalar(c.db, QStringLiteral("SELECT MAX(id) FROM Tasks")) + 1;
        next_task = std::max(next_task, scalar(c.db, QStringLiteral("SELECT [next_id] FROM [Ids] WHERE [id] = 1")));

        struct template_row {
            std::int32_t id;
            std::int32_t parent;
            bool appointment;
            std::int32_t priority;
        };
        std::vector<template_row> rows;
        statement s = c.db.prepare(QStringLiteral("SELECT id, parent, appointment, priority FROM TaskRecurrences"));
        while (!c.db.step(s))
            rows.push_back({c.db.column_int(s, 1), c.db.column_int(s, 2), c.db.column_bool(s, 3), c.db.column_int(s, 4)});
        c.db.finalize(s);

        c.db.execute(QStringLiteral("CREATE TEMPORARY TABLE [converted_templates] (old INTEGER PRIMARY KEY, new "
                                    "INTEGER)"));
        statement insert = c.db.prepare(QStringLiteral(
            "INSERT INTO Tasks (id, parent, folder, name, description, deadline, units, status, role, date, "
            "appointment_start, appointment_duration, appointment, estimate, original_estimate, splittable, project, "
            "priority, priority_value, project_priority, recurrence, cost, project_priority_value, crisis_index) "
            "SELECT ?1, parent, 0, name, description, 0, units, 0, role, 408672000, appointment_start, "
            "appointment_duration, appointment, estimate, original_estimate, splittable, project, priority, ?2, "
            "project_priority, 0, 0, ?3, 0 FROM TaskRecurrences WHERE id = ?4"));
        statement map = c.db.prepare(QStringLiteral("INSERT INTO [converted_templates] VALUES(?, ?)"));
        std::map<std::int32_t, int> day_positions;
        for (const template_row& t : rows) {
            const int day_position = t.appointment ? 0 : ++day_positions[t.priority];
            std::int64_t folder_position = 0;
            if (t.parent != 0)
                folder_position =
                    scalar(c.db, QStringLiteral("SELECT max(project_priority_value) FROM Tasks WHERE parent = ") +
                                     QString::number(t.parent)) +
                    1;
            const std::int64_t id = next_task++;
            c.db.bind_int64(insert, 1, id);
            c.db.bind_int(insert, 2, day_position);
            c.db.bind_int64(insert, 3, folder_position);
            c.db.bind_int(insert, 4, t.id);
            run(c.db, insert);
            c.db.bind_int(map, 1, t.id);
            c.db.bind_int64(map, 2, id);
            run(c.db, map);
        }
        c.db.finalize(insert);
        c.db.finalize(map);

        // Without templates there is nothing to move, and each statement
        // below would still read every task.
        if (!rows.empty()) {
            // Every reference moves in one statement per table: moving them one
            // template at a time would carry a reference already moved to a new
            // id that equals a later template's old one along a second time.
            const QString new_of = QStringLiteral("(SELECT new FROM [converted_templates] WHERE old = %1)");
            const QString is_old = QStringLiteral("%1 IN (SELECT old FROM [converted_templates])");
            c.db.execute(QStringLiteral("UPDATE Tasks SET recurrence = %1 WHERE %2")
                             .arg(new_of.arg(QStringLiteral("recurrence")), is_old.arg(QStringLiteral("recurrence"))));
            c.db.execute(QStringLiteral("UPDATE TaskRecurrenceDeletedItems SET task_recurrence = %1 WHERE %2")
                             .arg(new_of.arg(QStringLiteral("task_recurrence")),
                                  is_old.arg(QStringLiteral("task_recurrence"))));
            // Only the recurrences of templates: a routine's recurrence (type 1)
            // names a routine, whose id may be the same number.
            c.db.execute(QStringLiteral("UPDATE Recurrences SET attached = %1 WHERE %2 AND attached_type = 0")
                             .arg(new_of.arg(QStringLiteral("attached")), is_old.arg(QStringLiteral("attached"))));
            if (table_exists(c.db, QStringLiteral("OutlookEntryIDs")))
                c.db.execute(QStringLiteral("UPDATE OutlookEntryIDs SET link_id = %1, type = 0 WHERE %2 AND type = 1")
                                 .arg(new_of.arg(QStringLiteral("link_id")), is_old.arg(QStringLiteral("link_id"))));
        }
        c.db.execute(QStringLiteral("UPDATE Tasks SET recurrence = 0 WHERE recurrence NOT in (SELECT new FROM "
                                    "[converted_templates]) AND recurrence != 0"));
        c.db.execute(QStringLiteral("DROP TABLE [converted_templates]"));
        c.db.execute(QStringLiteral("DROP TABLE TaskRecurrences"));
    }
    seed_counter(c.db, id_kind::recurrences, QStringLiteral("Recurrences"));
    seed_counter(c.db, id_kind::tasks, QStringLiteral("Tasks"));
}

void step_2_81(step_context& c)
{
    c.db.execute(current_definition(QStringLiteral("OutlookFolderEntries")));
    c.db.execute(current_definition(QStringLiteral("OutlookItemEntries")));
    if (table_exists(c.db, QStringLiteral("OutlookEntryIDs"))) {
        statement insert = c.db.prepare(QStringLiteral("INSERT INTO [OutlookItemEntries] VALUES(?,?,'',0,?)"));
        statement s = c.db.prepare(QStringLiteral("SELECT link_id, entry_id FROM OutlookEntryIDs"));
        std::int64_t next = 1;
        while (!c.db.step(s)) {
            c.db.bind_int64(insert, 1, next++);
            c.db.bind_int(insert, 2, c.db.column_int(s, 1));
            c.db.bind_text(insert, 3, c.db.column_text(s, 2));
            run(c.db, insert);
        }
        c.db.finalize(s);
        c.db.finalize(insert);
    }
    seed_counter(c.db, id_kind::outlook_items, QStringLiteral("OutlookItemEntries"));
}

}  // namespace qm::store
