#include "tracking/quick_alarm.h"

#include "time/parse.h"

#include <QRegularExpression>

#include <algorithm>

namespace qm::tracking {
namespace {

struct word {
    QString text;
    int end = 0;  // just after the word in the line
};

std::vector<word> split_words(const QString& line)
{
    static const QRegularExpression separators(QStringLiteral("[ ,;!/?]+"));
    std::vector<word> out;
    int at = 0;
    while (at < line.size()) {
        const QRegularExpressionMatch m = separators.match(line, at, QRegularExpression::NormalMatch,
                                                           QRegularExpression::AnchorAtOffsetMatchOption);
        if (m.hasMatch()) {
            at = m.capturedEnd();
            continue;
        }
        const QRegularExpressionMatch next = separators.match(line, at);
        const int end = next.hasMatch() ? next.capturedStart() : static_cast<int>(line.size());
        out.push_back({line.mid(at, end - at), end});
        at = end;
    }
    return out;
}

QString rest_of(const QString& line, int from)
{
    static const QRegularExpression edges(QStringLiteral("^[ ,;!/?]+|[ ,;!/?]+$"));
    QString rest = line.mid(from);
    rest.remove(edges);
    return rest.trimmed();
}

}  // namespace

std::optional<quick_alarm> read_quick_alarm(const QString& line, time::stored_time now, bool twenty_four_hour)
{
    const QString text = line.trimmed();
    const std::vector<word> words = split_words(text);

    int consumed = 0;
    time::time_of_day at = -1;
    for (const word& w : words) {
        // The time reader takes a word without digits for midnight: here
        // such a word is the alarm's title.
        if (!std::any_of(w.text.begin(), w.text.end(), [](QChar c) { return c.isDigit(); }))
            break;
        const time::time_of_day t = time::parse_time_of_day(w.text, twenty_four_hour);
        if (t < 0)
            break;
        at = t;
        consumed = w.end;
    }
    if (at >= 0)
        return quick_alarm{time::date_of(now) + at, rest_of(text, consumed)};

    std::int64_t sum = 0;
    for (const word& w : words) {
        const std::optional<time::duration> d = time::parse_duration_checked(w.text);
        if (!d || *d <= 0)
            break;
        sum += *d;
        consumed = w.end;
    }
    if (sum == 0)
        return std::nullopt;
    return quick_alarm{now + sum, rest_of(text, consumed)};
}

}  // namespace qm::tracking
