#include "time/format.h"
#include "time/parse.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <climits>

using namespace qm::time;

namespace {

stored_date D(int y, int m, int d) { return make_date(y, m, d); }
const stored_date reference = make_date(2026, 3, 11);  // a Wednesday
const QString month_first = "M/d/yyyy";

}  // namespace

TEST(parse_date, readingsInOrder)
{
    struct row {
        const char* text;
        stored_date expected;  // 0: the parse fails
    };
    const row cases[] = {
        // weekday phrases
        {"fri", D(2026, 3, 13)}, {"this friday", D(2026, 3, 13)}, {"Friday.", D(2026, 3, 13)},
        {"FRI", D(2026, 3, 13)}, {"next fri", D(2026, 3, 20)}, {"wed", D(2026, 3, 11)},
        {"3 fri", D(2026, 3, 27)}, {"2 mon may", D(2026, 5, 11)}, {"1 mon jan", D(2027, 1, 4)},
        {"2 w", D(2026, 3, 18)}, {"wensday", D(2026, 3, 11)},
        // month names
        {"dec 25", D(2026, 12, 25)}, {"25 december", D(2026, 12, 25)}, {"jan 5", D(2027, 1, 5)},
        {"feb 30 2028", D(2028, 2, 29)}, {"dec 2026", 0}, {"12dec2026", D(2026, 12, 12)},
        {"march 11", D(2026, 3, 11)}, {"Mar 10", D(2027, 3, 10)}, {"5 jun 2099", D(2099, 6, 5)},
        {"5 jun 2101", 0},
        // keywords and counts
        {"tomorrow", D(2026, 3, 12)}, {"today", D(2026, 3, 11)}, {"Yesterday", D(2026, 3, 10)},
        {"3 days ago", D(2026, 3, 8)}, {"15 days ago", D(2026, 2, 24)}, {"2w", D(2026, 3, 25)},
        {"1 month", D(2026, 4, 11)}, {"5 months ago", D(2025, 10, 11)}, {"1 yr", D(2027, 3, 11)},
        {"in 3 days", D(2026, 3, 14)}, {"3d", D(2026, 3, 14)}, {"2 weeks", D(2026, 3, 25)},
        {"1 week 2 days", D(2026, 3, 20)}, {"next week", 0}, {"100 years ago", 0},
        // numeric dates in month-first order
        {"3/15", D(2026, 3, 15)}, {"3/5", D(2027, 3, 5)}, {"25/12", D(2026, 12, 25)}, {"15", D(2026, 3, 15)},
        {"10", D(2026, 4, 10)}, {"11", D(2026, 3, 11)}, {"12/25/2026", D(2026, 12, 25)}, {"13/13", 0},
        {"12/25/26", D(2026, 12, 25)}, {"2/30/2028", D(2028, 2, 29)}, {"1/1/1999", 0},
        // nothing
        {"none", 0}, {"NONE", 0}, {"", 0}, {"   ", 0}, {"---", 0}, {"banana", 0},
    };
    for (const auto& c : cases) {
        const parsed_date r = parse_date(c.text, month_first, reference);
        EXPECT_EQ(r.failed, c.expected == 0) << c.text;
        EXPECT_EQ(r.date, c.expected) << c.text << " gave " << format_short_date(r.date, "yyyy-MM-dd").toStdString();
    }
}

TEST(parse_date, numericDatesFollowTheShortDatePattern)
{
    struct row {
        const char* pattern;
        const char* text;
        stored_date expected;
    };
    const row cases[] = {
        {"d/M/yyyy", "5/3", D(2027, 3, 5)},       {"d/M/yyyy", "15/3/2026", D(2026, 3, 15)},
        {"dd.MM.yy", "24.12.", D(2026, 12, 24)},  {"yyyy-MM-dd", "2026-12-24", D(2026, 12, 24)},
        {"yyyy-MM-d", "2026-12-4", D(2026, 12, 4)}, {"ddd MMM d, yyyy", "3 25", D(2026, 3, 25)},
        {"d MMM yyyy", "20", D(2026, 3, 20)},
    };
    for (const auto& c : cases) {
        const parsed_date r = parse_date(c.text, c.pattern, reference);
        EXPECT_FALSE(r.failed) << c.pattern << " " << c.text;
        EXPECT_EQ(r.date, c.expected) << c.pattern << " " << c.text;
    }
    // December's "next month" is January of the next year.
    EXPECT_EQ(parse_date("5", month_first, D(2026, 12, 20)).date, D(2027, 1, 5));
}

TEST(parse_time_of_day, hoursMinutesAndMarkers)
{
    struct row {
        const char* text;
        bool twenty_four;
        int expected;
    };
    const row cases[] = {
        {"7", false, 68400},    {"07", false, 25200},    {"7:30am", false, 27000}, {"12pm", false, 43200},
        {"12am", false, 0},     {"1430", false, 52200},  {"0", false, -1},        {"9 xm", false, -1},
        {"7", true, 25200},     {"12", false, 86400},    {"930", false, 34200},   {"7:30 PM", false, 70200},
        {"7.30", false, 70200}, {"19:45", false, 71100}, {"7pm", false, 68400},   {"25", false, -1},
        {"", false, -1},        {":", false, -1},        {"7:30:00pm", false, 70200}, {"12345", false, -1},
        {"99999999999:99999999999", false, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse_time_of_day(c.text, c.twenty_four), c.expected) << c.text;
}

TEST(parse_duration, unitsClockFormsAndMinutes)
{
    struct row {
        const char* text;
        int expected;
    };
    const row cases[] = {
        {"1h 30m", 5400}, {"1:30", 5400},   {"90", 5400},        {"2d", 172800}, {"5m30", 330},
        {"30s", 30},      {"1h 30", 5400},  {"2.5h", 7200},      {"1:30:15", 5415}, {"1.5", 65},
        {"", 0},          {"none", 0},      {"1d 2", 172800},    {"10s 5", 15},  {"3x 20m", 1200},
        {"5h 20m, Take a break", 19200},    {"45 min", 2700},    {"99999999999999", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse_duration(c.text), c.expected) << c.text;
    EXPECT_FALSE(parse_duration_checked("soon").has_value());
    EXPECT_FALSE(parse_duration_checked("99999999999h").has_value());
    EXPECT_EQ(parse_duration_checked("0"), 0);
}

TEST(parse_names, weekdaysAndMonths)
{
    EXPECT_EQ(weekday_from_name(" Thurs. "), 5);
    EXPECT_EQ(weekday_from_name("monday"), 2);
    EXPECT_EQ(weekday_from_name("monoday"), 2);
    EXPECT_EQ(weekday_from_name("s"), 0);
    EXPECT_EQ(weekday_from_name("fridays"), 0);
    EXPECT_EQ(month_from_name("December"), 12);
    EXPECT_EQ(month_from_name("decem"), 12);
    EXPECT_EQ(month_from_name("dec"), 12);
    EXPECT_EQ(month_from_name("de"), 0);
    EXPECT_EQ(month_from_name("mayhem"), 5);
}

TEST(parse_robustness, randomTextNeverBreaksTheParsers)
{
    QRandomGenerator rng(8675309);
    const QString pieces[] = {"1", "12", "99999999999999999999", "/", ":", ".", "-", " ", "am", "pm", "next",
                              "fri", "dec", "ago", "days", "w", "h", "m", "s", "ж", "日", "\t", "'", "none",
                              "0", "31", "2026", "$", "%", "(", ")", "|"};
    for (int round = 0; round < 20000; ++round) {
        QString text;
        const int parts = rng.bounded(12);
        for (int i = 0; i < parts; ++i)
            text += pieces[rng.bounded(int(std::size(pieces)))];
        if (round % 50 == 0)
            text = QString(1000, QChar(u'0' + rng.bounded(10)));

        const parsed_date d = parse_date(text, month_first, reference);
        if (d.failed)
            ASSERT_EQ(d.date, 0) << text.toStdString();
        else {
            const calendar_fields f = fields(d.date);
            ASSERT_TRUE(f.year >= 2000 && f.year <= 2100) << text.toStdString();
            ASSERT_EQ(d.date % 86400, 0) << text.toStdString();
        }
        const int t = parse_time_of_day(text, rng.bounded(2) == 0);
        ASSERT_GE(t, -1) << text.toStdString();
        const int seconds = parse_duration(text);
        ASSERT_GE(seconds, 0) << text.toStdString();
        const QString formatted = format_duration(rng.bounded(1 << 30), text, {rng.bounded(2) == 0, rng.bounded(2) == 0});
        ASSERT_LE(formatted.size(), text.size() * 20 + 64);
    }
}
