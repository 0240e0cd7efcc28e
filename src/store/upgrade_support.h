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

// A rebuild not yet carried out: the new table's statement, its columns to
// fill and, for each, what it is read from in the table on disk now.
struct table_plan {
    QString definition;
    QStringList columns;
    QStringList sources;
};

// The column names of a CREATE TABLE statement, in order.
QStringList defined_columns(const QString& definition);

// The plan that first carries out first (over the table on disk) and then
// second (over first's result) in one copy. An empty column list in second
// means every column of its definition, by position.
table_plan compose(const table_plan& first, const table_plan& second);

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
