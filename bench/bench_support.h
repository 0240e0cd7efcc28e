#pragma once
// What the benchmarks share: reading a text column the raw way, and a
// reporter that keeps each run's figures so the ratios can be printed.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <map>
#include <string>
#include <vector>

namespace qm::bench {

inline std::string text_of(sqlite3_stmt* s, int column)
{
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return t != nullptr ? std::string(t, static_cast<std::size_t>(sqlite3_column_bytes(s, column))) : std::string();
}

struct collecting_reporter : benchmark::ConsoleReporter {
    std::map<std::string, double> times;  // real time per iteration, in the benchmark's unit
    std::map<std::string, double> rates;  // items per second, where counted
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            times[run.benchmark_name()] = run.GetAdjustedRealTime();
            auto it = run.counters.find("items_per_second");
            if (it != run.counters.end())
                rates[run.benchmark_name()] = it->second;
        }
    }
};

}  // namespace qm::bench
