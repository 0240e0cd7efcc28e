#include "history/item_paste.h"

#include "model/project_order.h"

#include <algorithm>
#include <functional>
#include <unordered_map>
#include <unordered_set>

namespace qm::history {
namespace {

// Parents before their children, so that a copied folder exists before the
// copies that go into it; list order otherwise.
void parents_first(model::paste_set& set)
{
    std::unordered_map<std::int32_t, int> depth;
    for (const model::paste_entry& e : set.entries) {
        int d = 0;
        std::int32_t parent = e.before.parent;
        std::unordered_set<std::int32_t> seen;
        while (parent != 0 && set.index.count(parent) != 0 && seen.insert(parent).second) {
            ++d;
            parent = set.entries[set.index.at(parent)].before.parent;
        }
        depth[e.source_id] = d;
    }
    std::stable_sort(set.entries.begin(), set.entries.end(), [&](const model::paste_entry& a, const model::paste_entry& b) {
        return depth[a.source_id] < depth[b.source_id];
    });
    set.index.clear();
    for (std::size_t i = 0; i < set.entries.size(); ++i)
        set.index[set.entries[i].source_id] = i;
}

// The group of one call: begun here, ended when it goes.
class group_scope {
public:
    group_scope(history& h, const QString& label, unsigned flags) : h_(h) { h_.begin_group(label, flags); }
    ~group_scope() { h_.end_group(); }
    group_scope(const group_scope&) = delete;
    group_scope& operator=(const group_scope&) = delete;

private:
    history& h_;
};

}  // namespace

QString item_paste::paste_label(const QString& list_description)
{
    return QStringLiteral("pasting into %1").arg(list_description);
}

QString item_paste::drop_label(const QString& list_description)
{
    return QStringLiteral("dropping into %1").arg(list_description);
}

std::vector<std::int32_t> item_paste::into_day(const model::item_list& items, bool cut, const day_place& place,
                                               const QString& label)
{
    model::paste_set set = model::prepare_paste(tasks_, items, cut);
    std::vector<std::int32_t> out;
    if (set.entries.empty())
        return out;
    const model::task* after = place.after;
    const bool placed = after != nullptr || (place.heading_priority >= 1 && place.heading_priority <= 3);
    const int priority = after != nullptr ? after->priority : place.heading_priority;
    const int after_value = after != nullptr && !after->appointment ? after->priority_value : 0;
    int position = after_value;
    const time::stored_date after_date = after != nullptr ? after->date : place.date;
    group_scope group(history_, label, group_flag::labelled);
    for (model::paste_entry& e : set.entries) {
        model::task& t = *e.t;
        // A folder has no day; the task the others go after stays put.
        if (t.is_folder() || &t == after)
            continue;
        const bool in_order = placed && t.is_todo();
        if (e.moved) {
            const bool stands_before = e.before.date == after_date && e.before.priority == priority &&
                                       e.before.is_todo() && e.before.priority_value > 0 &&
                                       e.before.priority_value < after_value;
            if (in_order && !stands_before)
                ++position;
            if (in_order)
                commands_.modify(t, [&](model::task& x) {
                    x.date = place.date;
                    x.priority = priority;
                    x.priority_value = position;
                }, model::update_flag::keep_priority_value);
            else
                commands_.modify(t, [&](model::task& x) { x.date = place.date; });
            out.push_back(t.id);
        } else {
            t.date = place.date;
            if (in_order) {
                ++position;
                t.priority = priority;
                t.priority_value = position;
            }
            commands_.add(e.t);
            out.push_back(t.id);
        }
    }
    return out;
}

void item_paste::move_to(model::task& t, std::int32_t project, std::int32_t parent)
{
    if (parent == t.id)
        return;
    std::vector<model::task*> below;
    std::function<void(const model::task&)> walk = [&](const model::task& node) {
        std::vector<model::task*> kids = tasks_.children(node);
        model::order_group(tasks_, kids, model::folder_method::manual);
        for (model::task* k : kids)
            if (std::find(below.begin(), below.end(), k) == below.end() && k != &t) {
                below.push_back(k);
                walk(*k);
            }
    };
    walk(t);
    for (const model::task* d : below)
        if (d->id == parent)
            return;  // never under itself
    if (t.project == project && t.parent == parent)
        return;
    const bool other_project = t.project != project;
    commands_.modify(t, [&](model::task& x) {
        x.project = project;
        x.parent = parent;
        x.project_priority_value = project != 0 ? 1 : 0;  // the end of the new group
    }, model::update_flag::keep_parent);
    if (other_project)
        for (model::task* d : below)
            commands_.modify(*d, [&](model::task& x) {
                x.project = project;
                x.project_priority_value = project != 0 ? 1 : 0;
            }, model::update_flag::keep_parent);
}

model::task* item_paste::find_folder(std::int32_t project, std::int32_t parent, const QString& name) const
{
    for (model::task* t : tasks_.tasks_of_project(project))
        if (t->is_folder() && t->parent == parent && t->name.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    return nullptr;
}

model::task* item_paste::make_folder(std::int32_t project, std::int32_t parent, const QString& name)
{
    auto f = std::make_shared<model::task>();
    f->name = name;
    f->folder = model::folder_method::roi;
    f->date = time::FOLDER_DATE;
    f->appointment = true;
    f->project = project;
    f->parent = parent;
    commands_.add(f);
    return f.get();
}

std::vector<std::int32_t> item_paste::place_in_project(const model::paste_set& prepared, std::int32_t project,
                                                       const model::task* folder)
{
    model::paste_set set = prepared;
    parents_first(set);
    const model::project_ptr p = projects_.find(project);
    const std::int32_t role = p ? p->role : 0;
    const std::int32_t default_parent = folder != nullptr ? folder->id : 0;
    std::unordered_map<std::int32_t, std::int32_t> counterpart;  // source id -> id in the list now
    std::vector<std::int32_t> out;
    for (model::paste_entry& e : set.entries) {
        model::task& t = *e.t;
        const auto mapped = counterpart.find(e.before.parent);
        const bool parent_pasted = e.before.parent != 0 && mapped != counterpart.end();
        const std::int32_t parent = parent_pasted ? mapped->second : default_parent;
        if (e.moved) {
            move_to(t, project, parent);
            if (t.role == 0 && role != 0)
                commands_.modify(t, [role](model::task& x) { x.role = role; });
            counterpart[e.source_id] = t.id;
            out.push_back(t.id);
            continue;
        }
        if (t.is_folder())
            if (model::task* existing = find_folder(project, parent, t.name)) {
                counterpart[e.source_id] = existing->id;  // the folder there stands in for the copy
                continue;
            }
        t.project = project;
        t.parent = parent;
        if (!parent_pasted)
            t.project_priority_value = 0;
        if (t.role == 0)
            t.role = role;
        commands_.add(e.t);
        counterpart[e.source_id] = t.id;
        out.push_back(t.id);
    }
    return out;
}

std::vector<std::int32_t> item_paste::into_project(const model::item_list& items, bool cut, std::int32_t project,
                                                   const QString& label)
{
    if (project == 0 || !projects_.find(project))
        return {};
    const model::paste_set set = model::prepare_paste(tasks_, items, cut);
    if (set.entries.empty())
        return {};
    group_scope group(history_, label, group_flag::labelled);
    return place_in_project(set, project, nullptr);
}

std::vector<std::int32_t> item_paste::into_folder(const model::item_list& items, bool cut, std::int32_t project,
                                                  const model::task* folder, const QString& label)
{
    if (project == 0 || !projects_.find(project))
        return {};
    const model::paste_set set = model::prepare_paste(tasks_, items, cut);
    if (set.entries.empty())
        return {};
    group_scope group(history_, label, group_flag::labelled);
    return place_in_project(set, project, folder);
}

std::vector<std::int32_t> item_paste::onto_project(const model::item_list& items, bool copy, const model::project& p)
{
    model::paste_set set = model::prepare_paste(tasks_, items, !copy);
    std::vector<std::int32_t> out;
    if (set.entries.empty())
        return out;
    parents_first(set);
    const QString label = QStringLiteral("dropping %1 onto %2")
                              .arg(set.entries.size() == 1 ? QStringLiteral("task") : QStringLiteral("tasks"),
                                   model::project_caption(p));
    group_scope group(history_, label, group_flag::labelled);
    for (model::paste_entry& e : set.entries) {
        // The names of the folders from the old project down to the task's parent.
        QStringList path;
        if (e.before.project != 0) {
            std::unordered_set<std::int32_t> seen;
            for (std::int32_t up = e.before.parent; up != 0 && seen.insert(up).second;) {
                const model::task_ptr a = tasks_.find(up);
                if (!a || a->project != e.before.project)
                    break;
                path.prepend(a->name);
                up = a->parent;
            }
        }
        std::int32_t parent = 0;
        for (const QString& name : path) {
            model::task* f = find_folder(p.id, parent, name);
            if (f == nullptr)
                f = make_folder(p.id, parent, name);
            parent = f->id;
        }
        model::task& t = *e.t;
        if (e.moved) {
            move_to(t, p.id, parent);
        } else {
            t.project = p.id;
            t.parent = parent;
            t.project_priority_value = 0;
            commands_.add(e.t);
        }
        out.push_back(t.id);
    }
    return out;
}

int item_paste::paste_text(const model::outline& lines, const std::function<model::task_ptr()>& new_item,
                           const QString& list_description, const std::function<bool(int, int)>& progress)
{
    if (lines.lines.empty() || !new_item)
        return 0;
    group_scope group(history_, QStringLiteral("pasting text into ") + list_description, 0);
    const int total = static_cast<int>(lines.lines.size());
    std::vector<std::int32_t> line_task(lines.lines.size(), 0);
    std::unordered_map<int, int> children;  // next child value, by line
    int done = 0;
    for (int i = 0; i < total; ++i) {
        if (progress && (i % 50) == 0 && !progress(i, total))
            break;
        const model::outline_line& l = lines.lines[static_cast<std::size_t>(i)];
        const std::int32_t parent_id = l.parent >= 0 && l.parent < i ? line_task[static_cast<std::size_t>(l.parent)] : 0;
        if (l.kind == model::outline_line::description) {
            if (model::task_ptr owner = tasks_.find(parent_id))
                commands_.modify(*owner, [&](model::task& x) {
                    x.description += x.description.isEmpty() ? l.text : QStringLiteral("\r\n") + l.text;
                });
            ++done;
            continue;
        }
        if (l.id_ref != 0)
            if (model::task_ptr existing = tasks_.find(l.id_ref)) {
                commands_.modify(*existing, [&](model::task& x) { x.name = l.text; });
                line_task[static_cast<std::size_t>(i)] = existing->id;
                ++done;
                continue;
            }
        model::task_ptr t = new_item();
        if (!t)
            break;
        if (l.kind == model::outline_line::heading) {
            t->folder = model::folder_method::roi;
            t->date = time::FOLDER_DATE;
            t->appointment = true;
        }
        const model::task_ptr parent = parent_id != 0 ? tasks_.find(parent_id) : nullptr;
        if (parent) {
            t->parent = parent->id;
            t->project = parent->project;
            int& next = children.try_emplace(l.parent, 1).first->second;
            t->project_priority_value = t->project != 0 ? next++ : 0;
        }
        t->name = l.text;
        commands_.add(t);
        line_task[static_cast<std::size_t>(i)] = t->id;
        ++done;
    }
    if (progress)
        progress(total, total);
    return done;
}

}  // namespace qm::history
