#include "time/recurrence.h"

#include "support/test_support.h"
#include "time/calendar.h"
#include "time/format.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::time;

namespace {

stored_date D(int y, int m, int d) { return make_date(y, m, d); }

recurrence pattern(int type, int p1, int p2 = 0, int p3 = 0, stored_date start = D(2026, 1, 1), stored_date end = 0)
{
    recurrence r;
    r.type = static_cast<std::uint8_t>(type);
    r.param1 = static_cast<std::uint8_t>(p1);
    r.param2 = static_cast<std::uint8_t>(p2);
    r.param3 = static_cast<std::uint8_t>(p3);
    r.starting_date = start;
    r.ending_date = end;
    return r;
}

struct occurs_case {
    const char* name;
    recurrence r;
    std::vector<stored_date> on;
    std::vector<stored_date> off;
};

void PrintTo(const occurs_case& c, std::ostream* os) { *os << c.name; }

class occurs : public ::testing::TestWithParam<occurs_case> {};

TEST_P(occurs, onTheDaysOfThePatternOnly)
{
    const occurs_case& c = GetParam();
    for (stored_date d : c.on)
        EXPECT_TRUE(occurs_on(c.r, d)) << format_short_date(d, "yyyy-MM-dd").toStdString();
    for (stored_date d : c.off)
        EXPECT_FALSE(occurs_on(c.r, d)) << format_short_date(d, "yyyy-MM-dd").toStdString();
}

using namespace recurrence_kind;
const int mon_fri = weekday_bit::monday | weekday_bit::friday;

INSTANTIATE_TEST_SUITE_P(
    recurrence, occurs,
    ::testing::Values(
        occurs_case{"everyDay", pattern(daily, 1), {D(2026, 1, 1), D(2026, 1, 2), D(2027, 6, 30)}, {D(2025, 12, 31)}},
        occurs_case{"everyThirdDayFromTheStart",
                    pattern(daily, 3, 0, 0, D(2026, 3, 1)),
                    {D(2026, 3, 1), D(2026, 3, 4), D(2026, 3, 31)},
                    {D(2026, 3, 2), D(2026, 3, 3), D(2026, 2, 26)}},
        occurs_case{"dailyWithZeroIntervalNever", pattern(daily, 0), {}, {D(2026, 1, 1), D(2026, 1, 2)}},
        // Weeks are counted in blocks of seven days from a Wednesday start.
        occurs_case{"everyOtherWeekOnMondayAndFriday",
                    pattern(weekly, mon_fri, 2, 0, D(2026, 3, 4)),
                    {D(2026, 3, 6), D(2026, 3, 9), D(2026, 3, 20)},
                    {D(2026, 3, 4), D(2026, 3, 13), D(2026, 3, 16), D(2026, 3, 2)}},
        occurs_case{"weeklyWithEmptyMaskNever", pattern(weekly, 0, 1), {}, {D(2026, 1, 5), D(2026, 1, 6)}},
        occurs_case{"weeklyWithZeroIntervalNever", pattern(weekly, 0x7f, 0), {}, {D(2026, 1, 5)}},
        occurs_case{"monthlyOnThe31stSkipsShortMonths",
                    pattern(monthly_day, 31, 1),
                    {D(2026, 1, 31), D(2026, 3, 31), D(2026, 5, 31), D(2026, 12, 31)},
                    {D(2026, 2, 28), D(2026, 4, 30), D(2026, 6, 30), D(2026, 9, 30), D(2026, 11, 30)}},
        occurs_case{"monthlyOnTheLastDay",
                    pattern(monthly_day, last_day_of_month, 1),
                    {D(2026, 2, 28), D(2026, 4, 30), D(2026, 12, 31), D(2028, 2, 29)},
                    {D(2026, 2, 27), D(2028, 2, 28), D(2026, 4, 29)}},
        occurs_case{"monthlyEveryThirdMonthCountedFromTheStart",
                    pattern(monthly_day, 15, 3, 0, D(2026, 1, 10)),
                    {D(2026, 1, 15), D(2026, 4, 15), D(2027, 1, 15)},
                    {D(2026, 2, 15), D(2026, 3, 15), D(2026, 5, 15)}},
        occurs_case{"lastFridayOfEveryMonth",
                    pattern(monthly_weekday, last_position, 6, 1),
                    {D(2026, 1, 30), D(2026, 2, 27), D(2026, 5, 29)},
                    {D(2026, 1, 23), D(2026, 2, 20), D(2026, 1, 29)}},
        occurs_case{"secondTuesdayOfEveryOtherMonth",
                    pattern(monthly_weekday, 2, 3, 2),
                    {D(2026, 1, 13), D(2026, 3, 10)},
                    {D(2026, 2, 10), D(2026, 1, 6), D(2026, 1, 20)}},
        occurs_case{"fourthNeverMeansLast",
                    pattern(monthly_weekday, 4, 6, 1),
                    {D(2026, 1, 23)},
                    {D(2026, 1, 30)}},
        occurs_case{"positionZeroNever", pattern(monthly_weekday, 0, 6, 1), {}, {D(2026, 1, 2), D(2026, 1, 30)}},
        occurs_case{"christmasEveryYear",
                    pattern(yearly_date, 25, 12),
                    {D(2026, 12, 25), D(2030, 12, 25)},
                    {D(2026, 11, 25), D(2026, 12, 24)}},
        occurs_case{"february29thOnlyInLeapYears",
                    pattern(yearly_date, 29, 2),
                    {D(2028, 2, 29), D(2032, 2, 29)},
                    {D(2026, 2, 28), D(2026, 3, 1), D(2027, 3, 1)}},
        occurs_case{"lastThursdayOfNovember",
                    pattern(yearly_weekday, last_position, 5, 11),
                    {D(2026, 11, 26), D(2027, 11, 25)},
                    {D(2026, 11, 19), D(2026, 10, 29)}},
        occurs_case{"notAfterTheEndingDay",
                    pattern(daily, 1, 0, 0, D(2026, 1, 1), D(2026, 1, 10)),
                    {D(2026, 1, 10)},
                    {D(2026, 1, 11), D(2027, 1, 1)}},
        occurs_case{"unknownKindNever", pattern(9, 1, 1, 1), {}, {D(2026, 1, 1)}}));

}  // namespace

TEST(recurrence, theIgnoreEndFlagLooksPastTheEnd)
{
    const recurrence r = pattern(daily, 1, 0, 0, D(2026, 1, 1), D(2026, 1, 10));
    EXPECT_FALSE(occurs_on(r, D(2026, 1, 11)));
    EXPECT_TRUE(occurs_on(r, D(2026, 1, 11), true));
    EXPECT_FALSE(occurs_on(r, D(2025, 12, 31), true));  // never before the start
}

TEST(recurrence, validity)
{
    EXPECT_FALSE(is_valid(pattern(daily, 0)));
    EXPECT_FALSE(is_valid(pattern(weekly, 0, 1)));
    EXPECT_FALSE(is_valid(pattern(weekly, 2, 0)));
    EXPECT_TRUE(is_valid(pattern(weekly, 2, 1)));
    EXPECT_TRUE(is_valid(pattern(monthly_day, 31, 0)));
    EXPECT_TRUE(is_valid(pattern(yearly_weekday, 5, 5, 11)));
    EXPECT_FALSE(is_valid(pattern(6, 1, 1, 1)));
}

TEST(recurrence, theStartMovesToTheFirstOccurrence)
{
    recurrence r = pattern(weekly, weekday_bit::friday, 1, 0, D(2026, 3, 2));  // a Monday
    EXPECT_TRUE(move_start_to_first_occurrence(r));
    EXPECT_EQ(r.starting_date, D(2026, 3, 6));
    EXPECT_TRUE(move_start_to_first_occurrence(r));  // already there: stays
    EXPECT_EQ(r.starting_date, D(2026, 3, 6));

    // February 29 is more than 1000 days away: the search gives up and leaves it.
    recurrence leap = pattern(yearly_date, 29, 2, 0, D(2028, 3, 1));
    EXPECT_FALSE(move_start_to_first_occurrence(leap));
    EXPECT_EQ(leap.starting_date, D(2028, 3, 1));

    recurrence ended = pattern(daily, 1, 0, 0, D(2026, 3, 2), D(2026, 3, 1));
    EXPECT_FALSE(move_start_to_first_occurrence(ended));
    EXPECT_EQ(ended.starting_date, D(2026, 3, 2));
}

TEST(recurrence, nthOccurrence)
{
    test::fixed_clock clock{D(2026, 3, 11) + 3600};
    const recurrence r = pattern(daily, 1, 0, 0, D(2026, 3, 1), D(2026, 3, 2));
    EXPECT_EQ(nth_occurrence(r, 0), D(2026, 3, 1));
    EXPECT_EQ(nth_occurrence(r, 3), D(2026, 3, 3));  // the ending date is ignored
    const recurrence weekly_r = pattern(weekly, mon_fri, 2, 0, D(2026, 3, 4));
    EXPECT_EQ(nth_occurrence(weekly_r, 3), D(2026, 3, 20));
    // A pattern that never occurs stops at January 1 ten years on.
    EXPECT_EQ(nth_occurrence(pattern(monthly_weekday, 0, 1, 1), 1), D(2036, 1, 1));
}

TEST(recurrence, countingAndActivityFromToday)
{
    test::fixed_clock clock{D(2026, 3, 11) + 3600};
    const recurrence r = pattern(daily, 1, 0, 0, D(2026, 3, 1), D(2026, 3, 20));
    EXPECT_EQ(count_occurrences_until(r, D(2026, 3, 11)), 1);
    EXPECT_EQ(count_occurrences_until(r, D(2026, 3, 20)), 10);
    EXPECT_EQ(count_occurrences_until(r, D(2026, 3, 10)), 0);
    EXPECT_EQ(count_occurrences_until(pattern(daily, 0), D(2026, 4, 1)), 0);
    EXPECT_TRUE(is_active(r));
    EXPECT_FALSE(is_active(pattern(daily, 1, 0, 0, D(2026, 3, 1), D(2026, 3, 10))));
    EXPECT_TRUE(is_active(pattern(daily, 1, 0, 0, D(2026, 3, 1))));
    EXPECT_EQ(next_occurrence(pattern(weekly, weekday_bit::monday, 1, 0, D(2026, 3, 2)), D(2026, 3, 11)),
              D(2026, 3, 16));
    EXPECT_EQ(next_occurrence(pattern(daily, 1, 0, 0, D(2026, 3, 1), D(2026, 3, 10)), D(2026, 3, 11)), 0);
}

struct describe_case {
    recurrence r;
    unsigned flags;
    const char* text;
};

class describing : public ::testing::TestWithParam<describe_case> {};

TEST_P(describing, givesOneSentence)
{
    test::fixed_clock clock{D(2026, 3, 11) + 3600};
    format_settings s;
    s.short_date_format = QStringLiteral("yyyy-MM-dd");
    set_format_settings(s);
    EXPECT_EQ(describe(GetParam().r, GetParam().flags), QString::fromUtf8(GetParam().text));
    set_format_settings(format_settings());
}

using namespace describe_flag;

INSTANTIATE_TEST_SUITE_P(
    recurrence, describing,
    ::testing::Values(
        describe_case{pattern(daily, 1), 0, "Occurs every day."},
        describe_case{pattern(daily, 2), 0, "Occurs every other day."},
        describe_case{pattern(daily, 3), 0, "Occurs every 3 days."},
        describe_case{pattern(daily, 3), lower_case | no_period, "occurs every 3 days"},
        describe_case{pattern(daily, 0), lower_case, "<invalid recurrence>"},
        describe_case{pattern(weekly, 0, 1), 0, "<Invalid recurrence>"},
        describe_case{pattern(weekly, weekday_bit::monday, 1), 0, "Occurs every Monday every week."},
        describe_case{pattern(weekly, weekday_bit::monday | weekday_bit::wednesday | weekday_bit::friday, 2), 0,
                      "Occurs every Monday, Wednesday, and Friday every other week."},
        describe_case{pattern(weekly, weekday_bit::monday | weekday_bit::thursday, 1), 0,
                      "Occurs every Monday, and Thursday every week."},
        describe_case{pattern(weekly, 0x7f, 1), 0, "Occurs every weekday, Saturday, and Sunday every week."},
        describe_case{pattern(weekly, weekday_bit::sunday | weekday_bit::saturday, 4), 0,
                      "Occurs every Saturday, and Sunday every 4 weeks."},
        describe_case{pattern(monthly_day, 15, 1), 0, "Occurs every 15th day of every month."},
        describe_case{pattern(monthly_day, last_day_of_month, 2), 0, "Occurs the last day of every other month."},
        describe_case{pattern(monthly_weekday, 2, 3, 3), 0, "Occurs the second Tuesday of every 3 months."},
        describe_case{pattern(yearly_date, 25, 12), 0, "Occurs every December 25th."},
        describe_case{pattern(yearly_weekday, 5, 5, 11), 0, "Occurs the last Thursday of November."},
        describe_case{pattern(daily, 1, 0, 0, D(2026, 1, 1), D(2026, 6, 30)), 0,
                      "Occurs every day ending 2026-06-30."}));
