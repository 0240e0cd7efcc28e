#include "app/options.h"
#include "app/settings_document.h"
#include "support/test_support.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace qm;

TEST(options, aMissingFileGivesEveryDefault)
{
    test::temp_folder folder;
    app::options o;
    o.load(folder.file("options.ini"));
    EXPECT_EQ(o.preferable_workload, 28800);
    EXPECT_EQ(o.sleeping_start, 82800);
    EXPECT_EQ(o.sleeping_end, 21600);
    EXPECT_EQ(o.working_start, 28800);
    EXPECT_EQ(o.working_end, 64800);
    EXPECT_EQ(o.first_day_of_week, -1);
    EXPECT_EQ(o.duration_format, "%D$D(d) %H$H(h) %M$M(m) %S$S(s)");
    EXPECT_EQ(o.time_format, "wd");
    EXPECT_TRUE(o.storage_directory.isEmpty());
    EXPECT_EQ(o.hot_key_modifiers, 8);
    EXPECT_EQ(o.hot_key_virtual_key, 186);
    EXPECT_TRUE(o.idle_menu_show);
    EXPECT_EQ(o.idle_menu_threshold, 900);
    EXPECT_TRUE(o.show_conflict_alarms);
    EXPECT_TRUE(o.show_deadline_conflict_alarms);
    EXPECT_EQ(o.frozen_time, 0);
    EXPECT_EQ(o.splitter_pos, 100);
    EXPECT_EQ(o.colours.selection, 16750899u);
    EXPECT_EQ(o.colours.deadline_light_block, 46079u);
    EXPECT_GE(o.system_first_day_of_week, 0);
    EXPECT_LE(o.system_first_day_of_week, 6);
}

TEST(options, saveWritesTheTableOrderWithoutColoursAndFrozenTimeOnlyWhenSet)
{
    test::temp_folder folder;
    const QString path = folder.file("options.ini");
    {
        app::settings_document with_ui;
        with_ui.set_int("ui", "selection", 255);
        with_ui.set_int("idle menu", "threshold", 60);
        ASSERT_TRUE(with_ui.save(path));
    }
    app::options o;
    o.load(path);
    EXPECT_EQ(o.colours.selection, 255u);  // read…
    EXPECT_EQ(o.idle_menu_threshold, 60);
    o.fullscreen_titles_to_ignore = {"Presentation", "Пресс-конференция"};
    ASSERT_TRUE(o.save(path));

    app::settings_document saved = app::settings_document::load(path);
    EXPECT_EQ(saved.find_block("ui"), nullptr);  // …but never written
    EXPECT_EQ(saved.find_block("demo"), nullptr);
    QStringList names;
    for (const auto& b : saved.blocks())
        names << b.name;
    EXPECT_EQ(names, QStringList({app::fullscreen_classes_list, app::fullscreen_titles_list, "work habits",
                                  "time formatting", "directories", "action menu", "idle menu", "alarms", "tasks"}));

    o.frozen_time = 1773147600;
    ASSERT_TRUE(o.save(path));
    app::options back;
    back.load(path);
    EXPECT_EQ(back.frozen_time, 1773147600);
    EXPECT_EQ(back.colours.selection, 16750899u);  // the default again
    EXPECT_EQ(back.fullscreen_titles_to_ignore, QStringList({"Presentation", "Пресс-конференция"}));
    EXPECT_EQ(back.idle_menu_threshold, 60);
}

TEST(options, defaultContextIsReadAsOneString)
{
    test::temp_folder folder;
    QFile f(folder.file("default_context.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("@home\r\n@work");
    f.close();
    app::options o;
    o.load(folder.file("options.ini"));
    EXPECT_EQ(o.default_context, "@home\r\n@work");
}
