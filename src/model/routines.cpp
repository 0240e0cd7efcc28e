#include "model/routines.h"

#include "model/task_recurrences.h"
#include "store/tables.h"

namespace qm::model {

const time::recurrence* routine_pattern(const store::tables& tables, std::int32_t routine)
{
    for (const auto& r : tables.recurrences.cache())
        if (r->attached_type == recurrence_owner::routine && r->attached == routine)
            return r.get();
    return nullptr;
}

int give_routines_recurrences(store::tables& tables, task_recurrences& recurrences)
{
    int given = 0;
    // A copy: writing a routine must not disturb the walk.
    const auto routines = tables.routines.cache();
    for (const auto& routine : routines) {
        if (routine_pattern(tables, routine->id) != nullptr)
            continue;
        time::recurrence r;
        r.attached = routine->id;
        r.attached_type = recurrence_owner::routine;
        r.type = time::recurrence_kind::daily;
        r.param1 = 1;
        r.starting_date = time::today();
        recurrences.add_pattern(r);
        tables.routines.update(routine);
        ++given;
    }
    return given;
}

}  // namespace qm::model
