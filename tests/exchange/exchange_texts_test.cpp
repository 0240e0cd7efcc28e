// The log lines and the ranges of the exchange.

#include "exchange/exchange_texts.h"
#include "support/test_support.h"
#include "time/format.h"

#include <gtest/gtest.h>

namespace qm::exchange {
namespace {

time::stored_date D(int y, int m, int d) { return time::make_date(y, m, d); }

TEST(exchange_texts, item_lines)
{
    time::recurrence weekly;
    weekly.type = time::recurrence_kind::weekly;
    weekly.param1 = time::weekday_bit::monday;
    weekly.param2 = 1;
    weekly.starting_date = D(2026, 3, 9);
    const QString at = time::format_time_of_day(10 * 3600);
    const QString on = time::format_short_date(D(2026, 3, 11));
    const QString pattern = time::describe(weekly, time::describe_flag::no_period);
    struct row {
        direction d;
        change c;
        logged_item item;
        QString expected;
    } rows[] = {
        {direction::import_, change::added, {"Lunch", item_kind::appointment, nullptr, D(2026, 3, 11), 36000},
         "Importing new appointment: Lunch, from calendar: Home, " + at + " on " + on + "."},
        {direction::export_, change::changed, {"Lunch", item_kind::appointment, nullptr, D(2026, 3, 11), 36000},
         "Exporting changed appointment: Lunch, to calendar: Home, " + at + " on " + on + "."},
        {direction::import_, change::deleted, {"Lunch", item_kind::occurrence, nullptr, D(2026, 3, 11), 36000},
         "Importing deleted appointment occurrence: Lunch, from calendar: Home, " + at + " on " + on + "."},
        {direction::import_, change::added, {"Team", item_kind::master, &weekly, D(2026, 3, 9), 36000},
         "Importing new recurrent appointment master: Team (" + pattern + "), from calendar: Home, " + at + "."},
        // Inserts in a name are text, not further inserts.
        {direction::import_, change::added, {"50% %1 \"q\"", item_kind::appointment, nullptr, D(2026, 3, 11), 36000},
         "Importing new appointment: 50% %1 \"q\", from calendar: Home, " + at + " on " + on + "."},
    };
    for (const row& r : rows)
        EXPECT_EQ(item_line(r.d, r.c, r.item, QStringLiteral("Home")), r.expected);
    EXPECT_EQ(removal_line("Lunch", D(2026, 3, 11), "Home"), "Removing appointment Lunch on " + on + " from Home.");
    EXPECT_EQ(error_line("Lunch", "line 4: its start time cannot be read"),
              "Error updating Lunch: line 4: its start time cannot be read");
}

TEST(exchange_texts, ranges)
{
    EXPECT_EQ(range_names(), QStringList({"Future Appointments", "All Appointments", "Appointments from this Year"}));
    const time::stored_date today = D(2026, 3, 11);
    const date_range future = range_for(range_choice::future, today);
    const date_range year = range_for(range_choice::this_year, today);
    calendar_item yesterday{"", "", "", "", D(2026, 3, 10) + 3600, D(2026, 3, 10) + 7200};
    calendar_item overnight{"", "", "", "", D(2026, 3, 10) + 23 * 3600, D(2026, 3, 11) + 3600};
    calendar_item next_year{"", "", "", "", D(2027, 1, 1), D(2027, 1, 1) + 3600};
    EXPECT_FALSE(in_range(yesterday, future));
    EXPECT_TRUE(in_range(overnight, future)) << "the end counts";
    EXPECT_TRUE(in_range(next_year, future));
    EXPECT_FALSE(in_range(next_year, year));
    EXPECT_TRUE(in_range(yesterday, year));
    EXPECT_TRUE(in_range(yesterday, range_for(range_choice::all, today)));
    calendar_item all_day = next_year;
    all_day.all_day = true;
    EXPECT_FALSE(in_range(all_day, range_for(range_choice::all, today)));

    time::recurrence ended;
    ended.type = time::recurrence_kind::daily;
    ended.param1 = 1;
    ended.starting_date = D(2026, 1, 1);
    ended.ending_date = D(2026, 2, 1);
    calendar_item series{"", "", "", "", D(2026, 1, 1) + 3600, D(2026, 1, 1) + 7200};
    series.recurrence = ended;
    EXPECT_FALSE(in_range(series, future)) << "a series that ended";
    EXPECT_TRUE(in_range(series, year));
    series.recurrence->ending_date = 0;
    EXPECT_TRUE(in_range(series, future)) << "a series without end";
    EXPECT_TRUE(appointment_in_range(time::RECURRENCE_MASTER_DATE, 3600, 3600, &*series.recurrence, future));
    EXPECT_FALSE(appointment_in_range(D(2026, 3, 10), 3600, 3600, nullptr, future));
}

}  // namespace
}  // namespace qm::exchange
