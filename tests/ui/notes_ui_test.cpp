// Comments, the day note, dependencies and habits in the running planner:
// Add Comment from the Day view, the day note edited in place, the
// Dependencies page refusing a circle, the waiting mark, the Overview's
// habits; each kept across a restart.

#include "model/habits.h"
#include "support/test_support.h"
#include "ui/comment_editor.h"
#include "ui/comments_list.h"
#include "ui/day_notes_pane.h"
#include "ui/day_view.h"
#include "ui/habit_dialog.h"
#include "ui/habits_panel.h"
#include "ui/planner.h"
#include "ui/commands.h"
#include "ui/projects_view.h"
#include "ui/project_dialog.h"
#include "model/comments.h"
#include "ui/task_comments_page.h"
#include "ui/task_dependencies_page.h"
#include "ui/task_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

struct notes_ui : ::testing::Test {
    fixed_clock clock{time::make_date(2026, 3, 11) + 10 * 3600 + 900};
    temp_folder folder;
    std::unique_ptr<ui::planner> p;
    QStringList answers;  // what the comment editor is answered, in turn
    ui::comment_asker saved_asker = ui::ask_comment();

    notes_ui()
    {
        ui::ask_comment() = [this](QWidget*, const QString&, const QString&) -> std::optional<QString> {
            if (answers.isEmpty())
                return std::nullopt;
            return answers.takeFirst();
        };
    }
    ~notes_ui() override { ui::ask_comment() = saved_asker; }

    void start()
    {
        p = std::make_unique<ui::planner>(portable_locator(folder.path()));
        p->start();
        p->frame().show();
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
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    ui::day_view& day() { return *p->day(); }
    model::task_ptr add(const QString& name)
    {
        auto t = std::make_shared<model::task>();
        t->name = name;
        t->date = time::today();
        t->priority = 1;
        p->commands().add(t);
        settle();
        day().refresh();
        return t;
    }
    model::task_ptr task(const QString& name)
    {
        for (const auto& t : p->core().tasks().all())
            if (t->name == name)
                return t;
        return nullptr;
    }
    ui::day_notes_pane* notes() { return day().findChild<ui::day_notes_pane*>(); }
    void focus_task(const QString& name) { day().list().set_focus_cell(day().row_of(task(name)->id), ui::day_column::task); }
    template <class Page>
    Page* page_of(ui::task_dialog& d)
    {
        for (int i = 0; i < d.page_count(); ++i)
            if (auto* page = dynamic_cast<Page*>(d.page(i)))
                return page;
        return nullptr;
    }
};

}  // namespace

TEST_F(notes_ui, twoCommentsFromTheDayViewAndADayNoteSurviveARestart)
{
    start();
    add("Paint the fence");
    focus_task("Paint the fence");
    answers = {"Bought the paint", "First coat done"};
    ASSERT_TRUE(day().handles(40991));
    EXPECT_TRUE(day().handle_command(40991));
    EXPECT_TRUE(day().handle_command(40991));
    ASSERT_EQ(task("Paint the fence")->comments.size(), 2u);

    // On a heading, Add Comment writes a free comment of the day.
    day().list().set_focus_cell(0, ui::day_column::task);
    answers = {"Phoned the plumber"};
    day().handle_command(40991);
    ASSERT_EQ(notes()->comment_lines().size(), 1);
    EXPECT_TRUE(notes()->comment_lines().front().endsWith("Phoned the plumber"));

    notes()->note_editor()->setPlainText("Sunny, worked outside");
    notes()->commit_note();
    // Moving to another day and back shows the note of each.
    day().set_date(time::tomorrow());
    EXPECT_TRUE(notes()->note_editor()->toPlainText().isEmpty());
    day().set_date(time::today());
    EXPECT_EQ(notes()->note_editor()->toPlainText(), "Sunny, worked outside");

    restart();
    ASSERT_TRUE(task("Paint the fence"));
    std::vector<QString> texts;
    for (const auto& c : task("Paint the fence")->comments)
        texts.push_back(c.comment);
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<QString>{"Bought the paint", "First coat done"}));
    EXPECT_EQ(notes()->note_editor()->toPlainText(), "Sunny, worked outside");
    EXPECT_EQ(notes()->comment_lines().size(), 1);

    // The Comments page lists them, and an edit there is one undoable change.
    ui::task_dialog d(*task("Paint the fence"), p->core().tasks(), p->core().tables(), &p->timer(), QString());
    auto* page = page_of<ui::task_comments_page>(d);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->comments()->list()->topLevelItemCount(), 2);
    page->comments()->list()->setCurrentItem(page->comments()->list()->topLevelItem(0));
    page->comments()->delete_selected();
    d.accept();
    ASSERT_TRUE(d.commit(p->commands()));
    EXPECT_EQ(task("Paint the fence")->comments.size(), 1u);
    p->history().undo_step();
    EXPECT_EQ(task("Paint the fence")->comments.size(), 2u);
}

TEST_F(notes_ui, aTaskWaitingOnAnUnfinishedOneIsMarkedAndACircleIsRefused)
{
    start();
    add("A");
    add("B");
    {
        ui::task_dialog d(*task("B"), p->core().tasks(), p->core().tables(), &p->timer(), QString());
        auto* page = page_of<ui::task_dependencies_page>(d);
        ASSERT_NE(page, nullptr);
        page->chooser()->setText("nothing like it");
        EXPECT_FALSE(page->add_chosen());
        EXPECT_EQ(page->problem(), "No task is named \"nothing like it\".");
        page->chooser()->setText("a");  // names match without regard to case
        // Enter in the box adds the task and leaves the dialog open.
        d.show();
        for (int i = 0; i < d.page_count(); ++i)
            if (d.page(i) == page)
                d.show_page(i);
        QTest::keyClick(page->chooser(), Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(page->dependencies().size(), 1u);
        d.accept();
        ASSERT_TRUE(d.commit(p->commands()));
    }
    settle();
    day().refresh();
    const int b_row = day().row_of(task("B")->id);
    EXPECT_EQ(day().cell_text(b_row, ui::day_column::status), "\u25CC Waits");
    EXPECT_TRUE(day().cell_tip(b_row, ui::day_column::task).endsWith("Waits on: A"));
    EXPECT_EQ(day().cell_text(day().row_of(task("A")->id), ui::day_column::status), "");

    {
        ui::task_dialog d(*task("A"), p->core().tasks(), p->core().tables(), &p->timer(), QString());
        auto* page = page_of<ui::task_dependencies_page>(d);
        page->chooser()->setText("B");
        EXPECT_FALSE(page->add_chosen());
        EXPECT_EQ(page->problem(), "\"B\" already waits on this task, so this task cannot wait on it.");
        EXPECT_TRUE(page->dependencies().empty());
    }

    p->commands().toggle_finished({task("A").get()});
    settle();
    day().refresh();
    EXPECT_EQ(day().cell_text(day().row_of(task("B")->id), ui::day_column::status), "");
    restart();
    EXPECT_EQ(task("B")->dependencies, std::vector<std::int32_t>{task("A")->id});
}

TEST_F(notes_ui, habitsAreAddedInTheOverviewWithTheirPointsAndRefusedWithoutAnItem)
{
    start();
    auto* overview = p->frame().findChild<ui::habits_panel*>();
    ASSERT_NE(overview, nullptr);
    auto role = p->core().tables().roles.add_entity({0, 0, "Health", {}, {}, 0, 0x0050a0ff});

    ui::habit_sources sources{p->core().tasks(), p->core().projects(), p->core().recurrences(), p->core().tables()};
    store::habit_record fresh;
    fresh.type = model::habit_kind::role;
    fresh.points = 1;
    ui::habit_dialog dialog(sources, fresh, true);
    EXPECT_EQ(dialog.windowTitle(), "Add habit");
    dialog.description_edit()->setText("Exercise");
    dialog.accept();  // no item chosen: refused
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.problem_label()->isHidden());
    // Every role is offered (a new file has the default ones too): take ours.
    int ours = -1;
    for (int i = 0; i < dialog.item_list()->count(); ++i)
        if (dialog.item_list()->item(i)->data(Qt::UserRole).toInt() == role->id)
            ours = i;
    ASSERT_GE(ours, 0);
    dialog.item_list()->setCurrentRow(ours);
    dialog.points_box()->setValue(3);
    dialog.grab().save("/tmp/comments-habit-dialog.png");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const store::habit_record wanted = dialog.habit();
    EXPECT_EQ(wanted.attached_id, role->id);
    EXPECT_EQ(wanted.duration, 0);

    overview->edit = [&](const store::habit_record&, bool) { return std::optional<store::habit_record>(wanted); };
    overview->add_habit();
    model::task_ptr t = add("Run");
    p->commands().modify(*t, [&](model::task& x) {
        x.role = role->id;
        x.status = model::status::finished;
    });
    overview->refresh();
    ASSERT_EQ(overview->habits()->topLevelItemCount(), 1);
    QTreeWidgetItem* row = overview->habits()->topLevelItem(0);
    EXPECT_EQ(row->text(0), "Exercise");
    EXPECT_EQ(row->text(2), "3");
    EXPECT_EQ(row->text(3), "3");
    EXPECT_EQ(row->text(1), "3 points on the completion of a task of the role: Health");
    overview->resize(900, 500);
    overview->window()->grab().save("/tmp/comments-overview.png");

    restart();
    ASSERT_EQ(p->core().tables().habits.cache().size(), 1u);
    EXPECT_EQ(p->core().tables().habits.cache().front()->points, 3);
}

TEST_F(notes_ui, aProjectsCommentsAreWrittenInItsDialogAndKept)
{
    start();
    auto project = std::make_shared<model::project>();
    project->name = "Garden";
    p->project_commands().add(project);
    {
        ui::project_dialog d(p->project_tools(), *project, folder.file("project_dlg.ini"));
        answers = {"Ordered the seeds"};
        d.comments()->add_comment();
        ASSERT_TRUE(d.save());
    }
    ASSERT_EQ(project->comments.size(), 1u);
    EXPECT_EQ(project->comments.front().type, model::comment_type::project);
    restart();
    model::project_ptr again = p->core().projects().find(project->id);
    ASSERT_TRUE(again);
    ASSERT_EQ(again->comments.size(), 1u);
    EXPECT_EQ(again->comments.front().comment, "Ordered the seeds");
}

namespace {

// Add Comment on a heading writes a free comment for the day shown, not for
// today: at the moment when today is shown, at noon of another day.
TEST_F(notes_ui, addCommentOnAHeadingIsDatedTheDayShown)
{
    start();
    const time::stored_date tomorrow = time::tomorrow();
    day().set_date(tomorrow);
    settle();
    day().list().set_focus_cell(0, ui::day_column::task);
    answers = {"Remember the keys"};
    ASSERT_TRUE(day().handle_command(40991));
    std::vector<model::comment_ptr> written;
    for (const auto& c : p->core().tables().comments.cache())
        if (c->type == model::comment_type::free_comment)
            written.push_back(c);
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written.front()->time, tomorrow + 12 * 3600);
    EXPECT_EQ(notes()->comment_lines().size(), 1);
    day().set_date(time::today());
    settle();
    EXPECT_TRUE(notes()->comment_lines().isEmpty());
    answers = {"Left early"};
    ASSERT_TRUE(day().handle_command(40991));
    ASSERT_EQ(notes()->comment_lines().size(), 1);
    EXPECT_TRUE(notes()->comment_lines().front().endsWith("Left early"));
    restart();
    day().set_date(tomorrow);
    settle();
    ASSERT_EQ(notes()->comment_lines().size(), 1);
    EXPECT_TRUE(notes()->comment_lines().front().endsWith("Remember the keys"));
}

// Add Comment in the Projects tab: on the project list a comment of the
// project, on the task list a comment of the focus task; both kept.
TEST_F(notes_ui, addCommentInTheProjectsTabGoesToTheProjectOrItsTask)
{
    start();
    p->frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p->frame()));
    auto project = std::make_shared<model::project>();
    project->name = "Garden";
    p->project_commands().add(project);
    auto t = std::make_shared<model::task>();
    t->name = "Dig the beds";
    t->project = project->id;
    t->date = time::NO_DATE;
    p->commands().add(t);
    settle();
    p->frame().on_command(ui::cmd::projects);
    ui::projects_view& view = *p->projects();
    view.refresh();
    view.projects().select_project(project->id);
    view.projects().list().setFocus();
    settle();
    ASSERT_TRUE(view.handles(40991));
    answers = {"Ordered the seeds"};
    ASSERT_TRUE(view.handle_command(40991));
    ASSERT_EQ(p->core().projects().find(project->id)->comments.size(), 1u);
    EXPECT_EQ(p->core().projects().find(project->id)->comments.front().type, model::comment_type::project);

    view.tasks().list().setFocus();
    view.tasks().list().set_focus_cell(view.tasks().row_of(t->id), 0);
    settle();
    answers = {"Half done"};
    ASSERT_TRUE(view.handle_command(40991));
    ASSERT_EQ(task("Dig the beds")->comments.size(), 1u);
    EXPECT_EQ(task("Dig the beds")->comments.front().comment, "Half done");
    // A blank answer writes nothing.
    answers = {"   "};
    view.handle_command(40991);
    EXPECT_EQ(task("Dig the beds")->comments.size(), 1u);

    restart();
    EXPECT_EQ(p->core().projects().find(project->id)->comments.size(), 1u);
    EXPECT_EQ(task("Dig the beds")->comments.size(), 1u);
}

}  // namespace
