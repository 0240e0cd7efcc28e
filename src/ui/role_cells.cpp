#include "ui/role_cells.h"

#include "ui/overview_view.h"

namespace qm::ui {

QColor role_cells::foreground(const model::task_store& store, const model::task& t) const
{
    const store::role_record& r = roles.find(store.effective_role(t));
    return r.id == 0 ? QColor() : stored_color(r.foreground_color);
}

QColor role_cells::background(const model::task_store& store, const model::task& t) const
{
    const store::role_record& r = roles.find(store.effective_role(t));
    return r.id == 0 ? QColor() : stored_color(r.background_color);
}

QStringList role_cells::role_names() const
{
    QStringList out;
    for (const auto& r : roles.roles())
        out << r->name;
    return out;
}

std::int32_t role_cells::role_by_name(const QString& text) const
{
    const QString name = text.trimmed();
    if (name.isEmpty() || name.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        return 0;
    for (const auto& r : roles.roles())
        if (r->name.compare(name, Qt::CaseInsensitive) == 0)
            return r->id;
    return -1;
}

bool role_cells::commit_role(history::task_commands& commands, const std::vector<model::task*>& tasks,
                             const QString& text, const std::function<void(const QString&)>& report) const
{
    const std::int32_t id = role_by_name(text);
    if (id < 0) {
        report(QStringLiteral("There is no role named \"%1\": add it in the Overview first.").arg(text.trimmed()));
        return false;
    }
    for (model::task* t : tasks)
        commands.modify(*t, [id](model::task& x) { x.role = id; });
    return true;
}

}  // namespace qm::ui
