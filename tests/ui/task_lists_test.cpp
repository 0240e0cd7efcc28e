// The Tasks tab's lists as a user drives them: the task list, the upcoming
// list and the tag list through keys and commands on a temporary data
// folder, each then read back from the file after a restart.

#include "app/settings_document.h"
#include "history/comment_commands.h"
#include "support/test_support.h"
#include "time/calendar.h"
#include "time/format.h"
#include "time/recurrence.h"
#include "ui/commands.h"
#include "ui/day_view.h"
#include "ui/planner.h"
#include "ui/projects_view.h"
#include "ui/tag_tasks_view.h"
#include "ui/task_lists.h"
#include "model/tags.h"

#include <QFileInfo>

#include <QApplication>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;
using ui::task_column::task;

namespace {

time::stored_date D(int y, int m, int d) { return time::make_date(y, m, d); }

struct task_lists : ::testing::Test {
    fixed_clock clock{D(2026, 3, 11) + 10 * 3600};  // a Wednesday, 10:00
    temp_folder folder;
    std::unique_ptr<ui::planner> p;

    void start()
    {
        p = std::make_unique<ui::planner>(portable_locator(folder.path()));
        p->start();
        p->frame().show();
        p->frame().activateWindow();
        QApplication::setActiveWindow(&p->frame());
        settle();
    }
    void restart()
    {
        p->frame().close();
        p.reset();
        start();
    }
    static void settle()
    {
        for (int i = 0; i < 4; ++i)
            QCoreApplication::processEvents();
    }
    model::task_ptr add(const QString& name, time::stored_date date, int status = model::status::unfinished)
    {
        auto t = std::make_shared<model::task>();
        t->name = name;
        t->date = date;
        t->status = status;
        p->commands().add(t);
        settle();
        return t;
    }
    void show(ui::task_list_view& v, int tab_command)
    {
        p->frame().on_command(tab_command);
        settle();
        EXPECT_EQ(p->frame().active_view(), &v);
        v.list().setFocus();
    }
    static QStringList names(ui::task_list_view& v)
    {
        QStringList out;
        for (int r = 0; r < v.row_count(); ++r)
            out << v.cell_text(r, task);
        return out;
    }
    static void focus(ui::task_list_view& v, const QString& name, int column = task)
    {
        for (int r = 0; r < v.row_count(); ++r)
            if (v.cell_text(r, task) == name) {
                v.list().set_focus_cell(r, column);
                v.list().setFocus();
                return;
            }
        FAIL() << "no row " << name.toStdString();
    }
    static QLineEdit* editor(ui::cell_list& list)
    {
        for (QLineEdit* e : list.viewport()->findChildren<QLineEdit*>())
            if (e->isVisible())
                return e;
        return nullptr;
    }
    static void type_into_editor(ui::cell_list& list, const QString& text)
    {
        QLineEdit* e = editor(list);
        ASSERT_NE(e, nullptr) << "no editor open";
        e->selectAll();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
        settle();
    }
    std::vector<QStringList> sql(const QString& query)
    {
        started_core reader(folder.path());
        return test::query(reader.drain_and_reopen(), query);
    }
};

}  // namespace

TEST_F(task_lists, taskListGroupsByDateEditsInPlaceAndKeepsItsFilters)
{
    start();
    add("tomorrow's", D(2026, 3, 12));
    add("undated", time::NO_DATE);
    add("today's", D(2026, 3, 11));
    add("done", D(2026, 3, 11), model::status::finished);
    ui::all_tasks_view& v = *p->task_list();
    show(v, 40011);
    EXPECT_EQ(names(v), QStringList({ui::date_heading(D(2026, 3, 11)), "today's", "done",
                                     ui::date_heading(D(2026, 3, 12)), "tomorrow's", "No Date", "undated"}));

    // Enter on a heading adds a task of that date and opens its name.
    focus(v, ui::date_heading(D(2026, 3, 12)));
    QTest::keyClick(&v.list(), Qt::Key_Return);
    settle();
    type_into_editor(v.list(), "typed here");
    ASSERT_GE(v.row_of(p->core().tasks().all().back()->id), 0);
    EXPECT_EQ(v.task_at(v.row_of(p->core().tasks().all().back()->id))->date, D(2026, 3, 12));

    // An estimate typed into its cell; a bad one changes nothing and says why.
    focus(v, "undated", ui::task_column::estimate);
    QTest::keyClick(&v.list(), Qt::Key_2);
    type_into_editor(v.list(), "1h 15m");
    EXPECT_EQ(v.cell_text(v.row_of(v.task_at(v.list().focus_row())->id), ui::task_column::estimate), "1h 15m");
    QTest::keyClick(&v.list(), Qt::Key_X);
    type_into_editor(v.list(), "nonsense");
    EXPECT_TRUE(p->frame().statusBar()->currentMessage().contains("not a duration"));

    // Assign to Today moves the undated task under today's heading.
    focus(v, "undated");
    p->frame().on_command(40252);
    settle();
    EXPECT_EQ(names(v).mid(0, 4),
              QStringList({ui::date_heading(D(2026, 3, 11)), "today's", "done", "undated"}));

    // View > Task List > Finished hides the finished rows and counts them.
    p->frame().on_command(41031);
    settle();
    EXPECT_FALSE(names(v).contains("done"));
    EXPECT_EQ(v.hidden_row_count(), 1);

    // Sorting by the Task column sorts within each date.
    p->frame().on_command(41088);
    settle();
    EXPECT_EQ(names(v).mid(0, 3), QStringList({ui::date_heading(D(2026, 3, 11)), "today's", "undated"}));

    restart();
    ui::all_tasks_view& again = *p->task_list();
    EXPECT_FALSE(names(again).contains("done"));  // the filter came back from "tasks.ini"
    EXPECT_EQ(again.list().columns().sorting_id, task);
    const auto rows = sql("SELECT name, date, estimate FROM Tasks WHERE name IN ('undated', 'typed here') ORDER BY name");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], QStringList({"typed here", QString::number(D(2026, 3, 12)), "0"}));
    EXPECT_EQ(rows[1], QStringList({"undated", QString::number(D(2026, 3, 11)), "4500"}));
}

TEST_F(task_lists, upcomingListShowsTheComingDaysWithTheOverdueFirst)
{
    start();
    add("late", D(2026, 3, 9));
    add("late but done", D(2026, 3, 9), model::status::finished);
    add("now", D(2026, 3, 11));
    add("saturday", D(2026, 3, 14));
    add("far off", D(2026, 4, 20));
    ui::upcoming_view& v = *p->upcoming();
    show(v, 40041);
    const QStringList rows = names(v);
    ASSERT_GE(rows.size(), 6);
    EXPECT_EQ(rows.mid(0, 4), QStringList({"Overdue", "late", ui::date_heading(D(2026, 3, 11)), "now"}));
    EXPECT_TRUE(rows.contains("saturday"));
    EXPECT_FALSE(rows.contains("far off"));       // beyond the two weeks shown
    EXPECT_FALSE(rows.contains("late but done"));  // done: hidden at first
    EXPECT_EQ(v.row_kind(0), "heading");
    EXPECT_TRUE(v.cell_foreground(0, task).isValid());  // the overdue heading is marked
    EXPECT_TRUE(v.cell_foreground(1, ui::task_column::date).isValid());

    // Ctrl+Shift+D (Today) from the keyboard brings the late task to today.
    focus(v, "late");
    QTest::keyClick(&v.list(), Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    settle();
    // It joins today's list at the end of its group.
    EXPECT_EQ(names(v).mid(0, 3), QStringList({ui::date_heading(D(2026, 3, 11)), "now", "late"}));

    v.set_days(60);
    EXPECT_TRUE(names(v).contains("far off"));
    restart();
    EXPECT_EQ(p->upcoming()->days(), 60);
    const auto late = sql("SELECT date FROM Tasks WHERE name = 'late'");
    ASSERT_EQ(late.size(), 1u);
    EXPECT_EQ(late[0][0], QString::number(D(2026, 3, 11)));
}

TEST_F(task_lists, tagListShowsEachTagsTasksAndRenamesTags)
{
    start();
    model::task_ptr call = add("call the bank", D(2026, 3, 11));
    model::task_ptr shop = add("buy bread", D(2026, 3, 12));
    add("untagged", D(2026, 3, 12));
    ui::tag_tasks_view& v = *p->tag_tasks();
    show(v, 40044);
    // Tags typed into the Tag cell of the list for tasks without a tag.
    v.tags().select(ui::tag_list_pane::no_tag);
    settle();
    focus(v, "call the bank", ui::task_column::tags);
    QTest::keyClick(&v.list(), Qt::Key_P);
    type_into_editor(v.list(), "Phone");
    focus(v, "buy bread", ui::task_column::tags);
    QTest::keyClick(&v.list(), Qt::Key_H);
    type_into_editor(v.list(), "Home, Phone");
    settle();
    ui::tag_list_pane& tags = v.tags();
    QStringList tag_rows;
    for (int r = 0; r < tags.row_count(); ++r)
        tag_rows << tags.cell_text(r, ui::tag_list_pane::name_column) + "/" +
                        tags.cell_text(r, ui::tag_list_pane::count_column);
    EXPECT_EQ(tag_rows, QStringList({"Home/1", "Phone/2", "(No Tag)/"}));

    // The tag's own list, titled by its name; Enter adds a task carrying it.
    tags.select(model::find_tag(p->core().tables(), "Phone")->id);
    settle();
    EXPECT_EQ(names(v), QStringList({ui::date_heading(D(2026, 3, 11)), "call the bank",
                                     ui::date_heading(D(2026, 3, 12)), "buy bread"}));
    EXPECT_TRUE(v.make_printout().range.contains("tag task list for Phone"));
    focus(v, "buy bread");
    QTest::keyClick(&v.list(), Qt::Key_Return);
    settle();
    type_into_editor(v.list(), "call the plumber");
    EXPECT_TRUE(names(v).contains("call the plumber"));

    // Typing on a tag renames it; onto an existing name it merges.
    tags.list().setFocus();
    tags.select(model::find_tag(p->core().tables(), "Home")->id);
    QTest::keyClick(&tags.list(), Qt::Key_P);
    type_into_editor(tags.list(), "phone");
    settle();
    EXPECT_FALSE(model::find_tag(p->core().tables(), "Home"));
    EXPECT_EQ(tags.row_count(), 2);  // Phone and (No Tag)

    restart();
    const auto rows = sql("SELECT t.name, c.name FROM Tasks t JOIN TaskContexts tc ON tc.task = t.id "
                          "JOIN Contexts c ON c.id = tc.context ORDER BY t.name");
    EXPECT_EQ(rows, (std::vector<QStringList>{{"buy bread", "Phone"}, {"call the bank", "Phone"},
                                              {"call the plumber", "Phone"}}));
    EXPECT_EQ(p->tag_tasks()->tags().current(), model::find_tag(p->core().tables(), "Phone")->id);
    EXPECT_TRUE(QFileInfo::exists(folder.path() + "settings/tasks_contexts.ini"));
}

TEST_F(task_lists, masterRowsOpenOntoTheirOccurrencesAndCommentsShowUnderTheirTask)
{
    start();
    model::task_ptr t = add("water plants", D(2026, 3, 11));
    time::recurrence r;
    r.type = time::recurrence_kind::weekly;
    r.param1 = 1 << 3;  // Wednesdays
    r.param2 = 1;
    r.starting_date = D(2026, 3, 11);
    ASSERT_TRUE(p->recurring().make_master(*t, *t, r));
    p->core().tasks().look_at(D(2026, 3, 18));
    model::task_ptr note_owner = add("write report", D(2026, 3, 12));
    ASSERT_TRUE(p->comments().add_to_task(*note_owner, "ask Anna for the figures"));
    settle();

    ui::all_tasks_view& v = *p->task_list();
    show(v, 40011);
    v.list().handle_command(ui::cmd::show_column_base + ui::task_column::recurrence);
    const int master = v.row_of(t->id);
    ASSERT_GE(master, 0);
    EXPECT_EQ(v.cell_text(master, ui::task_column::date), "Recurring");
    EXPECT_EQ(v.cell_text(master, ui::task_column::recurrence), time::describe(*p->core().recurrences().pattern_of(t->id)));
    const QVector<ui::cell_button> buttons = v.cell_buttons(master, task);
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons[0].text, "Show recurrences");

    // The button opens the master: its occurrences follow, one level down.
    const int before = v.row_count();
    v.cell_button_clicked(master, task, buttons[0].command);
    settle();
    EXPECT_EQ(v.cell_buttons(v.row_of(t->id), task)[0].text, "Hide recurrences");
    const int occurrences = v.row_count() - before;
    EXPECT_EQ(occurrences, static_cast<int>(p->core().recurrences().occurrences_of(t->id).size()));
    EXPECT_GE(occurrences, 2);
    EXPECT_EQ(v.tree()->level_of_row(v.row_of(t->id) + 1), v.tree()->level_of_row(v.row_of(t->id)) + 1);
    // Alt+- (Collapse) closes it again from the keyboard.
    v.list().set_focus_cell(v.row_of(t->id), task);
    p->frame().on_command(41208);
    settle();
    EXPECT_EQ(v.row_count(), before);

    // The comment shows under its task until Comments are hidden.
    const int owner = v.row_of(note_owner->id);
    ASSERT_GE(owner, 0);
    EXPECT_EQ(v.row_kind(owner + 1), "comment");
    EXPECT_TRUE(v.cell_text(owner + 1, task).contains("ask Anna for the figures"));
    p->frame().on_command(41027);
    settle();
    EXPECT_NE(v.row_kind(v.row_of(note_owner->id) + 1), "comment");
}

TEST_F(task_lists, cellCommandsStepClearAndMoveThroughTheFile)
{
    start();
    model::task_ptr a = add("first", D(2026, 3, 11));
    model::task_ptr b = add("second", D(2026, 3, 11));
    p->commands().modify(*b, [](model::task& x) { x.deadline = D(2026, 3, 20) + 17 * 3600; });
    settle();
    p->frame().on_command(ui::cmd::day);
    settle();
    ui::day_view& day = *p->day();
    day.list().setFocus();
    day.list().set_focus_cell(day.row_of(b->id), ui::task_column::estimate);
    // Ctrl+= twice, Ctrl+- once: a quarter of an hour.
    for (auto [key, mods] : {std::pair{Qt::Key_Equal, Qt::ControlModifier}, std::pair{Qt::Key_Equal, Qt::ControlModifier},
                             std::pair{Qt::Key_Minus, Qt::ControlModifier}})
        QTest::keyClick(&day.list(), key, mods);
    settle();
    EXPECT_EQ(b->estimate, 15 * 60);
    // Increment on the deadline moves it a day, keeping its time.
    day.list().set_focus_cell(day.row_of(b->id), ui::task_column::deadline);
    p->frame().on_command(ui::list_cmd::cell_increment);
    EXPECT_EQ(b->deadline, D(2026, 3, 21) + 17 * 3600);
    // Clear takes it away; Undo brings it back.
    p->frame().on_command(ui::list_cmd::cell_clear);
    EXPECT_EQ(b->deadline, 0);
    p->frame().on_command(ui::cmd::undo);
    EXPECT_EQ(b->deadline, D(2026, 3, 21) + 17 * 3600);
    // Ctrl+Shift+Up moves "second" to the top of its group.
    day.list().set_focus_cell(day.row_of(b->id), task);
    QTest::keyClick(&day.list(), Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
    settle();
    EXPECT_LT(day.row_of(b->id), day.row_of(a->id));
    // Schedule Between, as its dialog hands the typed text over.
    const ui::task_cells cells{p->core().tasks(), p->commands(), p->core().tables()};
    QString message;
    EXPECT_FALSE(cells.schedule_between(p->history(), {b.get()}, "11am - 9am", message));
    EXPECT_TRUE(message.contains("not two times in order"));
    EXPECT_TRUE(cells.schedule_between(p->history(), {b.get()}, "9am - 11:30am", message));
    settle();
    EXPECT_EQ(day.cell_text(day.row_of(b->id), ui::task_column::scheduling),
              time::constraint_text(9 * 3600, 11 * 3600 + 1800));

    restart();
    const auto rows =
        sql("SELECT name, estimate, deadline, appointment_start, appointment_duration FROM Tasks ORDER BY priority_value");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], QStringList({"second", "900", QString::number(D(2026, 3, 21) + 17 * 3600), "32400", "41400"}));
}

TEST_F(task_lists, descriptionRowsAndTheirFilterComeBackAfterARestart)
{
    start();
    model::task_ptr t = add("pack for the trip", D(2026, 3, 13));
    add("already packed", D(2026, 3, 13), model::status::finished);
    ui::all_tasks_view& v = *p->task_list();
    show(v, 40011);
    focus(v, "pack for the trip");
    v.ask_description = [](QWidget*, const QString& current) -> std::optional<QString> {
        EXPECT_TRUE(current.isEmpty());
        return QStringLiteral("Passport, charger\nand the tickets");
    };
    p->frame().on_command(41191);
    settle();
    const int row = v.row_of(t->id);
    ASSERT_EQ(v.row_kind(row + 1), "description");
    EXPECT_EQ(v.cell_text(row + 1, task), "Passport, charger\u2026");

    // View > Task List: Finished, then Descriptions, each hides its rows.
    for (int command : {41031, 41026}) {
        p->frame().on_command(command);
        settle();
    }
    EXPECT_EQ(names(v), QStringList({ui::date_heading(D(2026, 3, 13)), "pack for the trip"}));
    EXPECT_EQ(v.list().columns().filter_flags, 0x80 | 0x4);

    restart();
    EXPECT_EQ(p->task_list()->list().columns().filter_flags, 0x80 | 0x4);
    const auto rows = sql("SELECT description FROM Tasks WHERE name = 'pack for the trip'");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "Passport, charger\nand the tickets");
}

TEST_F(task_lists, cutCopyAndPasteGiveTheTasksTheDateOfTheRowTheyLandOn)
{
    start();
    add("write the report", D(2026, 3, 11));
    add("plan the trip", D(2026, 3, 14));
    add("someday", time::NO_DATE);
    ui::all_tasks_view& v = *p->task_list();
    show(v, 40011);
    auto dates_of = [this](const QString& name) {
        std::vector<time::stored_date> out;
        for (const model::task_ptr& t : p->core().tasks().all())
            if (t->name == name)
                out.push_back(t->date);
        std::sort(out.begin(), out.end());
        return out;
    };

    // A copy pasted onto another day's task lands on that day, beside the original.
    focus(v, "write the report");
    p->frame().on_command(ui::cmd::copy);
    focus(v, "plan the trip");
    p->frame().on_command(ui::cmd::paste);
    settle();
    EXPECT_EQ(dates_of("write the report"), (std::vector<time::stored_date>{D(2026, 3, 11), D(2026, 3, 14)}));
    EXPECT_EQ(v.task_at(v.list().focus_row())->name, "write the report");
    EXPECT_EQ(p->history().entries().back()->label, "pasting into the task list");

    // A cut pasted onto the "No Date" heading moves the task there, and undo takes it back.
    focus(v, "plan the trip");
    p->frame().on_command(ui::cmd::cut);
    focus(v, "No Date");
    p->frame().on_command(ui::cmd::paste);
    settle();
    EXPECT_EQ(dates_of("plan the trip"), std::vector<time::stored_date>{time::NO_DATE});
    EXPECT_EQ(dates_of("someday"), std::vector<time::stored_date>{time::NO_DATE});
    p->history().undo_step();
    settle();
    EXPECT_EQ(dates_of("plan the trip"), std::vector<time::stored_date>{D(2026, 3, 14)});
    p->history().redo_step();
    settle();

    // A tag's list does not take pasted tasks, and says where they go.
    ui::tag_tasks_view& tags = *p->tag_tasks();
    show(tags, 40044);
    tags.tags().select(ui::tag_list_pane::no_tag);
    settle();
    focus(tags, "someday");
    p->frame().on_command(ui::cmd::copy);
    const std::size_t before = p->core().tasks().all().size();
    p->frame().on_command(ui::cmd::paste);
    settle();
    EXPECT_EQ(p->core().tasks().all().size(), before);
    EXPECT_TRUE(p->frame().statusBar()->currentMessage().contains("paste into the Task List or a day"));

    const auto rows = sql("SELECT name, date FROM Tasks ORDER BY name, date");
    EXPECT_EQ(rows, (std::vector<QStringList>{{"plan the trip", QString::number(time::NO_DATE)},
                                              {"someday", QString::number(time::NO_DATE)},
                                              {"write the report", QString::number(D(2026, 3, 11))},
                                              {"write the report", QString::number(D(2026, 3, 14))}}));
}

TEST_F(task_lists, aHeadingsTextRunsOnOverTheEmptyCellsAfterIt)
{
    start();
    add("write the report", D(2026, 3, 11));
    ui::all_tasks_view& v = *p->task_list();
    show(v, 40011);
    ui::cell_list& list = v.list();
    const int heading = 0, row = v.row_of(p->core().tasks().all().back()->id);
    ASSERT_EQ(v.row_kind(heading), "heading");
    const int task_col = list.columns().index_of(task);
    const int date_col = list.columns().index_of(ui::task_column::date);
    const int status_col = list.columns().index_of(ui::task_column::status);
    auto right_of = [&](int r, int c) {
        const QRect cell = list.visualRect(list.model()->index(r, c));
        return list.heading_span_right(list.model()->index(r, c), cell.right());
    };
    const QRect task_cell = list.visualRect(list.model()->index(heading, task_col));
    // The heading's cell reaches past its column, over the empty cells to
    // the end of the row; those paint nothing; the cell before it paints itself.
    EXPECT_GT(right_of(heading, task_col), task_cell.right());
    EXPECT_EQ(right_of(heading, date_col), -1);
    const QRect status_cell = list.visualRect(list.model()->index(heading, status_col));
    EXPECT_EQ(right_of(heading, status_col), status_cell.right());
    // A task's row keeps its cells.
    const QRect own = list.visualRect(list.model()->index(row, task_col));
    EXPECT_EQ(right_of(row, task_col), own.right());
    EXPECT_EQ(right_of(row, date_col), list.visualRect(list.model()->index(row, date_col)).right());
}
