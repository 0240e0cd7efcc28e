#pragma once
// The undoable task commands: add, delete with descendants, modify, and the
// Task menu's operations built from them. Each keeps snapshots of the tasks it
// changes; its writes are posted in the order it changes memory.

#include "history/history.h"
#include "history/task_description.h"
#include "model/task_store.h"

#include <functional>

namespace qm::history {

class add_task_command : public command {
public:
    add_task_command(model::task_store& store, model::task_ptr t) : store_(store), task_(std::move(t)) {}
    void undo() override;
    void apply(bool first_time) override;
    QString change_text() const override;

private:
    model::task_store& store_;
    model::task_ptr task_;
    QString label_;  // the task as it was added
};

class delete_task_command : public command {
public:
    delete_task_command(model::task_store& store, model::task_ptr t) : store_(store), task_(std::move(t)) {}
    void undo() override;
    void apply(bool first_time) override;
    QString change_text() const override;

private:
    model::task_store& store_;
    model::task_ptr task_;
    std::vector<model::task_ptr> deleted_;  // in deletion order, each descendant before its parent
    QString label_;
};

class modify_task_command : public command {
public:
    // after is the wanted state; the state the store settles on (positions
    // normalised, ids of new comments) is what redo restores.
    modify_task_command(model::task_store& store, model::task before, model::task after, const naming& names,
                        unsigned flags = 0)
        : store_(store),
          before_(std::move(before)),
          after_(std::move(after)),
          asked_priority_(after_.priority),
          asked_priority_value_(after_.priority_value),
          names_(names),
          flags_(flags),
          alarms_edited_(!(before_.alarms == after_.alarms))
    {
    }
    void undo() override;
    void apply(bool first_time) override;
    QString change_text() const override;

    const model::task& before() const { return before_; }
    const model::task& after() const { return after_; }

private:
    void set_state(const model::task& state, unsigned flags);

    model::task_store& store_;
    model::task before_;
    model::task after_;
    // The day priority the command asked for: the store's renumbering of the
    // day order is not a change the user made, so it is not described.
    int asked_priority_;
    int asked_priority_value_;
    naming names_;
    unsigned flags_;
    // Asked for, not settled: an alarm that fires during the change is no edit.
    bool alarms_edited_;
};

class recurrence_commands;

// The task commands as the views call them, each through the history.
class task_commands {
public:
    task_commands(history& h, model::task_store& store, naming names = {});

    void add(model::task_ptr t);
    void remove(const model::task_ptr& t);
    // Applies change to a copy of t and adds the modify command; nothing when
    // the change leaves the task as it was.
    bool modify(model::task& t, const std::function<void(model::task&)>& change, unsigned flags = 0);

    // On several tasks at once: one history group ("multiple edit" for more
    // than one change).
    void set_day_priority(const std::vector<model::task*>& tasks, int priority);
    void push_to_top(const std::vector<model::task*>& tasks);
    void push_to_bottom(const std::vector<model::task*>& tasks);
    void make_top_priority(const std::vector<model::task*>& tasks);
    void set_status(const std::vector<model::task*>& tasks, int status);
    void toggle_finished(const std::vector<model::task*>& tasks);
    void set_date(const std::vector<model::task*>& tasks, time::stored_date date);
    void convert_to_folder(const std::vector<model::task*>& tasks, int method = model::folder_method::roi);
    void convert_to_task(const std::vector<model::task*>& tasks);
    // "moving %1!d! unfinished tasks to %2"; returns how many moved.
    int pull_previously_uncompleted(int days);

    const naming& names() const { return names_; }
    // Masters and occurrences are changed and removed through these.
    void set_recurrences(recurrence_commands* r) { recurrences_ = r; }
    recurrence_commands* recurrences() const { return recurrences_; }

private:
    int group_value(const model::task& t, bool top) const;

    history& history_;
    model::task_store& store_;
    naming names_;
    recurrence_commands* recurrences_ = nullptr;
};

}  // namespace qm::history
