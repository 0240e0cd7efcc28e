#include "time/clock.h"

#include <QDateTime>
#include <QTimeZone>

#include <atomic>
#include <mutex>

namespace qm::time {
namespace {

clock_source system_source()
{
    return clock_source{
        [] { return QDateTime::currentSecsSinceEpoch(); },
        [](std::int64_t utc) {
            // Taken afresh at every call, so a change of zone or daylight
            // saving moves "now" without touching stored values.
            return QDateTime::fromSecsSinceEpoch(utc).offsetFromUtc();
        },
    };
}

std::mutex source_mutex;
clock_source& source()
{
    static clock_source s = system_source();
    return s;
}
std::atomic<std::int64_t> frozen{0};

}  // namespace

void set_clock_source(clock_source s)
{
    std::lock_guard<std::mutex> lock(source_mutex);
    source() = std::move(s);
}

void reset_clock_source() { set_clock_source(system_source()); }

void set_frozen_time(std::int64_t utc_seconds) { frozen = utc_seconds; }
std::int64_t frozen_time() { return frozen; }

stored_time now()
{
    clock_source s;
    {
        std::lock_guard<std::mutex> lock(source_mutex);
        s = source();
    }
    const std::int64_t f = frozen;
    const std::int64_t utc = f != 0 ? f : s.utc_seconds();
    return utc + s.offset_at(utc);
}

stored_date today() { return date_of(now()); }

}  // namespace qm::time
