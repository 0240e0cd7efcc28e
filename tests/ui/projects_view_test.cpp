// The Projects tab driven from the keyboard on a temporary data folder, then
// restarted on the same folder: the tree, its order and its expansion return.

#include "support/test_support.h"
#include "ui/commands.h"
#include "ui/projects_view.h"
#include "ui/planner.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

struct projects_fixture : ::testing::Test {
    fixed_clock clock{time::make_date(2026, 3, 11) + 10 * 3600};
    temp_folder folder;
    std::unique_ptr<ui::planner> p;
    std::vector<QString> questions;
    bool answer = true;

    void start()
    {
        p = std::make_unique<ui::planner>(portable_locator(folder.path()));
        p->start();
        p->project_tools().ask = [this](QWidget*, const history::question& q) {
            questions.push_back(q.text);
            return answer;
        };
        p->frame().show();
        p->frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&p->frame()));
        p->frame().on_command(ui::cmd::projects);
        project_list().setFocus();
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
    ui::projects_view& view() { return *p->projects(); }
    ui::cell_list& project_list() { return view().projects().list(); }
    ui::cell_list& task_list() { return view().tasks().list(); }

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
    void press(ui::cell_list& list, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(&list, static_cast<Qt::Key>(key), mods);
        settle();
    }
    // The first column as shown, indented by two blanks per level.
    QStringList rows(ui::cell_list& list, ui::cell_list_owner& owner, ui::tree_rows& tree, int column)
    {
        QStringList out;
        for (int r = 0; r < owner.row_count(); ++r)
            out << QString(tree.level_of_row(r) * 2, QLatin1Char(' ')) + owner.cell_text(r, column);
        (void)list;
        return out;
    }
    QStringList project_rows()
    {
        return rows(project_list(), view().projects(), *view().projects().tree(), ui::project_column::name);
    }
    QStringList task_rows()
    {
        return rows(task_list(), view().tasks(), *view().tasks().tree(), ui::project_task_column::task);
    }
};

}  // namespace

TEST_F(projects_fixture, aTreeBuiltFromTheKeyboardComesBackAfterARestart)
{
    start();
    press(project_list(), Qt::Key_Return);
    type(project_list(), "Garden");
    press(project_list(), Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
    type(project_list(), "Spring");
    EXPECT_EQ(project_rows(), (QStringList{"1 Garden", "  1.1 Spring"}));

    project_list().setFocus();
    view().projects().select_project(p->core().projects().list_order().front()->id);
    settle();
    QTest::keyClick(&project_list(), Qt::Key_Tab);
    settle();
    ASSERT_TRUE(task_list().hasFocus());
    press(task_list(), Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    type(task_list(), "Beds");
    press(task_list(), Qt::Key_Return);
    type(task_list(), "Dig");
    press(task_list(), Qt::Key_Right, Qt::ControlModifier);  // indent under Beds
    press(task_list(), Qt::Key_Return);
    type(task_list(), "Water");
    press(task_list(), Qt::Key_Return);
    type(task_list(), "Tools");
    press(task_list(), Qt::Key_Left, Qt::ControlModifier);  // outdent: right after Beds
    press(task_list(), Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    type(task_list(), "Shed");
    press(task_list(), Qt::Key_Return);
    type(task_list(), "Paint");
    press(task_list(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(task_rows(), (QStringList{"Beds", "  Dig", "  Water", "Tools", "Shed", "  Paint"}));

    // Shed collapsed with Alt+- on its row.
    task_list().set_focus_cell(view().tasks().row_of(p->core().tasks().all().back()->parent), 0);
    press(task_list(), Qt::Key_Minus, Qt::AltModifier);
    EXPECT_EQ(task_rows(), (QStringList{"Beds", "  Dig", "  Water", "Tools", "Shed"}));
    stop();

    start();
    view().projects().select_project(p->core().projects().list_order().front()->id);
    settle();
    EXPECT_EQ(project_rows(), (QStringList{"1 Garden", "  1.1 Spring"}));
    EXPECT_EQ(task_rows(), (QStringList{"Beds", "  Dig", "  Water", "Tools", "Shed"}));
    task_list().setFocus();
    task_list().set_focus_cell(4, 0);
    press(task_list(), Qt::Key_Equal, Qt::AltModifier);  // Expand
    EXPECT_EQ(task_rows().size(), 6);
    p->frame().on_command(ui::row_cmd::collapse_all);
    settle();
    p->frame().on_command(ui::row_cmd::expand_all);
    settle();
    EXPECT_EQ(task_rows().size(), 6);
    p->frame().on_command(ui::row_cmd::collapse_all);
    settle();
    EXPECT_EQ(task_rows(), (QStringList{"Beds", "Tools", "Shed"}));
    stop();
}

TEST_F(projects_fixture, deletingAProjectAsksAndHonoursTheAnswer)
{
    start();
    press(project_list(), Qt::Key_Return);
    type(project_list(), "Move");
    QTest::keyClick(&project_list(), Qt::Key_Tab);
    settle();
    press(task_list(), Qt::Key_Return);
    type(task_list(), "Pack");

    project_list().setFocus();
    answer = false;
    press(project_list(), Qt::Key_Delete);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_TRUE(questions.back().startsWith("Project: Move, contains 1 task."));
    EXPECT_EQ(p->core().projects().all().size(), 1u);

    answer = true;
    press(project_list(), Qt::Key_Delete);
    EXPECT_TRUE(p->core().projects().all().empty());
    EXPECT_TRUE(p->core().tasks().all().empty());
    p->frame().on_command(ui::cmd::undo);
    settle();
    EXPECT_EQ(p->core().projects().all().size(), 1u);
    EXPECT_EQ(p->core().tasks().all().size(), 1u);
    stop();
}

TEST_F(projects_fixture, aTypedFolderPathMovesADayTask)
{
    start();
    press(project_list(), Qt::Key_Return);
    type(project_list(), "Garden");
    QTest::keyClick(&project_list(), Qt::Key_Tab);
    settle();
    press(task_list(), Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    type(task_list(), "Beds");

    auto t = std::make_shared<model::task>();
    t->name = "Rake";
    t->date = time::today();
    p->commands().add(t);
    ui::project_context& c = p->project_tools();
    QString message;
    EXPECT_FALSE(ui::assign_path(c, {t.get()}, "Garden\\Nowhere", message));
    EXPECT_EQ(message, "There is no folder \"Nowhere\" in \"Garden\".");
    EXPECT_TRUE(ui::assign_path(c, {t.get()}, "garden\\beds", message)) << message.toStdString();
    EXPECT_EQ(ui::place_path(c, *t), "Garden\\Beds");
    // The path agent's list reaches the view's completions.
    for (int i = 0; i < 200 && !c.paths.contains("Garden\\Beds"); ++i)
        QTest::qWait(10);
    EXPECT_EQ(c.paths, (QStringList{"Garden", "Garden\\Beds"}));
    stop();
}
