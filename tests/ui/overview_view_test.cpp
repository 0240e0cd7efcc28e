// The Overview driven from the keyboard on a temporary data folder, then
// restarted: the mission statement and a new role come back, and a task
// given that role shows its colours in the Day view.

#include "support/test_support.h"
#include "ui/commands.h"
#include "ui/day_view.h"
#include "ui/overview_drag.h"
#include "ui/overview_view.h"
#include "ui/planner.h"
#include "ui/value_exercise_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
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
    int row_of(const QString& name) { return role_rows().indexOf(name); }
    std::int32_t role_id(const QString& name)
    {
        for (const auto& r : p->core().tables().roles.cache())
            if (r->name == name)
                return r->id;
        return 0;
    }
    QStringList value_rows()
    {
        QStringList out;
        for (int row = 0; row < view().values().row_count(); ++row)
            out << view().values().cell_text(row, 0);
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

// The exercise through its window: typed words and chosen examples on the
// right, a halving step, OK making them values; a cancelled exercise comes
// back as it was left, and the values are still there after a restart.
TEST_F(overview_fixture, the_value_discovery_exercise_turns_the_chosen_words_into_values)
{
    start();
    ASSERT_TRUE(view().handles(ui::overview_cmd::value_exercise));
    {
        ui::value_exercise_dialog d(view().exercise(), p->role_commands(), &view());
        d.show();
        settle();
        EXPECT_TRUE(d.guidance()->text().startsWith("Step 1: "));
        QTest::keyClicks(d.new_value(), "Kindness");
        QTest::keyClick(d.new_value(), Qt::Key_Return);  // Enter adds; it does not close the window
        EXPECT_TRUE(d.isVisible());
        ASSERT_EQ(d.right_list()->count(), 1);
        EXPECT_EQ(d.right_list()->item(0)->text(), "Kindness");
        EXPECT_TRUE(d.guidance()->text().startsWith("It is recommended"));
        for (const char* example : {"Honesty", "Courage"}) {
            const auto found = d.left_list()->findItems(example, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1);
            d.left_list()->setCurrentItem(found.front());
        }
        d.left_list()->item(0)->setSelected(true);  // Accomplishment too
        d.move_selected(true);
        EXPECT_EQ(d.right_list()->count(), 3);  // Courage and Accomplishment, Kindness
        EXPECT_FALSE(d.next_button()->isEnabled());
        d.reject();
    }
    // Cancelled: the right list waits for the next opening.
    {
        ui::value_exercise_dialog d(view().exercise(), p->role_commands(), &view());
        QStringList right;
        for (int i = 0; i < d.right_list()->count(); ++i)
            right << d.right_list()->item(i)->text();
        EXPECT_EQ(right, (QStringList{"Accomplishment", "Courage", "Kindness"}));
        d.accept();
        EXPECT_EQ(d.added().size(), 3u);
    }
    settle();
    EXPECT_EQ(value_rows(), (QStringList{"1. Accomplishment", "2. Courage", "3. Kindness"}));
    EXPECT_EQ(p->history().entries().back()->change_text(), "multiple edit");
    // OK starts the next exercise afresh.
    EXPECT_TRUE(view().exercise().right().isEmpty());
    EXPECT_EQ(view().exercise().left().size(), 101);
    stop();
    start();
    EXPECT_EQ(value_rows(), (QStringList{"1. Accomplishment", "2. Courage", "3. Kindness"}));
    stop();
}

// Dropping roles onto a life area moves them into it, values dropped onto a
// role join its list; each drop is one step of the history, undone and
// redone, and the file keeps the result.
TEST_F(overview_fixture, roles_dropped_on_a_life_area_and_values_dropped_on_a_role)
{
    start();
    ui::overview_drag& drag = view().drag();
    // Two roles of Physical, Health dragged together onto Family.
    ui::cell_list& roles = view().roles_list();
    roles.select_rows({row_of("Swimmer"), row_of("Chef")});
    auto data = drag.roles_list_data(row_of("Swimmer"));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(drag.drop_action(*data, row_of("Family")), Qt::MoveAction);
    // Onto a role of a life area: into that life area.
    EXPECT_EQ(drag.drop_action(*data, row_of("Parent")), Qt::MoveAction);
    ASSERT_TRUE(drag.drop(*data, row_of("Family")));
    settle();
    EXPECT_EQ(p->history().entries().back()->change_text(), "associating roles with life area");
    const std::int32_t family = role_id("Family");
    EXPECT_EQ(p->core().roles().find(role_id("Swimmer")).parent, family);
    EXPECT_EQ(p->core().roles().find(role_id("Chef")).parent, family);
    EXPECT_GT(row_of("Swimmer"), row_of("Family"));
    EXPECT_LT(row_of("Swimmer"), row_of("Finance, Money"));
    p->history().undo_step();
    EXPECT_EQ(p->core().roles().find(role_id("Chef")).parent, role_id("Artistic, Creative, Expressive"));
    p->history().redo_step();
    EXPECT_EQ(p->core().roles().find(role_id("Chef")).parent, family);
    settle();

    // Values from the values list onto a role; a life area takes none.
    p->role_commands().add_values({"Patience", "Trust"});
    settle();
    view().values().list().select_rows({0, 1});
    auto values = drag.values_list_data(0);
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(drag.drop_action(*values, row_of("Family")), Qt::IgnoreAction);
    EXPECT_FALSE(drag.drop(*values, row_of("Family")));
    EXPECT_EQ(drag.drop_action(*values, row_of("Parent")), Qt::CopyAction);
    ASSERT_TRUE(drag.drop(*values, row_of("Parent")));
    EXPECT_EQ(p->history().entries().back()->change_text(), "adding values to role");
    EXPECT_EQ(p->core().roles().values_of(p->core().roles().find(role_id("Parent"))).size(), 2u);
    // Dropped again: nothing new, nothing added to the history.
    const auto steps = p->history().entries().size();
    EXPECT_FALSE(drag.drop(*values, row_of("Parent")));
    EXPECT_EQ(p->history().entries().size(), steps);
    // A drag of other data is refused.
    QMimeData text;
    text.setText("Parent");
    EXPECT_EQ(drag.drop_action(text, row_of("Family")), Qt::IgnoreAction);
    stop();

    start();
    EXPECT_EQ(p->core().roles().find(role_id("Swimmer")).parent, role_id("Family"));
    EXPECT_EQ(p->core().roles().values_of(p->core().roles().find(role_id("Parent"))).size(), 2u);
    // With the values shown under the roles, one of them dragged onto another role.
    p->frame().on_command(ui::overview_cmd::show_values);
    settle();
    int trust = -1;
    for (int row = 0; row < view().row_count(); ++row)
        if (view().cell_text(row, 0) == "Trust")
            trust = row;
    ASSERT_GE(trust, 0);
    // The window is a new one since the restart.
    view().roles_list().select_rows({trust});
    auto under = view().drag().roles_list_data(trust);
    ASSERT_NE(under, nullptr);
    ASSERT_TRUE(view().drag().drop(*under, row_of("Poet")));
    EXPECT_EQ(p->core().roles().values_of(p->core().roles().find(role_id("Poet"))),
              std::vector<std::int32_t>{p->core().roles().values_of(p->core().roles().find(role_id("Parent")))[1]});
    stop();
}

}  // namespace

