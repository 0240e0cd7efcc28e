// The planner as a user drives it from the keyboard, on a temporary data
// folder, then restarted on the same folder.

#include "app/settings_document.h"
#include "support/test_support.h"
#include "time/format.h"
#include "ui/commands.h"
#include "ui/day_view.h"
#include "ui/options_dialog.h"
#include "ui/planner.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTest>
#include <QMenuBar>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

struct planner_fixture : ::testing::Test {
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
        list().setFocus();
        settle();
    }
    void stop()
    {
        p->frame().close();
        p.reset();
    }
    // Commits and refreshes run on later turns of the event loop.
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    ui::day_view& day() { return *p->day(); }
    ui::cell_list& list() { return day().list(); }
    QWidget* focus() { return QApplication::focusWidget(); }

    // The open cell editor, if any.
    QLineEdit* editor()
    {
        for (QLineEdit* e : list().viewport()->findChildren<QLineEdit*>())
            if (e->isVisible())
                return e;
        return nullptr;
    }
    void type_in_editor(const QString& text)
    {
        QLineEdit* editor = this->editor();
        ASSERT_NE(editor, nullptr) << "no editor open";
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        settle();
    }
    void press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* target = editor() != nullptr ? static_cast<QWidget*>(editor()) : &list();
        QTest::keyClick(target, static_cast<Qt::Key>(key), mods);
        settle();
    }
    // The Task column from top to bottom, headings included.
    QStringList rows()
    {
        QStringList out;
        for (int r = 0; r < day().row_count(); ++r)
            out << day().cell_text(r, ui::day_column::task);
        return out;
    }
    void focus_task(const QString& name)
    {
        for (int r = 0; r < day().row_count(); ++r)
            if (day().cell_text(r, ui::day_column::task) == name) {
                list().set_focus_cell(r, ui::day_column::task);
                list().setFocus();
                return;
            }
        FAIL() << "no row " << name.toStdString();
    }
};

}  // namespace

TEST_F(planner_fixture, keyboardSessionSurvivesARestart)
{
    start();
    // Enter on the A heading adds at the top of A and opens the name.
    press(Qt::Key_Return);
    type_in_editor("first");
    press(Qt::Key_Return);
    type_in_editor("second");
    press(Qt::Key_Return);
    type_in_editor("third");
    EXPECT_EQ(rows(), QStringList({"A \u2014 Critical", "first", "second", "third", "B \u2014 Important",
                                   "C \u2014 Desired"}));

    // An estimate typed into its cell.
    focus_task("second");
    press(Qt::Key_Right);
    press(Qt::Key_Right);
    EXPECT_EQ(list().focus_column_id(), ui::day_column::estimate);
    press(Qt::Key_1);
    type_in_editor("h 30m");
    EXPECT_EQ(day().cell_text(2, ui::day_column::estimate), "1h 30m");

    // A typed estimate that does not parse changes nothing and says why.
    press(Qt::Key_X);
    type_in_editor("yz");
    EXPECT_EQ(day().cell_text(2, ui::day_column::estimate), "1h 30m");
    EXPECT_TRUE(p->frame().statusBar()->currentMessage().contains("not a duration"));

    // Ctrl+Up moves "third" above "second"; Ctrl+Space finishes "first".
    focus_task("third");
    press(Qt::Key_Up, Qt::ControlModifier);
    focus_task("first");
    press(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(rows().mid(1, 3), QStringList({"first", "third", "second"}));
    EXPECT_EQ(day().check_state(1, ui::day_column::status), 2);  // finished: checked

    // Undo and redo the finishing.
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(day().check_state(1, ui::day_column::status), 0);
    press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(day().check_state(1, ui::day_column::status), 2);  // finished: checked
    const QStringList before_restart = rows();

    stop();
    start();
    EXPECT_EQ(rows(), before_restart);
    EXPECT_EQ(day().check_state(1, ui::day_column::status), 2);  // finished: checked
    EXPECT_EQ(day().cell_text(3, ui::day_column::estimate), "1h 30m");
    EXPECT_EQ(day().cell_text(2, ui::day_column::day_priority), "A2");
}

TEST_F(planner_fixture, anEditOfSeveralRowsIsOneUndoStep)
{
    start();
    for (const char* name : {"a", "b", "c"}) {
        press(Qt::Key_Return);
        type_in_editor(name);
    }
    focus_task("a");
    list().edit_cell(1, ui::day_column::day_priority);
    list().selectAll();
    type_in_editor("\bC");
    EXPECT_EQ(rows(), QStringList({"A \u2014 Critical", "B \u2014 Important", "C \u2014 Desired", "a", "b", "c"}));
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rows(), QStringList({"A \u2014 Critical", "a", "b", "c", "B \u2014 Important", "C \u2014 Desired"}));
}

TEST_F(planner_fixture, copyInATextFieldCopiesTheTextNotTheTask)
{
    start();
    press(Qt::Key_Return);
    type_in_editor("a task");
    auto* field = new QLineEdit(&p->frame());
    p->frame().statusBar()->addWidget(field);
    field->show();
    field->setText("typed text");
    field->selectAll();
    field->setFocus();
    settle();
    QApplication::clipboard()->clear();
    p->frame().on_command(ui::cmd::copy);
    EXPECT_EQ(QApplication::clipboard()->text(), "typed text");
    // Undo in the field undoes the typing, not the last change of the data.
    field->end(false);
    QTest::keyClicks(field, " and more");
    p->frame().on_command(ui::cmd::undo);
    EXPECT_EQ(field->text(), "typed text");
    EXPECT_EQ(rows().value(1), "a task");
}

TEST_F(planner_fixture, theEditMenuOpenedFromTheKeyboardActsOnTheShownView)
{
    start();
    press(Qt::Key_Return);
    type_in_editor("a task");
    // Alt+E gives the menu bar the focus: its commands still reach the Day view.
    p->frame().menuBar()->setFocus();
    settle();
    ASSERT_EQ(focus(), p->frame().menuBar());
    EXPECT_EQ(p->frame().command_target(), &day());
    QAction* copy = nullptr;
    for (QAction* a : p->frame().findChildren<QAction*>())
        if (a->data().toInt() == ui::cmd::copy)
            copy = a;
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->isEnabled()) << copy->toolTip().toStdString();
    QApplication::clipboard()->clear();
    copy->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "a task");
}

TEST_F(planner_fixture, tabsShowTheirViewsAndUnknownCommandsAreIgnored)
{
    start();
    EXPECT_EQ(p->frame().active_view()->view_id(), ui::day_view::id);
    p->frame().on_command(ui::cmd::charts);
    EXPECT_EQ(p->frame().active_view()->view_id(), 186);
    p->frame().on_command(ui::cmd::next_tab);
    EXPECT_EQ(p->frame().active_view()->view_id(), 935);  // after Charts comes Overview
    p->frame().on_command(40041);
    EXPECT_EQ(p->frame().active_view()->view_id(), 964);
    p->frame().on_command(ui::cmd::priority_a);  // no task view in front: nothing happens
    p->frame().on_command(ui::cmd::day);
    EXPECT_EQ(p->frame().active_view()->view_id(), ui::day_view::id);
}

TEST_F(planner_fixture, optionsApplySavesTheFileAndFormatsFollow)
{
    start();
    press(Qt::Key_Return);
    type_in_editor("timed");
    focus_task("timed");
    list().edit_cell(1, ui::day_column::estimate);
    type_in_editor("90");
    EXPECT_EQ(day().cell_text(1, ui::day_column::estimate), "1h 30m");

    ui::options_dialog* dialog = p->open_options();
    EXPECT_EQ(dialog->page_names(), QStringList({"Calendar", "Date & Time Formatting", "Clapperboard", "Idle Menu",
                                                 "Alarms & Notifications", "Keyboard Shortcuts"}));
    auto* duration = dialog->findChild<QComboBox*>("duration_format");
    ASSERT_NE(duration, nullptr);
    duration->setCurrentIndex(4);  // "Colon and period delimited"
    dialog->apply();
    settle();
    EXPECT_EQ(day().cell_text(1, ui::day_column::estimate), "1:30");
    const app::settings_document saved = app::settings_document::load(folder.file("settings/options.ini"));
    EXPECT_EQ(saved.get_string("time formatting", "duration format"), "%dd$dd(:)%hh$hm(:)%m!$s(.)%s!");
    dialog->restore_defaults();
    dialog->apply();
    settle();
    EXPECT_EQ(day().cell_text(1, ui::day_column::estimate), "1h 30m");
}

TEST_F(planner_fixture, theDayViewFollowsTodayAcrossMidnight)
{
    start();
    const time::stored_date today = time::make_date(2026, 3, 11);
    EXPECT_EQ(day().date(), today);
    clock.set(today + 86400 + 30);  // 00:00:30 the next day
    p->frame().timers().minute_tick(time::now());
    EXPECT_EQ(day().date(), today + 86400);

    p->frame().on_command(ui::cmd::day_previous);  // looking at another day: it stays
    clock.set(today + 2 * 86400 + 30);
    p->frame().timers().minute_tick(time::now());
    EXPECT_EQ(day().date(), today);
}

namespace {

// Closes whatever menu or dialog a command opens, so a test can send
// commands that ask the user something.
struct modal_closer {
    QTimer timer;
    modal_closer()
    {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [] {
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        timer.start();
    }
};

// Commands that leave the program or hand over to another program.
bool leaves_the_program(int id)
{
    return id == ui::cmd::exit || id == ui::cmd::getting_started || id == ui::cmd::webpage ||
           id == ui::cmd::contact_support || id == 41085 || id == 41086;  // Help > Tutorials, Manual open the guide
}

}  // namespace

TEST_F(planner_fixture, everyCommandSentToEveryViewEndsAndIsIgnoredWhenNotItsOwn)
{
    start();
    for (const char* name : {"one", "two", "three"}) {
        press(Qt::Key_Return);
        type_in_editor(name);
    }
    modal_closer closer;
    QList<int> ids = p->frame().command_ids();
    for (const ui::command_info& c : ui::command_table())
        if (!ids.contains(c.id))
            ids << c.id;
    ids << ui::cmd::add_row << ui::cmd::page_up << ui::cmd::page_down;

    auto close_editor = [&] {
        if (QLineEdit* e = editor())
            QTest::keyClick(e, Qt::Key_Escape);
        settle();
    };
    for (int view_id : p->frame().view_ids()) {
        for (int id : ids) {
            if (leaves_the_program(id))
                continue;
            p->frame().show_view(view_id);
            ui::view* v = p->frame().active_view();
            ASSERT_EQ(v->view_id(), view_id);
            // What a view says it carries out is what it takes when sent.
            EXPECT_EQ(v->handles(id), v->handle_command(id)) << "view " << view_id << " command " << id;
            settle();
            close_editor();
            p->frame().show_view(view_id);
            p->frame().on_command(id);
            settle();
            close_editor();
        }
    }

    // The Day view empty, and with an editor open.
    p->frame().show_view(ui::day_view::id);
    for (bool with_editor : {false, true}) {
        day().set_date(with_editor ? time::today() : time::make_date(2030, 1, 1));
        for (int id : ids) {
            if (leaves_the_program(id))
                continue;
            p->frame().show_view(ui::day_view::id);
            if (with_editor && day().row_count() > 1) {
                list().setFocus();
                list().edit_cell(1, ui::day_column::task);
            }
            p->frame().on_command(id);
            settle();
            close_editor();
        }
    }
    EXPECT_TRUE(p->frame().isVisible());
}

TEST_F(planner_fixture, everyDefaultShortcutPressedInTheDayViewLeavesTheProgramRunning)
{
    start();
    for (const char* name : {"one", "two"}) {
        press(Qt::Key_Return);
        type_in_editor(name);
    }
    modal_closer closer;
    for (const ui::shortcut& s : ui::default_shortcuts()) {
        p->frame().show_view(ui::day_view::id);
        focus_task(day().cell_text(1, ui::day_column::task));
        settle();
        p->frame().activateWindow();
        QTest::keySequence(focus() != nullptr ? focus() : &list(), ui::key_sequence(s));
        settle();
        if (QLineEdit* e = editor())
            QTest::keyClick(e, Qt::Key_Escape);
        settle();
    }
    p->frame().show_view(ui::day_view::id);
    focus_task(day().cell_text(1, ui::day_column::task));
    press(Qt::Key_C, Qt::ControlModifier);  // Copy on a row
    EXPECT_TRUE(p->frame().isVisible());
}

TEST_F(planner_fixture, menuItemsOfCommandsNothingCarriesOutAreDisabled)
{
    start();
    press(Qt::Key_Return);
    type_in_editor("a task");
    focus_task("a task");
    settle();
    auto enabled = [&](int id) { return p->frame().command_action(id)->isEnabled(); };
    EXPECT_TRUE(enabled(ui::cmd::toggle_finished));
    EXPECT_TRUE(enabled(ui::cmd::delete_));
    EXPECT_TRUE(enabled(ui::cmd::options));
    EXPECT_TRUE(enabled(ui::cmd::clapperboard));
    EXPECT_TRUE(enabled(ui::cmd::export_));  // the frame opens import and export itself
    EXPECT_TRUE(enabled(ui::cmd::import_));
    p->frame().on_command(ui::cmd::charts);
    settle();
    EXPECT_FALSE(enabled(ui::cmd::toggle_finished));  // nothing in front would take it
    EXPECT_TRUE(enabled(ui::cmd::day));
}

TEST(options_dialog, aFormatThatIsNoChoiceSurvivesAnApplyOfOtherPages)
{
    test::temp_folder folder;
    app::options o;
    o.short_date_format = QStringLiteral("dd.MM.yy");  // typed into options.ini by hand
    o.duration_format = QStringLiteral("%h!h");
    ui::options_dialog dialog(o, folder.file("options.ini"));
    auto* start = dialog.findChildren<QTimeEdit*>().value(0);
    ASSERT_NE(start, nullptr);
    start->setTime(QTime(7, 30));  // the user changes only the working hours
    dialog.apply();
    EXPECT_EQ(o.short_date_format, "dd.MM.yy");
    EXPECT_EQ(o.duration_format, "%h!h");
    const app::settings_document saved = app::settings_document::load(folder.file("options.ini"));
    EXPECT_EQ(saved.get_string("time formatting", "short date format"), "dd.MM.yy");
    auto* box = dialog.findChild<QComboBox*>("duration_format");
    EXPECT_TRUE(box->currentText().contains("%h!h"));
    app::apply_time_options(app::options());
}

TEST(options_dialog, optionsThatCannotBeSavedStillApplyAndTheUserIsTold)
{
    test::temp_folder folder;
    test::recorded_messages messages;
    app::settings_document().save(folder.file("blocker"));  // a file where the folder should be
    app::options o;
    ui::options_dialog dialog(o, folder.file("blocker/options.ini"));
    auto* start = dialog.findChildren<QTimeEdit*>().value(0);
    ASSERT_NE(start, nullptr);
    start->setTime(QTime(7, 30));
    dialog.apply();
    EXPECT_EQ(o.working_start, 7 * 3600 + 30 * 60) << "the change applies to this run";
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts()[0].contains("The options could not be saved to")) << messages.texts()[0].toStdString();
    app::apply_time_options(app::options());
}

TEST_F(planner_fixture, sortingByAColumnComparesItsValuesNotItsText)
{
    start();
    struct row {
        const char* name;
        int estimate;
        int impact;
    };
    const row tasks[] = {{"Task 10", 3600, 10}, {"task 9", 7200, 100}, {"Task 100", 2700, 9}};
    for (const row& r : tasks) {
        press(Qt::Key_Return);
        type_in_editor(r.name);
        model::task* t = day().task_at(list().focus_row());
        ASSERT_NE(t, nullptr);
        p->commands().modify(*t, [&](model::task& x) {
            x.estimate = r.estimate;
            x.units = r.impact;
        });
    }
    settle();
    auto click_title = [&](int column_id) {
        const int section = list().columns().index_of(column_id);
        if (!list().columns().columns[section].visible)
            list().handle_command(ui::cmd::show_column_base + column_id);
        QHeaderView* header = list().header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(section) + 4, header->height() / 2));
        settle();
    };
    click_title(ui::day_column::estimate);
    EXPECT_EQ(rows().mid(1, 3), QStringList({"Task 100", "Task 10", "task 9"}));  // 45m, 1h, 2h
    click_title(ui::day_column::impact);
    EXPECT_EQ(rows().mid(1, 3), QStringList({"Task 100", "Task 10", "task 9"}));  // 9, 10, 100
    click_title(ui::day_column::impact);  // descending
    EXPECT_EQ(rows().mid(1, 3), QStringList({"task 9", "Task 10", "Task 100"}));
    click_title(ui::day_column::task);
    EXPECT_EQ(rows().mid(1, 3), QStringList({"task 9", "Task 10", "Task 100"}));  // 9, 10, 100 as numbers
}

TEST_F(planner_fixture, hiddenColumnsAreShownAndListsSortedByTheirCommands)
{
    start();
    for (const char* name : {"b", "a"}) {
        press(Qt::Key_Return);
        type_in_editor(name);
    }
    const ui::column_model& cols = list().columns();
    auto visible = [&](int id) { return cols.columns[cols.index_of(id)].visible; };
    EXPECT_FALSE(visible(ui::day_column::impact));
    p->frame().on_command(41167);  // View.TaskList.Columns: Impact
    EXPECT_TRUE(visible(ui::day_column::impact));
    QMenu menu;
    list().add_column_items(menu);
    ASSERT_EQ(menu.actions().size(), cols.columns.size());
    QAction* impact = menu.actions()[cols.index_of(ui::day_column::impact)];
    EXPECT_TRUE(impact->isChecked());
    impact->trigger();  // the header menu hides it again
    EXPECT_FALSE(visible(ui::day_column::impact));
    EXPECT_FALSE(menu.actions()[cols.index_of(ui::day_column::task)]->isEnabled());  // locked

    p->frame().on_command(41088);  // Sort By: Task
    EXPECT_EQ(rows().mid(1, 2), QStringList({"a", "b"}));
    p->frame().on_command(41038);  // Descending
    EXPECT_EQ(rows().mid(1, 2), QStringList({"b", "a"}));
    p->frame().on_command(41175);  // Default method: the day order
    EXPECT_EQ(cols.sorting_id, -1);
    EXPECT_EQ(rows().mid(1, 2), QStringList({"b", "a"}));
}

TEST_F(planner_fixture, ctrlDEditsTheHiddenDateInAVisiblePopupAndAStatusClickFinishes)
{
    start();
    for (const char* name : {"stays", "moves"}) {
        press(Qt::Key_Return);
        type_in_editor(name);
    }
    focus_task("moves");
    QTest::keyClick(&list(), Qt::Key_D, Qt::ControlModifier);
    settle();
    QLineEdit* popup = list().popup_editor();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_GT(popup->width(), 100);
    EXPECT_EQ(popup->text(), time::format_short_date(time::today()));
    QTest::keyClicks(popup, "tomorrow");
    QTest::keyClick(popup, Qt::Key_Return);
    settle();
    EXPECT_EQ(rows(), QStringList({"A \u2014 Critical", "stays", "B \u2014 Important", "C \u2014 Desired"}));

    // A click on the Status cell finishes the task; another makes it unfinished.
    const QRect status = list().visualRect(list().model()->index(1, list().columns().index_of(ui::day_column::status)));
    QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, status.center());
    settle();
    EXPECT_EQ(day().check_state(1, ui::day_column::status), 2);  // finished: checked
    QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, status.center());
    settle();
    EXPECT_EQ(day().check_state(1, ui::day_column::status), 0);
}

TEST_F(planner_fixture, theToolbarsUndoButtonOffersTheUndoList)
{
    start();
    for (const char* name : {"one", "two"}) {
        press(Qt::Key_Return);
        type_in_editor(name);
    }
    auto* button = p->frame().findChild<QToolButton*>("undo_button");
    ASSERT_NE(button, nullptr);
    ASSERT_NE(button->menu(), nullptr);
    EXPECT_EQ(button->popupMode(), QToolButton::MenuButtonPopup);
    QMenu& menu = *button->menu();
    p->frame().fill_history_menu(menu, true);
    ASSERT_GE(menu.actions().size(), 2);
    EXPECT_TRUE(menu.actions()[0]->text().contains("two")) << menu.actions()[0]->text().toStdString();
    menu.actions()[1]->trigger();  // "b": two steps back, the naming and the adding of "two"
    settle();
    EXPECT_EQ(rows(), QStringList({"A \u2014 Critical", "one", "B \u2014 Important", "C \u2014 Desired"}));
    p->frame().fill_history_menu(*p->frame().findChild<QToolButton*>("redo_button")->menu(), false);
    EXPECT_EQ(p->frame().findChild<QToolButton*>("redo_button")->menu()->actions().size(), 2);
}

TEST_F(planner_fixture, theSummaryLineWeighsTheDaysWorkAgainstTheWorkingTimeLeft)
{
    start();  // 10:00, working hours 8:00 to 18:00
    press(Qt::Key_Return);
    type_in_editor("report");
    focus_task("report");
    list().edit_cell(1, ui::day_column::estimate);
    type_in_editor("2h");
    EXPECT_EQ(day().summary(), "2h 0m planned, 8h 0m of working time left \u2014 6h 0m free");
    list().edit_cell(1, ui::day_column::estimate);
    type_in_editor("9h 30m");
    EXPECT_EQ(day().summary(), "9h 30m planned, 8h 0m of working time left \u2014 1h 30m over");
    clock.set(time::make_date(2026, 3, 11) + 17 * 3600);  // an hour before the end of work
    // A tick at second 0 is one the minute gate refuses once the real timer
    // has ticked; the summary itself reads the clock.
    p->frame().timers().minute_tick(time::now() + 1);
    EXPECT_EQ(day().summary(), "9h 30m planned, 1h 0m of working time left \u2014 8h 30m over");
}

TEST_F(planner_fixture, headingColoursFollowALightOrADarkPalette)
{
    start();
    const QPalette light = day().palette();
    QPalette dark = light;
    dark.setColor(QPalette::Base, QColor(30, 30, 34));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    day().setPalette(dark);
    for (int r = 0; r < day().row_count(); ++r) {
        const ui::row_style s = day().style_of(r);
        ASSERT_TRUE(s.heading);
        EXPECT_LT(s.background.lightness(), 110) << r;  // light text stays readable on it
    }
    day().setPalette(light);
    for (int r = 0; r < day().row_count(); ++r)
        EXPECT_GT(day().style_of(r).background.lightness(), 180) << r;
}

TEST_F(planner_fixture, theStatusCheckBoxFinishesThroughTheHistory)
{
    start();
    press(Qt::Key_Return);
    type_in_editor("tick me");
    const QModelIndex status = list().model()->index(1, list().columns().index_of(ui::day_column::status));
    EXPECT_EQ(status.data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, list().visualRect(status).center());
    settle();
    EXPECT_EQ(list().model()->index(1, status.column()).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_TRUE(p->history().undo_list().front().text.contains("finished"));
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(list().model()->index(1, status.column()).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
}
