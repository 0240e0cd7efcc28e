// Work to be killed in the middle of, for the kill-safety tests.
//
//   kill_target writes <database>: posts 10,000 inserts into "burst" through
//     the writer, numbered on from the last row already in the file, then
//     drains; prints "posting" once the first one is posted.
//   kill_target settings <file>: saves two different documents over the file
//     in turn, without end; prints "saved" after each save. Whole copies of
//     the two are left beside it as <file>.A and <file>.B first.

#include "app/settings_document.h"
#include "store/database.h"
#include "store/db_writer.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

constexpr int burst = 10000;

QString payload(int seq) { return QStringLiteral("row %1 ").arg(seq).repeated(6); }

int post_burst(const QString& path)
{
    qm::store::database main_db;
    main_db.open(path);
    main_db.set_busy_timeout(60000);
    main_db.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS burst (seq INTEGER PRIMARY KEY, payload TEXT NOT NULL)"));
    qm::store::statement s = main_db.prepare(QStringLiteral("SELECT IFNULL(MAX(seq), 0) FROM burst"));
    main_db.step(s);
    const int last = main_db.column_int(s, 1);
    main_db.finalize(s);

    qm::store::db_writer writer(path);
    writer.start();
    for (int seq = last + 1; seq <= last + burst; ++seq) {
        const QString text = payload(seq);
        writer.post_write([seq, text](qm::store::database& db) {
            qm::store::statement insert = db.prepare(QStringLiteral("INSERT INTO burst VALUES(?, ?)"));
            db.bind_int(insert, 1, seq);
            db.bind_text(insert, 2, text);
            if (db.step_failed(insert))
                throw qm::store::sqlite_exception(db.error_message());
            db.finalize(insert);
        });
        if (seq == last + 1) {
            std::puts("posting");
            std::fflush(stdout);
        }
        // Posting no further ahead of the writer than a user's changes
        // would, so that the burst takes dozens of commits on any machine
        // and a kill can meet every stage of one.
        while (writer.posted_count() - writer.executed_count() > 200)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    writer.stop();
    return 0;
}

qm::app::settings_document document(const QString& letter)
{
    qm::app::settings_document doc;
    for (int i = 0; i < 4000; ++i)
        doc.set_string(QStringLiteral("block %1").arg(i % 40), QStringLiteral("key %1").arg(i),
                       QStringLiteral("value %1 of document %2").arg(i).arg(letter));
    return doc;
}

int save_forever(const QString& path)
{
    const qm::app::settings_document docs[2] = {document(QStringLiteral("A")), document(QStringLiteral("B (the second)"))};
    // What a whole file of each looks like, for the test to compare with.
    if (!docs[0].save(path + QStringLiteral(".A")) || !docs[1].save(path + QStringLiteral(".B")))
        return 2;
    for (unsigned n = 0;; ++n) {
        if (!docs[n % 2].save(path))
            return 2;
        std::puts("saved");
        std::fflush(stdout);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc < 3)
        return 3;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    if (mode == QLatin1String("writes"))
        return post_burst(path);
    if (mode == QLatin1String("settings"))
        return save_forever(path);
    return 3;
}
