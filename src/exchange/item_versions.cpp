#include "exchange/item_versions.h"

#include <QFile>
#include <QSaveFile>

namespace qm::exchange {

item_versions item_versions::load(const QString& path)
{
    item_versions v;
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly))
        return v;
    const QByteArray bytes = f.read(16 * 1024 * 1024);
    for (const QByteArray& line : bytes.split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab > 0)
            v.versions_[QString::fromUtf8(line.left(tab))] = QString::fromUtf8(line.mid(tab + 1)).trimmed();
    }
    return v;
}

bool item_versions::save(const QString& path) const
{
    if (path.isEmpty())
        return true;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    for (const auto& [id, etag] : versions_)
        f.write(id.toUtf8() + '\t' + etag.toUtf8() + '\n');
    return f.commit();
}

QString item_versions::get(const QString& entry_id) const
{
    const auto it = versions_.find(entry_id);
    return it == versions_.end() ? QString() : it->second;
}

void item_versions::set(const QString& entry_id, const QString& etag)
{
    // Ids and versions come from servers: tabs and line breaks would break the file.
    if (entry_id.isEmpty() || entry_id.contains(QLatin1Char('\t')) || entry_id.contains(QLatin1Char('\n')))
        return;
    if (etag.isEmpty() || etag.contains(QLatin1Char('\n')))
        versions_.erase(entry_id);
    else
        versions_[entry_id] = etag;
}

}  // namespace qm::exchange
