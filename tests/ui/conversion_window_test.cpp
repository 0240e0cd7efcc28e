#include "ui/conversion_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

#include <gtest/gtest.h>

using namespace qm;

TEST(conversion_window, showsEachStepWithItsCountAndGoesWhenFinished)
{
    ui::conversion_window w;
    EXPECT_EQ(w.window(), nullptr);  // nothing to show before a conversion begins
    w.progress("Converting to version 1.82: moving comments into their own table", 2, 5);
    ASSERT_NE(w.window(), nullptr);
    EXPECT_TRUE(w.window()->isVisible());
    bool step_seen = false;
    for (QLabel* label : w.window()->findChildren<QLabel*>())
        step_seen |= label->text() == "Step 2 of 5: Converting to version 1.82: moving comments into their own table";
    EXPECT_TRUE(step_seen);
    auto* bar = w.window()->findChild<QProgressBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->maximum(), 5);
    EXPECT_EQ(bar->value(), 1);
    w.working();
    w.finished();
    EXPECT_EQ(w.window(), nullptr);
    w.finished();  // twice is harmless
}
