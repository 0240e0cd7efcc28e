#include "model/project_facade.h"

#include "store/basic_facade.h"

#include <stdexcept>

namespace qm::model {
namespace {

const char* const failure_text = "project_facade::bind(), db->execute failed";

void bind_columns(store::parameter_binder& b, const project& p)
{
    b.integer(p.id)
        .text(p.name)
        .text(p.description)
        .integer64(p.finished)
        .integer64(p.deadline)
        .integer(p.units)
        .integer(p.status)
        .integer(p.role)
        .integer(p.type)
        .integer(p.folder_type)
        .integer(p.priority_value)
        .integer(p.parent);
}

project read_row(store::database& db, store::statement s)
{
    store::column_reader c(db, s);
    project p;
    p.id = c.integer();
    p.name = c.text();
    p.description = c.text();
    p.finished = c.integer64();
    p.deadline = c.integer64();
    p.units = c.integer();
    p.status = c.integer();
    p.role = c.integer();
    p.type = c.integer();
    p.folder_type = c.integer();
    p.priority_value = c.integer();
    p.parent = c.integer();
    return p;
}

// The writer needs the columns only.
project columns_of(const project& p)
{
    project copy = p;
    copy.comments.clear();
    return copy;
}

}  // namespace

const QString& project_facade::insert_text()
{
    static const QString sql = QStringLiteral(
        "INSERT INTO [PROJECTS] ([id], [name], description, finished, deadline, units, status, role, type, "
        "folder_type, priority_value, parent) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)");
    return sql;
}

QString project_facade::update_text(std::int32_t id)
{
    return QStringLiteral(
               "UPDATE [PROJECTS] SET [id] = ?, [name] = ?, description = ?, finished = ?, deadline = ?, units = ?, "
               "status = ?, role = ?, type = ?, folder_type = ?, priority_value = ?, parent = ? WHERE id = %1")
        .arg(id);
}

QString project_facade::delete_text(std::int32_t id)
{
    return QStringLiteral("DELETE FROM [PROJECTS] WHERE id = %1").arg(id);
}

QString project_facade::delete_comments_text(std::int32_t id)
{
    return QStringLiteral("DELETE FROM [Comments] WHERE [associated_id] = %1 AND [type] = %2").arg(id).arg(3);
}

QString project_facade::group(std::int32_t parent) { return QStringLiteral("parent = %1").arg(parent); }

QString project_facade::open_text(std::int32_t parent, int position, std::int32_t id)
{
    return QStringLiteral("UPDATE [PROJECTS] SET %1 = %1 + 1 WHERE %2 AND %1 >= %3 AND [id] <> %4")
        .arg(QLatin1String("priority_value"), group(parent))
        .arg(position)
        .arg(id);
}

QString project_facade::close_text(std::int32_t parent, int position, std::int32_t id)
{
    return QStringLiteral("UPDATE [PROJECTS] SET %1 = %1 - 1 WHERE %2 AND %1 > %3 AND [id] <> %4")
        .arg(QLatin1String("priority_value"), group(parent))
        .arg(position)
        .arg(id);
}

QString project_facade::move_text(bool down, std::int32_t parent, int lo, int hi, std::int32_t id)
{
    return QStringLiteral("UPDATE [PROJECTS] SET %1 = %1 %2 WHERE %3 AND %1 >= %4 AND %1 <= %5 AND [id] <> %6")
        .arg(QLatin1String("priority_value"), QLatin1String(down ? "- 1" : "+ 1"), group(parent))
        .arg(lo)
        .arg(hi)
        .arg(id);
}

QString project_facade::repair_text(int value, std::int32_t id)
{
    return QStringLiteral("UPDATE [PROJECTS] SET [priority_value] = %1 WHERE id = %2").arg(value).arg(id);
}

std::vector<project> project_facade::load(store::database& db)
{
    std::vector<std::int32_t> ids;
    store::statement s = db.prepare(QStringLiteral("SELECT id FROM [PROJECTS]"));
    while (!db.step(s))
        ids.push_back(db.column_int(s, 1));
    db.finalize(s);
    std::vector<project> out;
    out.reserve(ids.size());
    for (std::int32_t id : ids) {
        store::statement row = db.prepare(QStringLiteral("SELECT * FROM [PROJECTS] WHERE id = %1").arg(id));
        if (!db.step(row))
            out.push_back(read_row(db, row));
        db.finalize(row);
    }
    return out;
}

void project_facade::post_insert(const project& p)
{
    writer_.post_write([copy = columns_of(p)](store::database& db) {
        store::statement s = db.prepare(insert_text());
        store::parameter_binder b(db, s, 0);
        bind_columns(b, copy);
        if (db.step_failed(s))
            throw std::runtime_error(failure_text);
        db.finalize(s);
    });
}

void project_facade::post_update(const project& p)
{
    writer_.post_write([copy = columns_of(p)](store::database& db) {
        store::statement s = db.prepare(update_text(copy.id));
        store::parameter_binder b(db, s, 0);
        bind_columns(b, copy);
        if (db.step_failed(s))
            throw std::runtime_error(failure_text);
        db.finalize(s);
    });
}

void project_facade::post_delete(std::int32_t id)
{
    post_sql(delete_text(id));
    post_sql(delete_comments_text(id));
}

void project_facade::post_sql(const QString& sql)
{
    writer_.post_write([sql](store::database& db) { db.execute(sql); });
}

}  // namespace qm::model
