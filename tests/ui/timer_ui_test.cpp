// Timing work in the running planner from the keyboard, the task dialog's
// General and Timers pages, and what reaches the file across restarts.

#include "support/test_support.h"
#include "time/format.h"
#include "ui/checked_field.h"
#include "ui/clapperboard.h"
#include "ui/clapperboard_window.h"
#include "tracking/action_menu.h"
#include "ui/commands.h"
#include "ui/day_view.h"
#include "ui/planner.h"
#include "ui/task_actions.h"
#include "ui/task_dialog.h"
#include "ui/task_general_page.h"
#include "ui/task_timers_page.h"
#include "ui/tracked_time_editor.h"

#include <QApplication>

#include <array>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

struct timer_ui : ::testing::Test {
    std::int64_t utc = time::make_date(2026, 3, 11) + 10 * 3600;
    fixed_clock clock{utc};
    temp_folder folder;
    std::unique_ptr<ui::planner> p;

    void start()
    {
        p = std::make_unique<ui::planner>(portable_locator(folder.path()));
        p->start();
        p->frame().show();
        p->frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&p->frame()));
        list().setFocus();
        settle();
    }
    void stop()
    {
        p->frame().close();
        p.reset();
    }
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    // The clock runs on, one tick of the timer per second.
    void run(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            clock.set(++utc);
            p->timer().tick();
        }
        settle();
    }
    ui::day_view& day() { return *p->day(); }
    ui::cell_list& list() { return day().list(); }
    QLineEdit* editor()
    {
        for (QLineEdit* e : list().viewport()->findChildren<QLineEdit*>())
            if (e->isVisible())
                return e;
        return nullptr;
    }
    void press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* target = editor() != nullptr ? static_cast<QWidget*>(editor()) : &list();
        QTest::keyClick(target, static_cast<Qt::Key>(key), mods);
        settle();
    }
    void add_task(const QString& name)
    {
        press(Qt::Key_Return);
        QLineEdit* e = editor();
        ASSERT_NE(e, nullptr);
        QTest::keyClicks(e, name);
        QTest::keyClick(e, Qt::Key_Return);
        settle();
    }
    model::task_ptr task(const QString& name)
    {
        for (const auto& t : p->core().tasks().all())
            if (t->name == name)
                return t;
        return nullptr;
    }
    QString cell(const QString& name, int column)
    {
        const model::task_ptr t = task(name);
        return t ? day().cell_text(day().row_of(t->id), column) : QString();
    }
    std::vector<QString> undo_texts()
    {
        std::vector<QString> out;
        for (const auto& line : p->history().undo_list())
            out.push_back(line.text);
        return out;
    }
    // id, start and duration of every entry of a task, in list order.
    std::vector<std::array<std::int64_t, 3>> entries(const QString& name)
    {
        std::vector<std::array<std::int64_t, 3>> out;
        if (const model::task_ptr t = task(name))
            for (const auto& e : t->tracked_times)
                out.push_back({e.id, e.start, e.duration});
        return out;
    }
    ui::task_dialog* dialog_for(const QString& name)
    {
        return new ui::task_dialog(*task(name), p->core().tasks(), p->core().tables(), &p->timer(),
                                   p->core().folders().settings_folder() + "task_dlg.ini", &p->frame());
    }
};

}  // namespace

TEST_F(timer_ui, aTimerStartedStoppedUndoneAndRedoneFromTheKeyboardSurvivesARestart)
{
    start();
    add_task("Write report");
    const std::int64_t started = utc;

    // Ctrl+Shift+T toggles the timer on the focus row.
    press(Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(p->timer().timed_task());
    EXPECT_EQ(p->timer().timed_task()->name, "Write report");
    EXPECT_EQ(cell("Write report", ui::day_column::status), "\u25B6 Timing");
    run(5);
    EXPECT_EQ(cell("Write report", ui::day_column::time), time::format_duration(5));
    EXPECT_TRUE(p->frame().windowTitle().contains("Write report"));
    run(85);
    EXPECT_EQ(cell("Write report", ui::day_column::time), time::format_duration(90));

    press(Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(p->timer().timed_task());
    EXPECT_EQ(cell("Write report", ui::day_column::status), "");
    run(20);

    // Undoing the stop continues the same entry; the pause counts.
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(p->timer().timed_task());
    run(10);
    ASSERT_EQ(entries("Write report").size(), 1u);
    EXPECT_EQ(entries("Write report")[0][2], 120);
    // Redo stops it where it was first stopped.
    press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FALSE(p->timer().timed_task());
    const auto kept = entries("Write report");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0][1], started);
    EXPECT_EQ(kept[0][2], 90);
    EXPECT_EQ(undo_texts().at(0), "Undo stop timer on task \"Write report\"");
    EXPECT_EQ(undo_texts().at(1), "Undo start timer on task \"Write report\"");

    stop();
    start();
    EXPECT_EQ(entries("Write report"), kept);
    EXPECT_EQ(cell("Write report", ui::day_column::time), time::format_duration(90));
}

TEST_F(timer_ui, closingThePlannerStopsARunningTimerSoItsTimeIsWritten)
{
    start();
    add_task("Read");
    press(Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    run(30);  // under a minute: not saved by the tick yet
    stop();
    start();
    ASSERT_EQ(entries("Read").size(), 1u);
    EXPECT_EQ(entries("Read")[0][2], 30);
    EXPECT_FALSE(p->timer().timed_task());
}

TEST_F(timer_ui, startAndStopOnlyActOnTheirOwnCase)
{
    start();
    add_task("One");
    add_task("Two");
    p->frame().on_command(ui::cmd::timers_stop);  // "Two" is not timed: nothing
    EXPECT_FALSE(p->history().can_undo() && p->timer().timed_task());
    p->frame().on_command(ui::cmd::timers_start);
    ASSERT_TRUE(p->timer().timed_task());
    EXPECT_EQ(p->timer().timed_task()->name, "Two");
    const std::size_t steps = p->history().undo_list().size();
    p->frame().on_command(ui::cmd::timers_start);  // already timed: nothing
    EXPECT_EQ(p->history().undo_list().size(), steps);
    run(3);
    p->frame().on_command(ui::cmd::next);  // "One" is the next to-do of the day
    ASSERT_TRUE(p->timer().timed_task());
    EXPECT_EQ(p->timer().timed_task()->name, "One");
    EXPECT_EQ(task("Two")->status, model::status::finished);
}

TEST_F(timer_ui, progressionAsksForANameAndInterruptionOpensTheClapperboard)
{
    start();
    add_task("Design");
    press(Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    run(4);
    p->actions().ask_text = [](QWidget*, const QString&, const QString&) { return std::optional<QString>("Design, part 2"); };
    p->frame().on_command(ui::cmd::progression);
    ASSERT_TRUE(p->timer().timed_task());
    EXPECT_EQ(p->timer().timed_task()->name, "Design, part 2");
    p->frame().on_command(ui::cmd::interruption);
    ui::clapperboard_window* w = p->clapperboard().window();
    ASSERT_TRUE(w && w->isVisible());
    EXPECT_EQ(p->clapperboard().menu().mode(), tracking::menu_mode::interruption);
    QTest::keyClicks(w->line(), "Phone call");
    QTest::keyClick(w->line(), Qt::Key_Return);
    settle();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(p->timer().timed_task()->name, "Phone call");
    // The new task and its timer are one undo step.
    p->history().undo_step();
    EXPECT_FALSE(task("Phone call"));
    EXPECT_EQ(p->timer().timed_task()->name, "Design, part 2");
}

// ---- the Clapperboard through its keys ----

TEST_F(timer_ui, clapperboardKeysLeadFromModeToMode)
{
    start();
    add_task("Design");
    struct row {
        std::vector<int> keys;  // letters as Qt keys; Escape and Backspace go back
        int mode;               // 0: closed
    };
    const row rows[] = {
        {{Qt::Key_N}, tracking::menu_mode::new_item},
        {{Qt::Key_N, Qt::Key_T}, tracking::menu_mode::enter_task},
        {{Qt::Key_N, Qt::Key_A}, tracking::menu_mode::alarm},
        {{Qt::Key_N, Qt::Key_C}, tracking::menu_mode::comment},
        {{Qt::Key_N, Qt::Key_Backspace}, tracking::menu_mode::main},
        {{Qt::Key_D}, tracking::menu_mode::distraction_length},
        {{Qt::Key_D, Qt::Key_Escape}, tracking::menu_mode::main},
        {{Qt::Key_I}, tracking::menu_mode::interruption},
        {{Qt::Key_R}, tracking::menu_mode::report},
        {{Qt::Key_P}, tracking::menu_mode::main},  // not offered while nothing is timed
        {{Qt::Key_Z, Qt::Key_5}, tracking::menu_mode::main},
        {{Qt::Key_Escape}, 0},
        {{Qt::Key_G}, 0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.keys));
        p->frame().on_command(ui::cmd::clapperboard);
        ui::clapperboard_window* w = p->clapperboard().window();
        ASSERT_TRUE(w && w->isVisible());
        for (int key : r.keys) {
            QWidget* focus = QApplication::focusWidget();
            QWidget* target = focus != nullptr && (focus == w || w->isAncestorOf(focus)) ? focus : w;
            QTest::keyClick(target, static_cast<Qt::Key>(key));
            settle();
        }
        EXPECT_EQ(p->clapperboard().menu().mode(), r.mode);
        EXPECT_EQ(w->isVisible(), r.mode != 0);
        p->clapperboard().close();
    }
}

TEST_F(timer_ui, theClapperboardsImportAndExportLinesOpenTheirDialogs)
{
    start();
    QStringList texts;
    for (const tracking::menu_line* line : [&] {
             p->frame().on_command(ui::cmd::clapperboard);
             return p->clapperboard().menu().lines();
         }())
        texts << line->text;
    const int undo = static_cast<int>(texts.indexOf("U: &Undo"));
    ASSERT_GE(undo, 2);
    EXPECT_EQ(texts.mid(undo - 2, 2), QStringList({"M: I&mport from Outlook", "E: &Export to Outlook"}));
    p->clapperboard().close();

    for (const Qt::Key key : {Qt::Key_M, Qt::Key_E}) {
        SCOPED_TRACE(key);
        p->frame().on_command(ui::cmd::clapperboard);
        ui::clapperboard_window* w = p->clapperboard().window();
        ASSERT_TRUE(w && w->isVisible());
        QString seen;
        bool menu_open_then = true;
        // The dialog is modal: look at it and cancel it from inside its loop.
        QTimer::singleShot(0, [&] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                seen = dialog->windowTitle();
                menu_open_then = p->clapperboard().menu().is_open();
                static_cast<QDialog*>(dialog)->reject();
            }
        });
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr && (focus == w || w->isAncestorOf(focus)) ? focus : w, key);
        settle();
        EXPECT_FALSE(seen.isEmpty()) << "no dialog opened";
        EXPECT_FALSE(menu_open_then) << "the Clapperboard closes before the dialog opens";
    }
}

TEST_F(timer_ui, aDistractionTypedIntoTheClapperboardIsBookedUndoableAndWritten)
{
    start();
    add_task("Design");
    press(Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    run(900);
    p->frame().on_command(ui::cmd::clapperboard);
    ui::clapperboard_window* w = p->clapperboard().window();
    ASSERT_TRUE(w);
    QTest::keyClick(w, Qt::Key_D);
    QTest::keyClicks(w->line(), "5m");
    QTest::keyClick(w->line(), Qt::Key_Return);
    settle();
    ASSERT_EQ(p->clapperboard().menu().mode(), tracking::menu_mode::distraction);
    QTest::keyClicks(w->line(), "Reading news");
    EXPECT_TRUE(w->shown_text().contains("Enter Distraction"));
    ASSERT_EQ(w->task_list()->topLevelItemCount(), 1);
    EXPECT_EQ(w->task_list()->topLevelItem(0)->text(0), "Reading news  (new task)");
    QTest::keyClick(w->line(), Qt::Key_Return);
    settle();
    EXPECT_FALSE(w->isVisible());
    ASSERT_TRUE(task("Reading news"));
    EXPECT_EQ(entries("Reading news").size(), 1u);
    EXPECT_EQ(entries("Reading news")[0][2], 300);
    EXPECT_EQ(p->timer().timed_task()->name, "Design");

    p->history().undo_step();
    EXPECT_FALSE(task("Reading news"));
    p->history().redo_step();
    stop();
    store::database db;
    db.open(folder.path() + "/ferncastle.db");
    EXPECT_EQ(query(db, "SELECT t.name, d.duration FROM [TrackedTimes] d JOIN [Tasks] t ON t.id = d.task "
                        "WHERE t.name = 'Reading news'"),
              (std::vector<QStringList>{{"Reading news", "300"}}));
}

// ---- the task dialog ----

TEST_F(timer_ui, theGeneralPageRefusesWhatDoesNotReadAndConfirmsAsOneStep)
{
    start();
    add_task("Plan");
    std::unique_ptr<ui::task_dialog> dialog(dialog_for("Plan"));
    auto* general = static_cast<ui::task_general_page*>(dialog->page(ui::task_dialog::general_page));

    general->name_edit()->setText("Plan the week");
    general->estimate_field()->edit()->setText("2h");
    EXPECT_TRUE(general->estimate_field()->check());
    general->estimate_field()->edit()->setText("soon");
    EXPECT_FALSE(general->estimate_field()->check());
    EXPECT_EQ(general->estimate_field()->text(), "2h");  // the old value stays
    EXPECT_TRUE(general->estimate_field()->message().contains("not a duration"));
    general->deadline_field()->edit()->setText("20 Mar 2026 5pm");
    general->impact_field()->edit()->setText("8");
    general->status_box()->setCurrentIndex(model::status::waiting);

    // A schedule-before earlier than the schedule-after is refused as a whole.
    general->after_field()->edit()->setText("14:00");
    general->before_field()->edit()->setText("9:00");
    model::task out;
    EXPECT_FALSE(dialog->gather(out));
    EXPECT_TRUE(dialog->error_text().contains("later than"));
    EXPECT_EQ(task("Plan")->name, "Plan");  // nothing half-applied
    general->before_field()->edit()->setText("17:00");
    ASSERT_TRUE(dialog->gather(out));
    dialog->accept();
    ASSERT_TRUE(dialog->commit(p->commands()));

    const model::task_ptr t = task("Plan the week");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->estimate, 7200);
    EXPECT_EQ(t->original_estimate, 7200);
    EXPECT_EQ(t->units, 8);
    EXPECT_EQ(t->status, model::status::waiting);
    EXPECT_EQ(t->appointment_start, 14 * 3600);
    EXPECT_EQ(t->appointment_duration, 17 * 3600);
    EXPECT_EQ(t->deadline, time::make_date(2026, 3, 20) + 17 * 3600);
    dialog.reset();

    p->history().undo_step();
    EXPECT_TRUE(task("Plan"));
    EXPECT_EQ(task("Plan")->estimate, 0);
    p->history().redo_step();
    stop();
    start();
    ASSERT_TRUE(task("Plan the week"));
    EXPECT_EQ(task("Plan the week")->units, 8);
}

TEST_F(timer_ui, theTimersPageListsSortsAddsAndDeletesEntries)
{
    start();
    add_task("Build");
    const std::int64_t day = time::make_date(2026, 3, 11);
    p->timer_operations().attach_time_range(task("Build"), day + 8 * 3600, 1800);
    p->timer_operations().attach_time_range(task("Build"), day + 9 * 3600, 600);
    p->timer_operations().attach_time_range(task("Build"), day - 86400 + 9 * 3600, 3600);

    const std::size_t steps = p->history().undo_list().size();
    std::unique_ptr<ui::task_dialog> dialog(dialog_for("Build"));
    dialog->show_page(ui::task_dialog::timers_page);
    auto* timers = static_cast<ui::task_timers_page*>(dialog->page(ui::task_dialog::timers_page));
    QTreeWidget* list = timers->list();
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->headerItem()->text(0), "Start");
    EXPECT_EQ(list->headerItem()->text(1), "End");
    EXPECT_EQ(list->headerItem()->text(2), "Duration");
    EXPECT_EQ(timers->summary(), "Total time: " + time::format_duration(6000) + " over a span of 2 days.");

    // By duration, longest first.
    timers->sort_by(2, Qt::DescendingOrder);
    EXPECT_EQ(list->topLevelItem(0)->data(2, Qt::UserRole + 1).toLongLong(), 3600);
    EXPECT_EQ(list->topLevelItem(2)->data(2, Qt::UserRole + 1).toLongLong(), 600);

    // Delete the longest; add one through the editor.
    list->topLevelItem(0)->setSelected(true);
    timers->delete_selected();
    timers->edit_entry = [&](const tracking::TrackedTime& e, const tracking::TrackedTime*) {
        tracking::TrackedTime x = e;
        x.start = day + 11 * 3600;
        x.duration = 900;
        return std::optional<tracking::TrackedTime>(x);
    };
    timers->add_entry();
    EXPECT_EQ(timers->entries().size(), 3u);
    EXPECT_EQ(timers->summary(), "Total time: " + time::format_duration(3300) + " over a span of a day.");

    dialog->accept();
    ASSERT_TRUE(dialog->commit(p->commands()));
    dialog.reset();
    EXPECT_EQ(p->history().undo_list().size(), steps + 1);  // the dialog is one step

    stop();
    start();
    std::vector<std::int64_t> lengths;
    for (const auto& e : entries("Build"))
        lengths.push_back(e[2]);
    EXPECT_EQ(lengths, (std::vector<std::int64_t>{1800, 600, 900}));
}

TEST_F(timer_ui, theEntryEditorRefusesAnEndBeforeItsStart)
{
    start();
    tracking::TrackedTime e;
    e.start = time::make_date(2026, 3, 11) + 9 * 3600 + 17;  // seconds that the fields do not show
    e.duration = 3600;
    ui::tracked_time_editor editor(e, nullptr);
    EXPECT_TRUE(editor.read());
    EXPECT_EQ(editor.entry().start, e.start);  // untouched fields keep their seconds
    EXPECT_EQ(editor.entry().duration, 3600);

    // Typed as a user does: the field is checked when editing ends.
    auto type = [](ui::checked_field* f, const QString& text) {
        f->edit()->setText(text);
        emit f->edit()->editingFinished();
    };
    type(editor.end_time(), "8:00");
    EXPECT_TRUE(editor.problem().contains("before the start"));
    EXPECT_EQ(editor.entry().duration, 3600);
    EXPECT_EQ(editor.end_time()->text(), time::format_time_of_day(10 * 3600 + 17));

    type(editor.end_time(), "later");
    EXPECT_TRUE(editor.end_time()->message().contains("not a time"));
    EXPECT_EQ(editor.end_time()->text(), time::format_time_of_day(10 * 3600 + 17));

    type(editor.length(), "2h");
    EXPECT_TRUE(editor.read());
    EXPECT_EQ(editor.entry().start, e.start);
    EXPECT_EQ(editor.entry().duration, 7200);
}

TEST_F(timer_ui, theDialogKeepsItsSizeAndPage)
{
    start();
    add_task("Size");
    {
        std::unique_ptr<ui::task_dialog> dialog(dialog_for("Size"));
        dialog->resize(700, 560);
        dialog->show_page(ui::task_dialog::timers_page);
    }
    std::unique_ptr<ui::task_dialog> again(dialog_for("Size"));
    EXPECT_EQ(again->current_page(), ui::task_dialog::timers_page);
    EXPECT_EQ(again->size(), QSize(700, 560));
}

TEST_F(timer_ui, altEnterOpensTheTaskDialogOnTheFocusTask)
{
    // An earlier test's close asked the application to quit, which would end
    // the dialog's own event loop at once; a short run of the main loop clears it.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    start();
    add_task("Open me");
    QString seen;
    // The dialog is modal: answered from the event loop it runs, once it is up.
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* d = qobject_cast<ui::task_dialog*>(QApplication::activeModalWidget())) {
            seen = d->windowTitle();
            answer.stop();
            d->reject();
        }
    });
    answer.start();
    press(Qt::Key_Return, Qt::AltModifier);
    EXPECT_TRUE(seen.contains("Open me")) << seen.toStdString();
    EXPECT_EQ(task("Open me")->name, "Open me");  // cancelled: nothing changed
}

TEST_F(timer_ui, theDialogsPagesTurnFromTheKeyboardWhereverTheFocusIs)
{
    start();
    add_task("Plan");
    std::unique_ptr<ui::task_dialog> dialog(dialog_for("Plan"));
    dialog->show_page(ui::task_dialog::general_page);
    dialog->show();
    QApplication::setActiveWindow(dialog.get());  // offscreen windows are not activated by showing them
    ASSERT_EQ(QApplication::activeWindow(), dialog.get());
    auto* name = static_cast<ui::task_general_page*>(dialog->page(ui::task_dialog::general_page))
                     ->findChild<QLineEdit*>();
    ASSERT_NE(name, nullptr);
    name->setFocus();
    const int last = dialog->page_count() - 1;
    struct press {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int page;  // shown afterwards
    };
    const press presses[] = {
        {Qt::Key_Tab, Qt::ControlModifier, 1},
        {Qt::Key_PageDown, Qt::ControlModifier, 2 > last ? 0 : 2},
        {Qt::Key_PageUp, Qt::ControlModifier, 1},
        {Qt::Key_PageUp, Qt::ControlModifier, 0},
        {Qt::Key_PageUp, Qt::ControlModifier, last},  // round to the last page
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, last - 1},
    };
    for (const press& p : presses) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, p.key, p.modifiers);
        EXPECT_EQ(dialog->current_page(), p.page) << "after key " << p.key;
    }
}
