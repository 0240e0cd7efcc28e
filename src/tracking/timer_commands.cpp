#include "tracking/timer_commands.h"

#include "history/task_description.h"

namespace qm::tracking {
namespace {

// Undo puts back exact snapshots, as the task commands do.
constexpr unsigned restore_flags = model::update_flag::keep_priority_value |
                                   model::update_flag::keep_project_priority_value |
                                   model::update_flag::keep_parent | model::update_flag::no_status_hooks;

// Writes t after a change made in place since before.
void save(model::task_store& store, const model::task& before, model::task& t, unsigned flags = restore_flags)
{
    store.change(before, t, flags);
}

// Puts the entry back into t when it is missing, sets it running up to now
// and writes t.
void restore_running_entry(model::task_store& store, model::task& t, const TrackedTime& entry)
{
    const model::task before = t;
    TrackedTime* e = find_entry(t.tracked_times, entry.id);
    if (e == nullptr) {
        t.tracked_times.push_back(entry);
        e = &t.tracked_times.back();
    }
    e->duration = clamp_duration(time::now() - e->start);
    save(store, before, t);
}

}  // namespace

// ---- start ----

void start_timer_command::apply(bool first_time)
{
    if (first_time) {
        label_ = history::task_label(*target_);
        previous_ = timer_.timed_task();
        snapshot_ = *target_;
        timer_.begin_timing(target_);
        if (const TrackedTime* e = timer_.running_entry())
            entry_ = *e;
        return;
    }
    if (entry_.id == 0)
        return;
    restore_running_entry(store_, *target_, entry_);
    timer_.begin_timing(target_, entry_.id);
}

void start_timer_command::undo()
{
    if (const TrackedTime* e = find_entry(target_->tracked_times, entry_.id))
        entry_ = *e;
    if (!previous_ || previous_ == target_ || !store_.find(previous_->id))
        timer_.end_timing();
    else
        timer_.begin_timing(previous_);  // continues its entry: it ended under two minutes ago
    // The new entry goes and the old status returns.
    const model::task current = *target_;
    *target_ = snapshot_;
    save(store_, current, *target_);
}

QString start_timer_command::change_text() const { return QStringLiteral("start timer on %1").arg(label_); }

// ---- stop ----

void stop_timer_command::apply(bool first_time)
{
    if (first_time) {
        task_ = timer_.timed_task();
        if (!task_)
            return;
        label_ = history::task_label(*task_);
        const std::int32_t running = timer_.running_entry_id();
        timer_.end_timing();
        stop_time_ = time::now();
        if (const TrackedTime* e = find_entry(task_->tracked_times, running))
            entry_ = *e;
        return;
    }
    if (!task_ || entry_.id == 0)
        return;
    timer_.end_timing();
    const model::task before = *task_;
    if (TrackedTime* e = find_entry(task_->tracked_times, entry_.id)) {
        e->duration = clamp_duration(stop_time_ - e->start);
        entry_ = *e;
    }
    save(store_, before, *task_);
}

void stop_timer_command::undo()
{
    if (!task_ || entry_.id == 0 || !store_.find(task_->id))
        return;
    // The timer goes on with the same entry: the pause counts.
    restore_running_entry(store_, *task_, entry_);
    timer_.begin_timing(task_, entry_.id);
}

QString stop_timer_command::change_text() const { return QStringLiteral("stop timer on %1").arg(label_); }

// ---- a sequence of parts ----

void sequence_command::apply(bool first_time)
{
    for (auto& part : parts_)
        part->apply(first_time);
}

void sequence_command::undo()
{
    if (order_ == undo_order::forward) {
        for (auto& part : parts_)
            part->undo();
    } else {
        for (auto it = parts_.rbegin(); it != parts_.rend(); ++it)
            (*it)->undo();
    }
}

// ---- moving an entry between tasks ----

void move_tracked_time_command::move(const model::task_ptr& from, const model::task_ptr& to)
{
    TrackedTime* e = find_entry(from->tracked_times, entry_);
    if (e == nullptr)
        return;
    const TrackedTime entry = *e;
    const model::task from_before = *from;
    from->tracked_times.erase(from->tracked_times.begin() + (e - from->tracked_times.data()));
    // The source keeps the row: the target's save rewrites it with its new task.
    store_.change(from_before, *from, restore_flags | model::update_flag::keep_tracked_times);
    const model::task to_before = *to;
    to->tracked_times.push_back(entry);
    store_.change(to_before, *to, restore_flags);
}

void move_tracked_time_command::apply(bool first_time)
{
    if (first_time) {
        from_label_ = history::task_label(*from_);
        to_label_ = history::task_label(*to_);
    }
    move(from_, to_);
}

void move_tracked_time_command::undo() { move(to_, from_); }

QString move_tracked_time_command::change_text() const
{
    return QStringLiteral("moving tracked time from %1 to %2").arg(from_label_, to_label_);
}

// ---- a new task that takes an entry over ----

void add_task_with_tracked_time_command::apply(bool first_time)
{
    task_->tracked_times = {entry_};
    store_.add(task_);
    if (first_time)
        label_ = history::task_label(*task_);
    if (from_) {
        if (TrackedTime* e = find_entry(from_->tracked_times, entry_.id)) {
            const model::task before = *from_;
            from_->tracked_times.erase(from_->tracked_times.begin() + (e - from_->tracked_times.data()));
            store_.change(before, *from_, restore_flags | model::update_flag::keep_tracked_times);
        }
    }
}

void add_task_with_tracked_time_command::undo()
{
    if (const TrackedTime* e = find_entry(task_->tracked_times, entry_.id))
        entry_ = *e;
    store_.remove(task_, model::update_flag::keep_tracked_times);
    if (from_) {
        const model::task before = *from_;
        if (find_entry(from_->tracked_times, entry_.id) == nullptr)
            from_->tracked_times.push_back(entry_);
        store_.change(before, *from_, restore_flags);
    }
}

QString add_task_with_tracked_time_command::change_text() const
{
    return QStringLiteral("adding %1 with tracked time").arg(label_.isEmpty() ? history::task_label(*task_) : label_);
}

}  // namespace qm::tracking
