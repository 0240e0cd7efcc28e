// The conversion chain on the file alone: which steps a stored version runs,
// the backup and its names, failures part-way and the newer-file refusal.

#include "store/database.h"
#include "store/database_settings.h"
#include "store/schema.h"
#include "store/upgrade.h"
#include "store/upgrade_backup.h"
#include "store/upgrade_support.h"
#include "support/old_files.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace qm;

namespace {

QByteArray bytes(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// A file of the current layout stamped with an older or newer version text.
void write_current_file(const QString& path, const QString& version)
{
    store::database db;
    db.open(path);
    store::create_schema(db);
    store::write_setting(db, store::settings_key::version, version);
}

struct run_result {
    QStringList steps;
    store::upgrade_requests requests;
};

run_result convert(const QString& path, store::upgrade_environment env = {})
{
    run_result r;
    env.database_path = path;
    env.after_step = [&r, inner = env.after_step](const QString& v) {
        r.steps << v;
        if (inner)
            inner(v);
    };
    store::database db;
    db.open(path);
    r.requests = store::upgrade_database(db, true, env);
    return r;
}

QStringList backups(const test::temp_folder& folder)
{
    return QDir(folder.path()).entryList({"ferncastle-*"}, QDir::Files, QDir::Name);
}

const QStringList major_two = {"2.61", "2.70", "2.80", "2.81"};

}  // namespace

TEST(upgrade, theStoredVersionChoosesTheSteps)
{
    struct chain_case {
        int major, minor;
        const char* stamp;
        QStringList steps;
    };
    const std::vector<chain_case> cases = {
        {1, 96, "1.96b", QStringList{"1.96c"} + major_two},
        {1, 96, "1.96c", major_two},
        {1, 50, "1.5", {"1.60", "1.62", "1.80", "1.81", "1.82", "1.84", "1.86", "1.89", "1.91", "1.92", "1.96",
                        "1.96c", "2.61", "2.70", "2.80", "2.81"}},
        {1, 2, "1.02", {"1.03", "1.05"}},
        {2, 70, "2.70", {"2.80", "2.81"}},
    };
    for (const chain_case& c : cases) {
        test::temp_folder folder;
        const QString path = folder.file("ferncastle.db");
        test::write_old_file(path, c.major, c.minor, QString::fromLatin1(c.stamp));
        const run_result r = convert(path);
        EXPECT_EQ(r.steps, c.steps) << c.stamp;
        EXPECT_EQ(backups(folder), QStringList{QStringLiteral("ferncastle-%1-backup.db").arg(c.stamp)}) << c.stamp;
        auto db = test::open_file(path);
        EXPECT_EQ(store::read_setting(*db, 0), c.steps.endsWith("1.05") ? "1.05" : "2.90") << c.stamp;
    }
}

TEST(upgrade, aCurrentOrNearlyCurrentFileRunsNoStepAndTakesNoBackup)
{
    test::fixed_clock clock(1700000000);
    for (const char* stamp : {"2.90", "2.85"}) {
        test::temp_folder folder;
        const QString path = folder.file("ferncastle.db");
        write_current_file(path, QString::fromLatin1(stamp));
        const run_result r = convert(path);
        EXPECT_TRUE(r.steps.isEmpty());
        EXPECT_FALSE(r.requests.converted);
        EXPECT_TRUE(backups(folder).isEmpty());
        auto db = test::open_file(path);
        EXPECT_EQ(store::read_setting(*db, 0), "2.90");
        EXPECT_EQ(store::read_setting(*db, 2), QString::fromLatin1(stamp) == "2.85" ? "1699920000" : "");
    }
}

TEST(upgrade, aNewerFileIsRefusedBeforeAnyChangeOrBackup)
{
    for (const char* stamp : {"2.91", "3.0"}) {
        test::temp_folder folder;
        const QString path = folder.file("ferncastle.db");
        write_current_file(path, QString::fromLatin1(stamp));
        const QByteArray before = bytes(path);
        EXPECT_THROW(convert(path), store::unsupported_version);
        EXPECT_EQ(bytes(path), before);
        EXPECT_TRUE(backups(folder).isEmpty());
    }
}

TEST(upgrade, backupNamesCountTheAttemptsFromTwo)
{
    EXPECT_EQ(store::backup_name("/d/ferncastle.db", "1.60", 1), "/d/ferncastle-1.60-backup.db");
    EXPECT_EQ(store::backup_name("/d/ferncastle.db", "1.60", 2), "/d/ferncastle-1.60-backup2.db");
    EXPECT_EQ(store::backup_name("/d/ferncastle.db", "1.60", 12), "/d/ferncastle-1.60-backup12.db");
    // A version text cannot lead the copy out of the folder.
    EXPECT_EQ(store::backup_name("/d/ferncastle.db", "../x", 1), "/d/ferncastle-.._x-backup.db");

    test::temp_folder folder;
    const QString path = folder.file("ferncastle.db");
    for (int run = 1; run <= 3; ++run) {
        test::write_old_file(path, 2, 70, "2.70");
        convert(path);
        QFile::remove(path);
    }
    EXPECT_EQ(backups(folder), (QStringList{"ferncastle-2.70-backup.db", "ferncastle-2.70-backup2.db",
                                            "ferncastle-2.70-backup3.db"}));
}

TEST(upgrade, aFailurePartWayRollsBackKeepsTheBackupAndTheNextRunConverts)
{
    test::temp_folder folder;
    const QString path = folder.file("ferncastle.db");
    test::write_old_file(path, 1, 10, "1.10");
    const QByteArray before = bytes(path);

    store::upgrade_environment failing;
    failing.after_step = [](const QString& v) {
        if (v == "1.60")  // after 1.50 has stamped its version
            throw store::sqlite_exception("disk I/O error");
    };
    try {
        convert(path, failing);
        FAIL() << "the injected failure was not raised";
    } catch (const store::sqlite_exception& e) {
        EXPECT_TRUE(e.message().contains("from version 1.10 failed in the step to version 1.60")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(folder.file("ferncastle-1.10-backup.db")));
        EXPECT_TRUE(e.message().endsWith("disk I/O error"));
    }
    {
        auto db = test::open_file(path);
        EXPECT_EQ(store::read_setting(*db, 0), "1.10");
        EXPECT_EQ(test::query(*db, "SELECT COUNT(*) FROM sqlite_master WHERE name = 'TrackedTimes'")[0][0], "0");
    }
    EXPECT_EQ(bytes(folder.file("ferncastle-1.10-backup.db")), before);

    const run_result again = convert(path);
    EXPECT_EQ(again.steps.first(), "1.12");
    EXPECT_EQ(again.requests.backup_path, folder.file("ferncastle-1.10-backup2.db"));
    auto db = test::open_file(path);
    EXPECT_EQ(store::read_setting(*db, 0), "2.90");
}

TEST(upgrade, aBackupThatCannotBeMadeAsksAndCancelChangesNothing)
{
    test::temp_folder folder;
    const QString path = folder.file("ferncastle.db");
    test::write_old_file(path, 2, 70, "2.70");
    const QByteArray before = bytes(path);

    QStringList asked;
    QList<store::backup_answer> answers = {store::backup_answer::try_again, store::backup_answer::cancel};
    store::upgrade_environment env;
    env.backup_failed = [&](const QString& text) {
        asked << text;
        return answers.takeFirst();
    };
    // The copy fails: the file it should copy is not where the backup looks.
    store::database db;
    db.open(path);
    env.database_path = folder.file("missing/ferncastle.db");
    EXPECT_THROW(store::upgrade_database(db, true, env), store::conversion_cancelled);
    db.close();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[0].startsWith("Quillmere Planner has run into an error while trying to backup the current "
                                    "database before converting it"));
    EXPECT_TRUE(asked[0].contains("The error reported was: 2: "));
    EXPECT_TRUE(asked[0].endsWith("Press 'Continue' to continue the conversion process without a backup."));
    EXPECT_EQ(bytes(path), before);

    // Continue converts without a backup.
    env.backup_failed = [](const QString&) { return store::backup_answer::go_on; };
    db.open(path);
    const store::upgrade_requests r = store::upgrade_database(db, true, env);
    EXPECT_TRUE(r.converted);
    EXPECT_TRUE(r.backup_path.isEmpty());
    EXPECT_EQ(store::read_setting(db, 0), "2.90");
}

TEST(upgrade, strayAlarmsGoUnlessTheFileHasRevisionC)
{
    for (const char* stamp : {"1.96b", "1.96c"}) {
        test::temp_folder folder;
        const QString path = folder.file("ferncastle.db");
        test::write_old_file(path, 1, 96, QString::fromLatin1(stamp));
        {
            auto db = test::open_file(path);
            db->execute("INSERT INTO Alarms VALUES(9, 0, 'stray', 0, 1, 2, '*alarm.wav', 2)");
        }
        convert(path);
        auto db = test::open_file(path);
        EXPECT_EQ(test::query(*db, "SELECT COUNT(*) FROM Alarms WHERE id = 9")[0][0],
                  QString::fromLatin1(stamp) == "1.96b" ? "0" : "1");
    }
}

TEST(upgrade, rebuildTableRenamesByPositionOrFillsNamedColumns)
{
    test::temp_folder folder;
    auto db = test::open_file(folder.file("t.db"));
    db->execute("CREATE TABLE T (a INTEGER, b TEXT); INSERT INTO T VALUES(1, 'it''s');");
    store::rebuild_table(*db, "T", "CREATE TABLE T (x INTEGER, y TEXT)");
    EXPECT_EQ(test::query(*db, "SELECT x, y FROM T")[0], (QStringList{"1", "it's"}));
    store::rebuild_table(*db, "T", "CREATE TABLE T (y TEXT, z INTEGER, x INTEGER)", {"x", "y", "z"},
                         {"[x]", "[y]", "7"});
    EXPECT_EQ(test::query(*db, "SELECT y, z, x FROM T")[0], (QStringList{"it's", "7", "1"}));
    EXPECT_EQ(test::query(*db, "SELECT sql FROM sqlite_master WHERE name = 'T'")[0][0],
              "CREATE TABLE T (y TEXT, z INTEGER, x INTEGER)");
    EXPECT_EQ(test::query(*db, "SELECT COUNT(*) FROM sqlite_master WHERE name = 'T_backup'")[0][0], "0");
}

TEST(upgrade, rebuildTableGivesTheConnectionItsSecureDeleteBack)
{
    // The rebuild drops its old copy without zeroing it; later deletes of the
    // user's own must still be zeroed where the connection asked for it.
    test::temp_folder folder;
    auto db = test::open_file(folder.file("t.db"));
    db->execute("PRAGMA secure_delete = 1; CREATE TABLE T (a TEXT); INSERT INTO T VALUES('secret');");
    store::rebuild_table(*db, "T", "CREATE TABLE T (b TEXT)");
    EXPECT_EQ(test::query(*db, "PRAGMA secure_delete")[0][0], "1");
    EXPECT_EQ(test::query(*db, "SELECT b FROM T")[0][0], "secret");
}

TEST(upgrade, seedingNeverLowersACounter)
{
    test::temp_folder folder;
    auto db = test::open_file(folder.file("t.db"));
    db->execute("CREATE TABLE Ids (id INTEGER PRIMARY KEY NOT NULL,next_id INTEGER); CREATE TABLE T (id INTEGER);"
                "INSERT INTO T VALUES(4); INSERT INTO Ids VALUES(8, 40);");
    store::seed_counter(*db, 8, "T");
    store::seed_counter(*db, 9, "T");
    store::seed_counter(*db, 10, "Ids");
    EXPECT_EQ(test::query(*db, "SELECT id, next_id FROM Ids ORDER BY id"),
              (std::vector<QStringList>{{"8", "40"}, {"9", "5"}, {"10", "10"}}));
}
