#include "model/task_paste.h"

namespace qm::model {

std::unordered_set<std::int32_t> cut_set_of(const task_store& store, const item_list& items, bool cut)
{
    std::unordered_set<std::int32_t> out;
    if (!cut)
        return out;
    for (const item_descriptor& d : items) {
        if (d.type != item_type::task)
            continue;
        out.insert(d.id);
        if (task_ptr t = store.find(d.id); t && t->is_folder())
            for (const task* below : store.descendants(*t))
                out.insert(below->id);
    }
    return out;
}

task_ptr copy_for_paste(const task& source)
{
    auto t = std::make_shared<task>(source);
    t->id = 0;
    t->cache = {};
    t->tracked_times.clear();
    t->comments.clear();
    t->recurrence = 0;
    if (t->is_todo() && t->priority_value > 0)
        t->priority_value = -1;
    if (t->project != 0 && t->project_priority_value > 0)
        ++t->project_priority_value;
    if (t->date == time::RECURRENCE_MASTER_DATE)
        t->date = time::NO_DATE;
    return t;
}

const paste_entry* paste_set::entry_of(std::int32_t source_id) const
{
    auto it = index.find(source_id);
    return it == index.end() ? nullptr : &entries[it->second];
}

paste_set prepare_paste(const task_store& store, const item_list& items, bool cut)
{
    paste_set out;
    for (const item_descriptor& d : items) {
        if (d.type != item_type::task || out.index.count(d.id) != 0)
            continue;
        task_ptr source = store.find(d.id);
        if (!source)
            continue;
        paste_entry e;
        e.source_id = d.id;
        e.moved = cut;
        if (cut) {
            e.t = source;
            e.before = *source;
        } else {
            e.t = copy_for_paste(*source);
            e.before = *source;
        }
        out.index[d.id] = out.entries.size();
        out.entries.push_back(std::move(e));
    }
    return out;
}

}  // namespace qm::model
