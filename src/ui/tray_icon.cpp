#include "ui/tray_icon.h"

#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

// The resources live in the static library; naming their initialiser keeps
// the linker from dropping them.
static void load_icon_resources() { Q_INIT_RESOURCE(quillmere_icons); }

namespace qm::ui {
namespace {

QIcon load(const char* kind)
{
    load_icon_resources();
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1/%2.png").arg(size).arg(QLatin1String(kind)), QSize(size, size));
    return icon;
}

// While the window is hidden into the tray, this often the tray is looked
// for; a tray that went away gives the window back.
constexpr int watch_interval_ms = 2000;

}  // namespace

QIcon program_icon()
{
    static const QIcon icon = load("program");
    return icon;
}

QIcon saving_icon()
{
    static const QIcon icon = load("saving");
    return icon;
}

tray_icon::tray_icon(QMenu* menu, QObject* parent) : QObject(parent), menu_(menu)
{
    watch_.setInterval(watch_interval_ms);
    connect(&watch_, &QTimer::timeout, this, &tray_icon::check_hidden_window);
}

tray_icon::~tray_icon() { remove(); }

bool tray_icon::add()
{
    if (icon_ == nullptr) {
        icon_ = new QSystemTrayIcon(program_icon(), this);
        icon_->setToolTip(tool_tip());
        icon_->setContextMenu(menu_);
        connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
                emit default_requested();
        });
    }
    added_ = QSystemTrayIcon::isSystemTrayAvailable();
    // Shown on X11 even without a tray now: Qt embeds it once a tray starts.
    if (added_ || QGuiApplication::platformName() == QLatin1String("xcb"))
        icon_->show();
    return added_;
}

bool tray_icon::holds_window() const
{
    return icon_ != nullptr && icon_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

bool tray_icon::hide_into_tray(QWidget* window)
{
    if (window == nullptr || !holds_window())
        return false;
    // Hidden rather than minimised, so "Show" and the saved layout find the
    // normal placement.
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->hide();
    hidden_window_ = window;
    watch_.start();
    return true;
}

void tray_icon::check_hidden_window()
{
    if (hidden_window_.isNull() || hidden_window_->isVisible()) {
        watch_.stop();
        return;
    }
    if (saving_ || holds_window())
        return;
    watch_.stop();
    hidden_window_->showNormal();
    hidden_window_->raise();
}

void tray_icon::set_timed_task(const QString& name)
{
    timed_task_ = name;
    if (icon_ != nullptr && !saving_)
        icon_->setToolTip(tool_tip());
}

QString tray_icon::tool_tip() const
{
    if (saving_)
        return QStringLiteral("Saving database changes...");
    if (timed_task_.isEmpty())
        return QStringLiteral("Quillmere Planner");
    return QStringLiteral("Quillmere Planner\nTiming: %1").arg(timed_task_);
}

void tray_icon::show_saving()
{
    saving_ = true;
    watch_.stop();
    if (icon_ == nullptr)
        return;
    icon_->setIcon(saving_icon());
    icon_->setToolTip(tool_tip());
}

void tray_icon::remove()
{
    watch_.stop();
    if (icon_ != nullptr)
        icon_->hide();
    added_ = false;
}

}  // namespace qm::ui
