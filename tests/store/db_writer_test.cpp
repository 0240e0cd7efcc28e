#include "store/db_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace qm;

namespace {

struct writer_fixture : ::testing::Test {
    test::temp_folder folder;
    QString path;
    void SetUp() override
    {
        path = folder.file("w.db");
        store::database db;
        db.open(path);
        db.execute("CREATE TABLE t (id INTEGER PRIMARY KEY, v INTEGER)");
    }
    static store::write_operation insert(int id, int value)
    {
        return [id, value](store::database& db) {
            store::statement s = db.prepare("INSERT INTO t VALUES(?, ?)");
            db.bind_int(s, 1, id);
            db.bind_int(s, 2, value);
            if (db.step_failed(s))
                throw std::runtime_error("insert failed");
            db.finalize(s);
        };
    }
};

}  // namespace

TEST_F(writer_fixture, everyPostedWriteIsOnDiskAfterStopInPostingOrder)
{
    store::db_writer writer(path);
    writer.start();
    constexpr int count = 5000;
    for (int i = 1; i <= count; ++i)
        writer.post_write(insert(i, i));
    // Later requests see the effect of earlier ones: order is kept.
    for (int i = 1; i <= count; i += 7)
        writer.post_write([i](store::database& db) {
            db.execute(QStringLiteral("UPDATE t SET v = v * 2 WHERE id = %1").arg(i));
        });
    writer.stop();
    EXPECT_EQ(writer.executed_count(), writer.posted_count());

    auto db = test::open_file(path);
    const auto rows = test::query(*db, "SELECT COUNT(*), SUM(v) FROM t");
    long long expected = 0;
    for (int i = 1; i <= count; ++i)
        expected += (i - 1) % 7 == 0 ? 2LL * i : i;
    EXPECT_EQ(rows[0][0].toInt(), count);
    EXPECT_EQ(rows[0][1].toLongLong(), expected);
}

TEST_F(writer_fixture, stopWithoutWritesAndStopTwiceAreHarmless)
{
    store::db_writer writer(path);
    writer.start();
    writer.stop();
    writer.stop();
    EXPECT_FALSE(writer.running());
}

TEST_F(writer_fixture, writesPostedAfterStopAreRefused)
{
    store::db_writer writer(path);
    writer.start();
    writer.post_write(insert(1, 1));
    writer.stop();
    writer.post_write(insert(2, 2));
    EXPECT_EQ(writer.posted_count(), 1u);
    auto db = test::open_file(path);
    EXPECT_EQ(test::query(*db, "SELECT COUNT(*) FROM t")[0][0], "1");
}

TEST_F(writer_fixture, writerWaitsForTheMainConnectionsTransaction)
{
    store::database main_db;
    main_db.open(path);
    main_db.set_busy_timeout(60000);
    main_db.execute("BEGIN TRANSACTION;");
    test::query(main_db, "SELECT * FROM t");  // holds the shared lock, as the start-up load does

    store::db_writer writer(path);
    writer.start();
    writer.post_write(insert(1, 10));
    writer.post_write(insert(2, 20));
    main_db.execute("COMMIT;");
    writer.stop();
    EXPECT_EQ(test::query(main_db, "SELECT SUM(v) FROM t")[0][0], "30");
}

TEST_F(writer_fixture, failingRequestReportsAndExitsWithOneKeepingEarlierWrites)
{
    // The child must write into this test's file, so it forks here instead of
    // re-running the test from the start.
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            store::db_writer writer(path);
            writer.set_failure_handler([](const QString& message) {
                std::fprintf(stderr, "reported: %s\n", message.toUtf8().constData());
            });
            writer.start();
            writer.post_write(insert(1, 1));
            writer.post_write(insert(1, 2));  // duplicate key
            writer.post_write(insert(3, 3));
            writer.stop();
        },
        ::testing::ExitedWithCode(1), "reported: insert failed");

    // The request before the failing one was kept; the one after was not run.
    auto db = test::open_file(path);
    EXPECT_EQ(test::query(*db, "SELECT GROUP_CONCAT(id) FROM t")[0][0], "1");
}
