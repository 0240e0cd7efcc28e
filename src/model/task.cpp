#include "model/task.h"

#include <tuple>

namespace qm::model {

bool task::same_columns(const task& o) const
{
    return std::tie(id, parent, folder, name, description, deadline, units, status, role, date, appointment_start,
                    appointment_duration, appointment, estimate, original_estimate, splittable, project, priority,
                    priority_value, project_priority, recurrence, cost, project_priority_value, crisis_index) ==
           std::tie(o.id, o.parent, o.folder, o.name, o.description, o.deadline, o.units, o.status, o.role, o.date,
                    o.appointment_start, o.appointment_duration, o.appointment, o.estimate, o.original_estimate,
                    o.splittable, o.project, o.priority, o.priority_value, o.project_priority, o.recurrence, o.cost,
                    o.project_priority_value, o.crisis_index);
}

QString status_text(int s, bool capitalised)
{
    static const char* const names[] = {"unfinished", "delegated", "canceled", "finished", "waiting"};
    QString text = s >= 0 && s <= 4 ? QLatin1String(names[s]) : QLatin1String("unfinished");
    if (capitalised)
        text[0] = text[0].toUpper();
    return text;
}

int status_from_text(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return -1;
    switch (t[0].toUpper().unicode()) {
    case u'U': return status::unfinished;
    case u'D': return status::delegated;
    case u'C': return status::canceled;
    case u'F': return status::finished;
    case u'W': return status::waiting;
    default: return -1;
    }
}

}  // namespace qm::model
