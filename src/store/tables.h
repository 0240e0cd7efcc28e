#pragma once
// Every table binding of the program, created together and loaded at start-up
// in one transaction, in the order the rest of the model relies on.

#include "store/bindings.h"
#include "store/comment_facade.h"
#include "store/id_facade.h"

namespace qm::store {

struct tables {
    explicit tables(db_writer& writer);

    id_facade ids;
    value_facade_impl values;
    role_facade_impl roles;
    mission_statement_store mission_statement;
    context_facade contexts;
    task_context_facade task_contexts;
    alarm_facade_impl alarms;
    comment_facade comments;
    tracked_time_facade tracked_times;
    dependency_facade dependencies;
    recurrence_facade recurrences;
    deleted_occurrence_facade deleted_occurrences;
    routine_facade routines;
    dbtofe outlook_folders;
    dbtote outlook_items;
    habit_facade_impl habits;
};

// Hooks of the start-up load where later parts of the model join in.
struct load_hooks {
    std::function<void()> after_alarms;       // the alarm poll starts here
    std::function<void()> after_recurrences;  // recurrences brought up to date, then the tasks
    std::function<void()> after_deleted_occurrences;  // the projects, then the path agent
    std::function<void()> after_habits;       // habit points restored
};

// Loads every table on the main connection, inside the caller's transaction.
void load_tables(tables& t, database& db, const load_hooks& hooks = {});

}  // namespace qm::store
