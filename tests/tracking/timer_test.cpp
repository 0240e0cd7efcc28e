// The timer and its commands on a started core, each scenario checked
// against the file after the writer has drained.

#include "tracking/timer_fixture.h"

#include <array>

using namespace qm;
using namespace qm::test;
using tracking::TrackedTime;

namespace {

struct timer_test : timer_fixture {};

// ---- the resume rule ----

struct resume_case {
    int gap;      // seconds between the latest entry's end and the start
    bool resumed;
};

struct resume_rule : timer_fixture, ::testing::WithParamInterface<resume_case> {};

TEST_P(resume_rule, continuesAnEntryThatEndedUnderTwoMinutesAgo)
{
    auto a = add("A");
    give(a, now() - 600 - GetParam().gap, 600);
    const TrackedTime old = a->tracked_times.back();

    ops->start_timer(a);
    ASSERT_TRUE(timer->is_timed(*a));
    const TrackedTime* running = timer->running_entry();
    ASSERT_NE(running, nullptr);
    if (GetParam().resumed) {
        EXPECT_EQ(running->id, old.id);
        EXPECT_EQ(running->start, old.start);
        EXPECT_EQ(a->tracked_times.size(), 1u);
    } else {
        EXPECT_NE(running->id, old.id);
        EXPECT_EQ(running->start, now());
        EXPECT_EQ(a->tracked_times.size(), 2u);
    }
    run(5);
    // The next tick covers the gap: the entry runs to now.
    EXPECT_EQ(timer->running_entry()->start + timer->running_entry()->duration, now());
    ops->stop_timer();
    EXPECT_EQ(descriptions(), (std::vector<QString>{"start timer on task \"A\"", "stop timer on task \"A\""}));
    expect_file_matches_memory();
}

INSTANTIATE_TEST_SUITE_P(gaps, resume_rule,
                         ::testing::Values(resume_case{90, true}, resume_case{150, false}, resume_case{119, true},
                                           resume_case{120, false}, resume_case{0, false}));

// ---- starting, stopping, undo and redo ----

TEST_F(timer_test, startingBWhileARunsStopsAAndUndoResumesA)
{
    auto a = add("A");
    auto b = add("B");
    ops->start_timer(a);
    const std::int32_t a_entry = timer->running_entry_id();
    run(300);
    ops->start_timer(b);
    EXPECT_TRUE(timer->is_timed(*b));
    EXPECT_EQ(a->tracked_times.back().duration, 300);  // A's entry ends now
    ASSERT_EQ(b->tracked_times.size(), 1u);
    run(30);

    h->undo_step();
    EXPECT_TRUE(timer->is_timed(*a));
    EXPECT_EQ(timer->running_entry_id(), a_entry);  // ended 30 s ago: continued
    EXPECT_TRUE(b->tracked_times.empty());
    run(1);
    EXPECT_EQ(a->tracked_times.back().duration, 331);

    h->redo_step();
    EXPECT_TRUE(timer->is_timed(*b));
    ASSERT_EQ(b->tracked_times.size(), 1u);
    EXPECT_EQ(a->tracked_times.size(), 1u);
    expect_file_matches_memory();
}

TEST_F(timer_test, undoingAStopCountsThePause)
{
    auto a = add("A");
    ops->start_timer(a);
    const std::int32_t id = timer->running_entry_id();
    run(100);
    ops->stop_timer();
    EXPECT_FALSE(timer->timed_task());
    EXPECT_EQ(a->tracked_times.back().duration, 100);
    jump(50);

    h->undo_step();
    EXPECT_TRUE(timer->is_timed(*a));
    EXPECT_EQ(timer->running_entry_id(), id);
    EXPECT_EQ(a->tracked_times.size(), 1u);
    run(10);
    EXPECT_EQ(a->tracked_times.back().duration, 160);

    // Redo stops at the time of the first stop.
    h->redo_step();
    EXPECT_FALSE(timer->timed_task());
    EXPECT_EQ(a->tracked_times.back().duration, 100);
    expect_file_matches_memory();
}

TEST_F(timer_test, startingAFinishedTaskSetsItUnfinishedAndUndoFinishesItAgain)
{
    auto a = add("A");
    edit("A", [](model::task& t) { t.status = model::status::finished; });
    ops->start_timer(a);
    EXPECT_EQ(a->status, model::status::unfinished);
    run(3);
    h->undo_step();
    EXPECT_FALSE(timer->timed_task());
    EXPECT_EQ(a->status, model::status::finished);
    EXPECT_TRUE(a->tracked_times.empty());
    expect_file_matches_memory();
}

TEST_F(timer_test, finishingTheTimedTaskStopsItsTimerInTheSameUndoStep)
{
    auto a = add("A");
    ops->start_timer(a);
    run(42);
    commands->set_status({a.get()}, model::status::finished);
    EXPECT_FALSE(timer->timed_task());
    EXPECT_EQ(a->tracked_times.back().duration, 42);

    h->undo_step();
    EXPECT_TRUE(timer->is_timed(*a));
    EXPECT_EQ(a->status, model::status::unfinished);
    h->redo_step();
    EXPECT_FALSE(timer->timed_task());
    EXPECT_EQ(a->status, model::status::finished);
    expect_file_matches_memory();
}

TEST_F(timer_test, finishingTheTimedTaskOutsideAGroupIsOneUndoStepToo)
{
    auto a = add("A");
    ops->start_timer(a);
    run(7);
    commands->modify(*a, [](model::task& x) { x.status = model::status::finished; });
    EXPECT_FALSE(timer->timed_task());
    h->undo_step();
    EXPECT_TRUE(timer->is_timed(*a));
    EXPECT_EQ(a->status, model::status::unfinished);
    EXPECT_EQ(descriptions().back(), "start timer on task \"A\"");
    expect_file_matches_memory();
}

TEST_F(timer_test, aRecurrenceMasterIsNeverTimed)
{
    auto m = add("Master", time::RECURRENCE_MASTER_DATE);
    ops->start_timer(m);
    EXPECT_FALSE(timer->timed_task());
    EXPECT_FALSE(h->can_undo());
}

TEST_F(timer_test, stopWithNothingTimedAndATickWithNothingTimedDoNothing)
{
    ops->stop_timer();
    timer->tick();
    EXPECT_FALSE(h->can_undo());
}

TEST_F(timer_test, startAndStopAreAnnouncedWithTheTasksDateAndId)
{
    struct recorder : store::listener {
        std::vector<std::array<std::int64_t, 3>> seen;  // message, date, id
        long on_announcement(const store::announcement& a) override
        {
            if (a.message == model::task_message::timer_started || a.message == model::task_message::timer_stopped) {
                const auto& p = std::any_cast<const tracking::timer_payload&>(a.payload);
                seen.push_back({a.message, p.date, p.task});
            }
            return 0;
        }
    } r;
    store::listeners().add(&r);
    auto a = add("A", D(2026, 3, 12));
    int started_alarms = 0;
    timer->timer_started_alarms = [&](const model::task&) { ++started_alarms; };
    ops->start_timer(a);
    run(2);
    ops->stop_timer();
    store::listeners().remove(&r);
    EXPECT_EQ(started_alarms, 1);
    const std::int64_t date = D(2026, 3, 12);
    EXPECT_EQ(r.seen, (std::vector<std::array<std::int64_t, 3>>{{model::task_message::timer_started, date, a->id},
                                                                {model::task_message::timer_stopped, date, a->id}}));
}

// ---- the tick ----

TEST_F(timer_test, theTickWorksOncePerSecondAndSavesAboutOnceAMinute)
{
    auto a = add("A");
    ops->start_timer(a);
    int refreshes = 0;
    timer->refresh_views = [&](const model::task&) { ++refreshes; };
    run(1);
    timer->tick();  // the same second again: nothing
    timer->tick();
    EXPECT_EQ(refreshes, 1);  // "1s"
    run(60);
    EXPECT_EQ(a->tracked_times.back().duration, 61);
    // The 61st processed tick wrote the entry.
    const std::int32_t id = a->tracked_times.back().id;
    unwire();
    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(query(db, QStringLiteral("SELECT duration FROM [TrackedTimes] WHERE id = %1").arg(id)),
              (std::vector<QStringList>{{"61"}}));
}

TEST_F(timer_test, theFolderAboveTheTimedTaskCountsItsTimeAtEachTick)
{
    // Folders outside a project and inside one sum their children's time left.
    for (std::int32_t project : {0, 7}) {
        auto folder = add(QStringLiteral("Folder %1").arg(project));
        auto child = add(QStringLiteral("Child %1").arg(project));
        const model::task folder_before = *folder;
        folder->folder = model::folder_method::roi;
        folder->appointment = true;
        folder->date = time::FOLDER_DATE;
        folder->project = project;
        store().change(folder_before, *folder);
        const model::task child_before = *child;
        child->parent = folder->id;
        child->project = project;
        child->estimate = 600;
        store().change(child_before, *child);
        store().end_change_batch();
        EXPECT_EQ(store().time_left(*folder), 600);

        ops->start_timer(child);
        run(1);
        EXPECT_EQ(store().time_left(*folder), 599) << project;  // read between ticks, as a repaint does
        run(4);
        EXPECT_EQ(store().time_spent(*child), 5) << project;
        EXPECT_EQ(store().time_left(*folder), 595) << project;
        ops->stop_timer();
    }
}

TEST_F(timer_test, theShownTimeMovesEachSecondUnderAMinuteThenEachMinute)
{
    auto a = add("A");
    ops->start_timer(a);
    std::vector<QString> shown;
    timer->refresh_views = [&](const model::task&) { shown.push_back(timer->shown_time_text()); };
    run(125);
    EXPECT_EQ(shown.size(), 59u + 2u);  // 1s … 59s, then each new minute
    EXPECT_EQ(shown.front(), "1s");
}

// ---- deleting the timed task ----

TEST_F(timer_test, deletingTheTimedTaskStopsItsTimerAndUndoBringsTheEntryBack)
{
    auto a = add("A");
    ops->start_timer(a);
    run(30);
    commands->remove(a);
    EXPECT_FALSE(timer->timed_task());
    h->undo_step();
    ASSERT_EQ(a->tracked_times.size(), 1u);
    EXPECT_EQ(a->tracked_times.back().duration, 30);
    expect_file_matches_memory();
}

// ---- Next and Progression ----

TEST_F(timer_test, nextTimesTheNextTaskFirstAndThenFinishesTheOldOne)
{
    auto a = add("A");
    auto b = add("B");
    ops->start_timer(a);
    run(20);
    ops->next_task(b);
    EXPECT_TRUE(timer->is_timed(*b));
    EXPECT_EQ(a->status, model::status::finished);
    EXPECT_EQ(descriptions().back(),
              "next task, setting task \"A\" as finished and starting a timer on task \"B\"");
    run(5);
    h->undo_step();
    EXPECT_TRUE(timer->is_timed(*a));
    EXPECT_EQ(a->status, model::status::unfinished);
    EXPECT_TRUE(b->tracked_times.empty());
    h->redo_step();
    EXPECT_TRUE(timer->is_timed(*b));
    EXPECT_EQ(a->status, model::status::finished);
    expect_file_matches_memory();
}

TEST_F(timer_test, nextWithoutANextTaskFinishesTheTimedTaskAndTimesNothing)
{
    auto a = add("A");
    ops->start_timer(a);
    run(10);
    EXPECT_EQ(ops->next_task(), nullptr);
    EXPECT_FALSE(timer->timed_task());
    EXPECT_EQ(a->status, model::status::finished);
    EXPECT_EQ(descriptions().back(), "next task, setting task \"A\" as finished and starting a timer on ");
    h->undo_step();
    EXPECT_TRUE(timer->is_timed(*a));
    EXPECT_EQ(a->status, model::status::unfinished);
    expect_file_matches_memory();
}

TEST_F(timer_test, progressionAddsAFollowUpAfterTheTimedTaskAndTimesIt)
{
    auto a = add("A", D(2026, 3, 11), 2);
    add("C", D(2026, 3, 11), 2);
    ops->start_timer(a);
    run(50);
    ASSERT_TRUE(ops->progression("A, part two"));
    model::task_ptr p = named("A, part two");
    ASSERT_TRUE(p);
    EXPECT_TRUE(timer->is_timed(*p));
    EXPECT_EQ(p->priority, 2);
    EXPECT_EQ(p->priority_value, 2);
    EXPECT_EQ(named("C")->priority_value, 3);
    EXPECT_EQ(a->status, model::status::unfinished);
    EXPECT_EQ(a->tracked_times.back().duration, 50);
    EXPECT_EQ(descriptions().back(), "progression on task \"A\" with task \"A, part two\"");
    h->undo_step();
    EXPECT_FALSE(named("A, part two"));
    EXPECT_TRUE(timer->is_timed(*a));
    EXPECT_EQ(named("C")->priority_value, 2);
    expect_file_matches_memory();
}

TEST_F(timer_test, progressionWithNothingTimedDoesNothing)
{
    EXPECT_FALSE(ops->progression("x"));
    EXPECT_FALSE(h->can_undo());
}

// ---- distractions and interruptions ----

TEST_F(timer_test, aDistractionWithoutADurationTakesTheWholeRunningEntry)
{
    auto a = add("A");
    auto d = add("Phone");
    ops->start_timer(a);
    const std::int32_t first = timer->running_entry_id();
    run(20 * 60);
    ops->record_distraction(d, 0);
    ASSERT_EQ(d->tracked_times.size(), 1u);
    EXPECT_EQ(d->tracked_times[0].duration, 20 * 60);
    EXPECT_EQ(d->status, model::status::finished);
    // A's entry was cut to nothing and removed; a new one runs.
    ASSERT_TRUE(timer->is_timed(*a));
    ASSERT_EQ(a->tracked_times.size(), 1u);
    EXPECT_NE(a->tracked_times[0].id, first);
    EXPECT_EQ(a->tracked_times[0].start, now());
    EXPECT_EQ(descriptions().back(), "multiple edit");
    expect_file_matches_memory();
}

TEST_F(timer_test, aShortDistractionIsCutOutAndTheEntryResumes)
{
    auto a = add("A");
    auto d = add("Coffee");
    ops->start_timer(a);
    const std::int32_t id = timer->running_entry_id();
    run(600);
    ops->record_distraction(d, 60);
    ASSERT_TRUE(timer->is_timed(*a));
    EXPECT_EQ(timer->running_entry_id(), id);  // ended 60 s ago: continued
    EXPECT_EQ(d->tracked_times.at(0).start, now() - 60);
    EXPECT_EQ(d->tracked_times.at(0).duration, 60);
    run(1);
    EXPECT_EQ(a->tracked_times.back().duration, 601);  // again up to now

    // One undo step takes it all back, with the timer still on A.
    h->undo_step();
    EXPECT_TRUE(d->tracked_times.empty());
    EXPECT_EQ(d->status, model::status::unfinished);
    EXPECT_TRUE(timer->is_timed(*a));
    EXPECT_EQ(timer->running_entry_id(), id);
    expect_file_matches_memory();
}

TEST_F(timer_test, idleTimeIsBookedToTheNamedTaskWithoutFinishingIt)
{
    auto a = add("A");
    auto m = add("Meeting");
    ops->start_timer(a);
    run(900);
    ops->assign_idle_time(m, now() - 300);
    EXPECT_EQ(m->status, model::status::unfinished);
    EXPECT_EQ(m->tracked_times.at(0).duration, 300);
    ASSERT_TRUE(timer->is_timed(*a));
    ASSERT_EQ(a->tracked_times.size(), 2u);  // cut at the idle start; a new entry runs
    EXPECT_EQ(a->tracked_times[0].duration, 600);
    expect_file_matches_memory();
}

TEST_F(timer_test, anInterruptionTimesTheNamedTask)
{
    auto a = add("A");
    ops->start_timer(a);
    run(10);
    model::task_ptr i;
    h->begin_group();
    i = ops->find_or_add_task("Visitor");
    h->end_group();
    ops->record_interruption(i);
    EXPECT_TRUE(timer->is_timed(*i));
    EXPECT_EQ(a->tracked_times.back().duration, 10);
    expect_file_matches_memory();
}

// ---- moving and attaching ----

TEST_F(timer_test, movingAnEntryRewritesItsRowWithTheNewTask)
{
    auto a = add("A");
    auto b = add("B");
    give(a, now() - 3600, 600);
    give(a, now() - 1800, 300);
    const std::int32_t id = a->tracked_times[0].id;
    ops->move_tracked_time(id, a, b);
    EXPECT_EQ(a->tracked_times.size(), 1u);
    ASSERT_EQ(b->tracked_times.size(), 1u);
    EXPECT_EQ(b->tracked_times[0].task, b->id);
    EXPECT_EQ(descriptions().back(), "moving tracked time from task \"A\" to task \"B\"");
    h->undo_step();
    h->redo_step();
    expect_file_matches_memory();
}

TEST_F(timer_test, movingTheOnlyEntryAwayKeepsItsRow)
{
    auto a = add("A");
    auto b = add("B");
    give(a, now() - 3600, 600);
    ops->move_tracked_time(a->tracked_times[0].id, a, b);
    EXPECT_TRUE(a->tracked_times.empty());
    expect_file_matches_memory();
}

TEST_F(timer_test, aNewTaskTakesAnEntryOverAndUndoGivesItBack)
{
    auto a = add("A");
    give(a, now() - 3600, 600);
    const std::int32_t id = a->tracked_times[0].id;
    auto n = std::make_shared<model::task>();
    n->name = "Errand";
    n->date = time::today();
    ops->add_task_with_tracked_time(n, id, a);
    EXPECT_TRUE(a->tracked_times.empty());
    ASSERT_EQ(n->tracked_times.size(), 1u);
    EXPECT_EQ(descriptions().back(), "adding task \"Errand\" with tracked time");
    h->undo_step();
    EXPECT_FALSE(named("Errand"));
    ASSERT_EQ(a->tracked_times.size(), 1u);
    EXPECT_EQ(a->tracked_times[0].id, id);
    expect_file_matches_memory();
}

TEST_F(timer_test, attachingARangeAddsAnEntry)
{
    auto a = add("A");
    ops->attach_time_range(a, now() - 7200, 1800);
    ASSERT_EQ(a->tracked_times.size(), 1u);
    EXPECT_NE(a->tracked_times[0].id, 0);
    EXPECT_TRUE(descriptions().back().contains("attaching task time"));
    expect_file_matches_memory();
}

// ---- the two deletes of a save ----

struct delete_case {
    const char* name;
    int entries;        // the task's entries before
    int removed;        // how many the change takes away
    bool stray_row_kept;  // a row of the task that memory does not know
};

struct entry_deletes : timer_fixture, ::testing::WithParamInterface<delete_case> {};

TEST_P(entry_deletes, removingEveryEntryDeletesByTaskOtherwiseById)
{
    auto a = add("A");
    for (int i = 0; i < GetParam().entries; ++i)
        give(a, now() - 10000 + i * 1000, 100);
    // A row only the file has: the delete by task takes it, the delete by ids does not.
    const std::int32_t task_id = a->id;
    core.core().writer().post_write([task_id](store::database& db) {
        db.execute(QStringLiteral("INSERT INTO [TrackedTimes] VALUES(999999, %1, 0, 5, 5, 'stray')").arg(task_id));
    });
    const int removed = GetParam().removed;
    commands->modify(*a, [removed](model::task& x) { x.tracked_times.erase(x.tracked_times.begin(), x.tracked_times.begin() + removed); });
    unwire();
    store::database& db = core.drain_and_reopen();
    const auto stray = query(db, "SELECT id FROM [TrackedTimes] WHERE id = 999999");
    EXPECT_EQ(!stray.empty(), GetParam().stray_row_kept);
    EXPECT_EQ(query(db, QStringLiteral("SELECT count(*) FROM [TrackedTimes] WHERE task = %1 AND id <> 999999").arg(task_id)),
              (std::vector<QStringList>{{QString::number(GetParam().entries - removed)}}));
}

INSTANTIATE_TEST_SUITE_P(saves, entry_deletes,
                         ::testing::Values(delete_case{"last", 1, 1, false}, delete_case{"all", 3, 3, false},
                                           delete_case{"some", 3, 2, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- restart ----

TEST_F(timer_test, entriesSurviveARestart)
{
    auto a = add("A");
    ops->start_timer(a);
    run(75);
    ops->stop_timer();
    const auto before = memory_rows();
    unwire();
    core.drain_and_reopen();
    core.restart();
    wire();
    EXPECT_EQ(memory_rows(), before);
    EXPECT_EQ(named("A")->tracked_times.at(0).duration, 75);
}

}  // namespace
