#pragma once
// The words of the exchange: the range list and the dates each range takes,
// the log line of every appointment written or read, and the run's messages.
// Pure except range_for, which the caller gives today.

#include "exchange/calendar_backend.h"
#include "time/calendar.h"

#include <QString>
#include <QStringList>

#include <limits>

namespace qm::exchange {

namespace range_choice {
constexpr int future = 0;
constexpr int all = 1;
constexpr int this_year = 2;
}  // namespace range_choice

// "Future Appointments", "All Appointments", "Appointments from this Year".
QStringList range_names();

struct date_range {
    time::stored_time from = std::numeric_limits<time::stored_time>::min();  // the end on or after
    time::stored_time to = std::numeric_limits<time::stored_time>::max();    // the start on or before
};
date_range range_for(int choice, time::stored_date today);

// Whether an item takes part: all-day items never do; a repeating one when
// its series reaches into the range.
bool in_range(const calendar_item& item, const date_range& range);
// The same for an appointment of the planner (start and length as its task
// holds them) and, for a master, its pattern.
bool appointment_in_range(time::stored_date date, time::time_of_day start, time::duration length,
                          const time::recurrence* pattern, const date_range& range);

enum class direction { import_, export_ };
enum class change { added, changed, deleted };
enum class item_kind { master, occurrence, appointment };

struct logged_item {
    QString name;
    item_kind kind = item_kind::appointment;
    const time::recurrence* pattern = nullptr;  // for a master
    time::stored_date date = 0;
    time::time_of_day start = 0;
};

// "Importing new appointment: Lunch, from calendar: Home, 12:00 on 3/11/2026."
QString item_line(direction d, change c, const logged_item& item, const QString& calendar);
// "Removing appointment %1 on %2 from %3."
QString removal_line(const QString& name, time::stored_date date, const QString& calendar);
// "Error updating %1: %2".
QString error_line(const QString& name, const QString& message);

QString error_subject();  // "<Error getting subject>"
QString cannot_start();   // "Cannot start Outlook."
QString no_calendar_list(const QString& message);
QString no_calendar_data();

}  // namespace qm::exchange
