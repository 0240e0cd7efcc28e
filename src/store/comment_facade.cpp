#include "store/comment_facade.h"

namespace qm::store {

// ---- Comments ----

comment_facade::comment_facade(db_writer& writer, id_facade* ids)
    : entity_facade("Comments", {"id", "associated_id", "time", "type", "comment"},
                    "comment_facade::_bind_parameters_and_execute...(),db->execute failed", writer, ids,
                    {id_kind::comments, message::comment_base})
{
}

void comment_facade::read(database& db, statement s, comment_record& r) const
{
    column_reader c(db, s);
    r.id = c.integer();
    r.associated_id = c.integer();
    r.time = c.integer64();
    r.type = c.integer();
    r.comment = c.text();
}

void comment_facade::bind_values(database& db, statement s, const comment_record& r, int offset) const
{
    parameter_binder(db, s, offset).integer(r.id).integer(r.associated_id).integer64(r.time).integer(r.type).text(
        r.comment);
}

QString comment_facade::insert_text() const { return QStringLiteral("REPLACE INTO [Comments] VALUES(?,?,?,?,?)"); }

QString comment_facade::update_text(const comment_record&) const { return insert_text(); }

QString comment_facade::delete_text(const comment_record& r) const
{
    return QStringLiteral("DELETE FROM [Comments] WHERE [id] = %1").arg(r.id);
}

comment_facade::record_ptr comment_facade::save(const comment_record& c)
{
    if (c.id != 0 && find(c.id))
        return modify_entity(c);
    return add_entity(c);
}

void comment_facade::delete_owner(std::int32_t associated_id, std::int32_t type)
{
    cache_.erase(std::remove_if(cache_.begin(), cache_.end(),
                                [&](const record_ptr& r) { return r->associated_id == associated_id && r->type == type; }),
                 cache_.end());
    writer().post_write([associated_id, type](database& db) {
        db.execute(QStringLiteral("DELETE FROM [Comments] WHERE [associated_id] = %1 AND [type] = %2")
                       .arg(associated_id)
                       .arg(type));
    });
}

// ---- TrackedTimes ----

tracked_time_facade::tracked_time_facade(db_writer& writer, id_facade* ids)
    : entity_facade("TrackedTimes", {"id", "task", "type", "start", "duration", "caption"},
                    "tracked_time_facade::_bind_parameters_and_execute...(),db->execute failed", writer, ids,
                    {id_kind::tracked_times, 0})
{
}

void tracked_time_facade::read(database& db, statement s, tracked_time_record& r) const
{
    column_reader c(db, s);
    r.id = c.integer();
    r.task = c.integer();
    r.type = c.integer();
    r.start = c.integer64();
    r.duration = c.integer();
    r.caption = c.text();
}

void tracked_time_facade::bind_values(database& db, statement s, const tracked_time_record& r, int offset) const
{
    parameter_binder(db, s, offset).integer(r.id).integer(r.task).integer(r.type).integer64(r.start).integer(
        r.duration).text(r.caption);
}

QString tracked_time_facade::insert_text() const
{
    return QStringLiteral("REPLACE INTO [TrackedTimes] VALUES(?,?,?,?,?,?)");
}

QString tracked_time_facade::update_text(const tracked_time_record&) const { return insert_text(); }

QString tracked_time_facade::delete_text(const tracked_time_record& r) const
{
    return QStringLiteral("DELETE FROM [TrackedTimes] WHERE id in (%1)").arg(r.id);
}

void tracked_time_facade::load(database& db, const QString& suffix)
{
    handed_over_ = false;
    entity_facade::load(db, suffix);
}

std::vector<tracked_time_facade::record_ptr> tracked_time_facade::hand_over()
{
    handed_over_ = true;
    return std::exchange(cache_, {});
}

std::int32_t tracked_time_facade::save(const tracked_time_record& t)
{
    if (handed_over_) {
        // REPLACE adds and changes alike, and no one listens to this table.
        tracked_time_record copy = t;
        if (copy.id == 0)
            copy.id = allocate_id();
        post_insert(copy);
        return copy.id;
    }
    if (t.id != 0 && find(t.id))
        return modify_entity(t)->id;
    return add_entity(t)->id;
}

void tracked_time_facade::delete_ids(const std::vector<std::int32_t>& ids)
{
    if (ids.empty())
        return;
    QStringList list;
    for (std::int32_t id : ids)
        list << QString::number(id);
    cache_.erase(std::remove_if(cache_.begin(), cache_.end(),
                                [&](const record_ptr& r) {
                                    return std::find(ids.begin(), ids.end(), r->id) != ids.end();
                                }),
                 cache_.end());
    const QString sql = QStringLiteral("DELETE FROM [TrackedTimes] WHERE id in (") + list.join(',') + ')';
    writer().post_write([sql](database& db) { db.execute(sql); });
}

void tracked_time_facade::delete_task(std::int32_t task)
{
    cache_.erase(std::remove_if(cache_.begin(), cache_.end(), [task](const record_ptr& r) { return r->task == task; }),
                 cache_.end());
    writer().post_write(
        [task](database& db) { db.execute(QStringLiteral("DELETE FROM [TrackedTimes] WHERE task = %1").arg(task)); });
}

// ---- MissionStatements ----

void mission_statement_store::load(database& db)
{
    text_.clear();
    statement s = db.prepare(QStringLiteral("SELECT * FROM [MissionStatements] WHERE id = 0"));
    if (!db.step(s))
        text_ = db.column_text(s, 2);
    db.finalize(s);
}

void mission_statement_store::set_text(const QString& text)
{
    text_ = text;
    writer_.post_write([text](database& db) {
        statement s = db.prepare(QStringLiteral("REPLACE INTO [MissionStatements] VALUES(0, ?)"));
        db.bind_text(s, 1, text);
        if (db.step_failed(s))
            throw std::runtime_error("mission statement: db->execute failed");
        db.finalize(s);
    });
    listeners().broadcast(message::mission_statement_changed, 0, 0);
}

}  // namespace qm::store
