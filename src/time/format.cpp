#include "time/format.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

#include <cstdlib>
#include <mutex>
#include <unordered_map>

namespace qm::time {

const char* const system_format = "wd";

namespace {

std::mutex settings_mutex;
format_settings& settings_storage()
{
    static format_settings s;
    return s;
}

constexpr int platform_buffer = 128;  // longer results are cut, as the platform calls did

QString cut(QString s)
{
    if (s.size() > platform_buffer - 1)
        s.truncate(platform_buffer - 1);
    return s;
}

bool is_system(const QString& pattern) { return pattern == QLatin1String(system_format); }

QString two_digits(std::int64_t v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

// Qt numbers weekdays from Monday = 1; ours run from Sunday = 1.
int qt_weekday(int weekday) { return weekday == 1 ? 7 : weekday - 1; }

struct unit {
    QChar lower;
    std::int64_t v;
    bool c;
    bool e;
};

// Replaces every "$T(text)" style token: the parenthesised text of the first
// occurrence is removed, then every occurrence becomes the chosen text.
void replace_text_token(QString& s, const QString& token, bool show, std::int64_t v)
{
    const int first = s.indexOf(token);
    if (first < 0)
        return;
    QString text;
    const int open = first + token.size();
    if (open < s.size() && s[open] == QLatin1Char('(')) {
        int close = s.indexOf(QLatin1Char(')'), open + 1);
        if (close < 0)
            close = s.size();
        text = s.mid(open + 1, close - open - 1);
        s.remove(open, std::min<int>(close, s.size() - 1) - open + 1);
    }
    const int bar = text.indexOf(QLatin1Char('|'));
    if (bar >= 0)
        text = v == 1 ? text.left(bar) : text.mid(bar + 1);
    s.replace(token, show ? text : QString());
}

void replace_unit(QString& s, const unit& u)
{
    const QString x = QString(u.lower);
    const QString X = QString(u.lower.toUpper());
    const QString two = u.e ? two_digits(u.v) : QString();
    const QString number = u.e ? QString::number(u.v) : QString();
    const bool nonzero = u.v != 0;
    const QString empty;

    s.replace(QLatin1Char('%') + x + x + QLatin1Char('!'), nonzero ? two : empty);
    s.replace(QLatin1Char('%') + x + QLatin1Char('!'), two);
    s.replace(QLatin1Char('%') + X + X + QLatin1Char('!'), u.c && nonzero ? two : empty);
    s.replace(QLatin1Char('%') + X + QLatin1Char('!'), u.c || nonzero ? two : empty);
    s.replace(QLatin1Char('%') + x + x, nonzero ? number : empty);
    s.replace(QLatin1Char('%') + x, number);
    s.replace(QLatin1Char('%') + X + X, u.c && nonzero ? number : empty);
    s.replace(QLatin1Char('%') + X, u.c || nonzero ? number : empty);
    replace_text_token(s, QLatin1Char('$') + x + x, u.e && nonzero, u.v);
    replace_text_token(s, QLatin1Char('$') + x, u.e, u.v);
    replace_text_token(s, QLatin1Char('$') + X + X, u.e && u.c && nonzero, u.v);
    replace_text_token(s, QLatin1Char('$') + X, u.e && (u.c || nonzero), u.v);
}

calendar_fields time_fields(std::int64_t seconds)
{
    if (seconds < 0)
        seconds = 0;
    calendar_fields f;
    f.hour = static_cast<int>(seconds / 3600 % 24);
    f.minute = static_cast<int>(seconds / 60 % 60);
    f.second = static_cast<int>(seconds % 60);
    return f;
}

// The size of a duration without its sign, kept far below any overflow.
std::int64_t magnitude(std::int64_t v)
{
    constexpr std::int64_t limit = 1000000000000000LL;
    if (v < 0)
        v = v < -limit ? limit : -v;
    return v > limit ? limit : v;
}

QString plural(std::int64_t n, const char* one, const char* many)
{
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

// The system's short time pattern without its seconds: times of day are
// shown to the minute.
QString system_time_pattern()
{
    QString pattern = QLocale::system().timeFormat(QLocale::ShortFormat);
    static const QRegularExpression seconds(QStringLiteral("[:.]?s{1,2}"));
    pattern.remove(seconds);
    return pattern.trimmed();
}

}  // namespace

void set_format_settings(const format_settings& s)
{
    std::lock_guard<std::mutex> lock(settings_mutex);
    settings_storage() = s;
}

format_settings current_format_settings()
{
    std::lock_guard<std::mutex> lock(settings_mutex);
    return settings_storage();
}

QString format_duration(std::int64_t seconds, const QString& pattern, duration_options options)
{
    QString s = pattern.isEmpty() ? current_format_settings().duration_format : pattern;
    // Magnitude only: no sign is ever written.
    std::int64_t total = magnitude(seconds);
    if (options.started_minutes && !options.show_seconds && total > 60)
        total += 59;  // a started minute counts as a whole one
    const std::int64_t H = total / 3600;
    const std::int64_t M = total / 60 % 60;
    const std::int64_t S = total % 60;

    // The template is rewritten some fifty times per text, and lists and
    // countdowns ask for the same few durations over and over: the texts of
    // the last template are kept, per thread.
    struct memo_entry {
        QString pattern;
        std::unordered_map<std::int64_t, QString> texts;
    };
    thread_local memo_entry memo;
    if (memo.pattern != s) {
        memo.pattern = s;
        memo.texts.clear();
    }
    const std::int64_t key = total * 2 + (options.show_seconds ? 1 : 0);
    if (const auto it = memo.texts.find(key); it != memo.texts.end())
        return it->second;

    // "$hm(text)": the text only when there are hours.
    replace_text_token(s, QStringLiteral("$hm"), H != 0, H);
    replace_unit(s, {QLatin1Char('s'), S, H != 0 || M != 0, (H == 0 && M == 0) || options.show_seconds});
    replace_unit(s, {QLatin1Char('m'), M, H != 0 || (M == 0 && S == 0), true});
    replace_unit(s, {QLatin1Char('h'), H, false, true});
    replace_unit(s, {QLatin1Char('d'), 0, false, true});
    s = s.trimmed();
    if (memo.texts.size() >= 4096)
        memo.texts.clear();
    memo.texts.emplace(key, s);
    return s;
}

QString duration_words(std::int64_t seconds)
{
    const std::int64_t s = magnitude(seconds);
    const std::int64_t days = s / 86400;
    const std::int64_t hours = s / 3600 % 24;
    const std::int64_t minutes = s / 60 % 60;
    QString text;
    if (days > 0)
        text += plural(days, "day", "days");
    if (hours > 0 && days < 7) {
        if (!text.isEmpty())
            text += QStringLiteral(", ");
        text += plural(hours, "hour", "hours");
    }
    if (days == 0 && minutes > 0) {
        if (hours > 0)
            text += QStringLiteral(", ");
        text += plural(minutes, "minute", "minutes");
    }
    if (days == 0 && hours == 0 && minutes == 0)
        text = QStringLiteral("0 minutes");
    return text;
}

QString format_picture(const QString& pattern, const calendar_fields& f, picture_kind kind, const QLocale& names)
{
    QString out;
    const int n = static_cast<int>(pattern.size());
    int i = 0;
    while (i < n) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('\'') && i + 1 < n && pattern[i + 1] == QLatin1Char('\'')) {
            out += QLatin1Char('\'');  // two apostrophes stand for one
            i += 2;
            continue;
        }
        if (c == QLatin1Char('\'')) {
            // Quoted text; two apostrophes inside stand for one.
            int j = i + 1;
            while (j < n) {
                if (pattern[j] == QLatin1Char('\'')) {
                    if (j + 1 < n && pattern[j + 1] == QLatin1Char('\'')) {
                        out += QLatin1Char('\'');
                        j += 2;
                        continue;
                    }
                    break;
                }
                out += pattern[j++];
            }
            i = j + 1;
            continue;
        }
        int run = 1;
        while (i + run < n && pattern[i + run] == c)
            ++run;
        const char16_t ch = c.unicode();
        QString field;
        bool is_field = true;
        if (kind == picture_kind::date && ch == u'd') {
            if (run == 1)
                field = QString::number(f.day);
            else if (run == 2)
                field = two_digits(f.day);
            else
                field = names.dayName(qt_weekday(f.weekday), run == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        } else if (kind == picture_kind::date && ch == u'M') {
            if (run == 1)
                field = QString::number(f.month);
            else if (run == 2)
                field = two_digits(f.month);
            else
                field = names.monthName(f.month, run == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        } else if (kind == picture_kind::date && ch == u'y') {
            if (run == 1)
                field = QString::number(f.year % 100);
            else if (run == 2)
                field = two_digits(f.year % 100);
            else
                field = QString::number(f.year);
        } else if (kind == picture_kind::time && (ch == u'h' || ch == u'H')) {
            const int hour = ch == u'H' ? f.hour : (f.hour % 12 == 0 ? 12 : f.hour % 12);
            field = run == 1 ? QString::number(hour) : two_digits(hour);
        } else if (kind == picture_kind::time && ch == u'm') {
            field = run == 1 ? QString::number(f.minute) : two_digits(f.minute);
        } else if (kind == picture_kind::time && ch == u's') {
            field = run == 1 ? QString::number(f.second) : two_digits(f.second);
        } else if (kind == picture_kind::time && ch == u't') {
            const bool pm = f.hour >= 12;
            field = run == 1 ? QString(QLatin1Char(pm ? 'P' : 'A')) : QString(QLatin1String(pm ? "PM" : "AM"));
        } else {
            is_field = false;
        }
        out += is_field ? field : QString(run, c);
        i += run;
    }
    return out;
}

QString format_time_of_day(std::int64_t seconds, const QString& pattern)
{
    const QString p = pattern.isEmpty() ? current_format_settings().time_format : pattern;
    const calendar_fields f = time_fields(seconds);
    if (is_system(p))
        return cut(QLocale::system().toString(QTime(f.hour, f.minute), system_time_pattern()));
    return cut(format_picture(p, f, picture_kind::time));
}

QString format_short_date(stored_date d, const QString& pattern)
{
    const QString p = pattern.isEmpty() ? current_format_settings().short_date_format : pattern;
    const calendar_fields f = fields(d);
    if (is_system(p))
        return cut(QLocale::system().toString(QDate(f.year, f.month, f.day), QLocale::ShortFormat));
    return cut(format_picture(p, f, picture_kind::date));
}

QString format_long_date(stored_date d, const QString& pattern)
{
    const QString p = pattern.isEmpty() ? current_format_settings().long_date_format : pattern;
    const calendar_fields f = fields(d);
    if (is_system(p))
        return cut(QLocale::system().toString(QDate(f.year, f.month, f.day), QLocale::LongFormat));
    return cut(format_picture(p, f, picture_kind::date));
}

QString weekday_name(stored_date d) { return format_picture(QStringLiteral("dddd"), fields(d), picture_kind::date); }

QString short_date_pattern()
{
    const QString p = current_format_settings().short_date_format;
    return is_system(p) ? QLocale::system().dateFormat(QLocale::ShortFormat) : p;
}

QString format_date_time(stored_time t)
{
    if (is_midnight(t))
        return format_short_date(date_of(t));
    return format_short_date(date_of(t)) + QStringLiteral(" at ") + format_time_of_day(t - date_of(t));
}

QString format_date_and_time(stored_time t)
{
    return format_short_date(date_of(t)) + QLatin1Char(' ') + format_time_of_day(t - date_of(t));
}

QString relative_text(stored_time target)
{
    const stored_time current = now();
    const stored_date day = date_of(current);
    const bool midnight = is_midnight(target);
    if (midnight) {
        const std::int64_t n = (target - day) / seconds_per_day;
        if (n == -1)
            return QStringLiteral("Yesterday");
        if (n == 0)
            return QStringLiteral("Today");
        if (n == 1)
            return QStringLiteral("Tomorrow");
    }
    const bool past = midnight ? target < day : target < current;
    if (past)
        return duration_words(current - target) + QStringLiteral(" ago");
    return duration_words(target - current) + QStringLiteral(" from now");
}

QString due_text(stored_time target)
{
    const stored_time current = now();
    if (target < current)
        return QStringLiteral("overdue by ") + format_duration(current - target);
    return QStringLiteral("in ") + format_duration(target - current);
}

QString relative_day_name(stored_date d)
{
    const stored_date day = today();
    if (d == day)
        return QStringLiteral("today");
    if (d == previous_day(day))
        return QStringLiteral("yesterday");
    return format_long_date(d);
}

QString ordinal(int n)
{
    const char* suffix = "th";
    switch (n) {
    case 1: case 21: case 31: suffix = "st"; break;
    case 2: case 22: suffix = "nd"; break;
    case 3: case 23: suffix = "rd"; break;
    default: break;
    }
    return QString::number(n) + QLatin1String(suffix);
}

QString roman(int n)
{
    if (n < 1 || n > 3999)
        return QString::number(n);  // no Roman numeral exists: the number itself
    static const struct {
        int value;
        const char* letters;
    } table[] = {{1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
                 {40, "XL"},  {10, "X"},   {9, "IX"},  {5, "V"},    {4, "IV"},   {1, "I"}};
    QString out;
    for (const auto& row : table) {
        while (n >= row.value) {
            out += QLatin1String(row.letters);
            n -= row.value;
        }
    }
    return out;
}

QString constraint_text(time_of_day after, time_of_day before, bool appointment)
{
    if (appointment)
        return QString();
    const time_of_day b = before == 0 ? 86400 : before;
    const bool has_after = after != -1;
    const bool has_before = before != -1;
    if (has_after && has_before)
        return QStringLiteral("Between: %1 and %2").arg(format_time_of_day(after), format_time_of_day(b));
    if (has_after)
        return QStringLiteral("After: %1").arg(format_time_of_day(after));
    if (has_before)
        return QStringLiteral("Before: %1").arg(format_time_of_day(b));
    return QString();
}

QString before_short_text(time_of_day before)
{
    const time_of_day b = before == 0 ? 86400 : before;
    return b >= 86400 ? QStringLiteral("Tomorrow") : format_time_of_day(b);
}

QString appointment_text(time_of_day start, duration length)
{
    QString text = QStringLiteral("%1 to %2 (%3)")
                       .arg(format_time_of_day(start), format_time_of_day(static_cast<std::int64_t>(start) + length),
                            format_duration(length));
    text.truncate(80);
    return text;
}

QString appointment_status_text(stored_date date, time_of_day start, duration length, stored_time at)
{
    const stored_time begin = date + static_cast<std::int64_t>(start / 3600) * 3600 + (start / 60 % 60) * 60;
    const stored_time end = begin + length;
    const std::int64_t d = begin - at;
    if (d > 0)
        return QStringLiteral("Begins in: %1").arg(format_duration(d + 60));
    if (d < length && end > at)
        return QStringLiteral("In Progress: %1").arg(format_duration(-d));
    return QStringLiteral("Late by: %1").arg(format_duration(at - end));
}

QString time_range_text(stored_time start, duration length)
{
    const stored_time end = start + length;
    return QStringLiteral("%1 to %2 (%3)")
        .arg(format_time_of_day(start - date_of(start)), format_time_of_day(end - date_of(end)), format_duration(length));
}

bool uses_24_hour_clock()
{
    const QString p = current_format_settings().time_format;
    if (!is_system(p)) {
        bool quoted = false;
        for (int i = 0; i + 1 < p.size(); ++i) {
            const QChar c = p[i];
            if (c == QLatin1Char('\'')) {
                quoted = !quoted;
                continue;
            }
            if (quoted)
                continue;
            if (c == QLatin1Char('h'))
                return false;
            if (c == QLatin1Char('H'))
                return true;
        }
    }
    // Qt's own patterns: an AM/PM marker makes a 12-hour clock.
    const QString system = QLocale::system().timeFormat(QLocale::ShortFormat);
    bool quoted = false;
    for (QChar c : system) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('a') || c == QLatin1Char('A')))
            return false;
    }
    return true;
}

// ---- choices ----

const std::vector<format_choice>& duration_choices()
{
    static const std::vector<format_choice> list = {
        {"%D$D(d)%H$H(h)%M$M(m)%S$S(s)", "Single abbreviations with no spaces"},
        {"%D$D(d) %H$H(h) %M$M(m) %S$S(s)", "Single abbreviations with spaces"},
        {"%D$D(d)%H$H(hr)%M$M(min)%S$S(sec)", "Abbreviations without spaces"},
        {"%D$D(d) %H$H(hr) %M$M(min) %S$S(sec)", "Abbreviations with spaces"},
        {"%dd$dd(:)%hh$hm(:)%m!$s(.)%s!", "Colon and period delimited"},
    };
    return list;
}

// The system's format is named for this platform rather than for Windows.
const std::vector<format_choice>& time_choices()
{
    static const std::vector<format_choice> list = {
        {"wd", "System default"},
        {"h:mm t", "12-hour time format, short time marker"},
        {"h:mm tt", "12-hour time format, long time marker"},
        {"H:mm", "24-hour time format"},
    };
    return list;
}

const std::vector<format_choice>& short_date_choices()
{
    static const std::vector<format_choice> list = {
        {"wd", "System default"},
        {"d/M/yy", "Day first, short year"},
        {"M/d/yy", "Month first, short year"},
        {"d/M/yyyy", "Day first, long year"},
        {"M'/'d'/'yyyy", "Month first, long year"},
        {"d MMM yyyy", "Abbreviated, day first, long year"},
        {"MMM d, yyyy", "Abbreviated, month first, long year"},
        {"ddd d MMM, yyyy", "Day of week, day first, long year"},
        {"ddd MMM d, yyyy", "Day of week, month first, long year"},
    };
    return list;
}

const std::vector<format_choice>& long_date_choices()
{
    static const std::vector<format_choice> list = {
        {"wd", "System default"},
        {"d MMMM yyyy", "Day first"},
        {"MMMM d, yyyy", "Month first"},
        {"dddd d MMMM, yyyy", "Day of week, day first"},
        {"dddd, MMMM d, yyyy", "Day of week, month first"},
    };
    return list;
}

QString duration_choice_text(const format_choice& c)
{
    return QStringLiteral("%1 (E.g. %2, %3, %4, %5)")
        .arg(c.label, format_duration(30, c.pattern), format_duration(900, c.pattern), format_duration(3600, c.pattern),
             format_duration(4530, c.pattern));
}

QString time_choice_text(const format_choice& c)
{
    return QStringLiteral("%1 (E.g. %2, %3, %4, %5)")
        .arg(c.label, format_time_of_day(0, c.pattern), format_time_of_day(64800, c.pattern),
             format_time_of_day(43200, c.pattern), format_time_of_day(21600, c.pattern));
}

QString date_choice_text(const format_choice& c, bool long_date)
{
    stored_date example = today();
    const calendar_fields f = fields(example);
    if (f.month == f.day)
        example = next_day(example);  // never an ambiguous example such as 5/5
    const QString text = long_date ? format_long_date(example, c.pattern) : format_short_date(example, c.pattern);
    return QStringLiteral("%1 (E.g. %2)").arg(c.label, text);
}

}  // namespace qm::time
