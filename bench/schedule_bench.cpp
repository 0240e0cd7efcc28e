// One day of 200 to-dos, 30 of them constrained, among a few appointments:
// the full computation with its look-ahead beside the same day placed
// without it (each task to its earliest slot).

#include "bench_support.h"
#include "schedule/day_schedule.h"
#include "time/calendar.h"

#include <cstdio>

namespace {

using namespace qm;

schedule::day_input busy_day(bool look_ahead)
{
    schedule::day_input in;
    const time::stored_date d = time::make_date(2026, 3, 12);
    in.date = d;
    in.now = d - 3600;  // the evening before: the day starts at working start
    in.look_ahead = look_ahead;
    std::int32_t id = 1;
    for (int a = 0; a < 4; ++a) {
        schedule::task_copy t;
        t.id = id++;
        t.date = d;
        t.appointment = true;
        t.appointment_start = (9 + 2 * a) * 3600;
        t.appointment_duration = 1800;
        in.tasks.push_back(t);
    }
    for (int i = 0; i < 200; ++i) {
        schedule::task_copy t;
        t.id = id++;
        t.date = d;
        t.priority = 1 + i % 3;
        t.position = 1 + i / 3;
        t.time_left = t.effective_estimate = 60 * (2 + i % 4);
        t.splittable = i % 5 == 0;
        // 30 constrained, half by a schedule-before time, half by a deadline.
        if (i % 7 == 3 || i == 1) {
            if (i % 2 == 0)
                t.appointment_duration = 9 * 3600 + 60 * i;
            else
                t.deadline = d + 9 * 3600 + 60 * i;
        }
        in.tasks.push_back(t);
    }
    return in;
}

void full_computation(benchmark::State& state)
{
    const schedule::day_input in = busy_day(true);
    std::vector<schedule::block> out;
    for (auto _ : state) {
        schedule::compute_day(in, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["blocks"] = static_cast<double>(out.size());
}

void plain_placement(benchmark::State& state)
{
    const schedule::day_input in = busy_day(false);
    std::vector<schedule::block> out;
    for (auto _ : state) {
        schedule::compute_day(in, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["blocks"] = static_cast<double>(out.size());
}

}  // namespace

BENCHMARK(full_computation)->Unit(benchmark::kMillisecond);
BENCHMARK(plain_placement)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    qm::bench::collecting_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double full = reporter.times["full_computation"];
    const double plain = reporter.times["plain_placement"];
    std::printf("\n200 to-dos, 30 constrained: full computation %.2f ms (goal: under 20 ms), plain placement %.2f ms\n",
                full, plain);
    if (plain > 0)
        std::printf("ratio against the plain placement %.1f (goal: within 10)\n", full / plain);
    return 0;
}
