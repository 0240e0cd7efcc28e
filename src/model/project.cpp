#include "model/project.h"

#include <tuple>

namespace qm::model {

bool project::same_columns(const project& o) const
{
    return std::tie(id, name, description, finished, deadline, units, status, role, type, folder_type, priority_value,
                    parent) == std::tie(o.id, o.name, o.description, o.finished, o.deadline, o.units, o.status, o.role,
                                        o.type, o.folder_type, o.priority_value, o.parent);
}

QString project_caption(const project& p) { return p.name.isEmpty() ? QStringLiteral("untitled") : p.name; }

QString project_label(const project& p)
{
    const QString text = project_caption(p);
    QString label = QStringLiteral("project: ") + text.left(30);
    if (text.size() > 30)
        label += QStringLiteral("...");
    return label;
}

double project_progress(const project_statistics& s)
{
    if (s.total_estimate > 0)
        return double(s.total_estimate - s.total_time_left) / double(s.total_estimate);
    if (s.total_impact != 0)
        return double(s.finished_impact) / double(s.total_impact);
    if (s.task_count == 0)
        return 0.0;
    return double(s.per_status[3] + s.per_status[2]) / double(s.task_count);
}

}  // namespace qm::model
