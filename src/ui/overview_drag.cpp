#include "ui/overview_drag.h"

#include "ui/overview_view.h"

#include <QApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace qm::ui {
namespace {

QVector<int> rows_with(const cell_list& list, int row)
{
    QVector<int> rows = list.selected_rows();
    // A press on a row outside the selection drags that row alone.
    if (!rows.contains(row))
        rows = {row};
    return rows;
}

// A small label that follows the pointer: what is being dragged.
QPixmap drag_label(const QString& text, const QFont& font)
{
    const QFontMetrics fm(font);
    QPixmap pixmap(fm.horizontalAdvance(text) + 12, fm.height() + 6);
    pixmap.fill(QColor(255, 255, 225));
    QPainter p(&pixmap);
    p.setFont(font);
    p.setPen(QColor(90, 90, 90));
    p.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    p.setPen(Qt::black);
    p.drawText(pixmap.rect(), Qt::AlignCenter, text);
    return pixmap;
}

}  // namespace

overview_drag::overview_drag(overview_view& view, const model::role_store& roles, history::role_commands& commands)
    : view_(view), roles_(roles), commands_(commands)
{
    for (cell_list* list : {&view_.roles_list(), &view_.values().list()}) {
        // With dragging on, a press on a selected row keeps the selection,
        // so that several rows can be dragged at once.
        list->setDragEnabled(true);
        list->viewport()->installEventFilter(this);
    }
    view_.roles_list().viewport()->setAcceptDrops(true);
}

overview_drag::~overview_drag() = default;

const QString& overview_drag::mime_type()
{
    static const QString type = QStringLiteral("application/x-quillmere-overview-rows");
    return type;
}

std::unique_ptr<QMimeData> overview_drag::make_data(bool roles, const std::vector<std::int32_t>& ids)
{
    if (ids.empty())
        return nullptr;
    QStringList words = {roles ? QStringLiteral("roles") : QStringLiteral("values")};
    for (std::int32_t id : ids)
        words << QString::number(id);
    auto data = std::make_unique<QMimeData>();
    data->setData(mime_type(), words.join(QLatin1Char(' ')).toUtf8());
    return data;
}

bool overview_drag::read(const QMimeData& data, payload& out)
{
    if (!data.hasFormat(mime_type()))
        return false;
    const QStringList words = QString::fromUtf8(data.data(mime_type())).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty() || (words[0] != QLatin1String("roles") && words[0] != QLatin1String("values")))
        return false;
    out.roles = words[0] == QLatin1String("roles");
    out.ids.clear();
    for (int i = 1; i < words.size(); ++i) {
        bool ok = false;
        const int id = words[i].toInt(&ok);
        if (ok && id > 0)
            out.ids.push_back(id);
    }
    return !out.ids.empty();
}

std::unique_ptr<QMimeData> overview_drag::roles_list_data(int row) const
{
    const overview_view::row_item* pressed = view_.item_at(row);
    if (pressed == nullptr || pressed->kind == 0)
        return nullptr;  // a life area is not dragged anywhere
    const bool roles = pressed->kind == 1;
    std::vector<std::int32_t> ids;
    for (int r : rows_with(view_.roles_list(), row))
        if (const overview_view::row_item* it = view_.item_at(r))
            if ((roles && it->kind == 1) || (!roles && it->kind == 2))
                if (std::find(ids.begin(), ids.end(), it->id) == ids.end())
                    ids.push_back(it->id);
    return make_data(roles, ids);
}

std::unique_ptr<QMimeData> overview_drag::values_list_data(int row) const
{
    std::vector<std::int32_t> ids;
    for (int r : rows_with(view_.values().list(), row))
        if (std::int32_t id = view_.values().value_at(r))
            ids.push_back(id);
    return make_data(false, ids);
}

std::int32_t overview_drag::target_of(const payload& p, int row) const
{
    const overview_view::row_item* it = view_.item_at(row);
    if (it == nullptr)
        return 0;
    if (!p.roles)  // values go to the role of the row, never to a life area
        return it->kind == 1 ? it->id : it->kind == 2 ? it->role : 0;
    if (it->kind == 0)
        return it->id;
    // Onto a role: into the life area that role belongs to, if any.
    const store::role_record& role = roles_.find(it->kind == 1 ? it->id : it->role);
    const store::role_record& area = roles_.find(role.parent);
    return model::role_store::is_life_area(area) ? area.id : 0;
}

Qt::DropAction overview_drag::drop_action(const QMimeData& data, int row) const
{
    payload p;
    if (!read(data, p) || target_of(p, row) == 0)
        return Qt::IgnoreAction;
    // Roles move into the life area; values are copied into the role's list.
    return p.roles ? Qt::MoveAction : Qt::CopyAction;
}

bool overview_drag::drop(const QMimeData& data, int row)
{
    payload p;
    if (!read(data, p))
        return false;
    const std::int32_t target = target_of(p, row);
    if (target == 0)
        return false;
    const bool changed = p.roles ? commands_.associate(p.ids, target) : commands_.add_values_to_role(target, p.ids);
    if (!changed)
        view_.report(p.roles ? QStringLiteral("Those roles already belong to that life area.")
                             : QStringLiteral("That role already holds those values."));
    return changed;
}

void overview_drag::start(cell_list& list, int row)
{
    std::unique_ptr<QMimeData> data =
        &list == &view_.roles_list() ? roles_list_data(row) : values_list_data(row);
    if (!data)
        return;
    payload p;
    read(*data, p);
    const int n = static_cast<int>(p.ids.size());
    const QString what = p.roles ? (n == 1 ? QStringLiteral("1 role") : QStringLiteral("%1 roles").arg(n))
                                 : (n == 1 ? QStringLiteral("1 value") : QStringLiteral("%1 values").arg(n));
    auto* drag = new QDrag(&list);
    drag->setMimeData(data.release());
    drag->setPixmap(drag_label(what, list.font()));
    drag->setHotSpot(QPoint(-12, -4));
    drag->exec(Qt::MoveAction | Qt::CopyAction, p.roles ? Qt::MoveAction : Qt::CopyAction);
}

bool overview_drag::eventFilter(QObject* watched, QEvent* event)
{
    cell_list* list = nullptr;
    for (cell_list* l : {&view_.roles_list(), &view_.values().list()})
        if (watched == l->viewport())
            list = l;
    if (list == nullptr)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton && !list->editing()) {
            pressed_list_ = list;
            press_at_ = e->position().toPoint();
        }
        break;
    }
    case QEvent::MouseButtonRelease: pressed_list_ = nullptr; break;
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (pressed_list_ != list || !(e->buttons() & Qt::LeftButton))
            break;
        if ((e->position().toPoint() - press_at_).manhattanLength() < QApplication::startDragDistance())
            return true;  // not a drag yet, and no rubber band either
        const int row = list->indexAt(press_at_).row();
        pressed_list_ = nullptr;
        if (row >= 0)
            start(*list, row);
        return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDragMoveEvent*>(event);
        if (list != &view_.roles_list() || !e->mimeData()->hasFormat(mime_type())) {
            e->ignore();
            return true;
        }
        const int row = list->indexAt(e->position().toPoint()).row();
        const Qt::DropAction action = drop_action(*e->mimeData(), row);
        if (event->type() == QEvent::DragEnter) {
            // Entering is accepted, so that the moves over the rows are heard.
            e->acceptProposedAction();
            if (action == Qt::IgnoreAction)
                e->setDropAction(Qt::IgnoreAction);
            return true;
        }
        if (action == Qt::IgnoreAction) {
            e->ignore();
        } else {
            e->setDropAction(action);
            e->accept();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        if (list != &view_.roles_list() || !e->mimeData()->hasFormat(mime_type())) {
            e->ignore();
            return true;
        }
        const int row = list->indexAt(e->position().toPoint()).row();
        const Qt::DropAction action = drop_action(*e->mimeData(), row);
        if (action != Qt::IgnoreAction && drop(*e->mimeData(), row)) {
            e->setDropAction(action);
            e->accept();
        } else {
            e->ignore();
        }
        return true;
    }
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qm::ui
