#pragma once
// Repeating calendar patterns: daily, weekly, monthly and yearly, with a
// starting and an optional ending date; whether one occurs on a date, the
// walks built on that test, and the sentence that describes it. Pure except
// where today is read (counting and activity).

#include "time/clock.h"

#include <QString>

#include <cstdint>

namespace qm::time {

namespace recurrence_kind {
constexpr int daily = 0;               // param1 interval in days
constexpr int weekly = 1;              // param1 weekday mask, param2 interval in weeks
constexpr int monthly_day = 2;         // param1 day 1–31 or 32 (last), param2 interval in months
constexpr int monthly_weekday = 3;     // param1 position 1–5, param2 weekday 1–7, param3 interval
constexpr int yearly_date = 4;         // param1 day, param2 month
constexpr int yearly_weekday = 5;      // param1 position, param2 weekday, param3 month
}  // namespace recurrence_kind

// Weekday mask bits of the weekly kind.
namespace weekday_bit {
constexpr int sunday = 0x01, monday = 0x02, tuesday = 0x04, wednesday = 0x08, thursday = 0x10, friday = 0x20,
              saturday = 0x40;
}

constexpr int last_day_of_month = 32;
constexpr int last_position = 5;

// One row of Recurrences.
struct recurrence {
    std::int32_t id = 0;
    std::int32_t attached = 0;
    std::uint8_t attached_type = 0;  // 0 the master task of a task recurrence
    stored_date starting_date = 0;
    stored_date ending_date = 0;     // 0 never ends
    std::uint8_t type = recurrence_kind::daily;
    std::uint8_t param1 = 0;
    std::uint8_t param2 = 0;
    std::uint8_t param3 = 0;
    bool operator==(const recurrence& o) const;
    bool operator!=(const recurrence& o) const { return !(*this == o); }
    // The pattern alone: kind, parameters and range, not the owner or id.
    bool same_pattern(const recurrence& o) const;
};

namespace describe_flag {
constexpr unsigned lower_case = 1;
constexpr unsigned no_period = 2;
}  // namespace describe_flag

// The search limits of the walks: first occurrence, n-th occurrence.
constexpr int first_occurrence_search_days = 1000;

bool is_valid(const recurrence& r);
bool occurs_on(const recurrence& r, stored_date d, bool ignore_end = false);
// Moves starting_date to the first day the pattern occurs, searching at most
// 1000 days. Returns false, leaving the date as it was, when none is found.
bool move_start_to_first_occurrence(recurrence& r);
// n = 0: the starting date; otherwise the day of the n-th occurrence, the
// ending date ignored, searched up to January 1 ten years after this year.
stored_date nth_occurrence(const recurrence& r, int n);
// Occurrences from today through d, both included, the ending date ignored.
int count_occurrences_until(const recurrence& r, stored_date d);
// Never ends, or some occurrence lies between today and the end.
bool is_active(const recurrence& r);
// The first occurrence on or after from (ending date respected), or 0 when
// none lies within the first-occurrence search.
stored_date next_occurrence(const recurrence& r, stored_date from);
QString describe(const recurrence& r, unsigned flags = 0);

// "Sunday" … "Saturday" for 1–7, "January" … "December" for 1–12.
QString weekday_word(int weekday);
QString month_word(int month);
// "first" … "fourth", "last" for 1–5; empty otherwise.
QString position_word(int position);

}  // namespace qm::time
