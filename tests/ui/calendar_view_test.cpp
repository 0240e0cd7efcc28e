// The calendars driven with the mouse on a temporary data folder: boxes
// dragged, resized and drawn, to-dos dropped on a slot, each one undo step,
// then read back from the file.

#include "support/test_support.h"
#include "app/settings_document.h"
#include "history/history.h"
#include "schedule/schedule_store.h"
#include "time/format.h"
#include "ui/calendar_print.h"
#include "ui/calendar_task_list.h"
#include "ui/calendar_view.h"
#include "ui/commands.h"
#include "ui/planner.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

constexpr int hour = 3600;

struct calendar_fixture : ::testing::Test {
    // Wednesday 11 March 2026, 10:00.
    fixed_clock clock{time::make_date(2026, 3, 11) + 10 * hour};
    temp_folder folder;
    std::unique_ptr<ui::planner> p;

    void start()
    {
        p = std::make_unique<ui::planner>(portable_locator(folder.path()));
        p->start();
        p->frame().resize(1280, 860);
        p->frame().show();
        p->frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&p->frame()));
        settle();
    }
    void stop()
    {
        p->frame().close();
        p.reset();
    }
    static void settle()
    {
        for (int i = 0; i < 4; ++i)
            QCoreApplication::processEvents();
    }
    ui::calendar_view& week() { return *p->week_calendar(); }
    ui::calendar_view& day_calendar() { return *p->day_calendar(); }
    QWidget* surface(ui::calendar_view& v) { return v.grid().viewport(); }

    model::task_ptr add_appointment(const QString& name, time::stored_date date, int start, int length)
    {
        auto t = std::make_shared<model::task>();
        t->name = name;
        t->appointment = true;
        t->date = date;
        t->appointment_start = start;
        t->appointment_duration = length;
        p->commands().add(t);
        settle();
        return t;
    }
    model::task_ptr add_todo(const QString& name, time::stored_date date, int estimate)
    {
        auto t = std::make_shared<model::task>();
        t->name = name;
        t->date = date;
        t->estimate = estimate;
        p->commands().add(t);
        settle();
        return t;
    }
    const ui::calendar_item* box_of(ui::calendar_view& v, std::int32_t task, int kind = ui::calendar_kind::appointment)
    {
        for (const ui::calendar_item& i : v.grid().items())
            if (i.task == task && i.kind == kind)
                return &i;
        return nullptr;
    }
    void drag(QWidget* w, QPoint from, QPoint to)
    {
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, from);
        const int steps = 6;
        for (int i = 1; i <= steps; ++i) {
            const QPoint at = from + (to - from) * i / steps;
            QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(w, &move);
        }
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, to);
        settle();
    }
    // The row of a task in the file, after the writer has drained.
    std::vector<QStringList> file_rows(const QString& where)
    {
        stop();
        auto db = open_file(folder.file("ferncastle.db"));
        return query(*db, QStringLiteral("SELECT name, date, appointment, appointment_start, appointment_duration "
                                         "FROM Tasks WHERE ") +
                              where);
    }
};

QStringList row(const QString& name, time::stored_date date, int appointment, int start, int length)
{
    return {name, QString::number(date), QString::number(appointment), QString::number(start), QString::number(length)};
}

}  // namespace

TEST_F(calendar_fixture, anAppointmentDraggedInTheWeekKeepsItsLengthAndUndoesInOneStep)
{
    start();
    const time::stored_date wednesday = time::make_date(2026, 3, 11);
    model::task_ptr t = add_appointment("Dentist", wednesday, 10 * hour, 90 * 60);
    p->frame().on_command(ui::cmd::calendar);
    settle();
    ASSERT_EQ(p->frame().active_view(), &week());
    const time::stored_date first = week().first_day();
    const int column = static_cast<int>((wednesday - first) / 86400);
    ASSERT_TRUE(column >= 0 && column < 6);
    week().grid().scroll_to_second(8 * hour);
    settle();
    const ui::calendar_item* box = box_of(week(), t->id);
    ASSERT_NE(box, nullptr);
    const QRect r = week().grid().item_rect(*box);

    // Grabbed 30 minutes into the box, dropped one column on at 14:30.
    const QPoint from(r.center().x(), week().grid().point_of(column, 10 * hour + 1800).y());
    const QPoint to(week().grid().point_of(column + 1, 14 * hour + 1800).x(),
                    week().grid().point_of(column + 1, 14 * hour + 1800).y());
    const std::size_t entries = p->history().entries().size();
    drag(surface(week()), from, to);
    EXPECT_EQ(t->date, time::add_days(wednesday, 1));
    EXPECT_EQ(t->appointment_start, 14 * hour);
    EXPECT_EQ(t->appointment_duration, 90 * 60);
    ASSERT_EQ(p->history().entries().size(), entries + 1);
    EXPECT_TRUE(p->history().entries().back()->change_text().contains(QStringLiteral("Dentist")));
    ASSERT_NE(box_of(week(), t->id), nullptr);
    EXPECT_EQ(box_of(week(), t->id)->day, column + 1);

    // Resizing its end by an hour changes only the length.
    const QRect moved = week().grid().item_rect(*box_of(week(), t->id));
    drag(surface(week()), QPoint(moved.center().x(), moved.bottom() - 1),
         QPoint(moved.center().x(), week().grid().point_of(column + 1, 16 * hour + 1800).y()));
    EXPECT_EQ(t->appointment_start, 14 * hour);
    EXPECT_EQ(t->appointment_duration, 150 * 60);

    p->frame().on_command(ui::cmd::undo);
    settle();
    EXPECT_EQ(t->appointment_duration, 90 * 60);
    p->frame().on_command(ui::cmd::undo);
    settle();
    EXPECT_EQ(t->date, wednesday);
    EXPECT_EQ(t->appointment_start, 10 * hour);
    EXPECT_EQ(box_of(week(), t->id)->day, column);
    p->frame().on_command(ui::cmd::redo);
    settle();
    EXPECT_EQ(file_rows(QStringLiteral("name = 'Dentist'")),
              (std::vector<QStringList>{row("Dentist", time::add_days(wednesday, 1), 1, 14 * hour, 90 * 60)}));
}

TEST_F(calendar_fixture, draggingOverEmptyTimeAndTypingANameMakesAnAppointment)
{
    start();
    p->frame().show_view(ui::calendar_view::day_id);
    settle();
    ASSERT_EQ(p->frame().active_view(), &day_calendar());
    day_calendar().grid().scroll_to_second(8 * hour);
    settle();
    const ui::calendar_grid& g = day_calendar().grid();
    drag(surface(day_calendar()), g.point_of(0, 15 * hour + 60), g.point_of(0, 16 * hour + 20 * 60));
    QLineEdit* editor = day_calendar().name_editor();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "Review");
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    EXPECT_EQ(day_calendar().name_editor(), nullptr);

    // Escape leaves the next range without an appointment.
    drag(surface(day_calendar()), g.point_of(0, 11 * hour + 60), g.point_of(0, 11 * hour + 40 * 60));
    ASSERT_NE(day_calendar().name_editor(), nullptr);
    QTest::keyClicks(day_calendar().name_editor(), "Not this");
    QTest::keyClick(day_calendar().name_editor(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(day_calendar().name_editor(), nullptr);

    EXPECT_EQ(file_rows(QStringLiteral("appointment = 1")),
              (std::vector<QStringList>{row("Review", time::today(), 1, 15 * hour, 90 * 60)}));
}

TEST_F(calendar_fixture, aToDoDroppedOnASlotBecomesAnAppointmentOrIsScheduledThere)
{
    start();
    const time::stored_date today = time::today();
    model::task_ptr report = add_todo("Write report", today, 45 * 60);
    model::task_ptr call = add_todo("Call plumber", today, 0);
    p->frame().show_view(ui::calendar_view::day_id);
    settle();
    ui::calendar_view& v = day_calendar();
    ASSERT_TRUE(v.task_list_shown());
    ASSERT_GE(v.task_list().row_of(report->id), 0);
    ASSERT_GE(v.task_list().row_of(call->id), 0);
    v.grid().scroll_to_second(12 * hour);
    settle();

    auto drop = [&](std::int32_t id, int second, Qt::KeyboardModifiers mods) {
        QMimeData data;
        data.setData(QLatin1String(ui::calendar_drag_mime()), QByteArray::number(id) + '\n');
        const QPointF at = v.grid().point_of(0, second + 60);
        QDragEnterEvent enter(at.toPoint(), Qt::MoveAction, &data, Qt::LeftButton, mods);
        QApplication::sendEvent(surface(v), &enter);
        QDragMoveEvent move(at.toPoint(), Qt::MoveAction, &data, Qt::LeftButton, mods);
        QApplication::sendEvent(surface(v), &move);
        EXPECT_TRUE(move.isAccepted());
        QDropEvent drop_event(at, Qt::MoveAction, &data, Qt::LeftButton, mods);
        QApplication::sendEvent(surface(v), &drop_event);
        settle();
    };
    const std::size_t entries = p->history().entries().size();
    drop(report->id, 13 * hour, Qt::NoModifier);
    EXPECT_TRUE(report->appointment);
    EXPECT_EQ(report->appointment_start, 13 * hour);
    EXPECT_EQ(report->appointment_duration, 45 * 60);  // its estimate
    EXPECT_EQ(v.task_list().row_of(report->id), -1);   // no longer waiting for a time
    ASSERT_NE(box_of(v, report->id), nullptr);
    EXPECT_EQ(p->history().entries().size(), entries + 1);

    // With Ctrl it stays a to-do, held back until the slot's time.
    drop(call->id, 16 * hour + 15 * 60, Qt::ControlModifier);
    EXPECT_FALSE(call->appointment);
    EXPECT_EQ(call->appointment_start, 16 * hour + 15 * 60);
    EXPECT_EQ(v.task_list().row_of(call->id), -1);

    p->frame().on_command(ui::cmd::undo);
    settle();
    EXPECT_EQ(call->appointment_start, -1);
    EXPECT_GE(v.task_list().row_of(call->id), 0);
    EXPECT_EQ(file_rows(QStringLiteral("name IN ('Write report', 'Call plumber') ORDER BY name")),
              (std::vector<QStringList>{row("Call plumber", today, 0, -1, -1),
                                        row("Write report", today, 1, 13 * hour, 45 * 60)}));
}

TEST_F(calendar_fixture, boxesOfEveryKindAreDrawnWithTheirOwnStyleInALightAndADarkPalette)
{
    start();
    const time::stored_date today = time::today();
    model::task_ptr meeting = add_appointment("Meeting", today, 11 * hour, hour);
    model::task_ptr todo = add_todo("Plan", today, 30 * 60);
    p->commands().modify(*todo, [&](model::task& n) {
        n.tracked_times.push_back(store::tracked_time_record{0, 0, 0, today + 8 * hour, 40 * 60, QString()});
    });
    settle();
    p->frame().show_view(ui::calendar_view::week_id);
    week().refresh();
    settle();
    ASSERT_NE(box_of(week(), meeting->id), nullptr);
    ASSERT_NE(box_of(week(), todo->id, ui::calendar_kind::tracked), nullptr);
    for (bool dark : {false, true}) {
        QPalette pal = QApplication::palette();
        if (dark) {
            pal.setColor(QPalette::Base, QColor(30, 30, 34));
            pal.setColor(QPalette::Window, QColor(40, 40, 44));
            pal.setColor(QPalette::Text, QColor(230, 230, 230));
            pal.setColor(QPalette::WindowText, QColor(230, 230, 230));
        }
        week().grid().setPalette(pal);
        const QImage shot = week().grid().viewport()->grab().toImage();
        const QRect r = week().grid().item_rect(*box_of(week(), meeting->id));
        const QColor inside = shot.pixelColor(r.center().x(), r.top() + r.height() - 4);
        // A box stands out from the empty grid but keeps the palette's lightness.
        EXPECT_NE(inside, pal.color(QPalette::Base));
        EXPECT_EQ(inside.lightness() < 128, dark) << "box colour " << inside.name().toStdString();
    }
}

TEST_F(calendar_fixture, trackedTimeReassignedFromItsBoxMovesToTheOtherTask)
{
    start();
    const time::stored_date today = time::today();
    model::task_ptr a = add_todo("Emails", today, 0);
    model::task_ptr b = add_todo("Budget", today, 0);
    p->commands().modify(*a, [&](model::task& n) {
        n.tracked_times.push_back(store::tracked_time_record{0, 0, 0, today + 8 * hour, 30 * 60, QString()});
    });
    settle();
    p->frame().show_view(ui::calendar_view::day_id);
    day_calendar().refresh();
    const ui::calendar_item* box = box_of(day_calendar(), a->id, ui::calendar_kind::tracked);
    ASSERT_NE(box, nullptr);
    const std::int32_t entry = box->entry;
    day_calendar().reassign_entry(entry, b);
    settle();
    EXPECT_TRUE(a->tracked_times.empty());
    ASSERT_EQ(b->tracked_times.size(), 1u);
    EXPECT_EQ(b->tracked_times[0].id, entry);
    EXPECT_NE(box_of(day_calendar(), b->id, ui::calendar_kind::tracked), nullptr);

    // A chosen empty range attached to a task becomes its tracked time.
    day_calendar().attach_range({0, 13 * hour, 13 * hour + 1800}, a);
    settle();
    ASSERT_EQ(a->tracked_times.size(), 1u);
    EXPECT_EQ(a->tracked_times[0].start, today + 13 * hour);
    EXPECT_EQ(a->tracked_times[0].duration, 1800);
    stop();
    auto db = open_file(folder.file("ferncastle.db"));
    EXPECT_EQ(query(*db, QStringLiteral("SELECT t.name, r.duration FROM TrackedTimes r JOIN Tasks t ON t.id = r.task "
                                        "ORDER BY r.start")),
              (std::vector<QStringList>{{"Budget", "1800"}, {"Emails", "1800"}}));
}

TEST_F(calendar_fixture, layoutsAreKeptInTheirOwnFiles)
{
    start();
    p->frame().show_view(ui::calendar_view::week_id);
    p->frame().on_command(ui::calendar_cmd::navigation);
    p->frame().on_command(ui::calendar_cmd::task_list);
    settle();
    EXPECT_TRUE(week().navigation_shown());
    EXPECT_FALSE(week().task_list_shown());
    week().grid().set_hour_height(64);
    stop();
    const app::settings_document doc = app::settings_document::load(folder.file("settings/calendar_week.ini"));
    EXPECT_EQ(doc.get_int(QStringLiteral("panes"), QStringLiteral("navigation"), -1), 1);
    EXPECT_EQ(doc.get_int(QStringLiteral("panes"), QStringLiteral("task_list"), -1), 0);
    EXPECT_EQ(doc.get_int(QStringLiteral("grid"), QStringLiteral("hour_height"), -1), 64);
    start();
    EXPECT_TRUE(week().navigation_shown());
    EXPECT_FALSE(week().task_list_shown());
    EXPECT_TRUE(day_calendar().task_list_shown());  // the day calendar keeps its own
}

TEST_F(calendar_fixture, aPrintedWeekNamesItsAppointmentsAndItsDates)
{
    start();
    const time::stored_date today = time::today();
    add_appointment("Quarterly review", today, 9 * hour, 2 * hour);
    add_appointment("Evening class", time::add_days(today, 1), 19 * hour, hour);  // after the working hours
    p->frame().show_view(ui::calendar_view::week_id);
    settle();
    EXPECT_TRUE(p->frame().command_action(ui::cmd::print_preview)->isEnabled());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageOrientation(QPageLayout::Landscape);
    const QString pdf = folder.file("week.pdf");
    printer.setOutputFileName(pdf);
    ui::print_calendar(week(), printer);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains(QStringLiteral("Quarterly review"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("Evening class"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(time::format_short_date(today))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("Page 1 of 1")));
}
