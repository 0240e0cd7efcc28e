// Habit points as a table of small scenarios over one day's finished tasks
// and tracked times; the habit and routine rows through the real file.

#include "model/habits.h"
#include "model/routines.h"
#include "history/entity_commands.h"
#include "history/recurrence_commands.h"
#include "notes/notes_fixture.h"
#include "store/tables.h"

using namespace qm;
using namespace qm::test;

namespace {

constexpr time::stored_date day = 1773187200;  // 2026-03-11

struct habits_test : notes_fixture {
    store::tables& tables() { return core.core().tables(); }
    std::int32_t area = 0, role = 0, project = 0, folder = 0;

    void entry(const QString& name, int from_hour_minutes, int minutes, time::stored_date on = day)
    {
        edit(name, [&](model::task& x) {
            store::tracked_time_record e;
            e.task = x.id;
            e.start = on + (from_hour_minutes / 100) * 3600 + (from_hour_minutes % 100) * 60;
            e.duration = minutes * 60;
            x.tracked_times.push_back(e);
        });
    }
    void finish(const QString& name) { edit(name, [](model::task& x) { x.status = model::status::finished; }); }

    void build_day()
    {
        area = tables().roles.add_entity({0, -1, "Well-being", {}, {}, 0, 0})->id;
        role = tables().roles.add_entity({0, area, "Health", {}, {}, 0, 0})->id;
        project = add_project("House")->id;
        folder = add_to_project("Rooms", project, 0, 1, true)->id;
        const std::int32_t sub = add_to_project("Kitchen", project, folder, 1, true)->id;
        for (const char* name : {"under", "p1", "p2", "p3"}) {
            model::task_ptr t = add_to_project(name, project, name == QString("under") ? sub : 0, 1);
            edit(name, [](model::task& x) { x.date = day; });
        }
        finish("under");
        entry("under", 1000, 30);
        finish("p1");
        finish("p2");
        entry("p2", 700, 60);
        entry("p3", 1100, 120);  // unfinished: effort counts, completion does not
        add("r1", day);
        edit("r1", [&](model::task& x) { x.role = role; });
        finish("r1");
        entry("r1", 900, 65);
        model::task_ptr old = add_to_project("old", project, 0, 1);
        edit("old", [](model::task& x) { x.date = day - 2 * 86400; });
        finish("old");
    }
};

TEST_F(habits_test, points_of_a_day_by_kind_window_effort_and_maximum)
{
    build_day();
    model::habit_points points(store(), tables(), &core.core().recurrences());
    struct habit_case {
        const char* what;
        int type;
        std::int32_t attached;
        int points, after, before, duration, maximum;
        int expected;
    } cases[] = {
        {"each finished task of the project", model::habit_kind::project, project, 2, 0, 0, 0, 0, 6},
        {"a finish before the window does not count", model::habit_kind::project, project, 2, 9 * 3600, 0, 0, 0, 4},
        {"every half hour of effort", model::habit_kind::project, project, 5, 0, 0, 1800, 0, 35},
        {"effort cut at the before time", model::habit_kind::project, project, 5, 0, 12 * 3600, 1800, 0, 25},
        {"capped by the maximum", model::habit_kind::project, project, 5, 0, 0, 1800, 20, 20},
        {"effort on the role", model::habit_kind::role, role, 1, 0, 0, 1800, 0, 2},
        {"a task of a role in the life area", model::habit_kind::role, area, 1, 0, 0, 0, 0, 1},
        {"a task under a folder, however deep", model::habit_kind::folder, folder, 1, 0, 0, 0, 0, 1},
        {"nothing matches another project", model::habit_kind::project, project + 100, 1, 0, 0, 0, 0, 0},
    };
    for (const habit_case& c : cases) {
        const store::habit_record habit{0, c.type, c.points, c.before, c.after, c.duration, c.maximum, c.attached, "h"};
        EXPECT_EQ(points.on(habit, day), c.expected) << c.what;
    }
    store::habit_record week{0, model::habit_kind::project, 1, 0, 0, 0, 0, project, "week"};
    EXPECT_EQ(points.between(week, day - 6 * 86400, day), 4);  // three today, one two days ago
}

TEST_F(habits_test, a_recurrence_habit_counts_the_occurrences_of_its_master)
{
    model::task_ptr master = add("Run", day);
    time::recurrence r;
    r.type = time::recurrence_kind::daily;
    r.param1 = 1;
    r.starting_date = day;
    history::recurrence_commands rc(*h, store(), core.core().recurrences(), history::naming{});
    ASSERT_TRUE(rc.make_master(*master, *master, r));
    store().look_at(day);
    model::task* occurrence = nullptr;
    for (model::task* t : store().tasks_of_date(day))
        if (t->recurrence != 0)
            occurrence = t;
    ASSERT_NE(occurrence, nullptr);
    tc->toggle_finished({occurrence});
    model::habit_points points(store(), tables(), &core.core().recurrences());
    const store::habit_record run{0, model::habit_kind::task_recurrence, 3, 0, 0, 0, 0, master->id, "run"};
    EXPECT_EQ(points.on(run, day), 3);
}

TEST_F(habits_test, habits_are_added_changed_and_deleted_undoably_through_the_file)
{
    store::habit_record habit{0, model::habit_kind::role, 1, 0, 0, 1800, 0, 0, "Exercise"};
    EXPECT_FALSE(model::habit_problem(habit).isEmpty());  // no item: refused
    habit.attached_id = 7;
    EXPECT_TRUE(model::habit_problem(habit).isEmpty());
    auto describe = [](const store::habit_record& x) { return model::habit_description(x); };
    h->add_command(std::make_unique<history::add_entity_command<store::habit_record>>(tables().habits, habit, describe));
    EXPECT_EQ(h->entries().back()->change_text(), "add habit Exercise");
    const std::int32_t id = tables().habits.cache().front()->id;
    store::habit_record changed = *tables().habits.find(id);
    changed.points = 4;
    h->add_command(
        std::make_unique<history::modify_entity_command<store::habit_record>>(tables().habits, changed, describe));
    h->undo_step();
    EXPECT_EQ(tables().habits.find(id)->points, 1);
    h->redo_step();
    const auto rows = query(core.drain_and_reopen(), "SELECT id, points, description FROM Habits");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (QStringList{QString::number(id), "4", "Exercise"}));
    core.restart();
    rebuild();
    h->add_command(std::make_unique<history::delete_entity_command<store::habit_record>>(tables().habits, id, describe));
    EXPECT_TRUE(tables().habits.cache().empty());
    h->undo_step();
    EXPECT_EQ(tables().habits.find(id)->description, "Exercise");
}

TEST_F(habits_test, routines_without_a_pattern_are_given_one_once)
{
    // Routines come only from older files: one is written straight into the file.
    core.drain_and_reopen().execute(
        "INSERT INTO Routines VALUES(5, 'Morning', 'Stretch and plan', 0, 25200, 3600)");
    core.restart();
    store::tables& t = tables();
    ASSERT_EQ(t.routines.cache().size(), 1u);
    EXPECT_EQ(model::routine_description(*t.routines.cache().front()), "routine \"Morning\"");
    EXPECT_EQ(model::routine_pattern(t, 5), nullptr);
    EXPECT_EQ(model::give_routines_recurrences(t, core.core().recurrences()), 1);
    EXPECT_EQ(model::give_routines_recurrences(t, core.core().recurrences()), 0);
    const time::recurrence* r = model::routine_pattern(t, 5);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->attached_type, 1);
    const auto rows = query(core.drain_and_reopen(), "SELECT attached, attached_type, type, param1 FROM Recurrences");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (QStringList{"5", "1", "0", "1"}));
    core.restart();
    EXPECT_NE(model::routine_pattern(tables(), 5), nullptr);
    // No task takes the routine's pattern for its own.
    EXPECT_TRUE(core.core().recurrences().masters().empty());
}

}  // namespace
