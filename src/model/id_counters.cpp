#include "model/id_counters.h"

#include <algorithm>

namespace qm::model {
namespace {

template <class Facade>
void repair(store::id_facade& ids, int kind, const Facade& facade)
{
    std::int32_t used = 0;
    for (const auto& r : facade.cache())
        used = std::max(used, r->id);
    // An empty table needs no counter (the first id is 1), and one already
    // past every row is left alone: nothing is written then.
    if (used > 0)
        ids.ensure_above(kind, used);
}

}  // namespace

void repair_id_counters(store::tables& tables)
{
    repair(tables.ids, store::id_kind::roles, tables.roles);
    repair(tables.ids, store::id_kind::values, tables.values);
    repair(tables.ids, store::id_kind::tags, tables.contexts);
}

}  // namespace qm::model
