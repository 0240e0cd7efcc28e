#include "store/database.h"

#include <sqlite3.h>

namespace qm::store {

int busy_timeout_milliseconds()
{
    bool ok = false;
    const int wanted = qEnvironmentVariableIntValue("QUILLMERE_BUSY_TIMEOUT_MS", &ok);
    return ok && wanted >= 1 && wanted <= 600000 ? wanted : 60000;
}

database::~database() { close(); }

void database::open(const QString& path)
{
    sqlite3* h = nullptr;
    const QByteArray utf8 = path.toUtf8();
    // Each connection is used by one thread only, so SQLite's own per-call
    // locking is not needed; it costs a mutex round trip on every column read.
    const int rc = sqlite3_open_v2(utf8.constData(), &h,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        QString message = h != nullptr ? QString::fromUtf8(sqlite3_errmsg(h)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(h);
        throw sqlite_exception(message);
    }
    handle_ = h;
}

void database::set_busy_timeout(int milliseconds) { sqlite3_busy_timeout(handle_, milliseconds); }

void database::close()
{
    for (auto& entry : cached_)
        sqlite3_finalize(entry.second);
    cached_.clear();
    if (handle_ != nullptr) {
        sqlite3_close_v2(handle_);
        handle_ = nullptr;
    }
}

void database::remember_sql(const QString& sql)
{
    std::lock_guard<std::mutex> lock(last_sql_mutex_);
    last_sql_ = sql;
}

QString database::last_sql() const
{
    std::lock_guard<std::mutex> lock(last_sql_mutex_);
    return last_sql_;
}

void database::raise() const
{
    const int code = handle_ != nullptr ? sqlite3_errcode(handle_) & 0xff : SQLITE_OK;
    throw sqlite_exception(error_message(), code == SQLITE_BUSY || code == SQLITE_LOCKED);
}

QString database::error_message() const
{
    if (handle_ == nullptr)
        return QStringLiteral("The database is not open.");
    return QString::fromUtf8(sqlite3_errmsg(handle_));
}

void database::execute(const QString& sql)
{
    remember_sql(sql);
    if (handle_ == nullptr)
        raise();
    char* error = nullptr;
    const int rc = sqlite3_exec(handle_, sql.toUtf8().constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        QString message = error != nullptr ? QString::fromUtf8(error) : error_message();
        sqlite3_free(error);
        throw sqlite_exception(message, (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED);
    }
}

statement database::prepare(const QString& sql)
{
    remember_sql(sql);
    if (handle_ == nullptr)
        raise();
    sqlite3_stmt* s = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(handle_, utf8.constData(), -1, &s, nullptr) != SQLITE_OK || s == nullptr) {
        QString message = error_message();
        const int code = sqlite3_errcode(handle_) & 0xff;
        sqlite3_finalize(s);
        throw sqlite_exception(message, code == SQLITE_BUSY || code == SQLITE_LOCKED);
    }
    return s;
}

statement database::cached(const QString& sql)
{
    auto found = cached_.find(sql);
    if (found != cached_.end()) {
        remember_sql(sql);
        return found->second;
    }
    // A bound on what is kept: texts that differ every time (an update's
    // WHERE with its id) must not grow the cache without end.
    constexpr std::size_t most_kept = 64;
    if (cached_.size() >= most_kept) {
        for (auto& entry : cached_)
            sqlite3_finalize(entry.second);
        cached_.clear();
    }
    remember_sql(sql);
    if (handle_ == nullptr)
        raise();
    sqlite3_stmt* s = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v3(handle_, utf8.constData(), -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) != SQLITE_OK ||
        s == nullptr) {
        QString message = error_message();
        const int code = sqlite3_errcode(handle_) & 0xff;
        sqlite3_finalize(s);
        throw sqlite_exception(message, code == SQLITE_BUSY || code == SQLITE_LOCKED);
    }
    cached_.emplace(sql, s);
    return s;
}

void database::release(statement s)
{
    // Ends the step (and with it any read lock) and forgets the values, so
    // that no value of one write is left to the next.
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
}

bool database::step(statement s)
{
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_DONE)
        return true;
    if (rc == SQLITE_ROW)
        return false;
    if (rc == SQLITE_BUSY)
        throw sqlite_exception(QStringLiteral("Database busy."), true);
    raise();
}

bool database::step_failed(statement s)
{
    const int rc = sqlite3_step(s);
    return rc != SQLITE_OK && rc != SQLITE_DONE;
}

void database::finalize(statement s)
{
    const int rc = sqlite3_finalize(s);
    if (rc != SQLITE_OK && rc != SQLITE_DONE)
        raise();
}

QString database::column_text(statement s, int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column - 1));
    if (text == nullptr)
        return QString();
    return QString::fromUtf8(text, sqlite3_column_bytes(s, column - 1));
}

QString database::column_text_local8bit(statement s, int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column - 1));
    if (text == nullptr)
        return QString();
    return QString::fromLocal8Bit(text, sqlite3_column_bytes(s, column - 1));
}

std::int32_t database::column_int(statement s, int column) const { return sqlite3_column_int(s, column - 1); }

std::int64_t database::column_int64(statement s, int column) const { return sqlite3_column_int64(s, column - 1); }

bool database::column_bool(statement s, int column) const { return sqlite3_column_int64(s, column - 1) != 0; }

time::stored_date database::column_date(statement s, int column) const
{
    return time::date_of(column_int64(s, column));
}

time::stored_time database::column_time(statement s, int column) const { return column_int64(s, column); }

void database::bind_text(statement s, int parameter, const QString& value)
{
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(s, parameter, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
}

void database::bind_bool(statement s, int parameter, bool value) { sqlite3_bind_int64(s, parameter, value ? 1 : 0); }

void database::bind_int(statement s, int parameter, std::int32_t value)
{
    sqlite3_bind_int64(s, parameter, static_cast<std::int64_t>(value));
}

void database::bind_int64(statement s, int parameter, std::int64_t value) { sqlite3_bind_int64(s, parameter, value); }

}  // namespace qm::store
