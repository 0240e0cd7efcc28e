#pragma once
// One undoable step over several rows of an id-keyed binding: rows added,
// changed and deleted in order, undone in reverse. The operations that move
// many rows at once (the value order, colours, associating) are built from it.

#include "history/command.h"
#include "model/value_order.h"
#include "store/basic_facade.h"

#include <vector>

namespace qm::history {

template <class Record>
class row_changes_command : public command {
public:
    row_changes_command(store::entity_facade<Record>& facade, std::vector<model::row_change<Record>> changes,
                        QString text)
        : facade_(facade), changes_(std::move(changes)), text_(std::move(text))
    {
    }
    // An added row gets its id the first time; redo adds it back with it.
    void apply(bool) override
    {
        for (auto& c : changes_) {
            if (!c.before)
                c.after->id = facade_.add_entity(*c.after)->id;
            else if (!c.after)
                facade_.delete_entity(c.before->id);
            else
                facade_.modify_entity(*c.after);
        }
    }
    void undo() override
    {
        for (auto it = changes_.rbegin(); it != changes_.rend(); ++it) {
            if (!it->before)
                facade_.delete_entity(it->after->id);
            else if (!it->after)
                facade_.add_entity(*it->before);
            else
                facade_.modify_entity(*it->before);
        }
    }
    QString change_text() const override { return text_; }
    const std::vector<model::row_change<Record>>& changes() const { return changes_; }

private:
    store::entity_facade<Record>& facade_;
    std::vector<model::row_change<Record>> changes_;
    QString text_;
};

}  // namespace qm::history
