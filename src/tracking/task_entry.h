#pragma once
// The Clapperboard's task entry: an edit line over today's tasks. Typing
// filters the list; a name that no task of today has becomes a pending new
// task, added undoably and shown first, renamed as the typing goes on. On
// confirmation a pending task that was not chosen is taken away again, and
// one that was chosen undoes together with what the entry was for. Main
// thread only.

#include "history/task_commands.h"

#include <functional>
#include <vector>

namespace qm::tracking {

class task_entry {
public:
    task_entry(history::history& h, history::task_commands& commands, model::task_store& store);
    ~task_entry();
    task_entry(const task_entry&) = delete;
    task_entry& operator=(const task_entry&) = delete;

    // Starts afresh: no text, every task of today, no pending task.
    void reset();
    void set_text(const QString& typed);
    const QString& text() const { return text_; }

    // The list as shown: the pending task first, then the tasks of today
    // whose name holds the text, those that begin with it first.
    const std::vector<model::task_ptr>& candidates() const { return candidates_; }
    int current() const { return current_; }
    void move(int step);
    void set_current(int row);
    model::task_ptr current_task() const;
    const model::task_ptr& pending() const { return pending_; }

    // Runs operation on the current task inside one history group; false
    // (and nothing done) when the list is empty.
    bool confirm(const std::function<void(const model::task_ptr&)>& operation);
    // Takes a pending task away (the window closes without a choice).
    void discard_pending();

private:
    void refilter();
    void add_pending(const QString& name);
    bool pending_add_is_newest() const;

    history::history& history_;
    history::task_commands& commands_;
    model::task_store& store_;
    QString text_;
    std::vector<model::task_ptr> candidates_;
    int current_ = -1;
    model::task_ptr pending_;
    const history::command* pending_add_ = nullptr;  // its entry in the history
};

}  // namespace qm::tracking
