#pragma once
// Times, zones, repetition rules and text values of iCalendar, turned into
// the planner's stored (local wall-clock) times and recurrence kinds and
// back. Used by ics_document only.

#include "time/recurrence.h"

#include <QByteArray>
#include <QString>

#include <map>

struct icalproperty_impl;
struct _icaltimezone;
struct icalcomponent_impl;
struct icaltimetype;
struct icalrecurrencetype;

namespace qm::exchange {

// The zones a file defines, by TZID, with the built-in ones behind them.
class ics_zones {
public:
    ics_zones() = default;
    ~ics_zones();
    ics_zones(const ics_zones&) = delete;
    ics_zones& operator=(const ics_zones&) = delete;

    // Takes a VTIMEZONE component.
    void add(icalcomponent_impl* vtimezone);
    // A property's time as a stored time: UTC and zoned times become local
    // wall-clock times, floating times stay as written, a date is midnight
    // (all_day set). False, with why, when it cannot be used.
    bool to_stored(icalproperty_impl* p, const icaltimetype& t, time::stored_time& out, bool& all_day,
                   QString& why) const;

private:
    std::map<QByteArray, _icaltimezone*> zones_;
};

// An RRULE as one of the six recurrence kinds, with its starting date (the
// first start's date) and ending date (from UNTIL or COUNT). False, with the
// reason, for a rule the kinds cannot hold.
bool map_rule(const icalrecurrencetype& rule, const icaltimetype& dtstart, time::stored_time first_start,
              time::recurrence& out, QString& reason);
// The RRULE value of a pattern whose first start is first_start.
QByteArray rule_text(const time::recurrence& r, time::stored_time first_start);

// "DTSTART;TZID=Europe/Berlin:20260311T100000\r\n", or UTC with a Z when the
// system zone is UTC or unknown to the built-in zone table.
QByteArray time_line(const char* name, time::stored_time t);
QByteArray utc_stamp(time::stored_time local);
// The TZID written, or empty for UTC; and its VTIMEZONE component.
QByteArray written_zone_id();
QByteArray zone_text(const QByteArray& tzid);

QByteArray escape_text(const QString& text);
// One content line folded at 75 octets, never inside a UTF-8 character.
QByteArray fold_line(const QByteArray& line);

// Local wall-clock seconds and UTC seconds, by the system's zone rules.
// The offsets found are kept until forget_zone_offsets (each file read
// starts afresh, so a change of zone is seen by the next read).
void forget_zone_offsets();
time::stored_time local_from_utc(std::int64_t utc);
std::int64_t utc_from_local(time::stored_time local);

}  // namespace qm::exchange
