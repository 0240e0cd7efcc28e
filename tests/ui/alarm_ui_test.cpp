// The alarms in the running planner under the offscreen platform: a fired
// alarm opens one window per screen and its snooze moves it; the
// notifications pane lists the day's alarms, deadlines and constraints with
// their countdowns; Add Alarm works from the frame in any view.

#include "support/test_support.h"
#include "time/calendar.h"
#include "time/format.h"
#include "ui/alarm_dialog.h"
#include "ui/alarm_service.h"
#include "ui/alarm_window.h"
#include "ui/day_view.h"
#include "ui/notifications_pane.h"
#include "ui/planner.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

struct quiet_actions : tracking::alarm_actions {
    QStringList calls;
    QString play_sound(const QString& p) override { return calls << "play " + p, QString(); }
    QString open_website(const QString& a) override { return calls << "web " + a, QString(); }
    QString open_file(const QString& f, const QString&) override { return calls << "open " + f, QString(); }
    QString run_program(const QString& f, const QString& p) override { return calls << "run " + f + " " + p, QString(); }
};

struct alarm_ui : ::testing::Test {
    const time::stored_date today = time::make_date(2026, 3, 11);
    std::int64_t utc = today + 9 * 3600;
    fixed_clock clock{utc};
    temp_folder folder;
    std::unique_ptr<ui::planner> p;

    void SetUp() override
    {
        p = std::make_unique<ui::planner>(portable_locator(folder.path()));
        p->start();
        p->frame().show();
    }
    void TearDown() override { p.reset(); }
    void at(std::int64_t t)
    {
        utc = t;
        clock.set(utc);
    }
    tracking::alarm_store& alarms() { return p->alarms().store(); }
    ui::notifications_pane& pane() { return *static_cast<ui::notifications_pane*>(p->day()->notifications()); }
    std::int32_t add_alarm(std::int64_t due, const QString& text, int flags = tracking::alarm_flag::show_window)
    {
        tracking::Alarm a = tracking::new_alarm(alarms().stored(), tracking::alarm_kind::standalone);
        a.type = tracking::alarm_type::at_time;
        a.time = due;
        a.text = text;
        a.flags = flags;
        a.command.clear();
        return alarms().add_alarm(a);
    }
};

TEST_F(alarm_ui, a_fired_alarm_opens_a_window_on_every_screen_and_snooze_moves_it)
{
    const std::int32_t id = add_alarm(utc + 60, QStringLiteral("Stretch"));
    alarms().poll();
    at(utc + 60);
    alarms().poll();
    const std::vector<ui::alarm_window*> windows = p->alarms().windows().windows_of(id);
    ASSERT_EQ(windows.size(), QGuiApplication::screens().size());
    EXPECT_EQ(windows[0]->subject_text(), QStringLiteral("Stretch"));
    EXPECT_EQ(windows[0]->time_text(), QStringLiteral("Now"));
    EXPECT_TRUE(windows[0]->isVisible());
    EXPECT_TRUE(windows[0]->windowFlags() & Qt::WindowStaysOnTopHint);

    // Snoozing ten minutes: the windows close, the alarm moves and comes back.
    emit windows[0]->snoozed(id, 600);
    EXPECT_FALSE(p->alarms().windows().has_window(id));
    ASSERT_TRUE(alarms().find(id));
    EXPECT_EQ(alarms().find(id)->time, utc + 600);
    EXPECT_TRUE(alarms().find(id)->flags & tracking::alarm_flag::snoozed);
    at(utc + 600);
    alarms().poll();
    ASSERT_TRUE(p->alarms().windows().has_window(id));
    // Dismissing closes them all and the one-time alarm goes.
    emit p->alarms().windows().windows_of(id)[0]->dismissed(id);
    EXPECT_FALSE(p->alarms().windows().has_window(id));
    EXPECT_FALSE(alarms().find(id));
}

TEST_F(alarm_ui, the_pane_lists_the_days_alarms_deadlines_and_constraints_with_countdowns)
{
    auto t = std::make_shared<model::task>();
    t->name = QStringLiteral("Report");
    t->date = today;
    t->deadline = today + 86400;  // the midnight that ends today
    t->appointment_duration = 10 * 3600;
    p->commands().add(t);
    auto done = std::make_shared<model::task>();
    done->name = QStringLiteral("Done");
    done->date = today;
    done->status = model::status::finished;
    done->appointment_duration = 11 * 3600;
    done->deadline = today + 12 * 3600;
    p->commands().add(done);
    const std::int32_t id = add_alarm(utc + 1800, QStringLiteral("Call"));
    add_alarm(today, QStringLiteral("Yesterday's"));  // the midnight that starts today belongs to yesterday
    pane().rebuild();

    using R = ui::notifications_pane;
    const std::vector<R::row> rows = pane().rows();
    std::vector<std::pair<int, std::int32_t>> shown;
    for (const R::row& r : rows)
        shown.emplace_back(r.kind, r.id);
    EXPECT_EQ(shown, (std::vector<std::pair<int, std::int32_t>>{{R::header_row, 30}, {R::alarm_row, id},
                                                               {R::header_row, 20}, {R::deadline_row, done->id},
                                                               {R::header_row, 40}, {R::constraint_row, t->id}}));
    const R::row alarm{R::alarm_row, id};
    EXPECT_EQ(pane().text_of(alarm, 0), QStringLiteral("Alarm: Call"));
    EXPECT_EQ(pane().text_of(alarm, 2), "In " + time::format_duration(1830));
    // Half an hour to go: half-way between red and orange.
    EXPECT_EQ(pane().countdown_color(alarm), QColor(255, 96, 0));
    EXPECT_EQ(pane().text_of({R::deadline_row, done->id}, 1), "By " + time::format_time_of_day(12 * 3600));
    EXPECT_EQ(pane().text_of({R::constraint_row, t->id}, 0), QStringLiteral("Schedule: Report"));
    EXPECT_EQ(ui::notifications_pane::countdown_color(-300), QColor(255, 0, 0));
    EXPECT_EQ(ui::notifications_pane::countdown_color(5 * 3600), QColor(80, 215, 0));

    // Removing a deadline and an alarm together is one undo step.
    pane().tree()->clearSelection();
    pane().select({R::deadline_row, done->id});
    pane().select(alarm);
    pane().remove_selected();
    EXPECT_EQ(done->deadline, 0);
    EXPECT_FALSE(alarms().find(id));
    EXPECT_EQ(p->history().entries().back()->label, QStringLiteral("removing notifications"));
    p->history().undo_step();
    EXPECT_EQ(done->deadline, today + 12 * 3600);
    EXPECT_TRUE(alarms().find(id));
}

TEST_F(alarm_ui, the_pane_follows_deadlines_that_come_onto_or_leave_the_day_from_other_days)
{
    using R = ui::notifications_pane;
    auto deadline_ids = [this] {
        for (int k = 0; k < 3; ++k)
            QCoreApplication::processEvents();
        std::vector<std::int32_t> ids;
        for (const R::row& r : pane().rows())
            if (r.kind == R::deadline_row)
                ids.push_back(r.id);
        return ids;
    };
    auto later = std::make_shared<model::task>();
    later->name = QStringLiteral("Next week's report");
    later->date = today + 7 * 86400;
    p->commands().add(later);
    auto other = std::make_shared<model::task>();
    other->name = QStringLiteral("Far off");
    other->date = today + 30 * 86400;
    other->deadline = today + 30 * 86400 + 9 * 3600;
    p->commands().add(other);
    EXPECT_TRUE(deadline_ids().empty());

    // A task of another day gets a deadline on the day shown, and loses it.
    p->commands().modify(*later, [&](model::task& x) { x.deadline = today + 16 * 3600; });
    EXPECT_EQ(deadline_ids(), std::vector<std::int32_t>{later->id});
    p->commands().modify(*later, [&](model::task& x) { x.deadline = today + 8 * 86400; });
    EXPECT_TRUE(deadline_ids().empty());
    p->history().undo_step();
    EXPECT_EQ(deadline_ids(), std::vector<std::int32_t>{later->id});

    // Deleted, it goes; its deletion undone, it comes back.
    p->commands().remove(p->core().tasks().find(later->id));
    EXPECT_TRUE(deadline_ids().empty());
    p->history().undo_step();
    EXPECT_EQ(deadline_ids(), std::vector<std::int32_t>{later->id});

    // Another date shown reads its own deadlines.
    p->day()->show_date(today + 30 * 86400);
    EXPECT_EQ(deadline_ids(), std::vector<std::int32_t>{other->id});
    p->day()->show_date(today);
    EXPECT_EQ(deadline_ids(), std::vector<std::int32_t>{later->id});
}

TEST_F(alarm_ui, add_alarm_opens_the_dialog_on_the_focus_task_and_adds_through_the_history)
{
    auto t = std::make_shared<model::task>();
    t->name = QStringLiteral("Write");
    t->date = today;
    p->commands().add(t);
    p->day()->refresh();
    p->day()->list().set_focus_cell(p->day()->row_of(t->id), ui::day_column::task);
    int kind_seen = 0;
    p->alarms().run_dialog = [&](ui::alarm_dialog& d) {
        kind_seen = static_cast<int>(d.offered().size());
        d.select(ui::alarm_dialog::finished);
        d.subject_edit()->setText(QStringLiteral("Tell the team"));
        d.accept();
        return d.result().type == tracking::alarm_type::finished;
    };
    p->day()->setFocus();
    p->frame().on_command(40244);
    EXPECT_EQ(kind_seen, 10);  // a to-do's choices
    ASSERT_EQ(t->alarms.size(), 1u);
    EXPECT_EQ(t->alarms[0].type, tracking::alarm_type::finished);
    EXPECT_EQ(t->alarms[0].text, QStringLiteral("Tell the team"));
    EXPECT_TRUE(p->history().entries().back()->change_text().startsWith(QStringLiteral("add alarm \"Tell the team\"")));
}

TEST_F(alarm_ui, the_dialog_refuses_bad_input_and_keeps_an_unreadable_command_to_mend)
{
    quiet_actions tester;
    tracking::Alarm a = tracking::new_alarm(alarms().stored(), tracking::alarm_kind::standalone);
    a.type = tracking::alarm_type::at_time;
    a.time = utc + 3600;
    a.command = QStringLiteral("\"*a.wav\\");
    a.id = 5;
    ui::alarm_dialog d(a, tracking::alarm_kind::standalone, p->core().tasks(), tester, QStringLiteral("/a/"), false);
    EXPECT_EQ(d.mend_edit()->text(), a.command);
    d.accept();
    EXPECT_NE(d.result().id, 5);  // refused
    d.mend_edit()->setText(QStringLiteral("\"?example.com\""));
    EXPECT_TRUE(d.action_box(1)->isChecked());
    EXPECT_EQ(d.action_edit(1)->text(), QStringLiteral("example.com"));

    d.select(ui::alarm_dialog::from_now);
    d.value_edit(ui::alarm_dialog::from_now)->setText(QStringLiteral("soon"));
    d.accept();
    EXPECT_TRUE(d.error_text().contains(QStringLiteral("is not a duration")));

    // A time that has passed asks first.
    d.select(ui::alarm_dialog::on_time);
    d.date_edit()->setText(QStringLiteral("today"));
    d.time_edit()->setText(QStringLiteral("8:00"));
    QString asked;
    d.confirm = [&](const QString& text) {
        asked = text;
        return false;
    };
    d.accept();
    EXPECT_TRUE(asked.contains(QStringLiteral("already passed")));
    EXPECT_NE(d.result().id, 5);

    // The test buttons report failures.
    QString caption;
    d.report = [&](const QString& c, const QString&) { caption = c; };
    d.action_edit(3)->clear();
    d.test_action(3);
    EXPECT_EQ(caption, QStringLiteral("Couldn't run"));
    d.action_edit(1)->setText(QStringLiteral("example.org"));
    d.test_action(1);
    EXPECT_EQ(tester.calls, QStringList({"web http://example.org"}));
}

}  // namespace

TEST(alarm_window_layout, aLongSubjectWrapsWithinTheWindowAndAVeryLongOneIsShortened)
{
    const QString long_subject = QStringLiteral("Task 60: call the office about the quarterly report");
    const QString very_long = QString(QStringLiteral("Renew the parking permit at the town hall ")).repeated(8);
    for (const QString& subject : {QStringLiteral("Tea"), long_subject, very_long}) {
        ui::alarm_window w(1, subject, {QColor(255, 200, 0), QColor(160, 110, 0)}, [] { return QStringLiteral("In 4m"); });
        w.show();
        QCoreApplication::processEvents();
        const auto labels = w.findChildren<QLabel*>();
        ASSERT_EQ(labels.size(), 2) << subject.toStdString();
        QLabel* text = labels[0];
        QLabel* time = labels[1];
        // Every wrapped line shows, above the time line, inside the window.
        EXPECT_GE(text->height(), text->heightForWidth(text->width())) << subject.toStdString();
        EXPECT_LE(text->geometry().bottom(), time->geometry().top()) << subject.toStdString();
        EXPECT_LE(time->geometry().bottom(), w.height()) << subject.toStdString();
        EXPECT_EQ(w.toolTip(), subject.trimmed());
        if (subject == very_long) {
            EXPECT_TRUE(w.subject_text().endsWith(QChar(0x2026)));
            EXPECT_LE(w.subject_text().size(), 120);
        } else {
            EXPECT_EQ(w.subject_text(), subject);
        }
    }
}

TEST(alarm_window_layout, aClosedWindowStopsAskingForItsTimeLine)
{
    int asked = 0;
    QPointer<ui::alarm_window> window;
    {
        ui::alarm_window_set set([](const tracking::Alarm&) { return ui::alarm_look{QColor(255, 200, 0), QColor(160, 110, 0)}; },
                                 [](const tracking::Alarm& a) { return a.text; },
                                 [&asked](std::int32_t, time::stored_time) {
                                     ++asked;
                                     return QStringLiteral("In 4m");
                                 });
        tracking::Alarm a;
        a.id = 7;
        a.text = QStringLiteral("Stretch");
        set.open(a);
        ASSERT_FALSE(set.windows_of(7).empty());
        window = set.windows_of(7).front();
        set.close(7);
        EXPECT_FALSE(set.has_window(7));
        ASSERT_TRUE(window);
        EXPECT_FALSE(window->isVisible());
    }
    // The set is gone; the window, waiting for its deferred delete, must not
    // call what the set gave it.
    const int before = asked;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 1300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(asked, before);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
