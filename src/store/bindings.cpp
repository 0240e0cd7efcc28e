#include "store/bindings.h"

namespace qm::store {

// ---- Alarms ----

alarm_facade_impl::alarm_facade_impl(db_writer& writer, id_facade* ids)
    : entity_facade("Alarms", {"id", "time", "text", "attached", "attached_type", "type", "command", "flags"},
                    "alarm_facade_impl::bind(i*), db->execute failed", writer, ids,
                    {id_kind::alarms, message::alarm_base})
{
}

void alarm_facade_impl::read(database& db, statement s, alarm_record& r) const
{
    column_reader c(db, s);
    r.id = c.integer();
    r.time = c.integer64();
    r.text = c.text();
    r.attached = c.integer();
    r.attached_type = c.integer();
    r.type = c.integer();
    r.command = c.text();
    r.flags = c.integer();
}

void alarm_facade_impl::bind_values(database& db, statement s, const alarm_record& r, int offset) const
{
    parameter_binder(db, s, offset)
        .integer(r.id)
        .integer64(r.time)
        .text(r.text)
        .integer(r.attached)
        .integer(r.attached_type)
        .integer(r.type)
        .text(r.command)
        .integer(r.flags);
}

// ---- Habits ----

habit_facade_impl::habit_facade_impl(db_writer& writer, id_facade* ids)
    : entity_facade("Habits",
                    {"id", "type", "points", "before_time", "after_time", "duration", "maximum_points", "attached_id",
                     "description"},
                    "habit_facade_impl::bind(i), db->execute failed", writer, ids,
                    {id_kind::habits, message::habit_base})
{
}

void habit_facade_impl::read(database& db, statement s, habit_record& r) const
{
    column_reader c(db, s);
    r.id = c.integer();
    r.type = c.integer();
    r.points = c.integer();
    r.before_time = c.integer();
    r.after_time = c.integer();
    r.duration = c.integer();
    r.maximum_points = c.integer();
    r.attached_id = c.integer();
    r.description = c.text();
}

void habit_facade_impl::bind_values(database& db, statement s, const habit_record& r, int offset) const
{
    parameter_binder(db, s, offset)
        .integer(r.id)
        .integer(r.type)
        .integer(r.points)
        .integer(r.before_time)
        .integer(r.after_time)
        .integer(r.duration)
        .integer(r.maximum_points)
        .integer(r.attached_id)
        .text(r.description);
}

// ---- Routines ----

routine_facade::routine_facade(db_writer& writer)
    : entity_facade("Routines", {"id", "name", "description", "role", "start", "duration"},
                    "basic_facade::bind(i*), db->execute failed", writer, nullptr, {0, message::routine_base})
{
}

void routine_facade::read(database& db, statement s, routine_record& r) const
{
    column_reader c(db, s);
    r.id = c.integer();
    r.name = c.text();
    r.description = c.text();
    r.role = c.integer();
    r.start = c.integer();
    r.duration = c.integer();
}

void routine_facade::bind_values(database& db, statement s, const routine_record& r, int offset) const
{
    parameter_binder(db, s, offset).integer(r.id).text(r.name).text(r.description).integer(r.role).integer(r.start).integer(
        r.duration);
}

// ---- Recurrences ----

recurrence_facade::recurrence_facade(db_writer& writer, id_facade* ids)
    : entity_facade("Recurrences",
                    {"id", "attached", "attached_type", "starting_date", "ending_date", "type", "param1", "param2",
                     "param3"},
                    "basic_facade::bind(i*), db->execute failed", writer, ids, {id_kind::recurrences, 0})
{
}

void recurrence_facade::read(database& db, statement s, recurrence_record& r) const
{
    column_reader c(db, s);
    r.id = c.integer();
    r.attached = c.integer();
    r.attached_type = static_cast<std::uint8_t>(c.integer());
    r.starting_date = c.date();
    r.ending_date = c.date();
    r.type = static_cast<std::uint8_t>(c.integer());
    r.param1 = static_cast<std::uint8_t>(c.integer());
    r.param2 = static_cast<std::uint8_t>(c.integer());
    r.param3 = static_cast<std::uint8_t>(c.integer());
}

void recurrence_facade::bind_values(database& db, statement s, const recurrence_record& r, int offset) const
{
    parameter_binder(db, s, offset)
        .integer(r.id)
        .integer(r.attached)
        .integer(r.attached_type)
        .integer64(r.starting_date)
        .integer64(r.ending_date)
        .integer(r.type)
        .integer(r.param1)
        .integer(r.param2)
        .integer(r.param3);
}

// ---- Roles ----

role_facade_impl::role_facade_impl(db_writer& writer, id_facade* ids)
    : entity_facade("Roles", {"id", "parent", "name", "description", "values", "foreground_color", "background_color"},
                    "role_facade_impl::bind(i*), db->execute failed", writer, ids, {id_kind::roles, message::role_base})
{
}

void role_facade_impl::read(database& db, statement s, role_record& r) const
{
    column_reader c(db, s);
    r.id = c.integer();
    r.parent = c.integer();
    r.name = c.text();
    r.description = c.text();
    r.values = c.text();
    r.foreground_color = c.integer();
    r.background_color = c.integer();
}

void role_facade_impl::bind_values(database& db, statement s, const role_record& r, int offset) const
{
    parameter_binder(db, s, offset)
        .integer(r.id)
        .integer(r.parent)
        .text(r.name)
        .text(r.description)
        .text(r.values)
        .integer(r.foreground_color)
        .integer(r.background_color);
}

// ---- Contexts (tags) ----

context_facade::context_facade(db_writer& writer, id_facade* ids)
    : entity_facade("Contexts", {"id", "name"}, "role_facade_impl::bind(i*), db->execute failed", writer, ids,
                    {id_kind::tags, message::tag_base})
{
}

void context_facade::read(database& db, statement s, context_record& r) const
{
    column_reader c(db, s);
    r.id = c.integer();
    r.name = c.text();
}

void context_facade::bind_values(database& db, statement s, const context_record& r, int offset) const
{
    parameter_binder(db, s, offset).integer(r.id).text(r.name);
}

// ---- TaskContexts ----

task_context_facade::task_context_facade(db_writer& writer)
    : basic_facade("TaskContexts", {"task", "context"}, "role_facade_impl::bind(i*), db->execute failed", writer)
{
}

void task_context_facade::read(database& db, statement s, task_context_record& r) const
{
    column_reader c(db, s);
    r.task = c.integer();
    r.context = c.integer();
}

QString task_context_facade::where(const task_context_record& r) const
{
    return QStringLiteral("WHERE task = %1 AND context = %2").arg(r.task).arg(r.context);
}

void task_context_facade::bind_values(database& db, statement s, const task_context_record& r, int offset) const
{
    parameter_binder(db, s, offset).integer(r.task).integer(r.context);
}

void task_context_facade::remove_task(std::int32_t task)
{
    cache_.erase(std::remove_if(cache_.begin(), cache_.end(), [task](const record_ptr& r) { return r->task == task; }),
                 cache_.end());
    writer().post_write(
        [task](database& db) { db.execute(QStringLiteral("DELETE FROM [TaskContexts] WHERE task = %1").arg(task)); });
}

// ---- Values ----

value_facade_impl::value_facade_impl(db_writer& writer, id_facade* ids)
    : entity_facade("Values", {"id", "name", "description", "index"}, "value_facade_impl::bind(i*), db->execute failed",
                    writer, ids, {id_kind::values, message::value_base})
{
}

void value_facade_impl::read(database& db, statement s, value_record& r) const
{
    column_reader c(db, s);
    r.id = c.integer();
    r.name = c.text();
    r.description = c.text();
    r.index = c.integer();
}

void value_facade_impl::bind_values(database& db, statement s, const value_record& r, int offset) const
{
    parameter_binder(db, s, offset).integer(r.id).text(r.name).text(r.description).integer(r.index);
}

// ---- Dependencies ----

dependency_facade::dependency_facade(db_writer& writer)
    : basic_facade("Dependencies", {"entity", "dependency", "type"}, "bind failed", writer)
{
}

void dependency_facade::read(database& db, statement s, dependency_record& r) const
{
    column_reader c(db, s);
    r.entity = c.integer();
    r.dependency = c.integer();
    r.type = c.integer();
}

QString dependency_facade::where(const dependency_record& r) const
{
    return QStringLiteral("WHERE [entity] = %1 AND [dependency] = %2 AND [type] = %3")
        .arg(r.entity)
        .arg(r.dependency)
        .arg(r.type);
}

void dependency_facade::bind_values(database& db, statement s, const dependency_record& r, int offset) const
{
    parameter_binder(db, s, offset).integer(r.entity).integer(r.dependency).integer(r.type);
}

// ---- TaskRecurrenceDeletedItems ----

deleted_occurrence_facade::deleted_occurrence_facade(db_writer& writer)
    : basic_facade("TaskRecurrenceDeletedItems", {"task_recurrence", "date"}, "bind failed", writer)
{
}

void deleted_occurrence_facade::read(database& db, statement s, deleted_occurrence_record& r) const
{
    column_reader c(db, s);
    r.task_recurrence = c.integer();
    r.date = c.date();
}

QString deleted_occurrence_facade::where(const deleted_occurrence_record& r) const
{
    return QStringLiteral("WHERE task_recurrence = %1 AND date = %2").arg(r.task_recurrence).arg(r.date);
}

void deleted_occurrence_facade::bind_values(database& db, statement s, const deleted_occurrence_record& r,
                                            int offset) const
{
    parameter_binder(db, s, offset).integer(r.task_recurrence).integer64(r.date);
}

// ---- Outlook folders and items ----

dbtofe::dbtofe(db_writer& writer, id_facade* ids)
    : entity_facade("OutlookFolderEntries", {"id", "store_id", "entry_id"}, "dbtofe::bind(i*), db->execute failed",
                    writer, ids, {id_kind::outlook_folders, 0})
{
}

void dbtofe::read(database& db, statement s, outlook_folder_record& r) const
{
    column_reader c(db, s);
    r.id = c.integer();
    r.store_id = c.text();
    r.entry_id = c.text();
}

void dbtofe::bind_values(database& db, statement s, const outlook_folder_record& r, int offset) const
{
    parameter_binder(db, s, offset).integer(r.id).text(r.store_id).text(r.entry_id);
}

dbtote::dbtote(db_writer& writer, id_facade* ids)
    : entity_facade("OutlookItemEntries", {"id", "task", "entry_id", "outlook_folder_entry", "guid"},
                    "dbtote::bind(i*), db->execute failed", writer, ids, {id_kind::outlook_items, 0})
{
}

void dbtote::read(database& db, statement s, outlook_item_record& r) const
{
    column_reader c(db, s);
    r.id = c.integer();
    r.task = c.integer();
    r.entry_id = c.text();
    r.outlook_folder_entry = c.integer();
    r.guid = c.text();
}

void dbtote::bind_values(database& db, statement s, const outlook_item_record& r, int offset) const
{
    parameter_binder(db, s, offset).integer(r.id).integer(r.task).text(r.entry_id).integer(r.outlook_folder_entry).text(
        r.guid);
}

}  // namespace qm::store
