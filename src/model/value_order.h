#pragma once
// The user's ordered list of values: indices from 0 without gaps. Each
// operation is planned as the rows it changes, before and after, so one
// command can apply and undo it. Main thread only.

#include "store/records.h"

#include <optional>
#include <vector>

namespace qm::model {

// One row of a change: no before is an addition, no after a deletion.
template <class Record>
struct row_change {
    std::optional<Record> before;
    std::optional<Record> after;
};

using value_change = row_change<store::value_record>;

// The largest index among the values other than except, plus 1; 0 when none.
int next_value_index(const std::vector<store::value_record>& values, std::int32_t except = 0);

// Adding v: index -1 asks for the end; any other index first moves every
// value at it or after one place down.
std::vector<value_change> plan_add_value(const std::vector<store::value_record>& values, store::value_record v);
// Deleting: every value after it moves one place up.
std::vector<value_change> plan_delete_value(const std::vector<store::value_record>& values, std::int32_t id);
// Giving a value the index to; the values between close up behind it.
std::vector<value_change> plan_move_value(const std::vector<store::value_record>& values, std::int32_t id, int to);

// The values sorted by index (then id).
std::vector<store::value_record> values_in_order(const std::vector<store::value_record>& values);

}  // namespace qm::model
