#include "app/core.h"
#include "store/database_settings.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace qm;

TEST(core, newFolderGetsTheDatabaseTheSettingsFolderAndTheVersionStamp)
{
    test::temp_folder root;
    const QString folder = root.path() + QStringLiteral("deep/er/data/");
    {
        test::started_core core(folder);
        EXPECT_TRUE(core.core().upgrade().new_database);
        EXPECT_TRUE(QFileInfo(folder + "settings").isDir());
        store::database& db = core.drain_and_reopen();
        EXPECT_EQ(store::read_setting(db, 0), "2.90");
        EXPECT_TRUE(store::read_setting(db, 2).isEmpty());
    }
    test::started_core again(folder);
    EXPECT_FALSE(again.core().upgrade().new_database);
}

TEST(core, anEmptyFileLeftByAnInterruptedCreationIsBuiltAnew)
{
    test::temp_folder folder;
    QFile f(folder.file("ferncastle.db"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    test::started_core core(folder.path());
    EXPECT_TRUE(core.core().upgrade().new_database);
    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(test::query(db, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table'")[0][0], "20");
}

TEST(core, aNewerFileIsRefusedAndLeftUnchanged)
{
    test::temp_folder folder;
    {
        store::database db;
        db.open(folder.file("ferncastle.db"));
        db.execute("CREATE TABLE DatabaseSettings ([key] TEXT PRIMARY KEY,[value] TEXT)");
        db.execute("INSERT INTO DatabaseSettings VALUES(0, '2.91')");
    }
    const QByteArray before = [&] {
        QFile f(folder.file("ferncastle.db"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    app::core core(test::portable_locator(folder.path()));
    try {
        core.start();
        FAIL() << "started on a file of a newer version";
    } catch (const store::unsupported_version& e) {
        EXPECT_EQ(e.text(), "2.91");
    }
    core.shutdown();
    QFile f(folder.file("ferncastle.db"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_EQ(QDir(folder.path()).entryList({"ferncastle-*"}).size(), 0);
}

TEST(core, aFileThatIsNotADatabaseRaisesAndTheReportShowsItsSql)
{
    test::temp_folder folder;
    QFile f(folder.file("ferncastle.db"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, '\x5a'));
    f.close();
    app::core core(test::portable_locator(folder.path()));
    EXPECT_THROW(core.start(), store::sqlite_exception);
    EXPECT_FALSE(core.main_db().last_sql().isEmpty());
}

TEST(core, shutdownDrainsAndIsSafeTwice)
{
    test::started_core core;
    for (int i = 0; i < 200; ++i)
        core.core().ids().allocate(store::id_kind::roles);
    core.core().shutdown();
    core.core().shutdown();
    EXPECT_FALSE(core.core().main_db().is_open());
    EXPECT_EQ(core.core().writer().executed_count(), core.core().writer().posted_count());
}
