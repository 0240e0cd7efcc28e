// The crash report as a crashing process writes it: on the alternate stack
// after a stack overflow, and named by the local date at the moment of the
// crash.

#include "support/test_support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

using namespace qm;

namespace {

class crash_probe {
public:
    explicit crash_probe(const QString& folder, const QString& time_zone = QString())
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!time_zone.isEmpty())
            env.insert("TZ", time_zone);
        process_.setProcessEnvironment(env);
        process_.start(QStringLiteral(QUILLMERE_CRASH_PROBE), {folder});
        EXPECT_TRUE(process_.waitForStarted(10000));
        EXPECT_EQ(read_line(), "ready");
    }
    ~crash_probe()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    QString ask(const char* command)
    {
        tell(command);
        return read_line();
    }
    void tell(const char* command)
    {
        process_.write(QByteArray(command) + '\n');
        process_.waitForBytesWritten();
    }
    // True when the probe ended through the fatal signal.
    bool crashed()
    {
        process_.waitForFinished(30000);
        return process_.state() == QProcess::NotRunning && process_.exitStatus() == QProcess::CrashExit;
    }

private:
    QString read_line()
    {
        while (!process_.canReadLine() && process_.waitForReadyRead(30000)) {
        }
        return QString::fromLocal8Bit(process_.readLine()).trimmed();
    }

    QProcess process_;
};

QStringList reports(const QString& folder) { return QDir(folder).entryList({"*.dmp"}, QDir::Files, QDir::Name); }

QByteArray read_all(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString date_at(qint64 utc, int offset) { return QDateTime::fromSecsSinceEpoch(utc + offset, Qt::UTC).toString("yyyyMMdd"); }

}  // namespace

TEST(crash_report, aStackOverflowStillWritesTheReport)
{
    test::temp_folder folder;
    crash_probe probe(folder.path());
    ASSERT_EQ(probe.ask("install"), "installed");
    probe.tell("overflow");
    ASSERT_TRUE(probe.crashed());
    const QStringList written = reports(folder.path());
    ASSERT_EQ(written.size(), 1) << "no report after a stack overflow";
    const QByteArray text = read_all(folder.file(written[0]));
    EXPECT_TRUE(text.contains("signal 11")) << text.toStdString();
    EXPECT_TRUE(text.contains("backtrace:\n")) << text.toStdString();
}

// A zone whose offset jumps from UTC-12 to UTC+12 between the start and the
// crash: the local date then differs by a day from the one at the start.
TEST(crash_report, isNamedByTheLocalDateAtTheMomentOfTheCrash)
{
    test::temp_folder folder;
    for (int lead = 2; lead <= 32; lead *= 2) {
        const qint64 change = QDateTime::currentSecsSinceEpoch() + lead;
        // POSIX rule: summer time from the zero-based day of the year and
        // the standard local time of the change, for thirty days.
        const QDateTime standard = QDateTime::fromSecsSinceEpoch(change - 12 * 3600, Qt::UTC);
        const int day = standard.date().dayOfYear() - 1;
        const QString at = standard.time().toString("hh:mm:ss");
        const QString zone = QStringLiteral("WEST+12EAST-12,%1/%2,%3/%2").arg(day).arg(at).arg((day + 30) % 365);

        crash_probe probe(folder.path(), zone);
        ASSERT_EQ(probe.ask("install"), "installed");
        if (QDateTime::currentSecsSinceEpoch() >= change)
            continue;  // the machine was too slow to install before the change: try with more lead
        while (QDateTime::currentSecsSinceEpoch() <= change)
            QThread::msleep(100);
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        probe.tell("segv");
        ASSERT_TRUE(probe.crashed());
        const qint64 after = QDateTime::currentSecsSinceEpoch();

        const QStringList written = reports(folder.path());
        ASSERT_EQ(written.size(), 1);
        const QString expected_before = date_at(before, 12 * 3600) + ".dmp";
        const QString expected_after = date_at(after, 12 * 3600) + ".dmp";
        EXPECT_TRUE(written[0] == expected_before || written[0] == expected_after)
            << written[0].toStdString() << " instead of " << expected_after.toStdString()
            << " (the date at the start would be " << date_at(before, -12 * 3600).toStdString() << ")";
        return;
    }
    FAIL() << "the probe never installed its handler before the zone's change";
}
