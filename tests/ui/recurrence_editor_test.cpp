// The recurrence controls: what each choice writes, the live sentence, the
// range rules, the refusals and the master's deadline.

#include "support/test_support.h"
#include "ui/recurrence_editor.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QRadioButton>
#include <QSpinBox>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {
time::stored_date D(int y, int m, int d) { return time::make_date(y, m, d); }
QDate Q(int y, int m, int d) { return QDate(y, m, d); }

struct editor_fixture : ::testing::Test {
    fixed_clock clock{D(2026, 3, 11) + 10 * 3600};
    ui::recurrence_editor e;
    editor_fixture() { e.load(std::nullopt, D(2026, 3, 11), 0, 17 * 3600); }
};
}  // namespace

TEST_F(editor_fixture, noneOccursJustOnce)
{
    EXPECT_TRUE(e.kind_button(0)->isChecked());
    EXPECT_FALSE(e.pattern());
    EXPECT_EQ(e.summary(), "No recurrence, occurs just once.");
    EXPECT_EQ(e.occurrences_box()->value(), 1);
    EXPECT_TRUE(e.error().isEmpty());
}

TEST_F(editor_fixture, weeklyNeedsADayAndDescribesItself)
{
    e.kind_button(2)->click();
    ASSERT_TRUE(e.pattern());
    EXPECT_EQ(e.pattern()->param1, time::weekday_bit::wednesday);  // the starting day's weekday
    e.day_box(4)->setChecked(false);
    EXPECT_FALSE(e.error().isEmpty());
    e.day_box(2)->setChecked(true);
    e.day_box(6)->setChecked(true);
    EXPECT_TRUE(e.error().isEmpty());
    EXPECT_EQ(e.summary(), "Occurs every Monday, and Friday every week.");
    EXPECT_EQ(e.pattern()->starting_date, D(2026, 3, 11));
}

TEST_F(editor_fixture, tabVisitsTheWeekdaysInTheOrderTheyAreShown)
{
    e.kind_button(2)->click();
    QStringList visited;
    QWidget* w = e.day_box(2);  // Monday, shown first
    for (int i = 0; i < 7; ++i, w = w->nextInFocusChain())
        visited << static_cast<QCheckBox*>(w)->text();
    EXPECT_EQ(visited, QStringList({"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"}));
}

TEST_F(editor_fixture, aNewMonthlyPageStartsOnTheFirstSundayOfEveryMonth)
{
    e.kind_button(3)->click();
    ASSERT_TRUE(e.pattern());
    EXPECT_EQ(e.pattern()->type, time::recurrence_kind::monthly_weekday);
    EXPECT_EQ(e.pattern()->param1, 1);
    EXPECT_EQ(e.pattern()->param2, 1);
    EXPECT_EQ(e.pattern()->param3, 1);
}

TEST_F(editor_fixture, theRangeFollowsTheOccurrenceCountAndRefusesAnEndBeforeTheStart)
{
    e.kind_button(1)->click();  // every day
    e.begin_edit()->setDate(Q(2026, 3, 1));
    e.occurrences_box()->setValue(3);
    EXPECT_TRUE(e.end_on_button()->isChecked());
    EXPECT_EQ(e.end_edit()->date(), Q(2026, 3, 3));
    EXPECT_EQ(e.pattern()->ending_date, D(2026, 3, 3));
    EXPECT_NE(e.notice().indexOf("no longer active"), -1);  // it ended before today

    e.end_edit()->setDate(Q(2026, 3, 20));
    EXPECT_EQ(e.occurrences_box()->value(), 10);  // from today through the end
    EXPECT_TRUE(e.notice().isEmpty());
    e.end_edit()->setDate(Q(2026, 2, 20));
    EXPECT_EQ(e.error(), "The ending date lies before the starting date.");
    e.never_end_button()->click();
    EXPECT_TRUE(e.error().isEmpty());
    EXPECT_EQ(e.pattern()->ending_date, 0);
}

TEST_F(editor_fixture, aPatternShownIsReadBackUnchanged)
{
    time::recurrence r;
    r.id = 7;
    r.attached = 9;
    r.type = time::recurrence_kind::yearly_weekday;
    r.param1 = 5;
    r.param2 = 5;
    r.param3 = 11;
    r.starting_date = D(2026, 11, 26);
    r.ending_date = D(2030, 12, 31);
    e.load(r, D(2026, 3, 11), 0, 17 * 3600);
    ASSERT_TRUE(e.pattern());
    EXPECT_EQ(*e.pattern(), r);
    EXPECT_EQ(e.summary().left(38), "Occurs the last Thursday of November e");

    r.type = time::recurrence_kind::yearly_date;
    r.param3 = 0;
    r.param1 = 29;
    r.param2 = 2;
    e.load(r, D(2026, 3, 11), 0, 17 * 3600);
    EXPECT_EQ(*e.pattern(), r);
}

TEST_F(editor_fixture, theDeadlineCountsDaysFromTheOccurrence)
{
    e.kind_button(1)->click();
    EXPECT_EQ(e.deadline_offset(), 0);
    EXPECT_EQ(e.deadline_days()->value(), 7);
    e.deadline_box()->setChecked(true);
    e.deadline_days()->setValue(3);
    e.any_time_box()->setChecked(true);
    EXPECT_EQ(e.deadline_offset(), 3 * 86400);
    e.any_time_box()->setChecked(false);
    EXPECT_EQ(e.deadline_offset(), 3 * 86400 + 17 * 3600);  // the working end shown on a new page
    e.deadline_days()->setValue(400);
    e.any_time_box()->setChecked(true);
    EXPECT_EQ(e.deadline_offset(), 365 * 86400);

    e.load(std::nullopt, D(2026, 3, 11), 2 * 86400 + 9 * 3600, 17 * 3600);
    EXPECT_TRUE(e.deadline_box()->isChecked());
    EXPECT_EQ(e.deadline_days()->value(), 2);
    EXPECT_FALSE(e.any_time_box()->isChecked());
}
