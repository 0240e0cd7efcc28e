#pragma once
// The generic table binding: a table's name and columns, the loaded rows as
// shared pointers, and every change sent to the background writer as a copy.
// Main thread only; the writer sees only the copies and the binding's
// immutable name, columns and virtual operations.

#include "store/announcements.h"
#include "store/database.h"
#include "store/db_writer.h"
#include "store/id_facade.h"
#include "store/statements.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

namespace qm::store {

// Binds values to consecutive parameters, counting from offset + 1.
class parameter_binder {
public:
    parameter_binder(database& db, statement s, int offset) : db_(db), s_(s), next_(offset + 1) {}
    parameter_binder& integer(std::int32_t v) { db_.bind_int(s_, next_++, v); return *this; }
    parameter_binder& integer64(std::int64_t v) { db_.bind_int64(s_, next_++, v); return *this; }
    parameter_binder& boolean(bool v) { db_.bind_bool(s_, next_++, v); return *this; }
    parameter_binder& text(const QString& v) { db_.bind_text(s_, next_++, v); return *this; }

private:
    database& db_;
    statement s_;
    int next_;
};

// Reads consecutive columns of the current row, counting from 1.
class column_reader {
public:
    column_reader(database& db, statement s) : db_(db), s_(s) {}
    std::int32_t integer() { return db_.column_int(s_, next_++); }
    std::int64_t integer64() { return db_.column_int64(s_, next_++); }
    time::stored_date date() { return db_.column_date(s_, next_++); }
    QString text() { return db_.column_text(s_, next_++); }

private:
    database& db_;
    statement s_;
    int next_ = 1;
};

// What the add, modify and delete of an entity kind announce and allocate.
struct entity_kind {
    int id_kind = 0;         // 0: ids are not allocated for this table
    int message_base = 0;    // 0: changes are not announced
};

template <class Record>
class basic_facade {
public:
    using record_ptr = std::shared_ptr<Record>;

    basic_facade(QString table, QStringList columns, const char* failure_text, db_writer& writer)
        : table_(std::move(table)), columns_(std::move(columns)), failure_text_(failure_text), writer_(writer)
    {
    }
    virtual ~basic_facade() = default;
    basic_facade(const basic_facade&) = delete;
    basic_facade& operator=(const basic_facade&) = delete;

    const QString& table_name() const { return table_; }
    const QStringList& columns() const { return columns_; }
    const std::vector<record_ptr>& cache() const { return cache_; }

    // Binds the record's values to parameters offset + 1 … offset + n and
    // steps; a failed step raises the binding's failure text.
    void bind(database& db, statement s, const Record& r, int offset) const
    {
        bind_values(db, s, r, offset);
        if (db.step_failed(s))
            throw std::runtime_error(failure_text_);
    }
    virtual void read(database& db, statement s, Record& r) const = 0;
    virtual QString where(const Record& r) const = 0;

    // The statements of the three requests; bindings with hand-written SQL
    // replace them.
    virtual QString insert_text() const { return insert_statement(table_, columns_); }
    virtual QString update_text(const Record& r) const { return update_statement(table_, columns_, where(r)); }
    virtual QString delete_text(const Record& r) const { return delete_statement(table_, where(r)); }

    // Start-up load on the main connection; the suffix is a WHERE or ORDER BY clause.
    void load(database& db, const QString& suffix = QString())
    {
        cache_.clear();
        statement s = db.prepare(load_statement(table_, suffix));
        while (!db.step(s)) {
            auto r = std::make_shared<Record>();
            read(db, s, *r);
            cache_.push_back(std::move(r));
        }
        db.finalize(s);
    }

    void add(record_ptr r)
    {
        post_insert(*r);
        cache_.push_back(std::move(r));
    }

    // The record is already in the cache; writes its current values.
    void update(const record_ptr& r) { post_update(*r); }

    // Removes exactly this record (by identity) and deletes its row.
    void remove(const record_ptr& r)
    {
        post_delete(*r);
        cache_.erase(std::remove(cache_.begin(), cache_.end(), r), cache_.end());
    }

protected:
    virtual void bind_values(database& db, statement s, const Record& r, int offset) const = 0;

    db_writer& writer() const { return writer_; }

    // Each request carries its own copy: later edits in memory do not change
    // what is written.
    void post_insert(const Record& r)
    {
        writer_.post_write([this, copy = r](database& db) {
            statement s = db.cached(insert_text());
            struct released {
                database& db;
                statement s;
                ~released() { db.release(s); }
            } keep{db, s};
            bind(db, s, copy, 0);
        });
    }
    void post_update(const Record& r)
    {
        writer_.post_write([this, copy = r](database& db) {
            statement s = db.prepare(update_text(copy));
            bind(db, s, copy, 0);
            db.finalize(s);
        });
    }
    void post_delete(const Record& r)
    {
        writer_.post_write([this, copy = r](database& db) { db.execute(delete_text(copy)); });
    }

    std::vector<record_ptr> cache_;

private:
    const QString table_;
    const QStringList columns_;
    const char* const failure_text_;
    db_writer& writer_;
};

// A binding of a table keyed by id, with the entity operations that allocate
// ids and announce each change to the listeners.
template <class Record>
class entity_facade : public basic_facade<Record> {
public:
    using typename basic_facade<Record>::record_ptr;

    entity_facade(QString table, QStringList columns, const char* failure_text, db_writer& writer, id_facade* ids,
                  entity_kind kind)
        : basic_facade<Record>(std::move(table), std::move(columns), failure_text, writer), ids_(ids), kind_(kind)
    {
    }

    QString where(const Record& r) const override { return where_id(r.id); }

    record_ptr find(std::int32_t id) const
    {
        for (const auto& r : this->cache_)
            if (r->id == id)
                return r;
        return nullptr;
    }

    // Allocates an id when the record has none (a record that carries one, as
    // after undoing a delete, keeps it), adds, announces added and changed.
    record_ptr add_entity(Record value)
    {
        if (value.id == 0)
            value.id = allocate_id();
        auto r = std::make_shared<Record>(std::move(value));
        this->add(r);
        announce(message::added, r->id);
        announce(message::changed, r->id);
        return r;
    }

    // Replaces the cached record of the same id with value.
    record_ptr modify_entity(const Record& value)
    {
        record_ptr r = find(value.id);
        if (!r)
            return nullptr;
        announce(message::about_to_change, value.id);
        *r = value;
        this->update(r);
        announce(message::changed, value.id);
        return r;
    }

    bool delete_entity(std::int32_t id)
    {
        record_ptr r = find(id);
        if (!r)
            return false;
        announce(message::about_to_delete, id);
        this->remove(r);
        announce(message::changed, id);
        return true;
    }

    const entity_kind& kind() const { return kind_; }

protected:
    // The next id of this kind; 0 when the table allocates none.
    std::int32_t allocate_id() { return ids_ != nullptr && kind_.id_kind != 0 ? ids_->allocate(kind_.id_kind) : 0; }

private:
    void announce(int offset, std::int32_t id) const
    {
        if (kind_.message_base != 0)
            listeners().broadcast(kind_.message_base + offset, 0, id);
    }

    id_facade* ids_;
    entity_kind kind_;
};

}  // namespace qm::store
