#include "app/data_folder.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace qm;
using app::folder_facts;

namespace {

void touch(const QString& path, const QByteArray& content = "x")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

}  // namespace

// The layout around the program decides, so an installed tree that was moved
// after it was built is still an install.
TEST(data_folder, decisionOrderFollowsTheLayoutAroundTheProgram)
{
    test::temp_folder root;
    const QString r = root.path();
    QDir().mkpath(r + "usr/bin");
    QDir().mkpath(r + "usr/share/quillmere");
    QDir().mkpath(r + "moved/elsewhere/bin");
    QDir().mkpath(r + "moved/elsewhere/share/quillmere");
    QDir().mkpath(r + "planner/bin");                 // no shared files beside it
    QDir().mkpath(r + "flat/share/quillmere");        // shared files, but not run from bin/
    QDir().mkpath(r + "odd/bin");
    touch(r + "odd/share/quillmere");                 // a file, not the folder
    struct row {
        const char* storage;
        QString program;
        QString expected;
    };
    const QString user = "/home/u/.local/share/Quillmere Planner/";
    const row cases[] = {
        {"", r + "usr/bin/", user},
        {"", r + "moved/elsewhere/bin", user},  // relocated, given without the separator
        {"", r + "planner/bin/", r + "planner/bin/"},
        {"", r + "flat/", r + "flat/"},
        {"", r + "odd/bin/", r + "odd/bin/"},
        {"/data/mine/", r + "usr/bin/", "/data/mine/"},   // the option wins
        {"/data/mine", r + "planner/bin/", "/data/mine/"}, // typed without the separator
    };
    for (const auto& c : cases) {
        folder_facts f{c.storage, c.program, "/home/u/.local/share"};
        const bool installed = app::is_installed(f.program_folder);
        EXPECT_EQ(app::choose_data_folder(f, installed), c.expected) << c.program.toStdString();
    }
}

TEST(data_folder, assetsLieBesideAPortableCopyAndUnderShareForAnInstalledOne)
{
    test::temp_folder root;
    QDir().mkpath(root.path() + "prefix/bin");
    QDir().mkpath(root.path() + "prefix/share/quillmere");
    app::data_folder_locator installed(folder_facts{"", root.path() + "prefix/bin/", "/x"});
    ASSERT_TRUE(installed.installed());
    EXPECT_EQ(installed.asset_folder(), root.path() + "prefix/share/quillmere/");
    app::data_folder_locator portable(folder_facts{"", root.path() + "prefix/", "/x"});
    EXPECT_FALSE(portable.installed());
    EXPECT_EQ(portable.asset_folder(), root.path() + "prefix/");
}

TEST(data_folder, storageOptionIsLookedAtOnEveryCall)
{
    app::data_folder_locator locator(folder_facts{"", "/home/u/planner/", "/x"});
    EXPECT_EQ(locator.database_path(), "/home/u/planner/ferncastle.db");
    locator.set_storage_directory("/elsewhere/");
    EXPECT_EQ(locator.database_path(), "/elsewhere/ferncastle.db");
    EXPECT_EQ(locator.settings_folder(), "/elsewhere/settings/");
}

TEST(data_folder, preparingMakesTheDataAndSettingsFolders)
{
    test::temp_folder root;
    app::data_folder_locator locator(folder_facts{root.path() + "new/deep/", root.path(), root.path()});
    EXPECT_NO_THROW(app::prepare_data_folder(locator));
    EXPECT_TRUE(QFileInfo(root.path() + "new/deep/settings").isDir());
    EXPECT_EQ(QDir(root.path() + "new/deep").entryList(QDir::Files | QDir::Hidden).size(), 0);  // no probe left
}

// A folder that cannot be made (here: a file stands where a folder should be,
// which stops even root) is told in words that say what to do, per reason.
TEST(data_folder, aFolderThatCannotTakeTheDataIsToldInTheUsersWords)
{
    test::temp_folder root;
    touch(root.path() + "blocked");
    struct row {
        QString storage;
        QString program;
        const char* advice;
    };
    const row cases[] = {
        {"", root.path() + "blocked/planner/", "A copy that is not installed keeps its data in its own folder"},
        {root.path() + "blocked/data/", root.path(), "named by the option \"storage directory\""},
    };
    for (const auto& c : cases) {
        app::data_folder_locator locator(folder_facts{c.storage, c.program, root.path() + "home"});
        try {
            app::prepare_data_folder(locator);
            ADD_FAILURE() << "no complaint for " << locator.data_folder().toStdString();
        } catch (const app::data_folder_unusable& e) {
            EXPECT_TRUE(e.text().contains(locator.data_folder())) << e.text().toStdString();
            EXPECT_TRUE(e.text().contains(c.advice)) << e.text().toStdString();
            EXPECT_FALSE(e.text().contains("Database")) << e.text().toStdString();
        }
    }
}

namespace {

struct portable_move : ::testing::Test {
    test::temp_folder root;
    QString program, data;
    void SetUp() override
    {
        program = root.path() + "program/";
        data = root.path() + "appdata/Quillmere Planner/";
        touch(program + "ferncastle.db", "db");
        touch(program + "old.db");
        touch(program + "20261201.dmp");
        touch(program + "quillmere");  // the program itself stays
        touch(program + "settings/options.ini");
        touch(program + "settings/projects/expanded/1.ini");
    }
};

}  // namespace

TEST_F(portable_move, movesSettingsDatabasesAndReportsOnce)
{
    ASSERT_TRUE(app::move_portable_data(program, data, QString()));
    for (const char* moved : {"ferncastle.db", "old.db", "20261201.dmp", "settings/options.ini",
                              "settings/projects/expanded/1.ini"}) {
        EXPECT_TRUE(QFileInfo::exists(data + moved)) << moved;
        EXPECT_FALSE(QFileInfo::exists(program + moved)) << moved;
    }
    EXPECT_FALSE(QFileInfo::exists(program + "settings"));  // emptied folders are removed
    EXPECT_TRUE(QFileInfo::exists(program + "quillmere"));
    EXPECT_FALSE(app::move_portable_data(program, data, QString()));  // nothing left to move
}

TEST_F(portable_move, nothingMovesWhenTheDataFolderHasADatabaseOrTheOptionIsSet)
{
    touch(data + "ferncastle.db", "newer");
    EXPECT_FALSE(app::move_portable_data(program, data, QString()));
    EXPECT_TRUE(QFileInfo::exists(program + "ferncastle.db"));
    QFile::remove(data + "ferncastle.db");
    EXPECT_FALSE(app::move_portable_data(program, data, "/somewhere/"));
    EXPECT_FALSE(app::move_portable_data(program, program, QString()));  // same folder
    EXPECT_TRUE(QFileInfo::exists(program + "ferncastle.db"));
}

TEST_F(portable_move, aFileThatCannotMoveStopsItsFolderAndKeepsTheRest)
{
    touch(data + "settings/options.ini", "already there");
    EXPECT_FALSE(app::move_folder_contents(program + "settings", data + "settings", "*.*"));
    EXPECT_TRUE(QFileInfo::exists(program + "settings/options.ini"));
    EXPECT_TRUE(QFileInfo(program + "settings").isDir());
    QFile existing(data + "settings/options.ini");
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), "already there");
}

TEST(data_folder, moveFromAMissingFolderFails)
{
    test::temp_folder root;
    EXPECT_FALSE(app::move_folder_contents(root.path() + "missing", root.path() + "dest", "*.*"));
    EXPECT_FALSE(QFileInfo::exists(root.path() + "dest"));
}
