#pragma once
// Calendar arithmetic on stored times. Calendar fields are computed as if a
// stored time were UTC seconds of the proleptic Gregorian calendar: no zone,
// no daylight saving. All pure except the functions that read the clock.

#include "time/clock.h"

#include <cstdint>

namespace qm::time {

using time_of_day = std::int32_t;  // seconds since midnight, 0–86400; -1 not set
using duration = std::int32_t;

constexpr stored_date NO_DATE = 408844800;                 // 1982-12-16, every undated task
constexpr stored_date FOLDER_DATE = 408758400;             // 1982-12-15, every folder
constexpr stored_date RECURRENCE_MASTER_DATE = 408672000;  // 1982-12-14

struct calendar_fields {
    int year = 1970;
    int month = 1;        // 1–12
    int day = 1;          // 1–31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 5;      // 1 = Sunday … 7 = Saturday
    int day_of_year = 0;  // 0–365
};

// Days since 1970-01-01 of a Gregorian date, and back.
std::int64_t days_from_civil(std::int64_t year, int month, int day);
void civil_from_days(std::int64_t days, std::int64_t& year, int& month, int& day);

// From calendar fields, normalised like timegm (month 13 is January of the
// next year, day 0 the last day of the previous month, hours overflow into
// days). Years before 1970 or after 3000 give -1.
stored_time make_time(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
stored_date make_date(int year, int month, int day);
calendar_fields fields(stored_time t);

stored_date add_days(stored_date d, std::int64_t n);
inline stored_date next_day(stored_date d) { return add_days(d, 1); }
inline stored_date previous_day(stored_date d) { return add_days(d, -1); }
stored_date tomorrow();
stored_date yesterday();
stored_date add_month(stored_date d);
int days_in_month(int month, int year);
bool is_leap_year(std::int64_t year);
int months_between(stored_date a, stored_date b);

// The first day of the week: the option (0 = Monday … 6 = Sunday, -1 the
// system's) and the system value, set at start-up and by the options dialog.
void set_first_day_of_week_option(int option);
void set_system_first_day_of_week(int value);
int first_day_of_week_option();
int system_first_day_of_week();
// As a weekday 1–7 (1 = Sunday).
int first_day_of_week();

stored_date start_of_week(stored_date d);
stored_date end_of_week(stored_date d);
int week_number(stored_date d);
bool is_midnight(stored_time t);
// The date for the "Sunday" … "Saturday" commands: never today or tomorrow.
stored_date weekday_date(int weekday);
inline bool is_before(stored_time a, stored_time b) { return a < b; }
inline bool is_same(stored_time a, stored_time b) { return a == b; }

}  // namespace qm::time
