#include "store/statements.h"

#include <stdexcept>

namespace qm::store {

QString insert_statement(const QString& table, const QStringList& columns)
{
    QString sql = QStringLiteral("INSERT INTO [") + table + QStringLiteral("] (");
    for (int i = 0; i < columns.size(); ++i) {
        if (i > 0)
            sql += QStringLiteral(", ");
        sql += QLatin1Char('[') + columns[i] + QLatin1Char(']');
    }
    sql += QStringLiteral(") VALUES(");
    for (int i = 1; i < columns.size(); ++i)
        sql += QStringLiteral("?,");
    sql += QStringLiteral("?)");
    return sql;
}

QString update_statement(const QString& table, const QStringList& columns, const QString& where)
{
    QString sql = QStringLiteral("UPDATE [") + table + QStringLiteral("] SET ");
    for (int i = 0; i < columns.size(); ++i) {
        sql += QLatin1Char('[') + columns[i] + QStringLiteral("] = ?");
        if (i + 1 < columns.size())
            sql += QLatin1Char(',');
        sql += QLatin1Char(' ');
    }
    return sql + where;
}

QString delete_statement(const QString& table, const QString& where)
{
    return QStringLiteral("DELETE FROM [%1] %2").arg(table, where);
}

QString load_statement(const QString& table, const QString& suffix)
{
    QString sql = QStringLiteral("SELECT * FROM [") + table + QLatin1Char(']');
    if (!suffix.isEmpty())
        sql += QLatin1Char(' ') + suffix;
    if (sql.size() > 79)
        throw std::length_error("load statement longer than 79 characters: " + sql.toStdString());
    return sql;
}

QString where_id(long long id) { return QStringLiteral("WHERE id = %1").arg(id); }

}  // namespace qm::store
