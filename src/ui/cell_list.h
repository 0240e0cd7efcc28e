#pragma once
// CCellList: the grid behind every list view. It holds rows only by index
// and asks its owner (the view) for everything else: cell texts, what
// editing a cell means, what adding a row means.

#include "ui/column_model.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QDateTime>
#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <functional>

class QMenu;

namespace qm::ui {

class tree_rows;
class list_exchange;

namespace list_style {
constexpr unsigned single_selection = 0x1;
constexpr unsigned whole_row_focus = 0x2;
constexpr unsigned click_toggles = 0x10;
constexpr unsigned no_tips = 0x40;
constexpr unsigned no_right_click_add = 0x100;
constexpr unsigned no_select_all = 0x4000;
constexpr unsigned read_only = 0x10000;
constexpr unsigned focus_row_commit = 1u << 22;
constexpr unsigned no_enter_add = 1u << 25;
constexpr unsigned no_delete_key = 1u << 26;
}  // namespace list_style

namespace editor_kind {
constexpr int none = 0;
constexpr int text = 1;
constexpr int date_time = 2;
constexpr int custom = 3;
}  // namespace editor_kind

// A small button drawn inside a cell; a click sends its command to the owner.
struct cell_button {
    QString text;
    int command = 0;
};

struct row_style {
    bool heading = false;
    bool bold = false;
    bool struck = false;
    bool dimmed = false;
    QColor background;
};

class cell_list_owner {
public:
    virtual ~cell_list_owner() = default;
    virtual int row_count() const = 0;
    virtual QString cell_text(int row, int column_id) const = 0;
    virtual row_style style_of(int row) const { (void)row; return {}; }
    // The tooltip of a cell; its text unless the owner says more.
    virtual QString cell_tip(int row, int column_id) const { return cell_text(row, column_id); }
    // A check box in a cell: -1 none, 0 clear, 2 checked. Its click goes to
    // cell_clicked like any click of a clickable column.
    virtual int check_state(int row, int column_id) const
    {
        (void)row;
        (void)column_id;
        return -1;
    }
    // A colour of one cell's text (an overdue deadline), or an invalid one.
    virtual QColor cell_foreground(int row, int column_id) const
    {
        (void)row;
        (void)column_id;
        return {};
    }
    // A fill of one cell (a role's colour), or an invalid one for the row's.
    virtual QColor cell_background(int row, int column_id) const
    {
        (void)row;
        (void)column_id;
        return {};
    }
    virtual int editor_of(int row, int column_id) const
    {
        (void)row;
        (void)column_id;
        return editor_kind::none;
    }
    // A text edit begins: fills in the initial text; false refuses the edit.
    virtual bool begin_text_edit(int row, int column_id, QString& initial)
    {
        initial = cell_text(row, column_id);
        return true;
    }
    // One commit per target row; 1 or 2 stops the commit for the remaining rows.
    virtual int commit_text(int row, int column_id, const QString& text) = 0;
    // A date-and-time edit begins: fills in the value and, when it wants one,
    // the display format; false refuses the edit.
    virtual bool begin_date_edit(int row, int column_id, QDateTime& value, QString& format)
    {
        (void)row;
        (void)column_id;
        (void)value;
        (void)format;
        return false;
    }
    virtual int commit_date(int row, int column_id, const QDateTime& value)
    {
        (void)row;
        (void)column_id;
        (void)value;
        return 0;
    }
    // Custom editing: the owner edits the cell itself (a dialog, a menu).
    virtual void custom_edit(int row, int column_id)
    {
        (void)row;
        (void)column_id;
    }
    // The small buttons of a cell, right-aligned in it.
    virtual QVector<cell_button> cell_buttons(int row, int column_id) const
    {
        (void)row;
        (void)column_id;
        return {};
    }
    virtual void cell_button_clicked(int row, int column_id, int command)
    {
        (void)row;
        (void)column_id;
        (void)command;
    }
    // A click on a cell of a clickable column (after the focus has moved there).
    virtual bool column_clickable(int column_id) const { (void)column_id; return false; }
    virtual void cell_clicked(int row, int column_id, Qt::KeyboardModifiers modifiers)
    {
        (void)row;
        (void)column_id;
        (void)modifiers;
    }
    // Around the commits of one edit: several target rows make one history group.
    virtual void begin_commits(int target_rows) { (void)target_rows; }
    virtual void end_commits(int target_rows) { (void)target_rows; }
    virtual void edit_unchanged(int row, int column_id)
    {
        (void)row;
        (void)column_id;
    }
    // Adding a row after the focus row; the new row's index or -1.
    virtual int add_row(int focus_row)
    {
        (void)focus_row;
        return -1;
    }
    // The view's own commands that the list's keys stand for (Delete, …).
    // The owner carries them out itself and never hands them back to the
    // list, so a command cannot circle between the two.
    virtual bool list_command(int id) { (void)id; return false; }
    virtual void sorting_changed() {}
    virtual QString empty_text() const { return QString(); }
    virtual int hidden_row_count() const { return 0; }
    virtual QString filter_place() const { return QStringLiteral("Task List Options"); }
    // Tree levels: the owner's rows, when they form a tree, and the rebuild
    // after an Expand or Collapse.
    virtual tree_rows* tree() { return nullptr; }
    virtual void tree_changed() {}
    // Suggestions the text editor of a cell offers while typing.
    virtual QStringList completions(int row, int column_id) const
    {
        (void)row;
        (void)column_id;
        return {};
    }
};

class cell_list;

// The rows as an item model, so that long lists scroll without delay.
class cell_list_model : public QAbstractTableModel {
    Q_OBJECT
public:
    cell_list_model(cell_list& list, cell_list_owner& owner) : list_(list), owner_(owner) {}
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void reset_rows();

private:
    cell_list& list_;
    cell_list_owner& owner_;
};

class cell_list : public QTreeView {
    Q_OBJECT
public:
    cell_list(cell_list_owner& owner, QVector<column> columns, unsigned style = 0, QWidget* parent = nullptr);

    // The column that "Rename" edits and that a newly added row opens.
    void set_name_column(int column_id) { name_column_ = column_id; }
    int name_column() const { return name_column_; }

    column_model& columns() { return columns_; }
    const column_model& columns() const { return columns_; }
    cell_list_owner& owner() { return owner_; }
    unsigned style_bits() const { return style_; }

    // The rows changed: reload them, keeping the focus on the given row.
    void reload(int focus_row = -1, int focus_column_id = -1);
    int focus_row() const;
    int focus_column_id() const;
    QVector<int> selected_rows() const;
    void set_focus_cell(int row, int column_id);
    void select_rows(const QVector<int>& rows);

    // Commands of the control itself; false when they are not its own. It
    // never passes a command on: the owner asks the list, not the reverse.
    bool handle_command(int id);
    bool can_handle(int id) const;
    // Adds a row after the focus row and opens its editor, unless adding
    // that way (Enter, or the right-click menu) is off.
    void add_row(bool by_right_click = false);
    // Opens the editor on a cell ("Rename" on the name column).
    bool edit_cell(int row, int column_id);

    // Adds one checkable item per column to a menu: a check shows the column.
    // Locked columns, and the only visible one, cannot be unchecked.
    void add_column_items(QMenu& menu);
    // Sorts by a column (-1: unsorted) in the given direction.
    void sort_by(int column_id, bool ascending);

    void save_layout(app::settings_document& doc, const QString& block) const;
    void load_layout(const app::settings_document& doc, const QString& block);
    void apply_layout();

    // The tip shown instead of rows in an empty list.
    QString empty_tip() const;

    // Called by the delegate when an editor closes.
    void finish_edit(const QModelIndex& index, const QString& text);
    void finish_date_edit(const QModelIndex& index, const QDateTime& value);
    const QString& initial_edit_text() const { return initial_text_; }
    void set_initial_edit_text(const QString& t) { initial_text_ = t; }
    const QDateTime& initial_edit_date() const { return initial_date_; }
    const QString& date_edit_format() const { return date_format_; }
    // Append Space opens the editor with a space after the text, not selected.
    bool appending_space() const { return append_space_; }
    // Where a cell's buttons are drawn, right-aligned in the cell.
    static QVector<QRect> button_rects(const QRect& cell, const QVector<cell_button>& buttons, const QFontMetrics& fm);

    // Cut, Copy, Paste, drags and drops through the exchange a list adopts
    // (item_exchange.h); without one the list takes part in none of them.
    void set_exchange(list_exchange* exchange);
    list_exchange* exchange() const { return exchange_; }
    bool row_cut(int row) const;
    // A heading's text runs on over the empty cells after it instead of
    // being cut at its column's edge: the right edge its cell paints to, or
    // -1 for an empty cell that such a text covers (it paints nothing).
    int heading_span_right(const QModelIndex& index, int own_right) const;

    // An editor is open: in the cell, or in the popup of a hidden column.
    bool editing() const { return state() == EditingState || popup_ != nullptr; }
    QLineEdit* popup_editor() const { return popup_; }

signals:
    void message(const QString& text);
    // The cell editor has closed (committed or not).
    void editor_closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void startDrag(Qt::DropActions actions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void on_title_clicked(int section);
    void on_section_resized(int section, int old_size, int new_size);
    void take_over_section_widths();
    double width_scale_dpi() const;
    // The commits of one edit to its target rows, in one history group.
    void commit_to_targets(int row, int column_id, const std::function<int(int)>& commit);
    // A cell of a hidden column is edited in a small popup at its row.
    bool popup_edit(int row, int column_id);
    void finish_popup(bool keep);
    void move_focus_column(int step);

    cell_list_owner& owner_;
    column_model columns_;
    cell_list_model* model_;
    unsigned style_;
    bool laying_out_ = false;
    bool header_dragging_ = false;
    int name_column_ = -1;
    QString initial_text_;
    QDateTime initial_date_;
    QString date_format_;
    bool append_space_ = false;
    QPointer<QLineEdit> popup_;
    int popup_row_ = -1;
    int popup_column_ = -1;
    list_exchange* exchange_ = nullptr;
};

class cell_list_delegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit cell_list_delegate(cell_list& list) : QStyledItemDelegate(&list), list_(list) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    cell_list& list_;
};

}  // namespace qm::ui
