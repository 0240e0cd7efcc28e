#pragma once

#include <QString>

namespace qm::store {

extern const char* const support_address;

// The text of the fatal "Database Error" report: the failure's message and
// the SQL most recently given to the main connection.
QString database_error_text(const QString& message, const QString& main_last_sql);

}  // namespace qm::store
