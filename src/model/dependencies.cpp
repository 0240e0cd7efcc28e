#include "model/dependencies.h"

#include <unordered_set>

namespace qm::model {
namespace {
QString shown_name(const task& t) { return t.name.isEmpty() ? QStringLiteral("(unnamed task)") : t.name; }
}  // namespace

bool blocks(const task& dependency)
{
    return dependency.status != status::finished && dependency.status != status::canceled;
}

std::vector<task*> open_dependencies(const task_store& store, const task& t)
{
    std::vector<task*> out;
    for (std::int32_t id : t.dependencies)
        if (task_ptr d = store.find(id); d && blocks(*d))
            out.push_back(d.get());
    return out;
}

QString waiting_text(const task_store& store, const task& t)
{
    QStringList names;
    for (const task* d : open_dependencies(store, t))
        names << shown_name(*d);
    return names.isEmpty() ? QString() : QStringLiteral("Waits on: ") + names.join(QStringLiteral(", "));
}

std::int32_t closing_cycle(const task_store& store, std::int32_t task_id, const std::vector<std::int32_t>& wanted)
{
    for (std::int32_t start : wanted) {
        // Walks what start waits on, each task once: reaching the task
        // itself means the new link would close a circle.
        std::vector<std::int32_t> open{start};
        std::unordered_set<std::int32_t> seen;
        while (!open.empty()) {
            const std::int32_t id = open.back();
            open.pop_back();
            if (id == task_id)
                return start;
            if (!seen.insert(id).second)
                continue;
            if (task_ptr t = store.find(id))
                open.insert(open.end(), t->dependencies.begin(), t->dependencies.end());
        }
    }
    return 0;
}

QString cycle_message(const task_store& store, std::int32_t task_id, std::int32_t culprit)
{
    if (culprit == task_id)
        return QStringLiteral("A task cannot wait on itself.");
    task_ptr t = store.find(culprit);
    const QString name = t ? shown_name(*t) : QStringLiteral("That task");
    return QStringLiteral("\"%1\" already waits on this task, so this task cannot wait on it.").arg(name);
}

}  // namespace qm::model
