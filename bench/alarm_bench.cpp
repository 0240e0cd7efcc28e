// The alarm poll with 10,000 cached alarms, none of them due: the work of a
// changed second against a plain loop over the same alarms that only reads
// their times. Goal: under 0.2 ms per poll.

#include "history/history.h"
#include "store/tables.h"
#include "time/clock.h"
#include "tracking/alarm_store.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace qm;

namespace {

constexpr int alarm_count = 10000;

struct no_actions : tracking::alarm_actions {
    QString play_sound(const QString&) override { return QString(); }
    QString open_website(const QString&) override { return QString(); }
    QString open_file(const QString&, const QString&) override { return QString(); }
    QString run_program(const QString&, const QString&) override { return QString(); }
};

// A writer that is never started: only the main thread's work is measured.
struct alarm_world {
    QTemporaryDir dir;
    store::db_writer writer{dir.path() + "/unused.db"};
    store::tables tables{writer};
    model::task_store tasks{tables, writer};
    history::history h{[this] { tasks.end_change_batch(); }};
    no_actions actions;
    tracking::alarm_store alarms{tables.alarms, tasks, h, actions, QString()};
    std::shared_ptr<std::int64_t> utc = std::make_shared<std::int64_t>(1773225600 + 9 * 3600);

    alarm_world()
    {
        auto clock_value = utc;
        time::set_clock_source(time::clock_source{[clock_value] { return *clock_value; },
                                                  [](std::int64_t) { return 0; }});
        // A few hundred appointments for the alarms before their start.
        std::vector<std::int32_t> appointments;
        for (int i = 0; i < 200; ++i) {
            auto t = std::make_shared<model::task>();
            t->appointment = true;
            t->date = time::date_of(*utc) + 86400;
            t->appointment_start = 9 * 3600;
            t->appointment_duration = 3600;
            tasks.add_task(t);
            appointments.push_back(t->id);
        }
        for (int i = 0; i < alarm_count; ++i) {
            tracking::Alarm a;
            switch (i % 4) {
            case 0: a.type = tracking::alarm_type::at_time; a.time = *utc + 7 * 86400 + i; break;
            case 1:
                a.type = tracking::alarm_type::before_appointment;
                a.time = 1800;
                a.attached = appointments[static_cast<std::size_t>(i) % appointments.size()];
                a.attached_type = 1;
                break;
            case 2: a.type = tracking::alarm_type::finished; a.attached = appointments[0]; a.attached_type = 1; break;
            default: a.type = tracking::alarm_type::at_time_attached; a.time = *utc + 86400 + i; break;
            }
            a.flags = tracking::alarm_flag::show_window;
            a.command = QStringLiteral("*alarm.wav");
            tables.alarms.add_entity(a);
        }
        alarms.poll();
    }
    ~alarm_world() { time::reset_clock_source(); }
};

alarm_world& world()
{
    static alarm_world w;
    return w;
}

void poll_of_a_changed_second(benchmark::State& state)
{
    alarm_world& w = world();
    for (auto _ : state) {
        ++*w.utc;
        w.alarms.poll();
    }
    benchmark::DoNotOptimize(w.alarms.last_processed());
}

// The least any poll must do: look at every cached alarm's time once.
void loop_over_the_alarms(benchmark::State& state)
{
    alarm_world& w = world();
    for (auto _ : state) {
        ++*w.utc;
        const std::int64_t now = time::now();
        int due = 0;
        for (const tracking::alarm_ptr& a : w.tables.alarms.cache())
            due += a->time > now ? 0 : 1;
        benchmark::DoNotOptimize(due);
    }
}

}  // namespace

BENCHMARK(poll_of_a_changed_second)->Unit(benchmark::kMicrosecond);
BENCHMARK(loop_over_the_alarms)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    qm::bench::collecting_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double poll = reporter.times["poll_of_a_changed_second"];
    const double loop = reporter.times["loop_over_the_alarms"];
    std::printf("\npoll with %d alarms, none due: %.1f us per changed second (goal: under 200 us); plain loop %.1f us\n",
                alarm_count, poll, loop);
    if (loop > 0)
        std::printf("ratio against the plain loop %.1f\n", poll / loop);
    return 0;
}
