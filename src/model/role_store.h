#pragma once
// Roles and life areas (both rows of Roles), the link from roles to values,
// the role order of every list and the default tree of a new database. The
// rows live in the role binding; this class reads them as two lists. Main
// thread only.

#include "store/tables.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace qm::model {

using role_ptr = std::shared_ptr<store::role_record>;

// Colours are stored as 0x00BBGGRR.
constexpr std::int32_t rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }
constexpr int red_of(std::int32_t c) { return c & 0xff; }
constexpr int green_of(std::int32_t c) { return (c >> 8) & 0xff; }
constexpr int blue_of(std::int32_t c) { return (c >> 16) & 0xff; }

// The picker's palette: every mix of red, green and blue from 0, 64, 128,
// 192 and 255, 125 colours.
std::vector<std::int32_t> color_palette();

// The `values` column: "|3|7|12|"; an empty list is "|".
QString values_text(const std::vector<std::int32_t>& ids);
// Every piece between bars that reads as a decimal number, in order.
std::vector<std::int32_t> parse_values_text(const QString& text);

class role_store {
public:
    explicit role_store(store::tables& tables) : tables_(tables) {}

    static bool is_life_area(const store::role_record& r) { return r.parent == -1; }

    std::vector<role_ptr> life_areas() const;  // in role order
    std::vector<role_ptr> roles() const;       // every row that is not a life area, in role order
    // The row of the id, or the "no role" object (id 0, no name) when none.
    const store::role_record& find(std::int32_t id) const;
    role_ptr find_ptr(std::int32_t id) const { return tables_.roles.find(id); }
    static const store::role_record& no_role();

    // The roles of a life area, by name without regard to case.
    std::vector<role_ptr> roles_of(std::int32_t life_area) const;
    // Roles whose parent is 0 or names no life area.
    std::vector<role_ptr> roles_outside() const;
    // Each life area followed by its roles, then the roles outside any.
    std::vector<role_ptr> role_order() const;

    // The role's values that still exist, in the role's order.
    std::vector<std::int32_t> values_of(const store::role_record& r) const;

    // "life area \"Family\"", "role \"Parent\"".
    static QString describe(const store::role_record& r);

    // The thirteen life areas, each with its roles unless areas_only.
    void create_defaults(bool areas_only);
    // Moves the id counter past every stored role.
    void repair_id_counter();

private:
    store::tables& tables_;
};

}  // namespace qm::model
