// The Clapperboard's logic without a window: the quick alarm reader, the
// idle check against a fake desktop, the task entry's pending task through
// the real file, and the menu modes key by key.

#include "store/comment_facade.h"
#include "tracking/action_menu.h"
#include "tracking/timer_fixture.h"

using namespace qm;
using namespace qm::test;
using tracking::menu_mode::main;

namespace {

// ---- quick alarm ----

struct alarm_case {
    const char* line;
    std::int64_t due_offset;  // from now, or (when at_day) from midnight
    bool at_day;
    const char* text;
};

TEST(quick_alarm, readsTimesOfDayAndDurationsFromTheLeadingWords)
{
    const time::stored_time now = D(2026, 3, 11) + 10 * 3600;
    const alarm_case cases[] = {
        {"7", 7 * 3600, true, ""},  // also when seven has passed
        {"14:30 Call Anna", 14 * 3600 + 1800, true, "Call Anna"},
        {"2h", 7200, false, ""},
        {"5h 20m", 5 * 3600 + 1200, false, ""},
        {"50m, Take a break", 3000, false, "Take a break"},
        {"  10m; stretch! ", 600, false, "stretch"},
        {"7 30m", 7 * 3600, true, "30m"},  // a time first: the duration after it is text
        {"30m 7", 1800 + 7 * 60, false, ""},  // durations: a bare 7 is seven minutes
    };
    for (const alarm_case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::optional<tracking::quick_alarm> a =
            tracking::read_quick_alarm(QString::fromUtf8(c.line), now, true);
        ASSERT_TRUE(a.has_value());
        EXPECT_EQ(a->due, (c.at_day ? D(2026, 3, 11) : now) + c.due_offset);
        EXPECT_EQ(a->text, QString::fromUtf8(c.text));
    }
}

TEST(quick_alarm, aLineThatReadsAsNothingGivesNothing)
{
    for (const char* line : {"tomorrowish", "", "Take a break 50m", "0m"}) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(tracking::read_quick_alarm(QString::fromUtf8(line), 1000000, true).has_value());
    }
}

// ---- idle check ----

struct fake_idle_source : tracking::idle_source {
    std::optional<std::int64_t> idle = 0;
    bool fullscreen = false;
    int window_walks = 0;
    std::optional<std::int64_t> idle_seconds() override { return idle; }
    bool fullscreen_window_present(const QStringList&, const QStringList&) override
    {
        ++window_walks;
        return fullscreen;
    }
};

TEST(idle_monitor, offersTheMenuOnlyPastTheThresholdWithoutAFullScreenWindowAndNotAfterD)
{
    fixed_clock clock{D(2026, 3, 11) + 10 * 3600};
    fake_idle_source source;
    tracking::idle_settings settings;
    settings.threshold = 300;
    tracking::idle_monitor monitor(source, [&] { return settings; });
    int offers = 0;
    monitor.open_idle_menu = [&] { ++offers; };

    source.idle = 300;  // exactly the threshold
    monitor.check();
    EXPECT_EQ(offers, 0);
    EXPECT_EQ(source.window_walks, 0);  // the walk only runs past the threshold
    source.idle = 301;
    monitor.check();
    EXPECT_EQ(offers, 1);

    source.fullscreen = true;
    monitor.check();
    EXPECT_EQ(offers, 1);
    source.fullscreen = false;

    monitor.disable_until_timed();
    source.idle = 5 * 3600;
    monitor.check();
    EXPECT_EQ(offers, 1);
    monitor.clear_disabled();
    monitor.check();
    EXPECT_EQ(offers, 2);

    settings.show = false;
    monitor.check();
    source.idle = std::nullopt;  // a desktop that does not say
    settings.show = true;
    monitor.check();
    EXPECT_EQ(offers, 2);

    source.idle = 120;
    EXPECT_EQ(monitor.idle_start_now(), D(2026, 3, 11) + 10 * 3600 - 120);
}

// ---- the menu over a started core ----

struct clapperboard_test : timer_fixture {
    fake_idle_source idle_source;
    std::unique_ptr<tracking::idle_monitor> idle;
    std::unique_ptr<tracking::action_menu> menu;
    int shown_main_window = 0;

    void SetUp() override
    {
        timer_fixture::SetUp();
        idle = std::make_unique<tracking::idle_monitor>(idle_source, [] { return tracking::idle_settings{}; });
        timer->clear_idle_menu_disabled = [this] { idle->clear_disabled(); };
        menu = std::make_unique<tracking::action_menu>(tracking::action_menu_services{
            *h, *commands, store(), *ops, core.core().tables().comments, idle.get(), nullptr,
            [this] { ++shown_main_window; }, true});
    }
    void TearDown() override
    {
        menu.reset();
        if (timer)
            timer->clear_idle_menu_disabled = nullptr;
        timer_fixture::TearDown();
    }
    void type(const QString& text)
    {
        menu->entry().set_text(text);
    }
};

TEST_F(clapperboard_test, eachKeyOfEachMenuModeLeadsToItsMode)
{
    const model::task_ptr a = add("Write report");
    const model::task_ptr b = add("Plan the week", D(2026, 3, 11), 1, 2);
    b->estimate = 1800;  // with time left it is the next task
    struct step {
        int from;
        bool timing;
        char key;
        bool shift;
        int to;  // 0: closed
    };
    const step steps[] = {
        {main, false, 'N', false, tracking::menu_mode::new_item},
        {main, false, 'D', false, tracking::menu_mode::distraction_length},
        {main, false, 'I', false, tracking::menu_mode::interruption},
        {main, false, 'R', false, tracking::menu_mode::report},
        {main, false, 'P', false, main},  // only while timing: ignored
        {main, false, 'Q', false, main},  // no such line
        {main, true, 'P', false, tracking::menu_mode::progression},
        {main, true, 'B', false, tracking::menu_mode::break_down},
        {main, true, 'X', true, tracking::menu_mode::set_status},
        {main, false, 'G', false, 0},
        {tracking::menu_mode::new_item, false, 'T', false, tracking::menu_mode::enter_task},
        {tracking::menu_mode::new_item, false, 'A', false, tracking::menu_mode::alarm},
        {tracking::menu_mode::new_item, false, 'C', false, tracking::menu_mode::comment},
        {tracking::menu_mode::idle, false, 'D', false, 0},
    };
    for (const step& s : steps) {
        SCOPED_TRACE(std::string(1, s.key) + " in mode " + std::to_string(s.from));
        menu->close();
        if (s.timing && !timer->timed_task())
            ops->start_timer(a);
        if (!s.timing && timer->timed_task())
            ops->stop_timer();
        menu->open(s.from);
        menu->press(QChar(s.key), s.shift);
        EXPECT_EQ(menu->mode(), s.to);
        if (s.to != 0 && s.to != s.from) {
            // Escape goes back to where the key was pressed.
            menu->back();
            EXPECT_EQ(menu->mode(), s.from);
        }
    }
    EXPECT_EQ(shown_main_window, 1);
    EXPECT_TRUE(idle->disabled());
    ops->start_timer(a);  // timing ends the idle menu's holiday
    EXPECT_FALSE(idle->disabled());
}

TEST_F(clapperboard_test, escapeAtTheFirstModeClosesAndTheStackUnwindsInOrder)
{
    menu->open(main);
    menu->press('N');
    menu->press('C');
    EXPECT_EQ(menu->stack(), (std::vector<int>{main, tracking::menu_mode::new_item, tracking::menu_mode::comment}));
    menu->back();
    menu->back();
    EXPECT_EQ(menu->mode(), main);
    menu->back();
    EXPECT_FALSE(menu->is_open());
}

TEST_F(clapperboard_test, aDistractionOfANewTaskIsBookedAndUndoneWithTheTaskInOneStep)
{
    const model::task_ptr a = add("Write report");
    ops->start_timer(a);
    run(600);
    const std::size_t steps_before = static_cast<std::size_t>(h->position() + 1);

    menu->open(main);
    menu->press('D');
    menu->submit(QStringLiteral("5m"));
    ASSERT_EQ(menu->mode(), tracking::menu_mode::distraction);
    type(QStringLiteral("Read"));
    type(QStringLiteral("Reading news"));
    ASSERT_TRUE(menu->entry().pending());
    EXPECT_EQ(menu->entry().current_task(), menu->entry().pending());
    menu->submit(QStringLiteral("Reading news"));
    EXPECT_FALSE(menu->is_open());

    const model::task_ptr news = named(QStringLiteral("Reading news"));
    ASSERT_TRUE(news);
    EXPECT_EQ(named(QStringLiteral("Read")), nullptr);  // the name typed on the way is gone
    EXPECT_EQ(news->status, model::status::finished);
    ASSERT_EQ(news->tracked_times.size(), 1u);
    EXPECT_EQ(news->tracked_times[0].duration, 300);
    EXPECT_EQ(static_cast<std::size_t>(h->position() + 1), steps_before + 1);
    expect_file_matches_memory();
}

TEST_F(clapperboard_test, undoingTheDistractionTakesTheNewTaskAwayToo)
{
    const model::task_ptr a = add("Write report");
    ops->start_timer(a);
    run(600);
    menu->open(tracking::menu_mode::distraction_length);
    menu->submit(QStringLiteral("5m"));
    type(QStringLiteral("Coffee"));
    menu->submit(QStringLiteral("Coffee"));
    ASSERT_TRUE(named(QStringLiteral("Coffee")));
    h->undo_step();
    EXPECT_EQ(named(QStringLiteral("Coffee")), nullptr);
    EXPECT_EQ(timer->timed_task(), a);
    h->redo_step();
    EXPECT_TRUE(named(QStringLiteral("Coffee")));
}

TEST_F(clapperboard_test, choosingAnExistingTaskRemovesThePendingOneAndLeavesNoTrace)
{
    const model::task_ptr phone = add("Phone call");
    const int steps_before = h->position();
    menu->open(tracking::menu_mode::interruption);
    type(QStringLiteral("Visitor"));
    ASSERT_TRUE(named(QStringLiteral("Visitor")));
    // Down to the existing task in the list, as the user would after typing.
    type(QStringLiteral("Ph"));
    ASSERT_TRUE(menu->entry().pending());
    EXPECT_EQ(menu->entry().current_task(), phone);  // the name begun is chosen
    menu->submit(QStringLiteral("Phone call"));
    EXPECT_EQ(named(QStringLiteral("Ph")), nullptr);
    EXPECT_EQ(named(QStringLiteral("Visitor")), nullptr);
    EXPECT_EQ(timer->timed_task(), phone);
    EXPECT_EQ(h->position(), steps_before + 1);  // only the interruption
    expect_file_matches_memory();
    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(query(db, "SELECT name FROM [Tasks] ORDER BY id"), (std::vector<QStringList>{{"Phone call"}}));
}

TEST_F(clapperboard_test, closingTheWindowTakesThePendingTaskAway)
{
    menu->open(tracking::menu_mode::interruption);
    type(QStringLiteral("Half typed"));
    ASSERT_TRUE(named(QStringLiteral("Half typed")));
    menu->close();
    EXPECT_EQ(named(QStringLiteral("Half typed")), nullptr);
}

TEST_F(clapperboard_test, theDistractionLengthRefusesWhatIsNoLength)
{
    menu->open(tracking::menu_mode::distraction_length);
    menu->submit(QStringLiteral("soonish"));
    EXPECT_EQ(menu->mode(), tracking::menu_mode::distraction_length);
    EXPECT_TRUE(menu->message().contains(QStringLiteral("soonish")));
    menu->submit(QString());  // nothing timed: the whole entry means nothing
    EXPECT_EQ(menu->mode(), tracking::menu_mode::distraction_length);
    EXPECT_FALSE(menu->message().isEmpty());
}

TEST_F(clapperboard_test, aQuickAlarmThatReadsAsNothingStaysAndSaysSo)
{
    menu->open(tracking::menu_mode::alarm);
    menu->submit(QStringLiteral("tomorrowish"));
    EXPECT_TRUE(menu->is_open());
    EXPECT_TRUE(menu->message().contains(QStringLiteral("tomorrowish")));
}

struct recording_alarms : tracking::alarm_port {
    std::vector<std::pair<time::stored_time, QString>> added;
    void add_quick_alarm(time::stored_time due, const QString& text) override { added.push_back({due, text}); }
    void open_new_alarm_dialog(const model::task*) override {}
    std::optional<alarm_summary> next_alarm(time::stored_time) const override { return std::nullopt; }
};

TEST_F(clapperboard_test, aQuickAlarmGoesThroughTheAlarmPortAndCloses)
{
    recording_alarms alarms;
    menu->set_alarms(&alarms);
    menu->open(tracking::menu_mode::alarm);
    menu->submit(QStringLiteral("50m, Take a break"));
    EXPECT_FALSE(menu->is_open());
    ASSERT_EQ(alarms.added.size(), 1u);
    EXPECT_EQ(alarms.added[0].first, now() + 3000);
    EXPECT_EQ(alarms.added[0].second, QStringLiteral("Take a break"));
}

TEST_F(clapperboard_test, idleTimeIsBookedToTheTaskNamedAndCutFromTheTimedOne)
{
    const model::task_ptr a = add("Write report");
    ops->start_timer(a);
    run(1200);
    idle_source.idle = 900;
    menu->open(tracking::menu_mode::idle);
    EXPECT_EQ(menu->idle_start(), now() - 900);
    EXPECT_TRUE(menu->header().front().startsWith(QStringLiteral("System has been idle for 15m")));
    menu->submit(QString());  // Enter
    ASSERT_EQ(menu->mode(), tracking::menu_mode::idle_interruption);
    idle_source.idle = 0;  // the user is back
    menu->back();
    EXPECT_EQ(menu->idle_start(), now() - 900);  // going back keeps the period
    menu->submit(QString());
    type(QStringLiteral("Lunch"));
    menu->submit(QStringLiteral("Lunch"));
    const model::task_ptr lunch = named(QStringLiteral("Lunch"));
    ASSERT_TRUE(lunch);
    ASSERT_EQ(lunch->tracked_times.size(), 1u);
    EXPECT_EQ(lunch->tracked_times[0].duration, 900);
    EXPECT_EQ(store().time_spent(*a), 300);
    expect_file_matches_memory();
}

TEST_F(clapperboard_test, breakDownAddsNamedPartsAfterTheTaskAndDropsTheUnnamedOneAtDone)
{
    const model::task_ptr a = add("Move house", D(2026, 3, 12), 2, 1);
    menu->open(tracking::menu_mode::break_down, a);
    ASSERT_EQ(menu->break_down_tasks().size(), 2u);
    menu->submit(QStringLiteral("Pack books"));
    menu->submit(QStringLiteral("Book van"));
    menu->back();  // Esc: Done
    EXPECT_FALSE(menu->is_open());
    const model::task_ptr pack = named(QStringLiteral("Pack books"));
    const model::task_ptr van = named(QStringLiteral("Book van"));
    ASSERT_TRUE(pack && van);
    EXPECT_EQ(pack->date, a->date);
    EXPECT_EQ(pack->priority, a->priority);
    EXPECT_LT(a->priority_value, pack->priority_value);
    EXPECT_LT(pack->priority_value, van->priority_value);
    EXPECT_EQ(store().tasks_of_date(D(2026, 3, 12)).size(), 3u);  // no unnamed part left
    expect_file_matches_memory();
}

TEST_F(clapperboard_test, breakDownWithoutATaskCloses)
{
    menu->open(tracking::menu_mode::break_down);
    EXPECT_FALSE(menu->is_open());
}

TEST_F(clapperboard_test, aCommentGoesToTheTimedTaskOrStandsAloneAndUndoes)
{
    menu->open(tracking::menu_mode::comment);
    menu->submit(QStringLiteral("Free thought"));
    EXPECT_FALSE(menu->is_open());
    ASSERT_EQ(core.core().tables().comments.cache().size(), 1u);
    h->undo_step();
    EXPECT_EQ(core.core().tables().comments.cache().size(), 0u);
    h->redo_step();

    const model::task_ptr a = add("Write report");
    ops->start_timer(a);
    menu->open(tracking::menu_mode::comment);
    menu->submit(QStringLiteral("Halfway there"));
    ASSERT_EQ(a->comments.size(), 1u);
    EXPECT_EQ(a->comments[0].type, 2);
    unwire();
    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(query(db, "SELECT type, comment FROM [Comments] ORDER BY id"),
              (std::vector<QStringList>{{"0", "Free thought"}, {"2", "Halfway there"}}));
}

TEST_F(clapperboard_test, setCurrentTaskAsFinishedStartsTheNextTask)
{
    const model::task_ptr a = add("First", D(2026, 3, 11), 1, 1);
    const model::task_ptr b = add("Second", D(2026, 3, 11), 1, 2);
    b->estimate = 3600;
    a->estimate = 3600;
    ops->start_timer(a);
    menu->open(main);
    menu->press('X', true);
    ASSERT_EQ(menu->mode(), tracking::menu_mode::set_status);
    menu->press('F');
    EXPECT_EQ(a->status, model::status::finished);
    EXPECT_EQ(timer->timed_task(), b);
    h->undo_step();
    EXPECT_EQ(a->status, model::status::unfinished);
    EXPECT_EQ(timer->timed_task(), a);
}

}  // namespace
