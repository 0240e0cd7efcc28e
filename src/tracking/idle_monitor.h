#pragma once
// When the user has been away from keyboard and mouse for longer than the
// threshold, the idle menu is offered, unless a full-screen program is in
// front or the user switched the offer off until the next timer starts.
// The desktop is reached through idle_source, which tests replace. Main
// thread only.

#include "time/clock.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

namespace qm::tracking {

class idle_source {
public:
    virtual ~idle_source() = default;
    // Seconds since the last keyboard or mouse input; nullopt when the
    // desktop does not say.
    virtual std::optional<std::int64_t> idle_seconds() = 0;
    // A visible, non-minimised window covering its whole screen that is no
    // desktop or dock window and is not excused by the two lists.
    virtual bool fullscreen_window_present(const QStringList& classes_to_ignore,
                                           const QStringList& titles_to_ignore) = 0;
};

struct idle_settings {
    bool show = true;
    std::int64_t threshold = 900;
    QStringList classes_to_ignore;
    QStringList titles_to_ignore;
};

class idle_monitor {
public:
    static constexpr int check_period_ms = 10000;

    idle_monitor(idle_source& source, std::function<idle_settings()> settings);

    // The ten-second check: opens the idle menu through open_idle_menu.
    void check();

    // "D: Disable Idle Menu until a Task is Timed"; cleared when timing begins.
    void disable_until_timed() { disabled_ = true; }
    void clear_disabled() { disabled_ = false; }
    bool disabled() const { return disabled_; }

    // The start of the idle period as of now: now minus the idle seconds.
    time::stored_time idle_start_now();

    std::function<void()> open_idle_menu;

private:
    idle_source& source_;
    std::function<idle_settings()> settings_;
    bool disabled_ = false;
};

// "System has been idle for %1, from %2 to %3%4".
QString idle_header(time::stored_time idle_start, time::stored_time now, bool timing);

}  // namespace qm::tracking
