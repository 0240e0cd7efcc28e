// Dependencies: what a task waits on, the refusal of a link that closes a
// circle, and links to deleted tasks dropped at the next load.

#include "model/dependencies.h"
#include "notes/notes_fixture.h"

using namespace qm;
using namespace qm::test;

namespace {

struct dependencies_test : notes_fixture {};

TEST_F(dependencies_test, a_task_waits_on_its_unfinished_dependencies_only)
{
    model::task_ptr a = add("A");
    model::task_ptr b = add("B");
    model::task_ptr c = add("C");
    tc->modify(*b, [&](model::task& x) { x.dependencies = {a->id, c->id}; });
    EXPECT_EQ(model::waiting_text(store(), *b), "Waits on: A, C");
    tc->set_status({c.get()}, model::status::canceled);
    EXPECT_EQ(model::waiting_text(store(), *b), "Waits on: A");
    tc->toggle_finished({a.get()});
    EXPECT_TRUE(model::open_dependencies(store(), *b).empty());
    EXPECT_TRUE(model::waiting_text(store(), *b).isEmpty());
    h->undo_step();  // A unfinished again
    EXPECT_EQ(model::waiting_text(store(), *b), "Waits on: A");

    const auto links = query(core.drain_and_reopen(), "SELECT entity, dependency, type FROM Dependencies ORDER BY dependency");
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0], (QStringList{QString::number(b->id), QString::number(a->id), "0"}));
    core.restart();
    EXPECT_EQ(named("B")->dependencies.size(), 2u);
}

TEST_F(dependencies_test, a_link_that_closes_a_circle_is_found)
{
    model::task_ptr a = add("A");
    model::task_ptr b = add("B");
    model::task_ptr c = add("C");
    tc->modify(*b, [&](model::task& x) { x.dependencies = {a->id}; });
    tc->modify(*c, [&](model::task& x) { x.dependencies = {b->id}; });
    struct link_case {
        model::task_ptr task;
        std::vector<model::task_ptr> wanted;
        model::task_ptr culprit;  // nullptr: allowed
    } cases[] = {
        {a, {c}, c},           // A → C → B → A
        {a, {b}, b},           // A → B → A
        {a, {a}, a},           // on itself
        {c, {a}, nullptr},     // C already waits on A through B: allowed
        {a, {}, nullptr},
    };
    for (const link_case& l : cases) {
        std::vector<std::int32_t> ids;
        for (const auto& w : l.wanted)
            ids.push_back(w->id);
        EXPECT_EQ(model::closing_cycle(store(), l.task->id, ids), l.culprit ? l.culprit->id : 0)
            << l.task->name.toStdString();
    }
    EXPECT_EQ(model::cycle_message(store(), a->id, c->id), "\"C\" already waits on this task, so this task cannot wait on it.");
    EXPECT_EQ(model::cycle_message(store(), a->id, a->id), "A task cannot wait on itself.");
}

TEST_F(dependencies_test, a_link_to_a_deleted_task_is_dropped_at_load)
{
    model::task_ptr a = add("A");
    model::task_ptr b = add("B");
    tc->modify(*b, [&](model::task& x) { x.dependencies = {a->id}; });
    tc->remove(a);
    core.restart();
    rebuild();
    model::task_ptr again = named("B");
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->dependencies.empty());
    EXPECT_TRUE(model::waiting_text(store(), *again).isEmpty());
    // Changing the task later writes nothing wrong for the dropped link.
    EXPECT_TRUE(tc->modify(*again, [](model::task& x) { x.name = "B2"; }));
    core.drain_and_reopen();
}

}  // namespace
