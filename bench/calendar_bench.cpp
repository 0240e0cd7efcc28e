// The week calendar with 50,000 tasks in the file and 300 of them in the
// shown week (appointments, to-dos with their schedule blocks, tracked
// times): building the view's boxes, and one repaint of the grid, beside
// reading the week's rows from memory in the same run.

#include "app/core.h"
#include "bench_support.h"
#include "history/history.h"
#include "history/task_commands.h"
#include "schedule/schedule_store.h"
#include "time/calendar.h"
#include "ui/calendar_grid.h"
#include "ui/calendar_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

using namespace qm;

constexpr int total_tasks = 50000;
constexpr int week_tasks = 300;

struct planner_data {
    QTemporaryDir dir;
    std::unique_ptr<app::core> core;
    std::unique_ptr<history::history> history;
    std::unique_ptr<history::task_commands> commands;
    std::unique_ptr<ui::calendar_view> view;
    time::stored_date first = 0;
};

planner_data* data = nullptr;

void fill()
{
    app::folder_facts facts;
    facts.program_folder = data->dir.path() + QStringLiteral("/");
    facts.user_data_folder = facts.program_folder + QStringLiteral("user-data");
    data->core = std::make_unique<app::core>(app::data_folder_locator(facts));
    data->core->start();
    model::task_store& tasks = data->core->tasks();
    // The week after the clock's, so that its schedules are computed.
    data->first = time::start_of_week(time::add_days(time::today(), 7));
    for (int i = 0; i < total_tasks; ++i) {
        auto t = std::make_shared<model::task>();
        t->name = QStringLiteral("Task %1").arg(i);
        const bool in_week = i < week_tasks;
        t->date = in_week ? time::add_days(data->first, i % 7)
                          : (i % 3 == 0 ? time::NO_DATE : time::add_days(data->first, 14 + i % 700));
        if (in_week && i % 3 == 0) {
            t->appointment = true;
            t->appointment_start = (7 + (i / 7) % 12) * 3600;
            t->appointment_duration = 1800 + 900 * (i % 3);
        } else {
            t->estimate = 900 * (1 + i % 4);
        }
        if (in_week && i % 5 == 1)
            t->tracked_times.push_back(store::tracked_time_record{0, 0, 0, t->date + 6 * 3600 + 60 * i, 1200, {}});
        tasks.add_task(t);
    }
    data->history = std::make_unique<history::history>([&tasks] { tasks.end_change_batch(); });
    data->commands = std::make_unique<history::task_commands>(*data->history, tasks);
    data->view = std::make_unique<ui::calendar_view>(
        ui::calendar_view::week_id,
        ui::calendar_parts{tasks, *data->commands, *data->history, &data->core->schedule(), nullptr},
        data->dir.path() + QStringLiteral("/calendar_week.ini"));
    data->view->resize(1400, 900);
    data->view->show();
    data->view->set_date(data->first);
    // Let the schedule worker compute the week's blocks.
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        bool all = true;
        for (int d = 0; d < 7; ++d)
            all = all && data->core->schedule().computed(time::add_days(data->first, d));
        if (all)
            break;
    }
    data->view->refresh();
}

void build_week(benchmark::State& state)
{
    for (auto _ : state) {
        data->view->refresh();
        benchmark::DoNotOptimize(data->view->grid().items().data());
    }
    state.counters["boxes"] = static_cast<double>(data->view->grid().items().size());
}

void repaint_week(benchmark::State& state)
{
    QWidget* surface = data->view->grid().viewport();
    QImage image(surface->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&image);
        surface->render(&p);
        p.end();
        benchmark::DoNotOptimize(image.bits());
    }
}

// The baseline: the week's rows read from the task store's date lists,
// each row's fields the view shows touched once.
void read_week_rows(benchmark::State& state)
{
    model::task_store& tasks = data->core->tasks();
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (int d = 0; d < 7; ++d)
            for (const model::task* t : tasks.tasks_of_date(time::add_days(data->first, d)))
                sum += t->appointment_start + t->appointment_duration + t->name.size() +
                       static_cast<std::int64_t>(t->tracked_times.size());
        benchmark::DoNotOptimize(sum);
    }
}

}  // namespace

BENCHMARK(build_week)->Unit(benchmark::kMillisecond);
BENCHMARK(repaint_week)->Unit(benchmark::kMillisecond);
BENCHMARK(read_week_rows)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    planner_data d;
    data = &d;
    fill();
    benchmark::Initialize(&argc, argv);
    qm::bench::collecting_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double build = reporter.times["build_week"];
    const double repaint = reporter.times["repaint_week"];
    const double baseline = reporter.times["read_week_rows"];
    std::printf("\nweek of %d tasks among %d: building %.3f ms, one repaint %.3f ms, reading the rows %.4f ms\n",
                week_tasks, total_tasks, build, repaint, baseline);
    d.view.reset();
    d.core->shutdown();
    if (baseline > 0)
        std::printf("ratio of building and one repaint against reading the rows %.1f\n", (build + repaint) / baseline);
    return 0;
}
