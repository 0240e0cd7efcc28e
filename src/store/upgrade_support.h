#pragma once
// Helpers shared by the conversion steps of older database files. Main
// connection, inside the conversion's transaction.

#include <QString>
#include <QStringList>

#include <cstdint>

namespace qm::store {

class database;

// Gives a table new columns the way SQLite allows: the table is renamed to
// table + "_backup", created again with new_definition (the whole CREATE
// TABLE statement), filled from the renamed one and the renamed one dropped.
// columns lists the new table's columns to fill; sources gives, for each of
// them, the expression read from the old table (a column name, or a value
// such as 0). Empty columns: every column, by position.
void rebuild_table(database& db, const QString& table, const QString& new_definition,
                   const QStringList& columns = {}, const QStringList& sources = {});

// The first column of the first row as a 64-bit integer, 0 for no row or NULL.
std::int64_t scalar(database& db, const QString& sql);
bool table_exists(database& db, const QString& table);
// The column names of a table, in order.
QStringList table_columns(database& db, const QString& table);

// Sets the counter of a kind so that it hands out ids above every row of the
// table, never lowering a counter that is higher already: an id once given
// out is not given out again.
void seed_counter(database& db, int kind, const QString& table);

// Removes a settings file of the given folder; a missing one is not an error.
void remove_settings_file(const QString& settings_folder, const QString& name);

}  // namespace qm::store
