#include "model/role_store.h"

#include <algorithm>

namespace qm::model {

std::vector<std::int32_t> color_palette()
{
    static const int steps[] = {0, 64, 128, 192, 255};
    std::vector<std::int32_t> out;
    out.reserve(125);
    for (int r : steps)
        for (int g : steps)
            for (int b : steps)
                out.push_back(rgb(r, g, b));
    return out;
}

QString values_text(const std::vector<std::int32_t>& ids)
{
    QString out = QStringLiteral("|");
    for (std::int32_t id : ids)
        out += QString::number(id) + QLatin1Char('|');
    return out;
}

std::vector<std::int32_t> parse_values_text(const QString& text)
{
    std::vector<std::int32_t> out;
    for (const QString& piece : text.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int id = piece.toInt(&ok, 10);
        if (ok)
            out.push_back(id);
    }
    return out;
}

namespace {
bool name_less(const role_ptr& a, const role_ptr& b)
{
    const int c = a->name.compare(b->name, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a->id < b->id;
}
}  // namespace

const store::role_record& role_store::no_role()
{
    static const store::role_record none;
    return none;
}

const store::role_record& role_store::find(std::int32_t id) const
{
    if (id == 0)
        return no_role();
    auto r = tables_.roles.find(id);
    return r ? *r : no_role();
}

std::vector<role_ptr> role_store::life_areas() const
{
    std::vector<role_ptr> out;
    for (const auto& r : tables_.roles.cache())
        if (is_life_area(*r))
            out.push_back(r);
    std::sort(out.begin(), out.end(), name_less);
    return out;
}

std::vector<role_ptr> role_store::roles() const
{
    std::vector<role_ptr> out;
    for (const auto& r : role_order())
        if (!is_life_area(*r))
            out.push_back(r);
    return out;
}

std::vector<role_ptr> role_store::roles_of(std::int32_t life_area) const
{
    std::vector<role_ptr> out;
    for (const auto& r : tables_.roles.cache())
        if (!is_life_area(*r) && r->parent == life_area)
            out.push_back(r);
    std::sort(out.begin(), out.end(), name_less);
    return out;
}

std::vector<role_ptr> role_store::roles_outside() const
{
    std::vector<role_ptr> out;
    for (const auto& r : tables_.roles.cache()) {
        if (is_life_area(*r))
            continue;
        const auto area = r->parent == 0 ? nullptr : tables_.roles.find(r->parent);
        if (!area || !is_life_area(*area))
            out.push_back(r);
    }
    std::sort(out.begin(), out.end(), name_less);
    return out;
}

std::vector<role_ptr> role_store::role_order() const
{
    std::vector<role_ptr> out;
    for (const auto& area : life_areas()) {
        out.push_back(area);
        for (const auto& r : roles_of(area->id))
            out.push_back(r);
    }
    for (const auto& r : roles_outside())
        out.push_back(r);
    return out;
}

std::vector<std::int32_t> role_store::values_of(const store::role_record& r) const
{
    std::vector<std::int32_t> out;
    for (std::int32_t id : parse_values_text(r.values))
        if (tables_.values.find(id) && std::find(out.begin(), out.end(), id) == out.end())
            out.push_back(id);
    return out;
}

QString role_store::describe(const store::role_record& r)
{
    return QStringLiteral("%1 \"%2\"").arg(is_life_area(r) ? QStringLiteral("life area") : QStringLiteral("role"),
                                           r.name);
}

namespace {
struct default_area {
    const char* name;
    std::int32_t foreground;
    std::int32_t background;
    std::vector<const char*> roles;
};

const std::vector<default_area>& default_tree()
{
    static const std::vector<default_area> tree = {
        {"Physical, Health", rgb(255, 192, 64), rgb(255, 239, 207),
         {"Swimmer", "Weight Lifter", "Fitness Guru", "Nutritionist"}},
        {"Artistic, Creative, Expressive", rgb(128, 64, 255), rgb(223, 207, 255),
         {"Chef", "Painter", "Poet", "Movie Director"}},
        {"Learning, Personal Growth", rgb(0, 0, 192), rgb(191, 191, 239), {"Philosopher", "Learner", "Student"}},
        {"Reflection, Spiritual, Solitude", rgb(128, 128, 255), rgb(223, 223, 255), {"Meditator", "Ponderer"}},
        {"Family", rgb(64, 192, 255), rgb(207, 239, 255), {"Parent", "Son/Daughter"}},
        {"Social, Friends", rgb(128, 192, 255), rgb(223, 239, 255),
         {"Socialite", "Reading Group Member", "Party Organizer"}},
        {"Love, Romance, Partner", rgb(255, 0, 0), rgb(255, 191, 191), {"Boyfriend/Girlfriend", "Husband/Wife"}},
        {"Variety, Fun, Adventure", rgb(255, 128, 0), rgb(255, 223, 191),
         {"Movie Afficiado", "Spontaneous Fun Seeker", "Adventurer"}},
        {"Career, Business", rgb(64, 128, 255), rgb(207, 223, 255), {"Biologist", "Manager", "Marketer"}},
        {"Home, Environment", rgb(128, 255, 0), rgb(223, 255, 191), {"Organizer", "Head of Household", "Gardener"}},
        {"Finance, Money", rgb(128, 192, 0), rgb(223, 239, 191), {"Investor", "Entrepreneur"}},
        {"Community, Public Service", rgb(192, 128, 0), rgb(239, 223, 191), {"Philanthropist", "Donor", "Mentor"}},
        {"Leisure, Relaxation, Hobbies", rgb(0, 0, 0), rgb(191, 191, 191),
         {"World Explorer", "Video Gamer", "Pinball Wizard", "Chess Player"}},
    };
    return tree;
}
}  // namespace

void role_store::repair_id_counter()
{
    int used = 0;
    for (const auto& r : tables_.roles.cache())
        used = std::max(used, r->id);
    tables_.ids.ensure_above(store::id_kind::roles, used);
}

void role_store::create_defaults(bool areas_only)
{
    // Files converted from some older versions lack the roles' counter.
    repair_id_counter();
    for (const default_area& a : default_tree()) {
        store::role_record area;
        area.parent = -1;
        area.name = QString::fromUtf8(a.name);
        area.values = values_text({});
        area.foreground_color = a.foreground;
        area.background_color = a.background;
        const std::int32_t area_id = tables_.roles.add_entity(area)->id;
        if (areas_only)
            continue;
        for (const char* name : a.roles) {
            store::role_record r = area;
            r.id = 0;
            r.parent = area_id;
            r.name = QString::fromUtf8(name);
            tables_.roles.add_entity(r);
        }
    }
}

}  // namespace qm::model
