#pragma once
// The tag alternative of the Tasks tab (966): the list of tags, each with
// the number of tasks that carry it, beside the selected tag's task list
// ("tag task list for %1"), grouped by date. Typing on a tag renames it
// (onto an existing name: merges), Enter adds one, Delete asks and removes
// it from its tasks. The last line lists the tasks without a tag.

#include "history/tag_commands.h"
#include "ui/task_list_view.h"

#include <memory>

namespace qm::ui {

class tag_tasks_view;

// The tags on the left of the view.
class tag_list_pane : public cell_list_owner {
public:
    static constexpr int name_column = 0, count_column = 1;
    static constexpr std::int32_t no_tag = -1;  // the line of the untagged tasks

    tag_list_pane(tag_tasks_view& owner, store::tables& tables, history::tag_commands& commands, QWidget* parent);

    cell_list& list() { return *list_; }
    void refresh();
    // The tag of the focus line: its id, no_tag, or 0 when the list is empty.
    std::int32_t current() const;
    void select(std::int32_t tag);
    int row_of(std::int32_t tag) const;
    void delete_selected();

    int row_count() const override { return static_cast<int>(ids_.size()); }
    QString cell_text(int row, int column_id) const override;
    row_style style_of(int row) const override;
    int editor_of(int row, int column_id) const override;
    bool begin_text_edit(int row, int column_id, QString& initial) override;
    int commit_text(int row, int column_id, const QString& text) override;
    int add_row(int focus_row) override;
    bool list_command(int command) override;
    QString empty_text() const override { return QStringLiteral("<Tip: press Enter to add a new tag>"); }

private:
    tag_tasks_view& owner_;
    store::tables& tables_;
    history::tag_commands& commands_;
    cell_list* list_ = nullptr;
    std::vector<std::int32_t> ids_;
};

class tag_tasks_view : public task_list_view {
    Q_OBJECT
public:
    static constexpr int id = 966;
    tag_tasks_view(task_list_parts parts, history::tag_commands& tags, QString settings_file, QWidget* parent = nullptr);

    tag_list_pane& tags() { return *tags_; }
    // Shows the tasks of the tag of the focus line.
    void show_current_tag();

    // Tests answer the question asked before a tag is deleted.
    std::function<bool(const history::tag_question& q)> ask_delete;

    bool handle_command(int command) override;
    bool handles(int command) const override;
    long on_announcement(const store::announcement& a) override;

protected:
    std::vector<task_group> collect() const override;
    QString range_text() const override;
    void prepare_new(model::task& t) const override;
    void load_extra(const app::settings_document& doc) override;
    void save_extra(app::settings_document& doc) const override;
    QString paste_refusal() const override
    {
        return QStringLiteral("A tag's list shows the tasks that carry the tag: paste into the Task List or a day, "
                              "then give the tasks the tag.");
    }

private:
    bool tags_focused() const;

    history::tag_commands& tag_commands_;
    std::unique_ptr<tag_list_pane> tags_;  // its list belongs to the splitter
    std::int32_t shown_tag_ = 0;
};

}  // namespace qm::ui
