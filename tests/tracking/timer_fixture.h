#pragma once
// A started core with the history, the task commands and the timer, driven by
// a settable clock: the tick runs once per simulated second, nothing sleeps.

#include "history/task_commands.h"
#include "model/task_fixture.h"
#include "tracking/timer_operations.h"

#include <algorithm>

namespace qm::test {

struct timer_fixture : task_fixture {
    std::int64_t utc = D(2026, 3, 11) + 10 * 3600;
    std::unique_ptr<history::history> h;
    std::unique_ptr<history::task_commands> commands;
    std::unique_ptr<tracking::task_timer> timer;
    std::unique_ptr<tracking::timer_operations> ops;

    void SetUp() override { wire(); }
    void TearDown() override { unwire(); }

    void wire()
    {
        h = std::make_unique<history::history>([this] { store().end_change_batch(); });
        commands = std::make_unique<history::task_commands>(*h, store());
        timer = std::make_unique<tracking::task_timer>(store(), core.core().ids());
        ops = std::make_unique<tracking::timer_operations>(*h, *commands, store(), *timer);
    }
    void unwire()
    {
        ops.reset();
        timer.reset();
        commands.reset();
        h.reset();
    }

    // Lets the clock run, one tick per second as the system timer would.
    void run(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            clock.set(++utc);
            timer->tick();
        }
    }
    // Jumps the clock without ticks (the program was not running, or no timer).
    void jump(int seconds)
    {
        utc += seconds;
        clock.set(utc);
    }
    time::stored_time now() const { return utc; }

    static tracking::TrackedTime entry(std::int32_t task, time::stored_time start, std::int32_t duration)
    {
        tracking::TrackedTime e;
        e.task = task;
        e.start = start;
        e.duration = duration;
        return e;
    }
    // Gives a task an entry as a stored change, outside the history.
    void give(const model::task_ptr& t, time::stored_time start, std::int32_t duration)
    {
        const model::task before = *t;
        t->tracked_times.push_back(entry(t->id, start, duration));
        store().change(before, *t);
        store().end_change_batch();
    }

    std::vector<QString> descriptions() const
    {
        std::vector<QString> out;
        for (int i = 0; i <= h->position(); ++i)
            out.push_back(h->entries()[static_cast<std::size_t>(i)]->change_text());
        return out;
    }

    // Every entry in memory as "id task type start duration caption", by id.
    std::vector<QStringList> memory_rows(bool with_running_duration = true) const
    {
        std::vector<std::pair<std::int32_t, QStringList>> rows;
        for (const auto& t : core_store().all())
            for (const auto& e : t->tracked_times) {
                const bool running = timer && timer->timed_task() && e.id == timer->running_entry_id();
                rows.push_back({e.id, {QString::number(e.id), QString::number(e.task), QString::number(e.type),
                                       QString::number(e.start),
                                       running && !with_running_duration ? QStringLiteral("?")
                                                                         : QString::number(e.duration),
                                       e.caption}});
            }
        std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<QStringList> out;
        for (auto& r : rows)
            out.push_back(r.second);
        return out;
    }
    const model::task_store& core_store() const { return const_cast<timer_fixture*>(this)->store(); }

    // Drains the writer and compares the file's TrackedTimes with memory; the
    // running entry's length on disk is that of its last save.
    void expect_file_matches_memory()
    {
        const std::vector<QStringList> memory = memory_rows(false);
        const std::int32_t running = timer->timed_task() ? timer->running_entry_id() : 0;
        unwire();
        store::database& db = core.drain_and_reopen();
        std::vector<QStringList> file = query(db, "SELECT * FROM [TrackedTimes] ORDER BY id");
        for (auto& row : file)
            if (row[0].toInt() == running)
                row[4] = QStringLiteral("?");
        EXPECT_EQ(file, memory);
    }
};

}  // namespace qm::test
