#pragma once
// Identifier allocation by kind, backed by the Ids table. Main thread only:
// the list in memory is updated before the writes are posted, so two
// allocations never return the same value even while the writer lags behind.

#include <QString>
#include <QStringList>

#include <vector>

namespace qm::store {

class database;
class db_writer;

namespace id_kind {
constexpr int tasks = 1;
constexpr int projects = 4;
constexpr int alarms = 5;
constexpr int recurrences = 6;
constexpr int tracked_times = 7;
constexpr int comments = 8;
constexpr int roles = 9;
constexpr int values = 10;
constexpr int tags = 11;
constexpr int habits = 12;
constexpr int outlook_folders = 13;
constexpr int outlook_items = 14;
}  // namespace id_kind

struct id_record {
    int kind = 0;
    int next_id = 0;
};

class id_facade {
public:
    static const QString& table_name();
    static const QStringList& columns();

    explicit id_facade(db_writer& writer);

    void load(database& db);
    int allocate(int kind);
    // Moves the counter of a kind past used, for files whose counter is
    // missing or behind the rows already stored.
    void ensure_above(int kind, int used);
    const std::vector<id_record>& records() const { return records_; }

private:
    db_writer& writer_;
    std::vector<id_record> records_;
};

// Sets the counter of a kind from the rows already in a table: MAX(id) + 1,
// or 1 for an empty table. Runs on the given (main) connection.
void seed_id_counter(database& db, int kind, const QString& table);

}  // namespace qm::store
