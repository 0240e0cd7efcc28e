#include "support/old_files.h"

#include "store/database.h"
#include "store/schema.h"

#include <QStringEncoder>
#include <QVariant>

#include <sqlite3.h>

#include <map>
#include <stdexcept>

namespace qm::test {
namespace {

struct version {
    int major;
    int minor;
    bool at_least(int ma, int mi) const { return major > ma || (major == ma && minor >= mi); }
};

QString current(const QString& table)
{
    for (const QString& sql : store::schema_statements())
        if (sql.startsWith(QStringLiteral("CREATE TABLE ") + table + QStringLiteral(" (")) ||
            sql.startsWith(QStringLiteral("CREATE TABLE [") + table + QStringLiteral("] (")))
            return sql;
    throw std::logic_error("no such table");
}

class writer {
public:
    writer(store::database& db, version v) : db_(db), v_(v) {}

    void create(const QString& sql) { db_.execute(sql); }

    // Inserts the values whose columns the table has; text is written as the
    // version wrote it (Windows-1252 before 1.12).
    void row(const QString& table, const std::map<QString, QVariant>& values)
    {
        QStringList names;
        store::statement info = db_.prepare(QStringLiteral("PRAGMA table_info([%1])").arg(table));
        while (!db_.step(info))
            names << db_.column_text(info, 2);
        db_.finalize(info);
        QStringList used;
        QStringList marks;
        for (const QString& n : names)
            if (values.count(n) != 0) {
                used << QLatin1Char('[') + n + QLatin1Char(']');
                marks << QStringLiteral("?");
            }
        store::statement s = db_.prepare(QStringLiteral("INSERT INTO [%1] (%2) VALUES(%3)")
                                             .arg(table, used.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
        int p = 1;
        for (const QString& n : names) {
            auto it = values.find(n);
            if (it == values.end())
                continue;
            const QVariant& value = it->second;
            if (value.typeId() == QMetaType::QString) {
                QByteArray bytes;
                if (v_.at_least(1, 12)) {
                    bytes = value.toString().toUtf8();
                } else {
                    QStringEncoder encode("windows-1252");
                    bytes = encode(value.toString());
                }
                sqlite3_bind_text(s, p, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_int64(s, p, value.toLongLong());
            }
            ++p;
        }
        if (db_.step_failed(s))
            throw std::runtime_error(db_.error_message().toStdString());
        db_.finalize(s);
    }

private:
    store::database& db_;
    version v_;
};

}  // namespace

void write_old_file(const QString& path, int major, int minor, const QString& version_text)
{
    using namespace old_rows;
    const version v{major, minor};
    store::database db;
    db.open(path);
    db.execute(QStringLiteral("BEGIN TRANSACTION;"));
    writer w(db, v);

    w.create(current(QStringLiteral("Ids")));
    w.create(current(QStringLiteral("DatabaseSettings")));
    w.create(current(QStringLiteral("MissionStatements")));
    w.create(current(QStringLiteral("Routines")));
    w.row(QStringLiteral("DatabaseSettings"), {{"key", 0}, {"value", version_text}});
    w.row(QStringLiteral("Ids"), {{"id", 1}, {"next_id", 3}});
    w.row(QStringLiteral("Routines"), {{"id", 1}, {"name", QStringLiteral("Morning")}, {"role", 1}});
    w.row(QStringLiteral("MissionStatements"), {{"id", 0}, {"text", QStringLiteral("Live well — daily")}});

    if (v.at_least(1, 3)) {
        w.create(current(QStringLiteral("Contexts")));
        w.create(current(QStringLiteral("TaskContexts")));
        w.row(QStringLiteral("Contexts"), {{"id", 1}, {"name", QStringLiteral("home")}});
        w.row(QStringLiteral("TaskContexts"), {{"task", 1}, {"context", 1}});
    }

    const QString recurrences = v.at_least(1, 10) ? QStringLiteral("Recurrences") : QStringLiteral("Reoccurrences");
    if (v.at_least(1, 92))
        w.create(current(QStringLiteral("Recurrences")));
    else
        w.create(QStringLiteral("CREATE TABLE %1 (id INTEGER PRIMARY KEY, attached INTEGER, attached_type INTEGER, "
                                "starting_date INTEGER, ending_date INTEGER, type INTEGER, param1 INTEGER, param2 "
                                "INTEGER, param3 INTEGER)")
                     .arg(recurrences));
    if (v.at_least(1, 10))
        w.create(current(QStringLiteral("TaskRecurrenceDeletedItems")));
    else
        w.create(QStringLiteral("CREATE TABLE TaskReoccurrenceDeletedItems (task_reoccurrence INTEGER, date INTEGER)"));
    w.row(v.at_least(1, 10) ? QStringLiteral("TaskRecurrenceDeletedItems") : QStringLiteral("TaskReoccurrenceDeletedItems"),
          {{"task_recurrence", 1}, {"task_reoccurrence", 1}, {"date", occurrence_date + 7 * 86400}});

    // Tasks, by era.
    if (v.at_least(2, 61))
        w.create(current(QStringLiteral("Tasks")));
    else if (v.at_least(1, 96))
        w.create(QString(current(QStringLiteral("Tasks"))).replace(QStringLiteral("project INTEGER"),
                                                                  QStringLiteral("goal INTEGER")));
    else if (v.at_least(1, 82))
        w.create(QStringLiteral("CREATE TABLE Tasks (id INTEGER PRIMARY KEY NOT NULL,parent INTEGER,folder INTEGER,name "
                                "TEXT,description TEXT,deadline INTEGER,units INTEGER,status INTEGER,role INTEGER,date "
                                "INTEGER NOT NULL,appointment_start INTEGER,appointment_duration INTEGER,appointment "
                                "INTEGER,estimate INTEGER,original_estimate INTEGER,splittable INTEGER,goal "
                                "INTEGER,priority INTEGER,priority_value INTEGER,project_priority INTEGER,recurrence "
                                "INTEGER)"));
    else if (v.at_least(1, 50))
        w.create(QStringLiteral("CREATE TABLE Tasks (id INTEGER PRIMARY KEY NOT NULL,parent INTEGER,folder INTEGER,name "
                                "TEXT,comments TEXT,description TEXT,deadline INTEGER,units INTEGER,status INTEGER,role "
                                "INTEGER,date INTEGER NOT NULL,appointment_start INTEGER,appointment_duration "
                                "INTEGER,appointment INTEGER,estimate INTEGER,original_estimate INTEGER,splittable "
                                "INTEGER,goal INTEGER,priority INTEGER,priority_value INTEGER,project_priority "
                                "INTEGER,recurrence INTEGER)"));
    else
        w.create(QStringLiteral("CREATE TABLE Tasks (id INTEGER PRIMARY KEY,name TEXT,comments TEXT,description "
                                "TEXT,deadline INTEGER,units INTEGER,status INTEGER,role INTEGER,date "
                                "INTEGER,appointment_start INTEGER,appointment_duration INTEGER,appointment "
                                "INTEGER,estimate INTEGER,splittable INTEGER,goal INTEGER,priority "
                                "INTEGER,priority_value INTEGER,target INTEGER,%1 INTEGER)")
                     .arg(v.at_least(1, 10) ? QStringLiteral("recurrence") : QStringLiteral("reoccurrence")));
    const bool templates = !v.at_least(2, 80);
    auto task = [&](int id, const QString& name, qint64 date, int priority, int recurrence, int target) {
        std::map<QString, QVariant> r = {
            {"id", id},           {"parent", 0},        {"folder", 0},         {"name", name},
            {"description", QStringLiteral("Ünïcode")}, {"deadline", id == 1 ? deadline : qint64(0)},
            {"units", 5},         {"status", 0},        {"role", 1},           {"date", date},
            {"appointment_start", -1}, {"appointment_duration", -1}, {"appointment", 0},
            {"estimate", 3600},   {"original_estimate", 3600}, {"splittable", 0}, {"goal", 1}, {"project", 1},
            {"priority", priority}, {"priority_value", 1}, {"project_priority", 0},
            {"recurrence", recurrence}, {"reoccurrence", recurrence}, {"cost", 0},
            {"project_priority_value", id}, {"crisis_index", 0}, {"target", target}};
        if (id == 1)
            r["comments"] = task_comment;
        else
            r["comments"] = QString();
        w.row(QStringLiteral("Tasks"), r);
    };
    task(1, task_name, task_date, 1, 0, 0);
    task(2, occurrence_name, occurrence_date, 2, templates ? 1 : 0, 2);

    if (templates) {
        const QString name = v.at_least(1, 10) ? QStringLiteral("TaskRecurrences") : QStringLiteral("TaskReoccurrences");
        if (v.at_least(2, 61))
            w.create(current(QStringLiteral("TaskRecurrences")));
        else if (v.at_least(1, 50))
            w.create(QString(current(QStringLiteral("TaskRecurrences"))).replace(QStringLiteral("project INTEGER"),
                                                                                QStringLiteral("goal INTEGER")));
        else
            w.create(QStringLiteral("CREATE TABLE %1 (id INTEGER PRIMARY KEY,name TEXT,description TEXT,units "
                                    "INTEGER,role INTEGER,appointment_start INTEGER,appointment_duration "
                                    "INTEGER,appointment INTEGER,estimate INTEGER,splittable INTEGER,goal "
                                    "INTEGER,priority INTEGER,target INTEGER)")
                         .arg(name));
        w.row(name, {{"id", 1}, {"parent", 0}, {"name", template_name}, {"description", QStringLiteral("every week")},
                     {"units", 2}, {"role", 1}, {"appointment_start", -1}, {"appointment_duration", -1},
                     {"appointment", 0}, {"estimate", 1800}, {"original_estimate", 1800}, {"splittable", 0},
                     {"goal", 1}, {"project", 1}, {"priority", 2}, {"project_priority", 0}, {"target", 0}});
    }
    // A template's recurrence and a routine's, both attached to id 1.
    w.row(recurrences, {{"id", 1}, {"attached", 1}, {"attached_type", 0}, {"starting_date", task_date},
                        {"ending_date", 0}, {"type", 1}, {"param1", 1}, {"param2", 0}, {"param3", 0}});
    w.row(recurrences, {{"id", 2}, {"attached", 1}, {"attached_type", 1}, {"starting_date", task_date},
                        {"ending_date", 0}, {"type", 0}, {"param1", 1}, {"param2", 0}, {"param3", 0}});

    // Goals, later projects.
    if (v.at_least(2, 61))
        w.create(current(QStringLiteral("Projects")));
    else if (v.at_least(1, 96))
        w.create(QStringLiteral("CREATE TABLE Goals (id INTEGER PRIMARY KEY NOT NULL,name TEXT,description "
                                "TEXT,finished INTEGER,deadline INTEGER,units INTEGER,status INTEGER,role "
                                "INTEGER,type INTEGER,hours_per_week INTEGER,priority_value INTEGER,parent INTEGER)"));
    else if (v.at_least(1, 82))
        w.create(QStringLiteral("CREATE TABLE Goals (id INTEGER PRIMARY KEY NOT NULL,name TEXT,description "
                                "TEXT,finished INTEGER,deadline INTEGER,units INTEGER,status INTEGER,role "
                                "INTEGER,type INTEGER,hours_per_week INTEGER,priority_value INTEGER)"));
    else if (v.at_least(1, 81))
        w.create(QStringLiteral("CREATE TABLE Goals (id INTEGER PRIMARY KEY NOT NULL,name TEXT,comments "
                                "TEXT,description TEXT,finished INTEGER,deadline INTEGER,units INTEGER,status "
                                "INTEGER,role INTEGER,type INTEGER,hours_per_week INTEGER,priority_value INTEGER)"));
    else if (v.at_least(1, 50))
        w.create(QStringLiteral("CREATE TABLE Goals (id INTEGER PRIMARY KEY NOT NULL,name TEXT,comments "
                                "TEXT,description TEXT,finished INTEGER,deadline INTEGER,units INTEGER,status "
                                "INTEGER,role INTEGER,type INTEGER,hours_per_week INTEGER)"));
    else
        w.create(QStringLiteral("CREATE TABLE Goals (id INTEGER PRIMARY KEY,name TEXT,comments TEXT,description "
                                "TEXT,finished INTEGER,deadline INTEGER,units INTEGER,status INTEGER,role "
                                "INTEGER,type INTEGER,hours_per_week INTEGER,progress INTEGER)"));
    w.row(v.at_least(2, 61) ? QStringLiteral("Projects") : QStringLiteral("Goals"),
          {{"id", 1}, {"name", goal_name}, {"comments", goal_comment}, {"description", QString()}, {"finished", 0},
           {"deadline", goal_deadline}, {"units", 3}, {"status", 0}, {"role", 1}, {"type", 0},
           {"hours_per_week", 0}, {"folder_type", 0}, {"priority_value", 1}, {"parent", 0}, {"progress", 7}});

    if (!v.at_least(1, 50)) {
        w.create(QStringLiteral("CREATE TABLE Targets (id INTEGER PRIMARY KEY, goal INTEGER, parent INTEGER, folder "
                                "INTEGER, priority INTEGER, name TEXT, comments TEXT, description TEXT, deadline "
                                "INTEGER, units INTEGER, status INTEGER, date INTEGER, estimate INTEGER)"));
        w.row(QStringLiteral("Targets"), {{"id", 1}, {"goal", 1}, {"parent", 0}, {"folder", 1}, {"priority", 0},
                                          {"name", QStringLiteral("Phase 'one'")},
                                          {"comments", QStringLiteral("Target — note")}, {"date", 0}});
        w.row(QStringLiteral("Targets"), {{"id", 2}, {"goal", 1}, {"parent", 1}, {"folder", 0}, {"priority", 3},
                                          {"name", QStringLiteral("Dig")}, {"date", 0}});
        w.row(QStringLiteral("Targets"), {{"id", 3}, {"goal", 1}, {"parent", 99}, {"folder", 0}, {"priority", 1},
                                          {"name", QStringLiteral("Orphan")}, {"date", 0}});
        w.row(QStringLiteral("Targets"), {{"id", 4}, {"goal", 1}, {"parent", 1}, {"folder", 0}, {"priority", 4},
                                          {"name", QStringLiteral("Plant")}, {"estimate", 600}, {"date", 0}});
    }

    if (v.at_least(1, 91))
        w.create(current(QStringLiteral("Alarms")));
    else if (v.at_least(1, 50))
        w.create(QStringLiteral("CREATE TABLE Alarms ([id] INTEGER PRIMARY KEY NOT NULL,[time] INTEGER,[text] "
                                "TEXT,[attached] INTEGER,[type] INTEGER)"));
    else
        w.create(QStringLiteral("CREATE TABLE Alarms (id INTEGER PRIMARY KEY,time INTEGER,text TEXT,attached "
                                "INTEGER,type INTEGER,sound TEXT)"));
    w.row(QStringLiteral("Alarms"), {{"id", 1}, {"time", alarm_time}, {"text", alarm_text}, {"attached", 1},
                                     {"attached_type", 1}, {"type", 1}, {"command", QStringLiteral("*alarm.wav")},
                                     {"flags", 2}, {"sound", QStringLiteral("ding")}});

    if (v.at_least(1, 60)) {
        w.create(current(QStringLiteral("TrackedTimes")));
        w.row(QStringLiteral("TrackedTimes"), {{"id", 1}, {"task", 1}, {"type", 1}, {"start", interruption_start},
                                               {"duration", 300}, {"caption", interruption}});
        w.row(QStringLiteral("TrackedTimes"), {{"id", 2}, {"task", 1}, {"type", 0}, {"start", time_start},
                                               {"duration", 1200}, {"caption", QString()}});
    } else {
        w.create(QStringLiteral("CREATE TABLE TaskInterruptions (id INTEGER PRIMARY KEY, task INTEGER, caption TEXT, "
                                "start INTEGER, duration INTEGER)"));
        w.create(QStringLiteral("CREATE TABLE TaskTimes (task INTEGER, start INTEGER, duration INTEGER)"));
        w.row(QStringLiteral("TaskInterruptions"), {{"id", 1}, {"task", 1}, {"caption", interruption},
                                                    {"start", interruption_start}, {"duration", 300}});
        w.row(QStringLiteral("TaskTimes"), {{"task", 1}, {"start", time_start}, {"duration", 1200}});
    }

    if (v.at_least(1, 80)) {
        w.create(QStringLiteral("CREATE TABLE [OutlookEntryIDs] (type INTEGER, link_id INTEGER, entry_id TEXT, "
                                "PRIMARY KEY(type, link_id, entry_id))"));
        if (!v.at_least(2, 81)) {
            w.row(QStringLiteral("OutlookEntryIDs"), {{"type", 1}, {"link_id", 1}, {"entry_id", entry_id}});
            w.row(QStringLiteral("OutlookEntryIDs"), {{"type", 0}, {"link_id", 2}, {"entry_id", QStringLiteral("EID2")}});
        }
    }
    if (v.at_least(1, 81))
        w.create(current(QStringLiteral("Dependencies")));
    if (v.at_least(1, 82)) {
        w.create(current(QStringLiteral("Comments")));
        w.row(QStringLiteral("Comments"),
              {{"id", 1}, {"associated_id", 1}, {"time", task_date}, {"type", 2}, {"comment", task_comment}});
        w.row(QStringLiteral("Comments"),
              {{"id", 2}, {"associated_id", 1}, {"time", 0}, {"type", 3}, {"comment", goal_comment}});
    }
    if (v.at_least(1, 86)) {
        w.row(QStringLiteral("Comments"), {{"id", 3}, {"associated_id", 0}, {"time", task_date}, {"type", 1},
                                           {"comment", day_note + QStringLiteral("\r\n\r\n~\r\n\r\n") + more_notes}});
    } else {
        w.create(QStringLiteral("CREATE TABLE TaskNotes (date INTEGER, day_note TEXT, notes TEXT)"));
        w.row(QStringLiteral("TaskNotes"), {{"date", note_time}, {"day_note", day_note}, {"notes", more_notes}});
    }

    if (v.at_least(1, 92))
        w.create(current(QStringLiteral("Roles")));
    else if (v.at_least(1, 84))
        w.create(QStringLiteral("CREATE TABLE Roles (id INTEGER PRIMARY KEY NOT NULL,name TEXT,description "
                                "TEXT,[values] TEXT,foreground_color INTEGER,background_color INTEGER)"));
    else
        w.create(QStringLiteral("CREATE TABLE Roles (id INTEGER PRIMARY KEY,name TEXT,description TEXT,[values] "
                                "TEXT,foreground_color INTEGER,background_color INTEGER)"));
    w.row(QStringLiteral("Roles"), {{"id", 1}, {"parent", 0}, {"name", role_name}, {"description", QString()},
                                    {"values", QStringLiteral("|1|")}, {"foreground_color", 0},
                                    {"background_color", 16777215}});
    if (v.at_least(1, 84))
        w.create(current(QStringLiteral("Values")));
    else
        w.create(QStringLiteral("CREATE TABLE [Values] (id INTEGER PRIMARY KEY,name TEXT,description TEXT,[index] "
                                "INTEGER)"));
    w.row(QStringLiteral("Values"), {{"id", 1}, {"name", QStringLiteral("Honesty")}, {"description", QString()},
                                     {"index", 0}});
    if (v.at_least(1, 96))
        w.create(current(QStringLiteral("Habits")));
    if (v.at_least(2, 81)) {
        w.create(current(QStringLiteral("OutlookFolderEntries")));
        w.create(current(QStringLiteral("OutlookItemEntries")));
    }
    db.execute(QStringLiteral("COMMIT;"));
}

}  // namespace qm::test
