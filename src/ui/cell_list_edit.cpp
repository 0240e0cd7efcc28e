// Editing in the cell list: the editors of each kind, the commits to every
// target row, the popup editor of a hidden column, cell buttons, clickable
// columns and the right-click menu.

#include "ui/cell_list.h"

#include "ui/commands.h"

#include <QCompleter>
#include <QContextMenuEvent>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace qm::ui {

// ---- delegate ----

QWidget* cell_list_delegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const int column_id = list_.columns().columns[index.column()].id;
    if (list_.owner().editor_of(index.row(), column_id) == editor_kind::date_time) {
        auto* editor = new QDateTimeEdit(parent);
        editor->setCalendarPopup(true);
        if (!list_.date_edit_format().isEmpty())
            editor->setDisplayFormat(list_.date_edit_format());
        return editor;
    }
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    const QStringList suggestions = list_.owner().completions(index.row(), column_id);
    if (!suggestions.isEmpty()) {
        auto* completer = new QCompleter(suggestions, editor);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setFilterMode(Qt::MatchContains);
        editor->setCompleter(completer);
    }
    return editor;
}

void cell_list_delegate::setEditorData(QWidget* editor, const QModelIndex&) const
{
    if (auto* date = qobject_cast<QDateTimeEdit*>(editor)) {
        date->setDateTime(list_.initial_edit_date());
        return;
    }
    auto* line = static_cast<QLineEdit*>(editor);
    if (list_.appending_space()) {
        line->setText(list_.initial_edit_text() + QLatin1Char(' '));
        line->end(false);
        return;
    }
    line->setText(list_.initial_edit_text());
    line->selectAll();  // a typed character replaces the cell's text
}

void cell_list_delegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const
{
    if (auto* date = qobject_cast<QDateTimeEdit*>(editor))
        list_.finish_date_edit(index, date->dateTime());
    else
        list_.finish_edit(index, static_cast<QLineEdit*>(editor)->text());
}

void cell_list_delegate::paint(QPainter* painter, const QStyleOptionViewItem& given, const QModelIndex& index) const
{
    const int right = list_.heading_span_right(index, given.rect.right());
    if (right < 0)
        return;  // under the heading's text, which its own cell paints
    QStyleOptionViewItem option = given;
    option.rect.setRight(right);
    const int column_id = list_.columns().columns[index.column()].id;
    const QVector<cell_button> buttons = list_.owner().cell_buttons(index.row(), column_id);
    if (buttons.isEmpty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QVector<QRect> rects = cell_list::button_rects(option.rect, buttons, option.fontMetrics);
    QStyleOptionViewItem text_option = option;
    text_option.rect.setRight(rects.front().left() - 2);  // the text stops before the buttons
    QStyledItemDelegate::paint(painter, text_option, index);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < buttons.size(); ++i) {
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->setBrush(option.palette.color(QPalette::Button));
        painter->drawRoundedRect(rects[i], 3, 3);
        painter->setPen(option.palette.color(QPalette::ButtonText));
        painter->drawText(rects[i], Qt::AlignCenter, buttons[i].text);
    }
    painter->restore();
}

// ---- editing ----

QVector<QRect> cell_list::button_rects(const QRect& cell, const QVector<cell_button>& buttons, const QFontMetrics& fm)
{
    QVector<QRect> rects(buttons.size());
    int right = cell.right() - 2;
    for (int i = static_cast<int>(buttons.size()) - 1; i >= 0; --i) {
        const int width = fm.horizontalAdvance(buttons[i].text) + 10;
        rects[i] = QRect(right - width + 1, cell.top() + 2, width, std::max(4, cell.height() - 4));
        right -= width + 2;
    }
    return rects;
}

bool cell_list::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (!index.isValid() || (style_ & list_style::read_only) || editing())
        return QTreeView::edit(index, trigger, event);
    if (trigger == QAbstractItemView::SelectedClicked || trigger == QAbstractItemView::CurrentChanged)
        return false;
    QModelIndex target = index;
    // With whole-row focus, typing edits the name, whatever cell has the cursor.
    if ((style_ & list_style::whole_row_focus) && trigger == QAbstractItemView::AnyKeyPressed && name_column_ >= 0)
        target = model_->index(index.row(), columns_.index_of(name_column_));
    const int column_id = columns_.columns[target.column()].id;
    const int kind = owner_.editor_of(target.row(), column_id);
    if (kind == editor_kind::none)
        return false;
    if (trigger == QAbstractItemView::AnyKeyPressed && event != nullptr && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        // Control characters never start editing.
        if (text.isEmpty() || text[0].unicode() < 32 || text[0].unicode() == 127)
            return false;
    }
    switch (kind) {
    case editor_kind::text: {
        QString initial;
        if (!owner_.begin_text_edit(target.row(), column_id, initial))
            return false;
        initial_text_ = initial;
        break;
    }
    case editor_kind::date_time: {
        QDateTime value;
        QString format;
        if (!owner_.begin_date_edit(target.row(), column_id, value, format))
            return false;
        initial_date_ = value;
        date_format_ = format;
        break;
    }
    case editor_kind::custom:
        owner_.custom_edit(target.row(), column_id);
        return false;
    default:
        return false;
    }
    if (target != index)
        setCurrentIndex(target);
    return QTreeView::edit(target, trigger, event);
}

void cell_list::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTreeView::closeEditor(editor, hint);
    emit editor_closed();
}

bool cell_list::edit_cell(int row, int column_id)
{
    const int col = columns_.index_of(column_id);
    if (row < 0 || row >= owner_.row_count() || col < 0)
        return false;
    if (!columns_.columns[col].visible)
        return popup_edit(row, column_id);
    const QModelIndex index = model_->index(row, col);
    setCurrentIndex(index);
    return edit(index, QAbstractItemView::EditKeyPressed, nullptr);
}

void cell_list::commit_to_targets(int row, int column_id, const std::function<int(int)>& commit)
{
    QVector<int> targets;
    if (style_ & list_style::focus_row_commit)
        targets << row;
    else {
        targets = selected_rows();
        if (!targets.contains(row))
            targets = {row};
    }
    owner_.begin_commits(targets.size());
    for (int target : targets) {
        if (owner_.editor_of(target, column_id) == editor_kind::none)
            continue;
        const int answer = commit(target);
        if (answer == 1 || answer == 2)
            break;
    }
    owner_.end_commits(targets.size());
}

void cell_list::finish_edit(const QModelIndex& index, const QString& text)
{
    const int column_id = columns_.columns[index.column()].id;
    if (text == initial_text_) {
        owner_.edit_unchanged(index.row(), column_id);
        return;
    }
    const QString value = text.trimmed();
    commit_to_targets(index.row(), column_id, [&](int row) { return owner_.commit_text(row, column_id, value); });
}

void cell_list::finish_date_edit(const QModelIndex& index, const QDateTime& value)
{
    const int column_id = columns_.columns[index.column()].id;
    if (value == initial_date_) {
        owner_.edit_unchanged(index.row(), column_id);
        return;
    }
    commit_to_targets(index.row(), column_id, [&](int row) { return owner_.commit_date(row, column_id, value); });
}

bool cell_list::popup_edit(int row, int column_id)
{
    if ((style_ & list_style::read_only) || editing() || owner_.editor_of(row, column_id) != editor_kind::text)
        return false;
    QString initial;
    if (!owner_.begin_text_edit(row, column_id, initial))
        return false;
    initial_text_ = initial;
    popup_row_ = row;
    popup_column_ = column_id;
    const int col = columns_.index_of(column_id);

    auto* popup = new QLineEdit(this);
    popup->setWindowFlags(Qt::Popup);
    popup->setPlaceholderText(columns_.columns[col].title);
    popup->setToolTip(columns_.columns[col].title);
    popup->setText(initial);
    popup->selectAll();
    popup->installEventFilter(this);
    // Under the row, as wide as a date or a short text needs.
    const QVector<int> order = columns_.display_order();
    const QRect cell = visualRect(model_->index(row, order.isEmpty() ? 0 : order.front()));
    const QPoint at = viewport()->mapToGlobal(QPoint(std::max(0, cell.left()), cell.bottom() + 1));
    popup->resize(std::max(220, fontMetrics().horizontalAdvance(initial) + 40), popup->sizeHint().height());
    popup->move(at);
    popup_ = popup;
    popup->show();
    popup->setFocus(Qt::PopupFocusReason);
    return true;
}

void cell_list::finish_popup(bool keep)
{
    QLineEdit* popup = popup_;
    if (popup == nullptr)
        return;
    popup_ = nullptr;  // first: closing the popup comes back here
    popup->removeEventFilter(this);
    const QString text = popup->text();
    popup->hide();
    popup->deleteLater();
    const int row = popup_row_;
    if (row >= 0 && row < owner_.row_count()) {
        const QModelIndex index = model_->index(row, columns_.index_of(popup_column_));
        if (keep)
            finish_edit(index, text);
        else
            owner_.edit_unchanged(row, popup_column_);
    }
    setFocus();
    emit editor_closed();
}

void cell_list::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || event->button() != Qt::LeftButton) {
        QTreeView::mousePressEvent(event);
        return;
    }
    const int column_id = columns_.columns[index.column()].id;
    const QVector<cell_button> buttons = owner_.cell_buttons(index.row(), column_id);
    if (!buttons.isEmpty()) {
        const QVector<QRect> rects = button_rects(visualRect(index), buttons, fontMetrics());
        for (int i = 0; i < buttons.size(); ++i)
            if (rects[i].contains(event->position().toPoint())) {
                owner_.cell_button_clicked(index.row(), column_id, buttons[i].command);  // nothing else changes
                return;
            }
    }
    QTreeView::mousePressEvent(event);
    if (owner_.column_clickable(column_id) && !editing())
        owner_.cell_clicked(index.row(), column_id, event->modifiers());
}

void cell_list::contextMenuEvent(QContextMenuEvent* event)
{
    if (style_ & list_style::read_only)
        return;
    const QModelIndex index = indexAt(viewport()->mapFrom(this, event->pos()));
    if (index.isValid() && !selectionModel()->isRowSelected(index.row(), QModelIndex()))
        set_focus_cell(index.row(), columns_.columns[index.column()].id);
    QMenu menu(this);
    if (!(style_ & list_style::no_right_click_add))
        menu.addAction(QStringLiteral("&Add Item"), this, [this] { add_row(true); });
    if (index.isValid()) {
        if (name_column_ >= 0)
            menu.addAction(QStringLiteral("Rena&me"), this, [this] { handle_command(cmd::rename); });
        if (!(style_ & list_style::no_delete_key))
            menu.addAction(QStringLiteral("&Delete"), this, [this] { owner_.list_command(cmd::delete_); });
    }
    if (!menu.isEmpty())
        menu.exec(event->globalPos());
}

}  // namespace qm::ui
