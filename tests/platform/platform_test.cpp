// The platform layer's own rules, without a display: the full-screen test
// over described windows and the key tables of the hot key.

#include "platform/desktop.h"
#include "platform/hot_key.h"

#include <gtest/gtest.h>

// After the test framework, whose names the X macros (None) would take.
#include <X11/X.h>
#include <X11/keysym.h>

using namespace qm::platform;

namespace {

const std::vector<QRect> two_screens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};

window_facts borderless(QRect frame, QString cls = QStringLiteral("mpv"), QString title = QStringLiteral("Film"))
{
    window_facts w;
    w.frame = frame;
    w.window_class = std::move(cls);
    w.title = std::move(title);
    return w;
}

TEST(fullscreen_test, decidesWindowByWindow)
{
    struct row {
        const char* what;
        window_facts window;
        bool blocks;
    };
    window_facts captioned = borderless(QRect(0, 0, 1920, 1080));
    captioned.decorated = true;
    window_facts captioned_above = captioned;
    captioned_above.above = true;
    window_facts minimised = borderless(QRect(0, 0, 1920, 1080));
    minimised.minimised = true;
    window_facts hidden = borderless(QRect(0, 0, 1920, 1080));
    hidden.visible = false;
    window_facts desktop_window = borderless(QRect(0, 0, 1920, 1080));
    desktop_window.desktop_or_dock = true;
    window_facts fullscreen_state = captioned;
    fullscreen_state.fullscreen_state = true;
    const row rows[] = {
        {"a borderless window over the whole screen", borderless(QRect(0, 0, 1920, 1080)), true},
        {"the same on the second screen", borderless(QRect(1920, 0, 1280, 1024)), true},
        {"larger than its screen", borderless(QRect(-5, -5, 1930, 1090)), true},
        {"one pixel too narrow", borderless(QRect(0, 0, 1919, 1080)), false},
        {"a captioned window the size of the screen", captioned, false},
        {"the same kept above", captioned_above, true},
        {"shown full screen by the window manager", fullscreen_state, true},
        {"minimised", minimised, false},
        {"not mapped", hidden, false},
        {"the desktop", desktop_window, false},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(fullscreen_window_present({r.window}, two_screens, {}, {}), r.blocks);
    }
}

TEST(fullscreen_test, theIgnoreListsExcuseByExactClassAndByTitlePieceInAnyCase)
{
    const window_facts film = borderless(QRect(0, 0, 1920, 1080), QStringLiteral("mpv"), QStringLiteral("Holiday.mkv - mpv"));
    EXPECT_FALSE(fullscreen_window_present({film}, two_screens, {QStringLiteral("mpv")}, {}));
    EXPECT_TRUE(fullscreen_window_present({film}, two_screens, {QStringLiteral("MPV")}, {}));
    EXPECT_FALSE(fullscreen_window_present({film}, two_screens, {}, {QStringLiteral("HOLIDAY")}));
    EXPECT_TRUE(fullscreen_window_present({film}, two_screens, {}, {QStringLiteral("")}));
    // One excused window does not excuse the one under it.
    const window_facts game = borderless(QRect(0, 0, 1920, 1080), QStringLiteral("game"), QStringLiteral("Game"));
    EXPECT_TRUE(fullscreen_window_present({film, game}, two_screens, {QStringLiteral("mpv")}, {}));
}

TEST(fullscreen_test, aWindowBelongsToTheScreenItOverlapsMostElseTheNearest)
{
    EXPECT_EQ(screen_of(QRect(1800, 0, 400, 300), two_screens), two_screens[1]);
    EXPECT_EQ(screen_of(QRect(5000, 0, 10, 10), two_screens), two_screens[1]);
    EXPECT_EQ(screen_of(QRect(-500, 0, 10, 10), two_screens), two_screens[0]);
}

TEST(hot_key_keys, mapsTheOptionsCodesToXKeysAndBack)
{
    struct row {
        int vk;
        std::uint32_t keysym;
        int qt;
    };
    const row rows[] = {
        {186, XK_semicolon, Qt::Key_Semicolon}, {'A', XK_a, Qt::Key_A}, {'7', XK_7, Qt::Key_7},
        {0x70, XK_F1, Qt::Key_F1},              {0x7B, XK_F12, Qt::Key_F12}, {0x20, XK_space, Qt::Key_Space},
        {0xDC, XK_backslash, Qt::Key_Backslash},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.vk);
        EXPECT_EQ(keysym_of_virtual_key(r.vk), r.keysym);
        EXPECT_EQ(virtual_key_of_qt_key(r.qt), r.vk);
    }
    EXPECT_EQ(virtual_key_of_qt_key(Qt::Key_Colon), 186);  // Shift+; names the same key
    EXPECT_EQ(keysym_of_virtual_key(0xFF), 0u);
    EXPECT_EQ(x_modifier_mask(8), Mod4Mask);
    EXPECT_EQ(x_modifier_mask(1 | 2 | 4), Mod1Mask | ControlMask | ShiftMask);
}

}  // namespace
