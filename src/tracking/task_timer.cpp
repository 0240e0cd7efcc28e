#include "tracking/task_timer.h"

#include "store/id_facade.h"

namespace qm::tracking {
namespace {
constexpr unsigned timer_save_flags = model::update_flag::no_status_hooks;
}

task_timer::task_timer(model::task_store& tasks, store::id_facade& ids) : tasks_(tasks), ids_(ids)
{
    system_timer_.setInterval(tick_period_ms);
    QObject::connect(&system_timer_, &QTimer::timeout, [this] { tick(); });
    store::listeners().add(this);
}

task_timer::~task_timer() { store::listeners().remove(this); }

TrackedTime* task_timer::find_running() const
{
    if (!timed_ || running_id_ == 0)
        return nullptr;
    auto& entries = timed_->tracked_times;
    if (running_index_ < entries.size() && entries[running_index_].id == running_id_)
        return &entries[running_index_];
    TrackedTime* e = find_entry(entries, running_id_);
    if (e != nullptr)
        running_index_ = static_cast<std::size_t>(e - entries.data());
    return e;
}

const TrackedTime* task_timer::running_entry() const { return find_running(); }

void task_timer::save(const model::task& before, bool end_batch)
{
    tasks_.change(before, *timed_, timer_save_flags);
    if (end_batch)
        tasks_.end_change_batch();
}

void task_timer::update_shown_text() { shown_text_ = running_time_text(total_tracked(timed_->tracked_times)); }

void task_timer::begin_timing(const model::task_ptr& target, std::optional<std::int32_t> entry_id)
{
    if (!target || target->date == time::RECURRENCE_MASTER_DATE || !tasks_.find(target->id))
        return;
    const time::stored_time now = time::now();

    // 1. Continue the latest entry when the gap is under two minutes.
    TrackedTime entry;
    if (entry_id) {
        const TrackedTime* given = find_entry(target->tracked_times, *entry_id);
        if (given == nullptr)
            return;
        entry = *given;
    } else if (const TrackedTime* latest = latest_task_time(target->tracked_times);
               latest != nullptr && end_of(*latest) < now && now < end_of(*latest) + resume_gap) {
        entry = *latest;
    } else {
        entry.id = ids_.allocate(store::id_kind::tracked_times);
        entry.task = target->id;
        entry.type = entry_type::task_time;
        entry.start = now;
        entry.duration = 0;
    }

    // 2. and 3.
    if (clear_idle_menu_disabled)
        clear_idle_menu_disabled();
    if (timed_)
        end_timing();

    // 4. The task becomes the timed task and holds the entry.
    timed_ = target;
    const model::task snapshot = *target;
    if (find_entry(target->tracked_times, entry.id) == nullptr)
        target->tracked_times.push_back(entry);
    running_id_ = entry.id;
    running_index_ = target->tracked_times.size() - 1;

    // 5. and 6. One save: the entry, and a task that is timed is unfinished.
    // The recurrence cascade of a task dated elsewhere arrives with recurrences.
    if (target->status != model::status::unfinished)
        target->status = model::status::unfinished;
    save(snapshot, false);
    start_snapshot_ = *target;
    save_counter_ = 0;
    update_shown_text();

    // 7. and 8.
    system_timer_.start();
    store::announcement a;
    a.message = model::task_message::timer_started;
    a.lparam = target->id;
    a.payload = timer_payload{target->date, target->id};
    store::listeners().broadcast(a);
    if (refresh_views)
        refresh_views(*target);
    if (timer_started_alarms)
        timer_started_alarms(*target);
    if (next_transition_alarms)
        next_transition_alarms();
}

void task_timer::end_timing()
{
    if (!timed_)
        return;
    system_timer_.stop();
    last_timed_ = timed_->id;
    model::task_ptr t = timed_;
    if (TrackedTime* e = find_running()) {
        model::task before = *t;
        e->duration = clamp_duration(time::now() - e->start);
        // One second less in the copy, so that the save always writes the entry.
        if (TrackedTime* old = find_entry(before.tracked_times, e->id))
            old->duration = e->duration - 1;
        save(before, true);
    }
    clear_state();
    store::announcement a;
    a.message = model::task_message::timer_stopped;
    a.lparam = t->id;
    a.payload = timer_payload{t->date, t->id};
    store::listeners().broadcast(a);
    if (refresh_views)
        refresh_views(*t);
    if (next_transition_alarms)
        next_transition_alarms();
}

void task_timer::clear_state()
{
    timed_.reset();
    running_id_ = 0;
    start_snapshot_.reset();
    shown_text_.clear();
}

void task_timer::tick()
{
    if (!timed_ || running_id_ == 0)
        return;
    const time::stored_time now = time::now();
    if (now == last_tick_)
        return;

    TrackedTime* e = find_running();
    if (e == nullptr) {
        // The entry left its task by a way that did not stop the timer (a
        // change written without hooks): nothing is left to keep current.
        system_timer_.stop();
        last_timed_ = timed_->id;
        clear_state();
        return;
    }

    std::optional<model::task> before;
    if (++save_counter_ > save_every) {
        before = *timed_;
        save_counter_ = 0;
    }

    e->duration = clamp_duration(now - e->start);
    const time::stored_time previous = last_tick_;
    last_tick_ = now;
    tasks_.invalidate_with_ancestors(*timed_);  // the folders above sum its time

    const std::int64_t total = total_tracked(timed_->tracked_times);
    const QString text = running_time_text(total);
    if (text != shown_text_) {
        shown_text_ = text;
        if (refresh_views)
            refresh_views(*timed_);
    }
    if (before) {
        save(*before, true);
        e = find_running();
        if (e == nullptr)
            return;
    }
    if (timer_alarms)
        timer_alarms(*timed_, *e, previous - e->start, total - e->duration);
}

long task_timer::on_announcement(const store::announcement& a)
{
    // A timed task that is deleted stops first, so its entry keeps the time
    // up to now; undoing the delete brings the entry back without the timer.
    if (a.message == model::task_message::about_to_delete && timed_ && a.lparam == timed_->id && running_id_ != 0) {
        system_timer_.stop();
        last_timed_ = timed_->id;
        model::task_ptr t = timed_;
        if (TrackedTime* e = find_running()) {
            model::task before = *t;
            e->duration = clamp_duration(time::now() - e->start);
            if (TrackedTime* old = find_entry(before.tracked_times, e->id))
                old->duration = e->duration - 1;
            tasks_.update_task(before, *t, timer_save_flags);
        }
        clear_state();
        store::announcement stopped;
        stopped.message = model::task_message::timer_stopped;
        stopped.lparam = t->id;
        stopped.payload = timer_payload{t->date, t->id};
        store::listeners().broadcast(stopped);
    }
    return 0;
}

}  // namespace qm::tracking
