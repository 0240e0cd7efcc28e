#pragma once
// The undoable comment steps. A free comment and a day note stand alone and
// are added, changed and deleted on their own ("add note at 10:15 …"); a
// task's or a project's comments belong to it and change through its own
// modify command, so that undo restores the list with the rest of the item.

#include "history/history.h"
#include "model/comments.h"
#include "model/project.h"
#include "model/task.h"

namespace qm::history {

class task_commands;
class project_commands;

// One comment added, changed or deleted through the comment binding; a day
// note's date is announced after every step.
class comment_command : public command {
public:
    enum kind { add, change, remove };
    // before is the stored comment (change, remove), after the wanted one (add, change).
    comment_command(store::comment_facade& comments, kind k, store::comment_record before,
                    store::comment_record after);
    void undo() override;
    void apply(bool first_time) override;
    QString change_text() const override;
    const store::comment_record& after() const { return after_; }

private:
    void announce(const store::comment_record& c) const;

    store::comment_facade& comments_;
    kind kind_;
    store::comment_record before_;
    store::comment_record after_;
};

class comment_commands {
public:
    comment_commands(history& h, store::comment_facade& comments, task_commands& tasks,
                     project_commands* projects = nullptr);

    // A free comment at a moment; false (nothing stored) for a blank text.
    bool add_free(const QString& text, time::stored_time at = 0);
    // Changes the text of a stored free comment or day note; a blank text
    // deletes it.
    bool change_text(std::int32_t id, const QString& text);
    bool remove(std::int32_t id);
    // The day note of a date: added, changed, or deleted when blank.
    bool set_day_note(time::stored_date date, const QString& text);

    // "Add Comment" on a task or a project: a comment at the moment, saved
    // with its owner's update.
    bool add_to_task(model::task& t, const QString& text, time::stored_time at = 0);
    bool add_to_project(const model::project& p, const QString& text, time::stored_time at = 0);

private:
    history& history_;
    store::comment_facade& comments_;
    task_commands& tasks_;
    project_commands* projects_;
};

}  // namespace qm::history
