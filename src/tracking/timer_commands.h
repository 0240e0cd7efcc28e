#pragma once
// The undoable timer commands: start, stop, Next, Progression, moving an
// entry to another task and adding a task that takes an entry over. Each
// keeps what it needs to undo and redo without reading the database.

#include "history/task_commands.h"
#include "tracking/task_timer.h"

#include <functional>

namespace qm::tracking {

class start_timer_command : public history::command {
public:
    start_timer_command(task_timer& timer, model::task_store& store, model::task_ptr target)
        : timer_(timer), store_(store), target_(std::move(target))
    {
    }
    void apply(bool first_time) override;
    void undo() override;
    QString change_text() const override;

private:
    task_timer& timer_;
    model::task_store& store_;
    model::task_ptr target_;
    model::task_ptr previous_;     // the task timed before, if any
    model::task snapshot_;         // the target before the start
    TrackedTime entry_;            // the entry the start ran, as it was last seen
    QString label_;
};

class stop_timer_command : public history::command {
public:
    stop_timer_command(task_timer& timer, model::task_store& store) : timer_(timer), store_(store) {}
    void apply(bool first_time) override;
    void undo() override;
    QString change_text() const override;

private:
    task_timer& timer_;
    model::task_store& store_;
    model::task_ptr task_;
    TrackedTime entry_;
    time::stored_time stop_time_ = 0;
    QString label_;
};

// Parts done in order; undone in order or in reverse as the command needs.
class sequence_command : public history::command {
public:
    enum class undo_order { reverse, forward };
    sequence_command(std::vector<history::command_ptr> parts, undo_order order, std::function<QString()> text)
        : parts_(std::move(parts)), order_(order), text_(std::move(text))
    {
    }
    void apply(bool first_time) override;
    void undo() override;
    QString change_text() const override { return text_(); }

private:
    std::vector<history::command_ptr> parts_;
    undo_order order_;
    std::function<QString()> text_;
};

class move_tracked_time_command : public history::command {
public:
    move_tracked_time_command(model::task_store& store, std::int32_t entry, model::task_ptr from, model::task_ptr to)
        : store_(store), entry_(entry), from_(std::move(from)), to_(std::move(to))
    {
    }
    void apply(bool first_time) override;
    void undo() override;
    QString change_text() const override;

private:
    void move(const model::task_ptr& from, const model::task_ptr& to);

    model::task_store& store_;
    std::int32_t entry_;
    model::task_ptr from_, to_;
    QString from_label_, to_label_;
};

class add_task_with_tracked_time_command : public history::command {
public:
    add_task_with_tracked_time_command(model::task_store& store, model::task_ptr new_task, TrackedTime entry,
                                       model::task_ptr from)
        : store_(store), task_(std::move(new_task)), entry_(std::move(entry)), from_(std::move(from))
    {
    }
    void apply(bool first_time) override;
    void undo() override;
    QString change_text() const override;

private:
    model::task_store& store_;
    model::task_ptr task_;
    TrackedTime entry_;
    model::task_ptr from_;
    QString label_;
};

}  // namespace qm::tracking
