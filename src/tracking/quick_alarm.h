#pragma once
// The Clapperboard's quick alarm line ("7", "2h", "50m, Take a break") and
// the door through which the alarms reach the Clapperboard: adding a quick
// alarm, the New Alarm dialog and the "Next Alarm" box.

#include "model/task.h"
#include "time/clock.h"

#include <QString>

#include <memory>
#include <optional>

namespace qm::tracking {

struct quick_alarm {
    time::stored_time due = 0;
    QString text;  // what is left of the line, the alarm's title
};

// Leading times of day give today at the last one read; otherwise leading
// durations are added to now. Nothing read (or a sum of 0) gives nullopt.
std::optional<quick_alarm> read_quick_alarm(const QString& line, time::stored_time now, bool twenty_four_hour);

// What the Clapperboard needs of the alarms. The alarms work provides the
// one implementation; until it is installed the Clapperboard says that
// alarms are not available and shows "<None>" as the next alarm.
class alarm_port {
public:
    virtual ~alarm_port() = default;
    // Adds, undoably, a standalone alarm of type 0 with the standalone
    // kind's defaults, due at due, titled text.
    virtual void add_quick_alarm(time::stored_time due, const QString& text) = 0;
    // The New Alarm dialog: attached to the task when one is given (an
    // appointment's or a to-do's defaults), else a standalone alarm.
    virtual void open_new_alarm_dialog(const model::task* attached) = 0;
    struct alarm_summary {
        QString text;
        std::int64_t seconds_left = 0;
    };
    // Among the alarms of types 0 and 2 due within the coming day, the one
    // with the fewest seconds left.
    virtual std::optional<alarm_summary> next_alarm(time::stored_time now) const = 0;
};

}  // namespace qm::tracking
