#pragma once
// The undoable steps of task recurrences: making a task repeat, a change that
// cascades from one task of a recurrence to the others, removing with a
// cascade, restoring a deleted occurrence and stopping a recurrence. Each is
// one command whose undo puts back all it did. Main thread only.

#include "history/history.h"
#include "history/task_description.h"
#include "model/task_recurrences.h"
#include "store/announcements.h"

#include <functional>
#include <optional>

namespace qm::history {

// What happens one step at a time, kept so that undo and redo replay it.
class recurrence_steps {
public:
    recurrence_steps(model::task_store& store, model::task_recurrences& recurrences)
        : store_(store), recurrences_(recurrences)
    {
    }
    void add_task(model::task_ptr t);
    void remove_task(const model::task_ptr& t);  // with its descendants
    // The stored task takes state; returns the state the store settled on.
    model::task change_task(const model::task& state, unsigned flags = 0);
    time::recurrence add_pattern(const time::recurrence& r);
    void change_pattern(const time::recurrence& r);
    void delete_pattern_of(std::int32_t master);
    void record_deleted(std::int32_t master, time::stored_date d);
    void restore_deleted(std::int32_t master, time::stored_date d);
    // The occurrences created on the dates already looked at, or on one.
    void generate_on_looked_dates(std::int32_t master);
    void generate(time::stored_date d, std::int32_t master);

    void undo();
    void redo();
    bool empty() const { return steps_.empty(); }

private:
    enum class kind { add_task, remove_task, change_task, add_pattern, change_pattern, delete_pattern, add_deleted,
                      remove_deleted };
    struct step {
        kind k;
        model::task_ptr t;
        model::task before, after;
        time::recurrence pattern_before, pattern_after;
        std::int32_t master = 0;
        time::stored_date date = 0;
    };
    void set_task(const model::task& state, unsigned flags);

    model::task_store& store_;
    model::task_recurrences& recurrences_;
    std::vector<step> steps_;
};

// A command made of recurrence steps, described by a fixed text.
class recurrence_command : public command {
public:
    using body = std::function<void(recurrence_steps&)>;
    recurrence_command(model::task_store& store, model::task_recurrences& recurrences, QString text, body b)
        : steps_(store, recurrences), text_(std::move(text)), body_(std::move(b))
    {
    }
    void apply(bool first_time) override;
    void undo() override { steps_.undo(); }
    QString change_text() const override { return text_; }

private:
    recurrence_steps steps_;
    QString text_;
    body body_;
};

enum class cascade_action { change, removal };

class recurrence_commands : public store::listener {
public:
    // ask shows the cascade question (action, asked about a master) and
    // returns one of the model::cascade flags, or 0 for cancelled.
    using asker = std::function<unsigned(cascade_action, bool master)>;

    recurrence_commands(history& h, model::task_store& store, model::task_recurrences& recurrences, naming names);
    ~recurrence_commands() override;

    void set_asker(asker a) { ask_ = std::move(a); }
    model::task_recurrences& recurrences() { return recurrences_; }

    // Whether t belongs to a recurrence whose changes these commands handle.
    bool handles(const model::task& t) const;

    // The task-modify command of a master or an occurrence: a change of the
    // cascading fields asks (unless flags carry an answer) and cascades; any
    // other change updates the task alone. Returns false when nothing was done.
    bool modify(model::task& t, model::task after, unsigned flags = 0);
    // The same with the pattern changed as well (the recurrence page).
    bool modify_with_pattern(model::task& t, model::task after, const time::recurrence& pattern, unsigned flags = 0);
    // Removing a master or an occurrence: asks, then removes by the answer.
    // Returns false when cancelled.
    bool remove(const model::task_ptr& t, unsigned flags = 0);

    // Makes a plain task the master of a new recurrence (after holds the
    // task's other edits). The pattern's start moves to its first occurrence;
    // returns false, saving nothing, for an invalid pattern.
    bool make_master(model::task& t, model::task after, time::recurrence pattern);
    // "&Restore Occurrence".
    bool restore_occurrence(std::int32_t master, time::stored_date d);
    // "Stop Recurrence": every pattern that has not ended ends yesterday,
    // cascading to the future tasks. Returns how many stopped.
    int stop_recurrence(const std::vector<model::task*>& masters);

    long on_announcement(const store::announcement& a) override;

private:
    unsigned answer(cascade_action action, bool master, unsigned flags);
    void cascade(recurrence_steps& s, const model::task& edited_before, const model::task& edited_after,
                 std::optional<time::recurrence> pattern, unsigned answer);
    void change_alone(recurrence_steps& s, const model::task& before, const model::task& after, unsigned flags);
    bool add(QString text, recurrence_command::body b);

    history& history_;
    model::task_store& store_;
    model::task_recurrences& recurrences_;
    naming names_;
    asker ask_;
    std::optional<unsigned> carried_;  // the first answer inside a history group
};

}  // namespace qm::history
