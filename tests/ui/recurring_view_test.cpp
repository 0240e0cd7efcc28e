// Recurring tasks in the window: the Day view showing occurrences day by
// day, the Recurring Tasks view with its rows and commands, and the cascade
// question.

#include "support/test_support.h"
#include "time/format.h"
#include "ui/cascade_dialog.h"
#include "ui/commands.h"
#include "ui/day_view.h"
#include "ui/planner.h"
#include "ui/recurrence_editor.h"
#include "ui/recurring_view.h"
#include "ui/task_dialog.h"
#include "ui/task_recurrence_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

time::stored_date D(int y, int m, int d) { return time::make_date(y, m, d); }

struct recurring_window : ::testing::Test {
    fixed_clock clock{D(2026, 3, 11) + 10 * 3600};  // a Wednesday
    temp_folder folder;
    std::unique_ptr<ui::planner> p;

    void start()
    {
        p = std::make_unique<ui::planner>(portable_locator(folder.path()));
        p->start();
        p->frame().show();
        settle();
    }
    void restart()
    {
        p->frame().close();
        p.reset();
        start();
    }
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    ui::recurring_view& view() { return *p->recurring_tasks(); }

    model::task_ptr master(const QString& name, int mask)
    {
        auto t = std::make_shared<model::task>();
        t->name = name;
        t->date = D(2026, 3, 11);
        p->commands().add(t);
        time::recurrence r;
        r.type = time::recurrence_kind::weekly;
        r.param1 = static_cast<std::uint8_t>(mask);
        r.param2 = 1;
        r.starting_date = D(2026, 3, 11);
        EXPECT_TRUE(p->recurring().make_master(*t, *t, r));
        settle();
        return t;
    }
    QStringList day_names()
    {
        QStringList out;
        ui::day_view& d = *p->day();
        for (int r = 0; r < d.row_count(); ++r)
            if (model::task* t = d.task_at(r))
                out << t->name;
        return out;
    }
};

}  // namespace

TEST_F(recurring_window, theDayViewShowsAnOccurrenceOnEachMondayAndKeepsItsChoicesAcrossARestart)
{
    start();
    model::task_ptr m = master("Water the plants", time::weekday_bit::monday);
    const std::int32_t id = m->id;
    ui::day_view& d = *p->day();
    for (time::stored_date monday : {D(2026, 3, 16), D(2026, 3, 23), D(2026, 3, 30)}) {
        d.set_date(monday);
        settle();
        EXPECT_EQ(day_names(), QStringList{"Water the plants"});
    }
    // The Recurrence column (View.TaskList.Columns: Recurrence) describes the pattern.
    p->frame().on_command(41164);
    int row = -1;
    for (int r = 0; r < d.row_count() && row < 0; ++r)
        if (d.task_at(r) != nullptr)
            row = r;
    ASSERT_GE(row, 0);
    EXPECT_EQ(d.cell_text(row, ui::day_column::recurrence), time::describe(*p->core().recurrences().pattern_of(id)));
    EXPECT_FALSE(d.cell_text(row, ui::day_column::recurrence).isEmpty());
    d.set_date(D(2026, 3, 17));
    settle();
    EXPECT_TRUE(day_names().isEmpty());

    // One occurrence renamed alone, another's estimate for all tasks.
    auto occurrence_on = [&](time::stored_date date) {
        for (model::task* t : p->core().recurrences().occurrences_of(id))
            if (t->date == date)
                return t;
        return static_cast<model::task*>(nullptr);
    };
    p->commands().modify(*occurrence_on(D(2026, 3, 16)), [](model::task& t) { t.name = "Water the ferns"; },
                         model::cascade::this_task);
    p->commands().modify(*occurrence_on(D(2026, 3, 23)), [](model::task& t) { t.estimate = 900; },
                         model::cascade::all_tasks);
    settle();
    restart();
    EXPECT_EQ(occurrence_on(D(2026, 3, 16))->name, "Water the ferns");
    EXPECT_EQ(occurrence_on(D(2026, 3, 16))->estimate, 900);
    EXPECT_EQ(occurrence_on(D(2026, 3, 30))->name, "Water the plants");
    EXPECT_EQ(occurrence_on(D(2026, 3, 30))->estimate, 900);
    EXPECT_EQ(p->core().tasks().find(id)->estimate, 900);
}

TEST_F(recurring_window, theViewListsMastersOpensThemAndRestoresDeletedDays)
{
    start();
    model::task_ptr m = master("Water the plants", time::weekday_bit::monday);
    p->day()->set_date(D(2026, 3, 16));
    settle();
    p->frame().show_view(ui::recurring_view::id);
    settle();
    ui::recurring_view& v = view();
    ASSERT_EQ(v.row_count(), 1);
    EXPECT_EQ(v.cell_text(0, ui::recurring_column::recurrence), "Occurs every Monday every week.");
    EXPECT_EQ(v.cell_text(0, ui::recurring_column::next), time::format_short_date(D(2026, 3, 16)));
    EXPECT_EQ(v.cell_text(0, ui::recurring_column::ends), "Never");
    ASSERT_EQ(v.cell_buttons(0, ui::recurring_column::task).size(), 1);
    EXPECT_EQ(v.cell_buttons(0, ui::recurring_column::task)[0].text, "Show recurrences");

    v.cell_button_clicked(0, ui::recurring_column::task, ui::recurring_view::toggle_rows);
    ASSERT_EQ(v.row_count(), 2);
    EXPECT_EQ(v.cell_buttons(0, ui::recurring_column::task)[0].text, "Hide recurrences");

    // Deleting the occurrence (this task only) leaves a deleted row to restore.
    v.list().set_focus_cell(1, ui::recurring_column::task);
    v.handle_command(ui::cmd::delete_);
    settle();
    const int deleted = v.row_of_deleted(m->id, D(2026, 3, 16));
    ASSERT_GE(deleted, 0);
    v.list().set_focus_cell(deleted, ui::recurring_column::task);
    v.handle_command(ui::recurring_view::restore_occurrence);
    settle();
    EXPECT_LT(v.row_of_deleted(m->id, D(2026, 3, 16)), 0);
    EXPECT_EQ(v.row_count(), 2);  // the Monday was shown: its occurrence is back

    // Stop Recurrence ends it yesterday and clears the untouched future.
    v.list().set_focus_cell(0, ui::recurring_column::task);
    v.handle_command(ui::recurring_view::stop_recurrence);
    settle();
    EXPECT_EQ(v.cell_text(0, ui::recurring_column::ends), time::format_short_date(D(2026, 3, 10)));
    EXPECT_EQ(v.cell_text(0, ui::recurring_column::next), "None");
    EXPECT_EQ(v.row_count(), 1);
    p->history().undo_step();
    settle();
    EXPECT_EQ(v.cell_text(0, ui::recurring_column::ends), "Never");
}

TEST(cascade_dialog, asksWithTheTextsAndPreselectionOfEachKind)
{
    ui::cascade_dialog occurrence(history::cascade_action::change, false);
    EXPECT_EQ(occurrence.windowTitle(), "Task belongs to a recurrence");
    auto* first = occurrence.findChild<QRadioButton*>("this_task");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->text(), "Edit this task only");
    EXPECT_TRUE(first->isChecked());
    EXPECT_EQ(occurrence.choice(), model::cascade::this_task);
    occurrence.findChild<QRadioButton*>("future_tasks")->setChecked(true);
    EXPECT_EQ(occurrence.choice(), model::cascade::future_tasks);

    ui::cascade_dialog master(history::cascade_action::removal, true);
    EXPECT_EQ(master.windowTitle(), "Task is a master recurrence");
    EXPECT_TRUE(master.findChild<QRadioButton*>("this_task")->isHidden());
    EXPECT_EQ(master.findChild<QRadioButton*>("all_tasks")->text(), "Remove all tasks");
    EXPECT_EQ(master.choice(), model::cascade::all_tasks);

    // Cancelling answers 0.
    QTimer::singleShot(0, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            static_cast<QDialog*>(w)->reject();
    });
    EXPECT_EQ(ui::ask_cascade(history::cascade_action::change, false), 0u);
}

TEST_F(recurring_window, theRecurrencePageMakesATaskRepeatAndRefusesBadPatterns)
{
    start();
    auto t = std::make_shared<model::task>();
    t->name = "Water the plants";
    t->date = D(2026, 3, 11);
    p->commands().add(t);
    settle();
    {
        ui::task_dialog d(*t, p->core().tasks(), p->core().tables(), nullptr, QString());
        auto* page = dynamic_cast<ui::task_recurrence_page*>(d.page(2));
        ASSERT_TRUE(page);
        d.show_page(2);
        ui::recurrence_editor& e = *page->editor();
        e.kind_button(2)->click();
        e.day_box(4)->setChecked(false);  // Wednesday, the starting day's
        model::task out;
        EXPECT_FALSE(d.gather(out));  // a week with no day
        EXPECT_EQ(d.error_text(), "Choose at least one day of the week for a weekly recurrence.");
        e.day_box(2)->setChecked(true);
        ASSERT_TRUE(d.gather(out));
        d.accept();
        ASSERT_TRUE(d.commit(p->commands()));
    }
    settle();
    EXPECT_EQ(t->date, time::RECURRENCE_MASTER_DATE);
    const time::recurrence* r = p->core().recurrences().pattern_of(t->id);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->starting_date, D(2026, 3, 16));
    p->day()->set_date(D(2026, 3, 16));
    settle();
    ASSERT_EQ(p->core().recurrences().occurrences_of(t->id).size(), 1u);

    // A master's page shows its pattern; choosing None is refused with the way out.
    ui::task_dialog again(*t, p->core().tasks(), p->core().tables(), nullptr, QString());
    auto* page = dynamic_cast<ui::task_recurrence_page*>(again.page(2));
    EXPECT_EQ(page->editor()->summary(), "Occurs every Monday every week.");
    page->editor()->kind_button(0)->click();
    model::task out;
    EXPECT_FALSE(again.gather(out));
    EXPECT_NE(again.error_text().indexOf("Stop Recurrence"), -1) << again.error_text().toStdString();
}
