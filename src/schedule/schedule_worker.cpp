#include "schedule/schedule_worker.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace qm::schedule {

schedule_worker::schedule_worker(delivery deliver) : deliver_(std::move(deliver)) {}

schedule_worker::~schedule_worker() { stop(); }

void schedule_worker::start()
{
    if (thread_.joinable())
        return;
    stopping_ = false;
    thread_ = std::thread([this] { run(); });
}

void schedule_worker::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        cancel_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.clear();
}

void schedule_worker::queue(std::unique_ptr<schedule_request> r)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!queue_.empty() && queue_.front()->input.date == r->input.date) {
            // The front is the one being computed (or about to be): it is
            // out of date, and the new one follows it.
            cancel_ = true;
            queue_.push_back(std::move(r));
        } else {
            bool replaced = false;
            for (auto& q : queue_)
                if (q->input.date == r->input.date) {
                    q = std::move(r);
                    replaced = true;
                    break;
                }
            if (!replaced)
                queue_.push_back(std::move(r));
        }
    }
    wake_.notify_one();
}

std::size_t schedule_worker::queued() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.size();
}

void schedule_worker::run()
{
    // Below normal priority: the window comes first. Linux gives each thread
    // its own nice value.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 5);
    for (;;) {
        schedule_request* r = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                return;
            r = queue_.front().get();
        }
        if (before_compute)
            before_compute(*r);
        std::vector<block> result;
        const bool finished = compute_day(r->input, result, &cancel_);
        std::unique_ptr<schedule_request> done;
        bool cancelled = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_)
                return;
            done = std::move(queue_.front());
            queue_.pop_front();
            cancelled = cancel_.exchange(false) || !finished;
        }
        if (!cancelled) {
            done->result = std::move(result);
            deliver_(std::move(done));
        }
    }
}

}  // namespace qm::schedule
