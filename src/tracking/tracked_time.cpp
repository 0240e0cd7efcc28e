#include "tracking/tracked_time.h"

#include "time/format.h"

#include <limits>

namespace qm::tracking {

template <class Entries>
auto* latest_of(Entries& entries)
{
    decltype(&entries[0]) best = nullptr;
    for (auto& e : entries)
        if (e.type == entry_type::task_time && (best == nullptr || end_of(e) > end_of(*best)))
            best = &e;
    return best;
}

const TrackedTime* latest_task_time(const TrackedTimes& entries) { return latest_of(entries); }
TrackedTime* latest_task_time(TrackedTimes& entries) { return latest_of(entries); }

std::int64_t total_tracked(const TrackedTimes& entries)
{
    std::int64_t total = 0;
    for (const auto& e : entries)
        total += e.duration;
    return total;
}

TrackedTime* find_entry(TrackedTimes& entries, std::int32_t id)
{
    // The running entry is nearly always the last one.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (it->id == id)
            return &*it;
    return nullptr;
}

const TrackedTime* find_entry(const TrackedTimes& entries, std::int32_t id)
{
    return find_entry(const_cast<TrackedTimes&>(entries), id);
}

QString tracked_time_summary(const TrackedTimes& entries)
{
    if (entries.empty())
        return QStringLiteral("This task does not have any tracked ") + QStringLiteral("times associated with it.");
    time::stored_time earliest = entries.front().start, latest = entries.front().start;
    for (const auto& e : entries) {
        earliest = std::min(earliest, e.start);
        latest = std::max(latest, e.start);
    }
    const std::int64_t days = (latest - earliest) / time::seconds_per_day;
    QString text = QStringLiteral("Total time: ") + time::format_duration(total_tracked(entries)) +
                   QStringLiteral(" over a span of ");
    if (days > 0)
        text += QString::number(days + 1) + QStringLiteral(" days.");
    else
        text += QStringLiteral("a day.");
    return text;
}

QString running_time_text(std::int64_t seconds)
{
    if (seconds < 60)
        return QStringLiteral("%1s").arg(seconds);
    return time::format_duration(seconds);
}

std::int32_t clamp_duration(std::int64_t seconds)
{
    if (seconds < 0)
        return 0;
    if (seconds > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(seconds);
}

}  // namespace qm::tracking
