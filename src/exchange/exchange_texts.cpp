#include "exchange/exchange_texts.h"

#include "time/format.h"

namespace qm::exchange {

QStringList range_names()
{
    return {QStringLiteral("Future Appointments"), QStringLiteral("All Appointments"),
            QStringLiteral("Appointments from this Year")};
}

date_range range_for(int choice, time::stored_date today)
{
    date_range r;
    if (choice == range_choice::future) {
        r.from = today;
    } else if (choice == range_choice::this_year) {
        const int year = time::fields(today).year;
        r.from = time::make_date(year, 1, 1);
        r.to = time::make_date(year, 12, 31) + 86340;
    }
    return r;
}

namespace {

// A series reaches into the range when it starts before the range ends and
// has not ended before the range begins.
bool series_in_range(const time::recurrence& p, time::stored_time first_start, time::duration length,
                     const date_range& range)
{
    if (first_start > range.to)
        return false;
    if (p.ending_date == 0)
        return true;
    return p.ending_date + (first_start - time::date_of(first_start)) + length >= range.from;
}

}  // namespace

bool in_range(const calendar_item& item, const date_range& range)
{
    if (item.all_day)
        return false;
    const auto length = static_cast<time::duration>(item.end - item.start);
    if (item.recurrence)
        return series_in_range(*item.recurrence, item.start, length, range);
    return item.end >= range.from && item.start <= range.to;
}

bool appointment_in_range(time::stored_date date, time::time_of_day start, time::duration length,
                          const time::recurrence* pattern, const date_range& range)
{
    const time::time_of_day from_midnight = start < 0 ? 0 : start;
    const time::duration span = length < 0 ? 0 : length;
    if (pattern != nullptr)
        return series_in_range(*pattern, pattern->starting_date + from_midnight, span, range);
    const time::stored_time begin = date + from_midnight;
    return begin + span >= range.from && begin <= range.to;
}

QString item_line(direction d, change c, const logged_item& item, const QString& calendar)
{
    const QString verb = d == direction::import_ ? QStringLiteral("Importing") : QStringLiteral("Exporting");
    const QString what = c == change::added     ? QStringLiteral("new")
                         : c == change::changed ? QStringLiteral("changed")
                                                : QStringLiteral("deleted");
    const QString kind = item.kind == item_kind::master       ? QStringLiteral("recurrent appointment master:")
                         : item.kind == item_kind::occurrence ? QStringLiteral("appointment occurrence:")
                                                              : QStringLiteral("appointment:");
    QString name = item.name;
    if (item.kind == item_kind::master && item.pattern != nullptr)
        name = QStringLiteral("%1 (%2)").arg(item.name, time::describe(*item.pattern, time::describe_flag::no_period));
    const QString where = (d == direction::import_ ? QStringLiteral("from calendar: ") : QStringLiteral("to calendar: ")) +
                          calendar;
    QString when = time::format_time_of_day(item.start);
    if (item.kind != item_kind::master)
        when += QStringLiteral(" on ") + time::format_short_date(item.date);
    // The place reads "from calendar: …" or "to calendar: …" by itself, so
    // the line carries no word of its own before it.
    return QStringLiteral("%1 %2 %3 %4, %5, %6.").arg(verb, what, kind, name, where, when);
}

QString removal_line(const QString& name, time::stored_date date, const QString& calendar)
{
    return QStringLiteral("Removing appointment %1 on %2 from %3.").arg(name, time::format_short_date(date), calendar);
}

QString error_line(const QString& name, const QString& message)
{
    return QStringLiteral("Error updating %1: %2").arg(name, message);
}

QString error_subject() { return QStringLiteral("<Error getting subject>"); }
QString cannot_start() { return QStringLiteral("Cannot start Outlook."); }
QString no_calendar_list(const QString& message)
{
    return QStringLiteral("Unable to get calendar list, Outlook gave this message: %1").arg(message);
}
QString no_calendar_data() { return QStringLiteral("Unable to get calendar data from Outlook."); }

}  // namespace qm::exchange
