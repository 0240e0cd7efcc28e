#pragma once
// The computed day schedules of the run: asks the worker for a date's
// schedule when its tasks or a timer on it change (and for today once a
// minute), stores the results against the live tasks and announces each one
// (40068). Main thread only.

#include "model/task_store.h"
#include "schedule/schedule_worker.h"
#include "store/announcements.h"

#include <QObject>

#include <functional>
#include <memory>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace qm::schedule {

// A block of a stored schedule, holding the live task it gives time to.
struct stored_block {
    block b;
    model::task_ptr task;
};

class schedule_store : public store::listener {
public:
    explicit schedule_store(model::task_store& tasks);
    ~schedule_store() override;
    schedule_store(const schedule_store&) = delete;
    schedule_store& operator=(const schedule_store&) = delete;

    // Starts the worker and listens to the task, timer and history news.
    void start();
    // Stops the worker; results still on their way are dropped.
    void stop();

    // What the request records besides the tasks; set before start().
    std::function<int()> working_start;                  // the option "working start"
    std::function<std::int32_t()> timed_task;            // the timed task's id, 0 for none
    // Today's blocks in schedule order, each time today is stored, before
    // the views hear of it: the generated conflict alarms are made there.
    std::function<void(time::stored_date, const std::vector<const stored_block*>&)> conflict_alarms;

    // Queues the date's computation; nothing for a date before today.
    void request_schedule(time::stored_date date);
    // The date's blocks in schedule order (none for a past date); a date not
    // computed yet is requested first.
    std::vector<const stored_block*> blocks_of(time::stored_date date);
    bool computed(time::stored_date date) const { return computed_.count(date) != 0; }
    // The first block of a task in today's schedule, or nullptr.
    const stored_block* first_block_today(std::int32_t task_id) const;

    // The minute tick: today again.
    void minute_tick() { request_schedule(time::today()); }

    // Result arrival: the blocks replace the date's old ones.
    void arrive(std::unique_ptr<schedule_request> r);

    // The copies a request for the date is made of.
    day_input snapshot(time::stored_date date) const;

    schedule_worker& worker() { return *worker_; }

    // listener
    long on_announcement(const store::announcement& a) override;

private:
    // After a schedule is stored: today's goes to the conflict alarms.
    void schedule_computed(time::stored_date date);
    void task_date(time::stored_date date);
    void drop_blocks_of_task(std::int32_t id);

    model::task_store& tasks_;
    std::unique_ptr<QObject> receiver_;
    std::unique_ptr<schedule_worker> worker_;
    std::vector<stored_block> blocks_;
    // Each task's first block in blocks_, made again after blocks_ changes:
    // the rows ask for it for every cell they paint.
    mutable std::unordered_map<std::int32_t, std::size_t> first_block_;
    mutable bool first_block_stale_ = true;
    std::unordered_set<time::stored_date> computed_;
    std::set<time::stored_date> pending_;
    int open_groups_ = 0;
    bool started_ = false;
};

}  // namespace qm::schedule
