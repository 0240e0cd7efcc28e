#include "model/project_outline.h"

#include "model/project_order.h"

#include <QStringList>

#include <functional>
#include <unordered_set>

namespace qm::model {

QString status_mark(int s)
{
    switch (s) {
    case status::delegated: return QStringLiteral("[D] ");
    case status::canceled: return QStringLiteral("[C] ");
    case status::finished: return QStringLiteral("[X] ");
    case status::waiting: return QStringLiteral("[W] ");
    default: return QStringLiteral("[ ] ");
    }
}

QString outline_lines(const task& t, int level)
{
    const QString indent(std::max(0, level - 1), QLatin1Char('\t'));
    QString line = QStringLiteral("%1%2%3").arg(indent, status_mark(t.status), t.name);
    line += QStringLiteral(" /id:%1").arg(t.id);
    if (!t.tags.empty()) {
        QStringList names;
        for (const tag_ref& r : t.tags)
            names << r.name;
        line += QStringLiteral(" /tag:") + names.join(QStringLiteral(", "));
    }
    if (!t.description.isEmpty())
        for (const QString& piece : t.description.split(QLatin1Char('\n')))
            line += QStringLiteral("\r\n%1  : %2").arg(indent, piece);
    return line;
}

QString project_outline(const task_store& store, const project& p)
{
    const task_tree tree = build_task_tree(store, p);
    QStringList lines;
    std::unordered_set<std::int32_t> seen;  // a damaged tree still gives each task once
    std::function<void(const std::vector<task*>&, int)> walk = [&](const std::vector<task*>& group, int level) {
        for (const task* t : group) {
            if (!seen.insert(t->id).second)
                continue;
            lines << outline_lines(*t, level);
            if (level < 200)
                walk(tree.children_of(t->id), level + 1);
        }
    };
    walk(tree.roots, 1);
    return lines.join(QStringLiteral("\r\n"));
}

}  // namespace qm::model
