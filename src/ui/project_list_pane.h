#pragma once
// The project list of the Projects tab: every project in the order of the
// project list, milestones nested under their project, with outline numbers,
// status and statistics; its expansion kept in "projects/expanded/root.ini".

#include "ui/cell_list.h"
#include "ui/project_tools.h"
#include "ui/tree_rows.h"

#include <functional>

namespace qm::ui {

namespace project_column {
constexpr int name = 0, status = 1, progress = 2, tasks = 3, time_left = 4, deadline = 5, role = 6,
              last_activity = 7;
}

// The project list's filter bits: a set bit hides the projects of a status.
int project_filter_bit(int status);

class project_list_pane : public cell_list_owner {
public:
    project_list_pane(project_context& c, QWidget* parent);

    cell_list& list() { return *list_; }
    // Rebuilds the rows, keeping the focus on the same project.
    void refresh();
    model::project* project_at(int row) const;
    model::project* current() const { return project_at(list_->focus_row()); }
    void select_project(std::int32_t id);
    // The next or previous project of the list.
    void step(int delta);

    int filter_flags() const { return list_->columns().filter_flags; }
    void toggle_filter(int bit);

    void save_state(app::settings_document& doc, const QString& block);
    void load_state(const app::settings_document& doc, const QString& block);
    QString expansion_file() const;

    // The view's hooks: the focus moved to another project, a text to show.
    std::function<void()> on_current_changed;
    std::function<void(const QString&)> report;

    // ---- what the view calls ----
    void new_project();
    void new_milestone();
    void delete_selected(QWidget* parent);
    void move(bool up);
    // A project under the one above it (a milestone), and back.
    void indent();
    void outdent();

    // cell_list_owner
    int row_count() const override { return tree_.row_count(); }
    QString cell_text(int row, int column_id) const override;
    row_style style_of(int row) const override;
    int editor_of(int row, int column_id) const override;
    bool begin_text_edit(int row, int column_id, QString& initial) override;
    int commit_text(int row, int column_id, const QString& text) override;
    int add_row(int focus_row) override;
    bool list_command(int command) override;
    tree_rows* tree() override { return &tree_; }
    void tree_changed() override;
    QString empty_text() const override;
    QString filter_place() const override { return QStringLiteral("Project List Options"); }

private:
    project_context& c_;
    cell_list* list_ = nullptr;
    tree_rows tree_;
    std::vector<std::int32_t> ids_;  // by node
};

}  // namespace qm::ui
