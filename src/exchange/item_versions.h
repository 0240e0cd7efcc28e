#pragma once
// The server's version (ETag) of each item as the planner last read or wrote
// it, kept between runs in a small file of its own: an export compares it
// with the server's version now, so an item changed on the server since the
// last import is not overwritten. One line per item: id, tab, version.
// Items without versions (files) are not kept.

#include <QString>

#include <map>

namespace qm::exchange {

class item_versions {
public:
    static item_versions load(const QString& path);
    bool save(const QString& path) const;

    QString get(const QString& entry_id) const;
    void set(const QString& entry_id, const QString& etag);
    bool empty() const { return versions_.empty(); }

private:
    std::map<QString, QString> versions_;
};

}  // namespace qm::exchange
