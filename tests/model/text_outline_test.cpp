// Plain text read as an outline of tasks: headings, description lines,
// indentation, "/id:" lines, and text that is no outline.

#include "model/text_outline.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace qm;
using model::outline_line;

namespace {

// "kind:text@parent" for each line; kind t task, h<level> heading, d description.
QStringList shape(const model::outline& o)
{
    QStringList out;
    for (const outline_line& l : o.lines) {
        QString kind = l.kind == outline_line::heading ? QStringLiteral("h%1").arg(l.heading_level)
                       : l.kind == outline_line::description ? QStringLiteral("d")
                                                             : QStringLiteral("t");
        QString s = kind + QLatin1Char(':') + l.text + QLatin1Char('@') + QString::number(l.parent);
        if (l.id_ref != 0)
            s += QStringLiteral("#%1").arg(l.id_ref);
        out << s;
    }
    return out;
}

TEST(text_outline, headings_description_and_levels)
{
    const QString text = QStringLiteral("= A =\r\nT1\n: a note\n== B ==\nT2\n= C =\n");
    EXPECT_EQ(shape(model::read_outline(text, true)),
              QStringList({"h2:A@-1", "t:T1@0", "d: a note@0", "h3:B@0", "t:T2@3", "h2:C@-1"}));
    // In plain mode every line is a task where the list puts it.
    EXPECT_EQ(shape(model::read_outline(text, false)),
              QStringList({"t:= A =@-1", "t:T1@-1", "t:: a note@-1", "t:== B ==@-1", "t:T2@-1", "t:= C =@-1"}));
    // The title keeps what lies inside the runs and their blanks.
    EXPECT_EQ(shape(model::read_outline(QStringLiteral("== Title =="), true)), QStringList({"h3:Title@-1"}));
}

TEST(text_outline, indentation_gives_levels)
{
    struct case_ {
        const char* what;
        QString text;
        QStringList shape;
    };
    const std::vector<case_> cases = {
        {"tabs", QStringLiteral("Trip\n\tBook\n\t\tTrain\n\tPack\nHome"),
         {"t:Trip@-1", "t:Book@0", "t:Train@1", "t:Pack@0", "t:Home@-1"}},
        {"two spaces", QStringLiteral("Trip\n  Book\n    Train\n  Pack"), {"t:Trip@-1", "t:Book@0", "t:Train@1", "t:Pack@0"}},
        {"four spaces and a tab mixed", QStringLiteral("Trip\n    Book\n\tPack\n\t    Train"),
         {"t:Trip@-1", "t:Book@0", "t:Pack@0", "t:Train@2"}},
        {"blank lines and CR LF", QStringLiteral("\r\nTrip\r\n\r\n\tBook\r\n   \r\n\tPack\r\n"),
         {"t:Trip@-1", "t:Book@0", "t:Pack@0"}},
        {"a shallower line closes deeper ones", QStringLiteral("A\n\tB\n\t\tC\n\t\t\tD\n\tE"),
         {"t:A@-1", "t:B@0", "t:C@1", "t:D@2", "t:E@0"}},
        {"indented first line", QStringLiteral("\t\tA\n\t\tB\n\t\t\tC"), {"t:A@-1", "t:B@-1", "t:C@1"}},
        {"under a heading", QStringLiteral("= H =\nA\n\tB\n= I =\n\tC"),
         {"h2:H@-1", "t:A@0", "t:B@1", "h2:I@-1", "t:C@3"}},
    };
    for (const case_& c : cases)
        EXPECT_EQ(shape(model::read_outline(c.text, true)), c.shape) << c.what;
    // Plain mode knows no levels.
    EXPECT_EQ(shape(model::read_outline(QStringLiteral("Trip\n\tBook"), false)), QStringList({"t:Trip@-1", "t:Book@-1"}));
}

TEST(text_outline, id_lines_and_odd_lines)
{
    struct case_ {
        const char* what;
        QString text;
        QStringList shape;
    };
    const std::vector<case_> cases = {
        {"a copied line", QStringLiteral("\t[ ] Report /id:7 /tag:x, y"), {"t:[ ] Report@-1#7"}},
        {"no number after /id:", QStringLiteral("Ask /id: later"), {"t:Ask /id: later@-1"}},
        {"/id: first", QStringLiteral("/id:12"), {"t:@-1#12"}},
        {"a number beyond the range", QStringLiteral("X /id:99999999999"), {"t:X /id:99999999999@-1"}},
        {"a heading shorter than its runs", QStringLiteral("=="), {"t:==@-1"}},
        {"a heading of runs only", QStringLiteral("=  ="), {"h2:@-1"}},
        {"a colon line without a heading", QStringLiteral(": lonely"), {"t:: lonely@-1"}},
        {"a heading with an id", QStringLiteral("= Plan /id:3 ="), {"h2:Plan@-1#3"}},
    };
    for (const case_& c : cases)
        EXPECT_EQ(shape(model::read_outline(c.text, true)), c.shape) << c.what;
}

TEST(text_outline, text_that_is_no_outline_is_refused)
{
    EXPECT_TRUE(model::outline_refusal(QStringLiteral("A\n\tB\n")).isEmpty());
    QString binary = QStringLiteral("PK");
    binary += QChar(0);
    binary += QStringLiteral("\x03\x04");
    EXPECT_FALSE(model::outline_refusal(binary).isEmpty());
    QString controls;
    for (int i = 0; i < 200; ++i)
        controls += QChar(i % 31 + 1);
    EXPECT_FALSE(model::outline_refusal(controls).isEmpty());
    const QString many = QStringLiteral("line\n").repeated(model::outline_line_limit + 1);
    EXPECT_TRUE(model::outline_refusal(many).contains(QStringLiteral("lines")));
    const QString enough = QStringLiteral("line\n").repeated(model::outline_line_limit - 1);
    EXPECT_TRUE(model::outline_refusal(enough).isEmpty());
}

}  // namespace
