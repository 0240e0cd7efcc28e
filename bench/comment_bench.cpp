// Comments: the start-up load of 100,000 comments (free comments, day notes,
// task and project comments) and what the Day view asks on each change of
// the shown day (the day note of the date and the free comments of that
// day), beside a raw read of the same rows in the same run.

#include "model/comments.h"
#include "store/schema.h"
#include "store/tables.h"

#include <QTemporaryDir>

#include "bench_support.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <tuple>

using namespace qm;

namespace {

constexpr int comment_count = 100000;
constexpr long long first_day = 1773100800;  // a midnight
constexpr int day_count = 3650;

struct fixture {
    QTemporaryDir dir;
    QString path;
    fixture()
    {
        path = dir.path() + "/comments.db";
        store::database db;
        db.open(path);
        db.execute("BEGIN TRANSACTION;");
        store::create_schema(db);
        // Every fourth a day note (one per day), the others free, task and
        // project comments spread over ten years.
        db.execute(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                  "INSERT INTO Comments SELECT i, CASE i % 4 WHEN 2 THEN 1 + i % 50000 WHEN 3 THEN "
                                  "1 + i % 300 ELSE 0 END, CASE i % 4 WHEN 1 THEN %2 + (i / 4) * 86400 ELSE "
                                  "%2 + ((i * 7) % %3) * 86400 + 3600 * (8 + i % 10) END, i % 4, "
                                  "'A comment of some length, number ' || i FROM n")
                       .arg(comment_count)
                       .arg(first_day)
                       .arg(day_count));
        db.execute("COMMIT;");
    }
};

fixture& data()
{
    static fixture f;
    return f;
}

void raw_read(benchmark::State& state)
{
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open(data().path.toUtf8().constData(), &db);
        sqlite3_exec(db, "PRAGMA cache_size = 10000; BEGIN TRANSACTION;", nullptr, nullptr, nullptr);
        std::vector<std::tuple<int, int, long long, int, std::string>> rows;
        rows.reserve(static_cast<std::size_t>(comment_count));
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "SELECT * FROM [Comments]", -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            rows.emplace_back(sqlite3_column_int(s, 0), sqlite3_column_int(s, 1), sqlite3_column_int64(s, 2),
                              sqlite3_column_int(s, 3), qm::bench::text_of(s, 4));
        sqlite3_finalize(s);
        sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        benchmark::DoNotOptimize(rows.size());
    }
}

void comment_load(benchmark::State& state)
{
    for (auto _ : state) {
        store::database db;
        db.open(data().path);
        db.execute("PRAGMA cache_size = 10000;");
        store::db_writer idle(data().path);
        store::tables t(idle);
        db.execute("BEGIN TRANSACTION;");
        t.comments.load(db);
        db.execute("COMMIT;");
        benchmark::DoNotOptimize(t.comments.cache().size());
    }
}

struct loaded {
    QTemporaryDir dir;
    store::db_writer writer{dir.path() + "/unused.db"};
    store::tables tables{writer};
    loaded()
    {
        store::database db;
        db.open(data().path);
        db.execute("BEGIN TRANSACTION;");
        tables.comments.load(db);
        db.execute("COMMIT;");
    }
};

void day_lookup(benchmark::State& state)
{
    static loaded l;
    int day = 0;
    for (auto _ : state) {
        const long long date = first_day + static_cast<long long>(day++ % day_count) * 86400;
        model::comment_ptr note = model::day_note(l.tables.comments, date);
        auto free = model::free_comments(l.tables.comments, date, date + 86400);
        benchmark::DoNotOptimize(note);
        benchmark::DoNotOptimize(free.size());
    }
}

}  // namespace

BENCHMARK(raw_read)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(comment_load)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(day_lookup)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    data();
    qm::bench::collecting_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double raw = reporter.times["raw_read/real_time"];
    const double load = reporter.times["comment_load/real_time"];
    const double lookup = reporter.times["day_lookup/real_time"];
    if (raw <= 0)
        return 0;
    std::printf("\nraw read of %d comments %.2f ms\n", comment_count, raw);
    std::printf("day note and free comments of one day %.3f ms, ratio %.4f against the raw read\n", lookup,
                lookup / raw);
    std::printf("loading %d comments %.2f ms, ratio %.2f against the raw read\n", comment_count, load, load / raw);
    return 0;
}
