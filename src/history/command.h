#pragma once
// The undoable operation: every user-level change is one command, owned by
// the history once added. A command keeps the snapshots it needs, so undo and
// redo never read the database.

#include "time/clock.h"

#include <QString>

#include <memory>
#include <vector>

namespace qm::history {

namespace group_flag {
constexpr unsigned labelled = 1;  // the label describes the group even with one command
constexpr unsigned joined = 2;    // undone and redone together with the entry before it
}  // namespace group_flag

class command {
public:
    virtual ~command() = default;
    virtual void undo() = 0;
    // first_time is true when the command is first done, false on redo.
    virtual void apply(bool first_time) = 0;
    virtual QString change_text() const = 0;

    QString label;
    unsigned flags = 0;
    time::stored_time timestamp = 0;
};

using command_ptr = std::unique_ptr<command>;

class history;

// Commands done together; undone in reverse order.
class group_command : public command {
public:
    explicit group_command(history& owner) : owner_(owner) {}
    void undo() override;
    void apply(bool first_time) override;
    QString change_text() const override;

    void append(command_ptr c) { parts_.push_back(std::move(c)); }
    std::size_t size() const { return parts_.size(); }
    const std::vector<command_ptr>& parts() const { return parts_; }

private:
    history& owner_;
    std::vector<command_ptr> parts_;
};

}  // namespace qm::history
