// The start-up load of a large database (100,000 tracked times, 20,000
// comments, 5,000 alarms) through the table bindings, against a raw SQLite
// read of the same rows into plain structs, in the same run.
// Goal: the bindings' load within 1.5 times the raw read.

#include "store/schema.h"
#include "store/tables.h"

#include <QTemporaryDir>

#include "bench_support.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <vector>

using namespace qm::store;

namespace {

struct fixture {
    QTemporaryDir dir;
    QString path;
    fixture()
    {
        path = dir.path() + "/load.db";
        database db;
        db.open(path);
        db.execute("BEGIN TRANSACTION;");
        create_schema(db);
        db.execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
                   "INSERT INTO TrackedTimes SELECT i, i % 5000, 0, 1773100800 + i * 60, 1800, '' FROM n");
        db.execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
                   "INSERT INTO Comments SELECT i, i % 5000, 1773100800 + i, 2, 'Progress note number ' || i FROM n");
        db.execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
                   "INSERT INTO Alarms SELECT i, 1773100800 + i * 600, 'Alarm ' || i, i, 1, 0, '*alarm.wav', 2 FROM n");
        db.execute("COMMIT;");
    }
};

fixture& data()
{
    static fixture f;
    return f;
}

void bindings_load(benchmark::State& state)
{
    for (auto _ : state) {
        database db;
        db.open(data().path);
        db.execute("PRAGMA cache_size = 10000;");
        db_writer idle(data().path);
        tables t(idle);
        db.execute("BEGIN TRANSACTION;");
        load_tables(t, db);
        db.execute("COMMIT;");
        benchmark::DoNotOptimize(t.tracked_times.cache().size());
    }
}

struct raw_time {
    int id, task, type;
    long long start;
    int duration;
    std::string caption;
};
struct raw_comment {
    int id, associated;
    long long time;
    int type;
    std::string text;
};
struct raw_alarm {
    int id;
    long long time;
    std::string text;
    int attached, attached_type, type;
    std::string command;
    int flags;
};

void raw_read(benchmark::State& state)
{
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open(data().path.toUtf8().constData(), &db);
        sqlite3_exec(db, "PRAGMA cache_size = 10000; BEGIN TRANSACTION;", nullptr, nullptr, nullptr);
        std::vector<raw_time> times;
        std::vector<raw_comment> comments;
        std::vector<raw_alarm> alarms;
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "SELECT * FROM [Alarms]", -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            alarms.push_back({sqlite3_column_int(s, 0), sqlite3_column_int64(s, 1), qm::bench::text_of(s, 2), sqlite3_column_int(s, 3),
                              sqlite3_column_int(s, 4), sqlite3_column_int(s, 5), qm::bench::text_of(s, 6), sqlite3_column_int(s, 7)});
        sqlite3_finalize(s);
        sqlite3_prepare_v2(db, "SELECT * FROM [Comments]", -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            comments.push_back({sqlite3_column_int(s, 0), sqlite3_column_int(s, 1), sqlite3_column_int64(s, 2),
                                sqlite3_column_int(s, 3), qm::bench::text_of(s, 4)});
        sqlite3_finalize(s);
        sqlite3_prepare_v2(db, "SELECT * FROM [TrackedTimes]", -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            times.push_back({sqlite3_column_int(s, 0), sqlite3_column_int(s, 1), sqlite3_column_int(s, 2),
                             sqlite3_column_int64(s, 3), sqlite3_column_int(s, 4), qm::bench::text_of(s, 5)});
        sqlite3_finalize(s);
        sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        benchmark::DoNotOptimize(times.size());
    }
}

}  // namespace

BENCHMARK(bindings_load)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(raw_read)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    data();  // build the file before timing
    qm::bench::collecting_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double load = reporter.times["bindings_load/real_time"];
    const double raw = reporter.times["raw_read/real_time"];
    if (raw > 0)
        std::printf("\nbindings load %.1f ms, raw read %.1f ms, ratio %.2f (goal: at most 1.50)\n", load, raw, load / raw);
    return 0;
}
