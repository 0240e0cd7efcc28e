#pragma once
// The Day view (view 829): the tasks of one date under their A, B and C
// headings in day order, appointments first with their times.

#include "history/task_commands.h"
#include "store/announcements.h"
#include "ui/cell_list.h"
#include "ui/item_exchange.h"
#include "ui/printout.h"
#include "ui/task_cells.h"
#include "ui/view.h"

class QLabel;
class QSplitter;

namespace qm::store {
struct tables;
}
namespace qm::schedule {
class schedule_store;
struct stored_block;
}
namespace qm::model {
struct day_load;
class task_recurrences;
}
namespace qm::history {
class item_paste;
}

namespace qm::ui {

struct project_context;
class task_actions;
class schedule_pane;

// The Day view shows the task columns of every task list.
namespace day_column = task_column;

class day_view : public view,
                 public cell_list_owner,
                 public exchange_owner,
                 public store::listener,
                 public printable_view {
    Q_OBJECT
public:
    static constexpr int id = 829;

    day_view(model::task_store& tasks, history::task_commands& commands, history::history& history,
             store::tables& tables, QString settings_file, QWidget* parent = nullptr);
    ~day_view() override;

    time::stored_date date() const { return date_; }
    void set_date(time::stored_date d);
    cell_list& list() { return *list_; }
    // The Project column and Task > Project / Folder need the projects.
    void set_project_context(project_context* c) { projects_ = c; }
    // The timer commands and the task dialog; the timed row stands out.
    void set_task_actions(task_actions* actions) { actions_ = actions; }
    // The Recurrence column describes the pattern of an occurrence.
    void set_recurrences(const model::task_recurrences* r) { recurrences_ = r; }
    // The schedule pane beside the list, and the marks of today's schedule
    // in the rows.
    void set_schedule(schedule::schedule_store* s);
    schedule_pane* pane() const { return pane_; }
    // The Role and Tag cells: colours, editing and completion.
    void set_role_cells(const struct role_cells* cells) { role_cells_ = cells; }
    // Cut, Copy, Paste, drags and drops (day_view_exchange.cpp).
    void set_exchange(item_clipboard& clipboard, history::item_paste& paste);
    // A pane below the list that follows the date shown (the day notes).
    void add_pane(QWidget* pane, std::function<void(time::stored_date)> follow_date);
    // The notifications pane below the list, shown, hidden and sized as
    // "today.ini" keeps it; "Notifications Pane" toggles it.
    void set_notifications_pane(QWidget* pane, std::function<void(time::stored_date)> follow_date);
    QWidget* notifications() const { return notifications_; }

    // The row of a task, or -1.
    int row_of(std::int32_t task_id) const;
    model::task* task_at(int row) const;

    // view
    std::vector<toolbar_button> buttons() const override;
    bool handle_command(int command) override;
    bool handles(int command) const override;
    void save_state() override;
    bool printable() const override { return true; }
    // The day's rows as shown, with the date and the day's load.
    printout make_printout() const override;
    std::int64_t shown_date() const override { return date_; }
    void show_date(std::int64_t date) override { set_date(date); }
    std::int32_t focus_task() const override;
    bool reveal_task(std::int32_t id) override;

    // cell_list_owner
    int row_count() const override { return static_cast<int>(rows_.size()); }
    QString cell_text(int row, int column_id) const override;
    QString task_text(const model::task& t, int column_id) const;
    // Orders two tasks by a column's typed value (durations, dates, numbers),
    // text columns as a person reads them.
    int compare_tasks(const model::task& a, const model::task& b, int column_id) const;
    row_style style_of(int row) const override;
    // A task waiting on unfinished ones names them.
    QString cell_tip(int row, int column_id) const override;
    int check_state(int row, int column_id) const override;
    QColor cell_foreground(int row, int column_id) const override;
    QColor cell_background(int row, int column_id) const override;
    int editor_of(int row, int column_id) const override;
    bool begin_text_edit(int row, int column_id, QString& initial) override;
    int commit_text(int row, int column_id, const QString& text) override;
    void begin_commits(int target_rows) override;
    void end_commits(int target_rows) override;
    int add_row(int focus_row) override;
    bool list_command(int command) override;
    void sorting_changed() override { refresh(); }
    // A click on the Status cell finishes the task, or makes it unfinished again.
    bool column_clickable(int column_id) const override { return column_id == day_column::status; }
    void cell_clicked(int row, int column_id, Qt::KeyboardModifiers modifiers) override;
    QStringList completions(int row, int column_id) const override;

    int hidden_row_count() const override { return hidden_; }
    bool line_marked(int command) const override;

    // exchange_owner
    model::item_list selected_items() const override;
    model::item_descriptor focused_item() const override;
    QString items_text(const model::item_list& items) const override;
    void receive_items(const received_items& r) override;
    bool receive_text(const QString& text) override;
    std::int32_t row_task(int row) const override;

    // listener
    long on_announcement(const store::announcement& a) override;

    // Rebuilds the rows now, keeping the focus and selection on the same tasks.
    void refresh();
    // Once a minute: the summary follows the clock, and when the day turns a
    // view showing the old today moves on.
    void minute_tick(time::stored_time now);
    // "5h 30m planned, 4h 10m of working time left — 1h 20m over".
    static QString summary_text(const model::day_load& load);
    QString summary() const;

private:
    struct day_row {
        int kind = 0;  // 0 heading, 1 task
        int priority = 0;  // 0 for the appointments heading
        std::int32_t task_id = 0;
    };

    task_cells cells() const;
    // The view's own commands; never hands one to the list.
    bool own_command(int command);
    // Showing columns and sorting: the View.TaskList commands and their menu.
    bool list_options_command(int command);
    void schedule_refresh();
    void update_summary();
    std::vector<model::task*> selected_tasks() const;
    void move_rows(bool up);
    void pull_menu();
    void report(const QString& text);

    model::task_store& tasks_;
    history::task_commands& commands_;
    history::history& history_;
    store::tables& tables_;
    QString settings_file_;
    time::stored_date date_;
    std::vector<day_row> rows_;
    // The schedule's marks on the rows as last painted: a new schedule that
    // leaves them alone leaves the list unpainted.
    std::vector<std::int64_t> schedule_marks_;
    std::vector<std::int64_t> schedule_marks() const;
    cell_list* list_ = nullptr;
    QLabel* heading_ = nullptr;
    QLabel* summary_ = nullptr;
    bool refresh_pending_ = false;
    time::stored_date last_today_ = 0;
    int commit_group_depth_ = 0;
    project_context* projects_ = nullptr;
    task_actions* actions_ = nullptr;
    const struct role_cells* role_cells_ = nullptr;
    const model::task_recurrences* recurrences_ = nullptr;
    // The pane's part (schedule_pane.cpp holds the drawing).
    void show_schedule(bool on);
    const schedule::stored_block* first_block_today(const model::task& t) const;
    QSplitter* splitter_ = nullptr;
    schedule_pane* pane_ = nullptr;
    schedule::schedule_store* schedule_ = nullptr;
    std::vector<std::function<void(time::stored_date)>> follow_date_;
    QSplitter* vertical_ = nullptr;
    QWidget* notifications_ = nullptr;
    // The exchange's part.
    QString list_description() const;
    void select_tasks(const std::vector<std::int32_t>& ids);
    // The keyboard menus' part: the filter commands and the date menu.
    bool keyboard_menu_command(int command);
    history::item_paste* paste_ = nullptr;
    int hidden_ = 0;
};

}  // namespace qm::ui
