#pragma once
// How durations, times of day, dates and relative times are shown.

#include "time/calendar.h"

#include <QLocale>
#include <QString>

#include <vector>

namespace qm::time {

// The "time formatting" options, set from the options at start-up and when
// the options dialog applies. "wd" stands for the system's own format.
struct format_settings {
    QString duration_format = QStringLiteral("%D$D(d) %H$H(h) %M$M(m) %S$S(s)");
    QString time_format = QStringLiteral("wd");
    QString short_date_format = QStringLiteral("wd");
    QString long_date_format = QStringLiteral("wd");
};

void set_format_settings(const format_settings& s);
format_settings current_format_settings();

extern const char* const system_format;  // "wd"

struct duration_options {
    bool show_seconds = false;
    bool started_minutes = false;
};

// The duration template language; an empty template takes the option.
QString format_duration(std::int64_t seconds, const QString& pattern = QString(), duration_options options = {});
// "8 days", "1 day, 1 hour", "1 hour, 30 minutes", "0 minutes".
QString duration_words(std::int64_t seconds);

// Renders a Windows-style picture pattern (d, dd, ddd, dddd, M, MM, MMM, MMMM,
// y, yy, yyyy, h, hh, H, HH, m, mm, s, ss, t, tt, 'quoted' text). Date letters
// are fields only in date pictures and time letters only in time pictures;
// names come from names_locale, the time markers are always "AM" / "PM".
enum class picture_kind { date, time };
QString format_picture(const QString& pattern, const calendar_fields& f, picture_kind kind,
                       const QLocale& names_locale = QLocale::system());

// An empty pattern takes the option; "wd" the system's format.
QString format_time_of_day(std::int64_t seconds, const QString& pattern = QString());
QString format_short_date(stored_date d, const QString& pattern = QString());
QString format_long_date(stored_date d, const QString& pattern = QString());
QString weekday_name(stored_date d);
// The pattern the date parser reads numeric dates by.
QString short_date_pattern();

QString format_date_time(stored_time t);
QString format_date_and_time(stored_time t);
QString relative_text(stored_time target);
QString due_text(stored_time target);
QString relative_day_name(stored_date d);
QString ordinal(int n);
QString roman(int n);

// after: "schedule after" (-1 not set); before: "schedule before" (-1 not
// set, 0 meaning 86400). Appointments have no constraints.
QString constraint_text(time_of_day after, time_of_day before, bool appointment = false);
QString before_short_text(time_of_day before);
QString appointment_text(time_of_day start, duration length);
QString appointment_status_text(stored_date date, time_of_day start, duration length, stored_time at);
QString time_range_text(stored_time start, duration length);
bool uses_24_hour_clock();

// The choices of the options dialog.
struct format_choice {
    QString pattern;
    QString label;
};
const std::vector<format_choice>& duration_choices();
const std::vector<format_choice>& time_choices();
const std::vector<format_choice>& short_date_choices();
const std::vector<format_choice>& long_date_choices();
// "label (E.g. …)" as the lists show it, with the examples of each kind.
QString duration_choice_text(const format_choice& c);
QString time_choice_text(const format_choice& c);
QString date_choice_text(const format_choice& c, bool long_date);

}  // namespace qm::time
