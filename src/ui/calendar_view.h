#pragma once
// The Calendar tab's two views: the day calendar (856) and the week
// calendar (857). Each shows its days on a calendar_grid, with a month
// picker ("Calendar Navigation") and the current date's unscheduled to-dos
// ("Task List") beside it. Every change made with the mouse is one undoable
// step through the task commands.

#include "history/task_commands.h"
#include "store/announcements.h"
#include "ui/calendar_grid.h"
#include "ui/view.h"

#include <functional>
#include <optional>

class QCalendarWidget;
class QLabel;
class QLineEdit;
class QMenu;
class QSplitter;

namespace qm::schedule {
class schedule_store;
}
namespace qm::tracking {
class timer_operations;
}

namespace qm::ui {

class calendar_task_list;
class task_actions;

namespace calendar_cmd {
constexpr int day_view = 40303, week_view = 40302;
constexpr int previous = 40283, next = 40284, today = 40295;
constexpr int navigation = 40293, task_list = 40294, task_list_options = 40443;
constexpr int next_week = 41134, previous_week = 41135;
constexpr int show_task_list = 41136, show_navigation = 41137;
}  // namespace calendar_cmd

struct calendar_parts {
    model::task_store& tasks;
    history::task_commands& commands;
    history::history& history;
    schedule::schedule_store* schedule = nullptr;
    task_actions* actions = nullptr;  // Properties, the timers; and tracked time through its operations
};

class calendar_view : public view, public store::listener {
    Q_OBJECT
public:
    static constexpr int day_id = 856;
    static constexpr int week_id = 857;

    calendar_view(int id, calendar_parts parts, QString settings_file, QWidget* parent = nullptr);
    ~calendar_view() override;

    bool is_week() const { return view_id() == week_id; }
    // The current date: the day shown, or the chosen day of the week shown.
    time::stored_date date() const { return date_; }
    void set_date(time::stored_date d);
    time::stored_date first_day() const;
    int day_count() const { return is_week() ? 7 : 1; }

    calendar_grid& grid() { return *grid_; }
    calendar_task_list& task_list() { return *list_; }
    QCalendarWidget& navigation() { return *navigation_; }
    bool task_list_shown() const;
    bool navigation_shown() const;
    // The open name editor of a new appointment or a rename, if any.
    QLineEdit* name_editor() const;

    // view
    std::vector<toolbar_button> buttons() const override;
    bool handle_command(int command) override;
    bool handles(int command) const override;
    void save_state() override;
    bool printable() const override { return true; }
    std::int64_t shown_date() const override { return date_; }
    void show_date(std::int64_t date) override { set_date(date); }
    std::int32_t focus_task() const override;
    bool reveal_task(std::int32_t id) override;

    long on_announcement(const store::announcement& a) override;

    // Rebuilds the boxes and the task list now.
    void refresh();
    void minute_tick(time::stored_time now);

    // What the mouse and the menus end in, callable on their own.
    // A new appointment over the range; nothing for an empty name.
    model::task_ptr add_appointment(const calendar_range& range, const QString& name);
    void move_appointment(std::int32_t task, int day, int start);
    void resize_appointment(std::int32_t task, int start, int end);
    // To-dos dropped at a time: made appointments there one after the other,
    // or (schedule) given the date and a schedule-after time.
    void drop_tasks(const QList<std::int32_t>& ids, int day, int second, bool schedule);
    void attach_range(const calendar_range& range, const model::task_ptr& to);
    void reassign_entry(std::int32_t entry, const model::task_ptr& to);
    // Opens the name editor over a range (a new appointment).
    void edit_new_appointment(const calendar_range& range);

    // The other calendar view, for Day View and Week View.
    std::function<void(int view_id, time::stored_date date)> switch_view;
    // Asks for a name; tests answer it.
    std::function<std::optional<QString>(QWidget* parent, const QString& title, const QString& label)> ask_text;

protected:
    void showEvent(QShowEvent* event) override;
    // D, W and T choose the day, the week and today; Page Up and Page Down
    // step back and on, as the toolbar's buttons do.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void schedule_refresh();
    void build_items();
    void update_heading();
    void update_side();
    void step(int days);
    void show_task_list(bool on);
    void show_navigation(bool on);
    void list_options_menu();
    void open_menu(const QPoint& global, const calendar_item* item);
    void fill_task_menu(QMenu& menu, time::stored_date date, std::int32_t except,
                        const std::function<void(const model::task_ptr&)>& chosen,
                        const std::function<void()>& new_todo);
    void open_name_editor(const QRect& where, const QString& text, std::function<void(const QString&)> done);
    void close_name_editor();
    void delete_selected();
    model::task_ptr selected_task_ptr() const;
    std::optional<QString> ask(const QString& title, const QString& label);
    void report(const QString& text) { emit status_message(text); }

    model::task_store& tasks_;
    history::task_commands& commands_;
    history::history& history_;
    schedule::schedule_store* schedule_ = nullptr;
    task_actions* actions_ = nullptr;
    QString settings_file_;
    time::stored_date date_ = 0;
    int list_filters_ = 0;
    QLabel* heading_ = nullptr;
    QSplitter* splitter_ = nullptr;
    calendar_grid* grid_ = nullptr;
    QWidget* side_ = nullptr;
    QCalendarWidget* navigation_ = nullptr;
    calendar_task_list* list_ = nullptr;
    QLineEdit* editor_ = nullptr;
    std::function<void(const QString&)> editor_done_;
    bool refresh_pending_ = false;
    bool stale_ = false;
};

}  // namespace qm::ui
