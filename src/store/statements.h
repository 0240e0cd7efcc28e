#pragma once
// Statement texts of the generic table binding. Tests compare them character
// for character, so keep them exactly as they are.

#include <QString>
#include <QStringList>

namespace qm::store {

QString insert_statement(const QString& table, const QStringList& columns);
QString update_statement(const QString& table, const QStringList& columns, const QString& where);
QString delete_statement(const QString& table, const QString& where);

// "SELECT * FROM [table]" with an optional suffix (a WHERE or ORDER BY clause).
// The statement must stay within 79 characters: a longer one is refused with
// std::length_error rather than cut short.
QString load_statement(const QString& table, const QString& suffix = QString());

// "WHERE id = N", the condition of every table keyed by id.
QString where_id(long long id);

}  // namespace qm::store
