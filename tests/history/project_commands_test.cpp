// Project commands and hand moves through the history and the real file:
// each step undone and redone, the writer drained, the file compared with memory.

#include "history/tree_moves.h"
#include "model/project_fixture.h"

#include <QRandomGenerator>

using namespace qm;
using namespace qm::test;

namespace {

struct state {
    std::map<int, QStringList> projects;
    task_places tasks;
    bool operator==(const state& o) const { return projects == o.projects && tasks == o.tasks; }
};

struct project_commands_test : project_fixture {
    std::unique_ptr<history::history> h;
    std::unique_ptr<history::task_commands> tc;
    std::unique_ptr<history::project_commands> pc;
    std::unique_ptr<history::tree_moves> moves;

    project_commands_test() { rebuild(); }
    void rebuild()
    {
        moves.reset();
        pc.reset();
        tc.reset();
        h = std::make_unique<history::history>([this] { store().end_change_batch(); });
        tc = std::make_unique<history::task_commands>(*h, store());
        pc = std::make_unique<history::project_commands>(*h, projects(), store());
        moves = std::make_unique<history::tree_moves>(*h, store(), projects(), *tc, *pc);
    }

    state memory()
    {
        state s;
        for (const auto& p : projects().all())
            s.projects[p->id] = project_row(*p);
        s.tasks = places_in_memory(store());
        return s;
    }

    model::task_ptr task_in(const QString& name, model::project& p, model::task* parent = nullptr, bool folder = false)
    {
        auto t = std::make_shared<model::task>();
        t->name = name;
        t->project = p.id;
        t->parent = parent != nullptr ? parent->id : 0;
        t->project_priority_value = store().next_folder_value(*t);
        if (folder) {
            t->folder = model::folder_method::roi;
            t->appointment = true;
            t->date = time::FOLDER_DATE;
        }
        h->begin_group();  // as a view adds: the end of the group
        tc->add(t);
        h->end_group();
        return t;
    }

    // Folder groups number their ordered tasks 1 … k without gaps.
    void expect_gap_free()
    {
        std::map<std::pair<int, int>, std::vector<int>> groups;
        for (const auto& t : store().all())
            if (t->project != 0 && t->project_priority_value != 0)
                groups[{t->project, t->parent}].push_back(t->project_priority_value);
        for (auto& [key, values] : groups) {
            std::sort(values.begin(), values.end());
            for (std::size_t i = 0; i < values.size(); ++i)
                ASSERT_EQ(values[i], static_cast<int>(i) + 1) << "group " << key.first << "/" << key.second;
        }
    }

    std::vector<QString> names(const std::vector<model::task*>& group)
    {
        std::vector<QString> out;
        for (auto* t : group)
            out.push_back(t->name);
        return out;
    }
};

}  // namespace

TEST_F(project_commands_test, everyStepUndoesAndRedoesAndTheFileMatches)
{
    std::vector<state> states{memory()};
    auto step = [&](const std::function<void()>& act) {
        act();
        expect_gap_free();
        states.push_back(memory());
    };

    model::project_ptr garden;
    step([&] {
        auto p = std::make_shared<model::project>();
        p->name = "Garden";
        garden = pc->add(p);
    });
    step([&] { pc->new_milestone(*garden, "Spring"); });
    model::task_ptr beds, seeds, tools, dig, water;
    step([&] { beds = task_in("Beds", *garden, nullptr, true); });
    step([&] { seeds = task_in("Seeds", *garden, beds.get(), true); });
    step([&] { tools = task_in("Tools", *garden); });
    step([&] { dig = task_in("Dig", *garden, beds.get()); });
    step([&] { water = task_in("Water", *garden, beds.get()); });
    EXPECT_EQ(names(moves->group_of(*dig)), (std::vector<QString>{"Seeds", "Dig", "Water"}));
    step([&] { EXPECT_TRUE(moves->move(*water, history::move_to::top).done); });
    EXPECT_EQ(names(moves->group_of(*dig)), (std::vector<QString>{"Water", "Seeds", "Dig"}));
    step([&] { EXPECT_TRUE(moves->indent(*dig).done); });
    EXPECT_EQ(dig->parent, seeds->id);
    step([&] { EXPECT_TRUE(moves->outdent(*seeds).done); });
    EXPECT_EQ(names(moves->group_of(*seeds)), (std::vector<QString>{"Beds", "Seeds", "Tools"}));

    // A hand move in an ROI group with an impact switches it to Manual.
    step([&] { tc->modify(*tools, [](model::task& t) { t.units = 5; t.estimate = 600; }); });
    EXPECT_EQ(names(moves->group_of(*tools)).front(), "Tools");
    step([&] { EXPECT_TRUE(moves->move(*tools, history::move_to::bottom).done); });
    EXPECT_EQ(garden->folder_type, model::project_method::manual);
    EXPECT_EQ(names(moves->group_of(*tools)), (std::vector<QString>{"Beds", "Seeds", "Tools"}));
    step([&] { moves->set_method(*tools, model::folder_method::roi); });
    EXPECT_EQ(garden->folder_type, model::project_method::roi);

    // A folder under its own folder is refused with a message.
    const history::move_result refused = moves->move_under(*seeds, garden->id, dig.get());
    EXPECT_FALSE(refused.done);
    EXPECT_FALSE(refused.message.isEmpty());

    auto empty = std::make_shared<model::project>();
    empty->name = "Empty";
    step([&] { pc->add(empty); });
    step([&] { pc->remove(empty); });
    EXPECT_EQ(h->entries().back()->change_text(), "deleting empty project: Empty");
    step([&] { pc->remove(garden); });
    EXPECT_EQ(h->entries().back()->change_text(), "deleting project: Garden, contains 5 tasks");
    EXPECT_TRUE(store().all().empty());
    EXPECT_EQ(project_named("Spring")->parent, 0);

    for (int i = static_cast<int>(states.size()) - 2; i >= 0; --i) {
        h->undo_step();
        ASSERT_EQ(memory(), states[static_cast<std::size_t>(i)]) << "after undoing to state " << i;
    }
    for (std::size_t i = 1; i < states.size(); ++i) {
        h->redo_step();
        ASSERT_EQ(memory(), states[i]) << "after redoing state " << i;
    }
    h->undo_step();  // the project and its tasks back once more
    const state last = memory();
    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(project_rows(db), last.projects);
    EXPECT_EQ(places_on_disk(db), last.tasks);
    core.restart();
    rebuild();
    EXPECT_EQ(memory(), last);
}

TEST_F(project_commands_test, deleteQuestionsCountTheTasks)
{
    model::project p;
    p.name = "Move";
    EXPECT_EQ(history::delete_project_question(p, 1).text,
              "Project: Move, contains 1 task.\r\nDeleting it will also remove the associated tasks.\r\n\r\nContinue?");
    EXPECT_EQ(history::delete_project_question(p, 2).caption, "Delete project: Move?");
    EXPECT_TRUE(history::delete_project_question(p, 2).text.contains("contains 2 tasks."));
    p.name.clear();
    EXPECT_EQ(history::delete_project_question(p, 0).text, "Delete empty project: untitled?");
    EXPECT_EQ(history::delete_project_question(p, 0).caption, "Delete empty project?");
}

TEST_F(project_commands_test, aRoleChangeUndoesWithTheTasksThatFollowed)
{
    auto p = std::make_shared<model::project>();
    p->name = "p";
    p->role = 1;
    pc->add(p);
    auto own = task_in("own", *p);
    tc->modify(*own, [](model::task& t) { t.role = 1; });
    pc->modify(*p, [](model::project& x) { x.role = 2; });
    EXPECT_EQ(own->role, 2);
    EXPECT_EQ(h->entries().back()->change_text(), "changes to project: p");
    h->undo_step();
    EXPECT_EQ(p->role, 1);
    EXPECT_EQ(own->role, 1);
    h->redo_step();
    EXPECT_EQ(own->role, 2);
}

TEST_F(project_commands_test, newMilestoneUnderAMilestoneGoesRightAfterIt)
{
    auto p = std::make_shared<model::project>();
    p->name = "p";
    p->role = 7;
    pc->add(p);
    auto m1 = pc->new_milestone(*p, "m1");
    pc->new_milestone(*p, "m2");
    auto between = pc->new_milestone(*m1, "between");
    EXPECT_EQ(between->parent, p->id);
    EXPECT_EQ(between->role, 7);
    QStringList order;
    for (auto* c : projects().children(p->id))
        order << c->name;
    EXPECT_EQ(order, (QStringList{"m1", "between", "m2"}));
    EXPECT_EQ(h->entries().back()->change_text(), "add project: between");
}

TEST_F(project_commands_test, randomMovesAndUndoKeepFolderOrdersGapFree)
{
    auto p = std::make_shared<model::project>();
    p->name = "p";
    pc->add(p);
    std::vector<model::task_ptr> all;
    all.push_back(task_in("f0", *p, nullptr, true));
    all.push_back(task_in("f1", *p, nullptr, true));
    for (int i = 0; i < 10; ++i)
        all.push_back(task_in(QStringLiteral("t%1").arg(i), *p, all[static_cast<std::size_t>(i % 2)].get(), i % 3 == 0));
    QRandomGenerator random(15);
    for (int round = 0; round < 300; ++round) {
        model::task& t = *all[random.bounded(static_cast<int>(all.size()))];
        switch (random.bounded(7)) {
        case 0: moves->indent(t); break;
        case 1: moves->outdent(t); break;
        case 2: moves->move(t, static_cast<int>(random.bounded(4))); break;
        case 3: moves->move_under(t, p->id, all[random.bounded(static_cast<int>(all.size()))].get()); break;
        case 4: tc->modify(t, [&](model::task& x) { x.units = static_cast<int>(random.bounded(3)); x.estimate = 600; }); break;
        case 5: h->undo_step(); break;
        default: h->redo_step(); break;
        }
        expect_gap_free();
        if (HasFatalFailure())
            FAIL() << "round " << round;
    }
    const task_places memory_places = places_in_memory(store());
    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(places_on_disk(db), memory_places);
}
