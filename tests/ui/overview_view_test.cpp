// The Overview driven from the keyboard on a temporary data folder, then
// restarted: the mission statement and a new role come back, and a task
// given that role shows its colours in the Day view.

#include "support/test_support.h"
#include "ui/commands.h"
#include "ui/day_view.h"
#include "ui/overview_view.h"
#include "ui/planner.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

struct overview_fixture : ::testing::Test {
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
        p->frame().on_command(ui::cmd::overview);
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
    ui::overview_view& view() { return *p->frame().findChild<ui::overview_view*>(); }
    QStringList role_rows()
    {
        QStringList out;
        for (int row = 0; row < view().row_count(); ++row)
            out << view().cell_text(row, 0);
        return out;
    }
    QLineEdit* editor(ui::cell_list& list)
    {
        for (QLineEdit* e : list.viewport()->findChildren<QLineEdit*>())
            if (e->isVisible())
                return e;
        return nullptr;
    }
};

TEST_F(overview_fixture, a_typed_mission_statement_and_an_added_role_survive_a_restart)
{
    start();
    ASSERT_EQ(role_rows().size(), 51);  // the default life areas and roles, all open
    QPlainTextEdit* mission = view().mission_editor();
    mission->setFocus();
    QTest::keyClicks(mission, "Be kind and curious.");
    // Add Role under the focus life area opens its name at once.
    view().roles_list().setFocus();
    settle();
    view().roles_list().set_focus_cell(role_rows().indexOf("Family"), 0);
    p->frame().on_command(ui::overview_cmd::add_role);
    settle();
    QLineEdit* name = editor(view().roles_list());
    ASSERT_NE(name, nullptr);
    name->selectAll();
    QTest::keyClicks(name, "Grandparent");
    QTest::keyClick(name, Qt::Key_Return);
    settle();
    const int at = role_rows().indexOf("Grandparent");
    ASSERT_GT(at, role_rows().indexOf("Family"));
    EXPECT_LT(at, role_rows().indexOf("Finance, Money"));

    // The Day view shows the role in its life area's colours.
    p->frame().on_command(ui::cmd::day);
    settle();
    ui::day_view& day = *p->frame().findChild<ui::day_view*>();
    day.list().setFocus();
    QTest::keyClick(&day.list(), Qt::Key_Return);
    settle();
    QLineEdit* task_name = editor(day.list());
    ASSERT_NE(task_name, nullptr);
    QTest::keyClicks(task_name, "Call grandma");
    QTest::keyClick(task_name, Qt::Key_Return);
    settle();
    const int task_row = day.list().focus_row();
    ASSERT_TRUE(day.list().edit_cell(task_row, ui::day_column::role));
    QLineEdit* role = editor(day.list());
    ASSERT_NE(role, nullptr);
    QTest::keyClicks(role, "grandparent");
    QTest::keyClick(role, Qt::Key_Return);
    settle();
    EXPECT_EQ(day.cell_text(task_row, ui::day_column::role), "Grandparent");
    EXPECT_EQ(day.cell_background(task_row, ui::day_column::role), QColor(207, 239, 255));
    EXPECT_EQ(day.cell_foreground(task_row, ui::day_column::role), QColor(64, 192, 255));
    stop();

    start();
    EXPECT_EQ(view().mission_editor()->toPlainText(), "Be kind and curious.");
    EXPECT_TRUE(role_rows().contains("Grandparent"));
    EXPECT_EQ(role_rows().size(), 52);
    stop();
}

}  // namespace
