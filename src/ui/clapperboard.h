#pragma once
// The Clapperboard as the program has it: the action menu and its window,
// the global hot key that opens it from anywhere, the idle check that offers
// it when the user was away, and the popup that shows the undo and redo
// lists. Made by the composition root; main thread only.

#include "platform/desktop.h"
#include "platform/hot_key.h"
#include "tracking/action_menu.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace qm::app {
class core;
}

namespace qm::ui {

class clapperboard_window;
class main_frame;
class time_spent_panel;

struct clapperboard_parts {
    app::core& core;
    history::history& history;
    history::task_commands& commands;
    tracking::timer_operations& timers;
    main_frame& frame;
    QString settings_folder;
    // Replaced by tests; the real desktop and hot key otherwise.
    std::unique_ptr<platform::desktop> desktop;
    std::unique_ptr<platform::hot_key> hot_key;
};

class clapperboard {
public:
    explicit clapperboard(clapperboard_parts parts);
    ~clapperboard();
    clapperboard(const clapperboard&) = delete;
    clapperboard& operator=(const clapperboard&) = delete;

    // Opens the window in a mode with a context task; when it is already up
    // it is only raised and keeps its mode.
    void show(int mode = tracking::menu_mode::main, model::task_ptr task = nullptr);
    // Closes it, giving the focus back to the window that had it.
    void close();
    bool visible() const;

    // Takes the hot key of the options; on a refusal asks what to do (Cancel
    // opens the options at the Clapperboard page, Try Again grabs again,
    // Continue goes on without). Returns whether the key is taken.
    bool register_hot_key();
    void release_hot_key();
    enum class refusal_choice { cancel, try_again, carry_on };
    // Tests answer the refusal box.
    std::function<refusal_choice(const QString& text)> ask_after_refusal;

    // Makes the daily report's panel when the window is made; set by the
    // composition root.
    std::function<time_spent_panel*()> make_report;

    // The undo or redo list in the popup over the main window.
    void show_history_list(bool undo);

    // Where the alarms join: the quick alarm, the New Alarm dialog and the
    // "Next Alarm" box use this once it is set.
    void set_alarms(tracking::alarm_port* alarms)
    {
        alarms_ = alarms;
        menu_->set_alarms(alarms);
    }

    tracking::action_menu& menu() { return *menu_; }
    tracking::idle_monitor& idle() { return *idle_; }
    clapperboard_window* window() const { return window_.get(); }
    platform::hot_key& hot_key() { return *parts_.hot_key; }
    platform::desktop& desktop() { return *parts_.desktop; }

private:
    void create_window();
    void closed();
    void place_window();

    clapperboard_parts parts_;
    tracking::alarm_port* alarms_ = nullptr;
    std::unique_ptr<tracking::idle_source> idle_source_;
    std::unique_ptr<tracking::idle_monitor> idle_;
    std::unique_ptr<tracking::action_menu> menu_;
    std::unique_ptr<clapperboard_window> window_;
    std::uint64_t previous_window_ = 0;
    bool placed_ = false;
    bool closing_ = false;
};

// "Quillmere was unable to register ..." with the hot key's text.
QString hot_key_refusal_text(const QString& hot_key);

}  // namespace qm::ui
