#pragma once
// The Recurring Tasks view (965): every master with its pattern, its range
// and its next occurrence; a master row opens to show its occurrences and
// the occurrences deleted from it, which can be restored.

#include "history/recurrence_commands.h"
#include "history/task_commands.h"
#include "store/announcements.h"
#include "ui/cell_list.h"
#include "ui/view.h"

#include <set>

namespace qm::ui {

namespace recurring_column {
constexpr int task = 0, recurrence = 1, starts = 2, ends = 3, next = 4;
}

class recurring_view : public view, public cell_list_owner, public store::listener {
    Q_OBJECT
public:
    static constexpr int id = 965;
    static constexpr int stop_recurrence = 40043;
    static constexpr int restore_occurrence = 45001;
    static constexpr int toggle_rows = 1;  // the cell button of a master row

    recurring_view(model::task_store& tasks, history::task_commands& commands, history::recurrence_commands& recurring,
                   history::history& history, QString settings_file, QWidget* parent = nullptr);
    ~recurring_view() override;

    cell_list& list() { return *list_; }
    void refresh();
    void set_expanded(std::int32_t master, bool expanded);
    // The row of a master (date 0), an occurrence (its task id) or a deleted
    // occurrence (master and date), or -1.
    int row_of_master(std::int32_t master) const;
    int row_of_task(std::int32_t task) const;
    int row_of_deleted(std::int32_t master, time::stored_date d) const;

    // view
    std::vector<toolbar_button> buttons() const override;
    bool handle_command(int command) override;
    bool handles(int command) const override;
    void save_state() override;

    // cell_list_owner
    int row_count() const override { return static_cast<int>(rows_.size()); }
    QString cell_text(int row, int column_id) const override;
    row_style style_of(int row) const override;
    int editor_of(int row, int column_id) const override;
    int commit_text(int row, int column_id, const QString& text) override;
    QVector<cell_button> cell_buttons(int row, int column_id) const override;
    void cell_button_clicked(int row, int column_id, int command) override;
    bool list_command(int command) override { return own_command(command); }
    QString empty_text() const override;
    void begin_commits(int target_rows) override;
    void end_commits(int target_rows) override;

    // listener
    long on_announcement(const store::announcement& a) override;

private:
    struct row {
        int kind = 0;  // 0 master, 1 occurrence, 2 deleted occurrence
        std::int32_t master = 0;
        std::int32_t task = 0;
        time::stored_date date = 0;
    };
    bool own_command(int command);
    void schedule_refresh();
    std::vector<model::task*> selected_masters() const;
    void report(const QString& text) { emit status_message(text); }

    model::task_store& tasks_;
    history::task_commands& commands_;
    history::recurrence_commands& recurring_;
    history::history& history_;
    QString settings_file_;
    cell_list* list_ = nullptr;
    std::vector<row> rows_;
    std::set<std::int32_t> expanded_;
    bool refresh_pending_ = false;
};

}  // namespace qm::ui
