#pragma once
// The Clapperboard's logic: its modes, the stack of modes entered since it
// opened, the lines each menu mode offers and what each key and each entry
// does. Windows draw what this says and hand it the keys; nothing here
// touches a widget, so tests drive it headless. Main thread only.

#include "tracking/idle_monitor.h"
#include "tracking/quick_alarm.h"
#include "tracking/task_entry.h"
#include "tracking/timer_operations.h"

#include <QChar>
#include <QString>

#include <functional>
#include <vector>

namespace qm::store {
class comment_facade;
}

namespace qm::tracking {

namespace menu_mode {
constexpr int closed = 0, main = 1, new_item = 2, enter_task = 5, interruption = 6, set_status = 9, alarm = 12,
              comment = 13, report = 16, idle = 17, idle_interruption = 18, progression = 20, break_down = 21,
              distraction_length = 22, distraction = 23;
// The popup instance over a view: the undo and redo lists and the views'
// keyboard menus.
constexpr int undo_list = 25, redo_list = 26, keyboard_menu = 27;
}  // namespace menu_mode

// How a mode takes its input.
enum class input_kind { menu, line, task_entry, comment, break_down, report };
// Which of the panel boxes a mode shows.
enum class panel_kind { none, all_boxes, current_task, current_task_while_timing };

// One line of a menu mode: its letter, its text ("N: &New..."), when it is
// offered and what choosing it does (shift tells whether Shift was held).
struct menu_line {
    QChar letter;
    QString text;
    std::function<bool()> shown;  // empty: always
    std::function<void(bool shift)> chosen;
};

// What the menu acts through.
struct action_menu_services {
    history::history& history;
    history::task_commands& commands;
    model::task_store& store;
    timer_operations& timers;
    store::comment_facade& comments;
    idle_monitor* idle = nullptr;
    alarm_port* alarms = nullptr;  // nullptr until the alarms are installed
    std::function<void()> show_main_window;
    bool twenty_four_hour = false;
};

class action_menu {
public:
    explicit action_menu(action_menu_services services);
    ~action_menu();
    action_menu(const action_menu&) = delete;
    action_menu& operator=(const action_menu&) = delete;

    // Opens in mode with a context task (or none); an open menu only stays.
    void open(int mode, model::task_ptr context = nullptr);
    bool is_open() const { return mode_ != menu_mode::closed; }
    int mode() const { return mode_; }
    const std::vector<int>& stack() const { return stack_; }
    // Enters a mode on top of the current one.
    void enter(int mode);
    // Escape (and Backspace in a menu): the previous mode, or close.
    void back();
    void close();

    input_kind input() const;
    panel_kind panel() const;
    // The mode's heading lines (several for the alarm mode's examples).
    QStringList header() const;
    // The lines of a menu mode that are offered now, in order.
    std::vector<const menu_line*> lines() const;
    // A letter key in a menu mode; false when no line has it.
    bool press(QChar letter, bool shift = false);
    // Enter in a line, task-entry, comment or break-down mode.
    void submit(const QString& text);
    // What the window says under the entry (a text that reads as nothing).
    const QString& message() const { return message_; }

    // Adds a line to a menu mode, before the line of letter before (at the
    // end when there is none). The calendar exchange adds its two here.
    void add_line(int mode, menu_line line, QChar before = QChar());

    // The alarms work installs its port here.
    void set_alarms(alarm_port* alarms) { s_.alarms = alarms; }

    task_entry& entry() { return entry_; }
    const model::task_ptr& context() const { return context_; }
    time::stored_time idle_start() const { return idle_start_; }
    // The tasks of the break-down list: the broken-down task, then the new ones.
    const std::vector<model::task_ptr>& break_down_tasks() const { return break_down_; }

    // Told after every change of mode, lines or message, and when it closes.
    std::function<void()> on_changed;
    std::function<void()> on_closed;
    // Set by the window: whether the daily report can be shown.
    std::function<bool()> report_available;

private:
    void build_lines();
    void enter_mode(int mode);
    void say(const QString& text);
    void changed();
    model::task_ptr task_for_break_down() const;
    void start_break_down();
    void add_break_down_task();
    void finish_break_down();
    void set_timed_status(int status);
    void submit_line(const QString& text);
    void submit_alarm(const QString& text);
    void submit_comment(const QString& text);

    action_menu_services s_;
    task_entry entry_;
    std::vector<std::pair<int, std::vector<menu_line>>> lines_;
    int mode_ = menu_mode::closed;
    std::vector<int> stack_;
    model::task_ptr context_;
    QString message_;
    time::stored_time idle_start_ = 0;
    std::int64_t distraction_seconds_ = 0;
    std::vector<model::task_ptr> break_down_;
    const history::command* break_down_add_ = nullptr;  // the unnamed task's add
};

}  // namespace qm::tracking
