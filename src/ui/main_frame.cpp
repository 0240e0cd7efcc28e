#include "ui/main_frame.h"

#include "app/core.h"
#include "app/settings_document.h"
#include "app/window_placement.h"
#include "store/database_settings.h"
#include "ui/tray_icon.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace qm::ui {

main_frame::main_frame(app::core& core, QWidget* parent) : QMainWindow(parent), core_(core)
{
    setObjectName(QStringLiteral("QuillmereFrame"));
    setWindowIcon(program_icon());
    resize(1000, 680);

    // The views take this place as they are built.
    auto* placeholder = new QLabel(
        tr("<h2>Quillmere Planner</h2><p>Your day plan, tasks and projects will be shown here.</p>"), this);
    placeholder->setAlignment(Qt::AlignCenter);
    placeholder->setObjectName(QStringLiteral("placeholder"));
    setCentralWidget(placeholder);
}

main_frame::~main_frame() { shut_down(); }

void main_frame::start()
{
    timers_.start_idle_check();
    setWindowTitle(QStringLiteral("Quillmere Planner %1").arg(store::short_version_text()));
    create_tray();
    core_.start();
    timers_.start_minute_tick();
}

void main_frame::create_tray()
{
    tray_menu_ = new QMenu(this);
    QAction* show_action = tray_menu_->addAction(tr("&Show"), this, &main_frame::show_and_activate);
    QAction* board = tray_menu_->addAction(tr("Clapper&board"));
    board->setEnabled(false);  // the Clapperboard arrives with the action menu
    tray_menu_->addSeparator();
    tray_menu_->addAction(tr("E&xit"), this, &main_frame::exit_program);
    tray_menu_->setDefaultAction(show_action);

    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;  // tolerated: the program runs and minimises normally
    tray_ = new QSystemTrayIcon(program_icon(), this);
    tray_->setToolTip(QStringLiteral("Quillmere Planner"));
    tray_->setContextMenu(tray_menu_);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger) {
            if (QAction* action = tray_menu_->defaultAction())
                action->trigger();
        }
    });
    tray_->show();
    tray_added_ = true;
}

void main_frame::show_and_activate()
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void main_frame::exit_program()
{
    close();
    QCoreApplication::exit(normal_exit_code);
}

void main_frame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && tray_added_) {
        // Minimised means "in the tray" when there is one; hide after the
        // state change has been delivered.
        QTimer::singleShot(0, this, [this] {
            if (isMinimized()) {
                // Hidden rather than minimised, as the tray's copy keeps its
                // normal placement for "Show" and for the saved layout.
                setWindowState(windowState() & ~Qt::WindowMinimized);
                hide();
            }
        });
    }
}

void main_frame::closeEvent(QCloseEvent* event)
{
    save_layout();
    shut_down();
    event->accept();
    QCoreApplication::exit(normal_exit_code);
}

void main_frame::save_layout()
{
    for (auto& hook : save_layout_hooks)
        hook();
    save_placement();
}

QString main_frame::placement_file() const { return core_.folders().settings_folder() + QStringLiteral("main_frame.ini"); }

QRect main_frame::available_area() const
{
    // Qt's available geometry stands for the monitor work area.
    QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    return s != nullptr ? s->availableGeometry() : QRect();
}

void main_frame::save_placement()
{
    // Loaded first, so that the other blocks of the file survive.
    app::settings_document doc = app::settings_document::load(placement_file());
    app::window_state state;
    state.normal = (isMaximized() || isFullScreen()) ? normalGeometry() : geometry();
    state.minimized = isMinimized();
    state.maximized = isMaximized();
    if (app::write_placement(doc, state, available_area()))
        doc.save(placement_file());
}

void main_frame::restore_placement()
{
    const app::settings_document doc = app::settings_document::load(placement_file());
    const auto placement = app::read_placement(doc, geometry(), available_area(), true);
    if (!placement)
        return;
    setGeometry(placement->normal);
    if (placement->maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void main_frame::shut_down()
{
    if (shut_down_)
        return;
    shut_down_ = true;
    if (tray_added_) {
        tray_->setIcon(saving_icon());
        tray_->setToolTip(QStringLiteral("Saving database changes..."));
        QCoreApplication::processEvents();  // let the tray show it before the wait
    }
    hide();
    timers_.stop_minute_tick();
    for (auto& hook : before_drain_hooks)
        hook();
    core_.set_shutting_down();
    core_.shutdown();
    timers_.stop_all();
    if (tray_added_) {
        tray_->hide();
        tray_added_ = false;
    }
}

}  // namespace qm::ui
