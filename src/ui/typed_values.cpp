#include "ui/typed_values.h"

#include "time/format.h"
#include "time/parse.h"

#include <algorithm>

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
    // "20 Mar 2026 at 17:00", as deadlines are shown, reads back.
    QString t = text.trimmed();
    t.replace(QStringLiteral(" at "), QStringLiteral(" "));
    if (is_none(t))
        return {0, {}};
    // "dec 25 5pm": a date, then a time of day (with ":" or a marker, so that
    // a year is never taken for a time).
    const int space = t.lastIndexOf(QLatin1Char(' '));
    if (space > 0) {
        const QString last = t.mid(space + 1).toLower();
        const bool looks_like_time = last.contains(QLatin1Char(':')) || last.endsWith(QLatin1String("am")) ||
                                     last.endsWith(QLatin1String("pm"));
        if (looks_like_time) {
            const time::parsed_date d = time::parse_date(t.left(space), time::short_date_pattern(), time::today());
            const reading<std::int32_t> tod = read_time_of_day(last, false);
            if (!d.failed && tod.value)
                return {d.date + *tod.value, {}};
        }
    }
    const time::parsed_date whole = time::parse_date(t, time::short_date_pattern(), time::today());
    if (!whole.failed)
        return {whole.date, {}};
    return {std::nullopt, QStringLiteral("\"%1\" is not a deadline: %2, optionally with a time (dec 25 5pm).")
                              .arg(text.trimmed(), date_hint)};
}

reading<std::int32_t> read_time_of_day(const QString& text, bool allow_none)
{
    if (is_none(text)) {
        if (allow_none)
            return {-1, {}};
        return {std::nullopt, QStringLiteral("A time of day is needed here: type for example 9:30 or 2pm.")};
    }
    // The reader takes a text without digits as midnight; here it is a mistake.
    const bool has_digit = std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    const time::time_of_day t = has_digit ? time::parse_time_of_day(text.trimmed(), time::uses_24_hour_clock()) : -1;
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
