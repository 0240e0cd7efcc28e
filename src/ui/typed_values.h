#pragma once
// Reading the values typed into the task dialog's fields, each with the
// sentence that says why a text does not read.

#include "time/calendar.h"

#include <QString>

#include <optional>
#include <variant>

namespace qm::ui {

template <class T>
struct reading {
    std::optional<T> value;
    QString why;  // set when value is empty
};

// "No Date", "none" or empty → NO_DATE.
reading<time::stored_date> read_date(const QString& text);
// Empty or "none" → 0 (no deadline); a date, optionally followed by a time of day.
reading<time::stored_time> read_deadline(const QString& text);
// Empty or "none" → -1.
reading<std::int32_t> read_time_of_day(const QString& text, bool allow_none = true);
// Empty or "none" → 0.
reading<std::int32_t> read_duration(const QString& text, bool allow_none = true);
// A whole number not below 0; empty → 0.
reading<std::int32_t> read_count(const QString& text);

}  // namespace qm::ui
