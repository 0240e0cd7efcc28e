#include "tracking/task_entry.h"

#include <algorithm>

namespace qm::tracking {

task_entry::task_entry(history::history& h, history::task_commands& commands, model::task_store& store)
    : history_(h), commands_(commands), store_(store)
{
}

task_entry::~task_entry() = default;

void task_entry::reset()
{
    discard_pending();
    text_.clear();
    refilter();
}

bool task_entry::pending_add_is_newest() const
{
    const int at = history_.position();
    return pending_add_ != nullptr && at >= 0 && at + 1 == static_cast<int>(history_.entries().size()) &&
           history_.entries()[static_cast<std::size_t>(at)].get() == pending_add_;
}

void task_entry::discard_pending()
{
    if (!pending_)
        return;
    const model::task_ptr t = std::move(pending_);
    pending_.reset();
    if (pending_add_is_newest())
        history_.undo_step();
    else if (store_.find(t->id) == t)
        commands_.remove(t);  // something was done after it: its removal is a change of its own
    pending_add_ = nullptr;
}

void task_entry::add_pending(const QString& name)
{
    auto t = std::make_shared<model::task>();
    t->name = name;
    t->date = time::today();
    commands_.add(t);
    pending_ = t;
    pending_add_ = history_.entries()[static_cast<std::size_t>(history_.position())].get();
}

void task_entry::set_text(const QString& typed)
{
    text_ = typed;
    const QString name = typed.trimmed();
    bool known = name.isEmpty();
    for (model::task* t : store_.tasks_of_date(time::today()))
        if (t != pending_.get() && !t->is_folder() && t->name.compare(name, Qt::CaseInsensitive) == 0)
            known = true;
    if (pending_ && (known || pending_->name != name))
        discard_pending();
    if (!known && !pending_)
        add_pending(name);
    refilter();
}

void task_entry::refilter()
{
    const QString name = text_.trimmed();
    std::vector<model::task_ptr> starts, holds;
    for (model::task* t : store_.tasks_of_date(time::today())) {
        if (t->is_folder() || t == pending_.get())
            continue;
        if (name.isEmpty() || t->name.startsWith(name, Qt::CaseInsensitive))
            starts.push_back(store_.find(t->id));
        else if (t->name.contains(name, Qt::CaseInsensitive))
            holds.push_back(store_.find(t->id));
    }
    candidates_.clear();
    if (pending_)
        candidates_.push_back(pending_);
    candidates_.insert(candidates_.end(), starts.begin(), starts.end());
    candidates_.insert(candidates_.end(), holds.begin(), holds.end());
    // A task whose name begins with the text is what the user is typing
    // towards; the pending task only when none does.
    current_ = candidates_.empty() ? -1 : 0;
    if (pending_ && !starts.empty())
        current_ = 1;
}

void task_entry::move(int step)
{
    if (candidates_.empty())
        return;
    set_current(std::clamp(current_ + step, 0, static_cast<int>(candidates_.size()) - 1));
}

void task_entry::set_current(int row)
{
    if (row >= 0 && row < static_cast<int>(candidates_.size()))
        current_ = row;
}

model::task_ptr task_entry::current_task() const
{
    if (current_ < 0 || current_ >= static_cast<int>(candidates_.size()))
        return nullptr;
    return candidates_[static_cast<std::size_t>(current_)];
}

bool task_entry::confirm(const std::function<void(const model::task_ptr&)>& operation)
{
    const model::task_ptr chosen = current_task();
    if (!chosen)
        return false;
    if (chosen != pending_)
        discard_pending();
    history_.begin_group();
    if (chosen == pending_) {
        // Adding the task and booking the time undo as one step.
        history_.move_newest_into_group(pending_add_);
        pending_.reset();
        pending_add_ = nullptr;
    }
    operation(chosen);
    history_.end_group();
    refilter();
    return true;
}

}  // namespace qm::tracking
