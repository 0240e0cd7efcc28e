#include "store/id_facade.h"

#include "store/database.h"
#include "store/db_writer.h"
#include "store/statements.h"

#include <stdexcept>

namespace qm::store {
namespace {

const char* const failure_text = "id_facade::bind(i*), db->execute failed";

void bind_and_step(database& db, statement s, const id_record& r)
{
    db.bind_int(s, 1, r.kind);
    db.bind_int(s, 2, r.next_id);
    if (db.step_failed(s))
        throw std::runtime_error(failure_text);
}

void write_insert(database& db, const id_record& r)
{
    statement s = db.prepare(insert_statement(id_facade::table_name(), id_facade::columns()));
    bind_and_step(db, s, r);
    db.finalize(s);
}

void write_update(database& db, const id_record& r)
{
    statement s = db.prepare(update_statement(id_facade::table_name(), id_facade::columns(), where_id(r.kind)));
    bind_and_step(db, s, r);
    db.finalize(s);
}

}  // namespace

const QString& id_facade::table_name()
{
    static const QString name = QStringLiteral("Ids");
    return name;
}

const QStringList& id_facade::columns()
{
    static const QStringList list = {QStringLiteral("id"), QStringLiteral("next_id")};
    return list;
}

id_facade::id_facade(db_writer& writer) : writer_(writer) { records_.reserve(14); }

void id_facade::load(database& db)
{
    records_.clear();
    statement s = db.prepare(load_statement(table_name()));
    while (!db.step(s))
        records_.push_back(id_record{db.column_int(s, 1), db.column_int(s, 2)});
    db.finalize(s);
}

int id_facade::allocate(int kind)
{
    id_record* record = nullptr;
    for (auto& r : records_) {
        if (r.kind == kind) {
            record = &r;
            break;
        }
    }
    if (record == nullptr) {
        records_.push_back(id_record{kind, 1});
        record = &records_.back();
        const id_record copy = *record;
        writer_.post_write([copy](database& db) { write_insert(db, copy); });
    }
    const int taken = record->next_id;
    ++record->next_id;
    const id_record copy = *record;
    writer_.post_write([copy](database& db) { write_update(db, copy); });
    return taken;
}

void id_facade::ensure_above(int kind, int used)
{
    for (auto& r : records_)
        if (r.kind == kind) {
            if (r.next_id > used)
                return;
            r.next_id = used + 1;
            const id_record copy = r;
            writer_.post_write([copy](database& db) { write_update(db, copy); });
            return;
        }
    records_.push_back(id_record{kind, used + 1});
    const id_record copy = records_.back();
    writer_.post_write([copy](database& db) { write_insert(db, copy); });
}

void seed_id_counter(database& db, int kind, const QString& table)
{
    statement s = db.prepare(QStringLiteral("SELECT MAX(id) FROM ") + table);
    long long next = 1;
    if (!db.step(s))
        next = db.column_int64(s, 1) + 1;
    db.finalize(s);

    s = db.prepare(QStringLiteral("SELECT COUNT(*) FROM [Ids] WHERE [id] = %1").arg(kind));
    long long rows = 0;
    if (!db.step(s))
        rows = db.column_int64(s, 1);
    db.finalize(s);

    if (rows == 0)
        db.execute(QStringLiteral("Insert into [Ids] values(%1, %2)").arg(kind).arg(next));
    else
        db.execute(QStringLiteral("UPDATE [Ids] SET [next_id] = %1 WHERE [id] = %2").arg(next).arg(kind));
}

}  // namespace qm::store
