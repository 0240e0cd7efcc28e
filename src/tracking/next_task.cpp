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

std::optional<schedule_candidate> schedule_block_candidate(schedule::schedule_store& schedule,
                                                           const model::task_store& store, const model::task* timed)
{
    const time::stored_date today = time::today();
    if (!schedule.computed(today))
        return day_order_candidate(store, timed);
    const schedule::stored_block* best = nullptr;
    for (const schedule::stored_block* b : schedule.blocks_of(today))
        if (b->b.start < 86399 && b->task.get() != timed && (best == nullptr || b->b.start < best->b.start))
            best = b;
    if (best == nullptr)
        return std::nullopt;
    return schedule_candidate{best->task.get(), best->b.before_mark || best->b.deadline_mark};
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
