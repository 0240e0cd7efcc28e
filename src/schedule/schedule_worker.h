#pragma once
// The schedule worker: one thread that computes the queued day schedules,
// below normal priority, one request at a time. A request for a date that is
// already queued takes the old one's place; one for the date being computed
// cancels that computation, so a burst of changes costs one result.

#include "schedule/day_schedule.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace qm::schedule {

struct schedule_request {
    day_input input;             // the date, the snapshot copies, the timed task
    std::vector<block> result;   // filled by the worker
};

class schedule_worker {
public:
    // Called on the worker thread with each finished request that was not
    // cancelled; the receiver carries it over to the main thread.
    using delivery = std::function<void(std::unique_ptr<schedule_request>)>;

    explicit schedule_worker(delivery deliver);
    ~schedule_worker();
    schedule_worker(const schedule_worker&) = delete;
    schedule_worker& operator=(const schedule_worker&) = delete;

    void start();
    // Discards what is queued and waits for the thread. Safe to call twice.
    void stop();

    // Main thread.
    void queue(std::unique_ptr<schedule_request> r);
    std::size_t queued() const;

    // For tests: runs on the worker right before each computation, so a
    // test can hold the worker at a known point.
    std::function<void(const schedule_request&)> before_compute;

private:
    void run();

    delivery deliver_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::unique_ptr<schedule_request>> queue_;
    std::atomic<bool> cancel_{false};
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace qm::schedule
