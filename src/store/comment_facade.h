#pragma once

#include "store/basic_facade.h"
#include "store/records.h"

namespace qm::store {

// Comments and day notes, written with REPLACE so that adding and changing
// are one statement.
class comment_facade : public entity_facade<comment_record> {
public:
    comment_facade(db_writer& writer, id_facade* ids);
    void read(database& db, statement s, comment_record& r) const override;
    QString insert_text() const override;
    QString update_text(const comment_record& r) const override;
    QString delete_text(const comment_record& r) const override;

    // Adds (allocating the id when it is 0) or changes a comment, announced.
    record_ptr save(const comment_record& c);
    // Removes every comment of an owner: type 2 with a task, 3 with a project.
    void delete_owner(std::int32_t associated_id, std::int32_t type);

protected:
    void bind_values(database& db, statement s, const comment_record& r, int offset) const override;
};

class tracked_time_facade : public entity_facade<tracked_time_record> {
public:
    tracked_time_facade(db_writer& writer, id_facade* ids);
    void read(database& db, statement s, tracked_time_record& r) const override;
    QString insert_text() const override;
    QString update_text(const tracked_time_record& r) const override;
    QString delete_text(const tracked_time_record& r) const override;

    // The start-up load; the facade keeps the rows until they are handed over.
    void load(database& db, const QString& suffix = QString());
    // The loaded rows, for the task store, which holds each entry with its
    // task from then on: the facade keeps no second copy of 100,000 entries
    // and only writes.
    std::vector<record_ptr> hand_over();

    // Writes an entry as it is now (allocating its id when it has none) and
    // returns its id.
    std::int32_t save(const tracked_time_record& t);
    // "DELETE FROM [TrackedTimes] WHERE id in (…)" and the entries dropped.
    void delete_ids(const std::vector<std::int32_t>& ids);
    // Every entry of a task.
    void delete_task(std::int32_t task);

protected:
    void bind_values(database& db, statement s, const tracked_time_record& r, int offset) const override;

private:
    bool handed_over_ = false;
};

// The single mission statement row.
class mission_statement_store {
public:
    explicit mission_statement_store(db_writer& writer) : writer_(writer) {}
    void load(database& db);
    const QString& text() const { return text_; }
    // Writes the text and announces the change.
    void set_text(const QString& text);

private:
    db_writer& writer_;
    QString text_;
};

}  // namespace qm::store
