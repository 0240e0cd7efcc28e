// Converting a 1.81 file with 50,000 tasks and 100,000 tracked times to the
// current layout (its backup included), against copying the same file, in
// the same run. Goal: the conversion within 10 times the copy.

#include "store/database.h"
#include "store/upgrade.h"
#include "support/old_files.h"

#include <QFile>
#include <QTemporaryDir>

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace qm::store;

namespace {

struct fixture {
    QTemporaryDir dir;
    QString original;
    fixture()
    {
        original = dir.path() + "/original.db";
        qm::test::write_old_file(original, 1, 81, "1.81");
        database db;
        db.open(original);
        db.execute("BEGIN TRANSACTION;");
        db.execute("WITH RECURSIVE n(i) AS (SELECT 3 UNION ALL SELECT i + 1 FROM n WHERE i < 50002) "
                   "INSERT INTO Tasks SELECT i, 0, 0, 'Task number ' || i, "
                   "CASE WHEN i % 10 = 0 THEN 'A comment on ' || i ELSE '' END, 'Its description', 0, 1, i % 4, "
                   "1, 1699920000 + (i % 300) * 86400, -1, -1, 0, 3600, 3600, 0, 1, 1 + i % 3, i % 100, 0, 0 "
                   "FROM n");
        db.execute("WITH RECURSIVE n(i) AS (SELECT 3 UNION ALL SELECT i + 1 FROM n WHERE i < 100002) "
                   "INSERT INTO TrackedTimes SELECT i, 3 + i % 50000, i % 2, 1699950000 + i * 60, 1200, '' FROM n");
        db.execute("COMMIT;");
    }
};

fixture& data()
{
    static fixture f;
    return f;
}

void fresh_copy(const QString& target)
{
    QFile::remove(target);
    QFile::copy(data().original, target);
}

void conversion(benchmark::State& state)
{
    const QString path = data().dir.path() + "/ferncastle.db";
    for (auto _ : state) {
        state.PauseTiming();
        fresh_copy(path);
        QFile::remove(data().dir.path() + "/ferncastle-1.81-backup.db");
        state.ResumeTiming();
        database db;
        db.open(path);
        upgrade_environment env;
        env.database_path = path;
        upgrade_database(db, true, env);
        db.close();
    }
}

void copy(benchmark::State& state)
{
    const QString path = data().dir.path() + "/copy.db";
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
        QFile::copy(data().original, path);
    }
}

}  // namespace

BENCHMARK(conversion)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(copy)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    data();  // build the file before timing
    qm::bench::collecting_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double convert = reporter.times["conversion/real_time"];
    const double raw = reporter.times["copy/real_time"];
    if (raw > 0)
        std::printf("\nconversion %.1f ms, copy %.1f ms, ratio %.2f (goal: at most 10)\n", convert, raw, convert / raw);
    return 0;
}
