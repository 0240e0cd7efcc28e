#pragma once
// The background writer: every change made while the program runs reaches the
// file through here, in posting order, on the writer's own connection.
//
// post_write may be called from the main thread at any time after start();
// stop() waits until every request posted before it has run.

#include "store/database.h"

#include <QString>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace qm::store {

// One queued write. It runs on the writer's thread with the writer's
// connection and owns whatever it captured. An empty operation is the stop request.
using write_operation = std::function<void(database&)>;

class db_writer {
public:
    // Called on the writer's thread when a request fails; must not return
    // normally if the process is to end (the default reports and exits 1).
    using failure_handler = std::function<void(const QString& message)>;

    explicit db_writer(QString database_path);
    ~db_writer();
    db_writer(const db_writer&) = delete;
    db_writer& operator=(const db_writer&) = delete;

    void set_failure_handler(failure_handler handler);

    void start();
    void post_write(write_operation op);
    // Queues the stop request behind every earlier request and waits for the
    // writer to finish them all.
    void stop();

    bool running() const;
    std::uint64_t posted_count() const;
    std::uint64_t executed_count() const;

private:
    struct failure {
        QString message;
        bool busy = false;  // SQLite gave up waiting for another connection's lock
    };

    void run();
    void run_batch(std::deque<write_operation>& batch, bool& stop_seen);
    [[noreturn]] void recover(std::deque<write_operation>& batch, std::size_t count, std::size_t failed_at,
                              const failure& first);
    bool attempt(const std::function<void()>& work, failure& out);
    bool run_alone(const write_operation& op, failure& out);
    void roll_back();
    void count_executed(std::size_t n);
    void open_connection();
    [[noreturn]] void fail(const QString& message);

    const QString path_;
    database db_;
    failure_handler on_failure_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<write_operation> queue_;
    std::uint64_t posted_ = 0;
    std::uint64_t executed_ = 0;
    bool started_ = false;
    bool stop_requested_ = false;
    bool done_ = false;
    std::thread thread_;
};

}  // namespace qm::store
