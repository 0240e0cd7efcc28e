#include "tracking/alarm_store.h"

#include "tracking/alarm_commands.h"

#include <algorithm>

namespace qm::tracking {

alarm_store::alarm_store(store::alarm_facade_impl& alarms, model::task_store& tasks, history::history& h,
                         alarm_actions& actions, QString asset_folder)
    : alarms_(alarms), tasks_(tasks), history_(h), actions_(actions), asset_folder_(std::move(asset_folder))
{
    store::listeners().add(this);
}

alarm_store::~alarm_store() { store::listeners().remove(this); }

alarm_ptr alarm_store::find(std::int32_t id) const
{
    if (id < 0) {
        for (const auto& list : generated_)
            for (const alarm_ptr& a : list)
                if (a->id == id)
                    return a;
        return nullptr;
    }
    return alarms_.find(id);
}

std::vector<alarm_ptr> alarm_store::alarms_of(std::int32_t task) const
{
    std::vector<alarm_ptr> out;
    for (const alarm_ptr& a : alarms_.cache())
        if (a->attached == task && a->attached_type < 16 && category(a->attached_type) == 1)
            out.push_back(a);
    return out;
}

void alarm_store::close_windows(std::int32_t id)
{
    if (windows_ != nullptr && windows_->has_window(id))
        windows_->close(id);
}

// ---- firing ----

void alarm_store::fire(const alarm_ptr& a)
{
    if (cleared_ || !a)
        return;
    if (a->flags & alarm_flag::show_window) {
        if (is_windowed(a->id))
            return;
        if (windows_ != nullptr)
            windows_->open(*a);
    }
    if (!a->command.isEmpty())
        if (const std::optional<std::vector<alarm_entry>> entries = read_alarm_command(a->command))
            for (const alarm_entry& e : *entries)
                run_entry(e, actions_, asset_folder_);  // failures while firing are not reported
    if (on_fired)
        on_fired(*a);
}

void alarm_store::fire_if_free(const alarm_ptr& a, std::vector<alarm_ptr>& fired)
{
    if (is_windowed(a->id) || std::find(fired.begin(), fired.end(), a) != fired.end())
        return;
    fire(a);
    fired.push_back(a);
}

void alarm_store::after_firing(const std::vector<alarm_ptr>& fired)
{
    for (const alarm_ptr& a : fired) {
        if (a->id <= 0 || (a->flags & alarm_flag::show_window) || !alarms_.find(a->id))
            continue;
        // A snoozed conflict alarm is stored only to come back once.
        if (is_one_shot(a->type) || a->type == alarm_type::schedule_conflict ||
            a->type == alarm_type::deadline_conflict)
            delete_fired(a->id);
    }
}

void alarm_store::fire_next_transition(std::vector<alarm_ptr>& fired)
{
    // Default settings carry the flag for the alarms made from them; they
    // never fire themselves.
    const std::vector<alarm_ptr> all = alarms_.cache();
    for (const alarm_ptr& a : all)
        if ((a->flags & alarm_flag::next_transition) && !is_template(*a))
            fire_if_free(a, fired);
}

// ---- triggers ----

void alarm_store::poll()
{
    if (cleared_)
        return;
    const time::stored_time now = time::now();
    if (now == last_)
        return;
    if (now == 0) {
        last_ = now;
        return;
    }
    std::vector<alarm_ptr> due;
    for (const alarm_ptr& a : alarms_.cache()) {
        if (a->attached_type >= 16)
            continue;
        const std::optional<time::stored_time> t = due_time(*a, tasks_);
        if (t && *t != 0 && last_ < *t && *t <= now)
            due.push_back(a);
    }
    last_ = now;
    std::vector<alarm_ptr> fired;
    for (const alarm_ptr& a : due)
        fire_if_free(a, fired);
    after_firing(fired);
}

bool alarm_store::timer_condition(const Alarm& a, const model::task& t, const TrackedTime& running,
                                  std::int64_t prev, std::int64_t others) const
{
    switch (a.type) {
    case alarm_type::time_reaches: return others + running.duration >= a.time && others < a.time;
    case alarm_type::estimate_reached:
        return tasks_.time_left(t) == 0 && prev + others < tasks_.effective_estimate(t);
    case alarm_type::timer_reaches:
    case alarm_type::timer_reaches_every: return running.duration >= a.time && prev < a.time;
    default: return false;
    }
}

void alarm_store::timer_tick(const model::task& t, const TrackedTime& running, std::int64_t prev,
                             std::int64_t others)
{
    if (cleared_)
        return;
    std::vector<alarm_ptr> fired;
    for (const alarm_ptr& a : alarms_of(t.id))
        if (timer_condition(*a, t, running, prev, others))
            fire_if_free(a, fired);
    after_firing(fired);
}

void alarm_store::withdraw(int list, std::int32_t task)
{
    auto& alarms = generated_[list];
    for (auto it = alarms.begin(); it != alarms.end();) {
        if ((*it)->attached == task) {
            close_windows((*it)->id);
            it = alarms.erase(it);
        } else {
            ++it;
        }
    }
}

void alarm_store::task_changed(const model::task& before, const model::task& after)
{
    if (cleared_)
        return;
    if (before.deadline != after.deadline)
        withdraw(1, after.id);
    if (schedule_before_of(before) != schedule_before_of(after) || before.appointment != after.appointment)
        withdraw(0, after.id);
    std::vector<alarm_ptr> fired;
    if (before.status != after.status)
        fire_next_transition(fired);
    for (const alarm_ptr& a : alarms_of(after.id)) {
        const bool finished = a->type == alarm_type::finished && before.status != model::status::finished &&
                              after.status == model::status::finished;
        const bool changed = a->type == alarm_type::status_changes && before.status != after.status;
        if (finished || changed)
            fire_if_free(a, fired);
    }
    after_firing(fired);
}

void alarm_store::timer_started(const model::task& t)
{
    if (cleared_)
        return;
    std::vector<alarm_ptr> fired;
    for (const alarm_ptr& a : alarms_of(t.id))
        if (a->type == alarm_type::timer_started || a->type == alarm_type::timer_started_every)
            fire_if_free(a, fired);
    after_firing(fired);
}

void alarm_store::transition()
{
    if (cleared_)
        return;
    std::vector<alarm_ptr> fired;
    fire_next_transition(fired);
    after_firing(fired);
}

void alarm_store::schedule_computed(time::stored_date date, const std::vector<const schedule::stored_block*>& blocks)
{
    const time::stored_date today = time::today();
    if (cleared_ || date != today)
        return;
    const std::int32_t timed = timed_task ? timed_task() : 0;
    std::vector<model::task_ptr> conflicts, deadlines;
    auto add = [](std::vector<model::task_ptr>& list, const model::task_ptr& t) {
        if (t && std::find(list.begin(), list.end(), t) == list.end())
            list.push_back(t);
    };
    for (const schedule::stored_block* b : blocks) {
        if (b->b.before_mark)
            add(conflicts, b->task);
        if (b->b.deadline_mark)
            add(deadlines, b->task);
    }
    // The first task of the day that the schedule puts past its latest end
    // (the timed task's own blocks are passed over).
    for (const schedule::stored_block* b : blocks) {
        const model::task& t = *b->task;
        const std::int32_t before = t.appointment ? -1 : schedule_before_of(t);
        if (latest_end(t) && b->b.end + 120 > before) {
            add(conflicts, b->task);
            break;
        }
        if (t.id != timed)
            break;
    }

    auto listed = [](const std::vector<model::task_ptr>& list, std::int32_t id) {
        return std::any_of(list.begin(), list.end(), [id](const model::task_ptr& t) { return t->id == id; });
    };
    auto has_alarm = [](const std::vector<alarm_ptr>& list, std::int32_t task) {
        return std::any_of(list.begin(), list.end(), [task](const alarm_ptr& a) { return a->attached == task; });
    };
    for (const alarm_ptr& a : generated_[0])
        if (!listed(conflicts, a->attached))
            close_windows(a->id);

    std::vector<alarm_ptr> fired;
    auto generate = [&](int list, int kind, int type, const model::task& t, time::stored_time at) {
        Alarm a = new_alarm(alarms_.cache(), kind, t.id);
        a.attached = t.id;
        a.attached_type = 1;
        a.type = type;
        a.time = at;
        a.id = next_generated_id_--;
        auto p = std::make_shared<Alarm>(std::move(a));
        generated_[list].push_back(p);
        fire_if_free(p, fired);
    };
    if (!conflict_alarms_on || conflict_alarms_on())
        for (const model::task_ptr& t : conflicts)
            if (!has_alarm(generated_[0], t->id) && t->id != timed)
                generate(0, alarm_kind::schedule_conflict, alarm_type::schedule_conflict, *t,
                         today + schedule_before_of(*t));
    if (!deadline_alarms_on || deadline_alarms_on())
        for (const model::task_ptr& t : deadlines) {
            const time::stored_time d = effective_deadline(t->deadline);
            if (t->deadline != 0 && d > today && d <= today + time::seconds_per_day && !has_alarm(generated_[1], t->id))
                generate(1, alarm_kind::deadline, alarm_type::deadline_conflict, *t, d);
        }
    after_firing(fired);
}

// ---- operations ----

alarm_ptr alarm_store::insert(Alarm a)
{
    alarm_ptr r = alarms_.add_entity(std::move(a));
    if (r->attached_type < 16 && category(r->attached_type) == 1)
        if (model::task_ptr t = tasks_.find(r->attached)) {
            auto& list = t->alarms;
            if (std::none_of(list.begin(), list.end(), [&](const Alarm& x) { return x.id == r->id; }))
                list.push_back(*r);
        }
    return r;
}

void alarm_store::replace(const Alarm& value)
{
    close_windows(value.id);
    const alarm_ptr old = alarms_.find(value.id);
    if (!old)
        return;
    const std::int32_t old_task = category(old->attached_type) == 1 ? old->attached : 0;
    alarms_.modify_entity(value);
    if (model::task_ptr t = old_task != 0 ? tasks_.find(old_task) : nullptr) {
        auto& list = t->alarms;
        list.erase(std::remove_if(list.begin(), list.end(), [&](const Alarm& x) { return x.id == value.id; }),
                   list.end());
    }
    if (value.attached_type < 16 && category(value.attached_type) == 1)
        if (model::task_ptr t = tasks_.find(value.attached))
            t->alarms.push_back(value);
}

void alarm_store::remove(std::int32_t id)
{
    close_windows(id);
    const alarm_ptr a = alarms_.find(id);
    if (!a)
        return;
    if (category(a->attached_type) == 1)
        if (model::task_ptr t = tasks_.find(a->attached)) {
            auto& list = t->alarms;
            list.erase(std::remove_if(list.begin(), list.end(), [id](const Alarm& x) { return x.id == id; }),
                       list.end());
        }
    alarms_.delete_entity(id);
}

std::int32_t alarm_store::add_alarm(Alarm a)
{
    a.id = 0;
    auto c = std::make_unique<add_alarm_command>(*this, std::move(a));
    add_alarm_command* raw = c.get();
    history_.add_command(std::move(c));
    return raw->id();
}

void alarm_store::modify_alarm(const Alarm& after)
{
    const alarm_ptr a = alarms_.find(after.id);
    if (!a || *a == after)
        return;
    history_.add_command(std::make_unique<modify_alarm_command>(*this, *a, after));
}

void alarm_store::delete_alarm(std::int32_t id)
{
    if (id < 0) {
        // A generated alarm is not stored: it only leaves its list.
        for (auto& list : generated_)
            for (const alarm_ptr& a : list)
                if (a->id == id)
                    close_windows(id);
        return;
    }
    const alarm_ptr a = alarms_.find(id);
    if (!a)
        return;
    history_.add_command(std::make_unique<delete_alarm_command>(*this, *a));
}

void alarm_store::delete_fired(std::int32_t id)
{
    if (id <= 0)
        return;
    remove(id);
}

void alarm_store::window_closed(std::int32_t id)
{
    close_windows(id);
    const alarm_ptr a = find(id);
    if (!a || id <= 0)
        return;
    if (is_one_shot(a->type) || a->type == alarm_type::schedule_conflict || a->type == alarm_type::deadline_conflict)
        delete_fired(id);
}

void alarm_store::snooze(std::int32_t id, std::int64_t seconds)
{
    const alarm_ptr a = find(id);
    if (!a)
        return;
    const time::stored_time now = time::now();
    close_windows(id);
    if (id < 0) {
        // The generated one stays in its list, so the schedule does not
        // make the same conflict alarm again at once.
        Alarm stored = *a;
        stored.flags |= alarm_flag::snoozed;
        stored.time = now + seconds;
        add_alarm(stored);
        return;
    }
    Alarm after = *a;
    after.flags |= alarm_flag::snoozed;
    if (after.attached_type == 1) {
        after.type = alarm_type::at_time_attached;
    } else {
        after.type = alarm_type::at_time;
        after.attached = 0;
    }
    after.time = now + seconds;
    if (a->type == alarm_type::timer_reaches_every || a->type == alarm_type::timer_started_every) {
        // A repeating alarm stays; the snooze is a one-time copy of it.
        add_alarm(after);
        return;
    }
    modify_alarm(after);
}

QString alarm_store::describe(const Alarm& a) const { return alarm_description(a, tasks_, time::now()); }

void alarm_store::clear()
{
    for (auto& list : generated_) {
        for (const alarm_ptr& a : list)
            close_windows(a->id);
        list.clear();
    }
    for (const alarm_ptr& a : alarms_.cache())
        close_windows(a->id);
    cleared_ = true;
}

long alarm_store::on_announcement(const store::announcement& a)
{
    if (a.message == store::message::alarm_base + store::message::about_to_delete) {
        close_windows(static_cast<std::int32_t>(a.lparam));
    } else if (a.message == model::task_message::about_to_delete) {
        withdraw(0, static_cast<std::int32_t>(a.lparam));
        withdraw(1, static_cast<std::int32_t>(a.lparam));
    }
    return 0;
}

}  // namespace qm::tracking
