#pragma once
// The cells of a task in any task list: what each column shows, how two
// tasks compare by it, which cells can be edited and what a typed text, a
// Clear, an Increment or a Decrement means there. The Day view, the task
// lists and the tag lists share it, so a column reads and edits the same
// everywhere. Main thread only.

#include "history/task_commands.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

class QMenu;
class QObject;
class QPalette;
class QWidget;

namespace qm::store {
struct tables;
}
namespace qm::schedule {
class schedule_store;
struct stored_block;
}
namespace qm::model {
class task_recurrences;
}

namespace qm::ui {

class cell_list;
struct project_context;
class task_actions;
struct role_cells;

// The columns a task row can have; each list shows its own choice of them.
namespace task_column {
constexpr int status = 0, task = 1, day_priority = 2, estimate = 3, scheduling = 4, deadline = 5, time = 6,
              time_left = 7, project = 8, role = 9, impact = 10, roi = 11, yield = 12, date = 13, tags = 14,
              original_estimate = 15, recurrence = 16, manual_index = 17;
}

// Every task column with its title and width; the ids in shown are visible.
QVector<struct column> task_columns(const std::vector<int>& shown);

// The View.TaskList commands that show a column or sort by it.
struct column_command {
    int show;
    int sort;
    int column_id;
};
extern const column_command task_column_commands[18];
const column_command* find_column_command(int command);

namespace list_cmd {
constexpr int sort_ascending = 41037, sort_descending = 41038, sort_default = 41175;
constexpr int task_list_options = 40443;
constexpr int cell_clear = 41062, cell_increment = 41092, cell_decrement = 41093;
constexpr int assign_to_today = 40252, description = 41191, add_alarm = 40244;
constexpr int schedule_between = 41122;
constexpr int pull_next_in_project = 41129, pull_next_in_folder = 41130;
}  // namespace list_cmd

// The Task menu's commands on one value of the selected tasks: Deadline,
// Estimate, Impact, Scheduling, Day Priority and Schedule Before / After
// open the focus row's cell (in a popup while its column is hidden),
// Splittable toggles, Recurrences opens the task dialog's Recurrence page.
bool task_value_handles(int command);
bool task_value_command(int command, cell_list& list, int focus_row, const std::vector<model::task*>& selected,
                        history::task_commands& commands, history::history& history, task_actions* actions,
                        QWidget* parent);

// The sort and column commands on a list; false for any other command.
bool list_layout_command(cell_list& list, int command);
bool list_layout_handles(const cell_list& list, int command);
// The Columns and Sort By sub-menus; default_order names the unsorted order.
void add_layout_menus(QMenu& menu, cell_list& list, const QString& default_order);

struct task_cells {
    model::task_store& tasks;
    history::task_commands& commands;
    store::tables& tables;
    project_context* projects = nullptr;
    task_actions* actions = nullptr;
    const role_cells* roles = nullptr;
    const model::task_recurrences* recurrences = nullptr;
    schedule::schedule_store* schedule = nullptr;

    QString text(const model::task& t, int column_id) const;
    // Orders two tasks by a column's typed value (durations, dates, numbers),
    // text columns as a person reads them.
    int compare(const model::task& a, const model::task& b, int column_id) const;
    // The Status cell's check box: -1 none, 0 clear, 2 checked.
    int check_state(const model::task& t, int column_id) const;
    QColor foreground(const model::task& t, int column_id, const QPalette& palette) const;
    QColor background(const model::task& t, int column_id) const;
    int editor(const model::task& t, int column_id) const;
    QString initial_text(const model::task& t, int column_id) const;
    // 0 done; 2 refused, with the reason reported.
    int commit(model::task& t, int column_id, const QString& text,
               const std::function<void(const QString&)>& report) const;
    QStringList completions(int column_id) const;

    // Edit > Cell > Clear: the cell's value goes (the name and the status
    // stay). Increment and Decrement step a date or a deadline by a day, an
    // estimate by 15 minutes, an impact by one, a day priority by a letter.
    // Each is one undoable change; false when the cell has nothing to step.
    bool clear(model::task& t, int column_id, const std::function<void(const QString&)>& report) const;
    bool step(model::task& t, int column_id, int delta) const;
    // Clear, Increment or Decrement on one column of the tasks, as one step.
    void cell_command(history::history& h, const std::vector<model::task*>& tasks, int column_id, int command,
                      const std::function<void(const QString&)>& report) const;

    // Task > Scheduling > Schedule Between: "9am - 11:30am" (or "9:00 and
    // 17:00") makes the to-dos start after the first time and end before the
    // second, in one undoable step. False with a message for a text that does
    // not name two times in order.
    bool schedule_between(history::history& h, const std::vector<model::task*>& tasks, const QString& text, QString& message) const;

    // Flow > Pull Next Task in Project (or in Project Folder): the first
    // unfinished to-do after the focus task in its project's order (within
    // the focus task's folder) that is not dated today comes to today.
    // Returns the message to show.
    QString pull_next(const model::task& focus, bool same_folder) const;

    // Moves to-dos one place up or down in their day order (over the group
    // boundaries), as one history group.
    void move_in_day(history::history& h, std::vector<model::task*> tasks, bool up) const;

    const schedule::stored_block* first_block_today(const model::task& t) const;
};

// Task > Organize > Description: the task's description in a dialog (or as
// ask answers), changed in one undoable step.
void edit_description(const task_cells& cells, QWidget* parent, model::task& t,
                      const std::function<std::optional<QString>(QWidget*, const QString&)>& ask = {});

// Asks for the two times of Schedule Between and sets them; the message to show.
QString schedule_between_prompt(const task_cells& cells, history::history& h, QWidget* parent, const std::vector<model::task*>& tasks);

// Text colours that read on light and dark desktops.
bool is_dark(const QPalette& p);
QColor overdue_colour(const QPalette& p);

}  // namespace qm::ui
