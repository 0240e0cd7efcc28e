#pragma once
// The top-level window: toolbar with the six tabs, menus, the keyboard
// shortcuts and the routing of commands; the tray icon; the start-up
// sequence run at its creation and the ordered shutdown when it closes.

#include "app/minute_tick.h"
#include "ui/view.h"

#include <QMainWindow>
#include <QMap>
#include <QPointer>

#include <functional>
#include <vector>

class QActionGroup;
class QMenu;
class QStackedWidget;
class QToolBar;
class QToolButton;

namespace qm::app {
class core;
}
namespace qm::history {
class history;
}

namespace qm::ui {

class command_handler;
class tooltip_switch;
class tray_icon;

class main_frame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int normal_exit_code = 1;

    explicit main_frame(app::core& core, QWidget* parent = nullptr);
    ~main_frame() override;

    // The creation steps: idle timer, title, tray icon, the start-up sequence
    // of the core, the minute tick. Throws what the core throws.
    void start();

    void set_history(history::history* h);
    void register_view(view* v);
    void show_view(int id);
    // Commands carried beyond the frame's own (navigation, jumps), asked
    // before the view in front; the frame does not own them.
    void add_command_handler(command_handler* h) { handlers_.push_back(h); }
    command_handler* handler_of(int id) const;
    view* active_view() const { return active_; }
    view* find_view(int id) const { return views_.value(id, nullptr); }

    // Every command id from menus, toolbar, shortcuts and tray ends here.
    void on_command(int id);
    // The view that a command not of the frame's own goes to, or null.
    view* command_target() const;
    // The commands the frame carries out itself.
    static bool frame_handles(int id);
    // Menu items and keys are enabled for what the frame, the focused text
    // field or the target view can carry out; the rest are disabled.
    void update_command_states();

    void restore_placement();
    QString placement_file() const;
    void show_and_activate();
    void exit_program();

    bool has_tray() const;
    ui::tray_icon* tray() const { return tray_; }
    app::app_timers& timers() { return timers_; }
    QAction* command_action(int id) const { return actions_.value(id, nullptr); }
    // Every command of the menus, the toolbar and the shortcuts.
    QList<int> command_ids() const { return actions_.keys(); }
    QList<int> view_ids() const { return views_.keys(); }
    // The Clapperboard items show the hot key after a tab.
    void set_hot_key_text(const QString& text);
    // The undo or redo list as a menu of lettered lines; a letter chooses.
    void show_history_list(bool undo);
    // Fills a menu with the undo or redo list: one lettered line a unit.
    void fill_history_menu(QMenu& menu, bool undo);

    std::vector<std::function<void()>> save_layout_hooks;
    std::vector<std::function<void()>> before_drain_hooks;
    // Opens the options dialog; set by the composition root.
    std::function<void()> open_options;
    // File > Import and File > Export; set by the composition root.
    std::function<void()> open_import;
    std::function<void()> open_export;
    // The Clapperboard's doors, set by the composition root: opening it, the
    // options at a page, and the undo and redo lists in its popup.
    std::function<void()> open_clapperboard;
    // Add Alarm, in every view: on the view's focus task (0: a standalone alarm).
    std::function<void(std::int32_t task)> add_alarm;
    std::function<void(int page)> open_options_page;
    std::function<void(bool undo)> history_popup;

signals:
    // A view came to the front.
    void view_shown(int id);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void create_tray();
    void create_menus();
    void create_toolbar();
    void create_shortcuts();
    void rebuild_view_buttons();
    void fit_view_toolbar();
    Qt::ToolButtonStyle text_style() const;
    void select_tab(int tab_command);
    void step_tab(int step);
    QAction* action(int id, const QString& text);
    void refresh_undo_redo();
    void save_layout();
    void save_placement();
    QRect available_area() const;
    void shut_down();

    app::core& core_;
    app::app_timers timers_;
    history::history* history_ = nullptr;
    ui::tray_icon* tray_ = nullptr;
    QMenu* tray_menu_ = nullptr;
    QAction* tray_clapperboard_ = nullptr;
    bool shut_down_ = false;

    QToolBar* toolbar_ = nullptr;
    QToolBar* view_toolbar_ = nullptr;  // the active view's buttons, on a row of their own
    QActionGroup* tab_group_ = nullptr;
    QList<QAction*> view_button_actions_;
    QStackedWidget* stack_ = nullptr;
    QMap<int, view*> views_;
    view* active_ = nullptr;
    QMap<int, QAction*> actions_;  // one action per command id
    QMap<int, int> tab_views_;     // tab command → its current view id
    int current_tab_ = 0;
    std::vector<command_handler*> handlers_;
    tooltip_switch* tooltips_ = nullptr;
    void load_help_state();
};

}  // namespace qm::ui
