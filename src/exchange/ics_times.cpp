#include "exchange/ics_times.h"

#include "time/calendar.h"

#include <libical/ical.h>

#include <QDateTime>
#include <QTimeZone>

#include <unordered_map>

namespace qm::exchange {

namespace {

// The system's offset by quarter hour: asking the C library for each time
// reads the zone file again, and a calendar asks thousands of times.
thread_local std::unordered_map<std::int64_t, int> offsets;

}  // namespace

void forget_zone_offsets() { offsets.clear(); }

time::stored_time local_from_utc(std::int64_t utc)
{
    const std::int64_t quarter = utc >= 0 ? utc / 900 : (utc - 899) / 900;
    if (auto it = offsets.find(quarter); it != offsets.end())
        return utc + it->second;
    // The offset at the quarter's start holds for all of it: zones change
    // their offset on a quarter hour.
    const int offset = QDateTime::fromSecsSinceEpoch(quarter * 900).offsetFromUtc();
    if (offsets.size() > 100000)
        offsets.clear();
    offsets.emplace(quarter, offset);
    return utc + offset;
}

std::int64_t utc_from_local(time::stored_time local)
{
    const time::calendar_fields f = time::fields(local);
    return QDateTime(QDate(f.year, f.month, f.day), QTime(f.hour, f.minute, f.second), Qt::LocalTime).toSecsSinceEpoch();
}

ics_zones::~ics_zones()
{
    for (auto& z : zones_)
        icaltimezone_free(z.second, 1);
}

void ics_zones::add(icalcomponent* vtimezone)
{
    icaltimezone* z = icaltimezone_new();
    if (z == nullptr) {
        icalcomponent_free(vtimezone);
        return;
    }
    if (!icaltimezone_set_component(z, vtimezone)) {
        icaltimezone_free(z, 0);
        icalcomponent_free(vtimezone);
        return;
    }
    const char* id = icaltimezone_get_tzid(z);
    if (id == nullptr || zones_.count(id) != 0 || zones_.size() >= 200) {
        icaltimezone_free(z, 1);
        return;
    }
    zones_[id] = z;
}

bool ics_zones::to_stored(icalproperty* p, const icaltimetype& t, time::stored_time& out, bool& all_day,
                          QString& why) const
{
    if (icaltime_is_null_time(t) || !icaltime_is_valid_time(t) || t.year < 1970 || t.year > 2999 || t.month < 1 ||
        t.month > 12 || t.day < 1 || t.day > 31) {
        why = QStringLiteral("no date between 1970 and 2999");
        return false;
    }
    all_day = t.is_date != 0;
    if (all_day) {
        out = time::make_date(t.year, t.month, t.day);
        return out >= 0;
    }
    if (icaltime_is_utc(t)) {
        out = local_from_utc(icaltime_as_timet_with_zone(t, icaltimezone_get_utc_timezone()));
        return true;
    }
    if (icalparameter* tz = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER)) {
        QByteArray id = icalparameter_get_tzid(tz);
        icaltimezone* zone = nullptr;
        if (auto it = zones_.find(id); it != zones_.end())
            zone = it->second;
        else {
            // Some programs write the zone's path, "/Europe/Berlin" or a longer prefix.
            const qsizetype slash = id.indexOf("/", 1);
            for (QByteArray candidate : {id, id.startsWith('/') ? id.mid(1) : id,
                                         slash > 0 && id.startsWith('/') ? id.mid(id.indexOf('/', slash + 1) + 1) : id})
                if (zone == nullptr && !candidate.isEmpty())
                    zone = icaltimezone_get_builtin_timezone(candidate.constData());
        }
        if (zone != nullptr) {
            out = local_from_utc(icaltime_as_timet_with_zone(t, zone));
            return true;
        }
        // An unknown zone: the time as written, which is right for a
        // calendar kept where the planner runs.
    }
    out = time::make_time(t.year, t.month, t.day, t.hour, t.minute, t.second);
    return out >= 0;
}

namespace {

bool list_empty(const short* list) { return list[0] == ICAL_RECURRENCE_ARRAY_MAX; }
int list_size(const short* list, int max)
{
    int n = 0;
    while (n < max && list[n] != ICAL_RECURRENCE_ARRAY_MAX)
        ++n;
    return n;
}

}  // namespace

bool map_rule(const icalrecurrencetype& rule, const icaltimetype& dtstart, time::stored_time first_start,
              time::recurrence& out, QString& reason)
{
    namespace kind = time::recurrence_kind;
    const time::calendar_fields start = time::fields(first_start);
    out = time::recurrence();
    out.starting_date = time::date_of(first_start);
    const int interval = rule.interval <= 0 ? 1 : rule.interval;
    if (interval > 255) {
        reason = QStringLiteral("an interval above 255");
        return false;
    }
    if (!list_empty(rule.by_second) || !list_empty(rule.by_minute) || !list_empty(rule.by_hour) ||
        !list_empty(rule.by_year_day) || !list_empty(rule.by_week_no) || (rule.rscale != nullptr && *rule.rscale)) {
        reason = QStringLiteral("a rule by hours, minutes, days of the year or week numbers");
        return false;
    }
    const int days = list_size(rule.by_day, ICAL_BY_DAY_SIZE);
    const int month_days = list_size(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    const int months = list_size(rule.by_month, ICAL_BY_MONTH_SIZE);
    const int positions = list_size(rule.by_set_pos, ICAL_BY_SETPOS_SIZE);
    auto position_of = [](int p) { return p == -1 ? time::last_position : (p >= 1 && p <= 4 ? p : 0); };
    // One weekday with its place in the month ("2TU", or "TU" with BYSETPOS=2).
    auto one_weekday = [&](int& position, int& weekday) {
        if (days != 1 || positions > 1)
            return false;
        weekday = icalrecurrencetype_day_day_of_week(rule.by_day[0]);
        int p = icalrecurrencetype_day_position(rule.by_day[0]);
        if (p == 0 && positions == 1)
            p = rule.by_set_pos[0];
        position = position_of(p);
        return position != 0 && weekday >= 1 && weekday <= 7;
    };
    switch (rule.freq) {
    case ICAL_DAILY_RECURRENCE:
        if (days || month_days || months || positions) {
            reason = QStringLiteral("a daily rule limited to some days");
            return false;
        }
        out.type = kind::daily;
        out.param1 = static_cast<std::uint8_t>(interval);
        break;
    case ICAL_WEEKLY_RECURRENCE: {
        if (month_days || months || positions) {
            reason = QStringLiteral("a weekly rule limited to some months or days of the month");
            return false;
        }
        int mask = 0;
        for (int i = 0; i < days; ++i) {
            if (icalrecurrencetype_day_position(rule.by_day[i]) != 0) {
                reason = QStringLiteral("a weekly rule with numbered weekdays");
                return false;
            }
            const int wd = icalrecurrencetype_day_day_of_week(rule.by_day[i]);
            if (wd >= 1 && wd <= 7)
                mask |= 1 << (wd - 1);
        }
        if (mask == 0)
            mask = 1 << (start.weekday - 1);
        out.type = kind::weekly;
        out.param1 = static_cast<std::uint8_t>(mask);
        out.param2 = static_cast<std::uint8_t>(interval);
        break;
    }
    case ICAL_MONTHLY_RECURRENCE: {
        int position = 0, weekday = 0;
        if (months) {
            reason = QStringLiteral("a monthly rule limited to some months");
            return false;
        }
        if (days == 0 && month_days <= 1 && positions == 0) {
            const int d = month_days == 1 ? rule.by_month_day[0] : start.day;
            if (!(d == -1 || (d >= 1 && d <= 31))) {
                reason = QStringLiteral("a day of the month counted from its end");
                return false;
            }
            out.type = kind::monthly_day;
            out.param1 = static_cast<std::uint8_t>(d == -1 ? time::last_day_of_month : d);
            out.param2 = static_cast<std::uint8_t>(interval);
        } else if (month_days == 0 && one_weekday(position, weekday)) {
            out.type = kind::monthly_weekday;
            out.param1 = static_cast<std::uint8_t>(position);
            out.param2 = static_cast<std::uint8_t>(weekday);
            out.param3 = static_cast<std::uint8_t>(interval);
        } else {
            reason = QStringLiteral("a monthly rule on several days");
            return false;
        }
        break;
    }
    case ICAL_YEARLY_RECURRENCE: {
        int position = 0, weekday = 0;
        if (interval != 1 || months > 1) {
            reason = QStringLiteral("a yearly rule every few years or in several months");
            return false;
        }
        const int month = months == 1 ? rule.by_month[0] : start.month;
        if (month < 1 || month > 12) {
            reason = QStringLiteral("a month of another calendar");
            return false;
        }
        if (days == 0 && month_days <= 1 && positions == 0) {
            const int d = month_days == 1 ? rule.by_month_day[0] : start.day;
            if (d < 1 || d > 31) {
                reason = QStringLiteral("a day of the month counted from its end");
                return false;
            }
            out.type = kind::yearly_date;
            out.param1 = static_cast<std::uint8_t>(d);
            out.param2 = static_cast<std::uint8_t>(month);
        } else if (month_days == 0 && one_weekday(position, weekday)) {
            out.type = kind::yearly_weekday;
            out.param1 = static_cast<std::uint8_t>(position);
            out.param2 = static_cast<std::uint8_t>(weekday);
            out.param3 = static_cast<std::uint8_t>(month);
        } else {
            reason = QStringLiteral("a yearly rule on several days");
            return false;
        }
        break;
    }
    default:
        reason = QStringLiteral("a rule that repeats within a day");
        return false;
    }

    if (!icaltime_is_null_time(rule.until)) {
        time::stored_time until = 0;
        if (icaltime_is_utc(rule.until))
            until = local_from_utc(icaltime_as_timet_with_zone(rule.until, icaltimezone_get_utc_timezone()));
        else
            until = time::make_time(rule.until.year, rule.until.month, rule.until.day, rule.until.hour,
                                    rule.until.minute, rule.until.second);
        if (until < first_start) {
            reason = QStringLiteral("a rule that ends before it begins");
            return false;
        }
        out.ending_date = time::date_of(until);
    } else if (rule.count > 0) {
        // The day of the last of COUNT occurrences, walked by libical itself;
        // the walk is bounded, and a longer count is taken as never ending.
        icalrecur_iterator* walk = icalrecur_iterator_new(rule, dtstart);
        if (walk != nullptr) {
            icaltimetype last = icaltime_null_time();
            int n = 0;
            for (icaltimetype next = icalrecur_iterator_next(walk); !icaltime_is_null_time(next) && n < 20000;
                 next = icalrecur_iterator_next(walk), ++n)
                last = next;
            icalrecur_iterator_free(walk);
            if (n < 20000 && !icaltime_is_null_time(last)) {
                time::stored_time t = 0;
                if (icaltime_is_utc(last))
                    t = local_from_utc(icaltime_as_timet_with_zone(last, icaltimezone_get_utc_timezone()));
                else
                    t = time::make_time(last.year, last.month, last.day);
                out.ending_date = time::date_of(t);
            }
        }
    }
    if (!time::is_valid(out)) {
        reason = QStringLiteral("a rule the planner cannot repeat");
        return false;
    }
    return true;
}

QByteArray rule_text(const time::recurrence& r, time::stored_time first_start)
{
    namespace kind = time::recurrence_kind;
    static const char* const day_names[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
    auto day = [](int weekday) { return QByteArray(day_names[(weekday - 1 + 7) % 7]); };
    auto position = [](int p) { return p == time::last_position ? QByteArray("-1") : QByteArray::number(p); };
    QByteArray out;
    switch (r.type) {
    case kind::daily: out = "FREQ=DAILY;INTERVAL=" + QByteArray::number(r.param1); break;
    case kind::weekly: {
        QByteArrayList days;
        for (int wd = 1; wd <= 7; ++wd)
            if (r.param1 & (1 << (wd - 1)))
                days << day(wd);
        out = "FREQ=WEEKLY;INTERVAL=" + QByteArray::number(r.param2) + ";BYDAY=" + days.join(',');
        break;
    }
    case kind::monthly_day:
        out = "FREQ=MONTHLY;INTERVAL=" + QByteArray::number(r.param2) + ";BYMONTHDAY=" +
              (r.param1 == time::last_day_of_month ? QByteArray("-1") : QByteArray::number(r.param1));
        break;
    case kind::monthly_weekday:
        out = "FREQ=MONTHLY;INTERVAL=" + QByteArray::number(r.param3) + ";BYDAY=" + position(r.param1) + day(r.param2);
        break;
    case kind::yearly_date:
        out = "FREQ=YEARLY;BYMONTH=" + QByteArray::number(r.param2) + ";BYMONTHDAY=" + QByteArray::number(r.param1);
        break;
    case kind::yearly_weekday:
        out = "FREQ=YEARLY;BYMONTH=" + QByteArray::number(r.param3) + ";BYDAY=" + position(r.param1) + day(r.param2);
        break;
    default: break;
    }
    if (r.ending_date != 0)
        out += ";UNTIL=" + utc_stamp(r.ending_date + (first_start - time::date_of(first_start)));
    return out;
}

QByteArray written_zone_id()
{
    const QByteArray id = QTimeZone::systemTimeZoneId();
    if (id.isEmpty() || id == "UTC" || id == "Etc/UTC")
        return QByteArray();
    return icaltimezone_get_builtin_timezone(id.constData()) != nullptr ? id : QByteArray();
}

QByteArray zone_text(const QByteArray& tzid)
{
    icaltimezone* zone = icaltimezone_get_builtin_timezone(tzid.constData());
    if (zone == nullptr)
        return QByteArray();
    icalcomponent* c = icaltimezone_get_component(zone);
    if (c == nullptr)
        return QByteArray();
    char* text = icalcomponent_as_ical_string_r(c);
    QByteArray out(text);
    free(text);
    out.replace("\r\n", "\n").replace("\n", "\r\n");
    if (!out.endsWith("\r\n"))
        out += "\r\n";
    return out;
}

namespace {

QByteArray stamp(const time::calendar_fields& f, bool utc)
{
    return QString::asprintf("%04d%02d%02dT%02d%02d%02d%s", f.year, f.month, f.day, f.hour, f.minute, f.second,
                             utc ? "Z" : "")
        .toLatin1();
}

}  // namespace

QByteArray utc_stamp(time::stored_time local) { return stamp(time::fields(utc_from_local(local)), true); }

QByteArray time_line(const char* name, time::stored_time t)
{
    const QByteArray zone = written_zone_id();
    if (zone.isEmpty())
        return QByteArray(name) + ":" + utc_stamp(t) + "\r\n";
    return QByteArray(name) + ";TZID=" + zone + ":" + stamp(time::fields(t), false) + "\r\n";
}

QByteArray escape_text(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\\') || c == QLatin1Char(';') || c == QLatin1Char(','))
            out += QLatin1Char('\\') + QString(c);
        else if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            continue;  // CR LF is one line break
        else if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            out += QStringLiteral("\\n");
        else if (c.unicode() < 0x20 && c != QLatin1Char('\t'))
            continue;  // control characters are not allowed in a value
        else
            out += c;
    }
    return out.toUtf8();
}

QByteArray fold_line(const QByteArray& line)
{
    QByteArray out;
    int width = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        const bool continuation = (c & 0xC0) == 0x80;
        if (!continuation && width + length > 75) {
            out += "\r\n ";
            width = 1;
        }
        out += line[i];
        ++width;
    }
    return out + "\r\n";
}

}  // namespace qm::exchange
