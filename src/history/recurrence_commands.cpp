#include "history/recurrence_commands.h"

#include "time/format.h"

namespace qm::history {
namespace {

using model::cascade::all_tasks;
using model::cascade::future_tasks;
using model::cascade::this_task;
using model::task_recurrences;

// Undo and redo put back exact snapshots, as the task commands do.
constexpr unsigned restore_flags = model::update_flag::keep_priority_value |
                                   model::update_flag::keep_project_priority_value |
                                   model::update_flag::keep_parent | model::update_flag::no_status_hooks;

bool same_task(const model::task& a, const model::task& b)
{
    return a.same_columns(b) && a.tags == b.tags && a.dependencies == b.dependencies && a.comments == b.comments &&
           a.tracked_times == b.tracked_times;
}

}  // namespace

// ---- the steps ----

void recurrence_steps::set_task(const model::task& state, unsigned flags)
{
    model::task_ptr t = store_.find(state.id);
    if (!t)
        return;
    const model::task current = *t;
    *t = state;
    store_.change(current, *t, flags);
}

void recurrence_steps::add_task(model::task_ptr t)
{
    store_.add(t);
    steps_.push_back({kind::add_task, std::move(t), {}, {}, {}, {}, 0, 0});
}

void recurrence_steps::remove_task(const model::task_ptr& t)
{
    if (!t || !store_.find(t->id))
        return;
    for (model::task_ptr& gone : store_.remove_with_descendants(t))
        steps_.push_back({kind::remove_task, std::move(gone), {}, {}, {}, {}, 0, 0});
}

model::task recurrence_steps::change_task(const model::task& state, unsigned flags)
{
    model::task_ptr t = store_.find(state.id);
    if (!t)
        return state;
    const model::task before = *t;
    *t = state;
    store_.change(before, *t, flags);
    steps_.push_back({kind::change_task, nullptr, before, *t, {}, {}, 0, 0});
    return *t;
}

time::recurrence recurrence_steps::add_pattern(const time::recurrence& r)
{
    const time::recurrence added = recurrences_.add_pattern(r);
    steps_.push_back({kind::add_pattern, nullptr, {}, {}, {}, added, 0, 0});
    return added;
}

void recurrence_steps::change_pattern(const time::recurrence& r)
{
    const time::recurrence* current = recurrences_.pattern_of(r.attached);
    if (current == nullptr || *current == r)
        return;
    const time::recurrence before = *current;
    recurrences_.update_pattern(r);
    steps_.push_back({kind::change_pattern, nullptr, {}, {}, before, r, 0, 0});
}

void recurrence_steps::delete_pattern_of(std::int32_t master)
{
    const time::recurrence* current = recurrences_.pattern_of(master);
    if (current == nullptr)
        return;
    const time::recurrence before = *current;
    recurrences_.delete_pattern(before.id);
    steps_.push_back({kind::delete_pattern, nullptr, {}, {}, before, {}, 0, 0});
}

void recurrence_steps::record_deleted(std::int32_t master, time::stored_date d)
{
    if (recurrences_.record_deleted_occurrence(master, d))
        steps_.push_back({kind::add_deleted, nullptr, {}, {}, {}, {}, master, d});
}

void recurrence_steps::restore_deleted(std::int32_t master, time::stored_date d)
{
    if (recurrences_.restore_occurrence(master, d))
        steps_.push_back({kind::remove_deleted, nullptr, {}, {}, {}, {}, master, d});
}

void recurrence_steps::generate_on_looked_dates(std::int32_t master)
{
    for (model::task_ptr& t : recurrences_.generate_on_looked_dates(master))
        steps_.push_back({kind::add_task, std::move(t), {}, {}, {}, {}, 0, 0});
}

void recurrence_steps::generate(time::stored_date d, std::int32_t master)
{
    for (model::task_ptr& t : recurrences_.generate_occurrences(d, master))
        steps_.push_back({kind::add_task, std::move(t), {}, {}, {}, {}, 0, 0});
}

void recurrence_steps::undo()
{
    for (auto it = steps_.rbegin(); it != steps_.rend(); ++it) {
        switch (it->k) {
        case kind::add_task: store_.remove(it->t); break;
        case kind::remove_task: store_.add(it->t); break;
        case kind::change_task: set_task(it->before, restore_flags); break;
        case kind::add_pattern: recurrences_.delete_pattern(it->pattern_after.id); break;
        case kind::change_pattern: recurrences_.update_pattern(it->pattern_before); break;
        case kind::delete_pattern: recurrences_.add_pattern(it->pattern_before); break;
        case kind::add_deleted: recurrences_.restore_occurrence(it->master, it->date); break;
        case kind::remove_deleted: recurrences_.record_deleted_occurrence(it->master, it->date); break;
        }
    }
}

void recurrence_steps::redo()
{
    for (const step& s : steps_) {
        switch (s.k) {
        case kind::add_task: store_.add(s.t); break;
        case kind::remove_task: store_.remove(s.t); break;
        case kind::change_task: set_task(s.after, restore_flags); break;
        case kind::add_pattern: recurrences_.add_pattern(s.pattern_after); break;
        case kind::change_pattern: recurrences_.update_pattern(s.pattern_after); break;
        case kind::delete_pattern: recurrences_.delete_pattern(s.pattern_before.id); break;
        case kind::add_deleted: recurrences_.record_deleted_occurrence(s.master, s.date); break;
        case kind::remove_deleted: recurrences_.restore_occurrence(s.master, s.date); break;
        }
    }
}

void recurrence_command::apply(bool first_time)
{
    if (first_time)
        body_(steps_);
    else
        steps_.redo();
}

// ---- the commands ----

recurrence_commands::recurrence_commands(history& h, model::task_store& store, model::task_recurrences& recurrences,
                                         naming names)
    : history_(h), store_(store), recurrences_(recurrences), names_(std::move(names))
{
    store::listeners().add(this);
}

recurrence_commands::~recurrence_commands() { store::listeners().remove(this); }

long recurrence_commands::on_announcement(const store::announcement& a)
{
    // An answer is carried only within the group of one multi-row command.
    if (a.message == message::group_begun || a.message == message::group_ended)
        carried_.reset();
    return 0;
}

bool recurrence_commands::handles(const model::task& t) const { return recurrences_.recurrence_master(t) != nullptr; }

unsigned recurrence_commands::answer(cascade_action action, bool master, unsigned flags)
{
    if (flags & all_tasks)
        return all_tasks;
    if (flags & future_tasks)
        return future_tasks;
    if (flags & this_task)
        return this_task;
    if (carried_ && history_.group_open())
        return *carried_;
    // Without a window to ask in, the choice the question preselects.
    const unsigned a = ask_ ? ask_(action, master) : (master ? all_tasks : this_task);
    if (history_.group_open())
        carried_ = a;
    return a;
}

bool recurrence_commands::add(QString text, recurrence_command::body b)
{
    auto c = std::make_unique<recurrence_command>(store_, recurrences_, std::move(text), std::move(b));
    history_.add_command(std::move(c));
    return true;
}

void recurrence_commands::change_alone(recurrence_steps& s, const model::task& before, const model::task& after,
                                       unsigned flags)
{
    if (!same_task(before, after))
        s.change_task(after, flags);
    // A moved occurrence must not be made again on the day it left.
    if (!task_recurrences::is_master(before) && before.date != after.date)
        if (model::task_ptr m = recurrences_.master_of(before))
            if (const time::recurrence* p = recurrences_.pattern_of(m->id); p && time::occurs_on(*p, before.date))
                s.record_deleted(m->id, before.date);
}

bool recurrence_commands::modify(model::task& t, model::task after, unsigned flags)
{
    if (!handles(t))
        return false;
    const bool master = task_recurrences::is_master(t);
    if (master) {
        after.date = time::RECURRENCE_MASTER_DATE;  // a master keeps its date
        after.recurrence = 0;
    }
    if (same_task(t, after))
        return false;
    const unsigned store_flags = flags & ~model::cascade::mask;
    const model::task before = t;
    const QString text = describe_task_change(before, after, names_);
    if (task_recurrences::same_cascading_fields(before, after))
        return add(text, [=](recurrence_steps& s) { change_alone(s, before, after, store_flags); });
    const unsigned a = answer(cascade_action::change, master, flags);
    if (a == 0)
        return false;
    if (a == this_task)
        return add(text, [=](recurrence_steps& s) { change_alone(s, before, after, store_flags); });
    return add(text, [=](recurrence_steps& s) { cascade(s, before, after, std::nullopt, a); });
}

bool recurrence_commands::modify_with_pattern(model::task& t, model::task after, const time::recurrence& wanted,
                                              unsigned flags)
{
    model::task_ptr m = recurrences_.recurrence_master(t);
    if (!m)
        return false;
    time::recurrence pattern = wanted;
    const time::recurrence* current = recurrences_.pattern_of(m->id);
    pattern.id = current != nullptr ? current->id : 0;
    pattern.attached = m->id;
    pattern.attached_type = 0;
    if (current != nullptr && current->same_pattern(pattern))
        return modify(t, std::move(after), flags);
    if (!time::is_valid(pattern))
        return false;
    const bool master = task_recurrences::is_master(t);
    if (master) {
        after.date = time::RECURRENCE_MASTER_DATE;
        after.recurrence = 0;
    }
    const unsigned a = answer(cascade_action::change, master, flags);
    if (a == 0)
        return false;
    const model::task before = t;
    if (a == this_task)
        return add(describe_task_change(before, after, names_),
                   [=](recurrence_steps& s) { change_alone(s, before, after, flags & ~model::cascade::mask); });
    QString text = describe_task_change(before, after, names_);
    if (same_task(before, after))
        text = QStringLiteral("changing the recurrence of %1 to: %2")
                   .arg(task_label(*m), time::describe(pattern, time::describe_flag::lower_case |
                                                                     time::describe_flag::no_period));
    return add(text, [=](recurrence_steps& s) { cascade(s, before, after, pattern, a); });
}

void recurrence_commands::cascade(recurrence_steps& s, const model::task& edited_before,
                                  const model::task& edited_after, std::optional<time::recurrence> pattern,
                                  unsigned answer)
{
    model::task_ptr m = recurrences_.recurrence_master(edited_before);
    if (!m) {
        change_alone(s, edited_before, edited_after, 0);
        return;
    }
    const std::int32_t master_id = m->id;
    const bool edited_master = edited_before.id == master_id;
    const model::task m0 = *m;

    // 1. The edited task and the pattern.
    change_alone(s, edited_before, edited_after, 0);
    if (pattern) {
        if (recurrences_.pattern_of(master_id) != nullptr)
            s.change_pattern(*pattern);
        else
            s.add_pattern(*pattern);
    }

    // 2. The master takes the change.
    model::task m1 = *store_.find(master_id);
    if (!edited_master) {
        if (model::task_ptr edited = store_.find(edited_before.id)) {
            const model::task wanted = task_recurrences::master_from_occurrence(*edited, m0);
            if (!same_task(wanted, m1))
                m1 = s.change_task(wanted, model::update_flag::no_status_hooks);
        }
    }

    // 3. The occurrences the answer names take the change from m0 to m1.
    const time::recurrence* in_force = recurrences_.pattern_of(master_id);
    const time::stored_date today = time::today();
    std::vector<std::int32_t> ids;
    for (const model::task* o : recurrences_.occurrences_of(master_id))
        if (o->id != edited_before.id && (answer == all_tasks || o->date >= today))
            ids.push_back(o->id);
    for (std::int32_t id : ids) {
        model::task_ptr o = store_.find(id);
        if (!o)
            continue;
        model::task merged = *o;
        if (recurrences_.merge(merged, m0, m1, in_force)) {
            s.remove_task(o);
            continue;
        }
        if (!same_task(merged, *o))
            s.change_task(merged, model::update_flag::keep_parent | model::update_flag::no_status_hooks);
    }
    // A new pattern may occur on days already shown.
    if (pattern)
        s.generate_on_looked_dates(master_id);
}

bool recurrence_commands::remove(const model::task_ptr& t, unsigned flags)
{
    model::task_ptr m = t ? recurrences_.recurrence_master(*t) : nullptr;
    if (!m)
        return false;
    const bool master = task_recurrences::is_master(*t);
    const unsigned a = answer(cascade_action::removal, master, flags);
    if (a == 0)
        return false;
    const QString text = QStringLiteral("deleting ") + task_label(*t);
    const std::int32_t master_id = m->id;
    if (!master && a == this_task)
        return add(text, [this, t, master_id](recurrence_steps& s) {
            const time::stored_date d = t->date;
            s.remove_task(t);
            s.record_deleted(master_id, d);
        });
    return add(text, [this, t, master_id, a](recurrence_steps& s) {
        const time::stored_date today = time::today();
        std::vector<std::int32_t> ids;
        // The task the user chose goes in any case, even when it lies in the past.
        if (t->id != master_id)
            ids.push_back(t->id);
        if (a != this_task)
            for (const model::task* o : recurrences_.occurrences_of(master_id))
                if (o->id != t->id && (a == all_tasks || o->date >= today))
                    ids.push_back(o->id);
        for (std::int32_t id : ids)
            s.remove_task(store_.find(id));
        for (time::stored_date d : recurrences_.deleted_dates(master_id))
            s.restore_deleted(master_id, d);
        s.delete_pattern_of(master_id);
        s.remove_task(store_.find(master_id));
    });
}

bool recurrence_commands::make_master(model::task& t, model::task after, time::recurrence pattern)
{
    if (!time::is_valid(pattern) || t.id == 0 || task_recurrences::is_master(t))
        return false;
    pattern.id = 0;
    pattern.attached = t.id;
    pattern.attached_type = 0;
    time::move_start_to_first_occurrence(pattern);
    task_recurrences::make_master(after);
    const QString text = QStringLiteral("making %1 recur: %2")
                             .arg(task_label(t), time::describe(pattern, time::describe_flag::lower_case |
                                                                             time::describe_flag::no_period));
    const std::int32_t id = t.id;
    return add(text, [after, pattern, id](recurrence_steps& s) {
        s.change_task(after, model::update_flag::no_status_hooks);
        s.add_pattern(pattern);
        s.generate_on_looked_dates(id);
    });
}

bool recurrence_commands::restore_occurrence(std::int32_t master, time::stored_date d)
{
    if (!recurrences_.is_deleted(master, d))
        return false;
    model::task_ptr m = store_.find(master);
    const QString text = QStringLiteral("restoring the occurrence of %1 on %2")
                             .arg(m ? task_label(*m) : QStringLiteral("task"), time::format_short_date(d));
    return add(text, [this, master, d](recurrence_steps& s) {
        s.restore_deleted(master, d);
        if (store_.looked_at(d))
            s.generate(d, master);
    });
}

int recurrence_commands::stop_recurrence(const std::vector<model::task*>& masters)
{
    const time::stored_date today = time::today();
    int stopped = 0;
    history_.begin_group();
    for (model::task* m : masters) {
        if (m == nullptr || !task_recurrences::is_master(*m))
            continue;
        const time::recurrence* p = recurrences_.pattern_of(m->id);
        if (p == nullptr || (p->ending_date != 0 && p->ending_date < today))
            continue;
        time::recurrence ended = *p;
        ended.ending_date = time::yesterday();
        if (modify_with_pattern(*m, *m, ended, future_tasks))
            ++stopped;
    }
    history_.end_group();
    return stopped;
}

}  // namespace qm::history
