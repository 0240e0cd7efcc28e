#pragma once
// The Overview tab (view 935): the mission statement above, the life areas
// with their roles (and, on request, the values under each role) in their
// colours on the left, the ordered values on the right.

#include "history/role_commands.h"
#include "model/value_exercise.h"
#include "store/announcements.h"
#include "ui/cell_list.h"
#include "ui/tree_rows.h"
#include "ui/view.h"

class QPlainTextEdit;
class QSplitter;

namespace qm::ui {

namespace overview_cmd {
constexpr int add_role = 40086, add_life_area = 40087, show_values = 41263, value_exercise = 40189;
// The Overview's own commands beyond the program's table.
constexpr int set_color = 41270, copy_color = 41271, disassociate = 41272, add_value = 41273;
}  // namespace overview_cmd

// QColor from a stored 0x00BBGGRR colour, and back.
QColor stored_color(std::int32_t c);
std::int32_t to_stored_color(const QColor& c);

class overview_view;
class overview_drag;

// The values list on the right.
class value_list_pane : public cell_list_owner {
public:
    value_list_pane(overview_view& owner, store::tables& tables, history::role_commands& commands, QWidget* parent);
    cell_list& list() { return *list_; }
    void refresh(std::int32_t focus_id = 0);
    std::int32_t value_at(int row) const;

    int row_count() const override { return static_cast<int>(ids_.size()); }
    QString cell_text(int row, int column_id) const override;
    int editor_of(int row, int column_id) const override;
    bool begin_text_edit(int row, int column_id, QString& initial) override;
    int commit_text(int row, int column_id, const QString& text) override;
    int add_row(int focus_row) override;
    bool list_command(int id) override;
    QString empty_text() const override { return QStringLiteral("<Tip: press Enter to add a value>"); }

private:
    overview_view& owner_;
    store::tables& tables_;
    history::role_commands& commands_;
    cell_list* list_ = nullptr;
    std::vector<std::int32_t> ids_;
};

class overview_view : public view, public cell_list_owner, public store::listener {
    Q_OBJECT
public:
    static constexpr int id = 935;

    overview_view(store::tables& tables, model::role_store& roles, history::role_commands& commands,
                  QWidget* parent = nullptr);
    ~overview_view() override;

    cell_list& roles_list() { return *list_; }
    value_list_pane& values() { return *values_; }
    QPlainTextEdit* mission_editor() { return mission_; }
    // A part shown below the roles and values (the habits and routines).
    void add_section(QWidget* section);
    // The Value Discovery Exercise, kept between its openings in this run.
    model::value_exercise& exercise() { return exercise_; }
    void open_value_exercise();
    // Dragging roles onto a life area and values onto a role.
    overview_drag& drag() { return *drag_; }

    std::vector<toolbar_button> buttons() const override;
    bool handle_command(int command) override;
    bool handles(int command) const override;
    long on_announcement(const store::announcement& a) override;

    // What a row of the roles list shows.
    struct row_item {
        int kind = 0;  // 0 life area, 1 role, 2 value under a role
        std::int32_t id = 0;
        std::int32_t role = 0;  // for a value: its role
    };
    const row_item* item_at(int row) const;

    void refresh();
    void report(const QString& text) { emit status_message(text); }
    bool own_command(int command);

    // cell_list_owner of the roles list
    int row_count() const override { return tree_.row_count(); }
    QString cell_text(int row, int column_id) const override;
    row_style style_of(int row) const override;
    QColor cell_foreground(int row, int column_id) const override;
    int editor_of(int row, int column_id) const override;
    int commit_text(int row, int column_id, const QString& text) override;
    int add_row(int focus_row) override;
    bool list_command(int id) override { return own_command(id); }
    tree_rows* tree() override { return &tree_; }
    void tree_changed() override { refresh(); }
    QString empty_text() const override { return QStringLiteral("<Tip: press Add Life Area or Add Role to begin>"); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::int32_t focus_life_area() const;
    std::vector<std::int32_t> selected_roles(bool life_areas) const;
    void add_role(bool life_area);
    void set_color();
    void delete_selected();
    void commit_mission();
    void schedule_refresh();

    store::tables& tables_;
    model::role_store& roles_;
    history::role_commands& commands_;
    QPlainTextEdit* mission_ = nullptr;
    QSplitter* sections_ = nullptr;
    cell_list* list_ = nullptr;
    tree_rows tree_;
    std::vector<row_item> items_;  // by node
    std::unique_ptr<value_list_pane> values_;
    std::unique_ptr<overview_drag> drag_;
    model::value_exercise exercise_;
    bool show_values_ = false;
    bool refresh_pending_ = false;
};

}  // namespace qm::ui
