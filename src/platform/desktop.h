#pragma once
// What the program asks of the desktop beyond its own windows: how long the
// user has left keyboard and mouse alone, which top-level windows are up
// (for the full-screen test) and which window had the focus, to give it
// back. Behind an interface so that the logic above is tested with a fake.
// Main thread only.

#include <QRect>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace qm::platform {

// One top-level window as the full-screen test sees it.
struct window_facts {
    QString window_class;  // the class part of WM_CLASS
    QString title;
    QRect frame;           // on the root window
    bool visible = true;   // mapped
    bool minimised = false;
    bool fullscreen_state = false;  // the window manager shows it full screen
    bool above = false;             // kept above the others
    bool decorated = false;         // has a title bar
    bool desktop_or_dock = false;   // the desktop, a panel or a dock
};

// The top windows first. A window counts as full screen when it is up, not
// minimised, not the desktop or a dock, has no title bar unless it is kept
// above, is at least as wide and as high as its screen (the one it overlaps
// most, else the nearest) and is not excused by a class (exact) or a title
// piece (without regard to case).
bool fullscreen_window_present(const std::vector<window_facts>& top_first, const std::vector<QRect>& screens,
                               const QStringList& classes_to_ignore, const QStringList& titles_to_ignore);

// The screen a window belongs to: the one it overlaps most, else the nearest.
QRect screen_of(const QRect& frame, const std::vector<QRect>& screens);

class desktop {
public:
    virtual ~desktop() = default;
    virtual std::optional<std::int64_t> idle_seconds() = 0;
    virtual std::vector<window_facts> top_level_windows() = 0;
    virtual std::vector<QRect> screens() = 0;
    // The window that has the focus now, 0 when unknown, and giving it back.
    virtual std::uint64_t active_window() = 0;
    virtual void activate(std::uint64_t window) = 0;
};

// The X11 desktop (XScreenSaver for idle time, EWMH for the windows); on
// any other session one that knows nothing.
std::unique_ptr<desktop> make_desktop();

}  // namespace qm::platform
