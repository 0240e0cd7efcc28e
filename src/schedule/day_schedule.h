#pragma once
// Lays the to-dos of one day into its free time: the blocks, their two marks
// and the look-ahead that tries a smaller piece or another constrained to-do
// first. Pure: works on plain copies, touches no store, so it runs on the
// schedule worker and in tests alike.

#include "time/clock.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace qm::schedule {

// What the schedule reads of a task, copied on the main thread.
struct task_copy {
    struct tracked {
        time::stored_time start = 0;
        std::int32_t duration = 0;
    };
    std::int32_t id = 0;
    time::stored_date date = 0;
    bool appointment = false;
    std::int32_t status = 0;
    std::int32_t priority = 2;
    std::int32_t position = 0;  // in the day group; 0 for appointments
    bool splittable = false;
    time::stored_time deadline = 0;
    std::int64_t time_left = 0;
    std::int64_t effective_estimate = 0;
    std::int32_t appointment_start = -1;
    std::int32_t appointment_duration = -1;
    std::vector<tracked> tracked_times;

    // -1 when the task has none.
    int schedule_after() const { return appointment ? -1 : appointment_start; }
    int schedule_before() const
    {
        if (appointment)
            return -1;
        return appointment_duration == 0 ? 86400 : appointment_duration;
    }
    bool schedulable() const { return !appointment && status == 0 && time_left != 0; }
    // The earlier of the schedule-before time and the deadline's time of day
    // on the task's own date; -1 for neither.
    int latest_end() const;
};

// Why a block starts where it does; the pane's tooltip says it in words.
namespace after_kind {
constexpr int day_start = 0;
constexpr int appointment = 1;  // after_task is the appointment
constexpr int tracked = 2;      // time tracked on after_task
constexpr int block = 3;        // the block of after_task
constexpr int held_back = 4;    // the task's own schedule-after time
constexpr int timed = 5;        // the timed task, from the day start
}  // namespace after_kind

struct block {
    bool before_mark = false;
    bool deadline_mark = false;
    std::int32_t task = 0;  // id
    std::int32_t start = 0;
    std::int32_t end = 0;
    int after = after_kind::day_start;
    std::int32_t after_task = 0;
};

struct day_input {
    time::stored_date date = 0;
    time::stored_time now = 0;  // decides the day start of today
    int working_start = 28800;  // the day start of later dates
    std::vector<task_copy> tasks;
    std::int32_t timed = 0;  // the timed task's id, 0 for none
    // Off: every to-do simply to its earliest slot (the benchmark's baseline).
    bool look_ahead = true;
};

// The day start: now's time of day for today, else working start, in whole minutes.
int day_start(const day_input& in);

// Computes the blocks of in.date in placement order. Returns false, leaving
// out unfinished, as soon as it finds cancel set.
bool compute_day(const day_input& in, std::vector<block>& out, const std::atomic<bool>* cancel = nullptr);

}  // namespace qm::schedule
