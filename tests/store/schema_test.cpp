#include "store/schema.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace qm;

TEST(schema, newFileHoldsExactlyTheTwentyTablesInCreationOrder)
{
    test::started_core core;
    store::database& db = core.drain_and_reopen();
    const auto rows = test::query(db, "SELECT type, sql FROM sqlite_master ORDER BY rowid");
    const QStringList& expected = store::schema_statements();
    ASSERT_EQ(expected.size(), 20);
    QStringList tables;
    for (const auto& row : rows)
        if (row[0] == "table")
            tables << row[1];
    EXPECT_EQ(tables, expected);
}

TEST(schema, tablesHaveTheirColumnsInOrder)
{
    test::started_core core;
    store::database& db = core.drain_and_reopen();
    struct row {
        const char* table;
        const char* columns;
    };
    const row cases[] = {
        {"Ids", "id,next_id"},
        {"DatabaseSettings", "key,value"},
        {"Tasks",
         "id,parent,folder,name,description,deadline,units,status,role,date,appointment_start,appointment_duration,"
         "appointment,estimate,original_estimate,splittable,project,priority,priority_value,project_priority,"
         "recurrence,cost,project_priority_value,crisis_index"},
        {"Projects", "id,name,description,finished,deadline,units,status,role,type,folder_type,priority_value,parent"},
        {"Roles", "id,parent,name,description,values,foreground_color,background_color"},
        {"Habits", "id,type,points,before_time,after_time,duration,maximum_points,attached_id,description"},
        {"TrackedTimes", "id,task,type,start,duration,caption"},
    };
    for (const auto& c : cases) {
        QStringList names;
        for (const auto& r : test::query(db, QStringLiteral("PRAGMA table_info([%1])").arg(c.table)))
            names << r[1];
        EXPECT_EQ(names.join(',').toStdString(), c.columns) << c.table;
    }
}

TEST(schema, theRenumberingStatementsUseTheirIndexes)
{
    test::started_core core;
    store::database& db = core.drain_and_reopen();
    struct row {
        const char* statement;
        const char* index;
    };
    const row cases[] = {
        {"UPDATE TASKS SET priority_value = priority_value + 1 WHERE [date] = 408844800 AND priority = 1 AND "
         "priority_value >= 3 AND [id] <> 7",
         "TasksDayOrder"},
        {"UPDATE TASKS SET project_priority_value = project_priority_value - 1 WHERE [parent] = 0 AND [project] = 4 "
         "AND project_priority_value > 2 AND [id] <> 7",
         "TasksFolderOrder"},
        {"DELETE FROM TrackedTimes WHERE task = 12", "TrackedTimesTask"},
    };
    for (const row& c : cases) {
        QString plan;
        for (const auto& r : test::query(db, QStringLiteral("EXPLAIN QUERY PLAN %1").arg(c.statement)))
            plan += r.value(3) + QLatin1Char('\n');
        EXPECT_TRUE(plan.contains(c.index)) << c.statement << "\n" << plan.toStdString();
    }
    // The tables themselves are untouched: only indexes stand beside them.
    const auto rows = test::query(db, "SELECT type, name FROM sqlite_master WHERE type <> 'table'");
    for (const auto& r : rows)
        EXPECT_EQ(r[0], "index") << r[1].toStdString();
}
