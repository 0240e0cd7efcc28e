// The role, life-area and mission-statement commands through the history
// and the real file: each step undone and redone, the writer drained, the
// file compared with memory.

#include "model/role_fixture.h"

using namespace qm;
using namespace qm::test;

namespace {

struct role_commands_test : role_fixture {
    // Undoes and redoes the last step, checking memory each way.
    void undo_redo_round_trip(const role_tables& before)
    {
        const role_tables after = role_tables_in_memory(tables());
        h->undo_step();
        EXPECT_EQ(role_tables_in_memory(tables()), before);
        h->redo_step();
        EXPECT_EQ(role_tables_in_memory(tables()), after);
    }
    void expect_file_matches_memory()
    {
        const role_tables memory = role_tables_in_memory(tables());
        store::database& db = core.drain_and_reopen();
        EXPECT_EQ(role_tables_on_disk(db), memory);
    }
};

TEST_F(role_commands_test, an_empty_name_is_refused)
{
    const auto before = role_tables_in_memory(tables());
    EXPECT_EQ(rc->add("", -1), 0);
    EXPECT_EQ(rc->add("   ", 0), 0);
    EXPECT_FALSE(rc->rename(role_id("Parent"), " "));
    EXPECT_EQ(rc->add_value(""), 0);
    EXPECT_EQ(role_tables_in_memory(tables()), before);
    EXPECT_FALSE(h->can_undo());
}

TEST_F(role_commands_test, adding_a_role_under_a_life_area_takes_its_colours)
{
    const auto family = role_id("Family");
    const auto id = rc->add("Uncle", family);
    ASSERT_NE(id, 0);
    EXPECT_EQ(roles().find(id).parent, family);
    EXPECT_EQ(roles().find(id).foreground_color, roles().find(family).foreground_color);
    EXPECT_EQ(roles().find(id).background_color, roles().find(family).background_color);
    EXPECT_EQ(h->entries().back()->change_text(), "add role \"Uncle\"");
    rc->add("Travel", -1);
    EXPECT_EQ(h->entries().back()->change_text(), "add life area \"Travel\"");
    rc->rename(id, "Aunt");
    EXPECT_EQ(h->entries().back()->change_text(), "changes to role \"Aunt\"");
    expect_file_matches_memory();
}

TEST_F(role_commands_test, set_color_recolours_only_the_roles_that_kept_the_life_areas_colours)
{
    const auto family = role_id("Family");
    const auto parent = role_id("Parent");
    const auto child = role_id("Son/Daughter");
    ASSERT_TRUE(rc->set_color(child, model::rgb(1, 2, 3), model::rgb(4, 5, 6)));  // a colour of its own
    EXPECT_EQ(roles().find(family).foreground_color, model::rgb(64, 192, 255));  // the area is untouched
    const auto before = role_tables_in_memory(tables());
    ASSERT_TRUE(rc->set_color(family, model::rgb(10, 20, 30), model::rgb(200, 210, 220)));
    EXPECT_EQ(h->entries().back()->change_text(), "setting life area color");
    EXPECT_EQ(roles().find(parent).foreground_color, model::rgb(10, 20, 30));
    EXPECT_EQ(roles().find(parent).background_color, model::rgb(200, 210, 220));
    EXPECT_EQ(roles().find(child).foreground_color, model::rgb(1, 2, 3));
    undo_redo_round_trip(before);

    const auto before_copy = role_tables_in_memory(tables());
    ASSERT_TRUE(rc->copy_color_to_child_roles({family}));
    EXPECT_EQ(h->entries().back()->change_text(), "setting color of child roles");
    EXPECT_EQ(roles().find(child).background_color, model::rgb(200, 210, 220));
    EXPECT_FALSE(rc->copy_color_to_child_roles({family}));  // nothing left to copy
    undo_redo_round_trip(before_copy);
    expect_file_matches_memory();
}

TEST_F(role_commands_test, associate_disassociate_and_delete_undo_and_redo)
{
    const auto family = role_id("Family");
    const auto career = role_id("Career, Business");
    const auto chef = role_id("Chef");
    const auto poet = role_id("Poet");

    auto before = role_tables_in_memory(tables());
    ASSERT_TRUE(rc->associate({chef, poet, career}, family));  // a life area is not moved
    EXPECT_EQ(h->entries().back()->change_text(), "associating roles with life area");
    EXPECT_EQ(roles().find(chef).parent, family);
    EXPECT_EQ(roles().find(career).parent, -1);
    undo_redo_round_trip(before);

    before = role_tables_in_memory(tables());
    ASSERT_TRUE(rc->disassociate({chef}));
    EXPECT_EQ(h->entries().back()->change_text(), "disassociate roles with life area");
    EXPECT_EQ(roles().find(chef).parent, 0);
    undo_redo_round_trip(before);

    // A task carrying a deleted role keeps the id and shows no role.
    auto t = add("Cook dinner");
    tc->modify(*t, [&](model::task& x) { x.role = poet; });
    before = role_tables_in_memory(tables());
    history::role_items items;
    items.roles = {family, poet};
    ASSERT_TRUE(rc->remove_items(items));
    EXPECT_EQ(h->entries().back()->change_text(), "removing role items");
    EXPECT_EQ(role_id("Family"), 0);
    EXPECT_EQ(roles().find(role_id("Parent")).parent, 0);  // kept, outside any life area
    EXPECT_EQ(roles().find(role_id("Son/Daughter")).parent, 0);
    EXPECT_EQ(t->role, poet);
    EXPECT_EQ(roles().find(store().effective_role(*t)).id, 0);
    undo_redo_round_trip(before);
    expect_file_matches_memory();
}

TEST_F(role_commands_test, deleting_values_under_roles_descriptions_and_the_mission_statement)
{
    const auto parent = role_id("Parent");
    const auto honesty = rc->add_value("Honesty");
    const auto patience = rc->add_value("Patience");
    rc->add_values_to_role(parent, {honesty, patience});
    EXPECT_EQ(h->entries().back()->change_text(), "adding values to role");
    rc->set_description(parent, "Bedtime stories");
    ASSERT_TRUE(rc->set_mission_statement("Live well."));
    EXPECT_EQ(h->entries().back()->change_text(), "changes to mission statement");
    EXPECT_FALSE(rc->set_mission_statement("Live well."));

    auto before = role_tables_in_memory(tables());
    history::role_items values_only;
    values_only.role_values = {{parent, honesty}};
    ASSERT_TRUE(rc->remove_items(values_only));
    EXPECT_EQ(h->entries().back()->change_text(), "removing values from roles");
    EXPECT_EQ(roles().values_of(roles().find(parent)), std::vector<std::int32_t>({patience}));
    EXPECT_TRUE(tables().values.find(honesty));  // the value itself stays
    undo_redo_round_trip(before);

    before = role_tables_in_memory(tables());
    history::role_items mixed;
    mixed.descriptions = {parent};
    mixed.mission_statement = true;
    ASSERT_TRUE(rc->remove_items(mixed));
    EXPECT_EQ(h->entries().back()->change_text(), "removing role items");
    EXPECT_TRUE(roles().find(parent).description.isEmpty());
    EXPECT_TRUE(tables().mission_statement.text().isEmpty());
    undo_redo_round_trip(before);
    expect_file_matches_memory();

    restart();
    EXPECT_TRUE(tables().mission_statement.text().isEmpty());
    EXPECT_EQ(roles().values_of(role("Parent")), std::vector<std::int32_t>({patience}));
}

}  // namespace

namespace {

// What the Value Discovery Exercise's OK writes: each new word a value at
// the end of the order, in one step; words already among the values (in any
// case), repeats and blanks left out.
TEST_F(role_commands_test, the_exercise_adds_its_words_as_values_in_one_step)
{
    rc->add_value("Honesty");
    const auto before = role_tables_in_memory(tables());
    const auto ids = rc->add_values({"Wisdom", "honesty", " ", "Courage", "wisdom", "Fun"});
    ASSERT_EQ(ids.size(), 3u);
    EXPECT_EQ(value_order(), (std::map<QString, int>{{"Honesty", 0}, {"Wisdom", 1}, {"Courage", 2}, {"Fun", 3}}));
    EXPECT_EQ(h->entries().back()->change_text(), "multiple edit");
    undo_redo_round_trip(before);
    rc->add_values({"Trust"});
    EXPECT_EQ(h->entries().back()->change_text(), "add value \"Trust\"");
    EXPECT_TRUE(rc->add_values({"TRUST", ""}).empty());
    expect_file_matches_memory();
}

}  // namespace
