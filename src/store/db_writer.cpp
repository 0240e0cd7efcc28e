#include "store/db_writer.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace qm::store {

db_writer::db_writer(QString database_path) : path_(std::move(database_path))
{
    on_failure_ = [](const QString& message) {
        std::fprintf(stderr, "Database Error\n%s\n", message.toLocal8Bit().constData());
        std::fflush(stderr);
        std::_Exit(1);
    };
}

db_writer::~db_writer()
{
    if (thread_.joinable())
        stop();
}

void db_writer::set_failure_handler(failure_handler handler) { on_failure_ = std::move(handler); }

void db_writer::start()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (started_)
        return;
    started_ = true;
    thread_ = std::thread([this] { run(); });
}

void db_writer::post_write(write_operation op)
{
    if (!op)
        return;  // an empty operation would read as the stop request
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stop_requested_) {
            // Nothing may be queued behind the stop request: it would be lost.
            std::fprintf(stderr, "db_writer: a write posted after stop was refused\n");
            return;
        }
        queue_.push_back(std::move(op));
        ++posted_;
    }
    wake_.notify_one();
}

void db_writer::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!started_)
            return;
        if (!stop_requested_) {
            stop_requested_ = true;
            queue_.push_back(write_operation());
        }
    }
    wake_.notify_one();
    if (thread_.joinable())
        thread_.join();
    db_.close();
}

bool db_writer::running() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return started_ && !done_;
}

std::uint64_t db_writer::posted_count() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return posted_;
}

std::uint64_t db_writer::executed_count() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return executed_;
}

void db_writer::fail(const QString& message)
{
    on_failure_(message);
    std::_Exit(1);
}

void db_writer::count_executed(std::size_t n)
{
    std::lock_guard<std::mutex> lock(mutex_);
    executed_ += n;
}

void db_writer::open_connection()
{
    db_.open(path_);
    db_.set_busy_timeout(busy_timeout_milliseconds());
    db_.execute(QStringLiteral("PRAGMA synchronous = FULL;"));
}

void db_writer::run()
{
    bool stop_seen = false;
    while (!stop_seen) {
        std::deque<write_operation> batch;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return !queue_.empty(); });
            batch.swap(queue_);
        }
        run_batch(batch, stop_seen);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
}

bool db_writer::attempt(const std::function<void()>& work, failure& out)
{
    try {
        work();
        return true;
    } catch (const sqlite_exception& e) {
        out.message = e.message();
    } catch (const std::exception& e) {
        out.message = QString::fromUtf8(e.what());
    }
    out.busy = db_.is_open() && (sqlite3_errcode(db_.handle()) & 0xff) == SQLITE_BUSY;
    return false;
}

void db_writer::roll_back()
{
    // After a full disk or an I/O error SQLite may have rolled back already.
    if (db_.is_open() && sqlite3_get_autocommit(db_.handle()) == 0)
        sqlite3_exec(db_.handle(), "ROLLBACK;", nullptr, nullptr, nullptr);
}

bool db_writer::run_alone(const write_operation& op, failure& out)
{
    const bool done = attempt(
        [&] {
            db_.execute(QStringLiteral("BEGIN TRANSACTION;"));
            op(db_);
            db_.execute(QStringLiteral("COMMIT;"));
        },
        out);
    if (!done)
        roll_back();
    return done;
}

// Runs the requests that were waiting together inside one transaction: every
// commit costs a full fsync, and a burst of single-row writes must not take
// one each. Order is kept; a failing request is still fatal. The requests are
// kept until the COMMIT has succeeded, so that a failure can still write what
// the writer would have written taking them one at a time.
void db_writer::run_batch(std::deque<write_operation>& batch, bool& stop_seen)
{
    std::size_t count = 0;
    while (count < batch.size() && batch[count])
        ++count;
    if (count < batch.size())
        stop_seen = true;  // anything behind the stop request was posted after it
    if (count == 0)
        return;

    failure failed;
    if (!db_.is_open() && !attempt([this] { open_connection(); }, failed))
        fail(failed.message);
    if (count == 1) {
        if (!attempt([&] { batch[0](db_); }, failed))
            fail(failed.message);
        count_executed(1);
        return;
    }

    std::size_t at = 0;  // the request running; count while committing
    const bool done = attempt(
        [&] {
            db_.execute(QStringLiteral("BEGIN TRANSACTION;"));
            for (at = 0; at < count; ++at)
                batch[at](db_);
            db_.execute(QStringLiteral("COMMIT;"));
        },
        failed);
    if (!done)
        recover(batch, count, at, failed);
    count_executed(count);
}

// A grouped batch failed at request failed_at (count: at its COMMIT). Writes
// the requests before it as writing them one at a time would have, then
// reports the first failure that writing them so meets.
void db_writer::recover(std::deque<write_operation>& batch, std::size_t count, std::size_t failed_at,
                        const failure& first)
{
    if (first.busy) {
        // The lock was waited for the whole busy timeout: waiting again for
        // the same lock would only keep the user from the report as long.
        roll_back();
        fail(first.message);
    }
    if (failed_at < count && sqlite3_get_autocommit(db_.handle()) == 0) {
        // A failed statement leaves the transaction open: what ran before it
        // commits as it would have request by request.
        failure at_commit;
        if (attempt([this] { db_.execute(QStringLiteral("COMMIT;")); }, at_commit)) {
            count_executed(failed_at);
            fail(first.message);
        }
        if (at_commit.busy) {
            roll_back();
            fail(at_commit.message);
        }
    }
    // The transaction is gone (a full disk, an I/O error, a refused COMMIT):
    // each request before the failing one gets a transaction of its own.
    roll_back();
    for (std::size_t i = 0; i < failed_at; ++i) {
        failure alone;
        if (!run_alone(batch[i], alone))
            fail(alone.message);
        count_executed(1);
    }
    fail(first.message);
}

}  // namespace qm::store
