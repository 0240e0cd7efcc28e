#pragma once

#include <QStringList>

namespace qm::store {

class database;

// The CREATE TABLE statements of a new file, in creation order.
const QStringList& schema_statements();

// Creates every table on the given connection, one statement at a time.
void create_schema(database& db);

}  // namespace qm::store
