#include "time/recurrence.h"

#include "time/calendar.h"
#include "time/format.h"

#include <QStringList>

#include <algorithm>
#include <tuple>

namespace qm::time {

bool recurrence::operator==(const recurrence& o) const
{
    return std::tie(id, attached, attached_type, starting_date, ending_date, type, param1, param2, param3) ==
           std::tie(o.id, o.attached, o.attached_type, o.starting_date, o.ending_date, o.type, o.param1, o.param2,
                    o.param3);
}

bool recurrence::same_pattern(const recurrence& o) const
{
    return std::tie(starting_date, ending_date, type, param1, param2, param3) ==
           std::tie(o.starting_date, o.ending_date, o.type, o.param1, o.param2, o.param3);
}

namespace {

bool has_position(const calendar_fields& f, int position)
{
    if (position >= 1 && position <= 4)
        return 7 * (position - 1) < f.day && f.day <= 7 * position;
    if (position == last_position)
        return f.day > days_in_month(f.month, f.year) - 7;
    return false;
}

// The interval phrase: "every day", "every other day", "every 3 days".
QString every(const QString& unit, int n)
{
    if (n == 1)
        return QStringLiteral("every ") + unit;
    if (n == 2)
        return QStringLiteral("every other ") + unit;
    return QStringLiteral("every %1 %2s").arg(n).arg(unit);
}

QString day_list(int mask)
{
    QStringList names;
    const int workdays = weekday_bit::monday | weekday_bit::tuesday | weekday_bit::wednesday | weekday_bit::thursday |
                         weekday_bit::friday;
    if ((mask & workdays) == workdays) {
        names << QStringLiteral("weekday");
    } else {
        for (int weekday = 2; weekday <= 6; ++weekday)
            if (mask & (1 << (weekday - 1)))
                names << weekday_word(weekday);
    }
    if (mask & weekday_bit::saturday)
        names << weekday_word(7);
    if (mask & weekday_bit::sunday)
        names << weekday_word(1);
    if (names.size() == 1)
        return names.front() + QLatin1Char(' ');
    QString out;
    for (int i = 0; i < names.size(); ++i)
        out += i + 1 < names.size() ? names[i] + QStringLiteral(", ") : QStringLiteral("and ") + names[i] + QLatin1Char(' ');
    return out;
}

}  // namespace

QString weekday_word(int weekday)
{
    static const char* const names[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    return weekday >= 1 && weekday <= 7 ? QString::fromLatin1(names[weekday - 1]) : QString();
}

QString month_word(int month)
{
    static const char* const names[] = {"January", "February", "March",     "April",   "May",      "June",
                                        "July",    "August",   "September", "October", "November", "December"};
    return month >= 1 && month <= 12 ? QString::fromLatin1(names[month - 1]) : QString();
}

QString position_word(int position)
{
    static const char* const words[] = {"first", "second", "third", "fourth", "last"};
    return position >= 1 && position <= 5 ? QString::fromLatin1(words[position - 1]) : QString();
}

bool is_valid(const recurrence& r)
{
    switch (r.type) {
    case recurrence_kind::daily: return r.param1 != 0;
    case recurrence_kind::weekly: return r.param1 != 0 && r.param2 != 0;
    case recurrence_kind::monthly_day:
    case recurrence_kind::monthly_weekday:
    case recurrence_kind::yearly_date:
    case recurrence_kind::yearly_weekday: return true;
    default: return false;  // no such kind: a damaged row never occurs
    }
}

bool occurs_on(const recurrence& r, stored_date d, bool ignore_end)
{
    if (d < r.starting_date)
        return false;
    if (!ignore_end && r.ending_date != 0 && r.ending_date < d)
        return false;
    const std::int64_t days = (d - r.starting_date) / seconds_per_day;
    const calendar_fields f = fields(d);
    switch (r.type) {
    case recurrence_kind::daily: return r.param1 != 0 && days % r.param1 == 0;
    case recurrence_kind::weekly:
        // Weeks are blocks of seven days from the starting date, not calendar weeks.
        return r.param2 != 0 && (days / 7) % r.param2 == 0 && (r.param1 & (1 << (f.weekday - 1))) != 0;
    case recurrence_kind::monthly_day: {
        if (r.param2 == 0 || months_between(r.starting_date, d) % r.param2 != 0)
            return false;
        return r.param1 == last_day_of_month ? f.day == days_in_month(f.month, f.year) : f.day == r.param1;
    }
    case recurrence_kind::monthly_weekday:
        return r.param3 != 0 && months_between(r.starting_date, d) % r.param3 == 0 && f.weekday == r.param2 &&
               has_position(f, r.param1);
    case recurrence_kind::yearly_date: return f.day == r.param1 && f.month == r.param2;
    case recurrence_kind::yearly_weekday:
        return f.month == r.param3 && f.weekday == r.param2 && has_position(f, r.param1);
    default: return false;
    }
}

bool move_start_to_first_occurrence(recurrence& r)
{
    if (!is_valid(r))
        return false;
    for (int step = 0; step <= first_occurrence_search_days; ++step) {
        const stored_date d = add_days(r.starting_date, step);
        if (occurs_on(r, d)) {
            r.starting_date = d;
            return true;
        }
    }
    return false;
}

stored_date nth_occurrence(const recurrence& r, int n)
{
    if (n <= 0)
        return r.starting_date;
    const stored_date limit = make_date(fields(today()).year + 10, 1, 1);
    int count = 0;
    stored_date d = r.starting_date;
    for (; d < limit; d = next_day(d))
        if (occurs_on(r, d, true) && ++count == n)
            return d;
    return limit;
}

int count_occurrences_until(const recurrence& r, stored_date d)
{
    if (!is_valid(r))
        return 0;
    int count = 0;
    for (stored_date day = std::max(today(), r.starting_date); day <= d; day = next_day(day))
        if (occurs_on(r, day, true))
            ++count;
    return count;
}

bool is_active(const recurrence& r) { return r.ending_date == 0 || count_occurrences_until(r, r.ending_date) != 0; }

stored_date next_occurrence(const recurrence& r, stored_date from)
{
    if (!is_valid(r))
        return 0;
    stored_date d = std::max(from, r.starting_date);
    for (int step = 0; step <= first_occurrence_search_days; ++step, d = next_day(d)) {
        if (r.ending_date != 0 && d > r.ending_date)
            return 0;
        if (occurs_on(r, d))
            return d;
    }
    return 0;
}

QString describe(const recurrence& r, unsigned flags)
{
    const bool lower = flags & describe_flag::lower_case;
    if (!is_valid(r))
        return QStringLiteral("<%1nvalid recurrence>").arg(lower ? QLatin1Char('i') : QLatin1Char('I'));
    QString out = lower ? QStringLiteral("occurs ") : QStringLiteral("Occurs ");
    switch (r.type) {
    case recurrence_kind::daily: out += every(QStringLiteral("day"), r.param1); break;
    case recurrence_kind::weekly:
        out += QStringLiteral("every ") + day_list(r.param1) + every(QStringLiteral("week"), r.param2);
        break;
    case recurrence_kind::monthly_day:
        if (r.param1 == last_day_of_month)
            out += QStringLiteral("the last day of ");
        else
            out += QStringLiteral("every ") + ordinal(r.param1) + QStringLiteral(" day of ");
        out += every(QStringLiteral("month"), r.param2);
        break;
    case recurrence_kind::monthly_weekday:
        out += QStringLiteral("the ") + position_word(r.param1) + QLatin1Char(' ') + weekday_word(r.param2) +
               QStringLiteral(" of ") + every(QStringLiteral("month"), r.param3);
        break;
    case recurrence_kind::yearly_date:
        out += QStringLiteral("every ") + month_word(r.param2) + QLatin1Char(' ') + ordinal(r.param1);
        break;
    case recurrence_kind::yearly_weekday:
        out += QStringLiteral("the ") + position_word(r.param1) + QLatin1Char(' ') + weekday_word(r.param2) +
               QStringLiteral(" of ") + month_word(r.param3);
        break;
    default: break;
    }
    if (r.ending_date != 0)
        out += QStringLiteral(" ending ") + format_short_date(r.ending_date);
    if (!(flags & describe_flag::no_period))
        out += QLatin1Char('.');
    return out;
}

}  // namespace qm::time
