#pragma once
// The task list of the Projects tab: the selected project's folders and
// tasks as a tree, each group in its method's order; its expansion kept in
// "goal_tasks/expanded/<project id>.ini".

#include "ui/cell_list.h"
#include "ui/project_tools.h"
#include "ui/tree_rows.h"

#include <functional>

namespace qm::ui {

namespace project_task_column {
constexpr int task = 0, status = 1, estimate = 2, time = 3, time_left = 4, impact = 5, roi = 6, yield = 7, date = 8,
              day_priority = 9, manual_index = 10, deadline = 11, role = 12, tags = 13;
}

class project_tasks_pane : public cell_list_owner {
public:
    project_tasks_pane(project_context& c, QWidget* parent);

    cell_list& list() { return *list_; }
    std::int32_t project_id() const { return project_; }
    // Shows another project's tasks; the expansion of the one before is saved.
    void set_project(std::int32_t id);
    // The Role and Tag cells: colours, editing and completion.
    void set_role_cells(const struct role_cells* cells) { roles_ = cells; }
    void refresh();
    model::task* task_at(int row) const;
    int row_of(std::int32_t task_id) const;
    std::vector<model::task*> selected_tasks() const;
    void select_task(std::int32_t id);
    QString expansion_file(std::int32_t project) const;
    void save_expansion() const;

    std::function<void(const QString&)> report;

    // ---- what the view calls ----
    void new_folder();
    void indent();
    void outdent();
    void move(int where);
    void step_folder(int delta);
    // Keep Sorted: on is the ROI order of the focus row's group, off by hand.
    bool focus_group_sorted() const;
    void set_focus_group_sorted(bool on);
    // Sort: the hand order of the focus row's group becomes the ROI order.
    void sort_focus_group();
    void assign_to_today();
    void set_method(int method);

    // cell_list_owner
    int row_count() const override { return tree_.row_count(); }
    QString cell_text(int row, int column_id) const override;
    row_style style_of(int row) const override;
    int editor_of(int row, int column_id) const override;
    bool begin_text_edit(int row, int column_id, QString& initial) override;
    int commit_text(int row, int column_id, const QString& text) override;
    void begin_commits(int target_rows) override;
    void end_commits(int target_rows) override;
    int add_row(int focus_row) override;
    bool list_command(int command) override;
    tree_rows* tree() override { return &tree_; }
    void tree_changed() override;
    QString empty_text() const override;
    int hidden_row_count() const override { return hidden_; }
    QColor cell_foreground(int row, int column_id) const override;
    QColor cell_background(int row, int column_id) const override;
    QStringList completions(int row, int column_id) const override;

private:
    int add_task(int focus_row, bool folder);
    void delete_selected();
    void say(const QString& text) const
    {
        if (report && !text.isEmpty())
            report(text);
    }

    project_context& c_;
    cell_list* list_ = nullptr;
    tree_rows tree_;
    std::int32_t project_ = 0;
    std::vector<std::int32_t> ids_;  // by node
    int hidden_ = 0;
    int commit_group_depth_ = 0;
    const struct role_cells* roles_ = nullptr;
    // The role and tag cells as every task list shows them.
    struct task_cells cells() const;
};

}  // namespace qm::ui
