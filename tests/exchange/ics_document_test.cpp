// The iCalendar reader and writer: a file in another program's style, bad
// and truncated files, the repetition rules, and round trips through real
// files (read back by this reader and, where installed, by Python's
// icalendar module).

#include "exchange/ics_backend.h"
#include "exchange/ics_document.h"
#include "support/test_support.h"
#include "time/calendar.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace qm::exchange {
namespace {

time::stored_date D(int y, int m, int d) { return time::make_date(y, m, d); }

QByteArray calendar(const QByteArray& body)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//Calendar//EN\r\n" + body + "END:VCALENDAR\r\n";
}

ics_document parsed(const QByteArray& text)
{
    ics_document d;
    QString error;
    EXPECT_TRUE(d.parse(text, error)) << error.toStdString();
    return d;
}

// A calendar as another program writes it: its own zone, folded lines,
// escapes, a repeating event with a left-out day and a changed occurrence,
// an all-day event, a to-do, and properties this program does not know.
const QByteArray other_program = calendar(
    "X-WR-CALNAME:Family\r\n"
    "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"
    "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nTZNAME:CEST\r\nDTSTART:19700329T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nTZNAME:CET\r\nDTSTART:19701025T030000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
    "BEGIN:VEVENT\r\nUID:weekly-1@other\r\nDTSTAMP:20260101T000000Z\r\n"
    "DTSTART;TZID=Europe/Berlin:20260309T100000\r\nDTEND;TZID=Europe/Berlin:20260309T110000\r\n"
    "RRULE:FREQ=WEEKLY;BYDAY=MO,WE;UNTIL=20260430T080000Z\r\n"
    "EXDATE;TZID=Europe/Berlin:20260311T100000\r\n"
    "SUMMARY:Team meeting\\, weekly\r\nLOCATION:Room 4\r\n"
    "DESCRIPTION:First line\\nsecond line with a long text that another program folds at seventy-\r\n"
    " five octets\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:weekly-1@other\r\nRECURRENCE-ID;TZID=Europe/Berlin:20260316T100000\r\n"
    "DTSTART;TZID=Europe/Berlin:20260316T140000\r\nDTEND;TZID=Europe/Berlin:20260316T150000\r\n"
    "SUMMARY:Team meeting (moved)\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:holiday@other\r\nDTSTART;VALUE=DATE:20260320\r\nDTEND;VALUE=DATE:20260321\r\n"
    "SUMMARY:Holiday\r\nEND:VEVENT\r\n"
    "BEGIN:VTODO\r\nUID:todo@other\r\nSUMMARY:Not an appointment\r\nEND:VTODO\r\n"
    "BEGIN:VEVENT\r\nUID:utc@other\r\nDTSTART:20260312T120000Z\r\nDURATION:PT30M\r\nSUMMARY:Call\r\n"
    "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT10M\r\nDESCRIPTION:Call\r\nEND:VALARM\r\nEND:VEVENT\r\n");

TEST(ics_document, reads_a_calendar_written_by_another_program)
{
    const ics_document d = parsed(other_program);
    EXPECT_TRUE(d.problems().empty());
    EXPECT_EQ(d.calendar_name(), "Family");
    ASSERT_EQ(d.items().size(), 4u);
    const calendar_item& weekly = d.items()[0];
    EXPECT_EQ(weekly.subject, "Team meeting, weekly");
    EXPECT_EQ(weekly.body, "First line\nsecond line with a long text that another program folds at seventy-five octets");
    EXPECT_EQ(weekly.entry_id, "weekly-1@other");
    // The tests run in UTC: 10:00 in Berlin in March is 09:00 here.
    EXPECT_EQ(weekly.start, D(2026, 3, 9) + 9 * 3600);
    EXPECT_EQ(weekly.end, D(2026, 3, 9) + 10 * 3600);
    ASSERT_TRUE(weekly.recurrence);
    EXPECT_EQ(weekly.recurrence->type, time::recurrence_kind::weekly);
    EXPECT_EQ(weekly.recurrence->param1, time::weekday_bit::monday | time::weekday_bit::wednesday);
    EXPECT_EQ(weekly.recurrence->param2, 1);
    EXPECT_EQ(weekly.recurrence->ending_date, D(2026, 4, 30));
    EXPECT_EQ(weekly.exceptions, (std::vector<time::stored_date>{D(2026, 3, 11), D(2026, 3, 16)}))
        << "the left-out day and the day of the changed occurrence";

    const calendar_item& moved = d.items()[1];
    EXPECT_EQ(moved.subject, "Team meeting (moved)");
    EXPECT_FALSE(moved.recurrence);
    EXPECT_EQ(moved.entry_id, "weekly-1@other#20260316T100000");
    EXPECT_TRUE(d.items()[2].all_day);
    EXPECT_EQ(d.items()[3].start, D(2026, 3, 12) + 12 * 3600);
    EXPECT_EQ(d.items()[3].end, D(2026, 3, 12) + 12 * 3600 + 1800);
}

TEST(ics_document, bad_and_truncated_files_give_the_items_they_can_with_the_line_of_each_other)
{
    const QByteArray good = "BEGIN:VEVENT\r\nUID:good\r\nDTSTART:20260312T120000Z\r\nSUMMARY:Good\r\nEND:VEVENT\r\n";
    struct row {
        const char* what;
        QByteArray text;
        int items;
        QStringList problems;  // each problem's text, in order
    } rows[] = {
        {"truncated in an event", calendar(good) .left(calendar(good).size() - 40) , 0,
         {"line 4: the file ends before this VEVENT does"}},
        {"truncated after a good event", "BEGIN:VCALENDAR\r\n" + good + "BEGIN:VEVENT\r\nUID:x\r\nSUMMARY:Half", 1,
         {"line 7: the file ends before this VEVENT does"}},
        {"no start", calendar("BEGIN:VEVENT\r\nUID:a\r\nSUMMARY:No start\r\nEND:VEVENT\r\n" + good), 1,
         {"line 4: its start time cannot be read"}},
        {"a start that is no time", calendar("BEGIN:VEVENT\r\nUID:a\r\nDTSTART:tomorrow\r\nSUMMARY:Bad\r\nEND:VEVENT\r\n" + good),
         1, {"line 4: its start time cannot be read (Can't parse as DATE-TIME value in DTSTART property. Removing "
             "entire property: tomorrow)"}},
        {"a year out of range", calendar("BEGIN:VEVENT\r\nUID:a\r\nDTSTART:18000101T100000Z\r\nEND:VEVENT\r\n" + good), 1,
         {"line 4: its start time cannot be read (no date between 1970 and 2999)"}},
        {"mismatched END", calendar("BEGIN:VEVENT\r\nUID:a\r\nBEGIN:VALARM\r\nEND:VEVENT\r\nEND:VALARM\r\n" + good), 1,
         {"line 4: the event's BEGIN and END lines do not match"}},
        {"an empty file", "", 0, {}},
        {"lines without the calendar's END", "BEGIN:VCALENDAR\n" + QByteArray(good).replace("\r\n", "\n"), 1, {}},
    };
    for (const row& r : rows) {
        ics_document d;
        QString error;
        EXPECT_TRUE(d.parse(r.text, error)) << r.what;
        EXPECT_EQ(static_cast<int>(d.items().size()), r.items) << r.what;
        QStringList problems;
        for (const item_problem& p : d.problems())
            problems << p.message;
        EXPECT_EQ(problems, r.problems) << r.what;
    }
    ics_document d;
    QString error;
    EXPECT_FALSE(d.parse("hello\nworld", error));
    EXPECT_EQ(error, "The file is not an iCalendar file: it has no BEGIN:VCALENDAR line.");
    // Bytes of any kind never crash the reader.
    QByteArray junk;
    for (int i = 0; i < 5000; ++i)
        junk += static_cast<char>((i * 7919) % 256);
    d.parse("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n" + junk + "\r\nEND:VEVENT\r\n", error);
    QByteArray deep = "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n";
    for (int i = 0; i < 5000; ++i)
        deep += "BEGIN:X\r\n";
    d.parse(deep, error);
}

TEST(ics_document, repetition_rules)
{
    namespace k = time::recurrence_kind;
    struct row {
        QByteArray rule;
        int type;  // -1: kept only in its calendar
        int p1, p2, p3;
        time::stored_date end;
    } rows[] = {
        {"FREQ=DAILY;INTERVAL=3", k::daily, 3, 0, 0, 0},
        {"FREQ=DAILY;COUNT=5", k::daily, 1, 0, 0, D(2026, 3, 13)},
        {"FREQ=WEEKLY", k::weekly, time::weekday_bit::monday, 1, 0, 0},
        {"FREQ=WEEKLY;INTERVAL=2;BYDAY=TU,FR;UNTIL=20261231T235959Z", k::weekly,
         time::weekday_bit::tuesday | time::weekday_bit::friday, 2, 0, D(2026, 12, 31)},
        {"FREQ=MONTHLY", k::monthly_day, 9, 1, 0, 0},
        {"FREQ=MONTHLY;BYMONTHDAY=-1", k::monthly_day, time::last_day_of_month, 1, 0, 0},
        {"FREQ=MONTHLY;INTERVAL=2;BYDAY=2TU", k::monthly_weekday, 2, 3, 2, 0},
        {"FREQ=MONTHLY;BYDAY=FR;BYSETPOS=-1", k::monthly_weekday, time::last_position, 6, 1, 0},
        {"FREQ=YEARLY", k::yearly_date, 9, 3, 0, 0},
        {"FREQ=YEARLY;BYMONTH=11;BYDAY=4TH", k::yearly_weekday, 4, 5, 11, 0},
        {"FREQ=HOURLY", -1, 0, 0, 0, 0},
        {"FREQ=MONTHLY;BYDAY=MO,TU", -1, 0, 0, 0, 0},
        {"FREQ=YEARLY;INTERVAL=2", -1, 0, 0, 0, 0},
        {"FREQ=DAILY;BYHOUR=9,17", -1, 0, 0, 0, 0},
    };
    for (const row& r : rows) {
        const ics_document d = parsed(calendar("BEGIN:VEVENT\r\nUID:r\r\nDTSTART:20260309T100000\r\nRRULE:" + r.rule +
                                               "\r\nSUMMARY:R\r\nEND:VEVENT\r\n"));
        ASSERT_EQ(d.items().size(), 1u) << r.rule.constData();
        const calendar_item& i = d.items()[0];
        if (r.type < 0) {
            EXPECT_FALSE(i.recurrence) << r.rule.constData();
            EXPECT_EQ(i.notes.size(), 1) << r.rule.constData();
            continue;
        }
        ASSERT_TRUE(i.recurrence) << r.rule.constData() << " " << i.notes.join(" ").toStdString();
        EXPECT_EQ(i.recurrence->type, r.type) << r.rule.constData();
        EXPECT_EQ(i.recurrence->param1, r.p1) << r.rule.constData();
        EXPECT_EQ(i.recurrence->param2, r.p2) << r.rule.constData();
        EXPECT_EQ(i.recurrence->param3, r.p3) << r.rule.constData();
        EXPECT_EQ(i.recurrence->ending_date, r.end) << r.rule.constData();
    }
}

calendar_item sample(const QString& guid, const QString& subject, time::stored_time start)
{
    calendar_item i;
    i.guid = guid;
    i.subject = subject;
    i.start = start;
    i.end = start + 5400;
    return i;
}

TEST(ics_document, what_is_written_reads_back_the_same)
{
    std::vector<calendar_item> written = {
        sample("g1", QStringLiteral("Quotes \"here\", semi; back\\slash"), D(2026, 3, 12) + 9 * 3600),
        sample("g2", QStringLiteral("Ünïcödé 日本語 — a name long enough that its line is folded, well past seventy-five octets"),
               D(2026, 3, 13) + 17 * 3600),
        sample("g3", QStringLiteral("Weekly"), D(2026, 3, 9) + 8 * 3600),
    };
    written[0].body = QStringLiteral("Line one\nline two\n\nafter an empty line");
    time::recurrence p;
    p.type = time::recurrence_kind::weekly;
    p.param1 = time::weekday_bit::monday | time::weekday_bit::thursday;
    p.param2 = 2;
    p.starting_date = D(2026, 3, 9);
    p.ending_date = D(2026, 6, 29);
    written[2].recurrence = p;
    written[2].exceptions = {D(2026, 3, 23)};

    ics_document d;
    for (calendar_item& i : written)
        d.write(i);
    const QByteArray text = d.serialize();
    for (const QByteArray& line : text.split('\n'))
        EXPECT_LE(line.size(), 76) << "a line longer than 75 octets: " << line.constData();
    const ics_document back = parsed(text);
    ASSERT_EQ(back.items().size(), written.size());
    for (std::size_t n = 0; n < written.size(); ++n) {
        const calendar_item& a = written[n];
        const calendar_item& b = back.items()[n];
        EXPECT_EQ(b.subject, a.subject);
        EXPECT_EQ(b.body, a.body);
        EXPECT_EQ(b.start, a.start);
        EXPECT_EQ(b.end, a.end);
        EXPECT_EQ(b.guid, a.guid);
        EXPECT_EQ(b.recurrence.has_value(), a.recurrence.has_value());
        if (a.recurrence)
            EXPECT_TRUE(b.recurrence->same_pattern(*a.recurrence));
        EXPECT_EQ(b.exceptions, a.exceptions);
    }
}

TEST(ics_document, writing_over_an_event_keeps_what_this_program_does_not_write)
{
    ics_document d = parsed(other_program);
    calendar_item call = d.items()[3];
    call.subject = QStringLiteral("Call back");
    d.write(call);
    const QByteArray text = d.serialize();
    EXPECT_TRUE(text.contains("BEGIN:VALARM\r\nACTION:DISPLAY")) << "the event's alarm stays";
    EXPECT_TRUE(text.contains("SEQUENCE:1"));
    EXPECT_TRUE(text.contains("BEGIN:VTODO\r\nUID:todo@other\r\nSUMMARY:Not an appointment\r\nEND:VTODO\r\n"));
    EXPECT_TRUE(text.contains("LOCATION:Room 4"));
    const ics_document back = parsed(text);
    ASSERT_EQ(back.items().size(), 4u) << text.constData();
    EXPECT_EQ(back.items()[3].subject, "Call back");
    EXPECT_EQ(back.items()[0].subject, "Team meeting, weekly");
}

// Python's icalendar module, a reader of another program, finds what was
// exported (skipped where it is not installed).
TEST(ics_document, another_reader_opens_the_written_file)
{
    // Debian's own Python, which the module is installed for, before any other.
    QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    if (python.isEmpty())
        python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty() || QProcess::execute(python, {"-c", "import icalendar"}) != 0)
        GTEST_SKIP() << "python3-icalendar is not installed";
    test::temp_folder folder;
    const QString path = folder.file("week.ics");
    ics_backend backend({path});
    calendar_item a = sample("", QStringLiteral("Café meeting, \"big\""), D(2026, 3, 12) + 9 * 3600);
    a.guid = QStringLiteral("guid-1");
    QString error;
    ASSERT_TRUE(backend.write_item(ics_backend::calendar_of(path), a, error));
    ASSERT_TRUE(backend.finish(error)) << error.toStdString();
    QProcess p;
    p.start(python, {"-c",
                     "import sys, icalendar\n"
                     "c = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())\n"
                     "for e in c.walk('VEVENT'):\n"
                     "    print(e.get('UID'), e.get('SUMMARY'), e.decoded('DTSTART').isoformat(), sep='|')\n",
                     path});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()).trimmed(),
              QStringLiteral("guid-1|Café meeting, \"big\"|2026-03-12T09:00:00+00:00"));
}

}  // namespace
}  // namespace qm::exchange
