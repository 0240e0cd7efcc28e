// Runs the real program as a subprocess: exit codes, the single-copy rule,
// orderly shutdown on a signal, crash reports and the fatal database report.

#include "app/options.h"
#include "app/settings_document.h"
#include "support/old_files.h"
#include "support/test_support.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <signal.h>

using namespace qm;

namespace {

// A portable copy of the program in its own folder, with its own runtime
// folder so tests running side by side never see each other.
struct portable_copy {
    test::temp_folder root;
    QString folder, program, runtime;

    portable_copy()
    {
        folder = root.path() + "planner/";
        runtime = root.path() + "runtime";
        QDir().mkpath(folder);
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        program = folder + "quillmere";
        EXPECT_TRUE(QFile::copy(QStringLiteral(QUILLMERE_EXECUTABLE), program));
    }

    std::unique_ptr<QProcess> start(const QString& working_dir = QString())
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("HOME", root.path());
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(working_dir.isEmpty() ? root.path() : working_dir);
        p->start(program, {});
        EXPECT_TRUE(p->waitForStarted(10000));
        return p;
    }

    QString database() const { return folder + "ferncastle.db"; }
    QString socket() const { return runtime + "/quillmere-planner.sock"; }

    // Running means: the database exists and the copy answers on its socket.
    bool wait_until_running(QProcess& p, int ms = 20000)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms && p.state() == QProcess::Running) {
            if (QFileInfo::exists(database()) && QFileInfo::exists(socket()))
                return true;
            QThread::msleep(50);
        }
        return false;
    }
};

// Signals the process only while it runs: the id of one that has ended is 0,
// and kill(0, …) would hit this test's whole process group.
void send_signal(QProcess& p, int signal_number)
{
    const qint64 pid = p.processId();
    ASSERT_GT(pid, 0) << "the program is not running: " << p.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(pid), signal_number);
}

int finish(QProcess& p, int ms = 30000)
{
    EXPECT_TRUE(p.waitForFinished(ms)) << "still running";
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    return p.exitCode();
}

}  // namespace

TEST(process, startsCreatesTheDatabaseAndEndsInOrderOnSigterm)
{
    portable_copy copy;
    auto p = copy.start();
    ASSERT_TRUE(copy.wait_until_running(*p));
    send_signal(*p, SIGTERM);
    EXPECT_EQ(finish(*p), 1);
    auto db = test::open_file(copy.database());
    EXPECT_EQ(test::query(*db, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table'")[0][0], "20");
    EXPECT_EQ(test::query(*db, "SELECT value FROM DatabaseSettings WHERE key = 0")[0][0], "2.90");
    EXPECT_TRUE(QFileInfo(copy.folder + "settings").isDir());
}

TEST(process, secondCopyShowsTheFirstAndEndsWithOneUnlessSkipCheck)
{
    portable_copy copy;
    auto first = copy.start();
    ASSERT_TRUE(copy.wait_until_running(*first));

    auto second = copy.start();
    EXPECT_EQ(finish(*second), 1);
    EXPECT_EQ(first->state(), QProcess::Running);

    const QString with_skip = copy.root.path() + "with-skip";
    QDir().mkpath(with_skip + "/skip_check");
    auto third = copy.start(with_skip);
    EXPECT_FALSE(third->waitForFinished(2000)) << "a copy with skip_check should keep running";
    send_signal(*third, SIGTERM);
    EXPECT_EQ(finish(*third), 1);

    send_signal(*first, SIGTERM);
    EXPECT_EQ(finish(*first), 1);
}

TEST(process, aCopyKilledOutrightDoesNotStopTheNextStart)
{
    portable_copy copy;
    auto first = copy.start();
    ASSERT_TRUE(copy.wait_until_running(*first));
    send_signal(*first, SIGKILL);
    first->waitForFinished(10000);
    ASSERT_TRUE(QFileInfo::exists(copy.socket()));  // left behind

    auto next = copy.start();
    EXPECT_FALSE(next->waitForFinished(2000)) << "refused to start after a crash: " << next->readAllStandardError().toStdString();
    send_signal(*next, SIGTERM);
    EXPECT_EQ(finish(*next), 1);
}

TEST(process, aFileThatIsNotADatabaseIsReportedAndEndsWithZero)
{
    portable_copy copy;
    QFile f(copy.database());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'q'));
    f.close();
    auto p = copy.start();
    EXPECT_EQ(finish(*p), 0);
    const QString err = QString::fromLocal8Bit(p->readAllStandardError());
    EXPECT_TRUE(err.contains("Database Error")) << err.toStdString();
    EXPECT_TRUE(err.contains("An error has been reported from the database. ")) << err.toStdString();
    EXPECT_TRUE(err.contains("-- Error --\nfile is not a database")) << err.toStdString();
    EXPECT_TRUE(err.contains("-- SQL Command --\n")) << err.toStdString();
}

TEST(process, aFailingWriteEndsWithOneReportingTheMainConnectionsSql)
{
    test::temp_folder folder;
    QProcess p;
    p.start(QStringLiteral(QUILLMERE_WRITER_FAULT), {folder.path()});
    ASSERT_TRUE(p.waitForStarted());
    EXPECT_EQ(finish(p), 1);
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    EXPECT_TRUE(err.contains("-- Error --\nno such table: NoSuchTable")) << err.toStdString();
    EXPECT_TRUE(err.contains("-- SQL Command --\nSELECT COUNT(*) FROM [Ids]")) << err.toStdString();
    // What was written before the failure stays.
    auto db = test::open_file(folder.file("ferncastle.db"));
    EXPECT_EQ(test::query(*db, "SELECT next_id FROM Ids WHERE id = 1")[0][0], "2");
}

TEST(process, aCrashWritesAReportWithoutOverwritingAnEarlierOne)
{
    portable_copy copy;
    const QString today = QDate::currentDate().toString("yyyyMMdd");
    {
        QFile earlier(copy.folder + today + ".dmp");
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier report");
    }
    auto p = copy.start();
    ASSERT_TRUE(copy.wait_until_running(*p));
    send_signal(*p, SIGSEGV);
    ASSERT_TRUE(p->waitForFinished(20000));
    EXPECT_EQ(p->exitStatus(), QProcess::CrashExit);

    QFile earlier(copy.folder + today + ".dmp");
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), "earlier report");
    QFile report(copy.folder + today + "-a.dmp");
    ASSERT_TRUE(report.open(QIODevice::ReadOnly)) << "no second report";
    const QByteArray text = report.readAll();
    EXPECT_TRUE(text.contains("signal 11")) << text.toStdString();
    EXPECT_TRUE(text.contains("backtrace")) << text.toStdString();
}

TEST(process, withoutADisplayItSaysSoAndEnds)
{
    portable_copy copy;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("XDG_RUNTIME_DIR", copy.runtime);
    p.setProcessEnvironment(env);
    p.start(copy.program, {});
    ASSERT_TRUE(p.waitForStarted());
    EXPECT_EQ(finish(p), 2);
    EXPECT_TRUE(p.readAllStandardError().contains("needs a graphical display"));
    EXPECT_FALSE(QFileInfo::exists(copy.database()));
}

TEST(process, keepsItsWindowPlacementAcrossARestartAndOtherBlocksSurvive)
{
    portable_copy copy;
    {
        app::settings_document doc;
        doc.set_int("window", "x", 5000);  // off the (800 × 600 offscreen) screen
        doc.set_int("window", "y", 20);
        doc.set_int("window", "x2", 5500);
        doc.set_int("window", "y2", 420);
        doc.set_int("window", "maximized", 0);
        doc.set_string("toolbar", "view", "Day");
        ASSERT_TRUE(doc.save(copy.folder + "settings/main_frame.ini"));
    }
    for (int run = 0; run < 2; ++run) {
        auto p = copy.start();
        ASSERT_TRUE(copy.wait_until_running(*p));
        send_signal(*p, SIGTERM);
        EXPECT_EQ(finish(*p), 1);
        const app::settings_document saved = app::settings_document::load(copy.folder + "settings/main_frame.ini");
        EXPECT_EQ(saved.get_string("toolbar", "view"), "Day") << run;
        const int x = saved.get_int("window", "x", -1);
        const int x2 = saved.get_int("window", "x2", -1);
        EXPECT_EQ(x2 - x, 500) << run;  // the size is kept
        EXPECT_LE(x2, 800) << run;      // and the window is back on the screen
        EXPECT_EQ(saved.get_int("window", "y", -1), 20) << run;
        EXPECT_EQ(saved.get_int("window", "y2", -1), 420) << run;
    }
}

TEST(process, theStorageDirectoryOptionMovesTheDatabase)
{
    portable_copy copy;
    const QString elsewhere = copy.root.path() + "Мои данные";  // typed without the final "/"
    app::options o;
    o.storage_directory = elsewhere;
    ASSERT_TRUE(o.save(copy.folder + "settings/options.ini"));
    auto p = copy.start();
    QElapsedTimer t;
    t.start();
    while (!QFileInfo::exists(elsewhere + "/ferncastle.db") && t.elapsed() < 20000 && p->state() == QProcess::Running)
        QThread::msleep(50);
    send_signal(*p, SIGTERM);
    EXPECT_EQ(finish(*p), 1);
    EXPECT_TRUE(QFileInfo::exists(elsewhere + "/ferncastle.db"));
    EXPECT_FALSE(QFileInfo::exists(copy.database()));
    EXPECT_TRUE(QFileInfo::exists(elsewhere + "/settings/main_frame.ini"));
    // The options file stays where it is read from at the next start.
    EXPECT_TRUE(QFileInfo::exists(copy.folder + "settings/options.ini"));
}

TEST(process, anOldFileConvertsOverTwoRunsTheFirstEndingWithOneAndTheNotice)
{
    portable_copy copy;
    test::write_old_file(copy.database(), 1, 2, "1.02");
    auto first = copy.start();
    EXPECT_EQ(finish(*first), 1);
    const QString err = QString::fromLocal8Bit(first->readAllStandardError());
    EXPECT_TRUE(err.contains("The database conversion process must now restart, please run Quillmere Planner again."))
        << err.toStdString();
    {
        auto db = test::open_file(copy.database());
        EXPECT_EQ(test::query(*db, "SELECT value FROM DatabaseSettings WHERE key = 0")[0][0], "1.05");
    }
    EXPECT_TRUE(QFileInfo::exists(copy.folder + "ferncastle-1.02-backup.db"));

    auto second = copy.start();
    ASSERT_TRUE(copy.wait_until_running(*second));
    ::kill(static_cast<pid_t>(second->processId()), SIGTERM);
    EXPECT_EQ(finish(*second), 1);
    auto db = test::open_file(copy.database());
    EXPECT_EQ(test::query(*db, "SELECT value FROM DatabaseSettings WHERE key = 0")[0][0], "2.90");
    EXPECT_EQ(test::query(*db, "SELECT COUNT(*) FROM Tasks WHERE name = 'Buy ''milk'' & café'")[0][0], "1");
    EXPECT_TRUE(QFileInfo::exists(copy.folder + "ferncastle-1.05-backup.db"));
}

TEST(process, aNewerFileIsRefusedWithAMessageAndEndsWithZero)
{
    portable_copy copy;
    {
        auto db = test::open_file(copy.database());
        db->execute("CREATE TABLE DatabaseSettings ([key] TEXT PRIMARY KEY,[value] TEXT);"
                    "INSERT INTO DatabaseSettings VALUES(0, '3.10');");
    }
    auto p = copy.start();
    EXPECT_EQ(finish(*p), 0);
    const QString err = QString::fromLocal8Bit(p->readAllStandardError());
    EXPECT_TRUE(err.contains("was written by Quillmere Planner 3.10, a newer version than this one")) << err.toStdString();
    auto db = test::open_file(copy.database());
    EXPECT_EQ(test::query(*db, "SELECT value FROM DatabaseSettings WHERE key = 0")[0][0], "3.10");
}
