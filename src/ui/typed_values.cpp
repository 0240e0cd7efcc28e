#include "ui/typed_values.h"

#include "time/format.h"
#include "time/parse.h"

namespace qm::ui {
namespace {

bool is_none(const QString& text)
{
    const QString t = text.trimmed();
    return t.isEmpty() || t.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0;
}

const QString date_hint = QStringLiteral("type for example today, next fri, 3/15 or dec 25");

}  // namespace

reading<time::stored_date> read_date(const QString& text)
{
    if (is_none(text) || text.trimmed().compare(QLatin1String("No Date"), Qt::CaseInsensitive) == 0)
        return {time::NO_DATE, {}};
    const time::parsed_date d = time::parse_date(text.trimmed(), time::short_date_pattern(), time::today());
    if (d.failed)
        return {std::nullopt, QStringLiteral("\"%1\" is not a date: %2.").arg(text.trimmed(), date_hint)};
    return {d.date, {}};
}

reading<time::stored_time> read_deadline(const QString& text)
{
    const QString t = text.trimmed();
    if (is_none(t))
        return {0, {}};
    const time::parsed_date whole = time::parse_date(t, time::short_date_pattern(), time::today());
    if (!whole.failed)
        return {whole.date, {}};
    // "3/15 5pm": the date, then a time of day.
    const int space = t.lastIndexOf(QLatin1Char(' '));
    if (space > 0) {
        const time::parsed_date d = time::parse_date(t.left(space), time::short_date_pattern(), time::today());
        const time::time_of_day tod = time::parse_time_of_day(t.mid(space + 1), time::uses_24_hour_clock());
        if (!d.failed && tod >= 0)
            return {d.date + tod, {}};
    }
    return {std::nullopt, QStringLiteral("\"%1\" is not a deadline: %2, optionally with a time (3/15 5pm).")
                              .arg(t, date_hint)};
}

reading<std::int32_t> read_time_of_day(const QString& text, bool allow_none)
{
    if (is_none(text)) {
        if (allow_none)
            return {-1, {}};
        return {std::nullopt, QStringLiteral("A time of day is needed here: type for example 9:30 or 2pm.")};
    }
    const time::time_of_day t = time::parse_time_of_day(text.trimmed(), time::uses_24_hour_clock());
    if (t < 0)
        return {std::nullopt,
                QStringLiteral("\"%1\" is not a time of day: type for example 9:30 or 2pm.").arg(text.trimmed())};
    return {static_cast<std::int32_t>(t), {}};
}

reading<std::int32_t> read_duration(const QString& text, bool allow_none)
{
    if (is_none(text)) {
        if (allow_none)
            return {0, {}};
        return {std::nullopt, QStringLiteral("A duration is needed here: type for example 1h 30m, 1:30 or 90.")};
    }
    const std::optional<time::duration> d = time::parse_duration_checked(text.trimmed());
    if (!d || *d < 0)
        return {std::nullopt,
                QStringLiteral("\"%1\" is not a duration: type for example 1h 30m, 1:30 or 90.").arg(text.trimmed())};
    return {static_cast<std::int32_t>(*d), {}};
}

reading<std::int32_t> read_count(const QString& text)
{
    if (is_none(text))
        return {0, {}};
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok || n < 0)
        return {std::nullopt, QStringLiteral("\"%1\" is not a whole number.").arg(text.trimmed())};
    return {n, {}};
}

}  // namespace qm::ui
