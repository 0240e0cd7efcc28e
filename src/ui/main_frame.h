#pragma once
// The top-level window: title, tray icon, the start-up sequence run at its
// creation and the ordered shutdown when it closes.

#include "app/minute_tick.h"

#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>

#include <functional>
#include <vector>

class QMenu;

namespace qm::app {
class core;
}

namespace qm::ui {

class main_frame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int normal_exit_code = 1;

    explicit main_frame(app::core& core, QWidget* parent = nullptr);
    ~main_frame() override;

    // The creation steps: idle timer, title, tray icon, the start-up sequence
    // of the core, the minute tick. Throws what the core throws.
    void start();

    // Applies the placement saved in "main_frame.ini", when there is one.
    void restore_placement();
    QString placement_file() const;

    // "&Show": show, raise and activate the window.
    void show_and_activate();
    // "E&xit": close the window (layout saved, shutdown run) and quit.
    void exit_program();

    bool has_tray() const { return tray_added_; }
    QSystemTrayIcon* tray() const { return tray_; }
    app::app_timers& timers() { return timers_; }

    // Hooks that later subsystems fill: saving each view's layout, and the
    // shutdown work that must come before the writer drains.
    std::vector<std::function<void()>> save_layout_hooks;
    std::vector<std::function<void()>> before_drain_hooks;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void create_tray();
    void save_layout();
    void save_placement();
    QRect available_area() const;
    void shut_down();

    app::core& core_;
    app::app_timers timers_;
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* tray_menu_ = nullptr;
    bool tray_added_ = false;
    bool shut_down_ = false;
};

}  // namespace qm::ui
