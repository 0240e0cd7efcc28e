#include "ui/icons.h"

#include "ui/commands.h"

#include <QFile>
#include <QHash>

// The drawings live in a static library: their resource is registered by
// hand, or the linker would leave it out.
static void init_icon_resources() { Q_INIT_RESOURCE(icons); }

namespace qm::ui {
namespace {

// Each name is a freedesktop icon name and the name of our own drawing.
const char* icon_name(int command)
{
    switch (command) {
    case cmd::undo: return "edit-undo";
    case cmd::redo: return "edit-redo";
    case cmd::cut: return "edit-cut";
    case cmd::copy: return "edit-copy";
    case cmd::paste: return "edit-paste";
    case cmd::print: return "document-print";
    case cmd::print_preview: return "document-print-preview";
    case cmd::overview: return "view-grid";
    case cmd::projects: return "folder";
    case cmd::tasks: return "view-task";
    case cmd::calendar: return "x-office-calendar";
    case cmd::day: return "weather-clear";
    case cmd::charts: return "office-chart-bar";
    case cmd::day_previous: return "go-previous";
    case cmd::day_next: return "go-next";
    case cmd::day_today: return "go-jump-today";
    case 40084: return "media-skip-forward";     // Next
    case 40432: return "media-seek-forward";     // Progression
    case 40433: return "view-split";             // Break Down
    case 40434: return "dialog-warning";         // Distraction
    case 40466: return "media-playback-pause";   // Interruption
    case cmd::show_day: return "x-office-calendar";
    case 40244: return "alarm-symbolic";         // Add Alarm
    case 41191: return "text-x-generic";         // Description
    case 40991: return "mail-message-new";       // Add Comment
    case 40179: return "view-list-details";      // Notifications Pane
    case cmd::pull_uncompleted: return "go-bottom";
    case 40443: return "view-filter";            // Task List Options
    case 40303: return "weather-clear";          // the calendars' Day View
    case 40302: return "x-office-calendar";      // Week View
    case 40283: return "go-previous";            // Prev. Day / Week
    case 40284: return "go-next";                // Next Day / Week
    case 40295: return "go-jump-today";          // Today / This Week
    case 40293: return "view-grid";              // Calendar Navigation
    case 40294: return "view-list-details";      // Task List
    default: return nullptr;
    }
}

}  // namespace

QIcon command_icon(int command)
{
    static const bool registered = (init_icon_resources(), true);
    (void)registered;
    static QHash<int, QIcon> cache;
    if (auto it = cache.constFind(command); it != cache.constEnd())
        return *it;
    QIcon icon;
    if (const char* name = icon_name(command)) {
        const QString own = QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name));
        const QIcon fallback = QFile::exists(own) ? QIcon(own) : QIcon();
        icon = QIcon::fromTheme(QLatin1String(name), fallback);
    }
    cache.insert(command, icon);
    return icon;
}

}  // namespace qm::ui
