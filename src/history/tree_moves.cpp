#include "history/tree_moves.h"

#include <algorithm>
#include <functional>

namespace qm::history {
namespace {

// A hand-set position is kept even when the task changes group.
constexpr unsigned at_position = model::update_flag::keep_project_priority_value;

}  // namespace

int tree_moves::method_of(const model::task* parent, const model::project& p) const
{
    return model::group_method(p, parent);
}

std::vector<model::task*> tree_moves::group_of(const model::task& t) const
{
    model::project_ptr p = projects_.find(t.project);
    if (!p)
        return {&const_cast<model::task&>(t)};
    const model::task_tree tree = model::build_task_tree(tasks_, *p);
    for (model::task* root : tree.roots)
        if (root->id == t.id)
            return tree.roots;
    return tree.children_of(t.parent);
}

void tree_moves::make_manual(const model::task& member, const model::project& p)
{
    model::task* parent = parent_of(member);
    std::vector<model::task*> group = group_of(member);
    const int method = method_of(parent, p);
    if (model::needs_manual_switch(tasks_, group, method)) {
        if (parent == nullptr)
            project_cmds_.set_method(p, model::project_method::manual);
        else
            task_cmds_.modify(*parent, [](model::task& x) { x.folder = model::folder_method::manual; });
    }
    // Numbered from the top as shown: each step only moves later tasks down.
    for (std::size_t i = 0; i < group.size(); ++i) {
        const int wanted = static_cast<int>(i) + 1;
        if (group[i]->project_priority_value != wanted)
            task_cmds_.modify(*group[i], [wanted](model::task& x) { x.project_priority_value = wanted; });
    }
}

move_result tree_moves::move(model::task& t, int where)
{
    model::project_ptr p = projects_.find(t.project);
    if (!p)
        return {false, QStringLiteral("Only the tasks of a project can be moved in its task list.")};
    std::vector<model::task*> group = group_of(t);
    const int at = static_cast<int>(std::find(group.begin(), group.end(), &t) - group.begin());
    const int last = static_cast<int>(group.size()) - 1;
    int target = where == move_to::up ? at - 1 : where == move_to::down ? at + 1 : where == move_to::top ? 0 : last;
    target = std::clamp(target, 0, last);
    if (target == at)
        return {false, QString()};
    history_.begin_group();
    make_manual(t, *p);
    const int position = target + 1;
    task_cmds_.modify(t, [position](model::task& x) { x.project_priority_value = position; });
    history_.end_group();
    return {true, QString()};
}

move_result tree_moves::indent(model::task& t)
{
    std::vector<model::task*> group = group_of(t);
    auto it = std::find(group.begin(), group.end(), &t);
    if (it == group.begin() || it == group.end())
        return {false, QStringLiteral("The first task of a folder cannot be indented: there is nothing above it to go under.")};
    model::task* above = *(it - 1);
    return move_under(t, t.project, above);
}

move_result tree_moves::outdent(model::task& t)
{
    model::task* parent = parent_of(t);
    if (parent == nullptr)
        return {false, QStringLiteral("The task is at the top level already.")};
    model::task* grand = parent_of(*parent);
    const int position = parent->project_priority_value != 0 ? parent->project_priority_value + 1 : 0;
    history_.begin_group();
    const std::int32_t new_parent = grand != nullptr ? grand->id : 0;
    if (position != 0)
        task_cmds_.modify(t, [&](model::task& x) {
            x.parent = new_parent;
            x.project_priority_value = position;
        }, at_position | model::update_flag::keep_parent);
    else
        task_cmds_.modify(t, [&](model::task& x) {
            x.parent = new_parent;
            x.project_priority_value = 1;  // the end of the group
        }, model::update_flag::keep_parent);
    history_.end_group();
    return {true, QString()};
}

move_result tree_moves::move_under(model::task& t, std::int32_t project, model::task* new_parent)
{
    if (new_parent != nullptr) {
        if (new_parent == &t)
            return {false, QStringLiteral("A folder cannot be moved into itself.")};
        for (const model::task* d : tasks_.descendants(t))
            if (d == new_parent)
                return {false, QStringLiteral("A folder cannot be moved into one of its own folders.")};
        project = new_parent->project;
    }
    const std::int32_t parent_id = new_parent != nullptr ? new_parent->id : 0;
    if (t.project == project && t.parent == parent_id && (parent_id != 0 || parent_of(t) == nullptr))
        return {false, QString()};
    // What lies below a task moving to another project goes with it, parents
    // first and each group in its order, so that each lands at the end of its
    // group in the order it had.
    std::vector<model::task*> below;
    if (t.project != project) {
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
    }
    history_.begin_group();
    task_cmds_.modify(t, [&](model::task& x) {
        x.project = project;
        x.parent = parent_id;
        x.project_priority_value = project != 0 ? 1 : 0;  // the end of the new group
    }, model::update_flag::keep_parent);
    for (model::task* d : below)
        task_cmds_.modify(*d, [&](model::task& x) {
            x.project = project;
            x.project_priority_value = project != 0 ? 1 : 0;
        }, model::update_flag::keep_parent);
    history_.end_group();
    return {true, QString()};
}

bool tree_moves::set_method(model::task& t, int method)
{
    if (t.project == 0)
        return false;
    if (t.is_folder())
        return task_cmds_.modify(t, [method](model::task& x) { x.folder = method; });
    model::task* parent = parent_of(t);
    if (parent == nullptr) {
        model::project_ptr p = projects_.find(t.project);
        return p && project_cmds_.set_method(*p, method == model::folder_method::manual ? model::project_method::manual
                                                                                            : model::project_method::roi);
    }
    if (!parent->is_folder())
        return false;
    return task_cmds_.modify(*parent, [method](model::task& x) { x.folder = method; });
}

}  // namespace qm::history
