#include "history/tag_commands.h"

#include "history/entity_commands.h"

#include <algorithm>

namespace qm::history {

namespace {
QString describe_tag(const store::context_record& c) { return model::tag_display(c.name); }
}  // namespace

rename_tag_command::rename_tag_command(store::tables& tables, model::task_store& tasks, std::int32_t id, QString name)
    : tables_(tables), tasks_(tasks), id_(id), after_(std::move(name))
{
    if (auto c = tables_.contexts.find(id))
        before_ = c->name;
}

void rename_tag_command::set_name(const QString& name)
{
    auto c = tables_.contexts.find(id_);
    if (!c)
        return;
    // The links stay; only the names the tasks show change.
    for (model::task* t : model::tasks_of_tag(tasks_, id_))
        for (model::tag_ref& r : t->tags)
            if (r.id == id_)
                r.name = name;
    store::context_record after = *c;
    after.name = name;
    tables_.contexts.modify_entity(after);
}

tag_question delete_tag_question(const QString& name, int count)
{
    const QString shown = model::tag_message_name(name);
    if (count == 0)
        return {QStringLiteral("Delete unused tag: %1?").arg(shown), QStringLiteral("Delete unused tag?"), false,
                QStringLiteral("deleting unused tag: %1").arg(shown)};
    const QString used = QStringLiteral("used by %1 task%2").arg(count).arg(count == 1 ? "" : "s");
    return {QStringLiteral("Tag: %1, is %2.\r\nDeleting it will also remove this tag from the associated tasks.\r\n\r\n"
                           "Continue?")
                .arg(shown, used),
            QStringLiteral("Delete tag: %1?").arg(shown), true,
            QStringLiteral("deleting tag: %1, %2").arg(shown, used)};
}

std::int32_t tag_commands::rename(std::int32_t id, const QString& name)
{
    auto a = tables_.contexts.find(id);
    if (!a)
        return 0;
    const QString typed = name.trimmed();
    store::context_facade::record_ptr b;
    for (const auto& c : tables_.contexts.cache())
        if (c->id != id && !typed.isEmpty() && c->name.compare(typed, Qt::CaseInsensitive) == 0) {
            b = c;
            break;
        }
    if (b) {
        const std::int32_t b_id = b->id;
        const model::tag_ref b_ref{b->id, b->name};
        history_.begin_group(QStringLiteral("merging %1 with %2").arg(model::tag_display(a->name), model::tag_display(b->name)),
                             group_flag::labelled);
        for (model::task* t : model::tasks_of_tag(tasks_, id))
            task_changes_.modify(*t, [&](model::task& x) {
                std::vector<model::tag_ref> tags;
                for (const auto& r : x.tags)
                    if (r.id != id && r.id != b_id)
                        tags.push_back(r);
                    else if (std::none_of(tags.begin(), tags.end(), [&](const auto& k) { return k.id == b_id; }))
                        tags.push_back(b_ref);
                x.tags = tags;
            });
        // The last task that lost it took it away; an unused one goes here.
        if (tables_.contexts.find(id))
            history_.add_command(std::make_unique<delete_entity_command<store::context_record>>(tables_.contexts, id, describe_tag));
        history_.end_group();
        return b_id;
    }
    if (typed.isEmpty() || typed == a->name)
        return id;
    history_.add_command(std::make_unique<rename_tag_command>(tables_, tasks_, id, typed));
    return id;
}

std::int32_t tag_commands::new_tag()
{
    for (const auto& c : tables_.contexts.cache())
        if (c->name.isEmpty())
            return c->id;
    auto c = std::make_unique<add_entity_command<store::context_record>>(tables_.contexts, store::context_record{},
                                                                          describe_tag);
    auto* raw = c.get();
    history_.add_command(std::move(c));
    return raw->value().id;
}

bool tag_commands::remove(std::int32_t id)
{
    auto c = tables_.contexts.find(id);
    if (!c)
        return false;
    history_.begin_group(QStringLiteral("removing tag: %1").arg(model::tag_message_name(c->name)), group_flag::labelled);
    for (model::task* t : model::tasks_of_tag(tasks_, id))
        task_changes_.modify(*t, [id](model::task& x) {
            x.tags.erase(std::remove_if(x.tags.begin(), x.tags.end(), [id](const auto& r) { return r.id == id; }),
                         x.tags.end());
        });
    if (tables_.contexts.find(id))
        history_.add_command(std::make_unique<delete_entity_command<store::context_record>>(tables_.contexts, id, describe_tag));
    history_.end_group();
    return true;
}

void tag_commands::set_tags(const std::vector<model::task*>& tasks, const QString& text)
{
    history_.begin_group();
    for (model::task* t : tasks) {
        const std::vector<model::tag_ref> wanted = model::parse_tag_list(tables_, text);
        task_changes_.modify(*t, [&](model::task& x) { x.tags = wanted; });
    }
    history_.end_group();
}

}  // namespace qm::history
