#pragma once
// What a paste or a drop of task references turns into: the cut marks of a
// cut, and the tasks to paste, each the task itself (a move) or a new copy
// of it. Main thread only.

#include "model/item_descriptor.h"
#include "model/task_store.h"

#include <unordered_map>
#include <unordered_set>

namespace qm::model {

// The ids shown as cut: every task item of a cut and, for a folder, all of
// its descendants. Nothing for a copy.
std::unordered_set<std::int32_t> cut_set_of(const task_store& store, const item_list& items, bool cut);

// A new task made from a copied one: every column but the id (0, so that
// adding it allocates one), without tracked times, comments or a
// recurrence; a to-do goes to the end of its day group, a task of a
// project right after its source in its folder, a recurrence master is
// undated.
task_ptr copy_for_paste(const task& source);

struct paste_entry {
    std::int32_t source_id = 0;
    task_ptr t;       // cut: the stored task; copy: the new one, not yet added
    task before;      // cut: the task before any change
    bool moved = false;
};

struct paste_set {
    std::vector<paste_entry> entries;  // list order, each id once
    // Whether an id is among the pasted ones, and the entry that stands for it.
    const paste_entry* entry_of(std::int32_t source_id) const;
    std::unordered_map<std::int32_t, std::size_t> index;
};

// Only task items take part; ids that name no task are skipped.
paste_set prepare_paste(const task_store& store, const item_list& items, bool cut);

}  // namespace qm::model
