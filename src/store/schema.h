#pragma once

#include <QStringList>

namespace qm::store {

class database;

// The CREATE TABLE statements of a new file, in creation order.
const QStringList& schema_statements();

// Creates every table on the given connection, one statement at a time.
void create_schema(database& db);

// The indexes the renumbering and lookup statements filter on. They are made
// at every open ("IF NOT EXISTS"), beside the tables and never instead of
// them, so the tables stay exactly as older versions know them: without the
// indexes every day-order or folder-order change scans the whole Tasks table.
const QStringList& index_statements();
void create_indexes(database& db);

}  // namespace qm::store
