#include "store/id_facade.h"
#include "store/schema.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace qm;
namespace kind = store::id_kind;

TEST(id_facade, kindsAreIndependentStartAtOneAndRowsAppearLazily)
{
    test::started_core core;
    auto& ids = core.core().ids();
    EXPECT_EQ(ids.allocate(kind::tasks), 1);
    EXPECT_EQ(ids.allocate(kind::tasks), 2);
    EXPECT_EQ(ids.allocate(kind::projects), 1);
    EXPECT_EQ(ids.allocate(kind::tasks), 3);
    EXPECT_EQ(ids.allocate(kind::tracked_times), 1);

    store::database& db = core.drain_and_reopen();
    const auto rows = test::query(db, "SELECT id, next_id FROM Ids ORDER BY id");
    // No row for kinds never used, such as alarms; the roles are the new
    // file's default life areas and roles.
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], QStringList({"1", "4"}));
    EXPECT_EQ(rows[1], QStringList({"4", "2"}));
    EXPECT_EQ(rows[2], QStringList({"7", "2"}));
    EXPECT_EQ(rows[3], QStringList({"9", "52"}));
}

TEST(id_facade, countersContinueAfterARestartAndNeverRepeat)
{
    test::started_core core;
    for (int i = 0; i < 10; ++i)
        core.core().ids().allocate(kind::alarms);
    core.restart();
    EXPECT_EQ(core.core().ids().allocate(kind::alarms), 11);
    EXPECT_EQ(core.core().ids().allocate(kind::comments), 1);
    core.restart();
    EXPECT_EQ(core.core().ids().allocate(kind::alarms), 12);
    EXPECT_EQ(core.core().ids().allocate(kind::comments), 2);
}

TEST(id_facade, aThousandAllocationsAreAllOnDiskInMemoryOrder)
{
    test::started_core core;
    int last = 0;
    for (int i = 0; i < 1000; ++i)
        last = core.core().ids().allocate(kind::habits);
    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(test::query(db, "SELECT next_id FROM Ids WHERE id = 12")[0][0].toInt(), last + 1);
}

TEST(id_facade, seedingTakesTheLargestIdPlusOne)
{
    test::temp_folder folder;
    store::database db;
    db.open(folder.file("seed.db"));
    store::create_schema(db);
    store::seed_id_counter(db, kind::values, "[Values]");
    EXPECT_EQ(test::query(db, "SELECT next_id FROM Ids WHERE id = 10")[0][0], "1");  // empty table
    db.execute("INSERT INTO [Values] (id, name) VALUES (41, 'a'), (7, 'b')");
    store::seed_id_counter(db, kind::values, "[Values]");
    const auto rows = test::query(db, "SELECT next_id FROM Ids WHERE id = 10");
    ASSERT_EQ(rows.size(), 1u);  // updated, not inserted twice
    EXPECT_EQ(rows[0][0], "42");
}
