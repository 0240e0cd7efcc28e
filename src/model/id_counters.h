#pragma once
// Files converted from some older versions lack the id counters of roles,
// values or tags, or keep them behind the rows already stored: a new row
// would then be given an id in use, and its insert would fail in the writer.
// Once the tables are loaded, each counter is moved past its table's rows.

#include "store/tables.h"

namespace qm::model {

void repair_id_counters(store::tables& tables);

}  // namespace qm::model
