// The Day view's schedule pane in the running planner: a task added to today
// gets its block in the pane, a late one its mark in the row too, and the
// pane's visibility outlives a restart.

#include "support/test_support.h"
#include "time/calendar.h"
#include "ui/day_view.h"
#include "ui/planner.h"
#include "ui/schedule_pane.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

struct schedule_pane_ui : ::testing::Test {
    const time::stored_date today = time::make_date(2026, 3, 11);
    fixed_clock clock{today + 9 * 3600};
    temp_folder folder;
    std::unique_ptr<ui::planner> p;

    void start()
    {
        p = std::make_unique<ui::planner>(portable_locator(folder.path()));
        p->start();
        p->frame().show();
    }
    ui::schedule_pane& pane() { return *p->day()->pane(); }
    model::task_ptr add(const QString& name, bool appointment, int start, int length, std::int64_t estimate,
                        bool splittable = false)
    {
        auto t = std::make_shared<model::task>();
        t->name = name;
        t->date = today;
        t->appointment = appointment;
        t->appointment_start = start;
        t->appointment_duration = length;
        t->estimate = static_cast<std::int32_t>(estimate);
        t->splittable = splittable;
        t->priority = 1;
        p->commands().add(t);
        return t;
    }
    std::vector<std::pair<int, int>> blocks_of(std::int32_t id)
    {
        std::vector<std::pair<int, int>> out;
        for (const auto& b : pane().shown())
            if (b.b.task == id)
                out.emplace_back(b.b.start, b.b.end);
        return out;
    }
};

TEST_F(schedule_pane_ui, added_tasks_are_placed_and_a_late_one_is_marked_in_its_row)
{
    start();
    ASSERT_NE(p->day()->pane(), nullptr);
    EXPECT_TRUE(pane().isVisibleTo(p->day()));
    add(QStringLiteral("Dentist"), true, 10 * 3600, 3600, 0);
    model::task_ptr report = add(QStringLiteral("Write report"), false, -1, -1, 2 * 3600, true);
    using blocks = std::vector<std::pair<int, int>>;
    ASSERT_TRUE(QTest::qWaitFor([&] { return blocks_of(report->id) == blocks{{32400, 36000}, {39600, 43200}}; }))
        << blocks_of(report->id).size();

    model::task_ptr bank = add(QStringLiteral("Call the bank"), false, -1, 9 * 3600 + 1800, 3600);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        for (const auto& b : pane().shown())
            if (b.b.task == bank->id)
                return b.b.before_mark;
        return false;
    }));
    ui::day_view& day = *p->day();
    const int row = day.row_of(bank->id);
    ASSERT_GE(row, 0);
    EXPECT_TRUE(day.cell_text(row, ui::day_column::scheduling).startsWith(QStringLiteral("\u26A0 Late")))
        << day.cell_text(row, ui::day_column::scheduling).toStdString();
    EXPECT_TRUE(day.style_of(row).background.isValid());
    EXPECT_FALSE(day.cell_text(day.row_of(report->id), ui::day_column::scheduling).contains(QStringLiteral("Late")));
    for (const auto& b : pane().shown()) {
        if (b.b.task == bank->id) {
            EXPECT_TRUE(pane().reason_text(b).contains(QStringLiteral("after its schedule-before time")));
        }
    }
}

TEST_F(schedule_pane_ui, a_past_date_shows_no_schedule_and_the_hidden_pane_stays_hidden)
{
    start();
    add(QStringLiteral("Old work"), false, -1, -1, 3600);
    schedule::schedule_store& s = p->core().schedule();
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.computed(today) && s.worker().queued() == 0; }));
    p->day()->set_date(today - 86400);
    EXPECT_TRUE(pane().shown().empty());
    EXPECT_EQ(s.worker().queued(), 0u);
    EXPECT_FALSE(s.computed(today - 86400));
    p->day()->handle_command(41138);
    EXPECT_FALSE(pane().isVisibleTo(p->day()));
    p->frame().close();
    p.reset();
    start();
    EXPECT_FALSE(pane().isVisibleTo(p->day()));
}

}  // namespace

TEST_F(schedule_pane_ui, a_new_schedule_repaints_the_list_only_when_it_changes_the_rows_marks)
{
    start();
    model::task_ptr report = add(QStringLiteral("Write report"), false, -1, -1, 3600);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !blocks_of(report->id).empty(); }));
    QTest::qWait(300);  // every schedule of the add has come, every paint done

    struct paint_count : QObject {
        int n = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            n += e->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } paints;
    QWidget* viewport = p->day()->list().viewport();
    viewport->installEventFilter(&paints);

    // A minute later the block starts a minute later, and no row's mark
    // changes: the pane is drawn again, the list is not.
    clock.set(today + 9 * 3600 + 60);
    p->core().schedule().minute_tick();
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return blocks_of(report->id) == std::vector<std::pair<int, int>>{{9 * 3600 + 60, 10 * 3600 + 60}};
    }));
    QTest::qWait(200);
    EXPECT_EQ(paints.n, 0);

    // A task that can no longer end in time is marked in its row, and the list is drawn again.
    model::task_ptr bank = add(QStringLiteral("Call the bank"), false, -1, 9 * 3600 + 1800, 3600);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        for (const auto& b : pane().shown())
            if (b.b.task == bank->id)
                return b.b.before_mark;
        return false;
    }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return paints.n > 0; }));
    const int row = p->day()->row_of(bank->id);
    EXPECT_TRUE(p->day()->cell_text(row, ui::day_column::scheduling).startsWith(QStringLiteral("\u26A0 Late")));
    viewport->removeEventFilter(&paints);
}

TEST_F(schedule_pane_ui, the_first_block_of_a_task_follows_new_schedules_deletions_and_moves)
{
    start();
    schedule::schedule_store& s = p->core().schedule();
    add(QStringLiteral("Dentist"), true, 10 * 3600, 3600, 0);
    model::task_ptr report = add(QStringLiteral("Write report"), false, -1, -1, 2 * 3600, true);
    model::task_ptr mail = add(QStringLiteral("Answer mail"), false, -1, -1, 1800);
    ASSERT_TRUE(QTest::qWaitFor([&] { return blocks_of(report->id).size() == 2 && !blocks_of(mail->id).empty(); }));
    // The report is split around the appointment: its first block starts the day.
    ASSERT_NE(s.first_block_today(report->id), nullptr);
    EXPECT_EQ(s.first_block_today(report->id)->b.start, blocks_of(report->id).front().first);

    // A longer estimate moves the mail's block; the lookup follows the new schedule.
    const int mail_start = s.first_block_today(mail->id)->b.start;
    p->commands().modify(*report, [](model::task& x) { x.estimate = 3 * 3600; });
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const auto* b = s.first_block_today(mail->id);
        return b != nullptr && b->b.start != mail_start;
    }));
    EXPECT_EQ(s.first_block_today(mail->id)->b.start, blocks_of(mail->id).front().first);

    // Moved to tomorrow, the report has no block today; deleted, the mail has none at all.
    p->commands().set_date({report.get()}, today + 86400);
    EXPECT_EQ(s.first_block_today(report->id), nullptr);
    p->commands().remove(mail);
    EXPECT_EQ(s.first_block_today(mail->id), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return blocks_of(report->id).empty(); }));
    EXPECT_EQ(s.first_block_today(mail->id), nullptr);
}
