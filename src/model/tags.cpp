#include "model/tags.h"

#include <algorithm>

namespace qm::model {

QString tag_message_name(const QString& name) { return name.isEmpty() ? QStringLiteral("untitled") : name; }

QString tag_display(const QString& name) { return QStringLiteral("tag: ") + tag_message_name(name); }

store::context_facade::record_ptr find_tag(const store::tables& tables, const QString& name)
{
    for (const auto& c : tables.contexts.cache())
        if (c->name.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

std::vector<task*> tasks_of_tag(const task_store& tasks, std::int32_t tag)
{
    std::vector<task*> out;
    for (const auto& t : tasks.all())
        if (std::any_of(t->tags.begin(), t->tags.end(), [tag](const tag_ref& r) { return r.id == tag; }))
            out.push_back(t.get());
    return out;
}

int task_count_of_tag(const store::tables& tables, std::int32_t tag)
{
    const auto& links = tables.task_contexts.cache();
    return static_cast<int>(std::count_if(links.begin(), links.end(), [tag](const auto& l) { return l->context == tag; }));
}

std::vector<tag_ref> parse_tag_list(const store::tables& tables, const QString& text)
{
    std::vector<tag_ref> out;
    for (const QString& piece : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = piece.trimmed();
        if (name.isEmpty())
            continue;
        if (std::any_of(out.begin(), out.end(),
                        [&](const tag_ref& r) { return r.name.compare(name, Qt::CaseInsensitive) == 0; }))
            continue;
        if (auto known = find_tag(tables, name))
            out.push_back(tag_ref{known->id, known->name});
        else
            out.push_back(tag_ref{0, name});
    }
    return out;
}

QStringList tag_names(const store::tables& tables)
{
    QStringList out;
    for (const auto& c : tables.contexts.cache())
        if (!c->name.isEmpty())
            out << c->name;
    std::sort(out.begin(), out.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return out;
}

}  // namespace qm::model
