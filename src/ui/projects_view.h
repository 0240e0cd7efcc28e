#pragma once
// The Projects tab (view 372): the project list on the left, the selected
// project's folders and tasks as a tree on the right, and the commands of
// both.

#include "store/announcements.h"
#include "ui/project_exchange.h"
#include "ui/project_list_pane.h"
#include "ui/project_tasks_pane.h"
#include "ui/view.h"

#include <memory>

class QSplitter;

namespace qm::ui {

// The view's own commands, beyond the program's command table.
namespace project_cmd {
constexpr int keep_sorted = 40074, sort = 40073, assign_to_today = 40252;
constexpr int indent = 40493, outdent = 40494;
constexpr int project_list_options = 40488, task_list_options = 40443;
constexpr int new_milestone = 40510, new_folder = 40511, new_project = 40512;
constexpr int next_folder = 41140, previous_folder = 41141, next_project = 41142, previous_project = 41143;
constexpr int task_project = 40046, task_folder = 41108;
}  // namespace project_cmd

class projects_view : public view, public store::listener {
    Q_OBJECT
public:
    static constexpr int id = 372;

    projects_view(project_context& c, QString settings_file, QWidget* parent = nullptr);
    ~projects_view() override;

    project_list_pane& projects() { return *projects_; }
    project_tasks_pane& tasks() { return *tasks_; }

    std::vector<toolbar_button> buttons() const override;
    bool handle_command(int command) override;
    bool handles(int command) const override;
    void save_state() override;
    std::int32_t focus_task() const override;
    bool reveal_task(std::int32_t id) override { return show_task(id, false); }
    // Selects the task's project and the task in its tree; the focus goes
    // to the project list or to the tree.
    bool show_task(std::int32_t id, bool focus_project_list);

    long on_announcement(const store::announcement& a) override;

    // Rebuilds both lists now.
    void refresh();
    // Opens the properties of the selected project.
    void edit_project();
    // Cut, Copy, Paste, drags and drops in both lists, and Copy as Text.
    void set_exchange(item_clipboard& clipboard, history::item_paste& paste);
    bool line_marked(int command) const override;

private:
    void schedule_refresh();
    void show_current_project();
    void sync_keep_sorted();
    bool tasks_focused() const;
    void options_menu(bool project_list);
    // "Add Comment": on the focus task of the task list, else on the project.
    void add_comment(bool on_tasks);
    void report(const QString& text) { emit status_message(text); }

    project_context& c_;
    QString settings_file_;
    QSplitter* splitter_ = nullptr;
    std::unique_ptr<project_list_pane> projects_;
    std::unique_ptr<project_tasks_pane> tasks_;
    bool refresh_pending_ = false;
    item_clipboard* clipboard_ = nullptr;
    std::unique_ptr<project_tasks_exchange> task_exchange_;
    std::unique_ptr<project_list_exchange> list_exchange_;
};

}  // namespace qm::ui
