#include "tracking/idle_monitor.h"

#include "time/format.h"

namespace qm::tracking {

idle_monitor::idle_monitor(idle_source& source, std::function<idle_settings()> settings)
    : source_(source), settings_(std::move(settings))
{
}

void idle_monitor::check()
{
    const idle_settings s = settings_ ? settings_() : idle_settings{};
    if (!s.show || disabled_)
        return;
    const std::optional<std::int64_t> idle = source_.idle_seconds();
    if (!idle || *idle <= s.threshold)
        return;
    // The window walk costs more than the idle query: only past the threshold.
    if (source_.fullscreen_window_present(s.classes_to_ignore, s.titles_to_ignore))
        return;
    if (open_idle_menu)
        open_idle_menu();
}

time::stored_time idle_monitor::idle_start_now()
{
    const time::stored_time now = time::now();
    return now - source_.idle_seconds().value_or(0);
}

QString idle_header(time::stored_time idle_start, time::stored_time now, bool timing)
{
    return QStringLiteral("System has been idle for %1, from %2 to %3%4")
        .arg(time::format_duration(now - idle_start), time::format_time_of_day(idle_start - time::date_of(idle_start)),
             time::format_time_of_day(now - time::date_of(now)),
             timing ? QStringLiteral(" while timing:") : QString());
}

}  // namespace qm::tracking
