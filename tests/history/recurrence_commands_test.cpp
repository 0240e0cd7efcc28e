#include "model/recurrence_fixture.h"

using namespace qm;
using namespace qm::test;
using model::task;
using model::task_ptr;
namespace cascade = model::cascade;

namespace {
const time::stored_date monday = D(2026, 3, 16);
const time::stored_date tuesday = D(2026, 3, 17);
const time::stored_date next_monday = D(2026, 3, 23);
}  // namespace

TEST_F(recurrence_fixture, aMasterGeneratesOnTheFirstLookAndNeverTwiceAlsoAcrossARestart)
{
    task_ptr m = make_master("Water the plants", weekly(time::weekday_bit::monday));
    EXPECT_EQ(m->date, time::RECURRENCE_MASTER_DATE);
    const std::int32_t id = m->id;
    EXPECT_TRUE(occurrences(id).empty());  // no day looked at yet

    store().look_at(monday);
    store().look_at(monday);
    store().look_at(tuesday);
    ASSERT_EQ(occurrences(id).size(), 1u);
    task* o = occurrence_on(id, monday);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->name, "Water the plants");
    EXPECT_EQ(o->recurrence, id);
    EXPECT_EQ(o->priority_value, 1);  // the end of its day group

    restart();
    store().look_at(monday);
    store().look_at(next_monday);
    EXPECT_EQ(occurrences(id).size(), 2u);
    const auto rows = file_occurrences(id);
    EXPECT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows.count(monday), 1u);
    EXPECT_EQ(rows.count(next_monday), 1u);
}

TEST_F(recurrence_fixture, makingATaskRepeatIsOneStepThatUndoes)
{
    store().look_at(D(2026, 3, 11));  // today is shown
    task_ptr m = make_master("Daily", daily(1, D(2026, 3, 11)));
    // Today was already looked at: its occurrence comes with the command.
    ASSERT_TRUE(occurrence_on(m->id, D(2026, 3, 11)));
    h->undo_step();
    EXPECT_EQ(m->date, D(2026, 3, 11));
    EXPECT_EQ(recurrences().pattern_of(m->id), nullptr);
    EXPECT_TRUE(occurrences(m->id).empty());
    h->redo_step();
    EXPECT_EQ(m->date, time::RECURRENCE_MASTER_DATE);
    ASSERT_TRUE(recurrences().pattern_of(m->id));
    EXPECT_EQ(occurrences(m->id).size(), 1u);

    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(query(db, QStringLiteral("SELECT attached, attached_type, type, param1 FROM Recurrences")),
              (std::vector<QStringList>{{QString::number(m->id), "0", "0", "1"}}));
    EXPECT_EQ(query(db, QStringLiteral("SELECT COUNT(*) FROM Tasks WHERE recurrence = %1").arg(m->id))[0][0], "1");
}

TEST_F(recurrence_fixture, theStartMovesToTheFirstOccurrence)
{
    task_ptr m = make_master("Fridays", weekly(time::weekday_bit::friday, 1, D(2026, 3, 9)));
    EXPECT_EQ(recurrences().pattern_of(m->id)->starting_date, D(2026, 3, 13));
}

TEST_F(recurrence_fixture, theMasterDeadlineOffsetGoesToEachOccurrence)
{
    // Three days after, any time: the deadline page's reading of 3 days.
    task_ptr m = make_master("Report", daily(1, D(2026, 3, 9)),
                             [](task& t) { t.deadline = D(2026, 3, 14); });
    EXPECT_EQ(m->deadline, time::RECURRENCE_MASTER_DATE + 3 * 86400);
    store().look_at(D(2026, 3, 10));
    ASSERT_TRUE(occurrence_on(m->id, D(2026, 3, 10)));
    EXPECT_EQ(occurrence_on(m->id, D(2026, 3, 10))->deadline, D(2026, 3, 13));

    // A deadline before the task's own day gives the master none.
    task_ptr late = make_master("Late", daily(1, D(2026, 3, 9)), [](task& t) { t.deadline = D(2026, 3, 1); });
    EXPECT_EQ(late->deadline, 0);
}

TEST_F(recurrence_fixture, aFinishedOccurrenceStillHoldsItsDay)
{
    task_ptr m = make_master("Mondays", weekly(time::weekday_bit::monday));
    store().look_at(monday);
    task* o = occurrence_on(m->id, monday);
    ASSERT_TRUE(o);
    commands->set_status({o}, model::status::finished);
    restart();
    store().look_at(monday);
    EXPECT_EQ(occurrences(m->id).size(), 1u);
}

TEST_F(recurrence_fixture, aMovedOccurrenceIsNotMadeAgainOnItsOldDay)
{
    task_ptr m = make_master("Twice", weekly(time::weekday_bit::monday | time::weekday_bit::tuesday));
    const std::int32_t id = m->id;
    store().look_at(monday);
    task* o = occurrence_on(id, monday);
    ASSERT_TRUE(o);
    commands->set_date({o}, tuesday);  // a date change asks nothing
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(recurrences().is_deleted(id, monday));
    store().look_at(tuesday);  // the pattern occurs on Tuesday too
    EXPECT_EQ(occurrences(id).size(), 1u);

    restart();
    store().look_at(monday);
    store().look_at(tuesday);
    ASSERT_EQ(occurrences(id).size(), 1u);
    EXPECT_TRUE(occurrence_on(id, tuesday));
}

TEST_F(recurrence_fixture, removingThisTaskOnlyRemembersTheDayUntilRestored)
{
    task_ptr m = make_master("Mondays", weekly(time::weekday_bit::monday));
    const std::int32_t id = m->id;
    store().look_at(monday);
    task_ptr o = store().find(occurrence_on(id, monday)->id);
    commands->remove(o);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].first, history::cascade_action::removal);
    EXPECT_FALSE(asked[0].second);
    EXPECT_TRUE(occurrences(id).empty());
    EXPECT_TRUE(recurrences().is_deleted(id, monday));

    h->undo_step();
    EXPECT_TRUE(occurrence_on(id, monday));
    EXPECT_FALSE(recurrences().is_deleted(id, monday));
    h->redo_step();
    EXPECT_TRUE(occurrences(id).empty());

    restart();
    store().look_at(monday);
    EXPECT_TRUE(occurrences(id).empty());
    EXPECT_EQ(recurrences().deleted_dates(id), std::vector<time::stored_date>{monday});
    EXPECT_TRUE(recurring->restore_occurrence(id, monday));  // the day is shown: it comes back at once
    EXPECT_TRUE(occurrence_on(id, monday));
    h->undo_step();
    EXPECT_TRUE(occurrences(id).empty());
    h->redo_step();

    store::database& db = core.drain_and_reopen();
    EXPECT_TRUE(query(db, "SELECT * FROM TaskRecurrenceDeletedItems").empty());
    EXPECT_EQ(query(db, QStringLiteral("SELECT COUNT(*) FROM Tasks WHERE recurrence = %1").arg(id))[0][0], "1");
}

// ---- cascades ----

struct cascade_case {
    const char* name;
    unsigned answer;
    // Which of the occurrences on 03-09, 03-10 (past), 03-11 (today, edited),
    // 03-12 and 03-13 carry the new name afterwards.
    std::vector<int> renamed;
    bool master_renamed;
};

void PrintTo(const cascade_case& c, std::ostream* os) { *os << c.name; }

struct cascading : recurrence_fixture, ::testing::WithParamInterface<cascade_case> {
    std::int32_t id = 0;
    std::map<time::stored_date, std::int32_t> ids;
    void SetUp() override
    {
        id = make_master("Walk", daily())->id;
        for (int day = 9; day <= 13; ++day) {
            store().look_at(D(2026, 3, day));
            ids[D(2026, 3, day)] = occurrence_on(id, D(2026, 3, day))->id;
        }
    }
    std::vector<int> renamed_days()
    {
        std::vector<int> out;
        for (const auto& [date, task_id] : ids)
            if (task_ptr t = store().find(task_id); t && t->name == "Run")
                out.push_back(time::fields(date).day);
        return out;
    }
};

TEST_P(cascading, aChangeReachesTheTasksTheAnswerNamesAndUndoesAsOne)
{
    next_answer = GetParam().answer;
    task_ptr edited = store().find(ids[D(2026, 3, 11)]);
    const std::size_t entries = h->entries().size();
    commands->modify(*edited, [](task& t) { t.name = "Run"; });
    EXPECT_EQ(h->entries().size(), entries + 1);
    EXPECT_EQ(renamed_days(), GetParam().renamed);
    EXPECT_EQ(store().find(id)->name == "Run", GetParam().master_renamed);

    h->undo_step();
    EXPECT_TRUE(renamed_days().empty());
    EXPECT_EQ(store().find(id)->name, "Walk");
    h->redo_step();
    EXPECT_EQ(renamed_days(), GetParam().renamed);

    // The file holds what memory holds, and a new day follows the master.
    restart();
    EXPECT_EQ(renamed_days(), GetParam().renamed);
    store().look_at(D(2026, 3, 20));
    EXPECT_EQ(occurrence_on(id, D(2026, 3, 20))->name, GetParam().master_renamed ? "Run" : "Walk");
}

INSTANTIATE_TEST_SUITE_P(recurrence, cascading,
                         ::testing::Values(cascade_case{"thisTaskOnly", cascade::this_task, {11}, false},
                                           cascade_case{"onlyFutureTasks", cascade::future_tasks, {11, 12, 13}, true},
                                           cascade_case{"allTasks", cascade::all_tasks, {9, 10, 11, 12, 13}, true}));

TEST_F(recurrence_fixture, cancellingTheQuestionChangesNothing)
{
    task_ptr m = make_master("Walk", daily());
    store().look_at(monday);
    task* o = occurrence_on(m->id, monday);
    next_answer = 0;
    recurring->set_asker([](history::cascade_action, bool) { return 0u; });
    const std::size_t entries = h->entries().size();
    EXPECT_FALSE(commands->modify(*o, [](task& t) { t.name = "Run"; }));
    EXPECT_EQ(o->name, "Walk");
    EXPECT_EQ(h->entries().size(), entries);
}

TEST_F(recurrence_fixture, theMergeKeepsAFieldChangedOnOneOccurrence)
{
    task_ptr m = make_master("Walk", daily(), [](task& t) { t.estimate = 1800; });
    const std::int32_t id = m->id;
    for (time::stored_date d : {monday, tuesday})
        store().look_at(d);
    task* mine = occurrence_on(id, monday);
    commands->modify(*mine, [](task& t) { t.name = "Walk the dog"; });  // this task only
    // Now the estimate of all tasks, from the other occurrence.
    next_answer = cascade::all_tasks;
    commands->modify(*occurrence_on(id, tuesday), [](task& t) { t.estimate = 3600; });
    EXPECT_EQ(occurrence_on(id, monday)->name, "Walk the dog");
    EXPECT_EQ(occurrence_on(id, monday)->estimate, 3600);
    EXPECT_EQ(store().find(id)->estimate, 3600);
    EXPECT_EQ(store().find(id)->name, "Walk");

    restart();
    EXPECT_EQ(occurrence_on(id, monday)->name, "Walk the dog");
    EXPECT_EQ(occurrence_on(id, monday)->estimate, 3600);
    EXPECT_EQ(occurrence_on(id, tuesday)->estimate, 3600);
}

TEST_F(recurrence_fixture, aMasterIsAskedAboutWithAllTasksPreselected)
{
    task_ptr m = make_master("Walk", daily());
    store().look_at(monday);
    commands->modify(*m, [](task& t) { t.units = 5; });
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(asked[0].second);
    EXPECT_EQ(occurrence_on(m->id, monday)->units, 5);
}

TEST_F(recurrence_fixture, thePatternChangeDeletesOnlyUntouchedOccurrencesItNoLongerMakes)
{
    task_ptr m = make_master("Walk", daily());
    const std::int32_t id = m->id;
    for (int day = 12; day <= 16; ++day)
        store().look_at(D(2026, 3, day));
    commands->set_status({occurrence_on(id, D(2026, 3, 14))}, model::status::finished);
    // Mondays only: Thursday, Friday and Sunday go; finished Saturday stays.
    EXPECT_TRUE(recurring->modify_with_pattern(*m, *m, weekly(time::weekday_bit::monday, 1, D(2026, 3, 9))));
    auto left = occurrences(id);
    EXPECT_EQ(left.size(), 2u);
    EXPECT_TRUE(left.count(D(2026, 3, 14)));
    EXPECT_TRUE(left.count(monday));
    h->undo_step();
    EXPECT_EQ(occurrences(id).size(), 6u);  // today's came with the master
    EXPECT_EQ(recurrences().pattern_of(id)->type, time::recurrence_kind::daily);
}

TEST_F(recurrence_fixture, removingAMasterWithEachAnswer)
{
    for (unsigned answer : {cascade::future_tasks, cascade::all_tasks}) {
        task_ptr m = make_master(answer == cascade::all_tasks ? "All" : "Future", daily());
        const std::int32_t id = m->id;
        for (int day = 9; day <= 12; ++day)
            store().look_at(D(2026, 3, day));
        // Everything but the 10th, which a this-task-only removal records.
        commands->remove(store().find(occurrence_on(id, D(2026, 3, 10))->id));
        next_answer = answer;
        commands->remove(m);
        next_answer = 0;
        EXPECT_FALSE(store().find(id));
        EXPECT_EQ(recurrences().pattern_of(id), nullptr);
        EXPECT_TRUE(recurrences().deleted_dates(id).empty());
        // Only future tasks leaves the past one behind, as an ordinary task.
        EXPECT_EQ(recurrences().occurrences_of(id).size(), answer == cascade::all_tasks ? 0u : 1u);
        h->undo_step();
        EXPECT_TRUE(store().find(id));
        EXPECT_EQ(occurrences(id).size(), 3u);
        EXPECT_EQ(recurrences().deleted_dates(id), std::vector<time::stored_date>{D(2026, 3, 10)});
        h->redo_step();
        EXPECT_FALSE(store().find(id));
    }
    store::database& db = core.drain_and_reopen();
    EXPECT_TRUE(query(db, "SELECT * FROM Recurrences").empty());
    EXPECT_TRUE(query(db, "SELECT * FROM TaskRecurrenceDeletedItems").empty());
    EXPECT_EQ(query(db, "SELECT date FROM Tasks WHERE recurrence <> 0"),
              (std::vector<QStringList>{{QString::number(D(2026, 3, 9))}}));
}

TEST_F(recurrence_fixture, theFirstAnswerServesEveryRowOfOneCommand)
{
    task_ptr m = make_master("Walk", daily());
    std::vector<task*> rows;
    for (time::stored_date d : {monday, tuesday}) {
        store().look_at(d);
        rows.push_back(occurrence_on(m->id, d));
    }
    next_answer = cascade::this_task;
    commands->set_day_priority(rows, model::day_priority::a);
    EXPECT_EQ(asked.size(), 1u);
    commands->set_day_priority(rows, model::day_priority::c);  // a new command asks again
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(store().find(m->id)->priority, model::day_priority::b);
}

TEST_F(recurrence_fixture, stopRecurrenceEndsYesterdayAndClearsTheUntouchedFuture)
{
    task_ptr m = make_master("Walk", daily());
    const std::int32_t id = m->id;
    for (int day = 10; day <= 13; ++day)
        store().look_at(D(2026, 3, day));
    EXPECT_EQ(recurring->stop_recurrence({m.get()}), 1);
    EXPECT_EQ(recurrences().pattern_of(id)->ending_date, D(2026, 3, 10));
    auto left = occurrences(id);
    EXPECT_EQ(left.size(), 1u);  // the 10th lies before today: not a future task
    EXPECT_TRUE(left.count(D(2026, 3, 10)));
    EXPECT_FALSE(time::is_active(*recurrences().pattern_of(id)));

    // A pattern that ended last month changes nothing.
    task_ptr old = make_master("Old", daily(1, D(2026, 1, 1), D(2026, 2, 1)));
    const std::size_t entries = h->entries().size();
    EXPECT_EQ(recurring->stop_recurrence({old.get()}), 0);
    EXPECT_EQ(h->entries().size(), entries);
    EXPECT_EQ(recurrences().pattern_of(old->id)->ending_date, D(2026, 2, 1));
}

TEST_F(recurrence_fixture, aDamagedFileLoadsWithoutOrphans)
{
    task_ptr m = make_master("Walk", daily());
    task_ptr plain = add("Plain");
    store::database& db = core.drain_and_reopen();
    // The master is gone, and a pattern names an ordinary task.
    db.execute(QStringLiteral("DELETE FROM Tasks WHERE id = %1").arg(m->id));
    db.execute(QStringLiteral("INSERT INTO Recurrences VALUES (900, %1, 0, %2, 0, 0, 1, 0, 0)")
                   .arg(plain->id)
                   .arg(D(2026, 3, 1)));
    db.close();
    restart();
    store().look_at(monday);
    EXPECT_TRUE(store().tasks_of_date(monday).empty());
    EXPECT_TRUE(recurrences().masters().empty());
}
