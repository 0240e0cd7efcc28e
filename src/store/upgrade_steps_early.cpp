// The conversion steps from the first versions up to 1.62.

#include "store/database.h"
#include "store/database_settings.h"
#include "store/id_facade.h"
#include "store/schema.h"
#include "store/upgrade_steps.h"
#include "store/upgrade_support.h"

#include <QStringDecoder>

#include <sqlite3.h>

#include <vector>

namespace qm::store {

QString current_definition(const QString& table)
{
    const QString plain = QStringLiteral("CREATE TABLE ") + table + QStringLiteral(" (");
    const QString bracketed = QStringLiteral("CREATE TABLE [") + table + QStringLiteral("] (");
    for (const QString& sql : schema_statements())
        if (sql.startsWith(plain) || sql.startsWith(bracketed))
            return sql;
    return QString();
}

void step_1_03(step_context& c)
{
    c.db.execute(current_definition(QStringLiteral("Contexts")));
    c.db.execute(current_definition(QStringLiteral("TaskContexts")));
    stamp_version(c.db, 1, 3);
}

void step_1_05(step_context& c)
{
    stamp_version(c.db, 1, 5);
    c.requests.restart_required = true;
    c.end_chain = true;
}

void step_1_10(step_context& c)
{
    c.db.execute(QStringLiteral("ALTER TABLE [Reoccurrences] RENAME TO [Recurrences];ALTER TABLE "
                                "[TaskReoccurrenceDeletedItems] RENAME TO [TaskRecurrenceDeletedItems];ALTER TABLE "
                                "[TaskReoccurrences] RENAME TO [TaskRecurrences];"));
    // By position, so that a column that had another name takes its new one;
    // a missing date becomes No Date rather than failing the copy.
    const QStringList task_columns = {"id",          "name",     "comments",
                                      "description", "deadline", "units",
                                      "status",      "role",     "date",
                                      "appointment_start", "appointment_duration", "appointment",
                                      "estimate",    "splittable", "goal",
                                      "priority",    "priority_value", "target",
                                      "recurrence"};
    QStringList sources;
    for (const QString& old : table_columns(c.db, QStringLiteral("Tasks")))
        sources << QLatin1Char('[') + old + QLatin1Char(']');
    if (sources.size() == task_columns.size())
        sources[8] = QStringLiteral("IFNULL(%1, 408844800)").arg(sources[8]);
    else
        sources.clear();
    rebuild_table(c.db, QStringLiteral("Tasks"),
                  QStringLiteral("CREATE TABLE Tasks (id INTEGER PRIMARY KEY NOT NULL,name TEXT,comments "
                                 "TEXT,description TEXT,deadline INTEGER,units INTEGER,status INTEGER,role "
                                 "INTEGER,date INTEGER NOT NULL,appointment_start INTEGER,appointment_duration "
                                 "INTEGER,appointment INTEGER,estimate INTEGER,splittable INTEGER,goal "
                                 "INTEGER,priority INTEGER,priority_value INTEGER,target INTEGER,recurrence INTEGER)"),
                  sources.isEmpty() ? QStringList() : task_columns, sources);
    QStringList deleted;
    for (const QString& old : table_columns(c.db, QStringLiteral("TaskRecurrenceDeletedItems")))
        deleted << QStringLiteral("IFNULL([%1], 0)").arg(old);
    rebuild_table(c.db, QStringLiteral("TaskRecurrenceDeletedItems"),
                  current_definition(QStringLiteral("TaskRecurrenceDeletedItems")),
                  deleted.size() == 2 ? QStringList{"task_recurrence", "date"} : QStringList(),
                  deleted.size() == 2 ? deleted : QStringList());
    stamp_version(c.db, 1, 10);
}

// Text that older versions kept in the Windows code page of the machine,
// Windows-1252 for the users these files come from, rewritten as UTF-8.
void step_1_12(step_context& c)
{
    QStringList tables;
    statement list = c.db.prepare(QStringLiteral("SELECT [name] FROM [sqlite_master] WHERE [type] = 'table'"));
    while (!c.db.step(list))
        tables << c.db.column_text(list, 1);
    c.db.finalize(list);

    struct change {
        QString column;
        std::int64_t rowid;
        QString text;
    };
    for (const QString& table : tables) {
        std::vector<change> changes;
        statement s = c.db.prepare(QStringLiteral("SELECT ROWID, * FROM [") + table + QStringLiteral("]"));
        const int columns = sqlite3_column_count(s);
        int rows = 0;
        while (!c.db.step(s)) {
            for (int i = 1; i < columns; ++i) {
                if (sqlite3_column_type(s, i) != SQLITE_TEXT)
                    continue;
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(s, i));
                const int size = sqlite3_column_bytes(s, i);
                bool ascii = true;
                for (int k = 0; k < size && ascii; ++k)
                    ascii = static_cast<unsigned char>(bytes[k]) < 0x80;
                if (ascii)
                    continue;  // the same bytes in either encoding
                QStringDecoder decode("windows-1252");
                const QString text = decode(QByteArrayView(bytes, size));
                changes.push_back({QString::fromUtf8(sqlite3_column_name(s, i)), sqlite3_column_int64(s, 0), text});
            }
            if (++rows % 2000 == 0)
                c.working();
        }
        c.db.finalize(s);
        for (const change& ch : changes) {
            // Bound, not pasted into the statement: the text may hold quotes.
            statement u = c.db.prepare(
                QStringLiteral("UPDATE [%1] SET [%2] = ? WHERE ROWID = %3").arg(table, ch.column).arg(ch.rowid));
            c.db.bind_text(u, 1, ch.text);
            if (c.db.step_failed(u)) {
                const QString message = c.db.error_message();
                c.db.finalize(u);
                throw sqlite_exception(message);
            }
            c.db.finalize(u);
        }
    }
    stamp_version(c.db, 1, 12);
}

void step_1_50(step_context& c)
{
    if (table_exists(c.db, QStringLiteral("Targets"))) {
        statement s = c.db.prepare(
            QStringLiteral("SELECT Tasks.id, Targets.id, Targets.priority  FROM Tasks INNER JOIN Targets ON "
                           "Tasks.target = Targets.id AND Targets.folder == 0"));
        while (!c.db.step(s)) {
            const int task = c.db.column_int(s, 1);
            c.requests.task_targets[task] = c.db.column_int(s, 2);
            c.requests.task_target_priorities[task] = c.db.column_int(s, 3);
        }
        c.db.finalize(s);
    }

    // The new columns take their first values in the copy itself ("parent",
    // "folder" and "project_priority" 0, "original_estimate" the estimate),
    // which spares a pass over every row for each.
    const QStringList kept = {"id",       "name",  "comments", "description", "deadline", "units",
                              "status",   "role",  "date",     "appointment_start", "appointment_duration",
                              "appointment", "estimate", "splittable", "goal", "priority", "priority_value",
                              "recurrence"};
    QStringList columns = kept;
    QStringList sources = kept;
    columns << "parent" << "folder" << "original_estimate" << "project_priority";
    sources << "0" << "0" << "[estimate]" << "0";
    rebuild_table(c.db, QStringLiteral("Tasks"),
                  QStringLiteral("CREATE TABLE Tasks (id INTEGER PRIMARY KEY NOT NULL,parent INTEGER,folder "
                                 "INTEGER,name TEXT,comments TEXT,description TEXT,deadline INTEGER,units "
                                 "INTEGER,status INTEGER,role INTEGER,date INTEGER NOT NULL,appointment_start "
                                 "INTEGER,appointment_duration INTEGER,appointment INTEGER,estimate "
                                 "INTEGER,original_estimate INTEGER,splittable INTEGER,goal INTEGER,priority "
                                 "INTEGER,priority_value INTEGER,project_priority INTEGER,recurrence INTEGER)"),
                  columns, sources);
    c.working();

    seed_counter(c.db, id_kind::projects, QStringLiteral("Goals"));
    const QStringList goal_columns = {"id",       "name",  "comments", "description", "finished", "deadline",
                                      "units",    "status", "role",    "type",        "hours_per_week"};
    rebuild_table(c.db, QStringLiteral("Goals"),
                  QStringLiteral("CREATE TABLE Goals (id INTEGER PRIMARY KEY NOT NULL,name TEXT,comments "
                                 "TEXT,description TEXT,finished INTEGER,deadline INTEGER,units INTEGER,status "
                                 "INTEGER,role INTEGER,type INTEGER,hours_per_week INTEGER)"),
                  goal_columns);
    remove_settings_file(c.env.settings_folder, QStringLiteral("project_planner.ini"));

    seed_counter(c.db, id_kind::alarms, QStringLiteral("Alarms"));
    rebuild_table(c.db, QStringLiteral("Alarms"),
                  QStringLiteral("CREATE TABLE Alarms ([id] INTEGER PRIMARY KEY NOT NULL,[time] INTEGER,[text] "
                                 "TEXT,[attached] INTEGER,[type] INTEGER)"),
                  {"id", "time", "text", "attached", "type"});

    const QStringList template_kept = {"id",       "name",      "description", "units",    "role",
                                       "appointment_start", "appointment_duration", "appointment",
                                       "estimate", "splittable", "goal",       "priority"};
    columns = template_kept;
    sources = template_kept;
    columns << "parent" << "original_estimate" << "project_priority";
    sources << "0" << "[estimate]" << "0";
    rebuild_table(c.db, QStringLiteral("TaskRecurrences"),
                  QStringLiteral("CREATE TABLE TaskRecurrences (id INTEGER PRIMARY KEY NOT NULL,parent "
                                 "INTEGER,name TEXT,description TEXT,units INTEGER,role INTEGER,appointment_start "
                                 "INTEGER,appointment_duration INTEGER,appointment INTEGER,estimate "
                                 "INTEGER,original_estimate INTEGER,splittable INTEGER,goal INTEGER,priority "
                                 "INTEGER,project_priority INTEGER)"),
                  columns, sources);

    seed_counter(c.db, id_kind::recurrences, QStringLiteral("Recurrences"));
    remove_settings_file(c.env.settings_folder, QStringLiteral("goals.ini"));
    remove_settings_file(c.env.settings_folder, QStringLiteral("goal_planner.ini"));
    c.requests.target_conversion = true;
    stamp_version(c.db, 1, 50);
}

void step_1_60(step_context& c)
{
    c.db.execute(current_definition(QStringLiteral("TrackedTimes")));
    statement insert = c.db.prepare(QStringLiteral("INSERT INTO [TrackedTimes] VALUES(?,?,?,?,?,?)"));
    std::int64_t next = 1;
    auto add = [&](std::int32_t task, std::int32_t type, std::int64_t start, std::int32_t duration,
                   const QString& caption) {
        sqlite3_reset(insert);
        c.db.bind_int64(insert, 1, next++);
        c.db.bind_int(insert, 2, task);
        c.db.bind_int(insert, 3, type);
        c.db.bind_int64(insert, 4, start);
        c.db.bind_int(insert, 5, duration);
        c.db.bind_text(insert, 6, caption);
        if (c.db.step_failed(insert)) {
            const QString message = c.db.error_message();
            c.db.finalize(insert);
            throw sqlite_exception(message);
        }
        if (next % 5000 == 0)
            c.working();
    };
    if (table_exists(c.db, QStringLiteral("TaskInterruptions"))) {
        statement s =
            c.db.prepare(QStringLiteral("SELECT [task], [caption], [start], [duration] FROM [TaskInterruptions]"));
        while (!c.db.step(s))
            add(c.db.column_int(s, 1), 1, c.db.column_int64(s, 3), c.db.column_int(s, 4), c.db.column_text(s, 2));
        c.db.finalize(s);
    }
    if (table_exists(c.db, QStringLiteral("TaskTimes"))) {
        statement s = c.db.prepare(QStringLiteral("SELECT [task], [start], [duration] FROM [TaskTimes]"));
        while (!c.db.step(s))
            add(c.db.column_int(s, 1), 0, c.db.column_int64(s, 2), c.db.column_int(s, 3), QString());
        c.db.finalize(s);
    }
    c.db.finalize(insert);
    if (table_exists(c.db, QStringLiteral("TaskInterruptions")))
        c.db.execute(QStringLiteral("DROP TABLE [TaskInterruptions];"));
    if (table_exists(c.db, QStringLiteral("TaskTimes")))
        c.db.execute(QStringLiteral("DROP TABLE [TaskTimes];"));
    seed_counter(c.db, id_kind::tracked_times, QStringLiteral("[TrackedTimes]"));
    c.db.execute(QStringLiteral("DELETE FROM [Recurrences] WHERE [attached] = 0 AND [attached_type] = 1;"));
    c.request(pending_work::routine_recurrences);
}

void step_1_62(step_context& c) { c.request(pending_work::routine_recurrences); }

}  // namespace qm::store
