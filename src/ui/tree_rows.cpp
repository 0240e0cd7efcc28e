#include "ui/tree_rows.h"

#include "app/settings_document.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace qm::ui {

// ---- the tree ----

void tree_rows::set_nodes(std::vector<node> preorder)
{
    nodes_ = std::move(preorder);
    std::vector<int> stack;  // the open ancestors, by level
    for (int i = 0; i < static_cast<int>(nodes_.size()); ++i) {
        node& n = nodes_[static_cast<std::size_t>(i)];
        while (!stack.empty() && nodes_[static_cast<std::size_t>(stack.back())].level >= n.level)
            stack.pop_back();
        n.parent = stack.empty() ? -1 : stack.back();
        if (n.level > static_cast<int>(stack.size()))
            n.level = static_cast<int>(stack.size());  // no gaps between levels
        stack.push_back(i);
    }
    for (node& n : nodes_)
        n.expandable = false;
    for (const node& n : nodes_)
        if (n.parent >= 0)
            nodes_[static_cast<std::size_t>(n.parent)].expandable = true;
    rebuild();
}

void tree_rows::rebuild()
{
    visible_.clear();
    std::vector<bool> shown(nodes_.size(), false);
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        const node& n = nodes_[i];
        const bool parent_open =
            n.parent < 0 || (shown[static_cast<std::size_t>(n.parent)] &&
                             is_expanded(nodes_[static_cast<std::size_t>(n.parent)].key));
        shown[i] = parent_open;
        if (parent_open)
            visible_.push_back(static_cast<int>(i));
    }
}

int tree_rows::node_of_row(int row) const
{
    return row >= 0 && row < row_count() ? visible_[static_cast<std::size_t>(row)] : -1;
}

int tree_rows::row_of_node(int node_index) const
{
    for (int r = 0; r < row_count(); ++r)
        if (visible_[static_cast<std::size_t>(r)] == node_index)
            return r;
    return -1;
}

int tree_rows::row_of_key(const QString& key) const
{
    for (int r = 0; r < row_count(); ++r)
        if (nodes_[static_cast<std::size_t>(visible_[static_cast<std::size_t>(r)])].key == key)
            return r;
    return -1;
}

int tree_rows::shown_row_of_key(const QString& key) const
{
    for (std::size_t i = 0; i < nodes_.size(); ++i)
        if (nodes_[i].key == key)
            for (int n = static_cast<int>(i); n >= 0; n = nodes_[static_cast<std::size_t>(n)].parent)
                if (int r = row_of_node(n); r >= 0)
                    return r;
    return -1;
}

const tree_rows::node* tree_rows::node_at_row(int row) const
{
    const int i = node_of_row(row);
    return i < 0 ? nullptr : &nodes_[static_cast<std::size_t>(i)];
}

int tree_rows::level_of_row(int row) const
{
    const node* n = node_at_row(row);
    return n ? n->level : 0;
}

bool tree_rows::expandable_row(int row) const
{
    const node* n = node_at_row(row);
    return n && n->expandable;
}

bool tree_rows::expanded_row(int row) const
{
    const node* n = node_at_row(row);
    return n && n->expandable && is_expanded(n->key);
}

void tree_rows::set_expanded(const QString& key, bool on)
{
    if (on)
        expanded_.insert(key);
    else
        expanded_.erase(key);
    rebuild();
}

void tree_rows::toggle_row(int row)
{
    const node* n = node_at_row(row);
    if (n && n->expandable)
        set_expanded(n->key, !is_expanded(n->key));
}

int tree_rows::expandable_node(int row) const
{
    int i = node_of_row(row);
    while (i >= 0 && !nodes_[static_cast<std::size_t>(i)].expandable)
        i = nodes_[static_cast<std::size_t>(i)].parent;
    return i;
}

void tree_rows::descend(int node_index, bool on)
{
    // The nodes below a node follow it in preorder, at deeper levels.
    const int level = nodes_[static_cast<std::size_t>(node_index)].level;
    for (std::size_t i = static_cast<std::size_t>(node_index); i < nodes_.size(); ++i) {
        if (i != static_cast<std::size_t>(node_index) && nodes_[i].level <= level)
            break;
        if (nodes_[i].expandable) {
            if (on)
                expanded_.insert(nodes_[i].key);
            else
                expanded_.erase(nodes_[i].key);
        }
    }
}

void tree_rows::expand(const QVector<int>& rows, bool with_children)
{
    std::vector<int> targets;
    for (int r : rows)
        targets.push_back(with_children ? node_of_row(r) : expandable_node(r));
    for (int i : targets) {
        if (i < 0)
            continue;
        if (with_children)
            descend(i, true);
        else
            expanded_.insert(nodes_[static_cast<std::size_t>(i)].key);
    }
    rebuild();
}

void tree_rows::collapse(const QVector<int>& rows, bool with_children)
{
    std::vector<int> targets;
    for (int r : rows)
        targets.push_back(with_children ? node_of_row(r) : expandable_node(r));
    for (int i : targets) {
        if (i < 0)
            continue;
        if (with_children)
            descend(i, false);
        else
            expanded_.erase(nodes_[static_cast<std::size_t>(i)].key);
    }
    rebuild();
}

void tree_rows::expand_all()
{
    for (const node& n : nodes_)
        if (n.expandable)
            expanded_.insert(n.key);
    rebuild();
}

void tree_rows::collapse_all()
{
    for (const node& n : nodes_)
        expanded_.erase(n.key);
    rebuild();
}

void tree_rows::load(const QString& file)
{
    QStringList keys;
    app::settings_document::load(file).get_list(QStringLiteral("expanded"), keys);
    expanded_ = std::set<QString>(keys.begin(), keys.end());
    rebuild();
}

bool tree_rows::save(const QString& file) const
{
    // Only the nodes that still exist: a deleted folder leaves the file.
    QStringList keys;
    for (const node& n : nodes_)
        if (n.expandable && is_expanded(n.key))
            keys << n.key;
    app::settings_document doc;
    doc.set_list(QStringLiteral("expanded"), keys);
    QDir().mkpath(QFileInfo(file).absolutePath());
    return doc.save(file);
}

// ---- the commands ----

bool handle_tree_command(cell_list& list, tree_rows& tree, int command)
{
    QVector<int> rows = list.selected_rows();
    if (rows.isEmpty() && list.focus_row() >= 0)
        rows << list.focus_row();
    switch (command) {
    case row_cmd::expand: tree.expand(rows, false); break;
    case row_cmd::expand_children: tree.expand(rows, true); break;
    case row_cmd::expand_all: tree.expand_all(); break;
    case row_cmd::collapse: tree.collapse(rows, false); break;
    case row_cmd::collapse_children: tree.collapse(rows, true); break;
    case row_cmd::collapse_all: tree.collapse_all(); break;
    default: return false;
    }
    list.owner().tree_changed();
    return true;
}

// ---- painting ----

void tree_delegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int row = index.row();
    const int right = list_.heading_span_right(index, option.rect.right());
    if (right < 0)
        return;
    QStyleOptionViewItem shifted = option;
    shifted.rect.setRight(right);
    const int left = offset(row);
    // The background across the whole cell, the text after the indentation.
    QStyleOptionViewItem background = shifted;
    initStyleOption(&background, index);
    background.text.clear();
    list_.style()->drawControl(QStyle::CE_ItemViewItem, &background, painter, &list_);
    shifted.rect.setLeft(option.rect.left() + left);
    cell_list_delegate::paint(painter, shifted, index);
    if (!tree_.expandable_row(row))
        return;
    const int size = 8;
    const QPoint centre(option.rect.left() + left - indent / 2, option.rect.center().y());
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(option.palette.color(QPalette::Text));
    QPainterPath mark;
    if (tree_.expanded_row(row)) {
        mark.moveTo(centre.x() - size / 2, centre.y() - size / 4);
        mark.lineTo(centre.x() + size / 2, centre.y() - size / 4);
        mark.lineTo(centre.x(), centre.y() + size / 3);
    } else {
        mark.moveTo(centre.x() - size / 4, centre.y() - size / 2);
        mark.lineTo(centre.x() + size / 3, centre.y());
        mark.lineTo(centre.x() - size / 4, centre.y() + size / 2);
    }
    mark.closeSubpath();
    painter->drawPath(mark);
    painter->restore();
}

void tree_delegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    QStyleOptionViewItem shifted = option;
    shifted.rect.setLeft(option.rect.left() + offset(index.row()));
    cell_list_delegate::updateEditorGeometry(editor, shifted, index);
}

bool tree_delegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                const QModelIndex& index)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const int left = offset(index.row());
        const int x = mouse->position().toPoint().x();
        if (tree_.expandable_row(index.row()) && x >= option.rect.left() + left - indent &&
            x < option.rect.left() + left) {
            if (event->type() == QEvent::MouseButtonPress) {
                tree_.toggle_row(index.row());
                // The rows are rebuilt after the click has been handled.
                cell_list* list = &list_;
                QMetaObject::invokeMethod(list, [list] { list->owner().tree_changed(); }, Qt::QueuedConnection);
            }
            return true;  // the mark is not the cell: no selection, no editing
        }
    }
    return cell_list_delegate::editorEvent(event, model, option, index);
}

QSize tree_delegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize s = cell_list_delegate::sizeHint(option, index);
    s.rwidth() += offset(index.row());
    return s;
}

}  // namespace qm::ui
