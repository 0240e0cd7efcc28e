#include "store/database.h"
#include "support/test_support.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sqlite3.h>

using namespace qm;

namespace {

struct database_fixture : ::testing::Test {
    test::temp_folder folder;
    store::database db;
    void SetUp() override { db.open(folder.file("t.db")); }
};

}  // namespace

TEST_F(database_fixture, columnsAndParametersCountFromOne)
{
    db.execute("CREATE TABLE t (a INTEGER, b TEXT, c INTEGER)");
    store::statement s = db.prepare("INSERT INTO t VALUES(?, ?, ?)");
    db.bind_int(s, 1, -5);
    db.bind_text(s, 2, QStringLiteral("Grüße, Ωμέγα, 日本"));
    db.bind_int64(s, 3, 9000000000LL);
    ASSERT_FALSE(db.step_failed(s));
    db.finalize(s);

    s = db.prepare("SELECT a, b, c FROM t");
    ASSERT_FALSE(db.step(s));
    EXPECT_EQ(db.column_int(s, 1), -5);
    EXPECT_EQ(db.column_int64(s, 1), -5);  // bound sign-extended
    EXPECT_EQ(db.column_text(s, 2), QStringLiteral("Grüße, Ωμέγα, 日本"));
    EXPECT_EQ(db.column_int64(s, 3), 9000000000LL);
    EXPECT_TRUE(db.step(s));
    db.finalize(s);
}

TEST_F(database_fixture, nullTextReadsEmptyAndBoolsAreZeroOrOne)
{
    db.execute("CREATE TABLE t (a TEXT, b INTEGER)");
    store::statement s = db.prepare("INSERT INTO t VALUES(NULL, ?)");
    db.bind_bool(s, 1, true);
    ASSERT_FALSE(db.step_failed(s));
    db.finalize(s);
    const auto rows = test::query(db, "SELECT a, b FROM t");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0][0].isEmpty());
    EXPECT_EQ(rows[0][1], "1");
}

TEST_F(database_fixture, dateColumnIsCutToItsDay)
{
    db.execute("CREATE TABLE t (d INTEGER)");
    db.execute("INSERT INTO t VALUES(1773147600)");  // 2026-03-10 13:00
    db.execute("INSERT INTO t VALUES(-90000)");      // negative values round toward zero
    store::statement s = db.prepare("SELECT d FROM t");
    ASSERT_FALSE(db.step(s));
    EXPECT_EQ(db.column_date(s, 1), 1773100800);
    EXPECT_EQ(db.column_time(s, 1), 1773147600);
    ASSERT_FALSE(db.step(s));
    EXPECT_EQ(db.column_date(s, 1), -86400);
    EXPECT_TRUE(db.step(s));
    db.finalize(s);
}

TEST_F(database_fixture, emptyTableReadIsOneFinishingStep)
{
    db.execute("CREATE TABLE t (a INTEGER)");
    store::statement s = db.prepare("SELECT * FROM t");
    EXPECT_TRUE(db.step(s));
    db.finalize(s);
}

TEST_F(database_fixture, failuresRaiseWithSqliteTextAndRememberTheSql)
{
    try {
        db.execute("SELEC 1");
        FAIL() << "no exception";
    } catch (const store::sqlite_exception& e) {
        EXPECT_TRUE(e.message().contains("syntax error")) << e.message().toStdString();
    }
    EXPECT_EQ(db.last_sql(), "SELEC 1");

    try {
        db.prepare("SELECT * FROM missing_table");
        FAIL() << "no exception";
    } catch (const store::sqlite_exception& e) {
        EXPECT_TRUE(e.message().contains("no such table")) << e.message().toStdString();
    }
    EXPECT_EQ(db.last_sql(), "SELECT * FROM missing_table");
}

TEST_F(database_fixture, stepFailedReportsAConstraintWithoutRaising)
{
    db.execute("CREATE TABLE t (id INTEGER PRIMARY KEY NOT NULL)");
    db.execute("INSERT INTO t VALUES(1)");
    store::statement s = db.prepare("INSERT INTO t VALUES(1)");
    EXPECT_TRUE(db.step_failed(s));
    EXPECT_THROW(db.finalize(s), store::sqlite_exception);
}

TEST(database, fileThatIsNotADatabaseFailsAtItsFirstStatement)
{
    test::temp_folder folder;
    QFile f(folder.file("junk.db"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    store::database db;
    db.open(folder.file("junk.db"));  // opening alone does not read the file
    try {
        db.execute("SELECT * FROM sqlite_master");
        FAIL() << "no exception";
    } catch (const store::sqlite_exception& e) {
        EXPECT_TRUE(e.message().contains("not a database")) << e.message().toStdString();
    }
}

TEST(database, openFailsWhereNoFileCanBeCreated)
{
    test::temp_folder folder;
    store::database db;
    EXPECT_THROW(db.open(folder.file("no/such/folder/x.db")), store::sqlite_exception);
    EXPECT_FALSE(db.is_open());
}

TEST_F(database_fixture, aCachedStatementIsReusedAndForgetsThePreviousWrite)
{
    db.execute("CREATE TABLE t (a INTEGER, b TEXT)");
    const QString insert = QStringLiteral("INSERT INTO t VALUES(?, ?)");
    store::statement first = db.cached(insert);
    db.bind_int(first, 1, 1);
    db.bind_text(first, 2, QStringLiteral("one"));
    ASSERT_FALSE(db.step_failed(first));
    db.release(first);

    store::statement again = db.cached(insert);
    EXPECT_EQ(again, first) << "the same text is prepared once";
    db.bind_int(again, 1, 2);  // b left unbound: NULL, not "one"
    ASSERT_FALSE(db.step_failed(again));
    db.release(again);

    // Many texts that are used once each (as updates naming their row are)
    // neither fail nor keep the cache from working afterwards.
    for (int i = 0; i < 200; ++i) {
        store::statement s = db.cached(QStringLiteral("UPDATE t SET b = 'x' WHERE a = %1").arg(100 + i));
        ASSERT_FALSE(db.step_failed(s));
        db.release(s);
    }
    store::statement later = db.cached(insert);
    db.bind_int(later, 1, 3);
    db.bind_text(later, 2, QStringLiteral("three"));
    ASSERT_FALSE(db.step_failed(later));
    db.release(later);

    const auto rows = test::query(db, "SELECT a, IFNULL(b, 'null') FROM t ORDER BY a");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], QStringList({"1", "one"}));
    EXPECT_EQ(rows[1], QStringList({"2", "null"}));
    EXPECT_EQ(rows[2], QStringList({"3", "three"}));
    // A cached statement left reset holds no lock: another connection can write.
    auto other = test::open_file(folder.file("t.db"));
    other->execute("INSERT INTO t VALUES(4, 'four')");
}
