#pragma once
// The undoable project commands: add, change (with the tasks whose role
// follows), the user's delete with or without the project's tasks, and the
// operations the project views call, each through the history.

#include "history/history.h"
#include "model/project_store.h"

#include <functional>

namespace qm::history {

class add_project_command : public command {
public:
    add_project_command(model::project_store& store, model::project_ptr p) : store_(store), project_(std::move(p)) {}
    void undo() override;
    void apply(bool first_time) override;
    QString change_text() const override;
    const model::project_ptr& project() const { return project_; }

private:
    model::project_store& store_;
    model::project_ptr project_;
};

class modify_project_command : public command {
public:
    modify_project_command(model::project_store& store, model::task_store& tasks, model::project before,
                           model::project after)
        : store_(store), tasks_(tasks), before_(std::move(before)), after_(std::move(after))
    {
    }
    void undo() override;
    void apply(bool first_time) override;
    QString change_text() const override;

private:
    void set_state(const model::project& state);

    model::project_store& store_;
    model::task_store& tasks_;
    model::project before_;
    model::project after_;
    std::vector<model::task> followed_;  // tasks whose role followed, as they were
};

// Deleting from the project list: every task of the project (each alone),
// then the project. Its milestones move to the end of the top level.
class delete_project_command : public command {
public:
    delete_project_command(model::project_store& store, model::task_store& tasks, model::project_ptr p);
    void undo() override;
    void apply(bool first_time) override;
    QString change_text() const override { return text_; }

private:
    model::project_store& store_;
    model::task_store& tasks_;
    model::project_ptr project_;
    std::vector<model::task_ptr> tasks_deleted_;
    std::vector<model::project> milestones_;  // as they were
    QString text_;
};

// "contains 1 task", "contains 2 tasks".
QString contains_text(int count);
struct question {
    QString text;
    QString caption;
    bool warning = false;
};
// What the user is asked before a project is deleted.
question delete_project_question(const model::project& p, int task_count);
QString delete_project_description(const model::project& p, int task_count);

class project_commands {
public:
    project_commands(history& h, model::project_store& store, model::task_store& tasks)
        : history_(h), store_(store), tasks_(tasks)
    {
    }

    // Adds at the end of its parent's projects (priority_value -1) or at the
    // value it carries.
    model::project_ptr add(model::project_ptr p);
    // Nothing when the change leaves the project as it was.
    bool modify(const model::project& p, const std::function<void(model::project&)>& change);
    void remove(const model::project_ptr& p);
    // Under the selected project with its role; under a milestone's parent
    // right after it.
    model::project_ptr new_milestone(const model::project& selected, const QString& name = QString());
    // One place up or down among its siblings.
    bool move(const model::project& p, bool up);
    // Manual = 1, ROI = 0.
    bool set_method(const model::project& p, int folder_type);

    history& owner() { return history_; }

private:
    history& history_;
    model::project_store& store_;
    model::task_store& tasks_;
};

}  // namespace qm::history
