#include "time/format.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::time;

namespace {

stored_date D(int y, int m, int d) { return make_date(y, m, d); }

const QString single_spaces = "%D$D(d) %H$H(h) %M$M(m) %S$S(s)";
const QString colon_period = "%dd$dd(:)%hh$hm(:)%m!$s(.)%s!";

// Sets the formatting options for one test and restores the defaults.
struct with_formats {
    explicit with_formats(format_settings s) { set_format_settings(s); }
    ~with_formats() { set_format_settings(format_settings()); }
};

format_settings us_formats()
{
    format_settings s;
    s.time_format = "h:mm tt";
    s.short_date_format = "M/d/yyyy";
    s.long_date_format = "dddd, MMMM d, yyyy";
    return s;
}

}  // namespace

TEST(format_duration, templatesAndSettings)
{
    struct row {
        std::int64_t seconds;
        QString pattern;
        duration_options options;
        const char* expected;
    };
    const duration_options plain;
    const duration_options seconds{true, false};
    const duration_options started{false, true};
    const row cases[] = {
        {30, single_spaces, plain, "30s"},
        {900, single_spaces, plain, "15m"},
        {3600, single_spaces, plain, "1h 0m"},
        {4530, single_spaces, plain, "1h 15m"},
        {0, single_spaces, plain, "0m"},
        {4530, single_spaces, seconds, "1h 15m 30s"},
        {4530, single_spaces, started, "1h 16m"},
        {61, single_spaces, started, "2m"},
        {60, single_spaces, started, "1m"},
        {180000, single_spaces, plain, "50h 0m"},  // days never appear
        {-4530, single_spaces, plain, "1h 15m"},   // no sign is written
        {4530, colon_period, plain, "1:15"},
        {900, colon_period, plain, "15"},
        {30, colon_period, plain, "00.30"},
        {93600, colon_period, plain, "26:00"},
        {3600, "%H$H(hour|hours)", plain, "1hour"},
        {7200, "%H$H(hour|hours)", plain, "2hours"},
        {0, "%D$D(d) %H$H(hr) %M$M(min) %S$S(sec)", plain, "0min"},
        {4530, "%D$D(d)%H$H(hr)%M$M(min)%S$S(sec)", plain, "1hr15min"},
        {60, "%M $M(minute|minutes), again $M", plain, "1 minute, again minute"},
        {4530, "took %H:%m! so far", plain, "took 1:15 so far"},
        {4530, "no tokens at all", plain, "no tokens at all"},
        {7, "$S(unclosed", plain, "unclosed"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(format_duration(c.seconds, c.pattern, c.options).toStdString(), c.expected)
            << c.seconds << " with " << c.pattern.toStdString();
}

TEST(format_duration, emptyTemplateTakesTheOption)
{
    EXPECT_EQ(format_duration(4530), "1h 15m");
    format_settings s;
    s.duration_format = colon_period;
    with_formats f(s);
    EXPECT_EQ(format_duration(4530), "1:15");
}

TEST(duration_words, daysHoursMinutes)
{
    struct row {
        std::int64_t seconds;
        const char* expected;
    };
    const row cases[] = {
        {8 * 86400 + 3 * 3600, "8 days"}, {90000, "1 day, 1 hour"}, {59, "0 minutes"},
        {5400, "1 hour, 30 minutes"},     {60, "1 minute"},          {2 * 86400, "2 days"},
        {3 * 86400 + 120, "3 days"},      {7200, "2 hours"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(duration_words(c.seconds).toStdString(), c.expected) << c.seconds;
}

TEST(format_picture, explicitPatternsDoNotDependOnTheLocale)
{
    const calendar_fields f = fields(D(2026, 3, 11) + 18 * 3600 + 5 * 60);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    struct row {
        const char* pattern;
        picture_kind kind;
        const char* expected;
    };
    const row cases[] = {
        {"M/d/yyyy", picture_kind::date, "3/11/2026"},
        {"d/M/yy", picture_kind::date, "11/3/26"},
        {"M'/'d'/'yyyy", picture_kind::date, "3/11/2026"},
        {"dd.MM.yyyy", picture_kind::date, "11.03.2026"},
        {"'Day' d 'of' M, ''yy", picture_kind::date, "Day 11 of 3, '26"},
        {"h:mm t", picture_kind::time, "6:05 P"},
        {"h:mm tt", picture_kind::time, "6:05 PM"},
        {"H:mm", picture_kind::time, "18:05"},
        {"hh:mm", picture_kind::time, "06:05"},
        {"'h'H:mm", picture_kind::time, "h18:05"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(format_picture(c.pattern, f, c.kind, english).toStdString(), c.expected) << c.pattern;
        EXPECT_EQ(format_picture(c.pattern, f, c.kind, german).toStdString(), c.expected) << c.pattern;
    }
    // Names come in the user's language.
    EXPECT_EQ(format_picture("ddd d MMM, yyyy", f, picture_kind::date, english), "Wed 11 Mar, 2026");
    EXPECT_EQ(format_picture("dddd, MMMM d, yyyy", f, picture_kind::date, english), "Wednesday, March 11, 2026");
    EXPECT_EQ(format_picture("dddd d MMMM yyyy", f, picture_kind::date, german), "Mittwoch 11 März 2026");
}

TEST(format_time, timesOfDayAndDates)
{
    with_formats f(us_formats());
    EXPECT_EQ(format_time_of_day(0), "12:00 AM");
    EXPECT_EQ(format_time_of_day(86400), "12:00 AM");  // the end of the day shows as midnight
    EXPECT_EQ(format_time_of_day(-50), "12:00 AM");
    EXPECT_EQ(format_time_of_day(43200 + 1800), "12:30 PM");
    EXPECT_EQ(format_time_of_day(64800, "H:mm"), "18:00");
    EXPECT_EQ(format_short_date(D(2026, 3, 11)), "3/11/2026");
    EXPECT_EQ(format_long_date(D(2026, 3, 11)), "Wednesday, March 11, 2026");
    EXPECT_EQ(weekday_name(D(2026, 3, 13)), "Friday");
    EXPECT_EQ(format_date_time(D(2026, 3, 11)), "3/11/2026");
    EXPECT_EQ(format_date_time(D(2026, 3, 11) + 9 * 3600), "3/11/2026 at 9:00 AM");
    EXPECT_EQ(format_date_and_time(D(2026, 3, 11)), "3/11/2026 12:00 AM");
    EXPECT_EQ(short_date_pattern(), "M/d/yyyy");
}

TEST(format_time, twentyFourHourClockFromTheOption)
{
    struct row {
        const char* pattern;
        bool expected;
    };
    const row cases[] = {{"'h'H:mm", true}, {"H:mm", true}, {"h:mm tt", false}, {"hh:mm", false}};
    for (const auto& c : cases) {
        format_settings s;
        s.time_format = c.pattern;
        with_formats f(s);
        EXPECT_EQ(uses_24_hour_clock(), c.expected) << c.pattern;
    }
}

TEST(format_time, relativeTexts)
{
    with_formats f(us_formats());
    const stored_time at = D(2026, 3, 11) + 23 * 3600;
    test::fixed_clock clock(at);
    EXPECT_EQ(relative_text(D(2026, 3, 12)), "Tomorrow");
    EXPECT_EQ(relative_text(D(2026, 3, 11)), "Today");
    EXPECT_EQ(relative_text(D(2026, 3, 10)), "Yesterday");
    EXPECT_EQ(relative_text(at - 5400), "1 hour, 30 minutes ago");
    EXPECT_EQ(relative_text(at + 90000), "1 day, 1 hour from now");
    EXPECT_EQ(relative_text(D(2026, 3, 1)), "10 days ago");  // a week or more: days only
    EXPECT_EQ(relative_text(D(2026, 3, 8)), "3 days, 23 hours ago");
    EXPECT_EQ(due_text(at + 4530), "in 1h 15m");
    EXPECT_EQ(due_text(at - 900), "overdue by 15m");
    EXPECT_EQ(relative_day_name(D(2026, 3, 11)), "today");
    EXPECT_EQ(relative_day_name(D(2026, 3, 10)), "yesterday");
    EXPECT_EQ(relative_day_name(D(2026, 3, 9)), "Monday, March 9, 2026");
}

TEST(format_text, ordinalsAndRomanNumerals)
{
    struct row {
        int n;
        const char* ordinal;
    };
    const row ordinals[] = {{1, "1st"}, {2, "2nd"}, {3, "3rd"}, {4, "4th"},   {11, "11th"}, {12, "12th"},
                            {13, "13th"}, {21, "21st"}, {22, "22nd"}, {23, "23rd"}, {30, "30th"}, {31, "31st"}};
    for (const auto& r : ordinals)
        EXPECT_EQ(ordinal(r.n).toStdString(), r.ordinal);
    struct numeral {
        int n;
        const char* text;
    };
    const numeral numerals[] = {{1, "I"},     {4, "IV"},      {9, "IX"},      {14, "XIV"}, {40, "XL"},
                                {1994, "MCMXCIV"}, {3999, "MMMCMXCIX"}, {0, "0"}, {4000, "4000"}};
    for (const auto& r : numerals)
        EXPECT_EQ(roman(r.n).toStdString(), r.text) << r.n;
}

TEST(format_text, constraintsAndAppointments)
{
    with_formats f(us_formats());
    EXPECT_EQ(constraint_text(-1, 0), "Before: 12:00 AM");  // 0 stands for the end of the day
    EXPECT_EQ(constraint_text(9 * 3600, 17 * 3600), "Between: 9:00 AM and 5:00 PM");
    EXPECT_EQ(constraint_text(9 * 3600, -1), "After: 9:00 AM");
    EXPECT_EQ(constraint_text(-1, -1), "");
    EXPECT_EQ(constraint_text(9 * 3600, 17 * 3600, true), "");
    EXPECT_EQ(before_short_text(0), "Tomorrow");
    EXPECT_EQ(before_short_text(17 * 3600), "5:00 PM");
    EXPECT_EQ(appointment_text(9 * 3600, 5400), "9:00 AM to 10:30 AM (1h 30m)");
    EXPECT_EQ(time_range_text(D(2026, 3, 11) + 9 * 3600, 5400), "9:00 AM to 10:30 AM (1h 30m)");

    const stored_date day = D(2026, 3, 11);
    const int start = 10 * 3600 + 30 * 60;
    EXPECT_EQ(appointment_status_text(day, start, 3600, day + 10 * 3600), "Begins in: 31m");
    EXPECT_EQ(appointment_status_text(day, start, 3600, day + 10 * 3600 + 45 * 60), "In Progress: 15m");
    EXPECT_EQ(appointment_status_text(day, start, 3600, day + 12 * 3600), "Late by: 30m");
}

TEST(format_choices, listsShowTheirExamples)
{
    EXPECT_EQ(duration_choices().size(), 5u);
    EXPECT_EQ(duration_choice_text(duration_choices()[1]),
              "Single abbreviations with spaces (E.g. 30s, 15m, 1h 0m, 1h 15m)");
    EXPECT_EQ(duration_choice_text(duration_choices()[4]), "Colon and period delimited (E.g. 00.30, 15, 1:00, 1:15)");
    EXPECT_EQ(time_choice_text(time_choices()[3]), "24-hour time format (E.g. 0:00, 18:00, 12:00, 6:00)");
    {
        test::fixed_clock clock(D(2026, 3, 11) + 3600);
        EXPECT_EQ(date_choice_text(short_date_choices()[4], false), "Month first, long year (E.g. 3/11/2026)");
    }
    {
        test::fixed_clock clock(D(2026, 5, 5) + 3600);  // 5/5 would not tell day from month
        EXPECT_EQ(date_choice_text(short_date_choices()[2], false), "Month first, short year (E.g. 5/6/26)");
    }
}

// Run once more with QUILLMERE_TEST_LOCALE=de_DE.UTF-8 (see tests/CMakeLists.txt).
TEST(system_locale, systemFormatsFollowTheUsersLocale)
{
    const stored_date d = D(2026, 3, 11);
    if (QLocale::system().language() == QLocale::German) {
        EXPECT_EQ(format_short_date(d, "wd"), "11.03.26");
        EXPECT_EQ(format_long_date(d, "wd"), "Mittwoch, 11. März 2026");
        EXPECT_EQ(format_time_of_day(18 * 3600, "wd"), "18:00");
        EXPECT_EQ(weekday_name(d), "Mittwoch");
        EXPECT_EQ(format_short_date(d, "M/d/yyyy"), "3/11/2026");
    } else {
        EXPECT_EQ(format_long_date(d, "wd"), QLocale::system().toString(QDate(2026, 3, 11), QLocale::LongFormat));
        EXPECT_FALSE(format_time_of_day(18 * 3600, "wd").contains(":00:00"));  // never the seconds
    }
}
