#include "store/records.h"

#include <tuple>

namespace qm::store {

bool alarm_record::operator==(const alarm_record& o) const
{
    return std::tie(id, time, text, attached, attached_type, type, command, flags) ==
           std::tie(o.id, o.time, o.text, o.attached, o.attached_type, o.type, o.command, o.flags);
}

bool habit_record::operator==(const habit_record& o) const
{
    return std::tie(id, type, points, before_time, after_time, duration, maximum_points, attached_id, description) ==
           std::tie(o.id, o.type, o.points, o.before_time, o.after_time, o.duration, o.maximum_points, o.attached_id,
                    o.description);
}

bool routine_record::operator==(const routine_record& o) const
{
    return std::tie(id, name, description, role, start, duration) ==
           std::tie(o.id, o.name, o.description, o.role, o.start, o.duration);
}

bool role_record::operator==(const role_record& o) const
{
    return std::tie(id, parent, name, description, values, foreground_color, background_color) ==
           std::tie(o.id, o.parent, o.name, o.description, o.values, o.foreground_color, o.background_color);
}

bool context_record::operator==(const context_record& o) const { return id == o.id && name == o.name; }

bool task_context_record::operator==(const task_context_record& o) const
{
    return task == o.task && context == o.context;
}

bool value_record::operator==(const value_record& o) const
{
    return std::tie(id, name, description, index) == std::tie(o.id, o.name, o.description, o.index);
}

bool dependency_record::operator==(const dependency_record& o) const
{
    return std::tie(entity, dependency, type) == std::tie(o.entity, o.dependency, o.type);
}

bool deleted_occurrence_record::operator==(const deleted_occurrence_record& o) const
{
    return task_recurrence == o.task_recurrence && date == o.date;
}

bool outlook_folder_record::operator==(const outlook_folder_record& o) const
{
    return std::tie(id, store_id, entry_id) == std::tie(o.id, o.store_id, o.entry_id);
}

bool outlook_item_record::operator==(const outlook_item_record& o) const
{
    return std::tie(id, task, entry_id, outlook_folder_entry, guid) ==
           std::tie(o.id, o.task, o.entry_id, o.outlook_folder_entry, o.guid);
}

bool comment_record::operator==(const comment_record& o) const
{
    return std::tie(id, associated_id, time, type, comment) ==
           std::tie(o.id, o.associated_id, o.time, o.type, o.comment);
}

bool tracked_time_record::operator==(const tracked_time_record& o) const
{
    return std::tie(id, task, type, start, duration, caption) ==
           std::tie(o.id, o.task, o.type, o.start, o.duration, o.caption);
}

}  // namespace qm::store
