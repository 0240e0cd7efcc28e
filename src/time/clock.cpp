#include "time/clock.h"

#include <QDateTime>
#include <QTimeZone>

#include <atomic>
#include <memory>
#include <mutex>

namespace qm::time {
namespace {

// The zone's offset at one instant, kept for the rest of that second: a
// repaint asks for "now" once per cell, and each fresh answer makes the C
// library look at the zone file again.
struct offset_memo {
    std::mutex mutex;
    std::int64_t utc = 0;
    int offset = 0;
    bool known = false;
};

clock_source system_source()
{
    auto memo = std::make_shared<offset_memo>();
    return clock_source{
        [] { return QDateTime::currentSecsSinceEpoch(); },
        [memo](std::int64_t utc) {
            // Taken afresh for every other second, so a change of zone or
            // daylight saving moves "now" without touching stored values.
            {
                std::lock_guard<std::mutex> lock(memo->mutex);
                if (memo->known && memo->utc == utc)
                    return memo->offset;
            }
            const int offset = QDateTime::fromSecsSinceEpoch(utc).offsetFromUtc();
            std::lock_guard<std::mutex> lock(memo->mutex);
            memo->utc = utc;
            memo->offset = offset;
            memo->known = true;
            return offset;
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
