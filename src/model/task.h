#pragma once
// One to-do, appointment or folder: a row of Tasks plus what hangs on it.
// Task objects belong to the task store and are touched on the main thread only.

#include "model/compact_list.h"
#include "store/records.h"
#include "time/calendar.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace qm::model {

namespace status {
constexpr int unfinished = 0;
constexpr int delegated = 1;
constexpr int canceled = 2;
constexpr int finished = 3;
constexpr int waiting = 4;
}  // namespace status

namespace day_priority {
constexpr int a = 1;
constexpr int b = 2;
constexpr int c = 3;
}  // namespace day_priority

namespace folder_method {
constexpr int none = 0;
constexpr int roi = 1;
constexpr int manual = 2;
}  // namespace folder_method

// Flags of the task update (and of add and delete where they apply).
namespace update_flag {
constexpr unsigned keep_priority_value = 0x1;
constexpr unsigned keep_parent = 0x4;
constexpr unsigned no_status_hooks = 0x8;
constexpr unsigned no_day_order = 0x80;
constexpr unsigned keep_tracked_times = 0x100;
constexpr unsigned no_project_order = 0x200;
constexpr unsigned keep_project_priority_value = 0x400;
// The task's list of alarms is written too; otherwise it stays as stored, so
// that undoing an unrelated change never brings back an alarm that has fired.
constexpr unsigned with_alarms = 0x800;
}  // namespace update_flag

// A tag on a task. A tag typed onto a task may not exist yet: id 0 and a
// name, created when the task is saved.
struct tag_ref {
    std::int32_t id = 0;
    QString name;
    bool operator==(const tag_ref& o) const { return id == o.id && name == o.name; }
};

struct task {
    // The columns, in table order.
    std::int32_t id = 0;
    std::int32_t parent = 0;
    std::int32_t folder = folder_method::none;  // in memory the folder's method
    QString name;
    QString description;
    time::stored_time deadline = 0;
    std::int32_t units = 0;
    std::int32_t status = status::unfinished;
    std::int32_t role = 0;
    time::stored_date date = time::NO_DATE;
    std::int32_t appointment_start = -1;
    std::int32_t appointment_duration = -1;
    bool appointment = false;
    std::int32_t estimate = 0;
    std::int32_t original_estimate = 0;
    bool splittable = false;
    std::int32_t project = 0;
    std::int32_t priority = day_priority::b;
    std::int32_t priority_value = -1;
    std::int32_t project_priority = 0;
    std::int32_t recurrence = 0;
    std::int32_t cost = 0;
    std::int32_t project_priority_value = 0;
    std::int32_t crisis_index = 0;

    // What hangs on the task.
    compact_list<tag_ref> tags;
    compact_list<std::int32_t> dependencies;
    compact_list<store::comment_record> comments;         // its type-2 comments
    compact_list<store::tracked_time_record> tracked_times;
    compact_list<store::alarm_record> alarms;  // those attached to it (attached_type 1)

    bool is_folder() const { return folder != folder_method::none; }
    // A to-do takes a place in its day group; appointments and folders do not.
    bool is_todo() const { return !appointment && !is_folder(); }
    bool is_finished() const { return status == status::finished; }

    // Derived values, computed on demand by the store and reset on change.
    struct derived_cache {
        bool valid = false;
        std::int64_t effective_estimate = 0;
        std::int64_t baseline_estimate = 0;
        std::int64_t impact = 0;
        std::int64_t finished_impact = 0;
        std::int64_t time_left = 0;  // may be negative: the overrun
        std::int64_t time_spent = 0;
    };
    mutable derived_cache cache;

    // Columns equal (the attachments and caches aside).
    bool same_columns(const task& o) const;
};

// "unfinished", "delegated", … and back from a typed first letter.
QString status_text(int status, bool capitalised = false);
int status_from_text(const QString& text);  // -1 when unknown

}  // namespace qm::model
