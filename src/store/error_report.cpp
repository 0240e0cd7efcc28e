#include "store/error_report.h"

namespace qm::store {

const char* const support_address = "support@quillmere.org";

QString database_error_text(const QString& message, const QString& main_last_sql)
{
    QString text;
    text += QStringLiteral("An error has been reported from the database. \n");
    text += QStringLiteral("Quillmere Planner will now shut down to prevent possible data corruption. \n");
    text += QStringLiteral("\n");
    text += QStringLiteral("Please report the following error to ") + QString::fromLatin1(support_address) +
            QStringLiteral(":\n");
    text += QStringLiteral("\n");
    text += QStringLiteral("-- Error --\n");
    text += message + QStringLiteral("\n");
    text += QStringLiteral("\n");
    text += QStringLiteral("-- SQL Command --\n");
    text += main_last_sql;
    return text;
}

}  // namespace qm::store
