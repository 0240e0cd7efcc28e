#include "model/project_order.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

namespace qm::model {

int group_method(const project& p, const task* parent)
{
    if (parent == nullptr)
        return p.folder_type == project_method::manual ? folder_method::manual : folder_method::roi;
    return parent->folder == folder_method::manual ? folder_method::manual : folder_method::roi;
}

namespace {

bool manual_less(const task* a, const task* b)
{
    const bool ao = a->project_priority_value != 0, bo = b->project_priority_value != 0;
    if (ao != bo)
        return ao;  // ordered tasks first
    if (ao && a->project_priority_value != b->project_priority_value)
        return a->project_priority_value < b->project_priority_value;
    return a->id < b->id;
}

}  // namespace

void order_group(const task_store& store, std::vector<task*>& group, int method)
{
    if (method == folder_method::manual) {
        std::sort(group.begin(), group.end(), manual_less);
        return;
    }
    std::vector<std::pair<double, task*>> keyed;
    keyed.reserve(group.size());
    for (task* t : group)
        keyed.emplace_back(store.yield(*t), t);
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first > b.first;
        return manual_less(a.second, b.second);
    });
    for (std::size_t i = 0; i < group.size(); ++i)
        group[i] = keyed[i].second;
}

bool needs_manual_switch(const task_store& store, const std::vector<task*>& group, int method)
{
    if (method != folder_method::roi)
        return false;
    return std::any_of(group.begin(), group.end(), [&](const task* t) { return store.impact(*t) != 0; });
}

const std::vector<task*>& task_tree::children_of(std::int32_t id) const
{
    static const std::vector<task*> none;
    auto it = children.find(id);
    return it == children.end() ? none : it->second;
}

task_tree build_task_tree(const task_store& store, const project& p)
{
    task_tree tree;
    std::vector<task*> tasks = store.tasks_of_project(p.id);
    std::sort(tasks.begin(), tasks.end(), [](const task* a, const task* b) { return a->id < b->id; });
    for (task* t : tasks) {
        if (store.parent_of(*t) == nullptr)
            tree.roots.push_back(t);
        else
            tree.children[t->parent].push_back(t);
    }
    std::unordered_set<const task*> reached;
    std::function<void(const task*)> mark = [&](const task* t) {
        if (!reached.insert(t).second)
            return;
        for (const task* c : tree.children_of(t->id))
            mark(c);
    };
    for (const task* t : tree.roots)
        mark(t);
    for (task* t : tasks)
        if (!reached.count(t)) {
            // Caught in a loop: shown at the top level, and out of the loop
            // below it so that nothing appears twice.
            std::vector<task*>& siblings = tree.children[t->parent];
            siblings.erase(std::remove(siblings.begin(), siblings.end(), t), siblings.end());
            tree.roots.push_back(t);
            mark(t);
        }

    order_group(store, tree.roots, group_method(p, nullptr));
    for (auto& [parent_id, group] : tree.children) {
        task_ptr parent = store.find(parent_id);
        order_group(store, group, group_method(p, parent.get()));
    }
    return tree;
}

}  // namespace qm::model
