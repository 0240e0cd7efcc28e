#pragma once
// The undoable add, delete and change of a row of any id-keyed table binding,
// described as "add ", "delete " and "changes to " followed by the item's
// own description.

#include "history/command.h"
#include "store/basic_facade.h"

#include <functional>

namespace qm::history {

template <class Record>
using describer = std::function<QString(const Record&)>;

template <class Record>
class add_entity_command : public command {
public:
    add_entity_command(store::entity_facade<Record>& facade, Record value, describer<Record> describe)
        : facade_(facade), value_(std::move(value)), describe_(std::move(describe))
    {
    }
    // The first time allocates the id; redo adds the row back with it.
    void apply(bool) override { value_.id = facade_.add_entity(value_)->id; }
    void undo() override { facade_.delete_entity(value_.id); }
    QString change_text() const override { return QStringLiteral("add ") + describe_(value_); }
    const Record& value() const { return value_; }

private:
    store::entity_facade<Record>& facade_;
    Record value_;
    describer<Record> describe_;
};

template <class Record>
class delete_entity_command : public command {
public:
    delete_entity_command(store::entity_facade<Record>& facade, std::int32_t id, describer<Record> describe)
        : facade_(facade), id_(id), describe_(std::move(describe))
    {
        if (auto r = facade_.find(id))
            snapshot_ = *r;
    }
    void apply(bool) override { facade_.delete_entity(id_); }
    // Back with the id it had.
    void undo() override { facade_.add_entity(snapshot_); }
    QString change_text() const override { return QStringLiteral("delete ") + describe_(snapshot_); }

private:
    store::entity_facade<Record>& facade_;
    std::int32_t id_;
    Record snapshot_;
    describer<Record> describe_;
};

template <class Record>
class modify_entity_command : public command {
public:
    modify_entity_command(store::entity_facade<Record>& facade, Record after, describer<Record> describe)
        : facade_(facade), after_(std::move(after)), describe_(std::move(describe))
    {
        if (auto r = facade_.find(after_.id))
            before_ = *r;
    }
    void apply(bool) override { facade_.modify_entity(after_); }
    void undo() override { facade_.modify_entity(before_); }
    QString change_text() const override { return QStringLiteral("changes to ") + describe_(after_); }

private:
    store::entity_facade<Record>& facade_;
    Record before_;
    Record after_;
    describer<Record> describe_;
};

}  // namespace qm::history
