// Roles, life areas and the value order: the default tree of a new file, the
// values text, the role order and the planned value moves, read back from
// the file where they are written.

#include "model/role_fixture.h"

using namespace qm;
using namespace qm::test;

namespace {

struct role_store_test : role_fixture {};

TEST_F(role_store_test, a_new_file_gets_the_thirteen_life_areas_with_their_roles_once)
{
    const QStringList areas_in_order = {"Physical, Health", "Artistic, Creative, Expressive",
                                        "Learning, Personal Growth", "Reflection, Spiritual, Solitude",
                                        "Family", "Social, Friends", "Love, Romance, Partner",
                                        "Variety, Fun, Adventure", "Career, Business", "Home, Environment",
                                        "Finance, Money", "Community, Public Service",
                                        "Leisure, Relaxation, Hobbies"};
    store::database& db = core.drain_and_reopen();
    const auto areas = query(db, "SELECT id, name, foreground_color, background_color FROM Roles WHERE parent = -1 "
                                 "ORDER BY id");
    ASSERT_EQ(areas.size(), 13u);
    QStringList names;
    for (const auto& a : areas)
        names << a[1];
    EXPECT_EQ(names, areas_in_order);
    EXPECT_EQ(areas[0][2].toInt(), model::rgb(255, 192, 64));
    EXPECT_EQ(areas[0][3].toInt(), model::rgb(255, 239, 207));
    // Each role hangs under its life area, in that area's colours.
    const auto family_roles = query(db, "SELECT r.name, r.foreground_color = a.foreground_color AND "
                                        "r.background_color = a.background_color FROM Roles r JOIN Roles a ON "
                                        "r.parent = a.id WHERE a.name = 'Family' ORDER BY r.id");
    ASSERT_EQ(family_roles.size(), 2u);
    EXPECT_EQ(family_roles[0], QStringList({"Parent", "1"}));
    EXPECT_EQ(family_roles[1], QStringList({"Son/Daughter", "1"}));
    EXPECT_EQ(query(db, "SELECT COUNT(*) FROM Roles WHERE parent > 0")[0][0], "38");
    EXPECT_TRUE(store::read_pending_work(db).isEmpty());

    // An existing file is left as the user made it.
    restart();
    clear_roles();
    restart();
    EXPECT_TRUE(tables().roles.cache().empty());
}

TEST_F(role_store_test, the_role_order_puts_each_life_area_before_its_roles_and_the_roles_outside_last)
{
    clear_roles();
    const auto work = rc->add("work", -1);
    const auto home = rc->add("Home", -1);
    rc->add("zeta", work);
    rc->add("Alpha", work);
    rc->add("Cook", home);
    rc->add("loner", 0);
    rc->add("Astray", 9999);  // names no life area
    QStringList order;
    for (const auto& r : roles().role_order())
        order << r->name;
    EXPECT_EQ(order, QStringList({"Home", "Cook", "work", "Alpha", "zeta", "Astray", "loner"}));
    EXPECT_EQ(roles().life_areas().size(), 2u);
    EXPECT_EQ(roles().roles().size(), 5u);
    // An unknown id is the "no role" object.
    EXPECT_EQ(roles().find(123456).id, 0);
    EXPECT_TRUE(roles().find(123456).name.isEmpty());
}

TEST(values_text, reads_the_numbers_it_can_and_ignores_the_rest)
{
    const struct {
        const char* text;
        std::vector<std::int32_t> ids;
    } cases[] = {
        {"|", {}},
        {"", {}},
        {"|3|7|12|", {3, 7, 12}},
        {"|5|x|7||", {5, 7}},
        {"3|7", {3, 7}},
        {"|-|9a|11|", {11}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(model::parse_values_text(QString::fromLatin1(c.text)), c.ids) << c.text;
    EXPECT_EQ(model::values_text({3, 7, 12}), "|3|7|12|");
    EXPECT_EQ(model::values_text({}), "|");
}

TEST(color_palette, holds_every_mix_of_five_steps)
{
    const auto palette = model::color_palette();
    EXPECT_EQ(palette.size(), 125u);
    EXPECT_EQ(std::set<std::int32_t>(palette.begin(), palette.end()).size(), 125u);
    EXPECT_EQ(palette.front(), model::rgb(0, 0, 0));
    EXPECT_EQ(palette.back(), model::rgb(255, 255, 255));
}

TEST_F(role_store_test, a_role_shows_only_the_values_that_exist_and_writes_back_only_those)
{
    clear_roles();
    const auto v5 = rc->add_value("Honesty");
    const auto role = rc->add("Friend", 0);
    {
        store::role_record r = roles().find(role);
        r.values = QStringLiteral("|%1|99999|junk|").arg(v5);
        tables().roles.modify_entity(r);
    }
    EXPECT_EQ(roles().values_of(roles().find(role)), std::vector<std::int32_t>({v5}));
    const auto v6 = rc->add_value("Courage");
    ASSERT_TRUE(rc->add_values_to_role(role, {v6, v5}));
    EXPECT_EQ(roles().find(role).values, QStringLiteral("|%1|%2|").arg(v5).arg(v6));
    EXPECT_FALSE(rc->add_values_to_role(role, {v5}));  // already there
    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(role_tables_on_disk(db), role_tables_in_memory(tables()));
}

// ---- the value order ----

std::vector<store::value_record> four_values()
{
    std::vector<store::value_record> out;
    for (int i = 0; i < 4; ++i)
        out.push_back({i + 1, QStringLiteral("v%1").arg(i), QString(), i});
    return out;
}

std::map<int, int> after_plan(std::vector<store::value_record> values, const std::vector<model::value_change>& plan)
{
    for (const auto& c : plan) {
        auto at = std::find_if(values.begin(), values.end(), [&](const auto& v) {
            return v.id == (c.before ? c.before->id : -1);
        });
        if (!c.before)
            values.push_back(*c.after);
        else if (!c.after)
            values.erase(at);
        else
            *at = *c.after;
    }
    std::map<int, int> out;  // id → index
    for (const auto& v : values)
        out[v.id] = v.index;
    return out;
}

TEST(value_order, plans_keep_the_indices_gap_free)
{
    const auto values = four_values();
    const struct {
        const char* what;
        std::vector<model::value_change> plan;
        std::map<int, int> expected;
    } cases[] = {
        {"add at 1", model::plan_add_value(values, {0, "new", "", 1}), {{0, 1}, {1, 0}, {2, 2}, {3, 3}, {4, 4}}},
        {"add at the end", model::plan_add_value(values, {0, "new", "", -1}), {{0, 4}, {1, 0}, {2, 1}, {3, 2}, {4, 3}}},
        {"add past the end", model::plan_add_value(values, {0, "new", "", 17}), {{0, 4}, {1, 0}, {2, 1}, {3, 2}, {4, 3}}},
        {"delete 0", model::plan_delete_value(values, 1), {{2, 0}, {3, 1}, {4, 2}}},
        {"delete 2", model::plan_delete_value(values, 3), {{1, 0}, {2, 1}, {4, 2}}},
        {"move 0 to 2", model::plan_move_value(values, 1, 2), {{1, 2}, {2, 0}, {3, 1}, {4, 3}}},
        {"move 3 to 1", model::plan_move_value(values, 4, 1), {{1, 0}, {2, 2}, {3, 3}, {4, 1}}},
        {"move to itself", model::plan_move_value(values, 2, 1), {{1, 0}, {2, 1}, {3, 2}, {4, 3}}},
        {"delete unknown", model::plan_delete_value(values, 77), {{1, 0}, {2, 1}, {3, 2}, {4, 3}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(after_plan(values, c.plan), c.expected) << c.what;
    EXPECT_EQ(model::next_value_index({}), 0);
    EXPECT_EQ(model::next_value_index(values, 4), 3);
}

TEST_F(role_store_test, moving_values_up_and_down_is_undone_and_written)
{
    for (const char* name : {"A", "B", "C", "D"})
        rc->add_value(name);
    const struct {
        const char* value;
        int delta;
        bool moved;
        std::map<QString, int> order;
    } steps[] = {
        {"A", -1, false, {{"A", 0}, {"B", 1}, {"C", 2}, {"D", 3}}},
        {"D", +1, false, {{"A", 0}, {"B", 1}, {"C", 2}, {"D", 3}}},
        {"A", +1, true, {{"A", 1}, {"B", 0}, {"C", 2}, {"D", 3}}},
        {"D", -1, true, {{"A", 1}, {"B", 0}, {"C", 3}, {"D", 2}}},
        {"B", +1, true, {{"A", 0}, {"B", 1}, {"C", 3}, {"D", 2}}},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(rc->move_value(value_id(s.value), s.delta), s.moved) << s.value;
        EXPECT_EQ(value_order(), s.order) << s.value << s.delta;
    }
    h->undo_step();
    EXPECT_EQ(value_order(), steps[3].order);
    rc->add_value("E", 1);
    EXPECT_EQ(value_order(), (std::map<QString, int>{{"A", 2}, {"B", 0}, {"C", 4}, {"D", 3}, {"E", 1}}));
    ASSERT_TRUE(rc->delete_values({value_id("B")}));
    EXPECT_EQ(value_order(), (std::map<QString, int>{{"A", 1}, {"C", 3}, {"D", 2}, {"E", 0}}));
    EXPECT_EQ(h->entries().back()->change_text(), "delete value \"B\"");
    h->undo_step();
    h->redo_step();
    const role_tables memory = role_tables_in_memory(tables());
    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(role_tables_on_disk(db), memory);
    restart();
    EXPECT_EQ(role_tables_in_memory(tables()), memory);
}

}  // namespace

namespace {

TEST_F(role_store_test, a_file_without_the_roles_counter_gets_new_ids_past_its_rows)
{
    store::database& db = core.drain_and_reopen();
    db.execute(QStringLiteral("DELETE FROM [Ids] WHERE [id] = 9"));
    restart();
    const auto id = rc->add("Neighbour", 0);
    ASSERT_NE(id, 0);
    EXPECT_EQ(tables().roles.cache().size(), 52u);  // 13 life areas, 38 roles and the new one
    store::database& again = core.drain_and_reopen();
    EXPECT_EQ(query(again, "SELECT COUNT(*) FROM Roles")[0][0], "52");
    EXPECT_EQ(role_tables_on_disk(again), role_tables_in_memory(tables()));
}

}  // namespace

namespace {

// Values and tags from a file whose counters are missing or behind: the new
// rows get ids past the stored ones, and the file takes them.
TEST_F(role_store_test, values_and_tags_of_a_file_with_a_missing_or_stale_counter_get_fresh_ids)
{
    const struct {
        const char* damage;
        const char* sql;
    } cases[] = {
        {"missing", "DELETE FROM [Ids] WHERE [id] IN (10, 11)"},
        {"behind", "UPDATE [Ids] SET [next_id] = 1 WHERE [id] IN (10, 11)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.damage);
        rc->add_value(QStringLiteral("Honesty %1").arg(c.damage));
        rc->add_value(QStringLiteral("Courage %1").arg(c.damage));
        const QString first = QStringLiteral("Call %1").arg(c.damage);
        add(first);
        tags->set_tags({named(first).get()}, "Phone, Home");
        store::database& db = core.drain_and_reopen();
        db.execute(QString::fromUtf8(c.sql));
        restart();

        const std::size_t values_before = tables().values.cache().size();
        const std::size_t tags_before = tables().contexts.cache().size();
        ASSERT_NE(rc->add_value(QStringLiteral("Wisdom %1").arg(c.damage)), 0);
        const QString second = QStringLiteral("Shop %1").arg(c.damage);
        add(second);
        tags->set_tags({named(second).get()}, QStringLiteral("Town %1, phone").arg(c.damage));
        // The unnamed tag of the tag list is made once, then found again.
        const bool had_unnamed = model::find_tag(tables(), QString()) != nullptr;
        ASSERT_NE(tags->new_tag(), 0);
        EXPECT_EQ(tables().values.cache().size(), values_before + 1);
        EXPECT_EQ(tables().contexts.cache().size(), tags_before + (had_unnamed ? 1 : 2));

        const role_tables memory = role_tables_in_memory(tables());
        store::database& again = core.drain_and_reopen();
        EXPECT_EQ(role_tables_on_disk(again), memory);
        for (const char* kind : {"10", "11"}) {
            const auto rows = query(again, QStringLiteral("SELECT next_id FROM [Ids] WHERE [id] = %1").arg(kind));
            ASSERT_EQ(rows.size(), 1u) << kind;
            const QString table = QString::fromUtf8(kind) == "10" ? "[Values]" : "[Contexts]";
            EXPECT_GT(rows[0][0].toInt(), query(again, "SELECT MAX(id) FROM " + table)[0][0].toInt()) << kind;
        }
        restart();
        EXPECT_EQ(role_tables_in_memory(tables()), memory);
    }
}

}  // namespace
