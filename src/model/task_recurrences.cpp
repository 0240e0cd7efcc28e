#include "model/task_recurrences.h"

#include <algorithm>
#include <climits>
#include <unordered_set>

namespace qm::model {
namespace {

constexpr std::int32_t end_of_day = 86400;

// "schedule before" 0 reads as the end of the day.
std::int32_t before_time(std::int32_t v) { return v == 0 ? end_of_day : v; }

bool same_timing(const task& a, const task& b)
{
    if (a.appointment != b.appointment)
        return false;
    if (a.appointment)
        return a.appointment_start == b.appointment_start && a.appointment_duration == b.appointment_duration;
    return a.estimate == b.estimate;
}

}  // namespace

task_recurrences::task_recurrences(store::tables& tables, task_store& tasks) : tables_(tables), tasks_(tasks) {}

// ---- start-up ----

void task_recurrences::bring_up_to_date()
{
    for (const auto& r : tables_.recurrences.cache()) {
        if (r->attached_type != 0)
            continue;
        time::recurrence moved = *r;
        if (move_start_to_first_occurrence(moved) && moved.starting_date != r->starting_date)
            tables_.recurrences.modify_entity(moved);
    }
    reindex();
}

void task_recurrences::index_deleted()
{
    deleted_.clear();
    for (const auto& d : tables_.deleted_occurrences.cache())
        deleted_.insert({d->task_recurrence, d->date});
}

void task_recurrences::install()
{
    reindex();
    tasks_.on_first_look = [this](time::stored_date d) { generate_occurrences(d); };
}

void task_recurrences::reindex()
{
    by_master_.clear();
    for (const auto& r : tables_.recurrences.cache())
        if (r->attached_type == 0)
            by_master_.emplace(r->attached, r);  // a second row for one master is ignored
}

// ---- masters, patterns and occurrences ----

task_ptr task_recurrences::master_of(const task& t) const
{
    if (t.recurrence == 0)
        return nullptr;
    task_ptr m = tasks_.find(t.recurrence);
    return m && is_master(*m) ? m : nullptr;
}

task_ptr task_recurrences::recurrence_master(const task& t) const
{
    if (is_master(t))
        return tasks_.find(t.id);
    return master_of(t);
}

const time::recurrence* task_recurrences::pattern_of(std::int32_t master) const
{
    auto it = by_master_.find(master);
    return it == by_master_.end() ? nullptr : it->second.get();
}

std::vector<task*> task_recurrences::masters() const
{
    std::vector<task*> out;
    for (task* t : tasks_.tasks_of_date(time::RECURRENCE_MASTER_DATE))
        if (is_master(*t))
            out.push_back(t);
    std::sort(out.begin(), out.end(), [](const task* a, const task* b) { return a->id < b->id; });
    return out;
}

std::vector<task*> task_recurrences::occurrences_of(std::int32_t master) const
{
    std::vector<task*> out;
    if (master == 0)
        return out;
    for (const auto& t : tasks_.all())
        if (t->recurrence == master && t->id != master)
            out.push_back(t.get());
    std::sort(out.begin(), out.end(), [](const task* a, const task* b) {
        return a->date != b->date ? a->date < b->date : a->id < b->id;
    });
    return out;
}

time::recurrence task_recurrences::add_pattern(time::recurrence r)
{
    r = *tables_.recurrences.add_entity(r);
    reindex();
    return r;
}

void task_recurrences::update_pattern(const time::recurrence& r)
{
    tables_.recurrences.modify_entity(r);
    reindex();
}

void task_recurrences::delete_pattern(std::int32_t id)
{
    tables_.recurrences.delete_entity(id);
    reindex();
}

// ---- deleted occurrences ----

bool task_recurrences::is_deleted(std::int32_t master, time::stored_date d) const
{
    return deleted_.count({master, d}) != 0;
}

bool task_recurrences::record_deleted_occurrence(std::int32_t master, time::stored_date d)
{
    if (!deleted_.insert({master, d}).second)
        return false;
    tables_.deleted_occurrences.add(std::make_shared<store::deleted_occurrence_record>(
        store::deleted_occurrence_record{master, d}));
    return true;
}

bool task_recurrences::restore_occurrence(std::int32_t master, time::stored_date d)
{
    if (deleted_.erase({master, d}) == 0)
        return false;
    // Every row of the pair goes: a damaged file may hold it twice.
    std::vector<store::deleted_occurrence_facade::record_ptr> rows;
    for (const auto& r : tables_.deleted_occurrences.cache())
        if (r->task_recurrence == master && r->date == d)
            rows.push_back(r);
    for (const auto& r : rows)
        tables_.deleted_occurrences.remove(r);
    return true;
}

std::vector<time::stored_date> task_recurrences::deleted_dates(std::int32_t master) const
{
    std::vector<time::stored_date> out;
    for (auto it = deleted_.lower_bound({master, INT64_MIN}); it != deleted_.end() && it->first == master; ++it)
        out.push_back(it->second);
    return out;
}

// ---- creating occurrences ----

std::int64_t task_recurrences::deadline_offset(const task& t) { return t.deadline == 0 ? 0 : t.deadline - t.date; }

time::stored_time task_recurrences::master_deadline(std::int64_t offset)
{
    return offset > 0 ? time::RECURRENCE_MASTER_DATE + offset : 0;
}

task task_recurrences::make_occurrence(const task& master, time::stored_date d) const
{
    task o = master;
    o.id = 0;
    o.date = d;
    o.recurrence = master.id;
    if (master.priority_value > 0)
        o.priority_value = -1;  // the end of its day group
    // The end of its folder group; a master outside the project order
    // leaves its occurrences outside it too.
    o.project_priority_value = master.project_priority_value != 0 ? tasks_.next_folder_value(master) : 0;
    const std::int64_t offset = deadline_offset(master);
    o.deadline = offset > 0 ? d + offset : 0;
    o.tracked_times.clear();
    o.comments.clear();  // comment rows belong to one task
    o.cache = task::derived_cache();
    return o;
}

std::vector<task_ptr> task_recurrences::generate_occurrences(time::stored_date d, std::int32_t only_master)
{
    std::vector<task_ptr> made;
    std::unordered_set<std::int32_t> present;
    bool present_known = false;
    for (task* m : masters()) {
        if (only_master != 0 && m->id != only_master)
            continue;
        const time::recurrence* r = pattern_of(m->id);
        if (r == nullptr || !time::occurs_on(*r, d) || is_deleted(m->id, d))
            continue;
        if (!present_known) {
            // Whatever its status: a finished occurrence still holds its day.
            for (const task* t : tasks_.tasks_of_date(d))
                if (t->recurrence != 0)
                    present.insert(t->recurrence);
            present_known = true;
        }
        if (present.count(m->id))
            continue;
        auto o = std::make_shared<task>(make_occurrence(*m, d));
        tasks_.add(o);
        present.insert(m->id);
        made.push_back(o);
    }
    return made;
}

std::vector<task_ptr> task_recurrences::generate_on_looked_dates(std::int32_t master)
{
    std::vector<time::stored_date> dates(tasks_.looked_dates().begin(), tasks_.looked_dates().end());
    std::sort(dates.begin(), dates.end());
    std::vector<task_ptr> made;
    for (time::stored_date d : dates)
        for (task_ptr& t : generate_occurrences(d, master))
            made.push_back(std::move(t));
    return made;
}

// ---- the rules of a change ----

void task_recurrences::make_master(task& t)
{
    const std::int64_t offset = t.deadline > t.date ? t.deadline - t.date : 0;
    t.date = time::RECURRENCE_MASTER_DATE;
    t.recurrence = 0;
    // A deadline on or before the task's own day has no offset to keep.
    t.deadline = master_deadline(offset);
}

bool task_recurrences::same_cascading_fields(const task& a, const task& b)
{
    if (a.parent != b.parent || a.name != b.name || a.description != b.description || a.folder != b.folder ||
        a.original_estimate != b.original_estimate || a.priority != b.priority || a.role != b.role ||
        a.project != b.project || a.units != b.units || deadline_offset(a) != deadline_offset(b))
        return false;
    if (a.appointment != b.appointment)
        return false;
    if (a.appointment)
        return a.appointment_start == b.appointment_start && a.appointment_duration == b.appointment_duration;
    return a.estimate == b.estimate && a.appointment_start == b.appointment_start &&
           before_time(a.appointment_duration) == before_time(b.appointment_duration) && a.splittable == b.splittable;
}

task task_recurrences::master_from_occurrence(const task& occurrence, const task& master)
{
    task m = occurrence;
    m.id = master.id;
    m.date = time::RECURRENCE_MASTER_DATE;
    m.recurrence = 0;
    m.tracked_times = master.tracked_times;  // a master is never timed
    m.comments = master.comments;            // the occurrence's comments stay its own
    m.dependencies = master.dependencies;
    // Status is not carried: a finished occurrence must not make every
    // later occurrence start finished.
    m.status = master.status;
    m.project_priority_value = master.project_priority_value;
    m.priority_value = occurrence.priority == master.priority ? master.priority_value : -1;
    m.deadline = master_deadline(deadline_offset(occurrence));
    m.cache = task::derived_cache();
    return m;
}

bool task_recurrences::merge(task& o, const task& m0, const task& m1, const time::recurrence* pattern) const
{
    if (pattern != nullptr && !time::occurs_on(*pattern, o.date)) {
        task produced = make_occurrence(m0, o.date);
        produced.id = o.id;
        produced.priority_value = o.priority_value;
        produced.project_priority_value = o.project_priority_value;
        if (produced.same_columns(o) && produced.tags == o.tags)
            return true;
    }

    auto carry = [](auto& field, const auto& before, const auto& after) {
        if (field == before)
            field = after;
    };
    carry(o.parent, m0.parent, m1.parent);
    carry(o.name, m0.name, m1.name);
    carry(o.folder, m0.folder, m1.folder);
    carry(o.original_estimate, m0.original_estimate, m1.original_estimate);
    carry(o.priority, m0.priority, m1.priority);
    carry(o.role, m0.role, m1.role);
    carry(o.project, m0.project, m1.project);
    carry(o.description, m0.description, m1.description);
    carry(o.units, m0.units, m1.units);

    if (deadline_offset(o) == deadline_offset(m0)) {
        const std::int64_t offset = deadline_offset(m1);
        o.deadline = m1.deadline != 0 && offset > 0 ? o.date + offset : 0;
    }

    if (same_timing(o, m0)) {
        const bool kind_changed = m0.appointment != m1.appointment;
        o.appointment = m1.appointment;
        if (m1.appointment) {
            o.estimate = 0;
            o.splittable = false;
            o.appointment_start = m1.appointment_start;
            o.appointment_duration = m1.appointment_duration;
        } else {
            o.estimate = m1.estimate;
            if (kind_changed) {
                o.appointment_start = m1.appointment_start;
                o.appointment_duration = m1.appointment_duration;
                o.splittable = m1.splittable;
            } else {
                carry(o.appointment_start, m0.appointment_start, m1.appointment_start);
                if (before_time(o.appointment_duration) == before_time(m0.appointment_duration))
                    o.appointment_duration = m1.appointment_duration;
                carry(o.splittable, m0.splittable, m1.splittable);
            }
        }
    }
    return false;
}

}  // namespace qm::model
