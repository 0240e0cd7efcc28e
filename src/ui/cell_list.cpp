#include "ui/cell_list.h"

#include "app/settings_document.h"
#include "ui/commands.h"
#include "ui/item_exchange.h"
#include "ui/tree_rows.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QFontInfo>
#include <QCompleter>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace qm::ui {

// ---- model ----

int cell_list_model::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : owner_.row_count(); }

int cell_list_model::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(list_.columns().columns.size());
}

QVariant cell_list_model::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int column_id = list_.columns().columns[index.column()].id;
    switch (role) {
    case Qt::DisplayRole:
        return owner_.cell_text(index.row(), column_id);
    case Qt::ToolTipRole:
        return owner_.cell_tip(index.row(), column_id);
    case Qt::FontRole: {
        const row_style s = owner_.style_of(index.row());
        const bool cut = list_.row_cut(index.row());
        if (!s.bold && !s.struck && !s.heading && !cut)
            return {};
        QFont f = list_.font();
        f.setBold(s.bold || s.heading);
        f.setStrikeOut(s.struck);
        f.setItalic(cut);  // cut rows stay in place until pasted, drawn as cut
        return f;
    }
    case Qt::ForegroundRole: {
        const row_style s = owner_.style_of(index.row());
        if (s.dimmed || list_.row_cut(index.row()))
            return list_.palette().color(QPalette::Disabled, QPalette::Text);
        const QColor own = owner_.cell_foreground(index.row(), column_id);
        if (own.isValid())
            return own;
        return {};
    }
    case Qt::CheckStateRole: {
        const int state = owner_.check_state(index.row(), column_id);
        if (state < 0)
            return {};
        return state == 2 ? Qt::Checked : Qt::Unchecked;
    }
    case Qt::BackgroundRole: {
        const QColor own = owner_.cell_background(index.row(), column_id);
        if (own.isValid())
            return own;
        const row_style s = owner_.style_of(index.row());
        if (s.background.isValid())
            return s.background;
        return {};
    }
    default:
        return {};
    }
}

QVariant cell_list_model::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < list_.columns().columns.size())
        return list_.columns().columns[section].title;
    return {};
}

Qt::ItemFlags cell_list_model::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!(list_.style_bits() & list_style::read_only) &&
        owner_.editor_of(index.row(), list_.columns().columns[index.column()].id) != editor_kind::none)
        f |= Qt::ItemIsEditable;
    if (list_.exchange() != nullptr)
        f |= Qt::ItemIsDragEnabled;
    return f;
}

void cell_list_model::reset_rows()
{
    beginResetModel();
    endResetModel();
}

// ---- the list ----

cell_list::cell_list(cell_list_owner& owner, QVector<column> columns, unsigned style, QWidget* parent)
    : QTreeView(parent), owner_(owner), style_(style)
{
    columns_.columns = std::move(columns);
    columns_.normalise();
    model_ = new cell_list_model(*this, owner_);
    model_->setParent(this);  // goes with the list
    setModel(model_);
    setItemDelegate(new cell_list_delegate(*this));
    setRootIsDecorated(false);
    setUniformRowHeights(true);  // long lists scroll without measuring every row
    setAllColumnsShowFocus((style_ & list_style::whole_row_focus) != 0);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode((style_ & list_style::single_selection) ? QAbstractItemView::SingleSelection
                     : (style_ & list_style::click_toggles)  ? QAbstractItemView::MultiSelection
                                                             : QAbstractItemView::ExtendedSelection);
    setEditTriggers((style_ & list_style::read_only)
                        ? QAbstractItemView::NoEditTriggers
                        : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
    setSortingEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(true);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    header()->setMinimumSectionSize(24);
    connect(header(), &QHeaderView::sectionClicked, this, &cell_list::on_title_clicked);
    // The header's menu shows and hides columns.
    header()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header(), &QHeaderView::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        add_column_items(menu);
        menu.exec(header()->mapToGlobal(at));
    });
    connect(header(), &QHeaderView::sectionResized, this, &cell_list::on_section_resized);
    header()->viewport()->installEventFilter(this);
    connect(header(), &QHeaderView::sectionMoved, this, [this] {
        if (laying_out_)
            return;
        for (int i = 0; i < columns_.columns.size(); ++i)
            if (columns_.columns[i].visible)
                columns_.columns[i].ui_index = header()->visualIndex(i);
        columns_.normalise();
    });
    apply_layout();
}

void cell_list::apply_layout()
{
    laying_out_ = true;
    for (int i = 0; i < columns_.columns.size(); ++i)
        setColumnHidden(i, !columns_.columns[i].visible);
    const QVector<int> order = columns_.display_order();
    for (int k = 0; k < order.size(); ++k) {
        const int from = header()->visualIndex(order[k]);
        if (from != k)
            header()->moveSection(from, k);
    }
    const QVector<column_span> spans = columns_.layout(viewport()->width(), width_scale_dpi());
    for (int i : order)
        header()->resizeSection(i, std::max(1, spans[i].right - spans[i].left));
    const int sorted = columns_.index_of(columns_.sorting_id);
    header()->setSortIndicatorShown(sorted >= 0);
    if (sorted >= 0)
        header()->setSortIndicator(sorted, columns_.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    laying_out_ = false;
}

double cell_list::width_scale_dpi() const
{
    // Fixed widths are kept for a 9-point font at 96 dpi; a larger desktop
    // font widens them alike, so that "Day Priority" or a time span still fits.
    const double points = QFontInfo(font()).pointSizeF();
    return logicalDpiX() * std::max(1.0, points > 0 ? points / 9.0 : 1.0);
}

void cell_list::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    apply_layout();
}

void cell_list::changeEvent(QEvent* event)
{
    QTreeView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        apply_layout();
}

void cell_list::on_section_resized(int, int, int)
{
    if (laying_out_)
        return;
    // While a border is dragged only that border moves; the widths are taken
    // over when the button is released. A resize without a drag (a double
    // click on a border) is taken over at once.
    if (!header_dragging_)
        QTimer::singleShot(0, this, [this] {
            if (!header_dragging_)
                take_over_section_widths();
        });
}

void cell_list::take_over_section_widths()
{
    // Columns that were proportional stay proportional, with their pixel
    // widths as shares; fixed ones keep their new pixel width. Then the list
    // is laid out anew, so the header never ends wider than the list.
    const double dpi = width_scale_dpi();
    int proportional_pixels = 0;
    for (int i : columns_.display_order())
        if (columns_.columns[i].proportional())
            proportional_pixels += header()->sectionSize(i);
    for (int i : columns_.display_order()) {
        column& c = columns_.columns[i];
        if (c.proportional())
            c.width = proportional_pixels > 0 ? std::max(0.0001, double(header()->sectionSize(i)) / proportional_pixels)
                                              : c.width;
        else
            c.width = std::max(1.1, header()->sectionSize(i) * 96.0 / dpi);
    }
    columns_.normalise();
    apply_layout();
}

bool cell_list::eventFilter(QObject* watched, QEvent* event)
{
    if (popup_ != nullptr && watched == popup_) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
                finish_popup(key != Qt::Key_Escape);
                return true;
            }
        } else if (event->type() == QEvent::Hide) {
            finish_popup(false);  // closed by a click elsewhere
        }
        return false;
    }
    if (watched == header()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            header_dragging_ = true;
        else if (event->type() == QEvent::MouseButtonRelease && header_dragging_) {
            header_dragging_ = false;
            QTimer::singleShot(0, this, [this] { take_over_section_widths(); });
        }
    }
    return QTreeView::eventFilter(watched, event);
}

void cell_list::on_title_clicked(int section)
{
    if (section < 0 || section >= columns_.columns.size())
        return;
    columns_.click_title(columns_.columns[section].id);
    owner_.sorting_changed();  // the owner re-sorts, keeping the focus on the same row
    apply_layout();
}

void cell_list::reload(int row, int column_id)
{
    const int col = column_id >= 0 ? columns_.index_of(column_id) : currentIndex().column();
    model_->reset_rows();
    if (row >= 0 && row < owner_.row_count())
        set_focus_cell(row, col >= 0 ? columns_.columns[col].id : -1);
    viewport()->update();
}

int cell_list::focus_row() const { return currentIndex().isValid() ? currentIndex().row() : -1; }

int cell_list::focus_column_id() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() && i.column() < columns_.columns.size() ? columns_.columns[i.column()].id : -1;
}

QVector<int> cell_list::selected_rows() const
{
    QVector<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void cell_list::set_focus_cell(int row, int column_id)
{
    int col = columns_.index_of(column_id);
    if (col < 0 || !columns_.columns[col].visible) {
        const QVector<int> order = columns_.display_order();
        col = order.isEmpty() ? 0 : order.front();
    }
    const QModelIndex index = model_->index(row, col);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

void cell_list::select_rows(const QVector<int>& rows)
{
    QItemSelection selection;
    for (int r : rows)
        if (r >= 0 && r < owner_.row_count())
            selection.select(model_->index(r, 0), model_->index(r, model_->columnCount() - 1));
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void cell_list::add_row(bool by_right_click)
{
    const unsigned off = by_right_click ? list_style::no_right_click_add : list_style::no_enter_add;
    if ((style_ & (list_style::read_only | off)) != 0)
        return;
    const int row = owner_.add_row(focus_row());
    if (row < 0)
        return;
    const int column_id = name_column_ >= 0 ? name_column_ : focus_column_id();
    model_->reset_rows();
    set_focus_cell(row, column_id);
    edit(currentIndex(), QAbstractItemView::EditKeyPressed, nullptr);
}

void cell_list::move_focus_column(int step)
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    const QVector<int> order = columns_.display_order();
    const int at = order.indexOf(current.column());
    const int next = std::clamp(at + step, 0, static_cast<int>(order.size()) - 1);
    if (next >= 0 && next < order.size())
        selectionModel()->setCurrentIndex(model_->index(current.row(), order[next]), QItemSelectionModel::NoUpdate);
}

bool cell_list::handle_command(int id)
{
    if (state() == EditingState)
        return can_handle(id);  // the open editor has the keys: the list's own commands wait
    if (exchange_ != nullptr && exchange_->handle_command(id))
        return true;
    switch (id) {
    case cmd::add_row:
        add_row();
        return true;
    case cmd::cell_edit:
        edit_cell(focus_row(), focus_column_id());
        return true;
    case cmd::append_space:
        append_space_ = true;
        if (edit_cell(focus_row(), focus_column_id()))
            // The view selects a new line editor's text; the space must not be replaced.
            if (auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
                line->deselect();
                line->end(false);
            }
        append_space_ = false;
        return true;
    case cmd::rename:
        if (name_column_ < 0)
            return false;
        edit_cell(focus_row(), name_column_);
        return true;
    case cmd::select_all:
        if (!(style_ & (list_style::single_selection | list_style::no_select_all)))
            selectAll();
        return true;
    case cmd::page_up:
    case cmd::page_down: {
        QKeyEvent key(QEvent::KeyPress, id == cmd::page_up ? Qt::Key_PageUp : Qt::Key_PageDown, Qt::NoModifier);
        QTreeView::keyPressEvent(&key);
        return true;
    }
    default:
        break;
    }
    if (id >= cmd::show_column_base && id <= cmd::show_column_base + 250) {
        if (columns_.toggle(id - cmd::show_column_base))
            apply_layout();
        return true;
    }
    if (tree_rows* tree = owner_.tree(); tree != nullptr && handle_tree_command(*this, *tree, id))
        return true;
    return false;  // not the control's: the caller decides, nothing is passed back up
}

bool cell_list::can_handle(int id) const
{
    if (exchange_ != nullptr && exchange_->can_handle(id))
        return true;
    switch (id) {
    case cmd::add_row:
    case cmd::cell_edit:
    case cmd::append_space:
    case cmd::select_all:
    case cmd::page_up:
    case cmd::page_down:
        return true;
    case cmd::rename:
        return name_column_ >= 0;
    case row_cmd::expand: case row_cmd::expand_children: case row_cmd::expand_all:
    case row_cmd::collapse: case row_cmd::collapse_children: case row_cmd::collapse_all:
        return owner_.tree() != nullptr;
    default:
        return id >= cmd::show_column_base && id <= cmd::show_column_base + 250;
    }
}

void cell_list::keyPressEvent(QKeyEvent* event)
{
    if (state() == EditingState) {
        QTreeView::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter and Ctrl+Enter add; Alt+Enter and the like belong to the frame.
        if ((event->modifiers() & ~(Qt::ControlModifier | Qt::KeypadModifier)) == 0) {
            add_row();
            return;
        }
        break;
    case Qt::Key_Delete:
        if (!(style_ & list_style::no_delete_key))
            owner_.list_command(cmd::delete_);
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (event->modifiers() == Qt::NoModifier) {
            move_focus_column(event->key() == Qt::Key_Left ? -1 : 1);
            return;
        }
        break;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (event->modifiers() == Qt::NoModifier && currentIndex().isValid()) {
            move_focus_column(event->key() == Qt::Key_Home ? -1000 : 1000);
            return;
        }
        break;
    case Qt::Key_PageUp:
        handle_command(cmd::page_up);
        return;
    case Qt::Key_PageDown:
        handle_command(cmd::page_down);
        return;
    default:
        break;
    }
    QTreeView::keyPressEvent(event);
}

QString cell_list::empty_tip() const
{
    if (owner_.row_count() > 0 || (style_ & (list_style::no_tips | list_style::read_only)))
        return QString();
    const QString own = owner_.empty_text();
    if (!own.isEmpty())
        return own;
    const bool enter = !(style_ & list_style::no_enter_add);
    const bool right_click = !(style_ & list_style::no_right_click_add);
    if (enter && right_click) {
        QString tip = QStringLiteral("<Tip: press Enter or right click to add an item>");
        if (owner_.hidden_row_count() > 0)
            tip += QStringLiteral("\r\n<Note: %1 items are currently hidden due to filters in the %2>")
                       .arg(owner_.hidden_row_count())
                       .arg(owner_.filter_place());
        return tip;
    }
    if (enter)
        return QStringLiteral("<Tip: press Enter to add an item>");
    if (right_click)
        return QStringLiteral("<Tip: right click to add an item>");
    return QString();
}

void cell_list::paintEvent(QPaintEvent* event)
{
    QTreeView::paintEvent(event);
    if (exchange_ != nullptr && exchange_->drag_over()) {
        // Where a drop goes: under the row it is over, or into the list.
        QPainter painter(viewport());
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        const int row = exchange_->drop_row();
        if (row >= 0 && row < model_->rowCount()) {
            const QRect r = visualRect(model_->index(row, 0));
            painter.drawLine(0, r.bottom(), viewport()->width(), r.bottom());
        } else {
            painter.drawRect(viewport()->rect().adjusted(1, 1, -2, -2));
        }
    }
    const QString tip = empty_tip();
    if (tip.isEmpty())
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    QString shown = tip;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    painter.drawText(viewport()->rect().adjusted(8, 24, -8, -8), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                     shown);
}

void cell_list::add_column_items(QMenu& menu)
{
    int visible = 0;
    for (const column& c : columns_.columns)
        visible += c.visible ? 1 : 0;
    for (const column& c : columns_.columns) {
        QAction* a = menu.addAction(c.title);
        a->setCheckable(true);
        a->setChecked(c.visible);
        a->setEnabled(!c.locked && !(c.visible && visible == 1));
        const int command = cmd::show_column_base + c.id;
        connect(a, &QAction::triggered, this, [this, command] { handle_command(command); });
    }
}

void cell_list::sort_by(int column_id, bool ascending)
{
    if (column_id >= 0 && columns_.index_of(column_id) < 0)
        return;
    columns_.sorting_id = column_id;
    columns_.ascending = column_id < 0 ? true : ascending;
    owner_.sorting_changed();
    apply_layout();
}

void cell_list::save_layout(app::settings_document& doc, const QString& block) const { columns_.save(doc, block); }

void cell_list::load_layout(const app::settings_document& doc, const QString& block)
{
    columns_.load(doc, block);
    apply_layout();
}

// ---- the exchange ----

void cell_list::set_exchange(list_exchange* exchange)
{
    exchange_ = exchange;
    setDragEnabled(exchange != nullptr);
    setAcceptDrops(exchange != nullptr);
    viewport()->setAcceptDrops(exchange != nullptr);
    setDragDropMode(exchange != nullptr ? QAbstractItemView::DragDrop : QAbstractItemView::NoDragDrop);
    setDropIndicatorShown(false);  // the list draws its own
}

int cell_list::heading_span_right(const QModelIndex& index, int own_right) const
{
    if (!owner_.style_of(index.row()).heading)
        return own_right;
    auto empty = [&](int logical) {
        const QModelIndex cell = model_->index(index.row(), logical);
        return cell.data(Qt::DisplayRole).toString().isEmpty() && !cell.data(Qt::CheckStateRole).isValid();
    };
    const QHeaderView* h = header();
    const int visual = h->visualIndex(index.column());
    if (empty(index.column())) {
        for (int v = visual - 1; v >= 0; --v) {
            const int l = h->logicalIndex(v);
            if (!h->isSectionHidden(l) && !empty(l))
                return -1;
        }
        return own_right;
    }
    int right = own_right;
    for (int v = visual + 1; v < h->count(); ++v) {
        const int l = h->logicalIndex(v);
        if (h->isSectionHidden(l))
            continue;
        if (!empty(l))
            break;
        right = h->sectionViewportPosition(l) + h->sectionSize(l) - 1;
    }
    return right;
}

bool cell_list::row_cut(int row) const { return exchange_ != nullptr && exchange_->is_cut_row(row); }

void cell_list::startDrag(Qt::DropActions actions)
{
    if (exchange_ == nullptr || editing()) {
        QTreeView::startDrag(actions);
        return;
    }
    exchange_->start_drag();
}

void cell_list::dragEnterEvent(QDragEnterEvent* event)
{
    if (exchange_ != nullptr)
        exchange_->drag_enter(event);
    else
        QTreeView::dragEnterEvent(event);
}

void cell_list::dragMoveEvent(QDragMoveEvent* event)
{
    if (exchange_ != nullptr)
        exchange_->drag_move(event);
    else
        QTreeView::dragMoveEvent(event);
}

void cell_list::dragLeaveEvent(QDragLeaveEvent* event)
{
    if (exchange_ != nullptr)
        exchange_->drag_leave(event);
    else
        QTreeView::dragLeaveEvent(event);
}

void cell_list::dropEvent(QDropEvent* event)
{
    if (exchange_ != nullptr)
        exchange_->drop(event);
    else
        QTreeView::dropEvent(event);
}

}  // namespace qm::ui
