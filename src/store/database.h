#pragma once
// A thin wrapper over one SQLite connection. Column and parameter numbers
// count from 1 in every helper. Each connection is used by one thread only;
// only last_sql() may be read from another thread (for the error report).

#include "store/sqlite_exception.h"
#include "time/clock.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <mutex>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace qm::store {

using statement = sqlite3_stmt*;

// How long a connection waits for another one's lock before it gives up:
// a minute, or QUILLMERE_BUSY_TIMEOUT_MS (1 to 600000) so that tests need
// not wait that long.
int busy_timeout_milliseconds();

class database {
public:
    database() = default;
    ~database();
    database(const database&) = delete;
    database& operator=(const database&) = delete;

    // Opens read-write, creating the file when missing.
    void open(const QString& path);
    void set_busy_timeout(int milliseconds);
    void close();
    bool is_open() const { return handle_ != nullptr; }

    void execute(const QString& sql);
    statement prepare(const QString& sql);
    // True when the statement has finished, false when a row is available.
    bool step(statement s);
    // For INSERT, UPDATE, DELETE and REPLACE: true when the step failed.
    bool step_failed(statement s);
    void finalize(statement s);
    // A statement kept prepared for the next use of the same text, for the
    // writes that repeat (the same insert for every new row). Hand it back
    // with release(), never finalize(); close() finalizes them all.
    statement cached(const QString& sql);
    void release(statement s);

    QString column_text(statement s, int column) const;
    // Text stored by very old versions in the local 8-bit code page.
    QString column_text_local8bit(statement s, int column) const;
    std::int32_t column_int(statement s, int column) const;
    std::int64_t column_int64(statement s, int column) const;
    bool column_bool(statement s, int column) const;
    time::stored_date column_date(statement s, int column) const;
    time::stored_time column_time(statement s, int column) const;

    void bind_text(statement s, int parameter, const QString& value);
    void bind_bool(statement s, int parameter, bool value);
    void bind_int(statement s, int parameter, std::int32_t value);
    void bind_int64(statement s, int parameter, std::int64_t value);

    QString error_message() const;
    QString last_sql() const;
    sqlite3* handle() const { return handle_; }

private:
    void remember_sql(const QString& sql);
    [[noreturn]] void raise() const;

    std::unordered_map<QString, statement> cached_;
    mutable std::mutex last_sql_mutex_;
    QString last_sql_;
    sqlite3* handle_ = nullptr;
};

}  // namespace qm::store
