#pragma once
// The one history of the program's run: add, undo and redo, groups, and the
// undo and redo lists. Main thread only; not stored.

#include "history/command.h"

#include <QChar>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace qm::history {

namespace message {
constexpr int group_begun = 40080;
constexpr int group_ended = 40081;  // lparam: the number of commands in the group
}  // namespace message

struct list_line {
    QChar letter;
    QString text;  // "Undo …" / "Redo …", or "Nothing to undo"
    QString ago;   // "5m ago"
};

class history {
public:
    // end_batch ends the change batch of the stores after every add, undo and redo.
    explicit history(std::function<void()> end_batch = {});
    ~history();

    void add_command(command_ptr c);
    void undo_step();
    void redo_step();
    bool can_undo() const { return position_ != -1; }
    bool can_redo() const { return !entries_.empty() && position_ + 1 != static_cast<int>(entries_.size()); }

    void begin_group(const QString& label = QString(), unsigned flags = 0);
    void end_group();
    bool group_open() const { return group_open_; }
    // With a group open and expected the newest entry at the position, moves
    // that entry, already applied, into the group, so that it undoes with
    // what the group does next. False (and nothing moved) otherwise.
    bool move_newest_into_group(const command* expected);
    void clear();

    std::vector<list_line> undo_list() const;
    std::vector<list_line> redo_list() const;
    // Choosing the line with letter number k (A = 1).
    void choose_undo(int k);
    void choose_redo(int k);

    const std::vector<command_ptr>& entries() const { return entries_; }
    int position() const { return position_; }

    // Called after every add, undo and redo: refresh Undo and Redo.
    std::function<void()> on_state_changed;

    // Sent by groups as they are undone and redone.
    void announce_group_begun();
    void announce_group_ended(std::size_t count);

private:
    void finish();
    std::vector<int> units() const;  // the starting index of each unit, newest first

    std::function<void()> end_batch_;
    std::vector<command_ptr> entries_;
    int position_ = -1;
    bool group_open_ = false;
    QString group_label_;
    unsigned group_flags_ = 0;
    std::unique_ptr<group_command> group_;
};

}  // namespace qm::history
