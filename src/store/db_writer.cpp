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

// Keeps the requests of the batch that ran before the failing one, as they
// would have been had each committed by itself, then ends the process.
void db_writer::fail(const QString& message)
{
    if (db_.is_open() && sqlite3_get_autocommit(db_.handle()) == 0)
        sqlite3_exec(db_.handle(), "COMMIT;", nullptr, nullptr, nullptr);
    on_failure_(message);
    std::_Exit(1);
}

void db_writer::open_connection()
{
    db_.open(path_);
    db_.set_busy_timeout(60000);
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

// Runs the requests that were waiting together inside one transaction: every
// commit costs a full fsync, and a burst of single-row writes must not take
// one each. Order is kept; a failing request is still fatal.
void db_writer::run_batch(std::deque<write_operation>& batch, bool& stop_seen)
{
    std::size_t work = 0;
    for (const auto& op : batch) {
        if (!op)
            break;
        ++work;
    }
    try {
        if (work > 0 && !db_.is_open())
            open_connection();
        const bool grouped = work > 1;
        if (grouped)
            db_.execute(QStringLiteral("BEGIN TRANSACTION;"));
        for (std::size_t i = 0; i < work; ++i) {
            batch[i](db_);
            batch[i] = nullptr;  // release the captured copy once written
        }
        if (grouped)
            db_.execute(QStringLiteral("COMMIT;"));
    } catch (const sqlite_exception& e) {
        fail(e.message());
    } catch (const std::exception& e) {
        fail(QString::fromUtf8(e.what()));
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        executed_ += work;
    }
    if (work < batch.size())
        stop_seen = true;  // anything behind the stop request was posted after it
}

}  // namespace qm::store
