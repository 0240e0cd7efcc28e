#pragma once
// The tree levels of a CCellList: the nodes of a tree in display order
// (preorder) with their levels, which of them are expanded, and the rows
// that are visible because every node above them is expanded. The owner
// builds the nodes; the list asks for rows, levels and marks, and its Expand
// and Collapse commands (with their Children and All forms) change the state
// here. Main thread only.

#include "ui/cell_list.h"

#include <QString>
#include <QVector>

#include <set>
#include <vector>

namespace qm::ui {

// The Edit.Row commands of the tree levels.
namespace row_cmd {
constexpr int expand = 41174, expand_children = 41172, expand_all = 41173;
constexpr int collapse = 41208, collapse_children = 41209, collapse_all = 41210;
constexpr int indent = 41133, outdent = 41048;
}  // namespace row_cmd

class tree_rows {
public:
    struct node {
        QString key;  // names the node in the expansion file ("12")
        int level = 0;
        int parent = -1;  // index of the node above, -1 at the top
        bool expandable = false;
    };

    // Nodes in preorder with their levels; the parents are found here.
    void set_nodes(std::vector<node> preorder);
    const std::vector<node>& nodes() const { return nodes_; }

    int row_count() const { return static_cast<int>(visible_.size()); }
    int node_of_row(int row) const;
    int row_of_node(int node_index) const;
    int row_of_key(const QString& key) const;
    // The row of the node, or of its nearest ancestor shown; -1 when unknown.
    int shown_row_of_key(const QString& key) const;
    const node* node_at_row(int row) const;
    int level_of_row(int row) const;
    bool expandable_row(int row) const;
    bool expanded_row(int row) const;

    bool is_expanded(const QString& key) const { return expanded_.count(key) != 0; }
    void set_expanded(const QString& key, bool on);
    void toggle_row(int row);
    // For a row that cannot be expanded, its nearest ancestor that can.
    int expandable_node(int row) const;

    // Expand and Collapse on the given rows; with children every row below
    // them too. All: every node.
    void expand(const QVector<int>& rows, bool with_children);
    void collapse(const QVector<int>& rows, bool with_children);
    void expand_all();
    void collapse_all();

    // The expansion state as a settings file: a list "expanded" of keys.
    void load(const QString& file);
    bool save(const QString& file) const;
    const std::set<QString>& expanded() const { return expanded_; }

private:
    void rebuild();
    void descend(int node_index, bool on);

    std::vector<node> nodes_;
    std::vector<int> visible_;
    std::set<QString> expanded_;
};

// The Expand and Collapse commands of a list whose owner has tree rows;
// false for every other command.
bool handle_tree_command(cell_list& list, tree_rows& tree, int command);

// Draws the tree column: indentation by level and the expand mark, which a
// click toggles. Editing works as in the other columns.
class tree_delegate : public cell_list_delegate {
    Q_OBJECT
public:
    tree_delegate(cell_list& list, tree_rows& tree) : cell_list_delegate(list), list_(list), tree_(tree) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    static constexpr int indent = 18;

private:
    int offset(int row) const { return (tree_.level_of_row(row) + 1) * indent; }

    cell_list& list_;
    tree_rows& tree_;
};

}  // namespace qm::ui
