#include "app/data_folder.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace qm;
using app::folder_facts;

TEST(data_folder, decisionOrder)
{
    struct row {
        const char* storage;
        const char* program;
        const char* expected;
    };
    const QString prefix = "/usr/local";
    const row cases[] = {
        {"", "/usr/local/bin/", "/home/u/.local/share/Quillmere Planner/"},  // installed
        {"", "/home/u/planner/", "/home/u/planner/"},                        // portable
        {"", "/usr/localx/bin/", "/usr/localx/bin/"},                        // a lookalike prefix is not the prefix
        {"/data/mine/", "/usr/local/bin/", "/data/mine/"},                   // the option wins
        {"/data/mine", "/home/u/planner/", "/data/mine/"},                   // typed without the separator
    };
    for (const auto& c : cases) {
        folder_facts f{c.storage, c.program, prefix, "/home/u/.local/share"};
        const bool installed = app::is_installed(f.program_folder, f.install_prefix);
        EXPECT_EQ(app::choose_data_folder(f, installed).toStdString(), c.expected) << c.program;
    }
}

TEST(data_folder, storageOptionIsLookedAtOnEveryCall)
{
    app::data_folder_locator locator(folder_facts{"", "/home/u/planner/", "/usr/local", "/x"});
    EXPECT_EQ(locator.database_path(), "/home/u/planner/ferncastle.db");
    locator.set_storage_directory("/elsewhere/");
    EXPECT_EQ(locator.database_path(), "/elsewhere/ferncastle.db");
    EXPECT_EQ(locator.settings_folder(), "/elsewhere/settings/");
}

namespace {

void touch(const QString& path, const QByteArray& content = "x")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

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
