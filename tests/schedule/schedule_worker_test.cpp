// The worker's queue: a request for a queued date takes the old one's place,
// one for the date being computed cancels it. The worker is held at a known
// point by the test, never by sleeping.

#include "schedule/schedule_worker.h"
#include "time/calendar.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

using namespace qm;
using namespace qm::schedule;

namespace {

const time::stored_date D = time::make_date(2026, 3, 11);

// A gate the worker waits at before each computation until the test opens it.
struct held_worker {
    std::mutex m;
    std::condition_variable cv;
    bool open = false;
    int arrived = 0;  // computations that reached the gate
    std::vector<std::unique_ptr<schedule_request>> results;
    schedule_worker worker{[this](std::unique_ptr<schedule_request> r) {
        std::lock_guard<std::mutex> lock(m);
        results.push_back(std::move(r));
        cv.notify_all();
    }};

    held_worker()
    {
        worker.before_compute = [this](const schedule_request&) {
            std::unique_lock<std::mutex> lock(m);
            ++arrived;
            cv.notify_all();
            cv.wait(lock, [this] { return open; });
        };
        worker.start();
    }
    // A request whose single to-do's id tells the requests apart.
    static std::unique_ptr<schedule_request> request(time::stored_date date, std::int32_t marker)
    {
        auto r = std::make_unique<schedule_request>();
        r->input.date = date;
        r->input.now = D + 9 * 3600;
        task_copy t;
        t.id = marker;
        t.date = date;
        t.time_left = t.effective_estimate = 3600;
        r->input.tasks.push_back(t);
        return r;
    }
    bool wait(const std::function<bool()>& done)
    {
        std::unique_lock<std::mutex> lock(m);
        return cv.wait_for(lock, std::chrono::seconds(20), done);
    }
    void release()
    {
        std::lock_guard<std::mutex> lock(m);
        open = true;
        cv.notify_all();
    }
    std::vector<std::pair<time::stored_date, std::int32_t>> delivered()
    {
        std::lock_guard<std::mutex> lock(m);
        std::vector<std::pair<time::stored_date, std::int32_t>> out;
        for (const auto& r : results)
            out.emplace_back(r->input.date, r->result.empty() ? 0 : r->result.front().task);
        return out;
    }
};

TEST(schedule_worker, a_queued_date_is_replaced_by_the_newer_request)
{
    held_worker h;
    h.worker.queue(held_worker::request(D, 1));
    ASSERT_TRUE(h.wait([&] { return h.arrived == 1; }));  // D is being computed
    h.worker.queue(held_worker::request(D + 86400, 2));
    h.worker.queue(held_worker::request(D + 86400, 3));  // takes 2's place
    EXPECT_EQ(h.worker.queued(), 2u);
    h.release();
    ASSERT_TRUE(h.wait([&] { return h.results.size() == 2; }));
    using P = std::pair<time::stored_date, std::int32_t>;
    EXPECT_EQ(h.delivered(), (std::vector<P>{{D, 1}, {D + 86400, 3}}));
}

TEST(schedule_worker, a_request_for_the_date_being_computed_cancels_it)
{
    held_worker h;
    h.worker.queue(held_worker::request(D, 1));
    ASSERT_TRUE(h.wait([&] { return h.arrived == 1; }));
    h.worker.queue(held_worker::request(D, 2));
    EXPECT_EQ(h.worker.queued(), 2u);
    h.release();
    // A later request shows when the worker has gone past both.
    h.worker.queue(held_worker::request(D + 2 * 86400, 9));
    ASSERT_TRUE(h.wait([&] { return !h.results.empty() && h.results.back()->input.date == D + 2 * 86400; }));
    using P = std::pair<time::stored_date, std::int32_t>;
    EXPECT_EQ(h.delivered(), (std::vector<P>{{D, 2}, {D + 2 * 86400, 9}}));
}

TEST(schedule_worker, stop_discards_what_is_queued)
{
    held_worker h;
    h.worker.queue(held_worker::request(D, 1));
    ASSERT_TRUE(h.wait([&] { return h.arrived == 1; }));
    h.worker.queue(held_worker::request(D + 86400, 2));
    h.release();
    h.worker.stop();
    EXPECT_EQ(h.worker.queued(), 0u);
    h.worker.stop();  // twice is harmless
}

}  // namespace
