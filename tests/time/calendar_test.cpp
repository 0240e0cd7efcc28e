#include "time/calendar.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::time;

namespace {
stored_date D(int y, int m, int d) { return make_date(y, m, d); }
}  // namespace

TEST(calendar, datesRoundNegativeValuesTowardZero)
{
    EXPECT_EQ(date_of(1773147600), 1773100800);  // 13:00 on 2026-03-10
    EXPECT_EQ(date_of(0), 0);
    EXPECT_EQ(date_of(-90000), -86400);
    EXPECT_EQ(date_of(-5), 0);
}

TEST(calendar, specialDatesAreTheirCalendarDays)
{
    EXPECT_EQ(NO_DATE, D(1982, 12, 16));
    EXPECT_EQ(FOLDER_DATE, D(1982, 12, 15));
    EXPECT_EQ(RECURRENCE_MASTER_DATE, D(1982, 12, 14));
    EXPECT_FALSE(is_same(NO_DATE, FOLDER_DATE));
    test::fixed_clock clock(D(2026, 3, 11) + 3600);
    EXPECT_TRUE(is_before(NO_DATE, today()));
}

TEST(calendar, makeTimeNormalisesLikeTimegm)
{
    struct row {
        int y, mo, d, h, mi, s;
        stored_time expected;
    };
    const row cases[] = {
        {2025, 13, 1, 0, 0, 0, D(2026, 1, 1)},
        {2026, 3, 0, 0, 0, 0, D(2026, 2, 28)},
        {2024, 3, 0, 0, 0, 0, D(2024, 2, 29)},
        {2026, 0, 15, 0, 0, 0, D(2025, 12, 15)},
        {2026, 3, 10, 25, 0, 0, D(2026, 3, 11) + 3600},
        {2026, 3, 10, 0, 0, -1, D(2026, 3, 10) - 1},
        {2026, -11, 1, 0, 0, 0, D(2025, 1, 1)},
        {1970, 1, 1, 0, 0, 0, 0},
        {1969, 12, 31, 0, 0, 0, -1},
        {3000, 12, 31, 23, 59, 59, D(3000, 12, 31) + 86399},
        {3001, 1, 1, 0, 0, 0, -1},
        {2147483647, 1, 1, 0, 0, 0, -1},
        {2026, 2147483647, 2147483647, 2147483647, 0, 0, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(make_time(c.y, c.mo, c.d, c.h, c.mi, c.s), c.expected) << c.y << "-" << c.mo << "-" << c.d;
    EXPECT_EQ(D(2026, 3, 10), 1773100800);
}

TEST(calendar, fieldsOfAStoredTime)
{
    const calendar_fields f = fields(1773147600 + 59);
    EXPECT_EQ(f.year, 2026);
    EXPECT_EQ(f.month, 3);
    EXPECT_EQ(f.day, 10);
    EXPECT_EQ(f.hour, 13);
    EXPECT_EQ(f.minute, 0);
    EXPECT_EQ(f.second, 59);
    EXPECT_EQ(f.weekday, 3);  // Tuesday
    EXPECT_EQ(f.day_of_year, 68);
    EXPECT_EQ(fields(0).weekday, 5);  // 1970-01-01 was a Thursday
}

TEST(calendar, monthArithmetic)
{
    struct row {
        stored_date from, to;
    };
    const row cases[] = {
        {D(2026, 1, 31), D(2026, 2, 28)}, {D(2024, 1, 31), D(2024, 2, 29)}, {D(2026, 2, 28), D(2026, 3, 31)},
        {D(2026, 1, 30), D(2026, 2, 28)}, {D(2026, 12, 15), D(2027, 1, 15)}, {D(2026, 4, 30), D(2026, 5, 31)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(add_month(c.from), c.to);
    EXPECT_EQ(days_in_month(2, 1900), 28);
    EXPECT_EQ(days_in_month(2, 2000), 29);
    EXPECT_EQ(days_in_month(2, 2024), 29);
    EXPECT_EQ(days_in_month(9, 2026), 30);
    EXPECT_EQ(months_between(D(2026, 3, 11), D(2026, 7, 1)), 4);
    EXPECT_EQ(months_between(D(2025, 11, 11), D(2026, 2, 1)), 3);
    EXPECT_EQ(months_between(D(2026, 3, 11), D(2025, 7, 1)), 0);
    EXPECT_EQ(add_days(D(2026, 3, 31), 1), D(2026, 4, 1));
    EXPECT_EQ(add_days(D(2026, 3, 1) + 500, -1), D(2026, 2, 28));
}

TEST(calendar, weeksFollowTheFirstDay)
{
    struct reset {
        ~reset()
        {
            set_first_day_of_week_option(-1);
            set_system_first_day_of_week(6);
        }
    } restore;
    struct row {
        int option;
        int system;
        int first;
    };
    const row firsts[] = {{-1, 6, 1}, {-1, 0, 2}, {0, 6, 2}, {5, 0, 7}, {6, 0, 1}, {-1, -1, 1}};
    for (const auto& r : firsts) {
        set_first_day_of_week_option(r.option);
        set_system_first_day_of_week(r.system);
        EXPECT_EQ(first_day_of_week(), r.first) << r.option << "," << r.system;
    }

    set_first_day_of_week_option(5);  // Saturday
    EXPECT_EQ(start_of_week(D(2026, 3, 11)), D(2026, 3, 7));
    EXPECT_EQ(end_of_week(D(2026, 3, 11)), D(2026, 3, 13));
    EXPECT_EQ(start_of_week(0), 0);

    set_first_day_of_week_option(0);  // Monday; 2026-01-01 is a Thursday, so k = 3
    for (int day = 1; day <= 10; ++day)
        EXPECT_EQ(week_number(D(2026, 1, day)), 0) << day;
    EXPECT_EQ(week_number(D(2026, 1, 11)), 1);
    EXPECT_EQ(week_number(D(2026, 1, 12)), 1);  // the first Monday begins week 1
    EXPECT_EQ(start_of_week(D(2026, 3, 15)), D(2026, 3, 9));
    EXPECT_EQ(end_of_week(D(2026, 3, 9)), D(2026, 3, 15));
}

TEST(calendar, weekdayCommandsNeverPickTodayOrTomorrow)
{
    test::fixed_clock clock(D(2026, 3, 9) + 10 * 3600);  // a Monday
    EXPECT_EQ(weekday_date(2), D(2026, 3, 16));   // Monday: one week later
    EXPECT_EQ(weekday_date(4), D(2026, 3, 11));   // Wednesday: the day after tomorrow
    EXPECT_EQ(weekday_date(3), D(2026, 3, 17));   // Tuesday is tomorrow: the next one
    EXPECT_EQ(tomorrow(), D(2026, 3, 10));
    EXPECT_EQ(yesterday(), D(2026, 3, 8));
    EXPECT_TRUE(is_midnight(D(2026, 3, 9)));
    EXPECT_FALSE(is_midnight(D(2026, 3, 9) + 1));
}

TEST(clock, nowAppliesTheOffsetAtEachCallAndFrozenTimeStopsIt)
{
    std::int64_t utc = 1773147600;
    int offset = 3600;
    set_clock_source({[&] { return utc; }, [&](std::int64_t) { return offset; }});
    EXPECT_EQ(now(), 1773147600 + 3600);
    offset = 7200;  // daylight saving began
    EXPECT_EQ(now(), 1773147600 + 7200);
    set_frozen_time(1000000000);
    utc += 500;
    EXPECT_EQ(now(), 1000000000 + 7200);
    set_frozen_time(0);
    EXPECT_EQ(now(), 1773148100 + 7200);
    reset_clock_source();
}
