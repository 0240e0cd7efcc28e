#pragma once
// Task recurrences: a master task (dated RECURRENCE_MASTER_DATE) with its
// pattern row, the occurrences it creates on the first look at a date, the
// list of deleted occurrences that must not come back, and the rules that
// carry a change from one task of a recurrence to the others. The writes
// here are plain; the history's recurrence commands make them undoable.
// Main thread only.

#include "model/task_store.h"
#include "time/recurrence.h"

#include <set>
#include <unordered_map>

namespace qm::model {

// The answers of the cascade question; 0 is "cancelled".
namespace cascade {
constexpr unsigned this_task = 0x4000;
constexpr unsigned future_tasks = 0x2000;
constexpr unsigned all_tasks = 0x8000;
constexpr unsigned mask = this_task | future_tasks | all_tasks;
}  // namespace cascade

class task_recurrences {
public:
    task_recurrences(store::tables& tables, task_store& tasks);
    task_recurrences(const task_recurrences&) = delete;
    task_recurrences& operator=(const task_recurrences&) = delete;

    // ---- start-up ----
    // After Recurrences loaded: each pattern's start on its first occurrence.
    void bring_up_to_date();
    // After TaskRecurrenceDeletedItems loaded.
    void index_deleted();
    // Makes the store's first look at a date create that date's occurrences.
    void install();

    // ---- masters, patterns and occurrences ----
    static bool is_master(const task& t) { return t.date == time::RECURRENCE_MASTER_DATE && t.recurrence == 0; }
    // The master of an occurrence, or nullptr when it has none (left behind
    // by a deleted master, or a damaged file).
    task_ptr master_of(const task& t) const;
    // The master itself for a master, its master for an occurrence.
    task_ptr recurrence_master(const task& t) const;
    const time::recurrence* pattern_of(std::int32_t master) const;
    std::vector<task*> masters() const;
    std::vector<task*> occurrences_of(std::int32_t master) const;

    // Pattern rows, written at once (id allocated when it has none).
    time::recurrence add_pattern(time::recurrence r);
    void update_pattern(const time::recurrence& r);
    void delete_pattern(std::int32_t id);

    // ---- deleted occurrences ----
    bool is_deleted(std::int32_t master, time::stored_date d) const;
    // Each returns whether the list changed.
    bool record_deleted_occurrence(std::int32_t master, time::stored_date d);
    bool restore_occurrence(std::int32_t master, time::stored_date d);
    std::vector<time::stored_date> deleted_dates(std::int32_t master) const;

    // ---- creating occurrences ----
    // A copy of the master for date d: new id, no tracked times or comments,
    // at the end of its groups, the deadline at d + the master's offset.
    task make_occurrence(const task& master, time::stored_date d) const;
    // Creates the missing occurrences of every master (or of one) for d.
    std::vector<task_ptr> generate_occurrences(time::stored_date d, std::int32_t only_master = 0);
    // For one master, on every date whose list was already looked at.
    std::vector<task_ptr> generate_on_looked_dates(std::int32_t master);

    // ---- the rules of a change ----
    // The task's deadline − its own date; 0 without a deadline.
    static std::int64_t deadline_offset(const task& t);
    // A master's deadline for an offset (0 none).
    static time::stored_time master_deadline(std::int64_t offset);
    // The fields of t as a new master: date, recurrence and deadline.
    static void make_master(task& t);
    // Parent, name, description, folder kind, original estimate, day
    // priority, role, project, impact, deadline offset and timing all equal.
    static bool same_cascading_fields(const task& a, const task& b);
    // The master after a change made on one of its occurrences.
    static task master_from_occurrence(const task& occurrence, const task& master);
    // Merges the change from m0 to m1 into an occurrence: true when the
    // occurrence is to be deleted instead (untouched, and the pattern in
    // force, when there is one, no longer occurs on its date).
    bool merge(task& occurrence, const task& m0, const task& m1, const time::recurrence* pattern) const;

    std::size_t pattern_count() const { return tables_.recurrences.cache().size(); }

private:
    void reindex();

    store::tables& tables_;
    task_store& tasks_;
    std::unordered_map<std::int32_t, store::recurrence_facade::record_ptr> by_master_;
    std::set<std::pair<std::int32_t, time::stored_date>> deleted_;
};

}  // namespace qm::model
