// The Charts tab's data and the time-spent report over 50,000 tasks and
// 100,000 tracked times for "Last 365 Days" by day, against a raw SQLite read
// of the same rows into plain structs, in the same run.
// Goal: the computation within 2 times the raw read.

#include "model/project_store.h"
#include "model/role_store.h"
#include "model/task_store.h"
#include "schedule/chart_data.h"
#include "schedule/time_spent.h"
#include "store/schema.h"
#include "store/tables.h"

#include <QTemporaryDir>

#include "bench_support.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace qm;

namespace {

const time::stored_date today = time::make_date(2026, 3, 11);

struct fixture {
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<store::db_writer> writer;
    std::unique_ptr<store::tables> tables;
    std::unique_ptr<model::task_store> tasks;
    std::unique_ptr<model::project_store> projects;
    std::unique_ptr<model::role_store> roles;

    fixture()
    {
        path = dir.path() + "/charts.db";
        const QString day = QString::number(today);
        {
            store::database db;
            db.open(path);
            db.execute("BEGIN TRANSACTION;");
            store::create_schema(db);
            db.execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20) "
                       "INSERT INTO Roles SELECT i, CASE WHEN i <= 4 THEN -1 ELSE i % 4 + 1 END, 'Role ' || i, '', "
                       "'|', 0, i * 40000 FROM n");
            db.execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50) "
                       "INSERT INTO Projects SELECT i, 'Project ' || i, '', 0, 0, 0, 0, i % 20 + 1, 0, 1, i - 1, 0 "
                       "FROM n");
            // Every fifth task of a project sits in a folder of it (the first 50 tasks are the folders).
            db.execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50000) "
                       "INSERT INTO Tasks SELECT i, CASE WHEN i > 50 AND i % 5 = 0 THEN i % 50 + 1 ELSE 0 END, "
                       "CASE WHEN i <= 50 THEN 1 ELSE 0 END, 'Task ' || i, '', 0, i % 7, "
                       "CASE WHEN i % 3 = 0 THEN 3 ELSE 0 END, CASE WHEN i % 4 = 0 THEN i % 20 + 1 ELSE 0 END, "
                       "CASE WHEN i <= 50 THEN 408758400 ELSE " + day + " - (i % 400) * 86400 END, "
                       "-1, -1, CASE WHEN i <= 50 THEN 1 ELSE 0 END, 1800, 1800, 0, "
                       "CASE WHEN i <= 50 THEN i WHEN i % 2 = 0 THEN i % 50 + 1 ELSE 0 END, 2, i, 0, 0, 0, 0, 0 FROM n");
            db.execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
                       "INSERT INTO TrackedTimes SELECT i, i % 49950 + 51, 0, " + day +
                       " - ((i % 49950 + 51) % 400) * 86400 + 32400 + (i % 3) * 3600, 1800, '' FROM n");
            db.execute("COMMIT;");
        }
        // The stores as the program loads them.
        store::database db;
        db.open(path);
        writer = std::make_unique<store::db_writer>(path);
        tables = std::make_unique<store::tables>(*writer);
        tasks = std::make_unique<model::task_store>(*tables, *writer);
        projects = std::make_unique<model::project_store>(*tables, *writer, *tasks);
        roles = std::make_unique<model::role_store>(*tables);
        store::load_hooks hooks;
        hooks.after_recurrences = [this, &db] { tasks->load(db); };
        hooks.after_deleted_occurrences = [this, &db] { projects->load(db); };
        db.execute("BEGIN TRANSACTION;");
        store::load_tables(*tables, db, hooks);
        db.execute("COMMIT;");
    }
};

fixture& data()
{
    static fixture f;
    return f;
}

void chart_and_report(benchmark::State& state)
{
    fixture& f = data();
    const std::vector<schedule::series_group> groups{schedule::default_group()};
    const schedule::chart_range range = *schedule::preset_range(QStringLiteral("Last 365 Days"), today, 0);
    const schedule::report_sources sources{*f.tasks, *f.projects, *f.roles};
    double total = 0;
    std::size_t rows = 0;
    for (auto _ : state) {
        const schedule::chart_data chart =
            schedule::compute_chart(*f.tasks, groups, range, schedule::granularity::by_day);
        const schedule::time_spent_report report =
            schedule::compute_time_spent(sources, {range.start, range.end}, today, 28800);
        total = chart.totals[0];
        rows = report.groups.empty() ? 0 : report.groups[1].rows.size();
        benchmark::DoNotOptimize(total);
    }
    state.counters["total hours"] = total;
    state.counters["role rows"] = static_cast<double>(rows);
}

struct raw_task {
    int id, parent, folder;
    std::string name, description;
    long long deadline;
    int units, status, role;
    long long date;
    int start, length, appointment, estimate, original, splittable, project, priority, value, project_priority,
        recurrence, cost, project_value, crisis;
};
struct raw_time {
    int id, task, type;
    long long start;
    int duration;
    std::string caption;
};

void raw_read(benchmark::State& state)
{
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open(data().path.toUtf8().constData(), &db);
        sqlite3_exec(db, "PRAGMA cache_size = 10000; BEGIN TRANSACTION;", nullptr, nullptr, nullptr);
        std::vector<raw_task> tasks;
        std::vector<raw_time> times;
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "SELECT * FROM TASKS", -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW) {
            raw_task t{};
            t.id = sqlite3_column_int(s, 0);
            t.parent = sqlite3_column_int(s, 1);
            t.folder = sqlite3_column_int(s, 2);
            t.name = bench::text_of(s, 3);
            t.description = bench::text_of(s, 4);
            t.deadline = sqlite3_column_int64(s, 5);
            t.units = sqlite3_column_int(s, 6);
            t.status = sqlite3_column_int(s, 7);
            t.role = sqlite3_column_int(s, 8);
            t.date = sqlite3_column_int64(s, 9);
            int* ints[] = {&t.start,      &t.length,   &t.appointment, &t.estimate, &t.original,
                           &t.splittable, &t.project,  &t.priority,    &t.value,    &t.project_priority,
                           &t.recurrence, &t.cost,     &t.project_value, &t.crisis};
            for (int c = 0; c < 14; ++c)
                *ints[c] = sqlite3_column_int(s, 10 + c);
            tasks.push_back(std::move(t));
        }
        sqlite3_finalize(s);
        sqlite3_prepare_v2(db, "SELECT * FROM [TrackedTimes]", -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            times.push_back({sqlite3_column_int(s, 0), sqlite3_column_int(s, 1), sqlite3_column_int(s, 2),
                             sqlite3_column_int64(s, 3), sqlite3_column_int(s, 4), bench::text_of(s, 5)});
        sqlite3_finalize(s);
        sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        benchmark::DoNotOptimize(tasks.size());
        benchmark::DoNotOptimize(times.size());
    }
}

}  // namespace

BENCHMARK(chart_and_report)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(raw_read)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    data();  // build and load the file before timing
    bench::collecting_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double computed = reporter.times["chart_and_report/real_time"];
    const double raw = reporter.times["raw_read/real_time"];
    if (raw > 0)
        std::printf("\nchart and report %.1f ms, raw read %.1f ms, ratio %.2f (goal: at most 2.00)\n", computed, raw,
                    computed / raw);
    return 0;
}
