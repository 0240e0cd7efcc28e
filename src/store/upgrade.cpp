#include "store/upgrade.h"

#include "store/database.h"
#include "store/database_settings.h"
#include "store/schema.h"

namespace qm::store {
namespace {

bool has_tables(database& db)
{
    statement s = db.prepare(QStringLiteral("SELECT COUNT(*) FROM [sqlite_master]"));
    long long count = 0;
    if (!db.step(s))
        count = db.column_int64(s, 1);
    db.finalize(s);
    return count > 0;
}

}  // namespace

upgrade_requests upgrade_database(database& db, bool existed)
{
    upgrade_requests requests;
    db.execute(QStringLiteral("BEGIN TRANSACTION;"));
    if (existed && !has_tables(db)) {
        // An empty file is what a creation interrupted before its commit
        // leaves behind: build it as the new database it was meant to be.
        existed = false;
    }
    if (!existed) {
        create_schema(db);
        requests.new_database = true;
        requests.default_roles = true;
    } else {
        const QString text = read_setting(db, settings_key::version);
        const stored_version v = parse_version(text);
        const bool older = v.major < program_major || (v.major == program_major && v.minor < program_minor);
        if (older) {
            // Converting older files is not part of this build yet; refuse
            // rather than stamp a file whose tables do not match.
            db.execute(QStringLiteral("ROLLBACK;"));
            throw unsupported_version(text.isEmpty() ? QStringLiteral("(none)") : text);
        }
    }
    stamp_version(db);
    db.execute(QStringLiteral("COMMIT;"));
    return requests;
}

}  // namespace qm::store
