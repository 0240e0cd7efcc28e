#include "store/db_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <sqlite3.h>
#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <future>
#include <stdexcept>
#include <vector>

using namespace qm;

namespace {

struct writer_fixture : ::testing::Test {
    test::temp_folder folder;
    QString path;
    void SetUp() override { create_file("w.db"); }
    void create_file(const QString& name)
    {
        path = folder.file(name);
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

namespace {

// Runs the requests as one batch: a first request holds the writer (after
// preparing its connection) until every one of them is queued.
void post_as_one_batch(store::db_writer& writer, const std::function<void(store::database&)>& prepare,
                       const std::vector<store::write_operation>& requests)
{
    std::promise<void> holding, release;
    std::shared_future<void> released = release.get_future().share();
    writer.post_write([&holding, prepare, released](store::database& db) {
        prepare(db);
        holding.set_value();
        released.wait();
    });
    holding.get_future().wait();
    for (const auto& r : requests)
        writer.post_write(r);
    release.set_value();
}

store::write_operation sql(const QString& text)
{
    return [text](store::database& db) { db.execute(text); };
}

store::write_operation insert_blob(int id, int bytes)
{
    return sql(QStringLiteral("INSERT INTO t VALUES(%1, zeroblob(%2))").arg(id).arg(bytes));
}

int page_size(store::database& db) { return test::query(db, "PRAGMA page_size")[0][0].toInt(); }

struct batch_failure_case {
    const char* what;
    std::function<void(store::database&)> prepare;  // on the writer's connection, before the batch
    std::vector<store::write_operation> requests;
    const char* kept_sql;  // what the file holds afterwards
    const char* kept;
    const char* message;
};

}  // namespace

// A batch that fails part way keeps exactly what writing one request at a
// time would have kept: every request before the failing one.
TEST_F(writer_fixture, aBatchThatFailsKeepsEveryRequestBeforeTheFailingOne)
{
    const batch_failure_case cases[] = {
        {"the file is full at the fourth row (SQLite then rolls the whole transaction back)",
         [](store::database& db) {
             // No page may be added: small rows still fit in the table's page, a large one does not.
             const QString pages = test::query(db, "PRAGMA page_count")[0][0];
             test::query(db, "PRAGMA max_page_count = " + pages);
         },
         {insert_blob(1, 10), insert_blob(2, 10), insert_blob(3, 10), insert_blob(4, 100000), insert_blob(5, 10),
          insert_blob(6, 10)},
         "SELECT GROUP_CONCAT(id) FROM t",
         "1,2,3",
         "reported: database or disk is full"},
        {"the disk refuses the COMMIT: the file may grow by three pages, each table takes one",
         [](store::database& db) {
             const rlim_t size = QFileInfo(QString::fromUtf8(sqlite3_db_filename(db.handle(), "main"))).size();
             const rlimit limit{size + 3 * static_cast<rlim_t>(page_size(db)), RLIM_INFINITY};
             std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
             setrlimit(RLIMIT_FSIZE, &limit);
         },
         {sql("CREATE TABLE t1 (x)"), sql("CREATE TABLE t2 (x)"), sql("CREATE TABLE t3 (x)"),
          sql("CREATE TABLE t4 (x)"), sql("CREATE TABLE t5 (x)"), sql("CREATE TABLE t6 (x)")},
         "SELECT GROUP_CONCAT(name) FROM (SELECT name FROM sqlite_master WHERE name LIKE 't_' ORDER BY name)",
         "t1,t2,t3",
         "reported: disk I/O error"},
    };
    GTEST_FLAG_SET(death_test_style, "fast");  // the child writes into this test's file
    int number = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        create_file(QStringLiteral("case%1.db").arg(++number));
        EXPECT_EXIT(
            {
                store::db_writer writer(path);
                writer.set_failure_handler([](const QString& message) {
                    std::fprintf(stderr, "reported: %s\n", message.toUtf8().constData());
                });
                writer.start();
                post_as_one_batch(writer, c.prepare, c.requests);
                writer.stop();
            },
            ::testing::ExitedWithCode(1), c.message);
        auto db = test::open_file(path);
        EXPECT_EQ(test::query(*db, "PRAGMA integrity_check")[0][0], "ok");
        EXPECT_EQ(test::query(*db, c.kept_sql)[0][0].toStdString(), c.kept);
    }
}

// A COMMIT that waited the whole busy timeout is not tried again: the user
// would wait as long a second time before hearing of it.
TEST_F(writer_fixture, aBusyCommitIsReportedWithoutASecondWait)
{
    store::database reader;
    reader.open(path);
    reader.execute("BEGIN TRANSACTION;");
    test::query(reader, "SELECT * FROM t");  // holds the shared lock the COMMIT must wait for

    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            static int commits = 0;
            store::db_writer writer(path);
            writer.set_failure_handler([](const QString& message) {
                std::fprintf(stderr, "reported after %d COMMIT: %s\n", commits, message.toUtf8().constData());
            });
            writer.start();
            const auto count_commits = [](store::database& db) {
                db.set_busy_timeout(200);
                sqlite3_trace_v2(
                    db.handle(), SQLITE_TRACE_STMT,
                    [](unsigned, void*, void* stmt, void*) {
                        if (QByteArray(sqlite3_sql(static_cast<sqlite3_stmt*>(stmt))).startsWith("COMMIT"))
                            ++commits;
                        return 0;
                    },
                    nullptr);
            };
            post_as_one_batch(writer, count_commits, {insert(1, 1), insert(2, 2)});
            writer.stop();
        },
        ::testing::ExitedWithCode(1), "reported after 1 COMMIT: database is locked");

    reader.execute("COMMIT;");
    EXPECT_EQ(test::query(reader, "SELECT COUNT(*) FROM t")[0][0], "0");
}
