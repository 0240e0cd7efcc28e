#include "store/schema.h"

#include "store/database.h"

namespace qm::store {

const QStringList& schema_statements()
{
    static const QStringList statements = {
        QStringLiteral("CREATE TABLE Ids (id INTEGER PRIMARY KEY NOT NULL,next_id INTEGER)"),
        QStringLiteral("CREATE TABLE DatabaseSettings ([key] TEXT PRIMARY KEY,[value] TEXT)"),
        QStringLiteral("CREATE TABLE Alarms ([id] INTEGER PRIMARY KEY NOT NULL,[time] INTEGER,[text] TEXT,[attached] "
                       "INTEGER,[attached_type] INTEGER,[type] INTEGER,[command] TEXT,[flags] INTEGER)"),
        QStringLiteral("CREATE TABLE Contexts (id INTEGER PRIMARY KEY NOT NULL,name TEXT)"),
        QStringLiteral("CREATE TABLE [Comments] (id INTEGER PRIMARY KEY, associated_id INTEGER, time INTEGER, type "
                       "INTEGER, comment TEXT)"),
        QStringLiteral("CREATE TABLE Projects (id INTEGER PRIMARY KEY NOT NULL,name TEXT,description TEXT,finished "
                       "INTEGER,deadline INTEGER,units INTEGER,status INTEGER,role INTEGER,type INTEGER,folder_type "
                       "INTEGER,priority_value INTEGER,parent INTEGER)"),
        QStringLiteral("CREATE TABLE Recurrences (id INTEGER PRIMARY KEY NOT NULL,attached INTEGER,attached_type "
                       "INTEGER,starting_date INTEGER,ending_date INTEGER,type INTEGER,param1 INTEGER,param2 "
                       "INTEGER,param3 INTEGER)"),
        QStringLiteral("CREATE TABLE Routines (id INTEGER PRIMARY KEY NOT NULL,name TEXT,description TEXT,role "
                       "INTEGER,start INTEGER,duration INTEGER)"),
        QStringLiteral("CREATE TABLE TaskContexts (task INTEGER,context INTEGER)"),
        QStringLiteral("CREATE TABLE Tasks (id INTEGER PRIMARY KEY NOT NULL,parent INTEGER,folder INTEGER,name "
                       "TEXT,description TEXT,deadline INTEGER,units INTEGER,status INTEGER,role INTEGER,date "
                       "INTEGER NOT NULL,appointment_start INTEGER,appointment_duration INTEGER,appointment "
                       "INTEGER,estimate INTEGER,original_estimate INTEGER,splittable INTEGER,project "
                       "INTEGER,priority INTEGER,priority_value INTEGER,project_priority INTEGER,recurrence "
                       "INTEGER,cost INTEGER,project_priority_value INTEGER,crisis_index INTEGER)"),
        QStringLiteral("CREATE TABLE [OutlookFolderEntries] (id INTEGER PRIMARY KEY NOT NULL,store_id TEXT,entry_id "
                       "TEXT)"),
        QStringLiteral("CREATE TABLE [OutlookItemEntries] (id INTEGER PRIMARY KEY NOT NULL,task INTEGER,entry_id "
                       "TEXT,outlook_folder_entry INTEGER,guid TEXT)"),
        QStringLiteral("CREATE TABLE [Dependencies] (entity INTEGER, dependency INTEGER, type INTEGER, PRIMARY "
                       "KEY(entity, dependency, type))"),
        QStringLiteral("CREATE TABLE [TrackedTimes] ([id] INTEGER PRIMARY KEY NOT NULL,[task] INTEGER,[type] "
                       "INTEGER,[start] INTEGER,[duration] INTEGER,[caption] TEXT)"),
        QStringLiteral("CREATE TABLE TaskRecurrences (id INTEGER PRIMARY KEY NOT NULL,parent INTEGER,name "
                       "TEXT,description TEXT,units INTEGER,role INTEGER,appointment_start "
                       "INTEGER,appointment_duration INTEGER,appointment INTEGER,estimate INTEGER,original_estimate "
                       "INTEGER,splittable INTEGER,project INTEGER,priority INTEGER,project_priority INTEGER)"),
        QStringLiteral("CREATE TABLE TaskRecurrenceDeletedItems (task_recurrence INTEGER NOT NULL,date INTEGER NOT "
                       "NULL)"),
        QStringLiteral("CREATE TABLE [MissionStatements] (id INTEGER PRIMARY KEY,text TEXT)"),
        QStringLiteral("CREATE TABLE Roles (id INTEGER PRIMARY KEY NOT NULL,parent INTEGER,name TEXT,description "
                       "TEXT,[values] TEXT,foreground_color INTEGER,background_color INTEGER)"),
        QStringLiteral("CREATE TABLE [Values] (id INTEGER PRIMARY KEY NOT NULL,name TEXT,description TEXT,[index] "
                       "INTEGER)"),
        QStringLiteral("CREATE TABLE [Habits] (id INTEGER PRIMARY KEY, type INTEGER, points INTEGER, before_time "
                       "INTEGER, after_time INTEGER, duration INTEGER, maximum_points INTEGER, attached_id INTEGER, "
                       "description TEXT)"),
    };
    return statements;
}

void create_schema(database& db)
{
    for (const QString& sql : schema_statements())
        db.execute(sql);
}

const QStringList& index_statements()
{
    static const QStringList statements = {
        QStringLiteral("CREATE INDEX IF NOT EXISTS [TasksDayOrder] ON [Tasks] ([date], priority, priority_value)"),
        QStringLiteral(
            "CREATE INDEX IF NOT EXISTS [TasksFolderOrder] ON [Tasks] ([parent], [project], project_priority_value)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS [TrackedTimesTask] ON [TrackedTimes] (task)"),
    };
    return statements;
}

void create_indexes(database& db)
{
    for (const QString& sql : index_statements())
        db.execute(sql);
}

}  // namespace qm::store
