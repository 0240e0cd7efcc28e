#include "ui/commands.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace qm::ui;

TEST(commands, theTableHoldsEveryNamedCommandInOrder)
{
    const auto& table = command_table();
    EXPECT_EQ(table.size(), 166u);
    EXPECT_STREQ(table.front().name, "Export");
    EXPECT_STREQ(table.back().name, "About");
    EXPECT_EQ(command_name(41194), "Toggle Finished");
    EXPECT_EQ(command_category(41194), "Task.Status");
    EXPECT_EQ(command_name(12345), "");
    EXPECT_EQ(command_category(12345), "");
}

TEST(commands, shortcutsReadAsTheirKeys)
{
    struct row {
        int command;
        const char* text;
        QKeySequence keys;
    };
    const row cases[] = {
        {40151, "Ctrl+Z", QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {41194, "Ctrl+Space", QKeySequence(Qt::CTRL | Qt::Key_Space)},
        {41079, "Ctrl+Shift+Up", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up)},
        {41128, "Alt+;", QKeySequence(Qt::ALT | Qt::Key_Semicolon)},
        {40992, "F2", QKeySequence(Qt::Key_F2)},
        {41125, "Ctrl+Shift+1", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_1)},
    };
    for (const auto& c : cases) {
        bool found = false;
        for (const shortcut& s : default_shortcuts())
            if (s.command == c.command && shortcut_text(s) == QLatin1String(c.text)) {
                found = true;
                EXPECT_EQ(key_sequence(s), c.keys) << c.text;
            }
        EXPECT_TRUE(found) << c.text;
    }
    // No key is bound to two commands.
    QSet<QString> keys;
    for (const shortcut& s : default_shortcuts()) {
        EXPECT_FALSE(keys.contains(shortcut_text(s))) << shortcut_text(s).toStdString();
        keys.insert(shortcut_text(s));
    }
    EXPECT_EQ(hot_key_text(8, 186), "Win+;");
    EXPECT_EQ(hot_key_text(2 | 1, 0x4B), "Ctrl+Alt+K");
}
