// Files the planner must not take for its own: each start ends with a report
// that names the problem, and the file is left byte for byte as it was.

#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <memory>

#include <gtest/gtest.h>

using namespace qm;

namespace {

QByteArray read_all(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write_all(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct bad_file_case {
    const char* what;
    std::function<void(const QString& folder)> prepare;  // makes <folder>ferncastle.db
    const char* expected;                               // in the report
    // Optional; what it returns is kept until the planner has ended. It runs
    // after the test has read the file, since closing any descriptor of a
    // file drops the process's POSIX locks on it.
    std::function<std::shared_ptr<void>(const QString& folder)> hold = nullptr;
};

}  // namespace

TEST(bad_files, eachIsReportedAndLeftAsItWas)
{
    const bad_file_case cases[] = {
        {"a file that is not a database",
         [](const QString& folder) {
             write_all(folder + "ferncastle.db", QByteArray(4096, 'q'));
         },
         "file is not a database"},
        {"a database of another program",
         [](const QString& folder) {
             auto db = test::open_file(folder + "ferncastle.db");
             db->execute("CREATE TABLE recipes (name TEXT, minutes INTEGER)");
             db->execute("INSERT INTO recipes VALUES('bread', 240)");
         },
         "Database Error"},
        {"a database another program keeps locked past the busy timeout",
         [](const QString& folder) {
             test::open_file(folder + "ferncastle.db")->execute("CREATE TABLE recipes (name TEXT)");
         },
         "is in use by another program",
         [](const QString& folder) {
             std::shared_ptr<store::database> db = test::open_file(folder + "ferncastle.db");
             db->execute("BEGIN EXCLUSIVE");
             db->execute("INSERT INTO recipes VALUES('bread')");
             return std::shared_ptr<void>(db);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::temp_folder root;
        const QString folder = root.path() + "planner/";
        QDir().mkpath(folder);
        QDir().mkpath(root.path() + "runtime");
        test::make_writable(root.path() + "runtime");  // 0700, as a runtime folder is
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLMERE_EXECUTABLE), folder + "quillmere"));
        c.prepare(folder);
        const QByteArray before = read_all(folder + "ferncastle.db");
        std::shared_ptr<void> held = c.hold ? c.hold(folder) : nullptr;

        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", root.path() + "runtime");
        env.insert("HOME", root.path());
        env.insert("QUILLMERE_BUSY_TIMEOUT_MS", "1500");
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(root.path());
        p.start(folder + "quillmere", {});
        ASSERT_TRUE(p.waitForStarted());
        const bool ended = p.waitForFinished(20000);
        if (!ended) {
            p.kill();
            p.waitForFinished();
        }
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        EXPECT_TRUE(ended) << "still running: " << err.toStdString();
        EXPECT_TRUE(err.contains(c.expected)) << err.toStdString();
        held.reset();
        EXPECT_EQ(read_all(folder + "ferncastle.db"), before) << "the file was changed";
    }
}
