#include "tracking/alarm_commands.h"

#include "tracking/alarm_store.h"

#include <algorithm>

namespace qm::tracking {

void add_alarm_command::apply(bool)
{
    // The first time allocates the id; redo brings the row back under it.
    if (alarm_ptr a = store_.insert(value_))
        value_.id = a->id;
}

void add_alarm_command::undo() { store_.remove(value_.id); }

QString add_alarm_command::change_text() const { return QStringLiteral("add ") + store_.describe(value_); }

void modify_alarm_command::set(const Alarm& value)
{
    store_.replace(value);
    const time::stored_time now = time::now();
    const alarm_ptr a = store_.find(value.id);
    if (!a)
        return;
    std::vector<alarm_ptr> fired;
    // An alarm moved to a time already passed goes off now.
    const std::optional<time::stored_time> due = due_time(*a, store_.tasks());
    if (due && *due > 0 && *due <= now && !store_.is_windowed(a->id)) {
        store_.fire(a);
        fired.push_back(a);
    }
    // Likewise one whose timer condition already holds.
    if (fired.empty() && is_task_alarm(*a))
        if (model::task_ptr t = store_.tasks().find(a->attached); t && !t->tracked_times.empty()) {
            const TrackedTime& latest = *std::max_element(t->tracked_times.begin(), t->tracked_times.end(), [](const TrackedTime& x, const TrackedTime& y) { return x.start < y.start; });
            if (store_.timer_condition(*a, *t, latest, 0, 0) && !store_.is_windowed(a->id)) {
                store_.fire(a);
                fired.push_back(a);
            }
        }
    store_.after_firing(fired);
}

void modify_alarm_command::apply(bool) { set(after_); }

void modify_alarm_command::undo() { set(before_); }

QString modify_alarm_command::change_text() const { return QStringLiteral("changes to ") + store_.describe(after_); }

void delete_alarm_command::apply(bool) { store_.remove(snapshot_.id); }

void delete_alarm_command::undo() { store_.insert(snapshot_); }

QString delete_alarm_command::change_text() const { return QStringLiteral("delete ") + store_.describe(snapshot_); }

}  // namespace qm::tracking
