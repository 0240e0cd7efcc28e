#include "ui/item_exchange.h"

#include "model/task_paste.h"
#include "store/announcements.h"
#include "ui/cell_list.h"
#include "ui/commands.h"

#include <QClipboard>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QStringList>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>

namespace qm::ui {

QString task_names(const model::task_store& tasks, const model::item_list& items)
{
    QStringList names;
    for (const model::item_descriptor& d : items)
        if (d.type == model::item_type::task)
            if (model::task_ptr t = tasks.find(d.id))
                names << t->name;
    return names.join(QLatin1Char('\n'));
}

namespace {

QClipboard* system_clipboard() { return QGuiApplication::clipboard(); }

QString mime_type() { return QString::fromLatin1(app::item_mime_type()); }

// The picture under the pointer while dragging: the first rows' names.
QPixmap drag_picture(const QWidget& list, const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const int more = static_cast<int>(lines.size()) - 5;
    if (more > 0) {
        lines = lines.mid(0, 5);
        lines << QStringLiteral("… and %1 more").arg(more);
    }
    const QFontMetrics fm(list.font());
    int width = 60;
    for (const QString& l : lines)
        width = std::max(width, fm.horizontalAdvance(l) + 16);
    width = std::min(width, 420);
    const int height = std::max(1, static_cast<int>(lines.size())) * fm.height() + 8;
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    QColor back = list.palette().color(QPalette::Highlight);
    back.setAlpha(200);
    p.setBrush(back);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(pixmap.rect(), 4, 4);
    p.setPen(list.palette().color(QPalette::HighlightedText));
    p.setFont(list.font());
    int y = 4 + fm.ascent();
    for (const QString& l : lines) {
        p.drawText(8, y, fm.elidedText(l, Qt::ElideRight, width - 16));
        y += fm.height();
    }
    return pixmap;
}

}  // namespace

// ---- the clipboard ----

item_clipboard::item_clipboard(QString database_path, const model::task_store& tasks, QObject* parent)
    : QObject(parent), database_path_(std::move(database_path)), tasks_(tasks)
{
    if (QClipboard* c = system_clipboard())
        connect(c, &QClipboard::dataChanged, this, &item_clipboard::rebuild_cut_set);
}

void item_clipboard::put(const model::item_list& items, bool cut, const QString& text)
{
    QClipboard* c = system_clipboard();
    if (c == nullptr)
        return;
    auto* data = new QMimeData;
    data->setData(mime_type(), app::write_clipboard_document(database_path_, items, cut).toUtf8());
    data->setText(text);
    c->setMimeData(data);
    // Some platforms tell of their own changes late or not at all.
    rebuild_cut_set();
}

bool item_clipboard::has_document() const
{
    const QClipboard* c = system_clipboard();
    const QMimeData* data = c != nullptr ? c->mimeData() : nullptr;
    return data != nullptr && data->hasFormat(mime_type());
}

app::clipboard_contents item_clipboard::document() const
{
    const QClipboard* c = system_clipboard();
    const QMimeData* data = c != nullptr ? c->mimeData() : nullptr;
    if (data == nullptr || !data->hasFormat(mime_type()))
        return {};
    return app::read_clipboard_document(QString::fromUtf8(data->data(mime_type())), database_path_);
}

bool item_clipboard::has_text() const
{
    const QClipboard* c = system_clipboard();
    const QMimeData* data = c != nullptr ? c->mimeData() : nullptr;
    return data != nullptr && data->hasText();
}

QString item_clipboard::text() const
{
    const QClipboard* c = system_clipboard();
    return c != nullptr ? c->text() : QString();
}

void item_clipboard::clear()
{
    if (QClipboard* c = system_clipboard())
        c->clear();
    rebuild_cut_set();
}

void item_clipboard::rebuild_cut_set()
{
    const bool was_empty = cut_.empty();
    cut_.clear();
    if (has_document()) {
        const app::clipboard_contents contents = document();
        cut_ = model::cut_set_of(tasks_, contents.items, contents.cut);
    }
    if (!was_empty || !cut_.empty()) {
        store::listeners().broadcast(store::message::cut_set_changed);
        emit cut_set_changed();
    }
}

QMimeData* item_clipboard::drag_data(const model::item_descriptor& focused, const model::item_list& items,
                                     const QString& text) const
{
    auto* data = new QMimeData;
    data->setData(mime_type(), app::write_drag_document(database_path_, focused, items).toUtf8());
    data->setText(text);
    return data;
}

bool item_clipboard::offers_items(const QMimeData* data) { return data != nullptr && data->hasFormat(mime_type()); }

app::drag_contents item_clipboard::read_drag(const QMimeData* data) const
{
    if (!offers_items(data))
        return {};
    return app::read_drag_document(QString::fromUtf8(data->data(mime_type())), database_path_);
}

// ---- one list ----

list_exchange::list_exchange(cell_list& list, exchange_owner& owner, item_clipboard& clipboard)
    : QObject(&list), list_(list), owner_(owner), clipboard_(clipboard)
{
    list_.set_exchange(this);
    connect(&clipboard_, &item_clipboard::cut_set_changed, this, [this] { list_.viewport()->update(); });
}

list_exchange::~list_exchange() = default;

bool list_exchange::can_handle(int id) const { return id == cmd::cut || id == cmd::copy || id == cmd::paste; }

bool list_exchange::handle_command(int id)
{
    switch (id) {
    case cmd::cut: copy(true); return true;
    case cmd::copy: copy(false); return true;
    case cmd::paste: paste(); return true;
    default: return false;
    }
}

void list_exchange::copy(bool cut)
{
    const model::item_list items = owner_.selected_items();
    if (items.empty())
        return;
    clipboard_.put(items, cut, owner_.items_text(items));
}

void list_exchange::paste()
{
    if (clipboard_.has_document()) {
        const app::clipboard_contents contents = clipboard_.document();
        if (contents.items.empty())
            return;  // another database's rows, or none readable
        received_items r;
        r.items = contents.items;
        r.cut = contents.cut;
        r.focused = owner_.focused_item();
        owner_.receive_items(r);
        // A cut is pasted once.
        if (contents.cut)
            clipboard_.clear();
        return;
    }
    if (clipboard_.has_text())
        owner_.receive_text(clipboard_.text());
}

bool list_exchange::is_cut_row(int row) const
{
    if (clipboard_.cut_set().empty())
        return false;
    const std::int32_t id = owner_.row_task(row);
    return id != 0 && clipboard_.is_cut(id);
}

int list_exchange::row_at(const QPoint& pos) const
{
    const QModelIndex index = list_.indexAt(pos);
    return index.isValid() ? index.row() : -1;
}

void list_exchange::start_drag()
{
    const model::item_list items = owner_.selected_items();
    if (items.empty())
        return;
    const QString text = owner_.items_text(items);
    auto* drag = new QDrag(&list_);
    drag->setMimeData(clipboard_.drag_data(owner_.focused_item(), items, text));
    drag->setPixmap(drag_picture(list_, text));
    drag->setHotSpot(QPoint(-12, -8));
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
}

namespace {

Qt::DropAction action_of(app::drop_effect e)
{
    switch (e) {
    case app::drop_effect::copy: return Qt::CopyAction;
    case app::drop_effect::move: return Qt::MoveAction;
    default: return Qt::IgnoreAction;
    }
}

app::drop_effect effect_of(const QDropEvent& e)
{
    return app::choose_drop_effect(item_clipboard::offers_items(e.mimeData()),
                                   (e.modifiers() & Qt::ControlModifier) != 0,
                                   (e.possibleActions() & Qt::CopyAction) != 0,
                                   (e.possibleActions() & Qt::MoveAction) != 0);
}

}  // namespace

void list_exchange::drag_enter(QDragEnterEvent* e)
{
    drag_move(e);
}

void list_exchange::drag_move(QDragMoveEvent* e)
{
    const app::drop_effect effect = effect_of(*e);
    if (effect == app::drop_effect::none) {
        e->ignore();
        return;
    }
    e->setDropAction(action_of(effect));
    e->accept();
    drag_over_ = true;
    drop_row_ = row_at(e->position().toPoint());
    list_.viewport()->update();
}

void list_exchange::drag_leave(QDragLeaveEvent* e)
{
    drag_over_ = false;
    list_.viewport()->update();
    e->accept();
}

void list_exchange::drop(QDropEvent* e)
{
    drag_over_ = false;
    list_.viewport()->update();
    const app::drop_effect effect = effect_of(*e);
    if (effect == app::drop_effect::none) {
        e->ignore();
        return;
    }
    e->setDropAction(action_of(effect));
    e->accept();
    const app::drag_contents contents = clipboard_.read_drag(e->mimeData());
    if (contents.items.empty())
        return;
    list_.setFocus();
    received_items r;
    r.items = contents.items;
    r.focused = contents.focused;
    r.drop = true;
    r.cut = effect == app::drop_effect::move;
    r.drop_row = row_at(e->position().toPoint());
    owner_.receive_items(r);
}

}  // namespace qm::ui
