#include "history/task_commands.h"

#include "history/recurrence_commands.h"
#include "model/task_operations.h"
#include "time/format.h"

namespace qm::history {
namespace {

// Undo and redo put back exact snapshots: the positions and the parent they
// hold are kept, and the others move to make room.
constexpr unsigned restore_flags = model::update_flag::keep_priority_value |
                                   model::update_flag::keep_project_priority_value |
                                   model::update_flag::keep_parent | model::update_flag::no_status_hooks;

}  // namespace

// ---- add ----

void add_task_command::apply(bool first_time)
{
    store_.add(task_);
    if (first_time)
        label_ = task_label(*task_);
}

void add_task_command::undo() { store_.remove(task_); }

QString add_task_command::change_text() const
{
    return QStringLiteral("adding ") + (label_.isEmpty() ? task_label(*task_) : label_);
}

// ---- delete with descendants ----

void delete_task_command::apply(bool first_time)
{
    if (first_time) {
        label_ = task_label(*task_);
        deleted_ = store_.remove_with_descendants(task_);
        return;
    }
    for (const auto& t : deleted_)
        store_.remove(t);
}

void delete_task_command::undo()
{
    // Parents before their descendants, each back at the place it had.
    for (auto it = deleted_.rbegin(); it != deleted_.rend(); ++it)
        store_.add(*it);
}

QString delete_task_command::change_text() const
{
    return QStringLiteral("deleting ") + (label_.isEmpty() ? task_label(*task_) : label_);
}

// ---- modify ----

void modify_task_command::set_state(const model::task& state, unsigned flags)
{
    model::task_ptr t = store_.find(state.id);
    if (!t)
        return;
    const model::task current = *t;
    *t = state;
    // Only a change that edited the alarms writes them, also on undo and redo.
    if (alarms_edited_)
        flags |= model::update_flag::with_alarms;
    store_.change(current, *t, flags);
}

void modify_task_command::apply(bool first_time)
{
    if (first_time) {
        set_state(after_, flags_);
        if (model::task_ptr t = store_.find(after_.id))
            after_ = *t;  // what the store settled on is what redo restores
        return;
    }
    set_state(after_, restore_flags);
}

void modify_task_command::undo() { set_state(before_, restore_flags); }

QString modify_task_command::change_text() const
{
    if (asked_priority_ != before_.priority || asked_priority_value_ != before_.priority_value)
        return describe_task_change(before_, after_, names_);
    model::task shown = after_;
    shown.priority = before_.priority;
    shown.priority_value = before_.priority_value;
    return describe_task_change(before_, shown, names_);
}

// ---- the commands as the views call them ----

task_commands::task_commands(history& h, model::task_store& store, naming names)
    : history_(h), store_(store), names_(std::move(names))
{
    if (!names_.task_name)
        names_.task_name = [&store](std::int32_t id) {
            model::task_ptr t = store.find(id);
            return t ? t->name : QString();
        };
}

void task_commands::add(model::task_ptr t) { history_.add_command(std::make_unique<add_task_command>(store_, std::move(t))); }

void task_commands::remove(const model::task_ptr& t)
{
    if (recurrences_ && recurrences_->handles(*t)) {
        recurrences_->remove(t);
        return;
    }
    history_.add_command(std::make_unique<delete_task_command>(store_, t));
}

bool task_commands::modify(model::task& t, const std::function<void(model::task&)>& change, unsigned flags)
{
    model::task after = t;
    change(after);
    if (after.same_columns(t) && after.tags == t.tags && after.dependencies == t.dependencies &&
        after.comments == t.comments && after.tracked_times == t.tracked_times && after.alarms == t.alarms)
        return false;
    if (recurrences_ && recurrences_->handles(t))
        return recurrences_->modify(t, std::move(after), flags);
    history_.add_command(std::make_unique<modify_task_command>(store_, t, std::move(after), names_, flags));
    return true;
}

void task_commands::set_day_priority(const std::vector<model::task*>& tasks, int priority)
{
    history_.begin_group();
    for (model::task* t : tasks)
        if (t->priority != priority)
            modify(*t, [priority](model::task& x) { x.priority = priority; });
    history_.end_group();
}

int task_commands::group_value(const model::task& t, bool top) const
{
    int best = t.priority_value;
    for (const model::task* o : store_.tasks_of_date(t.date)) {
        if (o->priority != t.priority || o->priority_value == 0 || o->is_finished())
            continue;
        best = top ? std::min(best, o->priority_value) : std::max(best, o->priority_value);
    }
    return best;
}

void task_commands::push_to_top(const std::vector<model::task*>& tasks)
{
    history_.begin_group();
    for (model::task* t : tasks)
        if (t->is_todo())
            modify(*t, [v = group_value(*t, true)](model::task& x) { x.priority_value = v; });
    history_.end_group();
}

void task_commands::push_to_bottom(const std::vector<model::task*>& tasks)
{
    history_.begin_group();
    for (model::task* t : tasks)
        if (t->is_todo())
            modify(*t, [v = group_value(*t, false)](model::task& x) { x.priority_value = v; });
    history_.end_group();
}

void task_commands::make_top_priority(const std::vector<model::task*>& tasks)
{
    history_.begin_group();
    for (model::task* t : tasks) {
        if (!t->is_todo())
            continue;
        modify(*t, [](model::task& x) { x.priority = model::day_priority::a; });
        modify(*t, [v = group_value(*t, true)](model::task& x) { x.priority_value = v; });
    }
    history_.end_group();
}

void task_commands::set_status(const std::vector<model::task*>& tasks, int status)
{
    history_.begin_group();
    for (model::task* t : tasks)
        modify(*t, [status](model::task& x) { x.status = status; });
    history_.end_group();
}

void task_commands::toggle_finished(const std::vector<model::task*>& tasks)
{
    history_.begin_group();
    for (model::task* t : tasks) {
        const int next = t->is_finished() ? model::status::unfinished : model::status::finished;
        modify(*t, [next](model::task& x) { x.status = next; });
    }
    history_.end_group();
}

void task_commands::set_date(const std::vector<model::task*>& tasks, time::stored_date date)
{
    history_.begin_group();
    for (model::task* t : tasks)
        if (!t->is_folder())
            modify(*t, [d = time::date_of(date)](model::task& x) { x.date = d; });
    history_.end_group();
}

void task_commands::convert_to_folder(const std::vector<model::task*>& tasks, int method)
{
    history_.begin_group();
    for (model::task* t : tasks)
        if (!t->is_folder())
            modify(*t, [method](model::task& x) {
                x.folder = method == model::folder_method::manual ? method : model::folder_method::roi;
                x.date = time::FOLDER_DATE;
                x.appointment = true;
            });
    history_.end_group();
}

void task_commands::convert_to_task(const std::vector<model::task*>& tasks)
{
    history_.begin_group();
    for (model::task* t : tasks)
        if (t->is_folder())
            modify(*t, [](model::task& x) {
                x.folder = model::folder_method::none;
                x.date = time::NO_DATE;
                x.appointment = false;
                x.priority_value = -1;
            });
    history_.end_group();
}

int task_commands::pull_previously_uncompleted(int days)
{
    const model::task_operations ops(store_);
    const std::vector<model::task*> found = ops.previously_uncompleted(days);
    if (found.empty())
        return 0;
    const time::stored_date today = time::today();
    history_.begin_group(model::task_operations::pull_description(static_cast<int>(found.size()),
                                                                  time::format_short_date(today)),
                         group_flag::labelled);
    for (model::task* t : found)
        modify(*t, [today](model::task& x) { x.date = today; });
    history_.end_group();
    return static_cast<int>(found.size());
}

}  // namespace qm::history
