#include "app/window_placement.h"

#include "app/settings_document.h"

#include <algorithm>

namespace qm::app {
namespace {
const QString window_block = QStringLiteral("window");
constexpr int coordinate_limit = 1 << 20;
}

QRect clamp_placement(const QRect& r, const QRect& bounds, bool resizable)
{
    int width = r.width();
    int height = r.height();
    if (resizable) {
        width = std::max(width, minimum_window_size);
        height = std::max(height, minimum_window_size);
    }
    if (bounds.isValid()) {
        width = std::min(width, bounds.width());
        height = std::min(height, bounds.height());
    }
    int left = r.left();
    int top = r.top();
    if (bounds.isValid()) {
        left = std::clamp(left, bounds.left(), bounds.left() + bounds.width() - width);
        top = std::clamp(top, bounds.top(), bounds.top() + bounds.height() - height);
    }
    return QRect(left, top, width, height);
}

bool write_placement(settings_document& doc, const window_state& state, const QRect& bounds)
{
    if (state.minimized)
        return false;
    if (state.resizable &&
        (state.normal.width() <= minimum_window_size || state.normal.height() <= minimum_window_size))
        return false;
    const QRect r = clamp_placement(state.normal, bounds, state.resizable);
    doc.set_int(window_block, "maximized", state.maximized ? 1 : 0);
    doc.set_int(window_block, "x", r.left());
    doc.set_int(window_block, "y", r.top());
    doc.set_int(window_block, "x2", r.left() + r.width());
    doc.set_int(window_block, "y2", r.top() + r.height());
    return true;
}

std::optional<restored_placement> read_placement(const settings_document& doc, const QRect& current,
                                                 const QRect& bounds, bool resizable)
{
    if (doc.find_block(window_block) == nullptr)
        return std::nullopt;
    // Coordinates far outside any screen are cut down first, so that no
    // arithmetic on a garbage file can overflow.
    auto coordinate = [&](const char* key, int fallback) {
        return std::clamp(doc.get_int(window_block, key, fallback), -coordinate_limit, coordinate_limit);
    };
    const int x = coordinate("x", current.left());
    const int y = coordinate("y", current.top());
    const int x2 = coordinate("x2", current.left() + current.width());
    const int y2 = coordinate("y2", current.top() + current.height());
    QRect r = resizable ? QRect(x, y, std::max(0, x2 - x), std::max(0, y2 - y)) : QRect(QPoint(x, y), current.size());
    restored_placement p;
    p.normal = clamp_placement(r, bounds, resizable);
    p.maximized = doc.get_int(window_block, "maximized", 0) != 0;
    return p;
}

}  // namespace qm::app
