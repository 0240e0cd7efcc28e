// The installed program keeps the user's data in his own folder, wherever the
// installed tree was put; a portable copy's data moves there once; a portable
// copy that cannot write beside itself says so.

#include "install/install_tree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace qm;

namespace {

QByteArray read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

struct installed_copy : ::testing::Test {
    test::planner_user user;
    QString prefix;

    void SetUp() override
    {
        prefix = user.root.path() + "opt/quillmere/";
        test::install_into(prefix);
    }

    // Starts the copy, waits until its database exists, ends it; the exit code.
    int run_once(const QString& program, const QString& database)
    {
        auto p = user.start(program);
        const bool running = user.wait_until_running(*p, database);
        const int code = user.end(*p);
        EXPECT_TRUE(running) << "no " << database.toStdString() << ": "
                             << p->readAllStandardError().toStdString();
        return code;
    }
};

}  // namespace

TEST_F(installed_copy, keepsTheDataInTheUsersFolderAlsoAfterTheTreeWasMoved)
{
    const QString database = user.data_folder() + "ferncastle.db";
    EXPECT_EQ(run_once(prefix + "bin/quillmere", database), 1);
    EXPECT_TRUE(QFileInfo(user.data_folder() + "settings").isDir());
    EXPECT_FALSE(QFileInfo::exists(prefix + "bin/ferncastle.db"));

    // Installed for one prefix, then moved: still an install.
    const QString moved = user.root.path() + "elsewhere/planner/";
    QDir().mkpath(user.root.path() + "elsewhere");
    ASSERT_TRUE(QDir().rename(prefix, moved));
    QFile::remove(database);
    EXPECT_EQ(run_once(moved + "bin/quillmere", database), 1);
    EXPECT_FALSE(QFileInfo::exists(moved + "bin/ferncastle.db"));
}

TEST_F(installed_copy, takesAPortableCopysDataAlongOnce)
{
    // The same program without its shared files beside it is a portable copy:
    // its data lands in bin/.
    const QString shared = prefix + "share/quillmere";
    ASSERT_TRUE(QDir().rename(shared, shared + ".away"));
    EXPECT_EQ(run_once(prefix + "bin/quillmere", prefix + "bin/ferncastle.db"), 1);
    ASSERT_TRUE(QFileInfo(prefix + "bin/settings").isDir());
    write(prefix + "bin/20261201.dmp", "crash");
    const QByteArray portable_database = read(prefix + "bin/ferncastle.db");

    // Installed: the settings, the databases and the crash reports move.
    ASSERT_TRUE(QDir().rename(shared + ".away", shared));
    EXPECT_EQ(run_once(prefix + "bin/quillmere", user.data_folder() + "ferncastle.db"), 1);
    EXPECT_TRUE(QFileInfo::exists(user.data_folder() + "20261201.dmp"));
    EXPECT_TRUE(QFileInfo(user.data_folder() + "settings").isDir());
    for (const char* gone : {"ferncastle.db", "20261201.dmp", "settings"})
        EXPECT_FALSE(QFileInfo::exists(prefix + "bin/" + gone)) << gone;
    EXPECT_EQ(read(user.data_folder() + "ferncastle.db").left(16), portable_database.left(16));

    // Once: a database left in bin/ later stays there.
    write(prefix + "bin/ferncastle.db", "not moved");
    EXPECT_EQ(run_once(prefix + "bin/quillmere", user.data_folder() + "ferncastle.db"), 1);
    EXPECT_EQ(read(prefix + "bin/ferncastle.db"), "not moved");
}

// A portable copy on a read-only folder: made read-only by permissions, or
// for root (whom permissions do not stop) by a read-only bind mount in a
// mount namespace of its own.
TEST(portable_copy, thatCannotWriteBesideItselfSaysSoInWords)
{
    test::planner_user user;
    const QString folder = user.root.path() + "planner";
    QDir().mkpath(folder);
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLMERE_EXECUTABLE), folder + "/quillmere"));

    QString program = folder + "/quillmere";
    QStringList arguments;
    if (::geteuid() != 0) {
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    } else {
        const QString unshare = QStandardPaths::findExecutable("unshare");
        if (unshare.isEmpty() || test::run_tool(unshare, {"-m", "true"}) != 0)
            GTEST_SKIP() << "running as root without mount namespaces: no way to make the folder read-only";
        arguments = {"-m", "sh", "-c",
                     "mount --bind \"$1\" \"$1\" && mount -o remount,bind,ro \"$1\" \"$1\" && exec \"$1/quillmere\"",
                     "sh", folder};
        program = unshare;
    }

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", user.runtime);
    env.insert("HOME", user.home);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(user.root.path());
    p.start(program, arguments);
    ASSERT_TRUE(p.waitForFinished(30000));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    const QString said = QString::fromLocal8Bit(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 0) << said.toStdString();
    EXPECT_TRUE(said.contains("Quillmere Planner cannot keep your data in the folder \"" + folder + "/\""))
        << said.toStdString();
    EXPECT_TRUE(said.contains("Move the program's folder to a place where you can write")) << said.toStdString();
    EXPECT_FALSE(said.contains("Database Error")) << said.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder + "/ferncastle.db"));
}
