// Tags through the history and the real file: typed onto tasks, renamed,
// merged and deleted, each undone and redone, then compared with the file.

#include "model/role_fixture.h"

using namespace qm;
using namespace qm::test;

namespace {

struct tag_commands_test : role_fixture {
    QString tags_of(const QString& task) { return history::tags_text(*named(task)); }
    std::int32_t tag_id(const QString& name)
    {
        auto c = model::find_tag(tables(), name);
        return c ? c->id : 0;
    }
    void expect_file_matches_memory()
    {
        const role_tables memory = role_tables_in_memory(tables());
        store::database& db = core.drain_and_reopen();
        EXPECT_EQ(role_tables_on_disk(db), memory);
    }
};

TEST_F(tag_commands_test, tags_typed_in_another_case_are_the_same_tag)
{
    add("Call mum");
    add("Buy paint");
    tags->set_tags({named("Call mum").get()}, "Phone, home");
    tags->set_tags({named("Buy paint").get()}, " HOME ,phone, Home,");
    EXPECT_EQ(tables().contexts.cache().size(), 2u);
    EXPECT_EQ(tags_of("Buy paint"), "home, Phone");
    EXPECT_EQ(model::tasks_of_tag(store(), tag_id("home")).size(), 2u);
    // The last task losing a tag takes it away.
    tags->set_tags({named("Call mum").get()}, "home");
    tags->set_tags({named("Buy paint").get()}, "home");
    EXPECT_EQ(tag_id("Phone"), 0);
    h->undo_step();
    EXPECT_NE(tag_id("Phone"), 0);
    EXPECT_EQ(tags_of("Buy paint"), "home, Phone");
    expect_file_matches_memory();
}

TEST_F(tag_commands_test, renaming_onto_another_tags_name_merges_them)
{
    add("Call mum");
    add("Buy paint");
    add("Fix shelf");
    tags->set_tags({named("Call mum").get()}, "Phone");
    tags->set_tags({named("Buy paint").get()}, "Town, shop");
    tags->set_tags({named("Fix shelf").get()}, "shop");
    const auto before = role_tables_in_memory(tables());
    const auto shop = tag_id("shop");
    EXPECT_EQ(tags->rename(tag_id("Town"), "SHOP"), shop);
    EXPECT_EQ(h->entries().back()->change_text(), "merging tag: Town with tag: shop");
    EXPECT_EQ(tag_id("Town"), 0);
    EXPECT_EQ(tags_of("Buy paint"), "shop");
    EXPECT_EQ(model::tasks_of_tag(store(), shop).size(), 2u);
    const auto merged = role_tables_in_memory(tables());
    h->undo_step();
    EXPECT_EQ(role_tables_in_memory(tables()), before);
    EXPECT_EQ(tags_of("Buy paint"), "Town, shop");
    h->redo_step();
    EXPECT_EQ(role_tables_in_memory(tables()), merged);
    expect_file_matches_memory();
}

TEST_F(tag_commands_test, renaming_changes_the_name_every_task_shows)
{
    add("Call mum");
    tags->set_tags({named("Call mum").get()}, "Phone");
    const auto phone = tag_id("Phone");
    EXPECT_EQ(tags->rename(phone, ""), phone);  // empty: nothing
    EXPECT_EQ(tags->rename(phone, "Phone"), phone);  // the same: nothing
    const std::size_t steps = h->entries().size();
    EXPECT_EQ(tags->rename(phone, "Mobile"), phone);
    EXPECT_EQ(h->entries().size(), steps + 1);
    EXPECT_EQ(h->entries().back()->change_text(), "changes to tag: Mobile");
    EXPECT_EQ(tags_of("Call mum"), "Mobile");
    h->undo_step();
    EXPECT_EQ(tags_of("Call mum"), "Phone");
    h->redo_step();
    expect_file_matches_memory();
    restart();
    EXPECT_EQ(tags_of("Call mum"), "Mobile");
}

TEST_F(tag_commands_test, deleting_a_tag_takes_it_off_its_tasks)
{
    add("Call mum");
    add("Call dad");
    tags->set_tags({named("Call mum").get(), named("Call dad").get()}, "Phone, Evening");
    const auto unused = tags->new_tag();
    EXPECT_EQ(tags->new_tag(), unused);  // the unnamed one is offered again
    EXPECT_EQ(h->entries().back()->change_text(), "add tag: untitled");
    const auto before = role_tables_in_memory(tables());
    ASSERT_TRUE(tags->remove(tag_id("Phone")));
    EXPECT_EQ(h->entries().back()->change_text(), "removing tag: Phone");
    EXPECT_EQ(tags_of("Call dad"), "Evening");
    EXPECT_EQ(tag_id("Phone"), 0);
    h->undo_step();
    EXPECT_EQ(role_tables_in_memory(tables()), before);
    h->redo_step();
    ASSERT_TRUE(tags->remove(unused));  // a tag never used goes too
    EXPECT_FALSE(tables().contexts.find(unused));
    expect_file_matches_memory();
}

TEST(delete_tag_question, names_how_many_tasks_use_the_tag)
{
    const struct {
        const char* name;
        int count;
        const char* text;
        const char* caption;
        const char* description;
    } cases[] = {
        {"Home", 0, "Delete unused tag: Home?", "Delete unused tag?", "deleting unused tag: Home"},
        {"", 0, "Delete unused tag: untitled?", "Delete unused tag?", "deleting unused tag: untitled"},
        {"Home", 1,
         "Tag: Home, is used by 1 task.\r\nDeleting it will also remove this tag from the associated tasks.\r\n\r\nContinue?",
         "Delete tag: Home?", "deleting tag: Home, used by 1 task"},
        {"Home", 3,
         "Tag: Home, is used by 3 tasks.\r\nDeleting it will also remove this tag from the associated tasks.\r\n\r\nContinue?",
         "Delete tag: Home?", "deleting tag: Home, used by 3 tasks"},
    };
    for (const auto& c : cases) {
        const auto q = history::delete_tag_question(QString::fromUtf8(c.name), c.count);
        EXPECT_EQ(q.text, c.text);
        EXPECT_EQ(q.caption, c.caption);
        EXPECT_EQ(q.description, c.description);
        EXPECT_EQ(q.warning, c.count > 0);
    }
}

}  // namespace
