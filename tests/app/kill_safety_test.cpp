// SIGKILL at random moments of a burst of writes and of settings saves:
// what is on disk afterwards is always whole.

#include "support/test_support.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <random>

using namespace qm;

namespace {

constexpr int rounds = 20;
constexpr int burst = 10000;

QString payload(int seq) { return QStringLiteral("row %1 ").arg(seq).repeated(6); }

std::unique_ptr<QProcess> start_target(const QStringList& arguments)
{
    auto p = std::make_unique<QProcess>();
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(QStringLiteral(QUILLMERE_KILL_TARGET), arguments);
    EXPECT_TRUE(p->waitForStarted(10000));
    return p;
}

bool read_line(QProcess& p, const QByteArray& expected)
{
    while (!p.canReadLine())
        if (!p.waitForReadyRead(60000))
            return false;
    return p.readLine().trimmed() == expected;
}

void kill_and_wait(QProcess& p)
{
    p.kill();  // SIGKILL, and only while it runs: never a stray process id
    p.waitForFinished(60000);
}

}  // namespace

// Each round continues the numbering of the last, so that every start also
// has to recover from the kill before it (a hot journal left behind).
TEST(kill_safety, theRowsOnDiskAreAlwaysAPrefixOfThePostedOrder)
{
    test::temp_folder folder;
    const QString path = folder.file("burst.db");
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    int killed_midway = 0;
    int before = 0;  // rows on disk before the round
    double bytes_per_row = 100;  // learnt from the rounds done
    for (int round = 1; round <= rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // The kill comes once the file has grown by a random number of the
        // round's rows. Its size is watched, not its rows: a reader's lock
        // would hold the writer up.
        const int target = std::uniform_int_distribution<int>(0, burst - 1)(random);
        const qint64 start_size = QFileInfo(path).size();
        auto target_process = start_target({"writes", path});
        ASSERT_TRUE(read_line(*target_process, "posting"));
        const qint64 kill_size = start_size + static_cast<qint64>(target * bytes_per_row);
        while (target_process->state() == QProcess::Running && QFileInfo(path).size() < kill_size)
            target_process->waitForFinished(1);
        kill_and_wait(*target_process);

        auto db = test::open_file(path);
        ASSERT_EQ(test::query(*db, "PRAGMA integrity_check")[0][0], "ok");
        const auto counts = test::query(*db, "SELECT COUNT(*), IFNULL(MIN(seq), 0), IFNULL(MAX(seq), 0) FROM burst")[0];
        const int count = counts[0].toInt(), last = counts[2].toInt();
        ASSERT_GE(last, before) << "rows of an earlier round are gone";
        ASSERT_EQ(count, last) << "the rows on disk have a gap: not a prefix of the posted order";
        ASSERT_TRUE(count == 0 || counts[1] == "1");
        ASSERT_LE(last, before + burst);
        for (const QStringList& row : test::query(*db, QStringLiteral("SELECT seq, payload FROM burst WHERE seq > %1").arg(before)))
            ASSERT_EQ(row[1], payload(row[0].toInt())) << "row " << row[0].toStdString() << " is not whole";
        if (last < before + burst)
            ++killed_midway;
        db.reset();
        if (last > 0)
            bytes_per_row = static_cast<double>(QFileInfo(path).size()) / last;
        before = last;
    }
    // The writer never runs more than a few hundred requests ahead of a
    // commit, so a kill at a random size meets it at work nearly always.
    EXPECT_GE(killed_midway, rounds / 2);
}

// Saving goes through a temporary file and a rename: a kill at any moment
// leaves the old document or the new one, never a mixture.
TEST(kill_safety, aSettingsFileIsAlwaysTheOldOrTheNewDocument)
{
    test::temp_folder folder;
    const QString path = folder.file("settings/view.ini");
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    for (int round = 1; round <= rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        auto target_process = start_target({"settings", path});
        const int saves = std::uniform_int_distribution<int>(1, 12)(random);
        for (int i = 0; i < saves; ++i)
            ASSERT_TRUE(read_line(*target_process, "saved"));
        kill_and_wait(*target_process);

        QFile a(path + ".A"), b(path + ".B"), saved(path);
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly)) << "the settings file is gone";
        const QByteArray text = saved.readAll();
        ASSERT_NE(a.size(), b.size());  // so that a mixture cannot pass for either
        EXPECT_TRUE(text == a.readAll() || text == b.readAll())
            << "a file of " << text.size() << " bytes that is neither document";
    }
}
