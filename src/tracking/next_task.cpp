#include "tracking/next_task.h"

#include <algorithm>

namespace qm::tracking {
namespace {

bool before_in_day_order(const model::task& a, const model::task& b)
{
    return a.priority != b.priority ? a.priority < b.priority : a.priority_value < b.priority_value;
}

}  // namespace

std::vector<model::task*> day_order(const model::task_store& store, time::stored_date date)
{
    std::vector<model::task*> out;
    for (model::task* t : store.tasks_of_date(date))
        if (t->is_todo())
            out.push_back(t);
    std::stable_sort(out.begin(), out.end(),
                     [](const model::task* a, const model::task* b) { return before_in_day_order(*a, *b); });
    return out;
}

std::optional<schedule_candidate> day_order_candidate(const model::task_store& store, const model::task* timed)
{
    for (model::task* t : day_order(store, time::today()))
        if (t != timed && t->status == model::status::unfinished && store.time_left(*t) > 0)
            return schedule_candidate{t, false};
    return std::nullopt;
}

model::task* next_task_of_today(const model::task_store& store, const model::task* timed,
                                const std::optional<schedule_candidate>& x)
{
    model::task* y = nullptr;
    for (model::task* t : day_order(store, time::today()))
        if (t != timed && t->status == model::status::unfinished && store.time_left(*t) == 0) {
            y = t;
            break;
        }
    if (!x || x->task == nullptr)
        return y;
    if (!x->at_risk && y != nullptr && before_in_day_order(*y, *x->task))
        return y;
    return x->task;
}

}  // namespace qm::tracking
