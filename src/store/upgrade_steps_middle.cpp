// The conversion steps from 1.80 to 1.96c.

#include "store/database.h"
#include "store/id_facade.h"
#include "store/upgrade_steps.h"
#include "store/upgrade_support.h"

#include <QDateTime>
#include <QTimeZone>

#include <sqlite3.h>

namespace qm::store {
namespace {

void step_insert(database& db, statement s)
{
    if (db.step_failed(s)) {
        const QString message = db.error_message();
        db.finalize(s);
        throw sqlite_exception(message);
    }
    sqlite3_reset(s);
}

// A stored time moved from UTC to the local wall clock; zero (and a missing
// value) stays zero.
QString shifted(const QString& column, int offset)
{
    return QStringLiteral("CASE WHEN IFNULL([%1], 0) = 0 THEN 0 ELSE [%1] + %2 END").arg(column).arg(offset);
}

// The next id for new rows of a table whose counter is the kind's.
std::int64_t next_id(database& db, int kind, const QString& table)
{
    const std::int64_t from_rows = scalar(db, QStringLiteral("SELECT MAX(id) FROM ") + table) + 1;
    const std::int64_t counter = scalar(db, QStringLiteral("SELECT [next_id] FROM [Ids] WHERE [id] = %1").arg(kind));
    return std::max(from_rows, counter);
}

const QString tasks_21 = QStringLiteral(
    "CREATE TABLE Tasks (id INTEGER PRIMARY KEY NOT NULL,parent INTEGER,folder INTEGER,name TEXT,description "
    "TEXT,deadline INTEGER,units INTEGER,status INTEGER,role INTEGER,date INTEGER NOT NULL,appointment_start "
    "INTEGER,appointment_duration INTEGER,appointment INTEGER,estimate INTEGER,original_estimate INTEGER,splittable "
    "INTEGER,goal INTEGER,priority INTEGER,priority_value INTEGER,project_priority INTEGER,recurrence INTEGER)");
const QStringList task_columns_21 = {"id",       "parent",  "folder",     "name",  "description", "deadline",
                                     "units",    "status",  "role",       "date",  "appointment_start",
                                     "appointment_duration", "appointment", "estimate", "original_estimate",
                                     "splittable", "goal",  "priority",   "priority_value", "project_priority",
                                     "recurrence"};
const QStringList goal_columns_11 = {"id",     "name", "description", "finished",       "deadline",      "units",
                                     "status", "role", "type",        "hours_per_week", "priority_value"};

}  // namespace

int standard_offset_seconds()
{
    return QTimeZone::systemTimeZone().standardTimeOffset(QDateTime::currentDateTimeUtc());
}

void step_1_80(step_context& c)
{
    c.db.execute(QStringLiteral(
        "CREATE TABLE [OutlookEntryIDs] (type INTEGER, link_id INTEGER, entry_id TEXT, PRIMARY KEY(type, link_id, "
        "entry_id))"));
}

void step_1_81(step_context& c)
{
    QStringList columns = {"id", "name", "comments", "description", "finished", "deadline",
                           "units", "status", "role", "type", "hours_per_week"};
    QStringList sources = columns;
    columns << "priority_value";
    sources << "-1";
    rebuild_table(c.db, QStringLiteral("Goals"),
                  QStringLiteral("CREATE TABLE Goals (id INTEGER PRIMARY KEY NOT NULL,name TEXT,comments "
                                 "TEXT,description TEXT,finished INTEGER,deadline INTEGER,units INTEGER,status "
                                 "INTEGER,role INTEGER,type INTEGER,hours_per_week INTEGER,priority_value INTEGER)"),
                  columns, sources);
    c.db.execute(current_definition(QStringLiteral("Dependencies")));

    // Times written before this version were UTC. One statement per table
    // instead of one per row: the same values, without a pass per row.
    const int offset = c.env.standard_offset ? c.env.standard_offset() : standard_offset_seconds();
    // The date is only cut to its day (towards the past, also before 1970).
    c.db.execute(QStringLiteral("UPDATE [Tasks] SET [date] = [date] - (([date] % 86400) + 86400) % 86400, "
                                "[deadline] = %1")
                     .arg(shifted(QStringLiteral("deadline"), offset)));
    c.working();
    c.db.execute(QStringLiteral("UPDATE [Alarms] SET [time] = %1").arg(shifted(QStringLiteral("time"), offset)));
    c.db.execute(QStringLiteral("UPDATE [Goals] SET [finished] = %1, [deadline] = %2")
                     .arg(shifted(QStringLiteral("finished"), offset), shifted(QStringLiteral("deadline"), offset)));
    c.db.execute(
        QStringLiteral("UPDATE [TrackedTimes] SET [start] = %1").arg(shifted(QStringLiteral("start"), offset)));
    c.working();
    c.db.execute(QStringLiteral("UPDATE [Tasks] SET [date] = 408931200 WHERE [folder] = 0 and [date] = 408844800"));
}

void step_1_82(step_context& c)
{
    c.db.execute(current_definition(QStringLiteral("Comments")));
    // One statement per source, numbering in id order as a row-by-row copy
    // would: the text stays in SQLite instead of a round trip per comment.
    auto move = [&](const QString& select) {
        const std::int64_t next = scalar(c.db, QStringLiteral("SELECT MAX(id) FROM [Comments]")) + 1;
        c.db.execute(
            QStringLiteral("INSERT INTO [Comments] SELECT %1 + ROW_NUMBER() OVER (ORDER BY [id]) - 1, ").arg(next) +
            select);
        c.working();
    };
    move(QStringLiteral("[id], [date], 2, [comments] FROM [Tasks] WHERE [comments] != ''"));
    move(QStringLiteral("[id], 0, 3, [comments] FROM [Goals] WHERE [comments] != ''"));

    c.rebuild_later(QStringLiteral("Tasks"), {tasks_21, task_columns_21, {}});
    rebuild_table(c.db, QStringLiteral("Goals"),
                  QStringLiteral("CREATE TABLE Goals (id INTEGER PRIMARY KEY NOT NULL,name TEXT,description "
                                 "TEXT,finished INTEGER,deadline INTEGER,units INTEGER,status INTEGER,role "
                                 "INTEGER,type INTEGER,hours_per_week INTEGER,priority_value INTEGER)"),
                  goal_columns_11);
    seed_counter(c.db, id_kind::comments, QStringLiteral("Comments"));
}

void step_1_84(step_context& c)
{
    rebuild_table(c.db, QStringLiteral("Contexts"), current_definition(QStringLiteral("Contexts")));
    rebuild_table(c.db, QStringLiteral("Roles"),
                  QStringLiteral("CREATE TABLE Roles (id INTEGER PRIMARY KEY NOT NULL,name TEXT,description "
                                 "TEXT,[values] TEXT,foreground_color INTEGER,background_color INTEGER)"));
    rebuild_table(c.db, QStringLiteral("Values"), current_definition(QStringLiteral("Values")));
    seed_counter(c.db, id_kind::roles, QStringLiteral("[Roles]"));
    seed_counter(c.db, id_kind::values, QStringLiteral("[Values]"));
    seed_counter(c.db, id_kind::tags, QStringLiteral("[Contexts]"));
}

void step_1_86(step_context& c)
{
    if (table_exists(c.db, QStringLiteral("TaskNotes"))) {
        std::int64_t next = next_id(c.db, id_kind::comments, QStringLiteral("[Comments]"));
        statement insert = c.db.prepare(QStringLiteral("INSERT INTO [Comments] VALUES(?,0,?,1,?)"));
        statement s = c.db.prepare(QStringLiteral("SELECT [date], [day_note], [notes] FROM [TaskNotes]"));
        while (!c.db.step(s)) {
            QString text = c.db.column_text(s, 2);
            const QString notes = c.db.column_text(s, 3);
            if (!notes.isEmpty())
                text += QStringLiteral("\r\n\r\n~\r\n\r\n") + notes;
            c.db.bind_int64(insert, 1, next++);
            c.db.bind_int64(insert, 2, c.db.column_date(s, 1));
            c.db.bind_text(insert, 3, text);
            step_insert(c.db, insert);
        }
        c.db.finalize(s);
        c.db.finalize(insert);
        c.db.execute(QStringLiteral("DROP TABLE [TaskNotes];"));
    }
    seed_counter(c.db, id_kind::comments, QStringLiteral("Comments"));
}

void step_1_89(step_context& c) { remove_settings_file(c.env.settings_folder, QStringLiteral("task_dlg.ini")); }

void step_1_91(step_context& c)
{
    rebuild_table(c.db, QStringLiteral("Alarms"), current_definition(QStringLiteral("Alarms")),
                  {"id", "time", "text", "attached", "type"});
    statement s = c.db.prepare(QStringLiteral("UPDATE [Alarms] SET [command] = ?"));
    c.db.bind_text(s, 1, QStringLiteral("*alarm.wav"));
    step_insert(c.db, s);
    c.db.finalize(s);
    c.db.execute(QStringLiteral("UPDATE [Alarms] SET [flags] = 2"));
    c.db.execute(QStringLiteral("UPDATE [Alarms] SET [attached_type] = 1 WHERE [attached] != 0"));
}

void step_1_92(step_context& c)
{
    rebuild_table(c.db, QStringLiteral("Roles"), current_definition(QStringLiteral("Roles")),
                  {"id", "name", "description", "values", "foreground_color", "background_color"});
    c.db.execute(QStringLiteral("UPDATE [Roles] SET [parent] = 0"));
    rebuild_table(c.db, QStringLiteral("Contexts"), current_definition(QStringLiteral("Contexts")));
    rebuild_table(c.db, QStringLiteral("Values"), current_definition(QStringLiteral("Values")));
    rebuild_table(c.db, QStringLiteral("Recurrences"), current_definition(QStringLiteral("Recurrences")));
    c.request(pending_work::default_areas);
}

void step_1_96(step_context& c)
{
    c.db.execute(QStringLiteral("UPDATE [Tasks] SET [date] = 408844800, [appointment] = 1, [priority_value] = 0, "
                                "[appointment_start] = -1, [appointment_duration] = -1 WHERE [folder] = 1"));
    // The three new columns start at 0 in the copy itself rather than in a
    // pass over every row for each.
    QStringList columns = task_columns_21;
    QStringList sources = task_columns_21;
    columns << "project_priority_value" << "cost" << "crisis_index";
    sources << "0" << "0" << "0";
    // The statement above names only columns that the table on disk has,
    // whichever rebuild of it is still waiting.
    c.rebuild_later(QStringLiteral("Tasks"),
                    {QString(current_definition(QStringLiteral("Tasks")))
                         .replace(QStringLiteral("project INTEGER"), QStringLiteral("goal INTEGER")),
                     columns, sources});
    c.db.execute(current_definition(QStringLiteral("Habits")));
    QStringList goal_columns = goal_columns_11;
    QStringList goal_sources = goal_columns_11;
    goal_columns << "parent";
    goal_sources << "0";
    rebuild_table(c.db, QStringLiteral("Goals"),
                  QStringLiteral("CREATE TABLE Goals (id INTEGER PRIMARY KEY NOT NULL,name TEXT,description "
                                 "TEXT,finished INTEGER,deadline INTEGER,units INTEGER,status INTEGER,role "
                                 "INTEGER,type INTEGER,hours_per_week INTEGER,priority_value INTEGER,parent INTEGER)"),
                  goal_columns, goal_sources);
}

void step_1_96c(step_context& c)
{
    c.db.execute(QStringLiteral("DELETE FROM Alarms WHERE attached == 0 and attached_type == 1 and type == 2"));
}

}  // namespace qm::store
