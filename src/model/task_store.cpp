#include "model/task_store.h"

#include "store/announcements.h"

#include <algorithm>
#include <climits>
#include <unordered_set>

namespace qm::model {
namespace {

const char* const day_column = "priority_value";
const char* const folder_column = "project_priority_value";

// Parent chains are walked at most this far: the cycle guard's limit, and a
// safety net against a file whose parents loop.
constexpr int ancestor_limit = 20;

template <class T>
void erase_value(std::vector<T>& v, const T& x)
{
    v.erase(std::remove(v.begin(), v.end(), x), v.end());
}

void announce(int message, std::int64_t lparam, std::any payload = {})
{
    store::announcement a;
    a.message = message;
    a.lparam = lparam;
    a.payload = std::move(payload);
    store::listeners().broadcast(a);
}

}  // namespace

task_store::task_store(store::tables& tables, store::db_writer& writer) : tables_(tables), proxy_(writer) {}

// ---- lookups ----

// Tasks outside projects and at the top of their tree are not listed under
// project 0 or parent 0: in a large file that is nearly every task, a list
// no lookup needs, and removing a task from it would scan it whole.
void task_store::index(task* t)
{
    by_date_[t->date].push_back(t);
    if (t->project != 0)
        by_project_[t->project].push_back(t);
    if (t->parent != 0)
        by_parent_[t->parent].push_back(t);
}

void task_store::unindex(task* t, time::stored_date date, std::int32_t project, std::int32_t parent)
{
    erase_value(by_date_[date], t);
    if (project != 0)
        erase_value(by_project_[project], t);
    if (parent != 0)
        erase_value(by_parent_[parent], t);
}

task_ptr task_store::find(std::int32_t id) const
{
    auto it = by_id_.find(id);
    return it == by_id_.end() ? nullptr : it->second;
}

std::vector<task*> task_store::tasks_of_date(time::stored_date d) const
{
    auto it = by_date_.find(d);
    return it == by_date_.end() ? std::vector<task*>() : it->second;
}

std::vector<task*> task_store::tasks_of_project(std::int32_t project) const
{
    if (project == 0) {
        std::vector<task*> out;
        for (const auto& t : all_)
            if (t->project == 0)
                out.push_back(t.get());
        return out;
    }
    auto it = by_project_.find(project);
    return it == by_project_.end() ? std::vector<task*>() : it->second;
}

std::vector<task*> task_store::tasks_with_deadline() const
{
    std::vector<task*> out;
    for (const auto& t : all_)
        if (t->deadline != 0)
            out.push_back(t.get());
    return out;
}

std::vector<task*> task_store::children(const task& t) const
{
    std::vector<task*> out;
    if (t.id == 0)
        return out;
    auto it = by_parent_.find(t.id);
    if (it == by_parent_.end())
        return out;
    for (task* c : it->second)
        if (c->project == t.project && c != &t)
            out.push_back(c);
    return out;
}

std::vector<task*> task_store::descendants(const task& t) const
{
    std::vector<task*> out;
    std::unordered_set<const task*> seen{&t};
    std::function<void(const task&)> walk = [&](const task& node) {
        for (task* c : children(node)) {
            if (!seen.insert(c).second)
                continue;  // a loop in the file: each task once
            walk(*c);
            out.push_back(c);
        }
    };
    walk(t);
    return out;
}

task* task_store::parent_of(const task& t) const
{
    if (t.parent == 0)
        return nullptr;
    task_ptr p = find(t.parent);
    return p && p->project == t.project ? p.get() : nullptr;
}

void task_store::look_at(time::stored_date d)
{
    if (!looked_.insert(d).second || !on_first_look)
        return;
    const bool idle = pending_.empty();
    on_first_look(d);
    if (idle && !pending_.empty())
        end_change_batch();
}

bool task_store::is_ancestor(std::int32_t candidate, std::int32_t start) const
{
    std::int32_t current = start;
    for (int step = 0; step < ancestor_limit && current != 0; ++step) {
        if (current == candidate)
            return true;
        task_ptr p = find(current);
        if (!p)
            return false;
        current = p->parent;
    }
    return false;
}

int task_store::next_day_value(const task& t) const
{
    int largest = 0;
    auto it = by_date_.find(t.date);
    if (it != by_date_.end())
        for (const task* o : it->second)
            if (o->id != t.id && o->priority == t.priority)
                largest = std::max(largest, o->priority_value);
    return std::max(1, largest + 1);
}

const std::vector<task*>& task_store::folder_group_superset(std::int32_t parent, std::int32_t project) const
{
    // A folder group is the tasks of one parent in one project: a folder's
    // children, or the top of a project. Tasks outside projects keep no
    // folder order, so they form no group.
    static const std::vector<task*> none;
    if (parent != 0) {
        auto it = by_parent_.find(parent);
        return it == by_parent_.end() ? none : it->second;
    }
    if (project == 0)
        return none;
    auto it = by_project_.find(project);
    return it == by_project_.end() ? none : it->second;
}

int task_store::next_folder_value(const task& t) const
{
    int largest = 0;
    for (const task* o : folder_group_superset(t.parent, t.project))
        if (o->id != t.id && o->parent == t.parent && o->project == t.project)
            largest = std::max(largest, o->project_priority_value);
    return std::max(1, largest + 1);
}

// ---- renumbering: the same shift in memory and on disk ----

void task_store::shift_day(time::stored_date date, int priority, int from, int to, int delta, std::int32_t except)
{
    auto it = by_date_.find(date);
    if (it == by_date_.end())
        return;
    for (task* o : it->second)
        if (o->priority == priority && o->priority_value >= from && o->priority_value <= to && o->id != except)
            o->priority_value += delta;
}

void task_store::shift_folder(std::int32_t parent, std::int32_t project, int from, int to, int delta,
                              std::int32_t except)
{
    for (task* o : folder_group_superset(parent, project))
        if (o->parent == parent && o->project == project && o->project_priority_value >= from &&
            o->project_priority_value <= to && o->id != except)
            o->project_priority_value += delta;
}

void task_store::open_day(time::stored_date date, int priority, int position, std::int32_t id)
{
    shift_day(date, priority, position, INT_MAX, +1, id);
    proxy_.post_sql(task_proxy::open_text(day_column, task_proxy::day_group(date, priority), position, id));
}

void task_store::close_day(time::stored_date date, int priority, int position, std::int32_t id)
{
    shift_day(date, priority, position + 1, INT_MAX, -1, id);
    proxy_.post_sql(task_proxy::close_text(day_column, task_proxy::day_group(date, priority), position, id));
}

void task_store::open_folder(std::int32_t parent, std::int32_t project, int position, std::int32_t id)
{
    shift_folder(parent, project, position, INT_MAX, +1, id);
    proxy_.post_sql(task_proxy::open_text(folder_column, task_proxy::folder_group(parent, project), position, id));
}

void task_store::close_folder(std::int32_t parent, std::int32_t project, int position, std::int32_t id)
{
    shift_folder(parent, project, position + 1, INT_MAX, -1, id);
    proxy_.post_sql(task_proxy::close_text(folder_column, task_proxy::folder_group(parent, project), position, id));
}

// ---- load ----

void task_store::load(store::database& db, const QString& suffix)
{
    all_.clear();
    by_id_.clear();
    by_date_.clear();
    by_project_.clear();
    by_parent_.clear();
    looked_.clear();
    store::statement s = db.prepare(task_proxy::load_text(suffix));
    while (!db.step(s))
        all_.push_back(std::make_shared<task>(task_proxy::read(db, s)));
    db.finalize(s);
    by_id_.reserve(all_.size());
    for (const auto& t : all_)
        by_id_.emplace(t->id, t);

    std::unordered_map<std::int32_t, QString> tag_names;
    for (const auto& tag : tables_.contexts.cache())
        tag_names[tag->id] = tag->name;
    for (const auto& link : tables_.task_contexts.cache())
        if (task_ptr t = find(link->task))
            t->tags.push_back(tag_ref{link->context, tag_names[link->context]});
    // A link to a task deleted since is kept in the file but not carried:
    // nothing can wait on a task that is gone.
    for (const auto& d : tables_.dependencies.cache())
        if (task_ptr t = find(d->entity); t && by_id_.count(d->dependency) != 0)
            t->dependencies.push_back(d->dependency);
    for (const auto& c : tables_.comments.cache())
        if (c->type == 2)
            if (task_ptr t = find(c->associated_id))
                t->comments.push_back(*c);
    // The task holds its entries from here on; the table keeps no copy.
    for (const auto& e : tables_.tracked_times.hand_over())
        if (task_ptr t = find(e->task))
            t->tracked_times.push_back(std::move(*e));
    for (const auto& a : tables_.alarms.cache())
        if (a->attached_type == 1)
            if (task_ptr t = find(a->attached))
                t->alarms.push_back(*a);
    for (const auto& t : all_)
        index(t.get());
}

// ---- the store operations ----

void task_store::add_task(task_ptr t, unsigned flags)
{
    if (t->id == 0)
        t->id = tables_.ids.allocate(store::id_kind::tasks);

    if (!t->is_todo()) {
        t->priority_value = 0;
    } else {
        const int next = next_day_value(*t);
        // Beyond the end of the group is the end; below 1 is the top.
        if (t->priority_value == -1 || t->priority_value >= next) {
            t->priority_value = next;
        } else {
            t->priority_value = std::max(1, t->priority_value);
            open_day(t->date, t->priority, t->priority_value, t->id);
        }
    }

    if (t->project == 0) {
        t->project_priority_value = 0;
    } else if (!(flags & (update_flag::no_project_order | update_flag::keep_project_priority_value)) &&
               t->project_priority_value != 0) {
        const int next = next_folder_value(*t);
        t->project_priority_value = std::clamp(t->project_priority_value, 1, next);
        open_folder(t->parent, t->project, t->project_priority_value, t->id);
    }

    proxy_.post_insert(*t);
    all_.push_back(t);
    by_id_[t->id] = t;
    index(t.get());
    write_attachments(task(), *t, !(flags & update_flag::keep_tracked_times));
    invalidate(*t);
    announce(task_message::joined, t->id);
}

void task_store::update_task(const task& O, task& N, unsigned flags)
{
    announce(task_message::about_to_change, N.id, task_change_payload{O, &N});

    // A task moved to another project lands at its top level.
    if (O.project != N.project && O.parent == N.parent && !(flags & update_flag::keep_parent))
        N.parent = 0;

    // 1. Cycle guard: a parent that is the task or one of its descendants.
    bool keep_folder_value = flags & update_flag::keep_project_priority_value;
    if (N.parent != 0 && (N.parent == N.id || is_ancestor(N.id, N.parent))) {
        N.parent = O.parent;
        keep_folder_value = false;
    }

    if (O.date != N.date || O.project != N.project || O.parent != N.parent) {
        unindex(&N, O.date, O.project, O.parent);
        index(&N);
    }

    // 2. Day placement.
    const int next = next_day_value(N);
    if (!(flags & update_flag::no_day_order)) {
        const bool new_group = N.date != O.date || N.priority != O.priority || O.appointment;
        if (N.priority_value > next || (!(flags & update_flag::keep_priority_value) && N.is_todo() && new_group))
            N.priority_value = next;
    }
    // 3. Normalise.
    if (!N.is_todo())
        N.priority_value = 0;
    else if (N.priority_value < 1)
        N.priority_value = 1;

    // 4. Leaving the old day group.
    const bool same_day_group = N.date == O.date && N.priority == O.priority;
    if ((N.is_todo() && O.is_todo() && !same_day_group) || (O.is_todo() && !N.is_todo()))
        close_day(O.date, O.priority, O.priority_value, N.id);

    // 5. Entering the new day group, or moving within the same one.
    if (N.is_todo()) {
        if (same_day_group && O.is_todo()) {
            if (N.priority_value != O.priority_value) {
                int lo = std::min(O.priority_value, N.priority_value);
                int hi = std::max(O.priority_value, N.priority_value);
                if (N.priority_value <= O.priority_value) {
                    shift_day(N.date, N.priority, lo, hi, +1, N.id);
                    proxy_.post_sql(task_proxy::move_text(day_column, false, task_proxy::day_group(N.date, N.priority),
                                                          lo, hi, N.id));
                } else {
                    if (N.priority_value >= next) {
                        // Placed after the last one: it becomes the last.
                        --N.priority_value;
                        --hi;
                    }
                    shift_day(N.date, N.priority, lo, hi, -1, N.id);
                    proxy_.post_sql(task_proxy::move_text(day_column, true, task_proxy::day_group(N.date, N.priority),
                                                          lo, hi, N.id));
                }
            }
        } else {
            open_day(N.date, N.priority, N.priority_value, N.id);
        }
    }

    // 6. Folder placement.
    // Outside a project there is no folder order to place in.
    const int folder_next = N.project != 0 ? next_folder_value(N) : 0;
    const bool folder_group_changed = N.parent != O.parent || N.project != O.project;
    if (!(flags & update_flag::no_project_order) && !keep_folder_value && N.project_priority_value != 0 &&
        (N.project_priority_value > folder_next || folder_group_changed))
        N.project_priority_value = folder_next;
    if (N.project == 0)
        N.project_priority_value = 0;
    else if (N.project_priority_value < 0)
        N.project_priority_value = 1;

    // 7. Closing, opening or moving within the folder group.
    if (!(flags & update_flag::no_project_order)) {
        if (O.project_priority_value != 0 && O.project != 0 && (folder_group_changed || N.project_priority_value == 0))
            close_folder(O.parent, O.project, O.project_priority_value, N.id);
        if (N.project_priority_value != 0) {
            if (folder_group_changed || O.project_priority_value == 0) {
                open_folder(N.parent, N.project, N.project_priority_value, N.id);
            } else if (N.project_priority_value != O.project_priority_value) {
                int lo = std::min(O.project_priority_value, N.project_priority_value);
                int hi = std::max(O.project_priority_value, N.project_priority_value);
                const QString group = task_proxy::folder_group(N.parent, N.project);
                if (N.project_priority_value <= O.project_priority_value) {
                    shift_folder(N.parent, N.project, lo, hi, +1, N.id);
                    proxy_.post_sql(task_proxy::move_text(folder_column, false, group, lo, hi, N.id));
                } else {
                    if (N.project_priority_value >= folder_next) {
                        --N.project_priority_value;
                        --hi;
                    }
                    shift_folder(N.parent, N.project, lo, hi, -1, N.id);
                    proxy_.post_sql(task_proxy::move_text(folder_column, true, group, lo, hi, N.id));
                }
            }
        }
    }

    // 8. The row, then what hangs on the task.
    proxy_.post_update(N);
    if (!(flags & update_flag::with_alarms))
        N.alarms = O.alarms;
    write_attachments(O, N, !(flags & update_flag::keep_tracked_times));
    invalidate(N);

    if (O.status != N.status && !(flags & update_flag::no_status_hooks) && on_status_change)
        on_status_change(N, O.status);
    if (!(flags & update_flag::no_status_hooks) && on_changed)
        on_changed(O, N);
}

void task_store::delete_task(task_ptr t, unsigned flags)
{
    announce(task_message::about_to_delete, t->id);
    if (t->is_todo())
        close_day(t->date, t->priority, t->priority_value, t->id);
    if (t->project != 0 && t->project_priority_value != 0)
        close_folder(t->parent, t->project, t->project_priority_value, t->id);
    proxy_.post_delete(t->id);

    if (!(flags & update_flag::keep_tracked_times))
        tables_.tracked_times.delete_task(t->id);
    tables_.comments.delete_owner(t->id, 2);
    for (const auto& a : t->alarms)
        tables_.alarms.delete_entity(a.id);
    if (!t->tags.empty()) {
        tables_.task_contexts.remove_task(t->id);
        delete_unused_tags(t->tags);
    }

    // The parent's derived values change with it.
    if (task* p = parent_of(*t))
        invalidate(*p);
    unindex(t.get(), t->date, t->project, t->parent);
    by_id_.erase(t->id);
    erase_value(all_, t);
}

// ---- what hangs on a task ----

void task_store::write_attachments(const task& before, task& t, bool tracked_times)
{
    if (!(before.tags == t.tags))
        write_tags(before.tags, t);
    write_comments(before.comments, t);
    write_dependencies(before.dependencies, t);
    write_alarms(before.alarms, t);
    if (tracked_times)
        write_tracked_times(before.tracked_times, t);
}

void task_store::write_tags(const compact_list<tag_ref>& before, task& t)
{
    if (!before.empty())
        tables_.task_contexts.remove_task(t.id);
    std::vector<tag_ref> written;
    for (tag_ref& tag : t.tags) {
        store::context_facade::record_ptr stored = tag.id != 0 ? tables_.contexts.find(tag.id) : nullptr;
        if (!stored) {
            // Tags match without regard to case: "Home" and "home" are one tag.
            for (const auto& c : tables_.contexts.cache())
                if (c->name.compare(tag.name, Qt::CaseInsensitive) == 0) {
                    stored = c;
                    break;
                }
        }
        if (!stored)
            stored = tables_.contexts.add_entity(store::context_record{tag.id, tag.name});
        tag.id = stored->id;
        tag.name = stored->name;
        if (std::any_of(written.begin(), written.end(), [&](const tag_ref& w) { return w.id == tag.id; }))
            continue;  // the same tag twice: one link
        written.push_back(tag);
        tables_.task_contexts.add(std::make_shared<store::task_context_record>(store::task_context_record{t.id, tag.id}));
    }
    t.tags = written;
    delete_unused_tags(before);
}

void task_store::delete_unused_tags(const compact_list<tag_ref>& tags)
{
    for (const tag_ref& tag : tags) {
        const auto& links = tables_.task_contexts.cache();
        const bool used = std::any_of(links.begin(), links.end(), [&](const auto& l) { return l->context == tag.id; });
        if (!used)
            tables_.contexts.delete_entity(tag.id);
    }
}

void task_store::write_comments(const compact_list<store::comment_record>& before, task& t)
{
    for (const auto& old : before) {
        const bool kept = std::any_of(t.comments.begin(), t.comments.end(),
                                      [&](const store::comment_record& c) { return c.id == old.id; });
        if (!kept)
            tables_.comments.delete_entity(old.id);
    }
    for (auto& c : t.comments) {
        c.associated_id = t.id;
        c.type = 2;
        auto old = std::find_if(before.begin(), before.end(),
                                [&](const store::comment_record& o) { return c.id != 0 && o.id == c.id; });
        if (old == before.end() || !(*old == c))
            c.id = tables_.comments.save(c)->id;
    }
}

void task_store::write_alarms(const compact_list<store::alarm_record>& before, task& t)
{
    if (before == t.alarms)
        return;
    auto& alarms = tables_.alarms;
    for (const auto& old : before)
        if (std::none_of(t.alarms.begin(), t.alarms.end(), [&](const store::alarm_record& a) { return a.id == old.id; }))
            alarms.delete_entity(old.id);
    for (auto& a : t.alarms) {
        a.attached = t.id;
        a.attached_type = 1;
        auto old = std::find_if(before.begin(), before.end(),
                                [&](const store::alarm_record& o) { return a.id != 0 && o.id == a.id; });
        if (old != before.end()) {
            if (!(*old == a))
                alarms.modify_entity(a);
            continue;
        }
        // An alarm copied along with another task's values is a new one.
        if (a.id != 0 && alarms.find(a.id))
            a.id = 0;
        a.id = alarms.add_entity(a)->id;
    }
}

void task_store::write_dependencies(const compact_list<std::int32_t>& before, const task& t)
{
    if (before == t.dependencies)
        return;
    auto& deps = tables_.dependencies;
    auto stored = [&](std::int32_t dependency) -> store::dependency_facade::record_ptr {
        for (const auto& d : deps.cache())
            if (d->entity == t.id && d->dependency == dependency && d->type == 0)
                return d;
        return nullptr;
    };
    for (std::int32_t d : before)
        if (std::find(t.dependencies.begin(), t.dependencies.end(), d) == t.dependencies.end())
            if (auto r = stored(d))
                deps.remove(r);
    for (std::int32_t d : t.dependencies)
        if (std::find(before.begin(), before.end(), d) == before.end() && !stored(d))
            // The key allows a link once: a link still on disk (kept when its
            // task was deleted) is not written again.
            deps.add(std::make_shared<store::dependency_record>(store::dependency_record{t.id, d, 0}));
}

void task_store::write_tracked_times(const compact_list<store::tracked_time_record>& before, task& t)
{
    // A timed task may hold thousands of entries and is saved once a minute
    // with one of them changed: entries still in their old places are
    // compared in place, and only the rest are looked up by id.
    compact_list<store::tracked_time_record>& now = t.tracked_times;
    std::size_t same_place = 0;
    while (same_place < now.size() && same_place < before.size() && now[same_place].id != 0 &&
           now[same_place].id == before[same_place].id)
        ++same_place;
    for (std::size_t i = 0; i < same_place; ++i) {
        now[i].task = t.id;
        if (!(now[i] == before[i]))
            tables_.tracked_times.save(now[i]);
    }
    std::unordered_map<std::int32_t, const store::tracked_time_record*> old_by_id;
    for (std::size_t i = same_place; i < before.size(); ++i)
        old_by_id.emplace(before[i].id, &before[i]);
    std::unordered_set<std::int32_t> kept;
    for (std::size_t i = same_place; i < now.size(); ++i) {
        store::tracked_time_record& e = now[i];
        e.task = t.id;
        auto old = e.id != 0 ? old_by_id.find(e.id) : old_by_id.end();
        if (old == old_by_id.end() || !(*old->second == e))
            e.id = tables_.tracked_times.save(e);
        kept.insert(e.id);
    }
    if (!now.empty()) {
        std::vector<std::int32_t> gone;
        for (std::size_t i = same_place; i < before.size(); ++i)
            if (kept.count(before[i].id) == 0)
                gone.push_back(before[i].id);
        tables_.tracked_times.delete_ids(gone);
    } else if (!before.empty()) {
        tables_.tracked_times.delete_task(t.id);
    }
}

// ---- the user-level wrappers and the change batch ----

void task_store::add(task_ptr t, unsigned flags)
{
    add_task(t, flags);
    pending_.push_back(pending_change{t, task(), change_kind::added});
}

void task_store::change(const task& before, task& t, unsigned flags)
{
    update_task(before, t, flags);
    unsigned kinds = change_kind::changed;
    if (before.parent != t.parent || before.project != t.project)
        kinds |= change_kind::moved;
    if (before.date != t.date)
        kinds |= change_kind::date_changed;
    pending_.push_back(pending_change{find(t.id), before, kinds});
}

void task_store::remove(task_ptr t, unsigned flags)
{
    delete_task(t, flags);
    pending_.push_back(pending_change{t, *t, change_kind::deleted});
}

std::vector<task_ptr> task_store::remove_with_descendants(task_ptr t, unsigned flags)
{
    std::vector<task_ptr> order;
    for (task* d : descendants(*t))
        if (task_ptr p = find(d->id))
            order.push_back(p);
    order.push_back(t);
    for (const task_ptr& p : order)
        remove(p, flags);
    return order;
}

void task_store::end_change_batch()
{
    // The lists of the dates the batch touched are brought up to date first:
    // what a first look creates joins this batch.
    if (on_first_look) {
        std::vector<time::stored_date> dates;
        for (const auto& e : pending_)
            if (e.t) {
                dates.push_back(e.t->date);
                if (e.kinds & change_kind::date_changed)
                    dates.push_back(e.before.date);
            }
        for (time::stored_date d : dates)
            if (looked_.insert(d).second)
                on_first_look(d);
    }
    std::vector<pending_change> batch;
    batch.swap(pending_);  // listeners may start the next batch

    std::unordered_set<std::int32_t> projects;
    for (const auto& e : batch) {
        if (!e.t)
            continue;
        projects.insert(e.t->project);
        if (e.kinds & change_kind::moved)
            projects.insert(e.before.project);
        // The task and every folder above it, before and after the change:
        // a derived value reads only the task, its tracked times and what is
        // below it, so no other task's can have changed.
        invalidate_with_ancestors(*e.t);
        if (e.before.parent != e.t->parent)
            invalidate_ancestors(e.before.parent);
    }
    if (on_project_touched)
        for (std::int32_t p : projects)
            if (p != 0)
                on_project_touched(p);
    if (on_folder_news)
        for (const auto& e : batch)
            if (e.t && (e.t->is_folder() || e.before.is_folder()))
                on_folder_news(*e.t, (e.kinds & change_kind::deleted) != 0);

    for (const auto& e : batch) {
        if (!e.t)
            continue;
        if (e.kinds & change_kind::added) {
            announce(task_message::added, e.t->id);
            announce(task_message::touched, e.t->id);
        } else if (e.kinds & change_kind::deleted) {
            announce(task_message::deleted, e.t->id, task_deleted_payload{e.t->id, e.t->date});
            announce(task_message::touched, 0);
        } else {
            announce(task_message::changed, e.t->id, task_change_payload{e.before, e.t.get()});
            announce(task_message::touched, e.t->id);
        }
    }
    announce(task_message::batch_ended, 0);
}

// ---- derived values ----

void task_store::invalidate(const task& t) const { t.cache.valid = false; }

void task_store::invalidate_ancestors(std::int32_t parent) const
{
    std::int32_t current = parent;
    for (int step = 0; step < ancestor_limit && current != 0; ++step) {
        task_ptr p = find(current);
        if (!p)
            break;
        invalidate(*p);
        current = p->parent;
    }
}

void task_store::invalidate_with_ancestors(const task& t) const
{
    invalidate(t);
    invalidate_ancestors(t.parent);
}

void task_store::compute(const task& t) const
{
    if (t.cache.valid)
        return;
    // Marked valid first, so that a loop of parents in a damaged file ends
    // here instead of recursing for ever.
    t.cache = task::derived_cache();
    t.cache.valid = true;

    std::int64_t spent = 0;
    for (const auto& e : t.tracked_times)
        if (e.type == 0)
            spent += e.duration;
    t.cache.time_spent = spent;

    const std::int64_t own_baseline = t.original_estimate != 0 ? t.original_estimate : t.estimate;
    const bool closed =
        t.status == status::delegated || t.status == status::canceled || t.status == status::finished;
    if (t.is_folder()) {
        std::int64_t sum_estimate = 0, sum_baseline = 0, sum_impact = 0, sum_finished = 0, sum_left = 0;
        for (task* c : children(t)) {
            compute(*c);
            sum_estimate += c->cache.effective_estimate;
            sum_baseline += c->cache.baseline_estimate;
            sum_impact += c->cache.impact;
            if (c->is_finished())
                sum_finished += c->cache.impact;
            sum_left += std::max<std::int64_t>(0, c->cache.time_left);
        }
        t.cache.effective_estimate = std::max<std::int64_t>(t.estimate, sum_estimate);
        t.cache.baseline_estimate = std::max(own_baseline, sum_baseline);
        t.cache.impact = std::max<std::int64_t>(t.units, sum_impact);
        t.cache.finished_impact = sum_finished;
        t.cache.time_left = closed ? 0 : sum_left + std::max<std::int64_t>(0, t.estimate - sum_estimate);
    } else {
        t.cache.effective_estimate = t.appointment ? std::max(0, t.appointment_duration) : t.estimate;
        t.cache.baseline_estimate = own_baseline;
        t.cache.impact = t.units;
        t.cache.finished_impact = t.is_finished() ? t.units : 0;
        t.cache.time_left = closed ? 0 : t.cache.effective_estimate - spent;
    }
}

std::int32_t task_store::effective_role(const task& t) const
{
    if (t.role != 0 || t.project == 0 || !project_role)
        return t.role;
    return project_role(t.project);
}

std::int64_t task_store::effective_estimate(const task& t) const
{
    compute(t);
    return t.cache.effective_estimate;
}

std::int64_t task_store::baseline_estimate(const task& t) const
{
    compute(t);
    return t.cache.baseline_estimate;
}

std::int64_t task_store::impact(const task& t) const
{
    compute(t);
    return t.cache.impact;
}

std::int64_t task_store::finished_impact(const task& t) const
{
    compute(t);
    return t.cache.finished_impact;
}

std::int64_t task_store::time_spent(const task& t) const
{
    compute(t);
    return t.cache.time_spent;
}

std::int64_t task_store::time_left(const task& t) const
{
    compute(t);
    return std::max<std::int64_t>(0, t.cache.time_left);
}

std::int64_t task_store::overrun(const task& t) const
{
    compute(t);
    return -t.cache.time_left;
}

double task_store::roi(const task& t) const
{
    const std::int64_t minutes = effective_estimate(t) / 60;
    return minutes == 0 ? 0.0 : static_cast<double>(impact(t)) / static_cast<double>(minutes);
}

double task_store::yield(const task& t) const
{
    if (effective_estimate(t) < 60)
        return 0.0;
    const std::int64_t minutes = std::max<std::int64_t>(time_left(t), 60) / 60;
    return static_cast<double>(impact(t)) / static_cast<double>(minutes);
}

float task_store::progress(const task& t) const
{
    const std::int64_t estimate = effective_estimate(t);
    if (estimate == 0)
        return 0.0f;
    const float p = static_cast<float>(time_spent(t)) / static_cast<float>(estimate) * 100.0f;
    return std::clamp(p, 0.0f, 100.0f);
}

}  // namespace qm::model
