#include "model/task_proxy.h"

#include "store/basic_facade.h"

#include <stdexcept>

namespace qm::model {
namespace {

const char* const failure_text = "task_proxy::add_task(), db->execute failed";

// The columns after id, in table order.
void bind_columns(store::parameter_binder& b, const task& t)
{
    b.integer(t.parent)
        .integer(task_proxy::folder_column(t.folder))
        .text(t.name)
        .text(t.description)
        .integer64(t.deadline)
        .integer(t.units)
        .integer(t.status)
        .integer(t.role)
        .integer64(t.date)
        .integer(t.appointment_start)
        .integer(t.appointment_duration)
        .boolean(t.appointment)
        .integer(t.estimate)
        .integer(t.original_estimate)
        .boolean(t.splittable)
        .integer(t.project)
        .integer(t.priority)
        .integer(t.priority_value)
        .integer(t.project_priority)
        .integer(t.recurrence)
        .integer(t.cost)
        .integer(t.project_priority_value)
        .integer(t.crisis_index);
}

}  // namespace

const QString& task_proxy::insert_text()
{
    static const QString sql = QStringLiteral(
        "INSERT INTO TASKS ([id], [parent], folder, [name], description, deadline, units, status, role, [date], "
        "appointment_start, appointment_duration, appointment, estimate, original_estimate, splittable, project, "
        "priority, priority_value, project_priority, recurrence, cost, project_priority_value, crisis_index) VALUES "
        "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    return sql;
}

QString task_proxy::update_text(std::int32_t id)
{
    return QStringLiteral(
               "UPDATE TASKS SET [parent] = ?, [folder] = ?, [name] = ?, description = ?, deadline = ?, units = ?, "
               "status = ?, role = ?, [date] = ?, appointment_start = ?, appointment_duration = ?,appointment = ?, "
               "estimate = ?, original_estimate = ?, splittable = ?, project = ?, priority = ?, priority_value = ?, "
               "project_priority = ?, recurrence = ?, cost = ?, project_priority_value = ?, crisis_index = ? WHERE "
               "id = %1")
        .arg(id);
}

QString task_proxy::delete_text(std::int32_t id) { return QStringLiteral("DELETE FROM TASKS WHERE id = %1").arg(id); }

QString task_proxy::load_text(const QString& suffix)
{
    return QStringLiteral("SELECT * FROM TASKS %1").arg(suffix).trimmed();
}

QString task_proxy::day_group(time::stored_date date, int priority)
{
    return QStringLiteral("[date] = %1 AND priority = %2").arg(date).arg(priority);
}

QString task_proxy::folder_group(std::int32_t parent, std::int32_t project)
{
    return QStringLiteral("[parent] = %1 AND [project] = %2").arg(parent).arg(project);
}

QString task_proxy::open_text(const char* column, const QString& group, int position, std::int32_t id)
{
    return QStringLiteral("UPDATE TASKS SET %1 = %1 + 1 WHERE %2 AND %1 >= %3 AND [id] <> %4")
        .arg(QLatin1String(column), group)
        .arg(position)
        .arg(id);
}

QString task_proxy::close_text(const char* column, const QString& group, int position, std::int32_t id)
{
    return QStringLiteral("UPDATE TASKS SET %1 = %1 - 1 WHERE %2 AND %1 > %3 AND [id] <> %4")
        .arg(QLatin1String(column), group)
        .arg(position)
        .arg(id);
}

QString task_proxy::move_text(const char* column, bool down, const QString& group, int lo, int hi, std::int32_t id)
{
    return QStringLiteral("UPDATE TASKS SET %1 = %1 %2 WHERE %3 AND %1 >= %4 AND %1 <= %5 AND [id] <> %6")
        .arg(QLatin1String(column), QLatin1String(down ? "- 1" : "+ 1"), group)
        .arg(lo)
        .arg(hi)
        .arg(id);
}

int task_proxy::folder_column(int method)
{
    switch (method) {
    case folder_method::none: return 0;
    case folder_method::manual: return 3;
    default: return 1;
    }
}

int task_proxy::folder_method_from_column(int column)
{
    if (column == 0)
        return folder_method::none;
    return column == 3 ? folder_method::manual : folder_method::roi;
}

task task_proxy::read(store::database& db, store::statement s)
{
    store::column_reader c(db, s);
    task t;
    t.id = c.integer();
    t.parent = c.integer();
    t.folder = folder_method_from_column(c.integer());
    t.name = c.text();
    t.description = c.text();
    t.deadline = c.integer64();
    t.units = c.integer();
    t.status = c.integer();
    t.role = c.integer();
    t.date = c.date();
    t.appointment_start = c.integer();
    t.appointment_duration = c.integer();
    t.appointment = c.integer() != 0;
    t.estimate = c.integer();
    t.original_estimate = c.integer();
    t.splittable = c.integer() != 0;
    t.project = c.integer();
    t.priority = c.integer();
    t.priority_value = c.integer();
    t.project_priority = c.integer();
    t.recurrence = c.integer();
    t.cost = c.integer();
    t.project_priority_value = c.integer();
    t.crisis_index = c.integer();
    return t;
}

void task_proxy::post_insert(const task& t)
{
    task copy = t;
    copy.tags.clear();  // the writer needs the columns only
    copy.comments.clear();
    copy.tracked_times.clear();
    copy.dependencies.clear();
    writer_.post_write([copy](store::database& db) {
        store::statement s = db.prepare(insert_text());
        store::parameter_binder b(db, s, 0);
        b.integer(copy.id);
        bind_columns(b, copy);
        if (db.step_failed(s))
            throw std::runtime_error(failure_text);
        db.finalize(s);
    });
}

void task_proxy::post_update(const task& t)
{
    task copy = t;
    copy.tags.clear();
    copy.comments.clear();
    copy.tracked_times.clear();
    copy.dependencies.clear();
    writer_.post_write([copy](store::database& db) {
        store::statement s = db.prepare(update_text(copy.id));
        store::parameter_binder b(db, s, 0);
        bind_columns(b, copy);
        if (db.step_failed(s))
            throw std::runtime_error(failure_text);
        db.finalize(s);
    });
}

void task_proxy::post_delete(std::int32_t id) { post_sql(delete_text(id)); }

void task_proxy::post_sql(const QString& sql)
{
    writer_.post_write([sql](store::database& db) { db.execute(sql); });
}

}  // namespace qm::model
