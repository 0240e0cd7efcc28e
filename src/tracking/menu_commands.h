#pragma once
// The undoable commands that only the Clapperboard makes: a free comment,
// one that belongs to no task, written through the comment binding.

#include "history/command.h"
#include "store/records.h"

namespace qm::store {
class comment_facade;
}

namespace qm::tracking {

class add_comment_command : public history::command {
public:
    add_comment_command(store::comment_facade& comments, store::comment_record c)
        : comments_(comments), comment_(std::move(c))
    {
    }
    // The first time allocates the id; redo adds the comment under it again.
    void apply(bool first_time) override;
    void undo() override;
    QString change_text() const override;

private:
    store::comment_facade& comments_;
    store::comment_record comment_;
};

}  // namespace qm::tracking
