#pragma once
// What the task lists of the Tasks tab share (the task list 983, the
// upcoming list 964 and the tag list 966): groups of tasks under headings, a
// master row that opens onto its occurrences, description and comment rows
// under their task, the filters of Task List Options, sorting within the
// groups, in-place editing through the task cells, the task commands, and
// the printout. A list decides only which tasks go under which heading.
// Main thread only.

#include "history/task_commands.h"
#include "store/announcements.h"
#include "ui/action_popup.h"
#include "ui/cell_list.h"
#include "ui/item_exchange.h"
#include "ui/printout.h"
#include "ui/task_cells.h"
#include "ui/tree_rows.h"
#include "ui/view.h"

#include <functional>
#include <optional>
#include <set>

class QLabel;
class QSplitter;

namespace qm::app {
class settings_document;
}

namespace qm::history {
class item_paste;
}

namespace qm::ui {

// The stores and helpers a task list works with.
struct task_list_parts {
    model::task_store& tasks;
    history::task_commands& commands;
    history::history& history;
    store::tables& tables;
    project_context* projects = nullptr;
    task_actions* actions = nullptr;
    const role_cells* roles = nullptr;
    const model::task_recurrences* recurrences = nullptr;
};

// The bits of "filter_flags": a set bit hides that kind of row.
namespace task_filter {
constexpr int notes = 0x1, headers = 0x2, descriptions = 0x4, comments = 0x8, appointments = 0x10, todos = 0x20;
// The bit of a task status (0x40 unfinished … 0x400 canceled).
int status_bit(int status);
// The bit a Task List Options line or a View.TaskList command switches; 0 for other commands.
int bit_of_command(int command);
}  // namespace task_filter

class task_list_view : public view,
                       public cell_list_owner,
                       public store::listener,
                       public printable_view,
                       public exchange_owner {
    Q_OBJECT
public:
    static constexpr int toggle_occurrences = 1;  // the cell button of a master row

    ~task_list_view() override;

    cell_list& list() { return *list_; }
    void refresh();
    // The row of a task (a top-level row before an occurrence row), or -1.
    int row_of(std::int32_t task_id) const;
    model::task* task_at(int row) const;
    // "heading", "task", "comment", "description".
    QString row_kind(int row) const;
    void set_expanded_master(std::int32_t master, bool on);

    // Tests answer the description dialog.
    std::function<std::optional<QString>(QWidget* parent, const QString& current)> ask_description;

    // view
    std::vector<toolbar_button> buttons() const override;
    bool handle_command(int command) override;
    bool handles(int command) const override;
    void save_state() override;
    bool printable() const override { return true; }

    // printable_view
    printout make_printout() const override;

    // cell_list_owner
    int row_count() const override { return tree_.row_count(); }
    QString cell_text(int row, int column_id) const override;
    QString cell_tip(int row, int column_id) const override;
    row_style style_of(int row) const override;
    int check_state(int row, int column_id) const override;
    QColor cell_foreground(int row, int column_id) const override;
    QColor cell_background(int row, int column_id) const override;
    int editor_of(int row, int column_id) const override;
    bool begin_text_edit(int row, int column_id, QString& initial) override;
    int commit_text(int row, int column_id, const QString& text) override;
    void begin_commits(int target_rows) override;
    void end_commits(int target_rows) override;
    int add_row(int focus_row) override;
    bool list_command(int command) override { return own_command(command); }
    void sorting_changed() override { refresh(); }
    bool column_clickable(int column_id) const override { return column_id == task_column::status; }
    void cell_clicked(int row, int column_id, Qt::KeyboardModifiers modifiers) override;
    QVector<cell_button> cell_buttons(int row, int column_id) const override;
    void cell_button_clicked(int row, int column_id, int command) override;
    QStringList completions(int row, int column_id) const override;
    int hidden_row_count() const override { return hidden_; }
    tree_rows* tree() override { return &tree_; }
    void tree_changed() override { refresh(); }

    // listener
    long on_announcement(const store::announcement& a) override;

    // Cut, Copy, Paste, drags and drops (task_list_exchange.cpp).
    void set_exchange(item_clipboard& clipboard, history::item_paste& paste);
    model::item_list selected_items() const override;
    model::item_descriptor focused_item() const override;
    QString items_text(const model::item_list& items) const override;
    void receive_items(const received_items& r) override;
    std::int32_t row_task(int row) const override;

protected:
    struct task_group {
        QString key;      // names the heading's expansion
        QString heading;  // empty: the tasks stand without a heading
        bool marked = false;  // overdue: drawn in the warning colour
        time::stored_date date = 0;  // what a task added under the heading gets; 0 none
        std::vector<model::task*> tasks;
    };

    task_list_view(int id, const QString& title, task_list_parts parts, QString settings_file,
                   QVector<column> columns, QWidget* parent = nullptr);

    // The list's groups, each in its default order; the filters and the
    // sorting by a column are applied afterwards.
    virtual std::vector<task_group> collect() const = 0;
    // The words over the list and on the printout ("42 tasks").
    virtual QString range_text() const { return QString(); }
    // Lines of the list's own in Task List Options, after the filters.
    virtual void add_option_lines(std::vector<popup_line>& lines) { (void)lines; }
    // A new task under the focus row: the heading's date is set already.
    virtual void prepare_new(model::task& t) const { (void)t; }
    virtual void load_extra(const app::settings_document& doc) { (void)doc; }
    // Why pasted or dropped tasks cannot land in this list; empty when they
    // land on the date of the row they go to.
    virtual QString paste_refusal() const { return QString(); }
    virtual void save_extra(app::settings_document& doc) const { (void)doc; }
    // Reads the layout; each list calls it at the end of its constructor.
    void finish_setup(int default_filters);

    // Day order: appointments by their time, then A, B, C in day order.
    static void day_order(std::vector<model::task*>& tasks);
    // Whether a task shows in a list at all (folders and occurrences of
    // deleted masters aside).
    bool listable(const model::task& t) const;
    task_cells cells() const;
    QSplitter* splitter() const { return splitter_; }
    void schedule_refresh();
    void report(const QString& text) { emit status_message(text); }
    const task_list_parts& parts() const { return parts_; }
    // Shown again: the rows catch up (a list may read what its days hold only
    // while it is seen).
    void showEvent(QShowEvent* event) override;

private:
    struct node_info {
        int kind = 0;  // 0 heading, 1 task, 2 comment, 3 description
        std::int32_t task = 0;
        QString text;  // a heading's or a comment's text
        bool marked = false;
        time::stored_date date = 0;
    };

    // Where a task added or pasted at a row goes: under a heading, its date;
    // after a task, that task's date and the place after it; else no date.
    struct row_place {
        time::stored_date date = time::NO_DATE;
        const model::task* after = nullptr;
    };
    row_place place_at(int row) const;
    bool own_command(int command);
    bool row_command(int command, const std::vector<model::task*>& selected);
    std::vector<model::task*> selected_tasks() const;
    const node_info* info_at(int row) const;
    void options_popup();
    void edit_description(model::task& t);
    void clear_or_step(int command);

    task_list_parts parts_;
    QString settings_file_;
    cell_list* list_ = nullptr;
    QLabel* heading_ = nullptr;
    QSplitter* splitter_ = nullptr;
    tree_rows tree_;
    std::vector<node_info> info_;  // by node
    std::set<QString> seen_;       // expandable keys given their first state
    int hidden_ = 0;
    int commit_group_depth_ = 0;
    bool refresh_pending_ = false;
    bool focus_first_row_ = false;
    history::item_paste* paste_ = nullptr;
};

}  // namespace qm::ui
