#include "model/task_fixture.h"

#include "store/announcements.h"

#include <QRandomGenerator>

#include <functional>

using namespace qm;
using namespace qm::test;
using model::task;
using model::task_ptr;
namespace flag = model::update_flag;

namespace {

using group = std::map<QString, int>;

// Fills a day group with to-dos "t1" … "tn" at 1 … n.
void fill(task_fixture& f, int n, int priority = 1)
{
    for (int i = 1; i <= n; ++i)
        f.add(QStringLiteral("t%1").arg(i), D(2026, 3, 11), priority);
}

}  // namespace

struct ordering_case {
    const char* name;
    std::function<void(task_fixture&)> act;
    group expected;  // priority A group of 2026-03-11 after the act
    group expected_b = {};
};

void PrintTo(const ordering_case& c, std::ostream* os) { *os << c.name; }

class ordering : public task_fixture, public ::testing::WithParamInterface<ordering_case> {};

TEST_P(ordering, dayGroupsKeepTheirOrderWithoutGaps)
{
    const ordering_case& c = GetParam();
    c.act(*this);
    EXPECT_EQ(day_group(), c.expected);
    EXPECT_EQ(day_group(D(2026, 3, 11), 2), c.expected_b);

    // The file holds what memory holds.
    std::map<std::int32_t, std::pair<int, int>> memory;
    for (const auto& t : store().all())
        memory[t->id] = {t->priority, t->priority_value};
    store::database& db = core.drain_and_reopen();
    std::map<std::int32_t, std::pair<int, int>> disk;
    for (const auto& row : query(db, "SELECT id, priority, priority_value FROM Tasks"))
        disk[row[0].toInt()] = {row[1].toInt(), row[2].toInt()};
    EXPECT_EQ(disk, memory);
}

INSTANTIATE_TEST_SUITE_P(
    task_store, ordering,
    ::testing::Values(
        ordering_case{"addToEmptyGroupTakesOne", [](task_fixture& f) { f.add("x"); }, {{"x", 1}}},
        ordering_case{"addGoesToTheEndPastAppointments",
                      [](task_fixture& f) {
                          fill(f, 4);
                          auto a = std::make_shared<task>();
                          a->name = "meeting";
                          a->date = D(2026, 3, 11);
                          a->priority = 1;
                          a->appointment = true;
                          a->appointment_start = 9 * 3600;
                          a->appointment_duration = 3600;
                          f.store().add(a);
                          f.add("x");
                      },
                      {{"t1", 1}, {"t2", 2}, {"t3", 3}, {"t4", 4}, {"meeting", 0}, {"x", 5}}},
        ordering_case{"addAtTwoOpensAPlace",
                      [](task_fixture& f) {
                          fill(f, 4);
                          f.add("x", D(2026, 3, 11), 1, 2);
                      },
                      {{"t1", 1}, {"x", 2}, {"t2", 3}, {"t3", 4}, {"t4", 5}}},
        ordering_case{"addFarBeyondTheEndTakesTheEnd",
                      [](task_fixture& f) {
                          fill(f, 2);
                          f.add("x", D(2026, 3, 11), 1, 40);
                      },
                      {{"t1", 1}, {"t2", 2}, {"x", 3}}},
        ordering_case{"moveDownFromTwoToFour",
                      [](task_fixture& f) {
                          fill(f, 5);
                          f.edit("t2", [](task& t) { t.priority_value = 4; });
                      },
                      {{"t1", 1}, {"t3", 2}, {"t4", 3}, {"t2", 4}, {"t5", 5}}},
        ordering_case{"movePastTheEndBecomesLast",
                      [](task_fixture& f) {
                          fill(f, 5);
                          f.edit("t2", [](task& t) { t.priority_value = 6; });
                      },
                      {{"t1", 1}, {"t3", 2}, {"t4", 3}, {"t5", 4}, {"t2", 5}}},
        ordering_case{"moveUpFromFourToTwo",
                      [](task_fixture& f) {
                          fill(f, 5);
                          f.edit("t4", [](task& t) { t.priority_value = 2; });
                      },
                      {{"t1", 1}, {"t4", 2}, {"t2", 3}, {"t3", 4}, {"t5", 5}}},
        ordering_case{"newDateGoesToTheEndAndClosesTheGap",
                      [](task_fixture& f) {
                          fill(f, 3);
                          f.add("other", D(2026, 3, 12));
                          f.edit("t1", [](task& t) { t.date = D(2026, 3, 12); });
                          EXPECT_EQ(f.day_group(D(2026, 3, 12)), (group{{"other", 1}, {"t1", 2}}));
                      },
                      {{"t2", 1}, {"t3", 2}}},
        ordering_case{"newDateKeepsThePositionWhenAsked",
                      [](task_fixture& f) {
                          fill(f, 3);
                          f.add("other", D(2026, 3, 12));
                          f.edit("t3", [](task& t) {
                              t.date = D(2026, 3, 12);
                              t.priority_value = 1;
                          }, flag::keep_priority_value);
                          EXPECT_EQ(f.day_group(D(2026, 3, 12)), (group{{"t3", 1}, {"other", 2}}));
                      },
                      {{"t1", 1}, {"t2", 2}}},
        ordering_case{"toAppointmentClosesTheGapAndBackGoesToTheEnd",
                      [](task_fixture& f) {
                          fill(f, 3);
                          f.edit("t1", [](task& t) { t.appointment = true; });
                          EXPECT_EQ(f.day_group(), (group{{"t1", 0}, {"t2", 1}, {"t3", 2}}));
                          f.edit("t1", [](task& t) { t.appointment = false; });
                      },
                      {{"t2", 1}, {"t3", 2}, {"t1", 3}}},
        ordering_case{"deleteAtThreeLeavesOneToFour",
                      [](task_fixture& f) {
                          fill(f, 5);
                          f.store().remove(f.named("t3"));
                          f.store().end_change_batch();
                      },
                      {{"t1", 1}, {"t2", 2}, {"t4", 3}, {"t5", 4}}},
        ordering_case{"makeTopPriorityFromB",
                      [](task_fixture& f) {
                          fill(f, 3);
                          f.add("b", D(2026, 3, 11), 2);
                          model::task_operations ops(f.store());
                          ops.make_top_priority(*f.named("b"));
                          f.store().end_change_batch();
                      },
                      {{"b", 1}, {"t1", 2}, {"t2", 3}, {"t3", 4}}},
        ordering_case{"pushToTopSkipsFinishedTasks",
                      [](task_fixture& f) {
                          fill(f, 3);
                          f.edit("t1", [](task& t) { t.status = model::status::finished; });
                          model::task_operations ops(f.store());
                          ops.push_to_top(*f.named("t3"));
                          f.store().end_change_batch();
                      },
                      {{"t1", 1}, {"t3", 2}, {"t2", 3}}},
        ordering_case{"pushToBottom",
                      [](task_fixture& f) {
                          fill(f, 4);
                          model::task_operations ops(f.store());
                          ops.push_to_bottom(*f.named("t1"));
                          f.store().end_change_batch();
                      },
                      {{"t2", 1}, {"t3", 2}, {"t4", 3}, {"t1", 4}}},
        ordering_case{"priorityChangeGoesToTheEndOfTheNewGroup",
                      [](task_fixture& f) {
                          fill(f, 3);
                          f.add("b1", D(2026, 3, 11), 2);
                          model::task_operations ops(f.store());
                          EXPECT_FALSE(ops.set_day_priority(*f.named("t2"), 1));  // already A
                          ops.set_day_priority(*f.named("t2"), 2);
                          f.store().end_change_batch();
                      },
                      {{"t1", 1}, {"t3", 2}},
                      {{"b1", 1}, {"t2", 2}}}),
    [](const ::testing::TestParamInfo<ordering_case>& info) { return std::string(info.param.name); });

TEST_F(task_fixture, folderGroupsNumberTheirTasks)
{
    auto folder = add_to_project("folder", 7, 0, 1, true);
    auto a = add_to_project("a", 7, folder->id, 1);
    auto b = add_to_project("b", 7, folder->id, 2);
    auto c = add_to_project("c", 7, folder->id, 1);  // at the top: the others move down
    EXPECT_EQ(c->project_priority_value, 1);
    EXPECT_EQ(a->project_priority_value, 2);
    EXPECT_EQ(b->project_priority_value, 3);

    edit("a", [](task& t) { t.parent = 0; });  // out of the folder: its place closes
    EXPECT_EQ(c->project_priority_value, 1);
    EXPECT_EQ(b->project_priority_value, 2);
    EXPECT_EQ(a->project_priority_value, 2);  // the end of the top level, after the folder
    edit("b", [](task& t) { t.project_priority_value = 1; });
    EXPECT_EQ(b->project_priority_value, 1);
    EXPECT_EQ(c->project_priority_value, 2);

    // A task moved to another project lands at its top level.
    edit("c", [](task& t) { t.project = 8; });
    EXPECT_EQ(c->parent, 0);
    EXPECT_EQ(c->project_priority_value, 1);
    EXPECT_EQ(b->project_priority_value, 1);
}

TEST_F(task_fixture, aParentCannotBeADescendant)
{
    auto top = add_to_project("top", 3, 0, 1, true);
    auto middle = add_to_project("middle", 3, top->id, 1, true);
    auto leaf = add_to_project("leaf", 3, middle->id, 1);
    edit("top", [&](task& t) { t.parent = leaf->id; });
    EXPECT_EQ(top->parent, 0);
    edit("top", [&](task& t) { t.parent = t.id; });
    EXPECT_EQ(top->parent, 0);
    const auto below = store().descendants(*top);
    ASSERT_EQ(below.size(), 2u);
    EXPECT_EQ(below[0], leaf.get());  // each task's descendants before it
    EXPECT_EQ(below[1], middle.get());
}

TEST_F(task_fixture, randomChangesKeepEveryGroupWithoutGapsAndTheFileInStep)
{
    QRandomGenerator rng(31337);
    const time::stored_date dates[] = {D(2026, 3, 11), D(2026, 3, 12), time::NO_DATE};
    auto check_groups = [&](int step) {
        std::map<std::pair<time::stored_date, int>, std::vector<int>> days;
        std::map<std::pair<int, int>, std::vector<int>> folders;
        for (const auto& t : store().all()) {
            if (t->is_todo())
                days[{t->date, t->priority}].push_back(t->priority_value);
            else
                ASSERT_EQ(t->priority_value, 0) << step;
            if (t->project == 0)
                ASSERT_EQ(t->project_priority_value, 0) << step;
            else if (t->project_priority_value != 0)
                folders[{t->project, t->parent}].push_back(t->project_priority_value);
        }
        for (auto& [key, values] : days) {
            std::sort(values.begin(), values.end());
            for (std::size_t i = 0; i < values.size(); ++i)
                ASSERT_EQ(values[i], int(i) + 1) << "day group at step " << step;
        }
        for (auto& [key, values] : folders) {
            std::sort(values.begin(), values.end());
            for (std::size_t i = 0; i < values.size(); ++i)
                ASSERT_EQ(values[i], int(i) + 1) << "folder group at step " << step;
        }
    };

    for (int step = 0; step < 1500; ++step) {
        const auto& all = store().all();
        const int op = all.size() < 5 ? 0 : rng.bounded(10);
        if (op <= 2) {
            auto t = std::make_shared<task>();
            t->name = QStringLiteral("task %1").arg(step);
            t->date = dates[rng.bounded(3)];
            t->priority = 1 + rng.bounded(3);
            t->priority_value = rng.bounded(3) == 0 ? 1 + rng.bounded(8) : -1;
            t->appointment = rng.bounded(10) == 0;
            t->project = rng.bounded(3);
            if (t->project != 0) {
                t->project_priority_value = rng.bounded(4) == 0 ? 0 : 1 + rng.bounded(6);
                std::vector<task*> candidates = store().tasks_of_project(t->project);
                if (!candidates.empty() && rng.bounded(2) == 0)
                    t->parent = candidates[rng.bounded(int(candidates.size()))]->id;
            }
            store().add(t);
        } else if (op == 9) {
            store().remove(all[rng.bounded(int(all.size()))]);
        } else {
            task_ptr t = all[rng.bounded(int(all.size()))];
            const task before = *t;
            switch (rng.bounded(8)) {
            case 0: if (!t->is_folder()) t->date = dates[rng.bounded(3)]; break;
            case 1: t->priority = 1 + rng.bounded(3); break;
            case 2: t->priority_value = rng.bounded(10); break;
            case 3: t->project = rng.bounded(3); break;
            case 4: {
                std::vector<task*> candidates = store().tasks_of_project(t->project);
                t->parent = candidates.empty() ? 0 : candidates[rng.bounded(int(candidates.size()))]->id;
                break;
            }
            case 5: if (!t->is_folder()) t->appointment = !t->appointment; break;
            case 6: t->project_priority_value = rng.bounded(8); break;
            default:
                if (t->is_folder()) {
                    t->folder = 0;
                    t->appointment = false;
                    t->date = time::NO_DATE;
                } else {
                    t->folder = 1 + rng.bounded(2);
                    t->appointment = true;
                    t->date = time::FOLDER_DATE;
                }
            }
            store().change(before, *t);
        }
        store().end_change_batch();
        check_groups(step);
        if (HasFatalFailure())
            return;
    }

    std::map<int, QStringList> memory;
    for (const auto& t : store().all())
        memory[t->id] = QStringList{QString::number(t->parent), QString::number(t->is_folder() ? 1 : 0),
                                    QString::number(t->date), QString::number(t->priority),
                                    QString::number(t->priority_value), QString::number(t->project),
                                    QString::number(t->project_priority_value), QString::number(t->appointment)};
    store::database& db = core.drain_and_reopen();
    std::map<int, QStringList> disk;
    for (auto row : query(db, "SELECT id, parent, folder != 0, date, priority, priority_value, project, "
                              "project_priority_value, appointment FROM Tasks")) {
        const int id = row.takeFirst().toInt();
        disk[id] = row;
    }
    EXPECT_EQ(disk, memory);
}

TEST_F(task_fixture, derivedValuesOnSmallTrees)
{
    auto t = add("roi");
    edit("roi", [](task& x) {
        x.units = 10;
        x.estimate = 3600;
    });
    EXPECT_DOUBLE_EQ(store().roi(*t), 10.0 / 60.0);
    EXPECT_DOUBLE_EQ(store().yield(*t), 10.0 / 60.0);
    edit("roi", [](task& x) { x.estimate = 59; });
    EXPECT_DOUBLE_EQ(store().roi(*t), 0.0);
    EXPECT_DOUBLE_EQ(store().yield(*t), 0.0);

    auto folder = add_to_project("folder", 1, 0, 1, true);
    auto a = add_to_project("a", 1, folder->id, 1);
    auto b = add_to_project("b", 1, folder->id, 2);
    edit("folder", [](task& x) { x.units = 5; x.estimate = 7200; });
    edit("a", [](task& x) { x.units = 3; x.estimate = 1800; });
    edit("b", [](task& x) {
        x.units = 4;
        x.estimate = 1200;
        x.tracked_times.push_back({0, 0, 0, 1773100800, 1500, ""});  // 300 s over its estimate
    });
    EXPECT_EQ(store().impact(*folder), 7);
    EXPECT_EQ(store().effective_estimate(*folder), 7200);
    EXPECT_EQ(store().time_left(*b), 0);
    EXPECT_EQ(store().overrun(*b), 300);
    // Children's time left (1800 + 0) plus what the folder's own estimate adds (7200 − 3000).
    EXPECT_EQ(store().time_left(*folder), 1800 + 4200);
    EXPECT_FLOAT_EQ(store().progress(*b), 100.0f);
    edit("folder", [](task& x) { x.units = 9; });
    EXPECT_EQ(store().impact(*folder), 9);
    edit("a", [](task& x) { x.status = model::status::finished; });
    EXPECT_EQ(store().finished_impact(*folder), 3);
    EXPECT_EQ(store().time_left(*a), 0);
    EXPECT_EQ(store().time_left(*folder), 4200);
}

TEST_F(task_fixture, aChangeReachesTheFoldersAboveItBeforeAndAfterAMove)
{
    // Outside a project as well as inside one: no other task is recomputed
    // after a change, so each folder above it must be.
    for (std::int32_t project : {0, 3}) {
        const QString n = QString::number(project);
        auto top = add_to_project("top" + n, project, 0, 1, true);
        auto inner = add_to_project("inner" + n, project, top->id, 1, true);
        auto other = add_to_project("other" + n, project, 0, 2, true);
        add_to_project("leaf" + n, project, inner->id, 1);
        edit("leaf" + n, [](task& x) { x.estimate = 1800; });
        EXPECT_EQ(store().time_left(*top), 1800) << project;
        EXPECT_EQ(store().time_left(*inner), 1800) << project;
        edit("leaf" + n, [](task& x) { x.estimate = 3600; });
        EXPECT_EQ(store().time_left(*top), 3600) << project;
        edit("leaf" + n, [&](task& x) { x.parent = other->id; });
        EXPECT_EQ(store().time_left(*inner), 0) << project;
        EXPECT_EQ(store().time_left(*top), 0) << project;
        EXPECT_EQ(store().time_left(*other), 3600) << project;
    }
}

TEST_F(task_fixture, announcementsComeInTheirOrder)
{
    struct recorder : store::listener {
        std::vector<int> seen;
        long on_announcement(const store::announcement& a) override
        {
            seen.push_back(a.message);
            return 0;
        }
    } r;
    store::listeners().add(&r);
    auto t = add("x");
    edit("x", [](task& x) { x.name = "y"; });
    store().remove(t);
    store().end_change_batch();
    store::listeners().remove(&r);
    const std::vector<int> expected = {37768, 37769, 37774, 37777, 37770, 37771, 37774, 37777,
                                       37772, 37773, 37774, 37777};
    EXPECT_EQ(r.seen, expected);
}

TEST_F(task_fixture, attachmentsAreWrittenAsDifferences)
{
    auto t = add("x");
    edit("x", [](task& x) {
        x.tags = {{0, "Home"}, {0, "phone"}};
        x.dependencies = {5};
        x.comments.push_back({0, 0, 1773100800, 2, "first note"});
        x.tracked_times.push_back({0, 0, 0, 1773100800, 600, ""});
    });
    auto y = add("y");
    edit("y", [](task& x) { x.tags = {{0, "HOME"}}; });  // the same tag in another case
    EXPECT_EQ(y->tags[0].id, t->tags[0].id);
    EXPECT_EQ(core.core().tables().contexts.cache().size(), 2u);

    edit("x", [](task& x) {
        x.tags = {{0, "home"}};        // "phone" loses its last task and goes
        x.dependencies = {7};          // 5 replaced by 7
        x.comments[0].comment = "changed note";
        x.comments.push_back({0, 0, 1773104400, 2, "second note"});
        x.tracked_times.clear();
    });
    EXPECT_EQ(core.core().tables().contexts.cache().size(), 1u);
    store().remove(y);
    store().end_change_batch();

    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(query(db, "SELECT name FROM Contexts"), (std::vector<QStringList>{{"Home"}}));
    EXPECT_EQ(query(db, "SELECT task FROM TaskContexts"), (std::vector<QStringList>{{QString::number(t->id)}}));
    EXPECT_EQ(query(db, "SELECT entity, dependency FROM Dependencies"),
              (std::vector<QStringList>{{QString::number(t->id), "7"}}));
    EXPECT_EQ(query(db, "SELECT comment, type, associated_id FROM Comments ORDER BY id"),
              (std::vector<QStringList>{{"changed note", "2", QString::number(t->id)},
                                        {"second note", "2", QString::number(t->id)}}));
    EXPECT_EQ(query(db, "SELECT COUNT(*) FROM TrackedTimes")[0][0], "0");
}

TEST_F(task_fixture, deletingATaskTakesWhatHangsOnItAndUndoingPutsItBack)
{
    auto t = add("x");
    const std::int32_t other = add("y")->id;  // a link to a task that exists: others are dropped at load
    edit("x", [&](task& x) {
        x.tags = {{0, "errand"}};
        x.comments.push_back({0, 0, 1773100800, 2, "note"});
        x.tracked_times.push_back({0, 0, 0, 1773100800, 600, ""});
        x.dependencies = {other};
    });
    store().remove(t);
    store().end_change_batch();
    EXPECT_TRUE(core.core().tables().contexts.cache().empty());
    EXPECT_TRUE(core.core().tables().comments.cache().empty());
    EXPECT_TRUE(core.core().tables().tracked_times.cache().empty());

    store().add(t);  // as an undo does: the same object, its id kept
    store().end_change_batch();
    core.restart();
    task_ptr back = store().find(t->id);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->tags.size(), 1u);
    EXPECT_EQ(back->comments.size(), 1u);
    EXPECT_EQ(back->tracked_times.size(), 1u);
    EXPECT_EQ(back->dependencies, std::vector<std::int32_t>{other});
    EXPECT_EQ(back->priority_value, 1);
}

TEST_F(task_fixture, manualFolderMethodSurvivesARestartAndOlderValuesReadAsROI)
{
    auto folder = add_to_project("folder", 2, 0, 1, true);
    model::task_operations ops(store());
    EXPECT_TRUE(ops.set_folder_method(*folder, model::folder_method::manual));
    store().end_change_batch();
    core.restart();
    EXPECT_EQ(store().find(folder->id)->folder, model::folder_method::manual);

    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(query(db, "SELECT folder FROM Tasks")[0][0], "3");
    db.execute("UPDATE Tasks SET folder = 2");  // as the old conversion wrote
    db.close();
    core.restart();
    EXPECT_EQ(store().find(folder->id)->folder, model::folder_method::roi);
}

TEST_F(task_fixture, pullingUnfinishedTasksOverSevenDays)
{
    add("yesterday", D(2026, 3, 10));
    add("six days ago", D(2026, 3, 5));
    add("eight days ago", D(2026, 3, 3));
    add("today", D(2026, 3, 11));
    add("undated", time::NO_DATE);
    add("finished", D(2026, 3, 9));
    add("delegated", D(2026, 3, 9));
    add("waiting", D(2026, 3, 9));
    edit("finished", [](task& t) { t.status = model::status::finished; });
    edit("delegated", [](task& t) { t.status = model::status::delegated; });
    edit("waiting", [](task& t) { t.status = model::status::waiting; });
    auto occurrence = add("occurrence", D(2026, 3, 9));
    auto occurrence_today = add("occurrence today", D(2026, 3, 11));
    edit("occurrence", [](task& t) { t.recurrence = 44; });
    edit("occurrence today", [](task& t) { t.recurrence = 44; });

    model::task_operations ops(store());
    EXPECT_EQ(ops.pull_previously_uncompleted(7), 3);
    store().end_change_batch();
    for (const char* moved : {"yesterday", "six days ago", "waiting"})
        EXPECT_EQ(named(moved)->date, D(2026, 3, 11)) << moved;
    for (const char* stayed : {"eight days ago", "finished", "delegated", "occurrence"})
        EXPECT_NE(named(stayed)->date, D(2026, 3, 11)) << stayed;
    EXPECT_EQ(named("undated")->date, time::NO_DATE);
    EXPECT_EQ(model::task_operations::pull_description(3, "today"), "moving 3 unfinished tasks to today");
}

TEST_F(task_fixture, foldersLeaveTheDayOrderAndComeBackAtTheEnd)
{
    fill(*this, 3);
    model::task_operations ops(store());
    ops.convert_to_folder(*named("t1"));
    store().end_change_batch();
    EXPECT_EQ(named("t1")->date, time::FOLDER_DATE);
    EXPECT_EQ(day_group(), (group{{"t2", 1}, {"t3", 2}}));
    ops.convert_to_task(*named("t1"));
    store().end_change_batch();
    EXPECT_EQ(named("t1")->date, time::NO_DATE);
    EXPECT_EQ(named("t1")->priority_value, 1);
}
