#pragma once
// Saving and restoring a window's placement in a settings document: block
// "window" with "x", "y", "x2", "y2" (left, top, right, bottom) and "maximized".

#include <QRect>

#include <optional>

namespace qm::app {

class settings_document;

constexpr int minimum_window_size = 160;

struct window_state {
    QRect normal;  // the rectangle of the window when neither minimised nor maximised
    bool minimized = false;
    bool maximized = false;
    bool resizable = true;
};

// Keeps a rectangle inside bounds (the parent's area or the screen's available
// area): at least 160 × 160 for a resizable window, never larger than bounds,
// moved so it lies within them.
QRect clamp_placement(const QRect& r, const QRect& bounds, bool resizable);

// Writes the "window" block; false, and nothing written, for a minimised
// window or a resizable one 160 pixels or less wide or high.
bool write_placement(settings_document& doc, const window_state& state, const QRect& bounds);

struct restored_placement {
    QRect normal;
    bool maximized = false;
};

// Reads the "window" block, clamped to bounds; nothing when the block is
// missing. A window that keeps its size takes only the position.
std::optional<restored_placement> read_placement(const settings_document& doc, const QRect& current,
                                                 const QRect& bounds, bool resizable);

}  // namespace qm::app
