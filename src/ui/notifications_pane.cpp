#include "ui/notifications_pane.h"

#include "time/format.h"
#include "ui/alarm_service.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

namespace qm::ui {
namespace {

using tracking::Alarm;

constexpr int role_kind = Qt::UserRole;
constexpr int role_id = Qt::UserRole + 1;

// A to-do's schedule-before time, 0 read as 86400; -1 for none.
std::int32_t before_time(const model::task& t)
{
    if (t.appointment || t.appointment_duration < 0)
        return -1;
    return t.appointment_duration == 0 ? 86400 : t.appointment_duration;
}

}  // namespace

notifications_pane::notifications_pane(model::task_store& tasks, alarm_service& alarms,
                                       history::task_commands& commands, history::history& history, QWidget* parent)
    : QWidget(parent), tasks_(tasks), alarms_(alarms), commands_(commands), history_(history), date_(time::today())
{
    setObjectName(QStringLiteral("notifications_pane"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("notifications"));
    tree_->setColumnCount(3);
    tree_->setHeaderLabels({QStringLiteral("Notification"), QStringLiteral("When"), QStringLiteral("Countdown")});
    tree_->setRootIsDecorated(false);
    tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    // Widths from the font instead of the contents: a countdown that ticks
    // every second neither makes the columns jump nor measures every row.
    tree_->setUniformRowHeights(true);
    const QFontMetrics fm = tree_->fontMetrics();
    tree_->header()->setSectionResizeMode(1, QHeaderView::Interactive);
    tree_->header()->setSectionResizeMode(2, QHeaderView::Interactive);
    tree_->header()->resizeSection(1, fm.horizontalAdvance(QStringLiteral("on Wed 12/31 at 12:00 PM")) + 16);
    tree_->header()->resizeSection(2, fm.horizontalAdvance(QStringLiteral("In 999h 59m")) + 16);
    layout->addWidget(tree_);
    setFocusProxy(tree_);
    tree_->installEventFilter(this);
    connect(tree_, &QWidget::customContextMenuRequested, this, &notifications_pane::context_menu);
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (row_of(item).kind == alarm_row)
            properties_of_selected();
    });
    connect(&repaint_, &QTimer::timeout, this, [this] {
        if (isVisible())
            repaint_rows();
    });
    repaint_.start(1000);
    store::listeners().add(this);
    rebuild();
}

notifications_pane::~notifications_pane() { store::listeners().remove(this); }

void notifications_pane::set_date(time::stored_date d)
{
    // The Day view passes its date on every refresh; changes of the rows
    // themselves come through the announcements.
    const time::stored_date date = time::date_of(d);
    if (date == date_)
        return;
    date_ = date;
    if (isVisible())
        rebuild();
    else
        rebuild_pending_ = true;
}

notifications_pane::row notifications_pane::row_of(const QTreeWidgetItem* item)
{
    if (item == nullptr)
        return {};
    return {item->data(0, role_kind).toInt(), item->data(0, role_id).toInt()};
}

model::task_ptr notifications_pane::task_of(const row& r) const
{
    if (r.kind == deadline_row || r.kind == constraint_row)
        return tasks_.find(r.id);
    if (r.kind == alarm_row)
        if (const tracking::alarm_ptr a = alarms_.store().find(r.id); a && tracking::is_task_alarm(*a))
            return tasks_.find(a->attached);
    return nullptr;
}

std::optional<time::stored_time> notifications_pane::due_of(const row& r) const
{
    if (r.kind == alarm_row) {
        const tracking::alarm_ptr a = alarms_.store().find(r.id);
        return a ? tracking::due_time(*a, tasks_) : std::nullopt;
    }
    const model::task_ptr t = task_of(r);
    if (!t)
        return std::nullopt;
    if (r.kind == deadline_row)
        return t->deadline;
    if (r.kind == constraint_row)
        return t->date + before_time(*t);
    return std::nullopt;
}

void notifications_pane::rebuild()
{
    rebuild_pending_ = false;
    const std::vector<row> selected = selected_rows();
    std::vector<row> deadlines, constraints, alarm_rows;
    if (deadline_date_ != date_) {
        deadline_ids_.clear();
        for (const model::task* t : tasks_.tasks_with_deadline())
            if (time::date_of(t->deadline) == date_)
                deadline_ids_.push_back(t->id);
        deadline_date_ = date_;
    }
    for (std::int32_t id : deadline_ids_)
        if (const model::task_ptr t = tasks_.find(id); t && t->deadline != 0 && time::date_of(t->deadline) == date_)
            deadlines.push_back({deadline_row, t->id});
    for (const model::task* t : tasks_.tasks_of_date(date_))
        if (before_time(*t) >= 0 && t->status != model::status::finished && t->status != model::status::canceled)
            constraints.push_back({constraint_row, t->id});
    for (const tracking::alarm_ptr& a : alarms_.store().stored()) {
        if (a->attached_type >= 16)
            continue;
        bool listed = false;
        if (tracking::category(a->attached_type) == 1)
            if (const model::task_ptr t = tasks_.find(a->attached); t && t->date == date_)
                listed = true;
        if (!listed)
            if (const std::optional<time::stored_time> due = tracking::due_time(*a, tasks_))
                listed = *due > date_ && *due <= date_ + time::seconds_per_day;
        if (listed)
            alarm_rows.push_back({alarm_row, a->id});
    }
    auto before = [this](const row& x, const row& y) {
        const auto dx = due_of(x), dy = due_of(y);
        if (dx.has_value() != dy.has_value())
            return dx.has_value();
        if (dx && *dx != *dy)
            return *dx < *dy;
        const model::task_ptr tx = task_of(x), ty = task_of(y);
        if (tx && ty) {
            if (tx->priority != ty->priority)
                return tx->priority < ty->priority;
            return tx->priority_value < ty->priority_value;
        }
        return tx != nullptr && ty == nullptr;
    };
    for (auto* list : {&alarm_rows, &deadlines, &constraints})
        std::stable_sort(list->begin(), list->end(), before);

    // Most changes leave the same rows: their texts are brought up to date
    // in place, which keeps the selection, the scroll position and the
    // column widths without laying out every row again.
    std::vector<row> wanted;
    for (const auto& [group, list] : {std::pair<int, const std::vector<row>*>{30, &alarm_rows},
                                      {20, &deadlines},
                                      {40, &constraints}}) {
        wanted.push_back({header_row, group});
        wanted.insert(wanted.end(), list->begin(), list->end());
    }
    if (wanted == rows()) {
        repaint_rows();
        return;
    }
    tree_->clear();
    auto add_group = [this](int group, const QString& title, const std::vector<row>& rows) {
        auto* header = new QTreeWidgetItem(tree_, {title});
        header->setData(0, role_kind, header_row);
        header->setData(0, role_id, group);
        QFont f = header->font(0);
        f.setBold(true);
        header->setFont(0, f);
        header->setFlags(Qt::ItemIsEnabled);
        header->setFirstColumnSpanned(true);
        for (const row& r : rows) {
            auto* item = new QTreeWidgetItem(tree_);
            item->setData(0, role_kind, r.kind);
            item->setData(0, role_id, r.id);
        }
    };
    add_group(30, QStringLiteral("Alarms"), alarm_rows);
    add_group(20, QStringLiteral("Deadlines"), deadlines);
    add_group(40, QStringLiteral("Constraints"), constraints);
    repaint_rows();
    for (const row& r : selected)
        select(r);
}

notifications_pane::texts notifications_pane::texts_of(const row& r) const
{
    texts out;
    const time::stored_time now = time::now();
    if (r.kind == header_row) {
        out.title = r.id == 30 ? QStringLiteral("Alarms") : r.id == 20 ? QStringLiteral("Deadlines") : QStringLiteral("Constraints");
        return out;
    }
    if (r.kind == alarm_row) {
        const tracking::alarm_ptr a = alarms_.store().find(r.id);
        if (!a)
            return out;
        const QString subject = tracking::alarm_subject(*a, tasks_);
        out.title = QStringLiteral("Alarm");
        if (!subject.isEmpty())
            out.title += QStringLiteral(": ") + subject;
        if (const model::task_ptr t = task_of(r)) {
            out.title += QStringLiteral(" for task");
            if (!t->name.isEmpty())
                out.title += QStringLiteral(": ") + t->name;
        }
        out.second = tracking::trigger_description(*a, 6, now);
        const QString c = tracking::countdown_text(*a, tasks_, now, true);
        if (c != QStringLiteral("N/A")) {
            out.countdown = c;
            out.seconds_left = tracking::countdown_seconds(*a, tasks_, now);
        }
        return out;
    }
    const model::task_ptr t = task_of(r);
    if (!t)
        return out;
    if (r.kind == deadline_row) {
        out.title = QStringLiteral("Deadline for task");
        if (!t->name.isEmpty())
            out.title += QStringLiteral(": ") + t->name;
        const std::int64_t tod = t->deadline - time::date_of(t->deadline);
        out.second = QStringLiteral("By ") + (tod == 0 ? QStringLiteral("midnight") : time::format_time_of_day(tod));
        out.seconds_left = t->deadline - now;
    } else {
        out.title = t->name.isEmpty() ? QStringLiteral("Schedule task") : QStringLiteral("Schedule: ") + t->name;
        const std::int32_t before = before_time(*t);
        out.second = QStringLiteral("Before ") +
                     (before >= 86400 ? QStringLiteral("Tomorrow") : time::format_time_of_day(before));
        // Counted to today's instance of the time, whatever the date shown.
        out.seconds_left = time::today() + before - now;
    }
    out.countdown = time::format_duration(std::llabs(*out.seconds_left));
    return out;
}

QString notifications_pane::text_of(const row& r, int column) const
{
    const texts t = texts_of(r);
    if (column == 0)
        return t.title;
    if (column == 1)
        return t.second;
    if (t.countdown.isEmpty() || !t.seconds_left)
        return QString();
    return *t.seconds_left >= 0 ? QStringLiteral("In ") + t.countdown : t.countdown + QStringLiteral(" ago");
}

QColor notifications_pane::countdown_color(std::int64_t c)
{
    static const int stops[5][3] = {{255, 0, 0}, {255, 192, 0}, {255, 250, 50}, {200, 255, 0}, {80, 215, 0}};
    const std::int64_t s = c > 0 ? c : 0;
    const int h = static_cast<int>(std::min<std::int64_t>(s / 3600, 3));
    const double f = s < 14400 ? static_cast<double>(s % 3600) / 3600.0 : 1.0;
    const int p = static_cast<int>(f * 100);
    int rgb[3];
    for (int i = 0; i < 3; ++i)
        rgb[i] = stops[h][i] + (stops[h + 1][i] - stops[h][i]) * p / 100;
    return QColor(rgb[0], rgb[1], rgb[2]);
}

QColor notifications_pane::countdown_color(const row& r) const
{
    const texts t = texts_of(r);
    return t.seconds_left ? countdown_color(*t.seconds_left) : QColor();
}

void notifications_pane::repaint_rows()
{
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tree_->topLevelItem(i);
        const row r = row_of(item);
        const texts t = texts_of(r);
        item->setText(0, t.title);
        if (r.kind == header_row)
            continue;
        item->setText(1, t.second);
        item->setText(2, text_of(r, 2));
        if (t.seconds_left) {
            const QColor c = countdown_color(*t.seconds_left);
            item->setBackground(2, c);
            item->setForeground(2, QColor(40, 40, 40));
        } else {
            item->setBackground(2, QBrush());
        }
    }
}

std::vector<notifications_pane::row> notifications_pane::rows() const
{
    std::vector<row> out;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i)
        out.push_back(row_of(tree_->topLevelItem(i)));
    return out;
}

std::vector<notifications_pane::row> notifications_pane::selected_rows() const
{
    std::vector<row> out;
    for (QTreeWidgetItem* item : tree_->selectedItems())
        if (const row r = row_of(item); r.kind != header_row && r.kind != 0)
            out.push_back(r);
    return out;
}

void notifications_pane::select(const row& r)
{
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tree_->topLevelItem(i);
        const row x = row_of(item);
        if (x.kind == r.kind && x.id == r.id) {
            tree_->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
            item->setSelected(true);
        }
    }
}

void notifications_pane::remove_selected()
{
    const std::vector<row> selected = selected_rows();
    if (selected.empty())
        return;
    const bool grouped = selected.size() > 1;
    if (grouped)
        history_.begin_group(QStringLiteral("removing notifications"));
    for (const row& r : selected) {
        if (r.kind == alarm_row) {
            alarms_.store().delete_alarm(r.id);
        } else if (model::task_ptr t = task_of(r)) {
            if (r.kind == deadline_row)
                commands_.modify(*t, [](model::task& x) { x.deadline = 0; });
            else
                commands_.modify(*t, [](model::task& x) { x.appointment_duration = -1; });
        }
    }
    if (grouped)
        history_.end_group();
}

void notifications_pane::properties_of_selected()
{
    const std::vector<row> selected = selected_rows();
    if (selected.size() != 1 || selected[0].kind != alarm_row)
        return;
    if (alarms_.edit_alarm(selected[0].id, window()))
        repaint_rows();
}

void notifications_pane::new_alarm()
{
    if (const std::int32_t id = alarms_.new_alarm(nullptr, window())) {
        rebuild();
        tree_->clearSelection();
        select({alarm_row, id});
    }
}

void notifications_pane::context_menu(const QPoint& at)
{
    QTreeWidgetItem* item = tree_->itemAt(at);
    const row r = row_of(item);
    if (item != nullptr && !item->isSelected() && r.kind != header_row) {
        tree_->clearSelection();
        item->setSelected(true);
        tree_->setCurrentItem(item);
    }
    QMenu menu(this);
    if (r.kind == alarm_row) {
        connect(menu.addAction(QStringLiteral("&Properties...")), &QAction::triggered, this,
                &notifications_pane::properties_of_selected);
        connect(menu.addAction(QStringLiteral("&Delete")), &QAction::triggered, this,
                &notifications_pane::remove_selected);
        menu.addSeparator();
        connect(menu.addAction(QStringLiteral("&New Alarm...")), &QAction::triggered, this,
                &notifications_pane::new_alarm);
    } else if (r.kind == deadline_row || r.kind == constraint_row) {
        connect(menu.addAction(QStringLiteral("&Remove")), &QAction::triggered, this,
                &notifications_pane::remove_selected);
    } else if (item == nullptr || (r.kind == header_row && r.id == 30)) {
        connect(menu.addAction(QStringLiteral("&New Alarm...")), &QAction::triggered, this,
                &notifications_pane::new_alarm);
    } else {
        return;
    }
    menu.exec(tree_->viewport()->mapToGlobal(at));
}

bool notifications_pane::eventFilter(QObject* o, QEvent* e)
{
    if (o == tree_ && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Delete) {
            remove_selected();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            properties_of_selected();
            return true;
        }
    }
    return QWidget::eventFilter(o, e);
}

void notifications_pane::schedule_rebuild()
{
    if (rebuild_pending_)
        return;
    rebuild_pending_ = true;
    // A hidden pane catches up when it is shown: its deadline group reads
    // every task, which a change in a large file should not pay for.
    QTimer::singleShot(0, this, [this] {
        if (rebuild_pending_ && isVisible())
            rebuild();
    });
}

void notifications_pane::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (rebuild_pending_)
        rebuild();
    else
        repaint_rows();  // the countdowns stood still while hidden
}

bool notifications_pane::touches_day(const model::task& t) const
{
    return t.date == date_ || (t.deadline != 0 && time::date_of(t.deadline) == date_) || !t.alarms.empty();
}

void notifications_pane::note_deadline(std::int32_t id, const model::task* now)
{
    if (deadline_date_ != date_)
        return;  // read afresh at the next rebuild
    const bool listed = std::find(deadline_ids_.begin(), deadline_ids_.end(), id) != deadline_ids_.end();
    const bool due = now != nullptr && now->deadline != 0 && time::date_of(now->deadline) == date_;
    if (due && !listed)
        deadline_ids_.push_back(id);
    else if (!due && listed)
        deadline_ids_.erase(std::remove(deadline_ids_.begin(), deadline_ids_.end(), id), deadline_ids_.end());
}

long notifications_pane::on_announcement(const store::announcement& a)
{
    using namespace model::task_message;
    const int m = a.message;
    if (m == store::message::alarm_base + store::message::added ||
        m == store::message::alarm_base + store::message::about_to_change ||
        m == store::message::alarm_base + store::message::changed ||
        m == store::message::alarm_base + store::message::about_to_delete) {
        schedule_rebuild();
    } else if (m == added) {
        const model::task_ptr t = tasks_.find(static_cast<std::int32_t>(a.lparam));
        note_deadline(static_cast<std::int32_t>(a.lparam), t.get());
        batch_touches_day_ = batch_touches_day_ || (t && touches_day(*t));
    } else if (m == changed) {
        if (const auto* c = std::any_cast<model::task_change_payload>(&a.payload)) {
            note_deadline(static_cast<std::int32_t>(a.lparam), c->after);
            batch_touches_day_ = batch_touches_day_ || touches_day(c->before) || (c->after && touches_day(*c->after));
        } else {
            deadline_date_ = -1;
            batch_touches_day_ = true;
        }
    } else if (m == deleted) {
        const auto id = static_cast<std::int32_t>(a.lparam);
        note_deadline(id, nullptr);
        const std::vector<row> shown = rows();
        batch_touches_day_ = batch_touches_day_ || std::any_of(shown.begin(), shown.end(), [id](const row& r) {
                                 return r.kind != header_row && r.id == id;
                             });
        if (const auto* d = std::any_cast<model::task_deleted_payload>(&a.payload); d && d->date == date_)
            batch_touches_day_ = true;
    } else if (m == batch_ended) {
        if (batch_touches_day_)
            schedule_rebuild();
        batch_touches_day_ = false;
    }
    return 0;
}

}  // namespace qm::ui
