#include "time/parse.h"

#include <QStringList>

#include <algorithm>
#include <climits>

namespace qm::time {
namespace {

// Numbers beyond this read as "too large": far outside any date or duration,
// and far below any overflow in the arithmetic that follows.
constexpr std::int64_t number_cap = 1000000000000LL;

bool is_digit(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }

// The run of digits starting at i, saturating at number_cap; i moves past it.
std::int64_t digit_run(const QString& s, int& i)
{
    std::int64_t v = 0;
    while (i < s.size() && is_digit(s[i])) {
        v = std::min(number_cap, v * 10 + (s[i].unicode() - u'0'));
        ++i;
    }
    return v;
}

// A word that reads as a number the way the C library reads one: leading
// blanks and a sign, then digits.
std::optional<std::int64_t> leading_number(const QString& word)
{
    int i = 0;
    while (i < word.size() && word[i].isSpace())
        ++i;
    bool negative = false;
    if (i < word.size() && (word[i] == QLatin1Char('-') || word[i] == QLatin1Char('+')))
        negative = word[i++] == QLatin1Char('-');
    if (i >= word.size() || !is_digit(word[i]))
        return std::nullopt;
    const std::int64_t v = digit_run(word, i);
    return negative ? -v : v;
}

bool all_digits(const QString& word)
{
    return !word.isEmpty() && std::all_of(word.begin(), word.end(), [](QChar c) { return is_digit(c); });
}

QStringList split_at(const QString& text, const QString& separators)
{
    QStringList words;
    QString current;
    for (QChar c : text) {
        if (separators.contains(c)) {
            if (!current.isEmpty())
                words << current;
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.isEmpty())
        words << current;
    return words;
}

const QString date_separators = QStringLiteral("\\|/,:.- \t");

QStringList split_digit_runs(const QString& text)
{
    QString spaced;
    spaced.reserve(text.size() * 2);
    for (int i = 0; i < text.size(); ++i) {
        if (i > 0 && is_digit(text[i]) != is_digit(text[i - 1]))
            spaced += QLatin1Char(' ');
        spaced += text[i];
    }
    return split_at(spaced.trimmed(), date_separators);
}

parsed_date fail() { return parsed_date{0, true}; }

// Completion of readings 2, 3 and 4.
parsed_date complete(std::int64_t year, std::int64_t month, std::int64_t day, bool year_missing, stored_date reference)
{
    const calendar_fields ref = fields(reference);
    if (!year_missing) {
        if (year < 100)
            year += 2000;
        else if (year < 200)
            year += 1900;
    }
    if (month < 1 || month > 12 || day < 1)
        return fail();
    if (year_missing) {
        year = ref.year;
        const int in_year = std::min<std::int64_t>(day, days_in_month(static_cast<int>(month), ref.year));
        if (make_date(ref.year, static_cast<int>(month), in_year) < reference)
            ++year;
    }
    if (year < 2000 || year > 2100)
        return fail();
    day = std::min<std::int64_t>(day, days_in_month(static_cast<int>(month), static_cast<int>(year)));
    if (day < 1 || day > 31)
        return fail();
    return parsed_date{make_date(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)), false};
}

// Reading 1: "fri", "next friday", "3 fri", "2 mon march".
std::optional<parsed_date> weekday_phrase(const QString& text, stored_date reference)
{
    std::int64_t n = 1;
    int month = 0;
    int weekday = 0;
    for (const QString& raw : split_at(text, date_separators)) {
        const QString word = raw.toLower();
        if (word == QLatin1String("this")) {
            n = 1;
        } else if (word == QLatin1String("next")) {
            n = 2;
        } else if (const auto number = leading_number(word); number && *number != 0) {
            if (weekday != 0)
                return std::nullopt;  // "fri 13" is not a weekday phrase
            n = *number;
        } else if (const int m = month_from_name(word)) {
            month = m;
        } else if (const int w = weekday_from_name(word)) {
            weekday = w;
        }
    }
    if (weekday == 0 || n <= 0 || n > 10000)
        return std::nullopt;
    stored_date start = reference;
    if (month != 0) {
        const int year = fields(reference).year;
        start = make_date(year, month, 1);
        if (start < reference)
            start = make_date(year + 1, month, 1);
    }
    while (fields(start).weekday != weekday)
        start = next_day(start);
    const stored_date result = add_days(start, 7 * (n - 1));
    const calendar_fields f = fields(result);
    if (f.year < 2000 || f.year > 2100)
        return fail();
    return parsed_date{result, false};
}

struct month_reading {
    bool go_on = false;  // nothing usable: try the next reading
    parsed_date result;
};

// Reading 2: "dec 25", "25 december", "feb 30 2028".
month_reading month_phrase(const QStringList& words, stored_date reference)
{
    int month = 0;
    std::int64_t day = 0;
    std::int64_t year = 0;
    for (const QString& word : words) {
        if (month == 0)
            if (const int m = month_from_name(word))
                month = m;
        if (all_digits(word)) {
            int i = 0;
            const std::int64_t v = digit_run(word, i);
            if (day == 0 && v >= 1 && v <= 31)
                day = v;
            else if (year == 0 && v >= 32)
                year = v;
        }
    }
    if (month != 0 && day != 0) {
        if (year != 0)
            return {false, complete(year, month, day, false, reference)};
        return {false, complete(0, month, day, true, reference)};
    }
    if (year != 0)
        return {false, fail()};  // a year alone names no day
    return {true, {}};
}

// Reading 3: "tomorrow", "3 days ago", "2w", "1 month".
std::optional<parsed_date> keyword_phrase(const QStringList& words, stored_date reference)
{
    std::int64_t weeks = 0, days = 0, months = 0, years = 0;
    bool any = false;
    bool backwards = false;
    for (int i = 0; i < words.size(); ++i) {
        const QString word = words[i].toLower();
        if (word == QLatin1String("tomorrow"))
            return parsed_date{next_day(reference), false};
        if (word == QLatin1String("today"))
            return parsed_date{reference, false};
        if (word == QLatin1String("yesterday"))
            return parsed_date{previous_day(reference), false};
        if (!all_digits(word) || i + 1 >= words.size())
            continue;
        int pos = 0;
        const std::int64_t n = digit_run(word, pos);
        const QString unit = words[++i].toLower();
        if (i + 1 < words.size() && words[i + 1].toLower() == QLatin1String("ago"))
            backwards = true;
        static const QStringList week_words = {"wk", "wks", "week", "weeks", "w"};
        static const QStringList day_words = {"dy", "dys", "day", "days", "d"};
        static const QStringList month_words = {"month", "months"};
        static const QStringList year_words = {"yr", "yrs", "year", "years", "y"};
        if (week_words.contains(unit))
            weeks = n, any = true;
        else if (day_words.contains(unit))
            days = n, any = true;
        else if (month_words.contains(unit))
            months = n, any = true;
        else if (year_words.contains(unit))
            years = n, any = true;
    }
    if (!any)
        return std::nullopt;
    const std::int64_t sign = backwards ? -1 : 1;
    const calendar_fields ref = fields(reference);
    std::int64_t y = 0;
    int m = 0, d = 0;
    civil_from_days(days_from_civil(ref.year, ref.month, ref.day) + sign * (days + 7 * weeks), y, m, d);
    const std::int64_t total_months = y * 12 + (m - 1) + sign * months;
    std::int64_t year = total_months >= 0 ? total_months / 12 : -((-total_months + 11) / 12);
    const std::int64_t month = total_months - year * 12 + 1;
    year += sign * years;
    if (year < 1000 || year > 9999)
        return fail();  // far outside; spares completion from the 2-digit year rules
    return complete(year, month, d, false, reference);
}

// Reading 4: a numeric date in the order of the short date pattern.
parsed_date numeric_date(const QString& text, const QString& pattern, stored_date reference)
{
    std::int64_t day = 0, month = 0, year = 0;
    int pos = 0;
    while (pos < text.size() && !is_digit(text[pos]))
        ++pos;
    auto take_number = [&] {
        const std::int64_t v = digit_run(text, pos);
        while (pos < text.size() && !is_digit(text[pos]))
            ++pos;
        return v;
    };
    QChar previous;
    // The whole pattern is walked: a pattern ending in a one-letter field
    // ("yyyy-MM-d") must still read its last number.
    for (int i = 0; i < pattern.size() && pos < text.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('\'')) {
            const int close = pattern.indexOf(QLatin1Char('\''), i + 1);
            i = close < 0 ? pattern.size() : close;
            previous = QChar();
            continue;
        }
        const QChar lower = c.toLower();
        const bool field = lower == QLatin1Char('d') || lower == QLatin1Char('m') || lower == QLatin1Char('y');
        if (!field) {
            previous = QChar();
            continue;
        }
        if (lower == previous)
            continue;
        previous = lower;
        if (lower == QLatin1Char('d')) {
            if (pattern.mid(i, 3).toLower() == QLatin1String("ddd"))
                continue;  // the weekday name holds no number
            day = take_number();
        } else if (lower == QLatin1Char('m')) {
            month = take_number();
        } else {
            year = take_number();
        }
    }
    if (day == 0 && month >= 1 && month <= 31 && year == 0) {
        day = month;
        month = 0;
    } else if (day == 0 && month == 0 && year >= 1 && year <= 31) {
        day = year;
        year = 0;
    }
    const calendar_fields ref = fields(reference);
    if (day >= 1 && day <= 31 && month == 0) {
        month = day >= ref.day ? ref.month : ref.month % 12 + 1;
    }
    // Two-digit years are read as 20xx, as a user typing "12/25/26" means.
    const bool year_fits = year == 0 || (year >= 2000 && year <= 2100) || (year >= 1 && year <= 99);
    if (year_fits && day >= 1 && day <= 31 && month >= 1 && month <= 12)
        return complete(year, month, day, year == 0, reference);
    if (year == 0 && month >= 1 && month <= 31 && day >= 1 && day <= 12)
        return complete(0, day, month, true, reference);
    return fail();
}

const QString duration_separators = QStringLiteral(" ,-.:;|");

}  // namespace

int weekday_from_name(const QString& word)
{
    QString w = word.trimmed().toLower();
    if (w.endsWith(QLatin1Char('.')))
        w.chop(1);
    if (w.isEmpty())
        return 0;
    static const char* const aliases[7] = {
        "su,sun,sunday",
        "m,mo,mon,monoday,monday",
        "tu,tue,tues,tuesday",
        "w,we,wed,weds,wendesday,wedesday,wednesay,wednesday,wedsday,wedsnday,wendsay,wensday",
        "th,thu,thur,thusday,thurs,thursday",
        "f,fr,fri,friday",
        "sa,sat,saturday",
    };
    for (int i = 0; i < 7; ++i)
        if (QString::fromLatin1(aliases[i]).split(QLatin1Char(',')).contains(w))
            return i + 1;
    return 0;
}

int month_from_name(const QString& word)
{
    const QString w = word.trimmed().toLower();
    if (w.size() <= 2)
        return 0;
    static const char* const months[12] = {"jan", "feb", "mar", "apr", "may", "jun",
                                           "jul", "aug", "sep", "oct", "nov", "dec"};
    const QString first = w.left(3);
    for (int i = 0; i < 12; ++i)
        if (first == QLatin1String(months[i]))
            return i + 1;
    return 0;
}

parsed_date parse_date(const QString& text, const QString& short_date_pattern, stored_date reference)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.toLower() == QLatin1String("none"))
        return fail();
    reference = date_of(reference);

    const QStringList words = split_digit_runs(trimmed);
    bool month_marked = false;
    bool weekday_marked = false;
    for (const QString& w : words) {
        if (month_from_name(w) != 0)
            month_marked = true;
        else if (weekday_from_name(w) != 0)
            weekday_marked = true;
    }
    if (weekday_marked)
        if (auto r = weekday_phrase(trimmed, reference))
            return *r;
    if (month_marked) {
        const month_reading r = month_phrase(words, reference);
        if (!r.go_on)
            return r.result;
    }
    if (auto r = keyword_phrase(words, reference))
        return *r;
    return numeric_date(trimmed, short_date_pattern, reference);
}

time_of_day parse_time_of_day(const QString& text, bool twenty_four_hour)
{
    const QStringList words = split_at(text.trimmed(), QStringLiteral(":."));
    if (words.isEmpty())
        return -1;

    // The number of a word (its first run of digits) and what follows it.
    struct reading {
        std::int64_t number = 0;
        int digits = 0;
        QString rest;
    };
    auto read = [](const QString& word) {
        reading r;
        int i = 0;
        while (i < word.size() && !is_digit(word[i]))
            ++i;
        const int start = i;
        r.number = digit_run(word, i);
        r.digits = i - start;
        r.rest = word.mid(i).trimmed().toLower();
        return r;
    };

    std::int64_t hour = 0;
    std::int64_t minute = 0;
    bool bare = false;
    QString marker;
    if (words.size() == 1) {
        const reading r = read(words[0]);
        if (r.digits == 1 || r.digits == 2) {
            hour = r.number;
            if (hour < 1 || hour > 24)
                return -1;
            bare = hour <= 12 && !words[0].trimmed().startsWith(QLatin1Char('0'));
        } else if (r.digits == 3 || r.digits == 4) {
            hour = r.number / 100;
            minute = r.number % 100;
        } else if (r.digits >= 5) {
            return -1;  // five or more digits name no time of day
        }
        marker = r.rest;
    } else {
        const reading first = read(words[0]);
        const reading second = read(words[1]);
        hour = first.number;
        minute = second.number;
        const QString head = words[0].trimmed();
        bare = hour <= 12 && !head.isEmpty() && !head.startsWith(QLatin1Char('0'));
        marker = words.size() >= 3 ? read(words[2]).rest : second.rest;
    }

    static const QStringList pm = {"p", "pm", "p.m", "pm.", "p.m."};
    static const QStringList am = {"a", "am", "a.m", "am.", "a.m."};
    if (!marker.isEmpty()) {
        if (pm.contains(marker)) {
            if (hour < 12)
                hour += 12;
        } else if (am.contains(marker)) {
            if (hour == 12)
                hour = 0;
        } else {
            return -1;
        }
    } else if (bare && !twenty_four_hour && hour <= 12) {
        hour += 12;
    }
    const std::int64_t seconds = hour * 3600 + minute * 60;
    if (seconds > INT_MAX)
        return -1;  // too large to be a time of day
    return static_cast<time_of_day>(seconds);
}

std::optional<duration> parse_duration_checked(const QString& input)
{
    const QString text = input.trimmed();
    if (!std::any_of(text.begin(), text.end(), [](QChar c) { return is_digit(c); }))
        return std::nullopt;

    std::int64_t days = 0, hours = 0, minutes = 0, seconds = 0;
    const bool unit_form = std::any_of(text.begin(), text.end(), [](QChar c) {
        return !is_digit(c) && !duration_separators.contains(c);
    });
    bool clock_form = false;
    if (!unit_form) {
        for (int i = 0; i + 1 < text.size(); ++i)
            if (duration_separators.contains(text[i]) && is_digit(text[i + 1]))
                clock_form = true;
    }

    if (unit_form) {
        QChar last_unit;
        int i = 0;
        while (i < text.size()) {
            if (!is_digit(text[i])) {
                ++i;
                continue;
            }
            const std::int64_t n = digit_run(text, i);
            int j = i;
            while (j < text.size() && !text[j].isLetter())
                ++j;
            if (j >= text.size()) {
                // A last number without a letter takes the unit after the previous one.
                const char16_t u = last_unit.toLower().unicode();
                if (u == u'h')
                    minutes = n;
                else if (u == u'm')
                    seconds = n;
                else if (u == u'd')
                    days = n;
                else if (u == u's')
                    seconds += n;
                else
                    minutes = n;
                break;
            }
            const QChar letter = text[j].toLower();
            switch (letter.unicode()) {
            case u'd': days = n; last_unit = letter; break;
            case u'h': hours = n; last_unit = letter; break;
            case u'm': minutes = n; last_unit = letter; break;
            case u's': seconds = n; last_unit = letter; break;
            default: break;  // a number with another letter is dropped
            }
            i = j + 1;
            while (i < text.size() && text[i].isLetter())
                ++i;
        }
    } else if (clock_form) {
        bool hours_set = false, minutes_set = false, colon_seen = false;
        int i = 0;
        while (i < text.size()) {
            if (!is_digit(text[i])) {
                ++i;
                continue;
            }
            const std::int64_t n = digit_run(text, i);
            if (i >= text.size()) {
                if (!hours_set && !minutes_set)
                    hours = n;
                else if (hours_set && !minutes_set)
                    minutes = n;
                else
                    seconds = n;
                break;
            }
            const QChar sep = text[i];
            if (sep == QLatin1Char(':') && !colon_seen) {
                hours = n;
                hours_set = true;
                colon_seen = true;
            } else if (sep == QLatin1Char(':') || sep == QLatin1Char('.')) {
                minutes = n;
                minutes_set = true;
            }
        }
    } else {
        int i = 0;
        while (i < text.size() && !is_digit(text[i]))
            ++i;
        minutes = digit_run(text, i);
    }
    const std::int64_t total = ((days * 24 + hours) * 60 + minutes) * 60 + seconds;
    if (total < 0 || total > INT_MAX)
        return std::nullopt;  // longer than any duration can hold
    return static_cast<duration>(total);
}

duration parse_duration(const QString& text) { return parse_duration_checked(text).value_or(0); }

}  // namespace qm::time
