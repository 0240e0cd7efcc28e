#pragma once
// The reference to one row of a list as it travels between lists: the ids
// of the row's object and of its parent row, with their kinds. Only ids
// travel, so a reference means something only in the database it came from.

#include <cstdint>
#include <vector>

namespace qm::model {

namespace item_type {
constexpr std::int32_t task = 1;
constexpr std::int32_t role = 6, value = 7, value_under_role = 12, life_area = 25;
}  // namespace item_type

struct item_descriptor {
    std::int32_t id = 0;
    std::int32_t type = 0;
    std::int32_t parent_id = 0;
    std::int32_t parent_type = 0;

    bool operator==(const item_descriptor& o) const
    {
        return id == o.id && type == o.type && parent_id == o.parent_id && parent_type == o.parent_type;
    }
    bool operator!=(const item_descriptor& o) const { return !(*this == o); }
};

using item_list = std::vector<item_descriptor>;

inline item_descriptor task_item(std::int32_t id, std::int32_t parent = 0)
{
    return {id, item_type::task, parent, parent != 0 ? item_type::task : 0};
}

}  // namespace qm::model
