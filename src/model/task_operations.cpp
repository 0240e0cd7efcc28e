#include "model/task_operations.h"

#include <climits>

namespace qm::model {

bool task_operations::set_day_priority(task& t, int priority)
{
    if (t.priority == priority)
        return false;
    const task before = t;
    t.priority = priority;
    store_.change(before, t);
    return true;
}

bool task_operations::push_to(task& t, bool top)
{
    if (!t.is_todo())
        return false;
    int best = t.priority_value;
    for (const task* o : store_.tasks_of_date(t.date)) {
        if (o->priority != t.priority || o->priority_value == 0 || o->is_finished())
            continue;
        best = top ? std::min(best, o->priority_value) : std::max(best, o->priority_value);
    }
    if (best == t.priority_value)
        return false;
    const task before = t;
    t.priority_value = best;
    store_.change(before, t);
    return true;
}

bool task_operations::push_to_top(task& t) { return push_to(t, true); }
bool task_operations::push_to_bottom(task& t) { return push_to(t, false); }

bool task_operations::make_top_priority(task& t)
{
    const bool moved = set_day_priority(t, day_priority::a);
    return push_to(t, true) || moved;
}

bool task_operations::set_status(task& t, int s, unsigned flags)
{
    if (t.status == s)
        return false;
    const task before = t;
    t.status = s;
    store_.change(before, t, flags);
    return true;
}

bool task_operations::set_date(task& t, time::stored_date date)
{
    date = time::date_of(date);
    if (t.date == date || t.is_folder())
        return false;  // a folder keeps the folder date
    const task before = t;
    t.date = date;
    store_.change(before, t);
    return true;
}

bool task_operations::convert_to_folder(task& t, int method)
{
    if (t.is_folder())
        return false;
    const task before = t;
    t.folder = method == folder_method::manual ? folder_method::manual : folder_method::roi;
    t.date = time::FOLDER_DATE;
    t.appointment = true;
    store_.change(before, t);
    return true;
}

bool task_operations::convert_to_task(task& t)
{
    if (!t.is_folder())
        return false;
    const task before = t;
    t.folder = folder_method::none;
    t.date = time::NO_DATE;
    t.appointment = false;
    t.priority_value = -1;
    store_.change(before, t);
    return true;
}

bool task_operations::set_folder_method(task& t, int method)
{
    if (t.project == 0)
        return false;
    task* target = nullptr;
    if (t.is_folder())
        target = &t;
    else if (t.parent == 0) {
        if (set_project_method)
            set_project_method(t.project, method);
        return true;
    } else {
        target = store_.parent_of(t);
    }
    if (target == nullptr || !target->is_folder() || target->folder == method)
        return false;
    const task before = *target;
    target->folder = method;
    store_.change(before, *target);
    return true;
}

std::vector<task*> task_operations::previously_uncompleted(int days) const
{
    const time::stored_date today = time::today();
    const time::stored_date first = time::add_days(today, -days);
    std::vector<task*> out;
    for (const task_ptr& t : store_.all()) {
        if (t->status != status::unfinished && t->status != status::waiting)
            continue;
        if (t->date < first || t->date >= today)
            continue;
        if (t->recurrence != 0) {
            bool has_today = false;
            for (const task* o : store_.tasks_of_date(today))
                if (o->recurrence == t->recurrence)
                    has_today = true;
            if (has_today)
                continue;
        }
        out.push_back(t.get());
    }
    return out;
}

int task_operations::pull_previously_uncompleted(int days)
{
    int moved = 0;
    const time::stored_date today = time::today();
    for (task* t : previously_uncompleted(days))
        moved += set_date(*t, today) ? 1 : 0;
    return moved;
}

QString task_operations::pull_description(int count, const QString& date_text)
{
    return QStringLiteral("moving %1 unfinished tasks to %2").arg(count).arg(date_text);
}

}  // namespace qm::model
