#pragma once
// The copy of the database file taken before the first conversion step of a run.

#include "store/upgrade.h"

#include <QString>

namespace qm::store {

// "ferncastle-" + version + "-backup" + (from the second attempt on) the
// attempt number + ".db", in the folder of the database file. Characters that
// could leave the folder or are not allowed in a file name become "_".
QString backup_name(const QString& database_path, const QString& version, int attempt);

// Copies the file to the first backup name not taken yet. On failure asks the
// environment: try again, go on without a backup (returns an empty path), or
// cancel (throws conversion_cancelled). Returns the backup's path.
QString backup_database(const upgrade_environment& env, const QString& version);

}  // namespace qm::store
