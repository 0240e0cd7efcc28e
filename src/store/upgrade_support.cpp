#include "store/upgrade_support.h"

#include "store/database.h"

#include <QFile>

#include <algorithm>

namespace qm::store {

void rebuild_table(database& db, const QString& table, const QString& new_definition, const QStringList& columns,
                   const QStringList& sources)
{
    const QString backup = table + QStringLiteral("_backup");
    QString copy;
    if (columns.isEmpty()) {
        copy = QStringLiteral("INSERT INTO [%1] SELECT * FROM [%2];").arg(table, backup);
    } else {
        QStringList into;
        for (const QString& c : columns)
            into << QLatin1Char('[') + c + QLatin1Char(']');
        const QStringList& from = sources.isEmpty() ? into : sources;
        copy = QStringLiteral("INSERT INTO [%1] (%2) SELECT %3 FROM [%4];")
                   .arg(table, into.join(QLatin1Char(',')), from.join(QLatin1Char(',')), backup);
    }
    // One copy of the rows instead of two: the old table steps aside under
    // the backup name, and the new one is created under its own name so that
    // its statement reads exactly as in a new file.
    db.execute(QStringLiteral("ALTER TABLE [%1] RENAME TO [%2];").arg(table, backup) + new_definition +
               QStringLiteral(";") + copy);
    // The old table's rows live on in the new one (and in the backup), so
    // zeroing its freed pages, as a secure-delete build would, protects
    // nothing and writes and journals the whole table once more.
    const std::int64_t secure = scalar(db, QStringLiteral("PRAGMA secure_delete"));
    const QString restore = QStringLiteral("PRAGMA secure_delete = %1;").arg(secure);
    db.execute(QStringLiteral("PRAGMA secure_delete = 0;"));
    try {
        db.execute(QStringLiteral("DROP TABLE [%1];").arg(backup));
    } catch (...) {
        db.execute(restore);
        throw;
    }
    db.execute(restore);
}

QStringList defined_columns(const QString& definition)
{
    const int open = definition.indexOf(QLatin1Char('('));
    const int close = definition.lastIndexOf(QLatin1Char(')'));
    QStringList names;
    for (const QString& part : definition.mid(open + 1, close - open - 1).split(QLatin1Char(','))) {
        QString name = part.trimmed().section(QLatin1Char(' '), 0, 0);
        name.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
        names << name;
    }
    return names;
}

namespace {
QString bare(QString name)
{
    return name.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
}
}  // namespace

table_plan compose(const table_plan& first, const table_plan& second)
{
    const QStringList first_columns = first.columns.isEmpty() ? defined_columns(first.definition) : first.columns;
    // What each column of first's result holds, over the table on disk.
    auto source_of = [&](const QString& column) -> QString {
        const int i = first_columns.indexOf(bare(column));
        if (i < 0)
            return QString();
        return first.sources.isEmpty() ? QLatin1Char('[') + first_columns[i] + QLatin1Char(']') : first.sources[i];
    };
    table_plan result;
    result.definition = second.definition;
    if (second.columns.isEmpty()) {
        // By position: the i-th column of the new table from first's i-th.
        const QStringList all = defined_columns(first.definition);
        result.columns = defined_columns(second.definition);
        for (int i = 0; i < result.columns.size() && i < all.size(); ++i)
            result.sources << source_of(all[i]);
        result.columns = result.columns.mid(0, result.sources.size());
        return result;
    }
    result.columns = second.columns;
    const QStringList& sources = second.sources.isEmpty() ? second.columns : second.sources;
    for (const QString& expression : sources) {
        const QString from = source_of(expression);
        // Anything that is not a column of first's result is a value.
        result.sources << (from.isEmpty() ? expression : from);
    }
    return result;
}

std::int64_t scalar(database& db, const QString& sql)
{
    statement s = db.prepare(sql);
    std::int64_t value = 0;
    if (!db.step(s))
        value = db.column_int64(s, 1);
    db.finalize(s);
    return value;
}

bool table_exists(database& db, const QString& table)
{
    statement s = db.prepare(QStringLiteral("SELECT COUNT(*) FROM [sqlite_master] WHERE [type] = 'table' AND "
                                            "lower([name]) = lower(?)"));
    db.bind_text(s, 1, table);
    std::int64_t n = 0;
    if (!db.step(s))
        n = db.column_int64(s, 1);
    db.finalize(s);
    return n > 0;
}

QStringList table_columns(database& db, const QString& table)
{
    QStringList names;
    statement s = db.prepare(QStringLiteral("PRAGMA table_info([%1])").arg(table));
    while (!db.step(s))
        names << db.column_text(s, 2);
    db.finalize(s);
    return names;
}

void seed_counter(database& db, int kind, const QString& table)
{
    const std::int64_t next = scalar(db, QStringLiteral("SELECT MAX(id) FROM ") + table) + 1;
    if (scalar(db, QStringLiteral("SELECT COUNT(*) FROM [Ids] WHERE [id] = %1").arg(kind)) == 0) {
        db.execute(QStringLiteral("Insert into [Ids] values(%1, %2)").arg(kind).arg(next));
    } else {
        const std::int64_t stored = scalar(db, QStringLiteral("SELECT [next_id] FROM [Ids] WHERE [id] = %1").arg(kind));
        db.execute(QStringLiteral("UPDATE [Ids] SET [next_id] = %1 WHERE [id] = %2")
                       .arg(std::max(next, stored))
                       .arg(kind));
    }
}

void remove_settings_file(const QString& settings_folder, const QString& name)
{
    if (!settings_folder.isEmpty())
        QFile::remove(settings_folder + name);
}

}  // namespace qm::store
