#pragma once
// The composition root of the windowed program: the core, the history, the
// task commands, the main frame and its views, made and wired in one place.

#include "app/core.h"
#include "history/comment_commands.h"
#include "history/item_paste.h"
#include "history/history.h"
#include "history/recurrence_commands.h"
#include "history/role_commands.h"
#include "history/tag_commands.h"
#include "history/task_commands.h"
#include "history/tree_moves.h"
#include "tracking/timer_operations.h"
#include "ui/main_frame.h"

#include <QPointer>

#include <memory>

namespace qm::ui {

class calendar_view;
class day_view;
class all_tasks_view;
class upcoming_view;
class tag_tasks_view;
class exchange_launcher;
class navigator;
class options_dialog;
class recurring_view;
class projects_view;
struct project_context;
class task_actions;
class clapperboard;
class alarm_service;
class item_clipboard;

class planner {
public:
    explicit planner(app::data_folder_locator folders);
    ~planner();

    // Runs the start-up sequence, then builds the history and the views and
    // shows the Day view. Throws what the core throws.
    void start();

    app::core& core() { return core_; }
    main_frame& frame() { return frame_; }
    history::history& history() { return *history_; }
    history::task_commands& commands() { return *commands_; }
    history::recurrence_commands& recurring() { return *recurring_; }
    recurring_view* recurring_tasks() const { return recurring_view_; }
    day_view* day() const { return day_; }
    projects_view* projects() const { return projects_; }
    // The Tasks tab's lists: every task, the coming days, tasks by tag.
    all_tasks_view* task_list() const { return all_tasks_; }
    upcoming_view* upcoming() const { return upcoming_; }
    tag_tasks_view* tag_tasks() const { return tag_tasks_; }
    calendar_view* day_calendar() const { return day_calendar_; }
    calendar_view* week_calendar() const { return week_calendar_; }
    ui::navigator& navigation() { return *navigator_; }
    history::project_commands& project_commands() { return *project_commands_; }
    project_context& project_tools() { return *project_context_; }
    tracking::task_timer& timer() { return *timer_; }
    tracking::timer_operations& timer_operations() { return *timer_ops_; }
    task_actions& actions() { return *actions_; }
    ui::clapperboard& clapperboard() { return *clapperboard_; }
    history::comment_commands& comments() { return *comments_; }
    alarm_service& alarms() { return *alarms_; }
    history::role_commands& role_commands() { return *role_commands_; }
    options_dialog* open_options();
    // Import and export of appointments: File > Import / Export, and the
    // Clapperboard's "M" (open_import) and "E" (open_export).
    exchange_launcher& calendar_exchange() { return *exchange_; }
    // Cut, Copy, Paste and drops: a list adopts them with a list_exchange
    // on these two (item_exchange.h).
    item_clipboard& clipboard() { return *clipboard_; }
    history::item_paste& item_paste() { return *paste_; }

private:
    // Declared so that the frame, and the views it owns, go first.
    app::core core_;
    std::unique_ptr<history::history> history_;
    std::unique_ptr<history::task_commands> commands_;
    std::unique_ptr<history::recurrence_commands> recurring_;
    std::unique_ptr<history::project_commands> project_commands_;
    std::unique_ptr<history::tree_moves> moves_;
    std::unique_ptr<history::role_commands> role_commands_;
    std::unique_ptr<history::tag_commands> tag_commands_;
    std::unique_ptr<struct role_cells> role_cells_;
    std::unique_ptr<project_context> project_context_;
    std::unique_ptr<tracking::task_timer> timer_;
    std::unique_ptr<tracking::timer_operations> timer_ops_;
    std::unique_ptr<task_actions> actions_;
    std::unique_ptr<exchange_launcher> exchange_;
    std::unique_ptr<ui::clapperboard> clapperboard_;
    std::unique_ptr<history::comment_commands> comments_;
    // Before the frame, so that the views that show alarms go first.
    std::unique_ptr<alarm_service> alarms_;
    std::unique_ptr<item_clipboard> clipboard_;
    std::unique_ptr<history::item_paste> paste_;
    main_frame frame_;
    day_view* day_ = nullptr;
    projects_view* projects_ = nullptr;
    recurring_view* recurring_view_ = nullptr;
    all_tasks_view* all_tasks_ = nullptr;
    upcoming_view* upcoming_ = nullptr;
    tag_tasks_view* tag_tasks_ = nullptr;
    calendar_view* day_calendar_ = nullptr;
    calendar_view* week_calendar_ = nullptr;
    ui::navigator* navigator_ = nullptr;  // owned by the frame
    QPointer<options_dialog> options_;
    QString base_title_;
    bool closing_ = false;

    // The window title and the tray tip name the timed task and its time.
    void show_timer_state();
    void start_clapperboard();
    void register_task_lists(const QString& settings);
    void start_calendars(const QString& settings);
    void start_alarms();
};

}  // namespace qm::ui
