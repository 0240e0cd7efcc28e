// Projects: opening the task list of a project of 5,000 tasks in 200 folders
// (building its tree, each group in its ROI order, from tasks whose derived
// values are not yet computed) and one indent in it through the history,
// each beside a raw read of the same rows in the same run. The writer is
// never started: the figures are main-thread time.

#include "history/tree_moves.h"
#include "store/schema.h"
#include "store/tables.h"

#include <QTemporaryDir>

#include "bench_support.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <functional>

using namespace qm;

namespace {

constexpr int folder_count = 200;
constexpr int task_count = 5000;

struct fixture {
    QTemporaryDir dir;
    QString path;
    store::db_writer writer{dir.path() + "/unused.db"};
    store::tables tables{writer};
    model::task_store tasks{tables, writer};
    model::project_store projects{tables, writer, tasks};
    history::history h{[this] { tasks.end_change_batch(); }};
    history::task_commands task_cmds{h, tasks};
    history::project_commands project_cmds{h, projects, tasks};
    history::tree_moves moves{h, tasks, projects, task_cmds, project_cmds};
    model::project_ptr project;

    fixture()
    {
        path = dir.path() + "/project.db";
        store::database db;
        db.open(path);
        db.execute("BEGIN TRANSACTION;");
        store::create_schema(db);
        db.execute("INSERT INTO Projects VALUES (1, 'Big', '', 0, 0, 0, 0, 0, 0, 0, 0, 0)");
        // Folders 1 … 200, then the tasks spread over them, 24 each.
        db.execute(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                  "INSERT INTO Tasks SELECT i, 0, 1, 'Folder ' || i, '', 0, 0, 0, 0, 408758400, -1, "
                                  "-1, 1, 0, 0, 0, 1, 2, 0, 0, 0, 0, i, 0 FROM n")
                       .arg(folder_count));
        db.execute(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) "
                                  "INSERT INTO Tasks SELECT i, 1 + i % %3, 0, 'Task number ' || i, '', 0, i % 10, 0, "
                                  "0, 408844800, -1, -1, 0, 600 + i % 7200, 0, 0, 1, 2, 1 + i / %3, 0, 0, 0, "
                                  "1 + (i - %1) / %3, 0 FROM n")
                       .arg(folder_count + 1)
                       .arg(task_count)
                       .arg(folder_count));
        db.execute("COMMIT;");
        db.execute("BEGIN TRANSACTION;");
        tasks.load(db);
        projects.load(db);
        db.execute("COMMIT;");
        project = projects.find(1);
    }
};

fixture& data()
{
    static fixture f;
    return f;
}

void open_task_list(benchmark::State& state)
{
    fixture& f = data();
    for (auto _ : state) {
        for (const auto& t : f.tasks.all())
            f.tasks.invalidate(*t);  // as after a change: the derived values are computed anew
        const model::task_tree tree = model::build_task_tree(f.tasks, *f.project);
        // The rows a list shows, in preorder with their levels.
        std::vector<std::pair<model::task*, int>> rows;
        rows.reserve(static_cast<std::size_t>(task_count));
        std::function<void(const std::vector<model::task*>&, int)> walk = [&](const std::vector<model::task*>& g,
                                                                              int level) {
            for (model::task* t : g) {
                rows.emplace_back(t, level);
                walk(tree.children_of(t->id), level + 1);
            }
        };
        walk(tree.roots, 0);
        benchmark::DoNotOptimize(rows.size());
    }
}

void indent_one(benchmark::State& state)
{
    fixture& f = data();
    // The second task of the first folder goes under the first.
    model::task* first_folder = f.tasks.find(1).get();
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<model::task*> group = f.tasks.children(*first_folder);
        model::order_group(f.tasks, group, model::folder_method::roi);
        model::task* second = group.size() > 1 ? group[1] : group.front();
        state.ResumeTiming();
        f.moves.indent(*second);
        state.PauseTiming();
        f.h.undo_step();
        state.ResumeTiming();
    }
}

void raw_read(benchmark::State& state)
{
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open(data().path.toUtf8().constData(), &db);
        sqlite3_stmt* s = nullptr;
        std::vector<std::tuple<int, int, int, std::string, int, int, int>> rows;
        rows.reserve(static_cast<std::size_t>(task_count));
        sqlite3_prepare_v2(db, "SELECT id, parent, folder, name, units, estimate, project_priority_value FROM Tasks "
                               "WHERE project = 1", -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            rows.emplace_back(sqlite3_column_int(s, 0), sqlite3_column_int(s, 1), sqlite3_column_int(s, 2),
                              qm::bench::text_of(s, 3), sqlite3_column_int(s, 4), sqlite3_column_int(s, 5),
                              sqlite3_column_int(s, 6));
        sqlite3_finalize(s);
        sqlite3_close(db);
        benchmark::DoNotOptimize(rows.size());
    }
}

}  // namespace

BENCHMARK(raw_read)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(open_task_list)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(indent_one)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    data();
    qm::bench::collecting_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double raw = reporter.times["raw_read/real_time"];
    const double open = reporter.times["open_task_list/real_time"];
    const double indent = reporter.times["indent_one/real_time"];
    if (raw <= 0)
        return 0;
    std::printf("\nraw read of the project's %d rows %.2f ms\n", task_count, raw);
    std::printf("indent %.2f ms, ratio %.2f against the raw read\n", indent, indent / raw);
    std::printf("opening the task list %.2f ms, ratio %.2f against the raw read\n", open, open / raw);
    return 0;
}
