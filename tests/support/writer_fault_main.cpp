// Starts the core on the data folder given as the first argument, reads
// something on the main connection, then posts one good write and one that
// fails. The process must end with the writer's exit code and the report.

#include "app/core.h"
#include "store/db_writer.h"

#include <QCoreApplication>

#include <stdexcept>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc < 2)
        return 3;
    qm::app::folder_facts facts;
    facts.program_folder = QString::fromLocal8Bit(argv[1]);
    qm::app::core core{qm::app::data_folder_locator(facts)};
    core.start();
    core.main_db().execute(QStringLiteral("SELECT COUNT(*) FROM [Ids]"));
    core.ids().allocate(qm::store::id_kind::tasks);
    core.writer().post_write([](qm::store::database& db) { db.execute(QStringLiteral("INSERT INTO [NoSuchTable] VALUES(1)")); });
    core.shutdown();
    return 0;  // not reached: the failing write ends the process
}
