#pragma once
// The Projects tab's part in the exchange: its task list takes pastes and
// drops (onto a folder: into it) and text pasted as an outline of folders
// and tasks; its project list takes tasks dropped or pasted onto a project,
// each landing in the folder of the same path there. Copy as Text puts the
// current project's outline on the clipboard.

#include "history/item_paste.h"
#include "ui/item_exchange.h"
#include "ui/project_tools.h"

namespace qm::ui {

class project_list_pane;
class project_tasks_pane;

// The private command of the Projects tab's Copy as Text.
namespace project_cmd {
constexpr int copy_as_text = 41301;
}

class project_tasks_exchange : public exchange_owner {
public:
    project_tasks_exchange(project_context& c, project_tasks_pane& pane, history::item_paste& paste);

    model::item_list selected_items() const override;
    model::item_descriptor focused_item() const override;
    QString items_text(const model::item_list& items) const override;
    void receive_items(const received_items& r) override;
    bool receive_text(const QString& text) override;
    std::int32_t row_task(int row) const override;

    // The outline of the project shown; false when none is.
    bool copy_as_text(item_clipboard& clipboard) const;

private:
    void select(const std::vector<std::int32_t>& ids);
    QString description() const;

    project_context& c_;
    project_tasks_pane& pane_;
    history::item_paste& paste_;
};

class project_list_exchange : public exchange_owner {
public:
    project_list_exchange(project_context& c, project_list_pane& pane, history::item_paste& paste);

    model::item_list selected_items() const override { return {}; }
    model::item_descriptor focused_item() const override { return {}; }
    QString items_text(const model::item_list& items) const override;
    void receive_items(const received_items& r) override;

    std::function<void(const QString&)> report;

private:
    project_context& c_;
    project_list_pane& pane_;
    history::item_paste& paste_;
};

// Names the rows' tasks, one a line.

}  // namespace qm::ui
