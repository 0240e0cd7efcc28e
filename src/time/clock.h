#pragma once
// The program's only reader of the wall clock. Stored times are local
// wall-clock seconds since 1970 without a zone: the zone is applied once, here.

#include <cstdint>
#include <functional>

namespace qm::time {

using stored_time = std::int64_t;
using stored_date = std::int64_t;

constexpr std::int64_t seconds_per_day = 86400;

// Midnight of the day of t. The remainder takes the sign of t, so negative
// values round toward zero; 0 stays 0.
constexpr stored_date date_of(stored_time t) { return t - t % seconds_per_day; }

// Source of the current UTC seconds and the local offset in force at that
// moment (seconds east of UTC). Tests replace it; the default reads the system.
struct clock_source {
    std::function<std::int64_t()> utc_seconds;
    std::function<int(std::int64_t utc)> offset_at;
};

void set_clock_source(clock_source source);
void reset_clock_source();

// When not 0 the clock stands still at these UTC seconds ("frozen time").
void set_frozen_time(std::int64_t utc_seconds);
std::int64_t frozen_time();

stored_time now();
stored_date today();

}  // namespace qm::time
