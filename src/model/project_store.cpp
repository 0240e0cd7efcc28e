#include "model/project_store.h"

#include "store/announcements.h"
#include "store/tables.h"

#include <algorithm>
#include <climits>
#include <unordered_set>

namespace qm::model {
namespace {

// Milestone chains are walked at most this far: a safety net against a file
// whose parents loop.
constexpr int chain_limit = 20;

void announce(int message, std::int32_t id) { store::listeners().broadcast(message, 0, id); }

// Unfinished before finished, "type" 0 before 1 before others, then the value.
auto list_key(const project& p)
{
    const int type_rank = p.type == 0 ? 0 : p.type == 1 ? 1 : 2;
    return std::make_tuple(p.is_finished() ? 1 : 0, type_rank, p.priority_value, p.id);
}

}  // namespace

project_store::project_store(store::tables& tables, store::db_writer& writer, task_store& tasks)
    : tables_(tables), facade_(writer), tasks_(tasks)
{
}

// ---- load ----

void project_store::load(store::database& db)
{
    all_.clear();
    by_id_.clear();
    for (project& p : project_facade::load(db))
        all_.push_back(std::make_shared<project>(std::move(p)));
    std::sort(all_.begin(), all_.end(), [](const project_ptr& a, const project_ptr& b) { return a->id < b->id; });
    for (const auto& p : all_)
        by_id_[p->id] = p;
    for (const auto& c : tables_.comments.cache())
        if (c->type == 3)
            if (project_ptr p = find(c->associated_id))
                p->comments.push_back(*c);

    tasks_.project_role = [this](std::int32_t id) {
        project_ptr p = find(id);
        return p ? p->role : 0;
    };
    tasks_.on_project_touched = [this](std::int32_t id) { recompute(id); };
    recompute_all();

    // Older files hold -1: consecutive values in list order, written back.
    int next_unnumbered = 0;
    for (const auto& p : all_)
        next_unnumbered = std::max(next_unnumbered, p->priority_value + 1);
    for (const auto& p : all_)
        if (p->priority_value == -1) {
            p->priority_value = next_unnumbered++;
            facade_.post_sql(project_facade::repair_text(p->priority_value, p->id));
        }

    // A milestone whose parent is gone, or whose chain of parents loops,
    // moves to the end of the top level (in memory; written with its next update).
    for (const auto& p : all_) {
        if (p->parent == 0)
            continue;
        std::unordered_set<std::int32_t> seen{p->id};
        std::int32_t current = p->parent;
        bool sound = false;
        for (int step = 0; step < chain_limit; ++step) {
            project_ptr up = find(current);
            if (!up || !seen.insert(current).second)
                break;
            if (up->parent == 0) {
                sound = true;
                break;
            }
            current = up->parent;
        }
        if (!sound) {
            p->parent = 0;
            p->priority_value = next_value(*p);
        }
    }
}

// ---- lookups ----

project_ptr project_store::find(std::int32_t id) const
{
    auto it = by_id_.find(id);
    return it == by_id_.end() ? nullptr : it->second;
}

std::vector<project*> project_store::children(std::int32_t parent) const
{
    std::vector<project*> out;
    for (const auto& p : all_)
        if (p->parent == parent && p->id != parent)
            out.push_back(p.get());
    std::sort(out.begin(), out.end(), [](const project* a, const project* b) {
        return std::tie(a->priority_value, a->id) < std::tie(b->priority_value, b->id);
    });
    return out;
}

std::vector<const project*> project_store::chain(const project& p) const
{
    // From the top-level project down to p.
    std::vector<const project*> out{&p};
    std::unordered_set<std::int32_t> seen{p.id};
    const project* current = &p;
    for (int step = 0; step < chain_limit && current->parent != 0; ++step) {
        project_ptr up = find(current->parent);
        if (!up || !seen.insert(up->id).second)
            break;
        out.push_back(up.get());
        current = up.get();
    }
    std::reverse(out.begin(), out.end());
    return out;
}

const project* project_store::top_of(const project& p) const { return chain(p).front(); }

int project_store::next_value(const project& p) const
{
    int largest = -1;
    for (const auto& o : all_)
        if (o->id != p.id && o->parent == p.parent)
            largest = std::max(largest, o->priority_value);
    return largest + 1;
}

bool project_store::list_less(const project& a, const project& b) const
{
    const std::vector<const project*> ca = chain(a);
    const std::vector<const project*> cb = chain(b);
    const std::size_t n = std::min(ca.size(), cb.size());
    for (std::size_t i = 0; i < n; ++i)
        if (ca[i] != cb[i])
            return list_key(*ca[i]) < list_key(*cb[i]);
    return ca.size() < cb.size();  // a project comes before its milestones
}

std::vector<project*> project_store::list_order() const
{
    std::vector<project*> out;
    out.reserve(all_.size());
    for (const auto& p : all_)
        out.push_back(p.get());
    std::sort(out.begin(), out.end(), [this](const project* a, const project* b) { return list_less(*a, *b); });
    return out;
}

QString project_store::outline_number(const project& p) const
{
    if (p.parent == 0)
        return QStringLiteral("%1 ").arg(p.priority_value + 1);
    project_ptr parent = find(p.parent);
    const int parent_position = parent ? parent->priority_value : 0;
    return QStringLiteral("%1.%2 ").arg(parent_position + 1).arg(p.priority_value + 1);
}

// ---- renumbering: the same shift in memory and on disk ----

void project_store::shift(std::int32_t parent, int from, int to, int delta, std::int32_t except)
{
    for (const auto& o : all_)
        if (o->parent == parent && o->priority_value >= from && o->priority_value <= to && o->id != except)
            o->priority_value += delta;
}

void project_store::open_place(std::int32_t parent, int position, std::int32_t id)
{
    shift(parent, position, INT_MAX, +1, id);
    facade_.post_sql(project_facade::open_text(parent, position, id));
}

void project_store::close_place(std::int32_t parent, int position, std::int32_t id)
{
    shift(parent, position + 1, INT_MAX, -1, id);
    facade_.post_sql(project_facade::close_text(parent, position, id));
}

void project_store::renumber(std::int32_t parent)
{
    int value = 0;
    for (project* p : children(parent)) {
        if (p->priority_value != value) {
            announce(project_message::about_to_change, p->id);
            p->priority_value = value;
            facade_.post_update(*p);
            announce(project_message::changed, p->id);
        }
        ++value;
    }
}

void project_store::write(const project& p)
{
    facade_.post_update(p);
    if (on_project_news)
        on_project_news(p, false);
}

// ---- the store operations ----

void project_store::add_project(project_ptr p)
{
    if (p->id == 0)
        p->id = tables_.ids.allocate(store::id_kind::projects);
    const int next = next_value(*p);
    if (p->priority_value < 0 || p->priority_value >= next) {
        p->priority_value = next;
    } else if (p->priority_value != next) {
        renumber(p->parent);
        p->priority_value = std::min(p->priority_value, next_value(*p));
    }
    facade_.post_insert(*p);
    all_.push_back(p);
    by_id_[p->id] = p;
    for (auto& c : p->comments) {
        c.associated_id = p->id;
        c.type = 3;
        tables_.comments.save(c);
    }
    recompute(p->id);
    open_place(p->parent, p->priority_value, p->id);
    announce(project_message::added, p->id);
    announce(project_message::changed, p->id);
    if (on_project_news)
        on_project_news(*p, false);
}

std::vector<task> project_store::update_project(const project& O, project& N)
{
    announce(project_message::about_to_change, N.id);
    // A milestone never goes under itself or one of its own milestones.
    if (N.parent != 0) {
        project_ptr parent = find(N.parent);
        bool refused = !parent || N.parent == N.id;
        if (parent)
            for (const project* link : chain(*parent))
                refused = refused || link->id == N.id;
        if (refused) {
            N.parent = O.parent;
            N.priority_value = O.priority_value;
        }
    }

    if (N.parent != O.parent) {
        close_place(O.parent, O.priority_value, N.id);
        const int next = next_value(N);
        if (N.priority_value < 0 || N.priority_value > next)
            N.priority_value = next;
        open_place(N.parent, N.priority_value, N.id);
        renumber(O.parent);
        renumber(N.parent);
    } else if (N.priority_value != O.priority_value) {
        const int next = next_value(N);
        if (N.priority_value < 0)
            N.priority_value = 0;
        int lo = std::min(O.priority_value, N.priority_value);
        int hi = std::max(O.priority_value, N.priority_value);
        if (N.priority_value <= O.priority_value) {
            shift(N.parent, lo, hi, +1, N.id);
            facade_.post_sql(project_facade::move_text(false, N.parent, lo, hi, N.id));
        } else {
            if (N.priority_value >= next) {
                // Placed after the last one: it becomes the last.
                N.priority_value = next - 1;
                hi = N.priority_value;
            }
            shift(N.parent, lo, hi, -1, N.id);
            facade_.post_sql(project_facade::move_text(true, N.parent, lo, hi, N.id));
        }
    }

    // Tasks that carried the old role themselves take the new one; tasks
    // that inherit it follow by themselves.
    std::vector<task> followed;
    if (O.role != N.role && O.role != 0)
        for (task* t : tasks_.tasks_of_project(N.id))
            if (t->role == O.role) {
                followed.push_back(*t);
                task_ptr held = tasks_.find(t->id);
                const task before = *held;
                held->role = N.role;
                tasks_.change(before, *held, 0);
            }

    // Comments: the ones removed go, new and changed ones are saved.
    for (const auto& old : O.comments)
        if (std::none_of(N.comments.begin(), N.comments.end(), [&](const auto& c) { return c.id == old.id; }))
            tables_.comments.delete_entity(old.id);
    for (auto& c : N.comments) {
        c.associated_id = N.id;
        c.type = 3;
        auto old = std::find_if(O.comments.begin(), O.comments.end(), [&](const auto& o) { return c.id != 0 && o.id == c.id; });
        if (old == O.comments.end() || !(*old == c))
            c.id = tables_.comments.save(c)->id;
    }

    write(N);
    announce(project_message::changed, N.id);
    return followed;
}

void project_store::delete_project(project_ptr p)
{
    announce(project_message::about_to_delete, p->id);
    close_place(p->parent, p->priority_value, p->id);
    facade_.post_delete(p->id);
    tables_.comments.delete_owner(p->id, 3);
    all_.erase(std::remove(all_.begin(), all_.end(), p), all_.end());
    by_id_.erase(p->id);
    renumber(p->parent);
    announce(project_message::changed, p->id);
    if (on_project_news)
        on_project_news(*p, true);
}

// ---- statistics ----

void project_store::recompute(std::int32_t id)
{
    project_ptr p = find(id);
    if (!p)
        return;
    project_statistics s;
    for (task* t : tasks_.tasks_of_project(id)) {
        ++s.task_count;
        if (t->status >= 0 && t->status < 5)
            ++s.per_status[static_cast<std::size_t>(t->status)];
        for (const auto& e : t->tracked_times)
            s.last_activity = std::max(s.last_activity, e.start + e.duration);
        if (t->is_finished() && t->date > time::NO_DATE)
            s.last_activity = std::max(s.last_activity, t->date);
        if (tasks_.parent_of(*t) != nullptr)
            continue;
        // The top level: a folder counts what its tasks count.
        s.total_impact += tasks_.impact(*t);
        s.finished_impact += tasks_.finished_impact(*t);
        s.total_estimate += tasks_.effective_estimate(*t);
        s.total_time_left += tasks_.time_left(*t);
        s.total_time += tasks_.time_spent(*t);
        for (task* d : tasks_.descendants(*t))
            s.total_time += tasks_.time_spent(*d);
    }
    p->statistics = s;
    announce(project_message::statistics_changed, id);
}

void project_store::recompute_all()
{
    for (const auto& p : all_)
        recompute(p->id);
}

}  // namespace qm::model
