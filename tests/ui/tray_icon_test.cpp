#include "ui/tray_icon.h"

#include <QImage>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using namespace qm;

// The icons come from the project's drawing, compiled into the program: each
// size is there as drawn (no blurry scaling), and the saving one differs.
TEST(tray_icon, iconsAreTheRenderedDrawingAtEverySize)
{
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QImage program = ui::program_icon().pixmap(QSize(size, size)).toImage();
        ASSERT_EQ(program.size(), QSize(size, size)) << size;
        EXPECT_EQ(program.pixelColor(size / 2, size / 12).alpha(), 255) << "opaque frame at " << size;
        EXPECT_EQ(program.pixelColor(0, 0).alpha(), 0) << "round corner at " << size;
    }
    const QImage program16 = ui::program_icon().pixmap(QSize(16, 16)).toImage();
    const QImage saving16 = ui::saving_icon().pixmap(QSize(16, 16)).toImage();
    EXPECT_NE(program16, saving16);
}

TEST(tray_icon, theTipNamesTheTimedTaskAndTheSaving)
{
    QMenu menu;
    ui::tray_icon tray(&menu);
    tray.add();
    EXPECT_EQ(tray.tool_tip(), "Quillmere Planner");
    tray.set_timed_task("Write the report");
    EXPECT_EQ(tray.tool_tip(), "Quillmere Planner\nTiming: Write the report");
    tray.set_timed_task(QString());
    EXPECT_EQ(tray.tool_tip(), "Quillmere Planner");
    tray.set_timed_task("Write the report");
    tray.show_saving();
    EXPECT_EQ(tray.tool_tip(), "Saving database changes...");
}

// Offscreen there is no tray at all: the program carries on, and a minimised
// window stays minimised instead of vanishing.
TEST(tray_icon, withoutATrayAWindowIsNeverHiddenIntoIt)
{
    QMenu menu;
    ui::tray_icon tray(&menu);
    EXPECT_FALSE(tray.add());
    EXPECT_FALSE(tray.holds_window());
    QWidget window;
    window.show();
    window.showMinimized();
    EXPECT_FALSE(tray.hide_into_tray(&window));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isMinimized());
    EXPECT_FALSE(tray.hide_into_tray(nullptr));
}
