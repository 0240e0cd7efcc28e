// The timer's tick with 10,000 tracked times on the timed task: the work of a
// changed second (the running entry, the shown total, the minute save every
// 61st second) against a tick of the same second, which returns at once.
// Goal: the once-a-second work under 0.1 ms of main-thread time.

#include "store/tables.h"
#include "time/clock.h"
#include "tracking/task_timer.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace qm;

namespace {

constexpr int entry_count = 10000;

// A writer that is never started: the benchmark measures the main thread;
// the minute save posts its requests to the queue as it does in the program.
struct timed_store {
    QTemporaryDir dir;
    store::db_writer writer{dir.path() + "/unused.db"};
    store::tables tables{writer};
    model::task_store tasks{tables, writer};
    tracking::task_timer timer{tasks, tables.ids};
    std::shared_ptr<std::int64_t> utc = std::make_shared<std::int64_t>(1773225600 + 9 * 3600);

    timed_store()
    {
        auto clock_value = utc;
        time::set_clock_source(time::clock_source{[clock_value] { return *clock_value; },
                                                  [](std::int64_t) { return 0; }});
        auto t = std::make_shared<model::task>();
        t->name = "Timed";
        t->date = time::date_of(*utc);
        for (int i = 0; i < entry_count; ++i) {
            tracking::TrackedTime e;
            e.id = i + 1;
            e.start = *utc - 10LL * 86400 + i * 60;
            e.duration = 30;
            t->tracked_times.push_back(e);
        }
        tasks.add_task(t);
        timer.begin_timing(t);
    }
    ~timed_store() { time::reset_clock_source(); }
};

void tick_of_a_changed_second(benchmark::State& state)
{
    timed_store s;
    for (auto _ : state) {
        ++*s.utc;
        s.timer.tick();
    }
    benchmark::DoNotOptimize(s.timer.running_entry());
}

void tick_of_the_same_second(benchmark::State& state)
{
    timed_store s;
    ++*s.utc;
    s.timer.tick();
    for (auto _ : state)
        s.timer.tick();
    benchmark::DoNotOptimize(s.timer.running_entry());
}

}  // namespace

BENCHMARK(tick_of_a_changed_second)->Unit(benchmark::kMicrosecond)->Iterations(6100);
BENCHMARK(tick_of_a_changed_second)->Name("between_saves")->Unit(benchmark::kMicrosecond)->Iterations(60);
BENCHMARK(tick_of_the_same_second)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    qm::bench::collecting_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double work = reporter.times["tick_of_a_changed_second/iterations:6100"];
    const double empty = reporter.times["tick_of_the_same_second"];
    std::printf("\ntick with %d tracked times: %.2f us per changed second (goal: under 100 us); empty tick %.3f us\n",
                entry_count, work, empty);
    if (empty > 0)
        std::printf("ratio against the empty tick %.1f\n", work / empty);
    return 0;
}
