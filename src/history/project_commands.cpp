#include "history/project_commands.h"

namespace qm::history {
namespace {

// Undo and redo put back exact snapshots of tasks.
constexpr unsigned restore_flags = model::update_flag::keep_priority_value |
                                   model::update_flag::keep_project_priority_value |
                                   model::update_flag::keep_parent | model::update_flag::no_status_hooks;

}  // namespace

// ---- add ----

void add_project_command::apply(bool) { store_.add_project(project_); }

void add_project_command::undo() { store_.delete_project(project_); }

QString add_project_command::change_text() const { return QStringLiteral("add ") + model::project_label(*project_); }

// ---- modify ----

void modify_project_command::set_state(const model::project& state)
{
    model::project_ptr p = store_.find(state.id);
    if (!p)
        return;
    const model::project current = *p;
    *p = state;
    p->statistics = current.statistics;
    std::vector<model::task> followed = store_.update_project(current, *p);
    if (followed_.empty())
        followed_ = std::move(followed);
}

void modify_project_command::apply(bool first_time)
{
    set_state(after_);
    if (first_time)
        if (model::project_ptr p = store_.find(after_.id))
            after_ = *p;  // what the store settled on is what redo restores
}

void modify_project_command::undo()
{
    // The project first, so that no task follows the role back by itself.
    model::project_ptr p = store_.find(before_.id);
    if (!p)
        return;
    const model::project current = *p;
    *p = before_;
    p->statistics = current.statistics;
    const model::project no_role_change = [&] {
        model::project c = current;
        c.role = before_.role;  // the tasks are put back below, each as it was
        return c;
    }();
    store_.update_project(no_role_change, *p);
    for (auto it = followed_.rbegin(); it != followed_.rend(); ++it)
        if (model::task_ptr t = tasks_.find(it->id)) {
            const model::task now = *t;
            *t = *it;
            tasks_.change(now, *t, restore_flags);
        }
}

QString modify_project_command::change_text() const
{
    return QStringLiteral("changes to ") + model::project_label(after_);
}

// ---- delete from the project list ----

QString contains_text(int count)
{
    return QStringLiteral("contains %1 task%2").arg(count).arg(count == 1 ? QString() : QStringLiteral("s"));
}

question delete_project_question(const model::project& p, int task_count)
{
    const QString name = model::project_caption(p);
    if (task_count == 0)
        return {QStringLiteral("Delete empty project: %1?").arg(name), QStringLiteral("Delete empty project?"), false};
    return {QStringLiteral("Project: %1, %2.\r\nDeleting it will also remove the associated tasks.\r\n\r\nContinue?")
                .arg(name, contains_text(task_count)),
            QStringLiteral("Delete project: %1?").arg(name), true};
}

QString delete_project_description(const model::project& p, int task_count)
{
    const QString name = model::project_caption(p);
    if (task_count == 0)
        return QStringLiteral("deleting empty project: %1").arg(name);
    return QStringLiteral("deleting project: %1, %2").arg(name, contains_text(task_count));
}

delete_project_command::delete_project_command(model::project_store& store, model::task_store& tasks,
                                               model::project_ptr p)
    : store_(store), tasks_(tasks), project_(std::move(p))
{
    text_ = delete_project_description(*project_, static_cast<int>(tasks_.tasks_of_project(project_->id).size()));
}

void delete_project_command::apply(bool first_time)
{
    if (first_time) {
        milestones_.clear();
        for (const model::project* m : store_.children(project_->id))
            milestones_.push_back(*m);
        tasks_deleted_.clear();
        std::vector<model::task*> tasks = tasks_.tasks_of_project(project_->id);
        std::sort(tasks.begin(), tasks.end(), [](const model::task* a, const model::task* b) { return a->id < b->id; });
        for (model::task* t : tasks)
            if (model::task_ptr held = tasks_.find(t->id))
                tasks_deleted_.push_back(held);
    }
    for (const model::project& m : milestones_)
        if (model::project_ptr held = store_.find(m.id)) {
            const model::project before = *held;
            held->parent = 0;
            held->priority_value = -1;  // the end of the top level
            store_.update_project(before, *held);
        }
    for (const model::task_ptr& t : tasks_deleted_)
        tasks_.remove(t);
    store_.delete_project(project_);
}

void delete_project_command::undo()
{
    store_.add_project(project_);
    for (auto it = tasks_deleted_.rbegin(); it != tasks_deleted_.rend(); ++it)
        tasks_.add(*it, model::update_flag::keep_priority_value);
    for (const model::project& m : milestones_)
        if (model::project_ptr held = store_.find(m.id)) {
            const model::project before = *held;
            held->parent = m.parent;
            held->priority_value = m.priority_value;
            store_.update_project(before, *held);
        }
}

// ---- the commands as the views call them ----

model::project_ptr project_commands::add(model::project_ptr p)
{
    auto c = std::make_unique<add_project_command>(store_, p);
    history_.add_command(std::move(c));
    return p;
}

bool project_commands::modify(const model::project& p, const std::function<void(model::project&)>& change)
{
    model::project after = p;
    change(after);
    if (after.same_columns(p) && after.comments == p.comments)
        return false;
    history_.add_command(std::make_unique<modify_project_command>(store_, tasks_, p, std::move(after)));
    return true;
}

void project_commands::remove(const model::project_ptr& p)
{
    history_.add_command(std::make_unique<delete_project_command>(store_, tasks_, p));
}

model::project_ptr project_commands::new_milestone(const model::project& selected, const QString& name)
{
    auto m = std::make_shared<model::project>();
    m->name = name;
    m->role = selected.role;
    if (selected.is_milestone()) {
        m->parent = selected.parent;
        m->priority_value = selected.priority_value + 1;
    } else {
        m->parent = selected.id;
        m->priority_value = -1;
    }
    return add(m);
}

bool project_commands::move(const model::project& p, bool up)
{
    const int last = static_cast<int>(store_.children(p.parent).size()) - 1;
    const int target = p.priority_value + (up ? -1 : 1);
    if (target < 0 || target > last)
        return false;
    return modify(p, [target](model::project& x) { x.priority_value = target; });
}

bool project_commands::set_method(const model::project& p, int folder_type)
{
    return modify(p, [folder_type](model::project& x) { x.folder_type = folder_type; });
}

}  // namespace qm::history
