#pragma once
// Reading dates, times of day and durations from what a user types. None of
// these ever throws; each has its failure value.

#include "time/calendar.h"

#include <QString>

#include <optional>

namespace qm::time {

struct parsed_date {
    stored_date date = 0;
    bool failed = true;
};

// Weekday names, keywords ("tomorrow", "next", "3 weeks ago"), month names
// and numeric dates in the order of the short date pattern.
parsed_date parse_date(const QString& text, const QString& short_date_pattern, stored_date reference);

// Seconds since midnight, or -1.
time_of_day parse_time_of_day(const QString& text, bool twenty_four_hour);

// Seconds; text without a number, or a duration too long to hold, gives 0.
duration parse_duration(const QString& text);
// The same, telling apart a text that holds no duration.
std::optional<duration> parse_duration_checked(const QString& text);

// 1 = Sunday … 7 = Saturday, 0 = none.
int weekday_from_name(const QString& word);
// 1–12, 0 = none.
int month_from_name(const QString& word);

}  // namespace qm::time
