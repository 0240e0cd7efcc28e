// A burst of single-row writes through the background writer, against raw
// SQLite inserts of the same rows in one transaction and with one commit per
// row. The one-transaction baseline prepares its statement once, as the best
// hand-written code would. Absolute times drift on shared machines; the
// ratios are what count.
// Goal: the writer drains a burst at no less than half the one-transaction rate.

#include "store/database.h"
#include "store/db_writer.h"

#include <QDir>
#include <QTemporaryDir>

#include "bench_support.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <stdexcept>

using namespace qm::store;

namespace {

constexpr int rows_per_burst = 10000;

struct bench_file {
    QTemporaryDir dir;
    QString path;
    bench_file()
    {
        path = dir.path() + "/bench.db";
        database db;
        db.open(path);
        db.execute("CREATE TABLE [TrackedTimes] ([id] INTEGER PRIMARY KEY NOT NULL,[task] INTEGER,[type] "
                   "INTEGER,[start] INTEGER,[duration] INTEGER,[caption] TEXT)");
    }
};

const QString insert_text = QStringLiteral("REPLACE INTO [TrackedTimes] VALUES(?,?,?,?,?,?)");

void bind_row(database& db, statement s, int id)
{
    db.bind_int(s, 1, id);
    db.bind_int(s, 2, id % 97);
    db.bind_int(s, 3, 0);
    db.bind_int64(s, 4, 1773147600LL + id);
    db.bind_int(s, 5, 60);
    db.bind_text(s, 6, QStringLiteral("caption"));
    if (db.step_failed(s))
        throw std::runtime_error("insert failed");
}

// What a table binding's insert request does for each row.
void insert_row(database& db, int id)
{
    statement s = db.cached(insert_text);
    bind_row(db, s, id);
    db.release(s);
}

void writer_burst(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        bench_file file;
        db_writer writer(file.path);
        writer.start();
        state.ResumeTiming();
        for (int i = 1; i <= rows_per_burst; ++i)
            writer.post_write([i](database& db) { insert_row(db, i); });
        writer.stop();
    }
    state.SetItemsProcessed(state.iterations() * rows_per_burst);
}

void raw_one_transaction(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        bench_file file;
        database db;
        db.open(file.path);
        db.execute("PRAGMA synchronous = FULL;");
        state.ResumeTiming();
        // The best SQLite can do: one statement prepared once, reset per row.
        db.execute("BEGIN TRANSACTION;");
        statement s = db.prepare(insert_text);
        for (int i = 1; i <= rows_per_burst; ++i) {
            bind_row(db, s, i);
            sqlite3_reset(s);
        }
        db.finalize(s);
        db.execute("COMMIT;");
    }
    state.SetItemsProcessed(state.iterations() * rows_per_burst);
}

void raw_commit_per_row(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        bench_file file;
        database db;
        db.open(file.path);
        db.execute("PRAGMA synchronous = FULL;");
        state.ResumeTiming();
        for (int i = 1; i <= rows; ++i)
            insert_row(db, i);
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

}  // namespace

BENCHMARK(writer_burst)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(raw_one_transaction)->Unit(benchmark::kMillisecond)->UseRealTime();
// One fsync per row is slow: a tenth of the burst is enough to measure the rate.
BENCHMARK(raw_commit_per_row)->Arg(rows_per_burst / 10)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    // Collect the rates so that the ratios can be printed after the table.
    qm::bench::collecting_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double burst = reporter.rates["writer_burst/real_time"];
    const double one = reporter.rates["raw_one_transaction/real_time"];
    const double per_row = reporter.rates["raw_commit_per_row/1000/real_time"];
    std::printf("\nrows per second: writer burst %.0f, one transaction %.0f, commit per row %.0f\n", burst, one,
                per_row);
    if (one > 0)
        std::printf("writer burst / one transaction = %.2f (goal: at least 0.50)\n", burst / one);
    if (per_row > 0)
        std::printf("writer burst / commit per row = %.1f\n", burst / per_row);
    return 0;
}
