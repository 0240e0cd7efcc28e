#include "app/settings_document.h"
#include "app/window_placement.h"

#include <gtest/gtest.h>

using namespace qm;

TEST(window_placement, smallOrMinimisedWindowsAreNotSaved)
{
    const QRect screen(0, 0, 1920, 1080);
    struct row {
        QRect normal;
        bool minimized;
        bool saved;
    };
    const row cases[] = {
        {QRect(10, 10, 900, 690), false, true},  {QRect(10, 10, 160, 690), false, false},
        {QRect(10, 10, 900, 160), false, false}, {QRect(10, 10, 161, 161), false, true},
        {QRect(10, 10, 900, 690), true, false},
    };
    for (const auto& c : cases) {
        app::settings_document doc;
        app::window_state state{c.normal, c.minimized, false, true};
        EXPECT_EQ(app::write_placement(doc, state, screen), c.saved) << c.normal.width() << "x" << c.normal.height();
        EXPECT_EQ(doc.find_block("window") != nullptr, c.saved);
    }
}

TEST(window_placement, savedRectangleIsLeftTopRightBottom)
{
    app::settings_document doc;
    ASSERT_TRUE(app::write_placement(doc, {QRect(10, 10, 900, 690), false, true, true}, QRect(0, 0, 1920, 1080)));
    EXPECT_EQ(doc.serialize(), QByteArray("window\r\n{\r\n\tmaximized:1\r\n\tx:10\r\n\tx2:910\r\n\ty:10\r\n\ty2:700\r\n}\r\n"));
}

TEST(window_placement, restoredWindowNeverEndsUpOffScreen)
{
    const QRect screen(0, 0, 1280, 800);
    struct row {
        int x, y, x2, y2;
        QRect expected;
    };
    const row cases[] = {
        {10, 10, 910, 700, QRect(10, 10, 900, 690)},       // fits
        {5000, 3000, 5900, 3690, QRect(380, 110, 900, 690)},  // moved back onto the screen
        {-800, -50, 100, 600, QRect(0, 0, 900, 650)},
        {0, 0, 4000, 3000, QRect(0, 0, 1280, 800)},         // larger than the screen
        {100, 100, 150, 120, QRect(100, 100, 160, 160)},    // at least 160 × 160
        {-2147483647, 0, 2147483647, 10, QRect(0, 0, 1280, 160)},  // garbage without overflow
    };
    for (const auto& c : cases) {
        app::settings_document doc;
        doc.set_int("window", "x", c.x);
        doc.set_int("window", "y", c.y);
        doc.set_int("window", "x2", c.x2);
        doc.set_int("window", "y2", c.y2);
        const auto p = app::read_placement(doc, QRect(0, 0, 640, 480), screen, true);
        ASSERT_TRUE(p.has_value());
        EXPECT_EQ(p->normal, c.expected) << c.x << "," << c.y;
        EXPECT_TRUE(screen.contains(p->normal));
        EXPECT_FALSE(p->maximized);
    }
    EXPECT_FALSE(app::read_placement(app::settings_document(), QRect(), screen, true).has_value());
}

TEST(window_placement, fixedSizeWindowTakesOnlyThePosition)
{
    app::settings_document doc;
    doc.set_int("window", "x", 30);
    doc.set_int("window", "y", 40);
    doc.set_int("window", "x2", 1000);
    doc.set_int("window", "y2", 1000);
    doc.set_int("window", "maximized", 1);
    const auto p = app::read_placement(doc, QRect(0, 0, 100, 80), QRect(0, 0, 1280, 800), false);
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->normal, QRect(30, 40, 100, 80));
    EXPECT_TRUE(p->maximized);
}
