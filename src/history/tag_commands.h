#pragma once
// The undoable operations on tags: the tag list's rename (merging onto an
// existing name), new tag and delete, and setting the tags of tasks.

#include "history/task_commands.h"
#include "model/tags.h"

namespace qm::history {

// Renames a tag and the copies of its name the tasks carry.
class rename_tag_command : public command {
public:
    rename_tag_command(store::tables& tables, model::task_store& tasks, std::int32_t id, QString name);
    void apply(bool) override { set_name(after_); }
    void undo() override { set_name(before_); }
    QString change_text() const override { return QStringLiteral("changes to ") + model::tag_display(after_); }

private:
    void set_name(const QString& name);

    store::tables& tables_;
    model::task_store& tasks_;
    std::int32_t id_;
    QString before_;
    QString after_;
};

struct tag_question {
    QString text;
    QString caption;
    bool warning = false;
    QString description;  // the undo description of what is asked for
};
// What the user is asked before a tag used by count tasks is deleted.
tag_question delete_tag_question(const QString& name, int count);

class tag_commands {
public:
    tag_commands(history& h, store::tables& tables, model::task_store& tasks, task_commands& task_changes)
        : history_(h), tables_(tables), tasks_(tasks), task_changes_(task_changes)
    {
    }

    // The user typed name onto tag id: merges onto another tag of that name,
    // renames, or (empty or the same name) does nothing. Returns the tag to
    // select afterwards.
    std::int32_t rename(std::int32_t id, const QString& name);
    // The unnamed tag to edit: an existing one, or a new one.
    std::int32_t new_tag();
    // Takes the tag off every task that carries it, then deletes it.
    bool remove(std::int32_t id);
    // Sets the tags of the tasks from a typed list ("Home, Phone").
    void set_tags(const std::vector<model::task*>& tasks, const QString& text);
    const store::tables& tables() const { return tables_; }

private:
    history& history_;
    store::tables& tables_;
    model::task_store& tasks_;
    task_commands& task_changes_;
};

}  // namespace qm::history
