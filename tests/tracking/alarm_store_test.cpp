// When alarms fire, what firing leaves behind, and the undoable operations
// through the real file.

#include "history/task_description.h"
#include "tracking/alarm_fixture.h"

namespace qm::test {
namespace {

using namespace tracking;

const QString program = QStringLiteral("\":\\\"/usr/bin/touch\\\" /tmp/x");

struct alarm_store_test : alarm_fixture {};

TEST_F(alarm_store_test, the_poll_fires_what_fell_due_since_the_last_second)
{
    const std::int64_t t0 = now();
    auto early = stored(alarm_type::at_time, t0 + 10, 0, 0, "*bell.wav");
    auto later = stored(alarm_type::at_time, t0 + 20, 0, 0, "*bell.wav");
    poll_at(t0);  // the first poll: nothing was due up to now
    EXPECT_TRUE(fired.empty());
    poll_at(t0 + 10);
    EXPECT_EQ(fired, std::vector<std::int32_t>({early->id}));
    EXPECT_FALSE(exists(early->id));  // no window: gone once fired
    poll_at(t0 + 10);  // the same second again does nothing
    poll_at(t0 + 25);
    EXPECT_EQ(fired, std::vector<std::int32_t>({early->id, later->id}));
    EXPECT_EQ(actions.calls, QStringList({"play /assets/bell.wav", "play /assets/bell.wav"}));

    // An alarm added with a time already passed is never due.
    auto passed = stored(alarm_type::at_time, t0 + 5);
    poll_at(t0 + 30);
    EXPECT_TRUE(exists(passed->id));
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(alarm_store_test, an_alarm_due_while_the_program_was_closed_fires_at_the_first_poll)
{
    auto a = stored(alarm_type::at_time, now() + 60, 0, 0, program);
    const std::int32_t id = a->id;
    // Closed for an hour: a new store starts its poll from nothing.
    make_alarms();
    poll_at(now() + 3600);
    EXPECT_EQ(actions.calls, QStringList({"run /usr/bin/touch [/tmp/x]"}));
    EXPECT_FALSE(exists(id));
    unwire();
    alarms.reset();
    EXPECT_TRUE(query(core.drain_and_reopen(), "SELECT id FROM Alarms").empty());
}

TEST_F(alarm_store_test, a_window_keeps_the_alarm_until_it_is_closed)
{
    auto a = stored(alarm_type::at_time, now() + 10, 0, alarm_flag::show_window);
    poll_at(now() + 10);
    EXPECT_TRUE(windows.has_window(a->id));
    EXPECT_TRUE(exists(a->id));
    // Fired again while its window is up: nothing happens.
    alarms->fire(a);
    EXPECT_EQ(windows.opened.size(), 1u);
    alarms->window_closed(a->id);
    EXPECT_FALSE(windows.has_window(a->id));
    EXPECT_FALSE(exists(a->id));
}

TEST_F(alarm_store_test, each_trigger_fires_its_own_types)
{
    // Which of the events fires an alarm of each type attached to the task.
    enum event { poll_due, timer_start, finish, other_status, none };
    struct row {
        int type;
        std::int64_t time;
        event fires_on;
    };
    const std::int64_t t0 = now();
    const std::vector<row> rows = {
        {alarm_type::at_time_attached, t0 + 30, poll_due},
        {alarm_type::timer_started, 0, timer_start},
        {alarm_type::timer_started_every, 0, timer_start},
        {alarm_type::finished, 0, finish},
        {alarm_type::status_changes, 0, other_status},
        {alarm_type::template_, 0, none},
        {alarm_type::timer_reaches, 3600, none},
    };
    for (const row& r : rows) {
        for (event e : {poll_due, timer_start, finish, other_status}) {
            model::task_ptr t = add(QStringLiteral("T%1-%2").arg(r.type).arg(e));
            auto a = stored(r.type, r.time, t->id);
            const std::int32_t id = a->id;
            fired.clear();
            if (e == poll_due) {
                poll_at(t0 + 30);
                utc = t0;
                clock.set(utc);
            } else if (e == timer_start) {
                ops->start_timer(t);
                ops->stop_timer();
            } else {
                commands->set_status({t.get()}, e == finish ? model::status::finished : model::status::waiting);
            }
            const bool expected = r.fires_on == e || (r.type == alarm_type::status_changes && e == finish);
            EXPECT_EQ(std::count(fired.begin(), fired.end(), id), expected ? 1 : 0)
                << "type " << r.type << " event " << e;
            // One-shot types leave when they fire without a window; 10 stays.
            if (expected) {
                EXPECT_EQ(exists(id), r.type == alarm_type::timer_started_every) << r.type;
            }
            alarms->remove(id);
        }
    }
}

TEST_F(alarm_store_test, timer_alarms_follow_the_running_entry)
{
    model::task_ptr t = add(QStringLiteral("Write"));
    auto every = stored(alarm_type::timer_reaches_every, 900, t->id);
    auto once = stored(alarm_type::timer_reaches, 600, t->id);
    ops->start_timer(t);
    run(599);
    EXPECT_TRUE(fired.empty());
    run(1);
    EXPECT_EQ(fired, std::vector<std::int32_t>({once->id}));
    EXPECT_FALSE(exists(once->id));
    run(300);
    EXPECT_EQ(fired.back(), every->id);
    run(1200);
    EXPECT_EQ(std::count(fired.begin(), fired.end(), every->id), 1);  // once per run
    ops->stop_timer();
    jump(600);  // a new entry, not the continued one
    ops->start_timer(t);
    run(900);
    EXPECT_EQ(std::count(fired.begin(), fired.end(), every->id), 2);
    EXPECT_TRUE(exists(every->id));
}

TEST_F(alarm_store_test, time_reached_before_the_run_does_not_fire)
{
    model::task_ptr t = add(QStringLiteral("Long"));
    give(t, now() - 3 * 3600, 7200);
    auto reached = stored(alarm_type::time_reaches, 7200, t->id);
    auto later = stored(alarm_type::time_reaches, 7200 + 60, t->id);
    ops->start_timer(t);
    run(120);
    EXPECT_EQ(fired, std::vector<std::int32_t>({later->id}));
    EXPECT_TRUE(exists(reached->id));
}

TEST_F(alarm_store_test, estimate_alarm_fires_when_time_left_runs_out)
{
    model::task_ptr t = add(QStringLiteral("Estimated"));
    edit(QStringLiteral("Estimated"), [](model::task& x) { x.estimate = 300; });
    auto a = stored(alarm_type::estimate_reached, 0, t->id);
    ops->start_timer(t);
    run(299);
    EXPECT_TRUE(fired.empty());
    run(1);
    EXPECT_EQ(fired, std::vector<std::int32_t>({a->id}));
}

TEST_F(alarm_store_test, next_transition_alarms_fire_on_start_stop_and_status)
{
    model::task_ptr t = add(QStringLiteral("A"));
    auto kept = stored(alarm_type::timer_reaches_every, 900, t->id, alarm_flag::next_transition);
    auto once = stored(alarm_type::at_time, now() + 7200, 0, alarm_flag::next_transition);
    tracking::Alarm tmpl;
    tmpl.type = alarm_type::template_;
    tmpl.attached_type = template_key::standalone;
    tmpl.flags = alarm_flag::next_transition;
    auto stored_template = alarms->insert(tmpl);
    ops->start_timer(t);
    EXPECT_EQ(fired, std::vector<std::int32_t>({kept->id, once->id}));
    EXPECT_FALSE(exists(once->id));
    ops->stop_timer();
    commands->set_status({t.get()}, model::status::waiting);
    EXPECT_EQ(std::count(fired.begin(), fired.end(), kept->id), 3);
    EXPECT_EQ(std::count(fired.begin(), fired.end(), stored_template->id), 0);
}

TEST_F(alarm_store_test, snoozing_moves_stored_alarms_and_stores_generated_ones)
{
    model::task_ptr appt = add(QStringLiteral("Meeting"));
    edit(QStringLiteral("Meeting"), [](model::task& x) {
        x.appointment = true;
        x.appointment_start = 14 * 3600;
        x.appointment_duration = 3600;
    });
    auto before = stored(alarm_type::before_appointment, 1800, appt->id, alarm_flag::show_window);
    alarms->fire(before);
    alarms->snooze(before->id, 600);
    EXPECT_FALSE(windows.has_window(before->id));
    EXPECT_EQ(before->type, alarm_type::at_time_attached);
    EXPECT_EQ(before->attached, appt->id);
    EXPECT_EQ(before->time, now() + 600);
    EXPECT_TRUE(before->flags & alarm_flag::snoozed);
    poll_at(now() + 600);
    EXPECT_TRUE(windows.has_window(before->id));

    // A generated deadline alarm becomes a stored one of the same type.
    edit(QStringLiteral("Meeting"), [this](model::task& x) { x.deadline = now() + 60; });
    schedule::stored_block b;
    b.b.task = appt->id;
    b.b.deadline_mark = true;
    b.task = appt;
    alarms->schedule_computed(time::today(), {&b});
    ASSERT_EQ(alarms->deadline_conflicts().size(), 1u);
    const alarm_ptr generated = alarms->deadline_conflicts()[0];
    EXPECT_LT(generated->id, 0);
    EXPECT_TRUE(windows.has_window(generated->id));
    alarms->snooze(generated->id, 300);
    EXPECT_FALSE(windows.has_window(generated->id));
    alarm_ptr copy;
    for (const alarm_ptr& a : alarms->stored())
        if (a->type == alarm_type::deadline_conflict)
            copy = a;
    ASSERT_TRUE(copy);
    EXPECT_GT(copy->id, 0);
    EXPECT_EQ(copy->time, now() + 300);
    // The same schedule again makes no second conflict alarm.
    alarms->schedule_computed(time::today(), {&b});
    EXPECT_EQ(alarms->deadline_conflicts().size(), 1u);
    poll_at(now() + 300);
    EXPECT_TRUE(windows.has_window(copy->id));
    // Changing the deadline withdraws the generated one.
    edit(QStringLiteral("Meeting"), [this](model::task& x) { x.deadline = now() + 7200; });
    EXPECT_TRUE(alarms->deadline_conflicts().empty());
}

TEST_F(alarm_store_test, schedule_conflicts_skip_the_timed_task_and_respect_the_options)
{
    model::task_ptr late = add(QStringLiteral("Late"));
    edit(QStringLiteral("Late"), [](model::task& x) { x.appointment_duration = 11 * 3600; });
    schedule::stored_block b;
    b.b.task = late->id;
    b.b.before_mark = true;
    b.b.end = 12 * 3600;
    b.task = late;
    bool on = false;
    alarms->conflict_alarms_on = [&on] { return on; };
    alarms->schedule_computed(time::today(), {&b});
    EXPECT_TRUE(alarms->schedule_conflicts().empty());
    alarms->schedule_computed(time::tomorrow(), {&b});  // not today: nothing
    on = true;
    alarms->schedule_computed(time::today(), {&b});
    ASSERT_EQ(alarms->schedule_conflicts().size(), 1u);
    EXPECT_EQ(alarms->schedule_conflicts()[0]->time, time::today() + 11 * 3600);
    // No longer in conflict: its window closes but it stays listed.
    const std::int32_t id = alarms->schedule_conflicts()[0]->id;
    alarms->schedule_computed(time::today(), {});
    EXPECT_FALSE(windows.has_window(id));
    EXPECT_EQ(alarms->schedule_conflicts().size(), 1u);
}

std::vector<QStringList> alarm_rows(const std::vector<alarm_ptr>& cache)
{
    std::vector<QStringList> rows;
    for (const alarm_ptr& a : cache)
        rows.push_back({QString::number(a->id), QString::number(a->time), a->text, QString::number(a->attached),
                        QString::number(a->attached_type), QString::number(a->type), a->command,
                        QString::number(a->flags)});
    std::sort(rows.begin(), rows.end(), [](const QStringList& x, const QStringList& y) { return x[0].toInt() < y[0].toInt(); });
    return rows;
}

TEST_F(alarm_store_test, add_modify_delete_undo_and_redo_reach_the_file)
{
    model::task_ptr t = add(QStringLiteral("Report"));
    Alarm a = new_alarm(alarms->stored(), alarm_kind::todo, t->id);
    a.type = alarm_type::finished;
    a.text = QStringLiteral("Send it");
    const std::int32_t id = alarms->add_alarm(a);
    ASSERT_GT(id, 0);
    EXPECT_EQ(h->entries().back()->change_text(),
              QStringLiteral("add alarm \"Send it\" with trigger when finished"));
    ASSERT_EQ(t->alarms.size(), 1u);
    Alarm changed = *alarms->find(id);
    changed.type = alarm_type::status_changes;
    alarms->modify_alarm(changed);
    EXPECT_EQ(t->alarms[0].type, alarm_type::status_changes);
    auto standalone = new_alarm(alarms->stored(), alarm_kind::standalone);
    standalone.time = now() + 3600;
    const std::int32_t other = alarms->add_alarm(standalone);
    alarms->delete_alarm(other);
    EXPECT_FALSE(exists(other));
    h->undo_step();
    EXPECT_TRUE(exists(other));
    h->undo_step();
    EXPECT_FALSE(exists(other));
    h->undo_step();
    EXPECT_EQ(alarms->find(id)->type, alarm_type::finished);
    EXPECT_EQ(t->alarms[0].type, alarm_type::finished);
    h->redo_step();
    h->redo_step();
    EXPECT_EQ(alarms->find(id)->type, alarm_type::status_changes);
    EXPECT_TRUE(exists(other));

    const std::vector<QStringList> memory = alarm_rows(alarms->stored());
    alarms.reset();
    unwire();
    EXPECT_EQ(query(core.drain_and_reopen(), "SELECT * FROM Alarms ORDER BY id"), memory);
}

TEST_F(alarm_store_test, alarms_edited_with_the_task_are_described_and_undone_with_it)
{
    model::task_ptr t = add(QStringLiteral("Report"));
    history::naming names;
    names.alarm_trigger = [](const Alarm& a) { return trigger_description(a, 6, 0); };
    history::task_commands described(*h, store(), names);
    Alarm a = new_alarm(alarms->stored(), alarm_kind::todo, t->id);
    a.type = alarm_type::finished;
    a.flags = 0;  // no window: it goes when it fires
    described.modify(*t, [&](model::task& x) { x.alarms.push_back(a); });
    ASSERT_EQ(t->alarms.size(), 1u);
    const std::int32_t id = t->alarms[0].id;
    EXPECT_GT(id, 0);
    EXPECT_TRUE(exists(id));
    EXPECT_TRUE(h->entries().back()->change_text().contains(QStringLiteral("attaching alarm: when finished")));

    // An unrelated change undone later does not bring back an alarm that went.
    described.modify(*t, [](model::task& x) { x.name = QStringLiteral("Report 2"); });
    commands->set_status({t.get()}, model::status::finished);  // fires and deletes it
    EXPECT_FALSE(exists(id));
    h->undo_step();
    h->undo_step();
    EXPECT_FALSE(exists(id));
    EXPECT_TRUE(t->alarms.empty());

    // Deleting the task takes its alarms; undoing brings them back.
    auto b = stored(alarm_type::status_changes, 0, t->id);
    commands->remove(t);
    EXPECT_FALSE(exists(b->id));
    h->undo_step();
    EXPECT_TRUE(exists(b->id));
}

}  // namespace
}  // namespace qm::test
