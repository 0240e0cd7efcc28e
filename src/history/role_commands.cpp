#include "history/role_commands.h"

#include "history/entity_commands.h"

#include <algorithm>

namespace qm::history {

QString describe_value(const store::value_record& v) { return QStringLiteral("value \"%1\"").arg(v.name); }

namespace {
bool contains(const std::vector<std::int32_t>& list, std::int32_t id)
{
    return std::find(list.begin(), list.end(), id) != list.end();
}
}  // namespace

void role_commands::add_role_changes(role_changes changes, const QString& text)
{
    history_.add_command(std::make_unique<row_changes_command<store::role_record>>(tables_.roles, std::move(changes), text));
}

void role_commands::add_value_changes(std::vector<model::value_change> changes, const QString& text)
{
    history_.add_command(
        std::make_unique<row_changes_command<store::value_record>>(tables_.values, std::move(changes), text));
}

std::vector<store::value_record> role_commands::values() const
{
    std::vector<store::value_record> out;
    for (const auto& v : tables_.values.cache())
        out.push_back(*v);
    return out;
}

// ---- roles and life areas ----

std::int32_t role_commands::add(const QString& name, std::int32_t parent)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return 0;
    roles_.repair_id_counter();
    store::role_record r;
    r.parent = parent;
    r.name = trimmed;
    r.values = model::values_text({});
    if (auto area = parent > 0 ? roles_.find_ptr(parent) : nullptr) {
        r.foreground_color = area->foreground_color;
        r.background_color = area->background_color;
    } else {
        r.background_color = model::rgb(255, 255, 255);
    }
    auto c = std::make_unique<add_entity_command<store::role_record>>(tables_.roles, r, model::role_store::describe);
    auto* raw = c.get();
    history_.add_command(std::move(c));
    return raw->value().id;
}

bool role_commands::rename(std::int32_t id, const QString& name)
{
    auto r = roles_.find_ptr(id);
    const QString trimmed = name.trimmed();
    if (!r || trimmed.isEmpty() || trimmed == r->name)
        return false;
    store::role_record after = *r;
    after.name = trimmed;
    history_.add_command(
        std::make_unique<modify_entity_command<store::role_record>>(tables_.roles, after, model::role_store::describe));
    return true;
}

bool role_commands::set_description(std::int32_t id, const QString& text)
{
    auto r = roles_.find_ptr(id);
    if (!r || r->description == text)
        return false;
    store::role_record after = *r;
    after.description = text;
    history_.add_command(
        std::make_unique<modify_entity_command<store::role_record>>(tables_.roles, after, model::role_store::describe));
    return true;
}

bool role_commands::set_color(std::int32_t id, std::int32_t foreground, std::int32_t background)
{
    auto r = roles_.find_ptr(id);
    if (!r || (r->foreground_color == foreground && r->background_color == background))
        return false;
    store::role_record after = *r;
    after.foreground_color = foreground;
    after.background_color = background;
    if (!model::role_store::is_life_area(*r)) {
        history_.add_command(std::make_unique<modify_entity_command<store::role_record>>(tables_.roles, after,
                                                                                          model::role_store::describe));
        return true;
    }
    role_changes changes{{*r, after}};
    for (const auto& child : roles_.roles_of(id)) {
        if (child->foreground_color != r->foreground_color || child->background_color != r->background_color)
            continue;  // colours of its own
        store::role_record recoloured = *child;
        recoloured.foreground_color = foreground;
        recoloured.background_color = background;
        changes.push_back({*child, recoloured});
    }
    add_role_changes(std::move(changes), QStringLiteral("setting life area color"));
    return true;
}

bool role_commands::copy_color_to_child_roles(const std::vector<std::int32_t>& life_areas)
{
    role_changes changes;
    for (std::int32_t id : life_areas) {
        auto area = roles_.find_ptr(id);
        if (!area || !model::role_store::is_life_area(*area))
            continue;
        for (const auto& child : roles_.roles_of(id)) {
            if (child->foreground_color == area->foreground_color && child->background_color == area->background_color)
                continue;
            store::role_record recoloured = *child;
            recoloured.foreground_color = area->foreground_color;
            recoloured.background_color = area->background_color;
            changes.push_back({*child, recoloured});
        }
    }
    if (changes.empty())
        return false;
    add_role_changes(std::move(changes), QStringLiteral("setting color of child roles"));
    return true;
}

bool role_commands::associate(const std::vector<std::int32_t>& roles, std::int32_t life_area)
{
    auto area = roles_.find_ptr(life_area);
    if (!area || !model::role_store::is_life_area(*area))
        return false;
    role_changes changes;
    for (std::int32_t id : roles) {
        auto r = roles_.find_ptr(id);
        if (!r || model::role_store::is_life_area(*r) || r->parent == life_area)
            continue;
        store::role_record moved = *r;
        moved.parent = life_area;
        changes.push_back({*r, moved});
    }
    if (changes.empty())
        return false;
    add_role_changes(std::move(changes), QStringLiteral("associating roles with life area"));
    return true;
}

bool role_commands::disassociate(const std::vector<std::int32_t>& roles)
{
    role_changes changes;
    for (std::int32_t id : roles) {
        auto r = roles_.find_ptr(id);
        if (!r || model::role_store::is_life_area(*r) || r->parent == 0)
            continue;
        store::role_record moved = *r;
        moved.parent = 0;
        changes.push_back({*r, moved});
    }
    if (changes.empty())
        return false;
    add_role_changes(std::move(changes), QStringLiteral("disassociate roles with life area"));
    return true;
}

bool role_commands::add_values_to_role(std::int32_t role, const std::vector<std::int32_t>& values)
{
    auto r = roles_.find_ptr(role);
    if (!r)
        return false;
    std::vector<std::int32_t> list = roles_.values_of(*r);
    const std::size_t had = list.size();
    for (std::int32_t v : values)
        if (tables_.values.find(v) && !contains(list, v))
            list.push_back(v);
    if (list.size() == had)
        return false;
    store::role_record after = *r;
    after.values = model::values_text(list);
    add_role_changes({{*r, after}}, QStringLiteral("adding values to role"));
    return true;
}

bool role_commands::remove_items(const role_items& items)
{
    if (items.empty())
        return false;
    // Each row changes once: later edits of a row build on the earlier ones.
    std::vector<store::role_record> edited;
    auto current = [&](std::int32_t id) -> store::role_record* {
        for (auto& e : edited)
            if (e.id == id)
                return &e;
        auto r = roles_.find_ptr(id);
        if (!r)
            return nullptr;
        edited.push_back(*r);
        return &edited.back();
    };
    for (const auto& [role, value] : items.role_values)
        if (store::role_record* r = current(role)) {
            std::vector<std::int32_t> list = roles_.values_of(*r);
            list.erase(std::remove(list.begin(), list.end(), value), list.end());
            r->values = model::values_text(list);
        }
    for (std::int32_t id : items.descriptions)
        if (store::role_record* r = current(id))
            r->description.clear();
    for (std::int32_t id : items.roles) {
        auto r = roles_.find_ptr(id);
        if (!r || !model::role_store::is_life_area(*r))
            continue;
        for (const auto& child : roles_.roles_of(id))
            if (!contains(items.roles, child->id))
                current(child->id)->parent = 0;
    }

    role_changes changes;
    for (const auto& e : edited) {
        if (contains(items.roles, e.id))
            continue;
        auto r = roles_.find_ptr(e.id);
        if (!(*r == e))
            changes.push_back({*r, e});
    }
    for (std::int32_t id : items.roles)
        if (auto r = roles_.find_ptr(id))
            changes.push_back({*r, std::nullopt});

    const bool only_values = items.roles.empty() && items.descriptions.empty() && !items.mission_statement;
    const QString label = only_values ? QStringLiteral("removing values from roles") : QStringLiteral("removing role items");
    const bool mission = items.mission_statement && !tables_.mission_statement.text().isEmpty();
    if (changes.empty() && !mission)
        return false;
    history_.begin_group(label, group_flag::labelled);
    if (!changes.empty())
        add_role_changes(std::move(changes), label);
    if (mission)
        history_.add_command(std::make_unique<mission_statement_command>(tables_.mission_statement, QString()));
    history_.end_group();
    return true;
}

// ---- values ----

std::int32_t role_commands::add_value(const QString& name, int index)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return 0;
    store::value_record v;
    v.name = trimmed;
    v.index = index;
    auto changes = model::plan_add_value(values(), v);
    const QString text = QStringLiteral("add ") + describe_value(*changes.back().after);
    auto c = std::make_unique<row_changes_command<store::value_record>>(tables_.values, std::move(changes), text);
    auto* raw = c.get();
    history_.add_command(std::move(c));
    return raw->changes().back().after->id;
}

std::vector<std::int32_t> role_commands::add_values(const QStringList& names)
{
    QStringList taken;
    for (const auto& v : tables_.values.cache())
        taken << v->name;
    QStringList wanted;
    for (const QString& name : names) {
        const QString trimmed = name.trimmed();
        if (trimmed.isEmpty() || taken.contains(trimmed, Qt::CaseInsensitive))
            continue;
        taken << trimmed;
        wanted << trimmed;
    }
    std::vector<std::int32_t> ids;
    if (wanted.isEmpty())
        return ids;
    history_.begin_group();
    for (const QString& name : wanted)
        ids.push_back(add_value(name));
    history_.end_group();
    return ids;
}

bool role_commands::rename_value(std::int32_t id, const QString& name)
{
    auto v = tables_.values.find(id);
    const QString trimmed = name.trimmed();
    if (!v || trimmed.isEmpty() || trimmed == v->name)
        return false;
    store::value_record after = *v;
    after.name = trimmed;
    history_.add_command(std::make_unique<modify_entity_command<store::value_record>>(tables_.values, after, describe_value));
    return true;
}

bool role_commands::set_value_description(std::int32_t id, const QString& text)
{
    auto v = tables_.values.find(id);
    if (!v || v->description == text)
        return false;
    store::value_record after = *v;
    after.description = text;
    history_.add_command(std::make_unique<modify_entity_command<store::value_record>>(tables_.values, after, describe_value));
    return true;
}

bool role_commands::delete_values(const std::vector<std::int32_t>& ids)
{
    std::vector<store::value_record> current = values();
    std::vector<model::value_change> all;
    QString text;
    int deleted = 0;
    for (std::int32_t id : ids) {
        auto changes = model::plan_delete_value(current, id);
        if (changes.empty())
            continue;
        ++deleted;
        text = QStringLiteral("delete ") + describe_value(*changes.front().before);
        // Later plans see the list as the earlier ones left it.
        for (const auto& c : changes) {
            auto at = std::find_if(current.begin(), current.end(), [&](const auto& v) { return v.id == c.before->id; });
            if (c.after)
                *at = *c.after;
            else
                current.erase(at);
            all.push_back(c);
        }
    }
    if (deleted == 0)
        return false;
    add_value_changes(std::move(all), deleted == 1 ? text : QStringLiteral("multiple edit"));
    return true;
}

bool role_commands::move_value(std::int32_t id, int delta)
{
    auto v = tables_.values.find(id);
    if (!v)
        return false;
    const int to = v->index + delta;
    if (to < 0 || to >= static_cast<int>(tables_.values.cache().size()))
        return false;
    auto changes = model::plan_move_value(values(), id, to);
    if (changes.empty())
        return false;
    add_value_changes(std::move(changes), QStringLiteral("changes to ") + describe_value(*v));
    return true;
}

bool role_commands::set_mission_statement(const QString& text)
{
    if (text == tables_.mission_statement.text())
        return false;
    history_.add_command(std::make_unique<mission_statement_command>(tables_.mission_statement, text));
    return true;
}

}  // namespace qm::history
