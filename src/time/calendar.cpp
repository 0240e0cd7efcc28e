#include "time/calendar.h"

#include <atomic>

namespace qm::time {
namespace {

std::int64_t floor_div(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

std::atomic<int> first_day_option{-1};
std::atomic<int> system_first_day{6};

// The last second the calendar accepts: 3000-12-31 23:59:59. A constant, so
// that dates built during static initialisation elsewhere see it.
constexpr std::int64_t last_valid = 32535215999LL;

}  // namespace

// Howard Hinnant's civil-calendar algorithms.
std::int64_t days_from_civil(std::int64_t y, int m, int d)
{
    y -= m <= 2;
    const std::int64_t era = floor_div(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civil_from_days(std::int64_t z, std::int64_t& year, int& month, int& day)
{
    z += 719468;
    const std::int64_t era = floor_div(z, 146097);
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = yoe + era * 400 + (month <= 2);
}

bool is_leap_year(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int days_in_month(int month, int year)
{
    switch (month) {
    case 4: case 6: case 9: case 11: return 30;
    case 2: return is_leap_year(year) ? 29 : 28;
    default: return 31;
    }
}

stored_time make_time(int year, int month, int day, int hour, int minute, int second)
{
    const std::int64_t month_index = static_cast<std::int64_t>(month) - 1;
    const std::int64_t y = year + floor_div(month_index, 12);
    const int m = static_cast<int>(month_index - floor_div(month_index, 12) * 12) + 1;
    if (y < 1969 || y > 3001)
        return -1;  // far outside: no day or hour overflow can bring it back in range cheaply
    const std::int64_t days = days_from_civil(y, m, 1) + (static_cast<std::int64_t>(day) - 1);
    const std::int64_t t = days * seconds_per_day + static_cast<std::int64_t>(hour) * 3600 +
                           static_cast<std::int64_t>(minute) * 60 + second;
    if (t < 0 || t > last_valid)
        return -1;
    return t;
}

stored_date make_date(int year, int month, int day) { return make_time(year, month, day); }

calendar_fields fields(stored_time t)
{
    calendar_fields f;
    const std::int64_t days = floor_div(t, seconds_per_day);
    const std::int64_t secs = t - days * seconds_per_day;
    std::int64_t year = 0;
    civil_from_days(days, year, f.month, f.day);
    f.year = static_cast<int>(year);
    f.hour = static_cast<int>(secs / 3600);
    f.minute = static_cast<int>(secs / 60 % 60);
    f.second = static_cast<int>(secs % 60);
    // 1970-01-01 was a Thursday (5).
    f.weekday = static_cast<int>((days % 7 + 7 + 4) % 7) + 1;
    f.day_of_year = static_cast<int>(days - days_from_civil(year, 1, 1));
    return f;
}

stored_date add_days(stored_date d, std::int64_t n) { return date_of(d + n * seconds_per_day); }

stored_date tomorrow() { return next_day(today()); }
stored_date yesterday() { return previous_day(today()); }

stored_date add_month(stored_date d)
{
    const calendar_fields f = fields(d);
    const int length = days_in_month(f.month, f.year);
    int month = f.month + 1;
    int year = f.year;
    if (month > 12) {
        month = 1;
        ++year;
    }
    const int target_length = days_in_month(month, year);
    const int day = f.day == length ? target_length : std::min(f.day, target_length);
    return make_date(year, month, day);
}

int months_between(stored_date a, stored_date b)
{
    const calendar_fields fa = fields(a);
    const calendar_fields fb = fields(b);
    if (fb.year == fa.year)
        return fb.month - fa.month;
    if (fb.year > fa.year)
        return (fb.year - fa.year) * 12 + fb.month - fa.month;
    return 0;
}

void set_first_day_of_week_option(int option) { first_day_option = option; }
void set_system_first_day_of_week(int value) { system_first_day = value; }
int first_day_of_week_option() { return first_day_option; }
int system_first_day_of_week() { return system_first_day; }

int first_day_of_week()
{
    int v = first_day_option;
    if (v < 0 || v > 6)
        v = system_first_day;
    if (v < 0 || v > 6)
        v = 6;
    const int weekday = (v + 2) % 7;
    return weekday == 0 ? 7 : weekday;
}

stored_date start_of_week(stored_date d)
{
    if (d == 0)
        return 0;
    const int first = first_day_of_week();
    while (fields(d).weekday != first)
        d = previous_day(d);
    return d;
}

stored_date end_of_week(stored_date d)
{
    const int first = first_day_of_week();
    const int last = first == 1 ? 7 : first - 1;
    while (fields(d).weekday != last)
        d = next_day(d);
    return d;
}

int week_number(stored_date d)
{
    const calendar_fields f = fields(d);
    const int y = f.day_of_year;
    const int w1 = fields(make_date(f.year, 1, 1)).weekday;
    const int first = first_day_of_week();
    const int k = w1 - first + (w1 < first ? 7 : 0);
    return y >= k ? (y - k) / 7 : y / 7;
}

bool is_midnight(stored_time t)
{
    const calendar_fields f = fields(t);
    return f.hour == 0 && f.minute == 0 && f.second == 0;
}

stored_date weekday_date(int weekday)
{
    stored_date d = add_days(today(), 2);
    if (weekday < 1 || weekday > 7)
        return d;
    while (fields(d).weekday != weekday)
        d = next_day(d);
    return d;
}

}  // namespace qm::time
