// Back and Forward, the jumps of Edit > Jump, the walk over the whole
// command table and the About box, on the real program's frame.

#include "support/test_support.h"
#include "tracking/alarm.h"
#include "tracking/alarm_store.h"
#include "ui/alarm_service.h"
#include "ui/calendar_view.h"
#include "ui/command_handler.h"
#include "ui/command_reasons.h"
#include "ui/commands.h"
#include "ui/day_view.h"
#include "ui/help_commands.h"
#include "ui/main_frame.h"
#include "ui/navigator.h"
#include "ui/notifications_pane.h"
#include "ui/planner.h"
#include "ui/projects_view.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

using namespace qm;
using namespace qm::test;

namespace {

struct navigation_fixture : ::testing::Test {
    fixed_clock clock{time::make_date(2026, 3, 11) + 10 * 3600};
    temp_folder folder;
    std::unique_ptr<ui::planner> p;

    void start()
    {
        p = std::make_unique<ui::planner>(portable_locator(folder.path()));
        p->start();
        p->frame().show();
        p->frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&p->frame()));
        QApplication::setActiveWindow(&p->frame());
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
    int shown() { return p->frame().active_view()->view_id(); }
    std::int64_t shown_date() { return p->frame().active_view()->shown_date(); }
    void key(int k, Qt::KeyboardModifiers mods)
    {
        QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &p->frame();
        QTest::keyClick(target, static_cast<Qt::Key>(k), mods);
        settle();
    }
    QLineEdit* editor(ui::cell_list& list)
    {
        for (QLineEdit* e : list.viewport()->findChildren<QLineEdit*>())
            if (e->isVisible())
                return e;
        return nullptr;
    }
    void type(ui::cell_list& list, const QString& text)
    {
        QLineEdit* e = editor(list);
        ASSERT_NE(e, nullptr) << "no editor open";
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
        settle();
    }
};

}  // namespace

TEST_F(navigation_fixture, backAndForwardRetraceThreeViewsAndTheDatesShown)
{
    start();
    const time::stored_date today = time::today();
    ASSERT_EQ(shown(), ui::day_view::id);
    key(Qt::Key_Down, Qt::AltModifier);  // Next Day
    ASSERT_EQ(shown_date(), time::add_days(today, 1));
    p->frame().on_command(ui::cmd::calendar);
    settle();
    ASSERT_EQ(shown(), ui::calendar_view::week_id);
    p->frame().on_command(ui::calendar_cmd::next);  // next week
    settle();
    p->frame().on_command(ui::cmd::projects);
    settle();

    const std::vector<std::pair<int, std::int64_t>> back_path = {
        {ui::calendar_view::week_id, time::add_days(today, 7)},
        {ui::calendar_view::week_id, today},
        {ui::day_view::id, time::add_days(today, 1)},
        {ui::day_view::id, today},
    };
    for (const auto& [view, date] : back_path) {
        key(Qt::Key_Left, Qt::AltModifier);  // Back
        EXPECT_EQ(shown(), view);
        EXPECT_EQ(shown_date(), date);
    }
    EXPECT_FALSE(p->frame().command_action(ui::jump_cmd::back)->isEnabled());  // nothing before the first place
    key(Qt::Key_Right, Qt::AltModifier);  // Forward
    key(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(shown(), ui::calendar_view::week_id);
    EXPECT_EQ(shown_date(), today);

    // A new place drops the ones ahead.
    p->frame().on_command(ui::cmd::charts);
    settle();
    EXPECT_FALSE(p->frame().command_action(ui::jump_cmd::forward)->isEnabled());
    key(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(shown(), ui::calendar_view::week_id);
}

TEST_F(navigation_fixture, nextAndPreviousWeekStepTheDayViewAndTheCalendars)
{
    start();
    const time::stored_date today = time::today();
    key(Qt::Key_Down, Qt::AltModifier | Qt::ShiftModifier);  // Next Week
    EXPECT_EQ(p->day()->date(), time::add_days(today, 7));
    p->frame().show_view(ui::calendar_view::day_id);
    settle();
    p->frame().on_command(ui::calendar_cmd::previous_week);
    EXPECT_EQ(p->day_calendar()->date(), time::add_days(today, -7));
    p->frame().on_command(ui::cmd::day_next);
    EXPECT_EQ(p->day_calendar()->date(), time::add_days(today, -6));
    // Week View takes the date along; so do the keys of the grid.
    p->frame().on_command(ui::calendar_cmd::week_view);
    settle();
    EXPECT_EQ(shown(), ui::calendar_view::week_id);
    EXPECT_EQ(p->week_calendar()->date(), time::add_days(today, -6));
    QTest::keyClick(&p->week_calendar()->grid(), Qt::Key_PageDown);
    EXPECT_EQ(p->week_calendar()->date(), time::add_days(today, 1));
    QTest::keyClick(&p->week_calendar()->grid(), Qt::Key_D);
    settle();
    EXPECT_EQ(shown(), ui::calendar_view::day_id);
    EXPECT_EQ(p->day_calendar()->date(), time::add_days(today, 1));
    QTest::keyClick(&p->day_calendar()->grid(), Qt::Key_T);
    EXPECT_EQ(p->day_calendar()->date(), today);
}

TEST_F(navigation_fixture, jumpToProjectGoesFromTheDayToTheTasksProjectAndBackComesHome)
{
    start();
    p->frame().on_command(ui::cmd::projects);
    settle();
    ui::projects_view& projects = *p->projects();
    projects.projects().list().setFocus();
    QTest::keyClick(&projects.projects().list(), Qt::Key_Return);
    settle();
    type(projects.projects().list(), "Garden");
    const std::int32_t garden = p->core().projects().list_order().front()->id;
    projects.projects().select_project(garden);
    projects.tasks().list().setFocus();
    QTest::keyClick(&projects.tasks().list(), Qt::Key_Return);
    settle();
    type(projects.tasks().list(), "Dig beds");
    model::task_ptr dig;
    for (const model::task_ptr& t : p->core().tasks().all())
        if (t->name == QLatin1String("Dig beds"))
            dig = t;
    ASSERT_TRUE(dig);
    p->commands().set_date({dig.get()}, time::today());
    settle();

    p->frame().on_command(ui::cmd::day);
    settle();
    ui::day_view& day = *p->day();
    ASSERT_GE(day.row_of(dig->id), 0);
    day.list().set_focus_cell(day.row_of(dig->id), ui::day_column::task);
    day.list().setFocus();
    settle();
    key(Qt::Key_J, Qt::AltModifier);  // Jump To Project
    ASSERT_EQ(shown(), ui::projects_view::id);
    ASSERT_NE(projects.projects().current(), nullptr);
    EXPECT_EQ(projects.projects().current()->id, garden);
    EXPECT_TRUE(projects.projects().list().hasFocus());
    EXPECT_EQ(projects.tasks().task_at(projects.tasks().list().focus_row()), dig.get());

    key(Qt::Key_Left, Qt::AltModifier);  // Back
    EXPECT_EQ(shown(), ui::day_view::id);

    // To Calendar shows the box's day; a task without a project says so.
    day.list().set_focus_cell(day.row_of(dig->id), ui::day_column::task);
    day.list().setFocus();
    key(Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(shown(), ui::calendar_view::week_id);
    EXPECT_EQ(p->week_calendar()->date(), time::today());

    p->frame().on_command(ui::cmd::day);
    settle();
    QTest::keyClick(&day.list(), Qt::Key_Return);
    settle();
    type(day.list(), "Loose end");
    day.list().setFocus();
    key(Qt::Key_J, Qt::AltModifier);
    EXPECT_EQ(shown(), ui::day_view::id);
    EXPECT_TRUE(p->frame().statusBar()->currentMessage().contains(QStringLiteral("is not in a project")));
}

TEST_F(navigation_fixture, jumpToAlarmShowsTheTasksAlarmInTheNotificationsPane)
{
    start();
    QAction* a = p->frame().command_action(ui::jump_cmd::to_alarm);
    ASSERT_NE(a, nullptr);
    p->frame().show_view(ui::day_view::id);
    settle();
    QTest::keyClick(&p->day()->list(), Qt::Key_Return);
    settle();
    QLineEdit* editor = nullptr;
    for (QLineEdit* e : p->day()->list().viewport()->findChildren<QLineEdit*>())
        if (e->isVisible())
            editor = e;
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "Call the dentist");
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    model::task_ptr t;
    for (const auto& x : p->core().tasks().all())
        if (x->name == "Call the dentist")
            t = x;
    ASSERT_TRUE(t);
    p->frame().on_command(ui::jump_cmd::to_alarm);
    settle();
    EXPECT_TRUE(p->frame().statusBar()->currentMessage().contains("has no alarm"));

    tracking::Alarm alarm = tracking::new_alarm(p->alarms().store().stored(), tracking::alarm_kind::standalone);
    alarm.type = tracking::alarm_type::at_time;
    alarm.time = time::now() + 3600;
    alarm.text = QStringLiteral("Before the dentist");
    alarm.attached = t->id;
    alarm.attached_type = 1;
    alarm.command.clear();
    p->alarms().store().add_alarm(alarm);
    settle();
    ASSERT_EQ(t->alarms.size(), 1u);
    p->day()->reveal_task(t->id);
    p->frame().on_command(ui::jump_cmd::to_alarm);
    settle();
    auto* pane = qobject_cast<ui::notifications_pane*>(p->day()->notifications());
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(pane->isVisibleTo(p->day()));
    const auto selected = pane->selected_rows();
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0].kind, ui::notifications_pane::alarm_row);
    EXPECT_EQ(selected[0].id, t->alarms.front().id);
}

// Every id of the command table either reaches something that carries it
// out (the frame, a handler, a registered view) or is disabled with a reason.
// The ids of commands that other work builds wait in one list, so the list
// empties as that work lands.
TEST_F(navigation_fixture, everyCommandOfTheTableReachesAHandlerOrIsDisabledWithAReason)
{
    // Waiting for other work: the clipboard of the rows, the row and cell
    // commands and the task-list filters of the task lists, the remaining
    // Task menu entries and the notifications pane.
    const std::set<int> waiting_for_other_work = {};
    start();
    QStringList unhandled, no_longer_waiting;
    std::set<int> seen;
    for (const ui::command_info& c : ui::command_table()) {
        if (!seen.insert(c.id).second)
            continue;  // Notes is listed twice
        bool handled = ui::main_frame::frame_handles(c.id) || ui::navigator::is_navigation_command(c.id);
        for (int view_id : p->frame().view_ids())
            handled = handled || p->frame().find_view(view_id)->handles(c.id);
        const QString reason = ui::unavailable_reason(c.id);
        const QAction* a = p->frame().command_action(c.id);
        const bool disabled_with_reason =
            !reason.isEmpty() && (a == nullptr || (!a->isEnabled() && a->toolTip() == reason));
        const QString line = QStringLiteral("%1 %2.%3").arg(c.id).arg(QLatin1String(c.category), QLatin1String(c.name));
        if (waiting_for_other_work.count(c.id) != 0) {
            if (handled || disabled_with_reason)
                no_longer_waiting << line;
        } else if (!handled && !disabled_with_reason) {
            unhandled << line;
        }
    }
    EXPECT_TRUE(unhandled.isEmpty()) << "commands that reach no handler: " << unhandled.join(", ").toStdString();
    EXPECT_TRUE(no_longer_waiting.isEmpty())
        << "handled now, take them out of waiting_for_other_work: " << no_longer_waiting.join(", ").toStdString();
}

TEST_F(navigation_fixture, aboutNamesTheVersionTheLicenceAndTheDataFolder)
{
    start();
    const QString text = ui::about_text(QStringLiteral("1.2.3"), p->core().folders().data_folder());
    EXPECT_TRUE(text.contains(QStringLiteral("1.2.3")));
    EXPECT_TRUE(text.contains(ui::licence_text().left(20).toHtmlEscaped()));
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(folder.path()).toHtmlEscaped()));
}
