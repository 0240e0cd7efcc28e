#pragma once
// What the Clapperboard shows beside its menu: the four boxes (current task,
// next task, next appointment, next alarm) and the timed task's progress.
// Recomputed on every refresh from the store and the timer; nothing kept.

#include "tracking/next_task.h"
#include "tracking/quick_alarm.h"
#include "tracking/task_timer.h"

#include <QString>

#include <vector>

namespace qm::tracking {

struct panel_box {
    QString caption;
    QString line;  // "<None>" when empty
};

struct progress_row {
    QString caption;
    QString value;
};

// "Current Task", "Next Task", "Next Appointment", "Next Alarm".
std::vector<panel_box> panel_boxes(const model::task_store& store, const task_timer& timer,
                                   const schedule_candidate_source& schedule, const alarm_port* alarms,
                                   time::stored_time now);
panel_box current_task_box(const task_timer& timer);

// Today's unfinished appointment with the earliest start after now, the
// timed task left out; the first in today's list on equal starts.
model::task* next_appointment(const model::task_store& store, const model::task* timed, time::stored_time now);

// "Working Time", "Estimated Finish Time" and the estimate row, for the
// timed task; empty when nothing is timed.
std::vector<progress_row> progress_rows(const model::task_store& store, const task_timer& timer);

}  // namespace qm::tracking
