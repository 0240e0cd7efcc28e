// Task recurrences: creating the occurrences of 1,000 masters for one date,
// and the first look at 365 consecutive dates, beside the bare occurs_on
// calls the same work needs (1,000 per date). The last line is the ratio of
// one date's generation to its 1,000 bare tests.

#include "model/task_recurrences.h"
#include "store/tables.h"

#include <QTemporaryDir>

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace qm;

namespace {

constexpr int master_count = 1000;
const time::stored_date first_day = time::make_date(2026, 3, 2);

// The mix of a real file: daily, weekly, monthly and yearly patterns.
time::recurrence pattern_for(int i)
{
    time::recurrence r;
    r.starting_date = first_day;
    switch (i % 5) {
    case 0: r.type = time::recurrence_kind::daily; r.param1 = static_cast<std::uint8_t>(1 + i % 7); break;
    case 1:
        r.type = time::recurrence_kind::weekly;
        r.param1 = static_cast<std::uint8_t>(1 + i % 127);
        r.param2 = static_cast<std::uint8_t>(1 + i % 3);
        break;
    case 2:
        r.type = time::recurrence_kind::monthly_day;
        r.param1 = static_cast<std::uint8_t>(1 + i % 32);
        r.param2 = 1;
        break;
    case 3:
        r.type = time::recurrence_kind::monthly_weekday;
        r.param1 = static_cast<std::uint8_t>(1 + i % 5);
        r.param2 = static_cast<std::uint8_t>(1 + i % 7);
        r.param3 = 1;
        break;
    default:
        r.type = time::recurrence_kind::yearly_date;
        r.param1 = static_cast<std::uint8_t>(1 + i % 28);
        r.param2 = static_cast<std::uint8_t>(1 + i % 12);
        break;
    }
    return r;
}

// A writer that is never started: the benchmark measures the main thread.
struct memory_model {
    QTemporaryDir dir;
    store::db_writer writer{dir.path() + "/unused.db"};
    store::tables tables{writer};
    model::task_store tasks{tables, writer};
    model::task_recurrences recurrences{tables, tasks};

    memory_model()
    {
        for (int i = 0; i < master_count; ++i) {
            auto m = std::make_shared<model::task>();
            m->name = QStringLiteral("Master %1").arg(i);
            m->date = time::RECURRENCE_MASTER_DATE;
            m->estimate = 1800;
            tasks.add_task(m);
            time::recurrence r = pattern_for(i);
            r.attached = m->id;
            recurrences.add_pattern(r);
        }
        recurrences.install();
    }
};

void generate_for_one_date(benchmark::State& state)
{
    memory_model m;
    time::stored_date d = first_day;
    std::size_t made = 0;
    for (auto _ : state) {
        made += m.recurrences.generate_occurrences(d).size();
        d = time::next_day(d);  // each date once: later calls find the occurrences there
    }
    state.counters["occurrences_per_date"] = static_cast<double>(made) / static_cast<double>(state.iterations());
}

void bare_occurs_on_for_one_date(benchmark::State& state)
{
    std::vector<time::recurrence> patterns;
    for (int i = 0; i < master_count; ++i)
        patterns.push_back(pattern_for(i));
    time::stored_date d = first_day;
    for (auto _ : state) {
        int hits = 0;
        for (const auto& r : patterns)
            hits += time::occurs_on(r, d) ? 1 : 0;
        benchmark::DoNotOptimize(hits);
        d = time::next_day(d);
    }
}

void first_look_at_a_year(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto m = std::make_unique<memory_model>();
        state.ResumeTiming();
        for (int day = 0; day < 365; ++day)
            m->tasks.look_at(time::add_days(first_day, day));
        benchmark::DoNotOptimize(m->tasks.all().size());
        state.PauseTiming();
        m.reset();
        state.ResumeTiming();
    }
}

void bare_occurs_on_for_a_year(benchmark::State& state)
{
    std::vector<time::recurrence> patterns;
    for (int i = 0; i < master_count; ++i)
        patterns.push_back(pattern_for(i));
    for (auto _ : state) {
        int hits = 0;
        for (int day = 0; day < 365; ++day) {
            const time::stored_date d = time::add_days(first_day, day);
            for (const auto& r : patterns)
                hits += time::occurs_on(r, d) ? 1 : 0;
        }
        benchmark::DoNotOptimize(hits);
    }
}

}  // namespace

BENCHMARK(generate_for_one_date)->Unit(benchmark::kMicrosecond)->Iterations(200);
BENCHMARK(bare_occurs_on_for_one_date)->Unit(benchmark::kMicrosecond);
BENCHMARK(first_look_at_a_year)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(bare_occurs_on_for_a_year)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    qm::bench::collecting_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double year = reporter.times["first_look_at_a_year/iterations:3"];
    const double bare_year = reporter.times["bare_occurs_on_for_a_year"];
    if (bare_year > 0)
        std::printf("\nfirst look at 365 dates %.1f ms, bare occurs_on %.1f ms, ratio %.2f\n", year, bare_year,
                    year / bare_year);
    const double one = reporter.times["generate_for_one_date/iterations:200"];
    const double bare_one = reporter.times["bare_occurs_on_for_one_date"];
    if (bare_one > 0)
        std::printf("generate_occurrences for one date %.1f us, bare occurs_on %.1f us, ratio %.2f\n", one, bare_one,
                    one / bare_one);
    return 0;
}
