#include "model/comments.h"

#include "time/format.h"

#include <QRegularExpression>

#include <algorithm>

namespace qm::model {

store::comment_record new_comment(int type, std::int32_t owner, time::stored_time at)
{
    store::comment_record c;
    c.type = type;
    c.associated_id = type == comment_type::task || type == comment_type::project ? owner : 0;
    c.time = at != 0 ? at : time::now();
    if (type == comment_type::day_note)
        c.time = time::date_of(c.time);
    return c;
}

time::stored_time free_comment_time(time::stored_date shown, time::stored_time now)
{
    shown = time::date_of(shown);
    if (shown == 0 || shown == time::date_of(now))
        return now;
    return shown + 12 * 3600;
}

comment_ptr day_note(const store::comment_facade& comments, time::stored_date date)
{
    for (const comment_ptr& c : comments.cache())
        if (c->type == comment_type::day_note && c->time == date)
            return c;
    return nullptr;
}

std::vector<comment_ptr> free_comments(const store::comment_facade& comments, time::stored_time from,
                                       time::stored_time to)
{
    std::vector<comment_ptr> out;
    for (const comment_ptr& c : comments.cache())
        if (c->type == comment_type::free_comment && c->time >= from && c->time < to)
            out.push_back(c);
    std::stable_sort(out.begin(), out.end(), [](const comment_ptr& a, const comment_ptr& b) {
        return a->time != b->time ? a->time < b->time : a->id < b->id;
    });
    return out;
}

QString comment_description(const store::comment_record& c, time::stored_date today)
{
    const time::stored_date day = time::date_of(c.time);
    const QString when = day == today ? QStringLiteral("at ")
                                      : QStringLiteral("on ") + time::format_short_date(day) + QStringLiteral(" at ");
    QString text = QStringLiteral("note %1%2").arg(when, time::format_time_of_day(c.time - day));
    if (!c.comment.isEmpty()) {
        // The history's rule: "by" opens the first clause, "and" every later one.
        text += text.contains(QLatin1Char('\n')) ? QStringLiteral("\r\nand ") : QStringLiteral("\r\nby ");
        text += c.comment;
    }
    return text;
}

QString day_note_change_text(time::stored_date date)
{
    return QStringLiteral("changing day note for %1").arg(time::format_short_date(date));
}

bool blank_comment(const QString& text) { return text.trimmed().isEmpty(); }

QString shown_comment(const QString& text, int max_chars)
{
    const QString trimmed = text.trimmed();
    const int line_end = trimmed.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    QString line = line_end < 0 ? trimmed : trimmed.left(line_end).trimmed();
    const bool more = line_end >= 0 || line.size() > max_chars;
    if (line.size() > max_chars)
        line = line.left(std::max(1, max_chars - 1)).trimmed();
    return more ? line + QChar(0x2026) : line;
}

}  // namespace qm::model
