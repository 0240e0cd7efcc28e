#include "ui/calendar_task_list.h"

#include "history/task_description.h"
#include "time/format.h"
#include "ui/calendar_grid.h"

#include <QMimeData>

#include <algorithm>
#include <unordered_set>

namespace qm::ui {

calendar_task_list::calendar_task_list(model::task_store& tasks, QWidget* parent) : QListWidget(parent), tasks_(tasks)
{
    setObjectName(QStringLiteral("calendar_task_list"));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::MoveAction);
    setUniformItemSizes(true);
}

bool calendar_task_list::shows(const model::task& t, int filters)
{
    if (!t.is_todo())
        return false;
    if (t.status != model::status::unfinished && t.status != model::status::waiting &&
        !(filters & calendar_list_filter::finished))
        return false;
    return t.appointment_start < 0;  // a to-do with a schedule-after time has its place already
}

void calendar_task_list::show_date(time::stored_date date, int filters)
{
    const std::vector<std::int32_t> kept = selected_tasks();
    date_ = date;
    clear();
    std::vector<model::task*> day = tasks_.tasks_of_date(date);
    std::sort(day.begin(), day.end(), [](const model::task* a, const model::task* b) {
        return std::pair(a->priority, a->priority_value) < std::pair(b->priority, b->priority_value);
    });
    for (const model::task* t : day)
        if (shows(*t, filters))
            add_row(*t, false);
    if (filters & calendar_list_filter::undated) {
        std::vector<model::task*> undated = tasks_.tasks_of_date(time::NO_DATE);
        std::stable_sort(undated.begin(), undated.end(), [](const model::task* a, const model::task* b) {
            return a->name.localeAwareCompare(b->name) < 0;
        });
        for (const model::task* t : undated)
            if (shows(*t, filters))
                add_row(*t, true);
    }
    const std::unordered_set<std::int32_t> wanted(kept.begin(), kept.end());
    for (int r = 0; r < count(); ++r)
        if (wanted.count(task_at(r)) != 0)
            item(r)->setSelected(true);
}

void calendar_task_list::add_row(const model::task& t, bool undated)
{
    QString text = t.name.isEmpty() ? QStringLiteral("(unnamed task)") : t.name;
    QStringList facts;
    facts << history::priority_text(t);
    const std::int64_t estimate = tasks_.effective_estimate(t);
    if (estimate > 0)
        facts << time::format_duration(estimate);
    if (undated)
        facts << QStringLiteral("no date");
    auto* row = new QListWidgetItem(QStringLiteral("%1  (%2)").arg(text, facts.join(QStringLiteral(", "))), this);
    row->setData(Qt::UserRole, t.id);
    row->setToolTip(QStringLiteral("Drag onto the calendar to make it an appointment there; hold Ctrl while "
                                   "dropping to schedule it from that time on instead."));
    QFont f = row->font();
    f.setStrikeOut(t.status != model::status::unfinished && t.status != model::status::waiting);
    row->setFont(f);
}

std::int32_t calendar_task_list::task_at(int row) const
{
    const QListWidgetItem* it = item(row);
    return it != nullptr ? it->data(Qt::UserRole).toInt() : 0;
}

int calendar_task_list::row_of(std::int32_t task) const
{
    for (int r = 0; r < count(); ++r)
        if (task_at(r) == task)
            return r;
    return -1;
}

std::vector<std::int32_t> calendar_task_list::selected_tasks() const
{
    std::vector<std::int32_t> ids;
    for (int r = 0; r < count(); ++r)
        if (item(r)->isSelected())
            ids.push_back(task_at(r));
    return ids;
}

QStringList calendar_task_list::mimeTypes() const { return {QLatin1String(calendar_drag_mime())}; }

QMimeData* calendar_task_list::mimeData(const QList<QListWidgetItem*>& items) const
{
    QByteArray ids;
    for (const QListWidgetItem* it : items)
        ids += QByteArray::number(it->data(Qt::UserRole).toInt()) + '\n';
    auto* data = new QMimeData;
    data->setData(QLatin1String(calendar_drag_mime()), ids);
    return data;
}

}  // namespace qm::ui
