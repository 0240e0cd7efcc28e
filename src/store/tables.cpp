#include "store/tables.h"

namespace qm::store {

tables::tables(db_writer& writer)
    : ids(writer),
      values(writer, &ids),
      roles(writer, &ids),
      mission_statement(writer),
      contexts(writer, &ids),
      task_contexts(writer),
      alarms(writer, &ids),
      comments(writer, &ids),
      tracked_times(writer, &ids),
      dependencies(writer),
      recurrences(writer, &ids),
      deleted_occurrences(writer),
      routines(writer),
      outlook_folders(writer, &ids),
      outlook_items(writer, &ids),
      habits(writer, &ids)
{
}

namespace {
void run(const std::function<void()>& hook)
{
    if (hook)
        hook();
}
}  // namespace

void load_tables(tables& t, database& db, const load_hooks& hooks)
{
    t.ids.load(db);
    t.values.load(db);
    t.roles.load(db);
    t.mission_statement.load(db);
    t.contexts.load(db);
    t.task_contexts.load(db);
    t.alarms.load(db);
    run(hooks.after_alarms);
    t.comments.load(db);
    t.tracked_times.load(db);
    t.dependencies.load(db, dependency_facade::load_suffix());
    t.recurrences.load(db);
    run(hooks.after_recurrences);
    t.deleted_occurrences.load(db);
    run(hooks.after_deleted_occurrences);
    t.routines.load(db);
    t.outlook_folders.load(db);
    t.outlook_items.load(db);
    t.habits.load(db);
    run(hooks.after_habits);
}

}  // namespace qm::store
