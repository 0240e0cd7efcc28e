// Roles: the effective role of each of 50,000 tasks with its colours (what a
// task list's Role column asks for every row; a task without a role of its
// own takes its project's) and the Overview's role tree (life areas, their
// roles in role order, the values under each), beside a raw read of the
// same rows in the same run. The writer is never started: the figures are
// main-thread time.

#include "model/project_store.h"
#include "model/role_store.h"
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

constexpr int task_count = 50000;
constexpr int project_count = 200;
constexpr int area_count = 13;
constexpr int role_count = 39;
constexpr int value_count = 30;

struct fixture {
    QTemporaryDir dir;
    QString path;
    store::db_writer writer{dir.path() + "/unused.db"};
    store::tables tables{writer};
    model::task_store tasks{tables, writer};
    model::project_store projects{tables, writer, tasks};
    model::role_store roles{tables};

    fixture()
    {
        path = dir.path() + "/roles.db";
        store::database db;
        db.open(path);
        db.execute("BEGIN TRANSACTION;");
        store::create_schema(db);
        // Life areas 1 … 13, roles 14 … 52 spread over them, each role with
        // three values; a few roles stand outside any life area.
        db.execute(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                  "INSERT INTO Roles SELECT i, -1, 'Area ' || i, '', '|', i * 4096, 16777215 - i "
                                  "FROM n")
                       .arg(area_count));
        db.execute(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) "
                                  "INSERT INTO Roles SELECT i, CASE WHEN i % 10 = 0 THEN 0 ELSE 1 + i % %3 END, "
                                  "'Role ' || i, '', '|' || (1 + i % %4) || '|' || (1 + (i + 7) % %4) || '|' || "
                                  "(1 + (i + 13) % %4) || '|', i * 256, 16777215 - i * 3 FROM n")
                       .arg(area_count + 1)
                       .arg(area_count + role_count)
                       .arg(area_count)
                       .arg(value_count));
        db.execute(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                  "INSERT INTO [Values] SELECT i, 'Value ' || i, '', i - 1 FROM n")
                       .arg(value_count));
        db.execute(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                  "INSERT INTO Projects SELECT i, 'Project ' || i, '', 0, 0, 0, 0, %2 + i % %3, 0, "
                                  "0, i, 0 FROM n")
                       .arg(project_count)
                       .arg(area_count + 1)
                       .arg(role_count));
        // A third of the tasks carry a role, a third take their project's,
        // the rest have neither.
        db.execute(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                  "INSERT INTO Tasks SELECT i, 0, 0, 'Task number ' || i, '', 0, i % 10, 0, "
                                  "CASE WHEN i % 3 = 0 THEN %2 + i % %3 ELSE 0 END, 1773100800 + (i % 365) * 86400, "
                                  "-1, -1, 0, 1800, 1800, 0, CASE WHEN i % 3 = 1 THEN 1 + i % %4 ELSE 0 END, "
                                  "1 + i % 3, 1 + i / 1095, 0, 0, 0, 0, 0 FROM n")
                       .arg(task_count)
                       .arg(area_count + 1)
                       .arg(role_count)
                       .arg(project_count));
        db.execute("COMMIT;");
        db.execute("BEGIN TRANSACTION;");
        tables.roles.load(db);
        tables.values.load(db);
        tasks.load(db);
        projects.load(db);
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
        sqlite3_exec(db, "BEGIN TRANSACTION;", nullptr, nullptr, nullptr);
        std::vector<std::tuple<int, int, int>> tasks;
        std::vector<std::pair<int, int>> projects;
        std::vector<std::tuple<int, int, std::string, std::string, int, int>> roles;
        tasks.reserve(static_cast<std::size_t>(task_count));
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "SELECT id, role, project FROM Tasks", -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            tasks.emplace_back(sqlite3_column_int(s, 0), sqlite3_column_int(s, 1), sqlite3_column_int(s, 2));
        sqlite3_finalize(s);
        sqlite3_prepare_v2(db, "SELECT id, role FROM Projects", -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            projects.emplace_back(sqlite3_column_int(s, 0), sqlite3_column_int(s, 1));
        sqlite3_finalize(s);
        sqlite3_prepare_v2(db, "SELECT id, parent, name, [values], foreground_color, background_color FROM Roles", -1,
                           &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            roles.emplace_back(sqlite3_column_int(s, 0), sqlite3_column_int(s, 1), qm::bench::text_of(s, 2),
                               qm::bench::text_of(s, 3), sqlite3_column_int(s, 4), sqlite3_column_int(s, 5));
        sqlite3_finalize(s);
        sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        benchmark::DoNotOptimize(tasks.size() + projects.size() + roles.size());
    }
}

void effective_roles(benchmark::State& state)
{
    fixture& f = data();
    for (auto _ : state) {
        long long sum = 0;
        for (const auto& t : f.tasks.all()) {
            const store::role_record& r = f.roles.find(f.tasks.effective_role(*t));
            sum += r.foreground_color + r.background_color;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * task_count);
}

void role_tree(benchmark::State& state)
{
    fixture& f = data();
    for (auto _ : state) {
        // The rows the Overview shows, with the values under every role.
        std::vector<std::pair<std::int32_t, int>> rows;
        for (const auto& area : f.roles.life_areas()) {
            rows.emplace_back(area->id, 0);
            for (const auto& r : f.roles.roles_of(area->id)) {
                rows.emplace_back(r->id, 1);
                for (std::int32_t v : f.roles.values_of(*r))
                    rows.emplace_back(v, 2);
            }
        }
        for (const auto& r : f.roles.roles_outside()) {
            rows.emplace_back(r->id, 0);
            for (std::int32_t v : f.roles.values_of(*r))
                rows.emplace_back(v, 1);
        }
        benchmark::DoNotOptimize(rows.size());
    }
}

}  // namespace

BENCHMARK(raw_read)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(effective_roles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(role_tree)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    data();
    qm::bench::collecting_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double raw = reporter.times["raw_read/real_time"];
    const double effective = reporter.times["effective_roles/real_time"];
    const double tree = reporter.times["role_tree/real_time"];
    if (raw <= 0)
        return 0;
    std::printf("\nraw read of %d tasks, %d projects and %d roles %.3f ms\n", task_count, project_count,
                area_count + role_count, raw);
    std::printf("the Overview's role tree %.3f ms, ratio %.4f against the raw read\n", tree, tree / raw);
    std::printf("effective role and colours of %d tasks %.3f ms, ratio %.3f against the raw read\n", task_count,
                effective, effective / raw);
    return 0;
}
