#include "platform/desktop.h"

#include <limits>

namespace qm::platform {

QRect screen_of(const QRect& frame, const std::vector<QRect>& screens)
{
    QRect best;
    long long best_area = -1;
    for (const QRect& s : screens) {
        const QRect common = s.intersected(frame);
        const long long area = common.isEmpty() ? 0 : 1LL * common.width() * common.height();
        if (area > best_area) {
            best_area = area;
            best = s;
        }
    }
    if (best_area > 0 || screens.empty())
        return best;
    // No overlap: the screen whose centre is nearest.
    long long nearest = std::numeric_limits<long long>::max();
    for (const QRect& s : screens) {
        const QPoint d = s.center() - frame.center();
        const long long distance = 1LL * d.x() * d.x() + 1LL * d.y() * d.y();
        if (distance < nearest) {
            nearest = distance;
            best = s;
        }
    }
    return best;
}

bool fullscreen_window_present(const std::vector<window_facts>& top_first, const std::vector<QRect>& screens,
                               const QStringList& classes_to_ignore, const QStringList& titles_to_ignore)
{
    for (const window_facts& w : top_first) {
        if (!w.visible || w.minimised || w.desktop_or_dock)
            continue;
        if (w.decorated && !w.above && !w.fullscreen_state)
            continue;
        const QRect screen = screen_of(w.frame, screens);
        if (screen.isEmpty() || w.frame.width() < screen.width() || w.frame.height() < screen.height())
            continue;
        if (classes_to_ignore.contains(w.window_class))
            continue;
        bool excused = false;
        for (const QString& piece : titles_to_ignore)
            excused = excused || (!piece.isEmpty() && w.title.contains(piece, Qt::CaseInsensitive));
        if (excused)
            continue;
        return true;
    }
    return false;
}

}  // namespace qm::platform
