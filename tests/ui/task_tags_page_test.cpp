// The task dialog's Tags page and Role field in the running planner: tags
// checked, typed and unchecked, the role chosen from the list in role
// order, each kept across a restart.

#include "support/test_support.h"
#include "ui/planner.h"
#include "ui/task_dialog.h"
#include "ui/task_general_page.h"
#include "ui/task_tags_page.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

struct task_tags_page_fixture : ::testing::Test {
    fixed_clock clock{time::make_date(2026, 3, 11) + 10 * 3600};
    temp_folder folder;
    std::unique_ptr<ui::planner> p;

    void start()
    {
        p = std::make_unique<ui::planner>(portable_locator(folder.path()));
        p->start();
    }
    void restart()
    {
        p->frame().close();
        p.reset();
        start();
    }
    model::task_ptr task(const QString& name)
    {
        for (const auto& t : p->core().tasks().all())
            if (t->name == name)
                return t;
        return nullptr;
    }
    model::task_ptr add(const QString& name, const QString& tags = QString())
    {
        auto t = std::make_shared<model::task>();
        t->name = name;
        t->date = time::today();
        t->tags = model::parse_tag_list(p->core().tables(), tags);
        p->commands().add(t);
        return t;
    }
    QStringList tag_names(const QString& name)
    {
        QStringList out;
        for (const auto& r : task(name)->tags)
            out << r.name;
        return out;
    }
    template <class Page>
    static Page* page_of(ui::task_dialog& d)
    {
        for (int i = 0; i < d.page_count(); ++i)
            if (auto* page = dynamic_cast<Page*>(d.page(i)))
                return page;
        return nullptr;
    }
    // Opens the dialog on a task, lets the test change it, confirms it.
    template <class Page, class Change>
    bool edit(const QString& name, Change change)
    {
        ui::task_dialog d(*task(name), p->core().tasks(), p->core().tables(), &p->timer(), QString());
        Page* page = page_of<Page>(d);
        EXPECT_NE(page, nullptr);
        if (page == nullptr)
            return false;
        change(*page);
        d.accept();
        return d.commit(p->commands());
    }
};

TEST_F(task_tags_page_fixture, tags_are_checked_typed_and_unchecked_on_the_tags_page)
{
    start();
    add("Call mum", "Phone");
    add("Buy paint");
    ASSERT_TRUE(edit<ui::task_tags_page>("Buy paint", [](ui::task_tags_page& page) {
        EXPECT_EQ(page.description(), "A location you must be at or a tool you need in order to work on this item.");
        ASSERT_EQ(page.list()->count(), 1);
        EXPECT_TRUE(page.checked().isEmpty());
        page.set_checked("phone", true);
        // Enter in the box adds the typed tag, checked; a known name in
        // another case checks the tag there is.
        QTest::keyClicks(page.new_tag(), "Town");
        QTest::keyClick(page.new_tag(), Qt::Key_Return);
        QTest::keyClicks(page.new_tag(), "PHONE");
        QTest::keyClick(page.new_tag(), Qt::Key_Return);
        EXPECT_FALSE(page.add_typed());  // the box is empty again
        EXPECT_EQ(page.list()->count(), 2);
        EXPECT_EQ(page.checked(), (QStringList{"Phone", "Town"}));
    }));
    EXPECT_EQ(tag_names("Buy paint"), (QStringList{"Phone", "Town"}));
    EXPECT_EQ(p->core().tables().contexts.cache().size(), 2u);

    restart();
    EXPECT_EQ(tag_names("Buy paint"), (QStringList{"Phone", "Town"}));
    // A page left alone changes nothing; unchecking the only use of a tag
    // takes the tag away.
    EXPECT_FALSE(edit<ui::task_tags_page>("Call mum", [](ui::task_tags_page&) {}));
    ASSERT_TRUE(edit<ui::task_tags_page>("Buy paint", [](ui::task_tags_page& page) {
        page.set_checked("Town", false);
    }));
    EXPECT_EQ(tag_names("Buy paint"), QStringList{"Phone"});
    EXPECT_FALSE(model::find_tag(p->core().tables(), "Town"));
    p->history().undo_step();
    EXPECT_EQ(tag_names("Buy paint"), (QStringList{"Phone", "Town"}));

    restart();
    EXPECT_EQ(tag_names("Buy paint"), (QStringList{"Phone", "Town"}));
    EXPECT_EQ(tag_names("Call mum"), QStringList{"Phone"});
}

TEST_F(task_tags_page_fixture, the_role_field_lists_roles_in_role_order_and_keeps_a_deleted_one)
{
    start();
    add("Call grandma");
    const model::role_store& roles = p->core().roles();
    std::int32_t parent = 0;
    for (const auto& r : roles.roles())
        if (r->name == "Parent")
            parent = r->id;
    ASSERT_NE(parent, 0);
    ASSERT_TRUE(edit<ui::task_general_page>("Call grandma", [&](ui::task_general_page& page) {
        QComboBox* box = page.role_box();
        ASSERT_EQ(box->count(), 1 + 38);
        EXPECT_EQ(box->itemText(0), "<None>");
        // Life areas by name, each with its roles by name.
        EXPECT_EQ(box->itemText(1), "Chef (Artistic, Creative, Expressive)");
        box->setCurrentIndex(box->findData(parent));
        EXPECT_EQ(box->currentText(), "Parent (Family)");
    }));
    EXPECT_EQ(task("Call grandma")->role, parent);

    // A role deleted since shows as none; saving the dialog keeps the id.
    p->core().tables().roles.delete_entity(parent);
    ASSERT_TRUE(edit<ui::task_general_page>("Call grandma", [](ui::task_general_page& page) {
        EXPECT_EQ(page.role_box()->currentIndex(), 0);
        page.name_edit()->setText("Call grandma soon");
    }));
    EXPECT_EQ(task("Call grandma soon")->role, parent);
    restart();
    EXPECT_EQ(task("Call grandma soon")->role, parent);
}

}  // namespace
