#include "model/text_outline.h"

#include <QStringList>

namespace qm::model {
namespace {

// The width of a line's leading white space, a tab reaching the next
// multiple of four, so that tabs and spaces may be mixed.
int indent_width(const QString& line)
{
    int width = 0;
    for (QChar c : line) {
        if (c == QLatin1Char('\t'))
            width = (width / 4 + 1) * 4;
        else if (c == QLatin1Char(' ') || c == QChar(0xA0))
            ++width;
        else if (!c.isSpace())
            break;
    }
    return width;
}

// The number after "/id:", 0 when there is no positive number there.
std::int32_t id_after(const QString& text, int at)
{
    qint64 n = 0;
    int i = at;
    for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i) {
        n = n * 10 + (text[i].unicode() - '0');
        if (n > 0x7fffffff)
            return 0;
    }
    return i == at ? 0 : static_cast<std::int32_t>(n);
}

struct open_heading {
    int level;
    int line;
};
struct open_indent {
    int width;
    int line;
};

}  // namespace

QString outline_refusal(const QString& text)
{
    qsizetype control = 0;
    int lines = 1;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0)
            return QStringLiteral("The clipboard holds binary data, not text: nothing was pasted.");
        if (u == '\n')
            ++lines;
        else if (u < 32 && u != '\t' && u != '\r')
            ++control;
    }
    if (control * 20 > text.size())
        return QStringLiteral("The clipboard holds binary data, not text: nothing was pasted.");
    if (lines > outline_line_limit)
        return QStringLiteral("The text has %1 lines; at most %2 lines can be pasted as tasks at once.")
            .arg(lines)
            .arg(outline_line_limit);
    return QString();
}

outline read_outline(const QString& text, bool heading_mode)
{
    outline out;
    std::vector<open_heading> headings;
    std::vector<open_indent> indents;
    const QStringList raw = text.split(QLatin1Char('\n'));
    for (const QString& whole : raw) {
        const QString line = whole.trimmed();
        if (line.isEmpty())
            continue;
        outline_line l;
        l.text = line;
        const int index = static_cast<int>(out.lines.size());
        bool heading = false;
        if (heading_mode && line.startsWith(QLatin1Char('='))) {
            int n = 0;
            while (n < line.size() && line[n] == QLatin1Char('='))
                ++n;
            const qsizetype length = line.size() - 2 * qsizetype(n + 1);
            // Shorter than its two runs and their blanks: an ordinary line.
            if (length >= 0) {
                heading = true;
                l.kind = outline_line::heading;
                l.heading_level = n + 1;
                l.text = line.mid(n + 1, length);
            }
        }
        if (heading_mode && !heading && line.startsWith(QLatin1Char(':')) && !headings.empty()) {
            l.kind = outline_line::description;
            l.text = line.mid(1);
            l.parent = headings.back().line;
            out.lines.push_back(std::move(l));
            continue;
        }
        if (const int at = l.text.indexOf(QLatin1String("/id:")); at >= 0) {
            if (const std::int32_t id = id_after(l.text, at + 4); id > 0) {
                l.id_ref = id;
                l.text = l.text.left(std::max(0, at - 1));
            }
        }
        if (heading_mode) {
            if (heading) {
                while (!headings.empty() && headings.back().level >= l.heading_level)
                    headings.pop_back();
                l.parent = headings.empty() ? -1 : headings.back().line;
                headings.push_back({l.heading_level, index});
                indents.clear();
            } else {
                const int width = indent_width(whole);
                while (!indents.empty() && indents.back().width >= width)
                    indents.pop_back();
                l.parent = !indents.empty() ? indents.back().line : headings.empty() ? -1 : headings.back().line;
                indents.push_back({width, index});
            }
        }
        out.lines.push_back(std::move(l));
    }
    return out;
}

}  // namespace qm::model
