#include "model/value_order.h"

#include <algorithm>

namespace qm::model {

int next_value_index(const std::vector<store::value_record>& values, std::int32_t except)
{
    int next = 0;
    for (const auto& v : values)
        if (v.id != except || except == 0)
            next = std::max(next, v.index + 1);
    return next;
}

namespace {
void shift(const std::vector<store::value_record>& values, std::int32_t except, int from, int to, int delta,
           std::vector<value_change>& out)
{
    for (const auto& v : values) {
        if (v.id == except || v.index < from || v.index > to)
            continue;
        store::value_record moved = v;
        moved.index += delta;
        out.push_back({v, moved});
    }
}
}  // namespace

std::vector<value_change> plan_add_value(const std::vector<store::value_record>& values, store::value_record v)
{
    std::vector<value_change> out;
    const int end = next_value_index(values);
    if (v.index < 0 || v.index >= end)
        v.index = end;  // past the end is the end: no gap
    else
        shift(values, 0, v.index, end, 1, out);
    out.push_back({std::nullopt, v});
    return out;
}

std::vector<value_change> plan_delete_value(const std::vector<store::value_record>& values, std::int32_t id)
{
    std::vector<value_change> out;
    auto it = std::find_if(values.begin(), values.end(), [id](const auto& v) { return v.id == id; });
    if (it == values.end())
        return out;
    out.push_back({*it, std::nullopt});
    shift(values, id, it->index + 1, next_value_index(values), -1, out);
    return out;
}

std::vector<value_change> plan_move_value(const std::vector<store::value_record>& values, std::int32_t id, int to)
{
    std::vector<value_change> out;
    auto it = std::find_if(values.begin(), values.end(), [id](const auto& v) { return v.id == id; });
    if (it == values.end())
        return out;
    const int from = it->index;
    to = std::clamp(to, 0, std::max(0, next_value_index(values, id)));
    if (from == to)
        return out;
    if (from < to)
        shift(values, id, from + 1, to, -1, out);
    else
        shift(values, id, to, from - 1, 1, out);
    store::value_record moved = *it;
    moved.index = to;
    out.push_back({*it, moved});
    return out;
}

std::vector<store::value_record> values_in_order(const std::vector<store::value_record>& values)
{
    std::vector<store::value_record> out = values;
    std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) {
        return a.index != b.index ? a.index < b.index : a.id < b.id;
    });
    return out;
}

}  // namespace qm::model
