#include "model/project_fixture.h"

#include "model/project_order.h"
#include "store/announcements.h"

using namespace qm;
using namespace qm::test;

namespace {

using order = std::map<QString, std::pair<int, int>>;

struct project_store_test : project_fixture {
    // Memory and file hold the same project rows.
    void expect_file_matches_memory()
    {
        std::map<int, QStringList> memory;
        for (const auto& p : projects().all())
            memory[p->id] = project_row(*p);
        store::database& db = core.drain_and_reopen();
        EXPECT_EQ(project_rows(db), memory);
    }
};

}  // namespace

TEST_F(project_store_test, newProjectsTakeTheEndAndReadTheirOutlineNumbers)
{
    auto a = add_project("a"), b = add_project("b"), c = add_project("c");
    EXPECT_EQ(project_order(), (order{{"a", {0, 0}}, {"b", {0, 1}}, {"c", {0, 2}}}));
    EXPECT_EQ(projects().outline_number(*a), "1 ");
    EXPECT_EQ(projects().outline_number(*c), "3 ");
    auto m = add_project("b1", b->id);
    EXPECT_EQ(m->priority_value, 0);
    EXPECT_EQ(projects().outline_number(*m), "2.1 ");
    expect_file_matches_memory();
}

TEST_F(project_store_test, addingAtAPositionMovesTheLaterOnesDown)
{
    add_project("a");
    add_project("b");
    add_project("x", 0, 1);
    EXPECT_EQ(project_order(), (order{{"a", {0, 0}}, {"x", {0, 1}}, {"b", {0, 2}}}));
    expect_file_matches_memory();
}

TEST_F(project_store_test, deletingClosesTheGapAndKeepsTheOrder)
{
    for (const char* n : {"p0", "p1", "p2", "p3"})
        add_project(n);
    projects().delete_project(project_named("p1"));
    EXPECT_EQ(project_order(), (order{{"p0", {0, 0}}, {"p2", {0, 1}}, {"p3", {0, 2}}}));
    expect_file_matches_memory();
}

TEST_F(project_store_test, movingAMilestoneRenumbersBothParents)
{
    auto a = add_project("a"), b = add_project("b");
    add_project("a1", a->id);
    auto a2 = add_project("a2", a->id);
    add_project("a3", a->id);
    add_project("b1", b->id);
    const model::project before = *a2;
    a2->parent = b->id;
    a2->priority_value = 0;
    projects().update_project(before, *a2);
    EXPECT_EQ(project_order(), (order{{"a", {0, 0}},
                                      {"b", {0, 1}},
                                      {"a1", {a->id, 0}},
                                      {"a3", {a->id, 1}},
                                      {"a2", {b->id, 0}},
                                      {"b1", {b->id, 1}}}));
    expect_file_matches_memory();
}

struct move_case {
    int from, to;
    std::vector<const char*> expected;  // names by new value
};

class project_moves : public project_store_test, public ::testing::WithParamInterface<move_case> {};

TEST_P(project_moves, withinTheSiblingsAsTasksMove)
{
    for (const char* n : {"p0", "p1", "p2", "p3", "p4"})
        add_project(n);
    auto p = projects().children(0)[static_cast<std::size_t>(GetParam().from)];
    const model::project before = *p;
    p->priority_value = GetParam().to;
    projects().update_project(before, *p);
    std::vector<QString> names;
    for (model::project* c : projects().children(0))
        names.push_back(c->name);
    std::vector<QString> expected(GetParam().expected.begin(), GetParam().expected.end());
    EXPECT_EQ(names, expected);
    int value = 0;
    for (model::project* c : projects().children(0))
        EXPECT_EQ(c->priority_value, value++);
    expect_file_matches_memory();
}

INSTANTIATE_TEST_SUITE_P(project_store, project_moves,
                         ::testing::Values(move_case{1, 3, {"p0", "p2", "p3", "p1", "p4"}},
                                           move_case{3, 1, {"p0", "p3", "p1", "p2", "p4"}},
                                           move_case{0, 9, {"p1", "p2", "p3", "p4", "p0"}},
                                           move_case{4, 0, {"p4", "p0", "p1", "p2", "p3"}}));

TEST_F(project_store_test, aMilestoneNeverGoesUnderItsOwnMilestone)
{
    auto a = add_project("a");
    auto a1 = add_project("a1", a->id);
    const model::project before = *a;
    a->parent = a1->id;
    projects().update_project(before, *a);
    EXPECT_EQ(a->parent, 0);
    expect_file_matches_memory();
}

TEST_F(project_store_test, listOrderPutsMilestonesAfterTheirProjectAndFinishedLast)
{
    auto a = add_project("a"), b = add_project("b"), c = add_project("c");
    add_project("b1", b->id);
    const model::project before = *a;
    a->status = model::status::finished;
    projects().update_project(before, *a);
    const model::project c_before = *c;
    c->type = 1;
    projects().update_project(c_before, *c);
    QStringList names;
    for (model::project* p : projects().list_order())
        names << p->name;
    EXPECT_EQ(names, (QStringList{"b", "b1", "c", "a"}));
}

struct progress_case {
    const char* name;
    model::project_statistics s;
    double expected;
};

class project_progress : public ::testing::TestWithParam<progress_case> {};

TEST_P(project_progress, comesFromEstimatesThenImpactsThenCounts)
{
    EXPECT_NEAR(model::project_progress(GetParam().s), GetParam().expected, 1e-9);
}

namespace {
model::project_statistics counts(int tasks, int finished, int canceled)
{
    model::project_statistics s;
    s.task_count = tasks;
    s.per_status[3] = finished;
    s.per_status[2] = canceled;
    return s;
}
model::project_statistics estimates(std::int64_t estimate, std::int64_t left, std::int64_t impact = 0)
{
    model::project_statistics s = counts(4, 0, 0);
    s.total_estimate = estimate;
    s.total_time_left = left;
    s.total_impact = impact;
    return s;
}
}  // namespace

INSTANTIATE_TEST_SUITE_P(project_store, project_progress,
                         ::testing::Values(progress_case{"counts", counts(4, 1, 1), 0.5},
                                           progress_case{"empty", counts(0, 0, 0), 0.0},
                                           progress_case{"estimates", estimates(3600, 900, 10), 0.75},
                                           progress_case{"impacts", [] {
                                                             model::project_statistics s = counts(4, 3, 0);
                                                             s.total_impact = 8;
                                                             s.finished_impact = 2;
                                                             return s;
                                                         }(),
                                                         0.25}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(project_store_test, statisticsFollowTheTasks)
{
    auto p = add_project("p");
    auto folder = add_to_project("f", p->id, 0, 1, true);
    auto t1 = add_to_project("t1", p->id, folder->id, 1);
    auto t2 = add_to_project("t2", p->id, 0, 2);
    edit("t1", [](model::task& t) {
        t.units = 10;
        t.estimate = 3600;
        t.status = model::status::finished;
        t.date = D(2026, 3, 9);
    });
    edit("t2", [](model::task& t) {
        t.units = 5;
        t.estimate = 1800;
    });
    const model::project_statistics& s = p->statistics;
    EXPECT_EQ(s.task_count, 3);
    EXPECT_EQ(s.per_status[3], 1);
    EXPECT_EQ(s.total_impact, 15);
    EXPECT_EQ(s.finished_impact, 10);
    EXPECT_EQ(s.total_estimate, 5400);
    EXPECT_EQ(s.total_time_left, 1800);
    EXPECT_EQ(s.last_activity, D(2026, 3, 9));
}

TEST_F(project_store_test, aRoleChangeReachesTheTasksThatCarriedTheOldRole)
{
    auto p = add_project("p");
    const model::project first = *p;
    p->role = 1;
    projects().update_project(first, *p);
    add_to_project("own R1", p->id);
    add_to_project("own R3", p->id);
    add_to_project("inherits", p->id);
    edit("own R1", [](model::task& t) { t.role = 1; });
    edit("own R3", [](model::task& t) { t.role = 3; });

    const model::project before = *p;
    p->role = 2;
    const std::vector<model::task> followed = projects().update_project(before, *p);
    store().end_change_batch();
    ASSERT_EQ(followed.size(), 1u);
    EXPECT_EQ(named("own R1")->role, 2);
    EXPECT_EQ(named("own R3")->role, 3);
    EXPECT_EQ(named("inherits")->role, 0);
    EXPECT_EQ(store().effective_role(*named("inherits")), 2);
}

TEST_F(project_store_test, roiOrderPutsTheHigherYieldFirst)
{
    auto p = add_project("p");
    auto slow = add_to_project("two hours", p->id, 0, 1);
    auto fast = add_to_project("one hour", p->id, 0, 2);
    edit("two hours", [](model::task& t) {
        t.units = 10;
        t.estimate = 7200;
    });
    edit("one hour", [](model::task& t) {
        t.units = 10;
        t.estimate = 3600;
    });
    std::vector<model::task*> group{slow.get(), fast.get()};
    model::order_group(store(), group, model::folder_method::roi);
    EXPECT_EQ(group.front()->name, "one hour");
    EXPECT_TRUE(model::needs_manual_switch(store(), group, model::folder_method::roi));
    model::order_group(store(), group, model::folder_method::manual);
    EXPECT_EQ(group.front()->name, "two hours");
}

TEST_F(project_store_test, manualOrderPutsUnorderedTasksLastById)
{
    auto p = add_project("p");
    auto loose2 = add_to_project("loose2", p->id, 0, 0);
    auto second = add_to_project("second", p->id, 0, 1);
    auto loose1 = add_to_project("loose1", p->id, 0, 0);
    auto first = add_to_project("first", p->id, 0, 1);
    std::vector<model::task*> group{loose1.get(), loose2.get(), second.get(), first.get()};
    model::order_group(store(), group, model::folder_method::manual);
    QStringList names;
    for (auto* t : group)
        names << t->name;
    EXPECT_EQ(names, (QStringList{"first", "second", "loose2", "loose1"}));
}

TEST_F(project_store_test, loadRepairsUnnumberedAndOrphanedProjects)
{
    add_project("a");
    core.drain_and_reopen();
    core.restart();
    {
        auto db = open_file(core.database_path());
        db->execute("INSERT INTO Projects VALUES (50, 'old1', '', 0, 0, 0, 0, 0, 0, 0, -1, 0)");
        db->execute("INSERT INTO Projects VALUES (51, 'old2', '', 0, 0, 0, 0, 0, 0, 0, -1, 0)");
        db->execute("INSERT INTO Projects VALUES (52, 'orphan', '', 0, 0, 0, 0, 0, 0, 0, 0, 999)");
        db->execute("INSERT INTO Projects VALUES (53, 'loop1', '', 0, 0, 0, 0, 0, 0, 0, 0, 54)");
        db->execute("INSERT INTO Projects VALUES (54, 'loop2', '', 0, 0, 0, 0, 0, 0, 0, 0, 53)");
    }
    core.restart();
    EXPECT_EQ(projects().all().size(), 6u);
    auto old1 = project_named("old1"), old2 = project_named("old2");
    EXPECT_EQ(old1->priority_value, 1);
    EXPECT_EQ(old2->priority_value, 2);
    auto orphan = project_named("orphan");
    EXPECT_EQ(orphan->parent, 0);
    EXPECT_EQ(orphan->priority_value, 3);
    // Every project of the loop is shown, reachable from the top.
    for (const char* n : {"loop1", "loop2"})
        EXPECT_EQ(projects().top_of(*project_named(n))->parent, 0) << n;
    EXPECT_EQ(projects().list_order().size(), 6u);
    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(query(db, "SELECT priority_value FROM Projects WHERE id = 51").front().front(), "2");
}

TEST_F(project_store_test, aFolderLoopInTheFileStillShowsEveryTask)
{
    auto p = add_project("p");
    add_to_project("top", p->id, 0, 1);
    auto f1 = add_to_project("f1", p->id, 0, 2, true);
    auto f2 = add_to_project("f2", p->id, f1->id, 1, true);
    add_to_project("inner", p->id, f2->id, 1);
    const std::int32_t f1_id = f1->id, f2_id = f2->id;
    core.drain_and_reopen();
    {
        auto db = open_file(core.database_path());
        db->execute(QStringLiteral("UPDATE Tasks SET parent = %1 WHERE id = %2").arg(f2_id).arg(f1_id));
    }
    core.restart();
    const model::task_tree tree = model::build_task_tree(store(), *project_named("p"));
    int shown = 0;
    std::function<void(const std::vector<model::task*>&)> count = [&](const std::vector<model::task*>& group) {
        for (model::task* t : group) {
            ++shown;
            count(tree.children_of(t->id));
        }
    };
    count(tree.roots);
    EXPECT_EQ(shown, 4);
}
