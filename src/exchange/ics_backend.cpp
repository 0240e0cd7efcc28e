#include "exchange/ics_backend.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace qm::exchange {

calendar_ref ics_backend::calendar_of(const QString& path)
{
    const QFileInfo info(path);
    return calendar_ref{store_id(), info.absoluteFilePath(), info.fileName()};
}

ics_backend::ics_backend(QStringList files) : files_(std::move(files)) {}

bool ics_backend::connect(QString&) { return true; }

bool ics_backend::list_calendars(std::vector<calendar_ref>& out, QString&)
{
    for (const QString& f : files_)
        out.push_back(calendar_of(f));
    return true;
}

ics_backend::open_file* ics_backend::file(const QString& path, bool for_writing, QString& error)
{
    if (auto it = open_.find(path); it != open_.end())
        return &it->second;
    open_file f;
    QFile in(path);
    if (!in.exists()) {
        if (!for_writing) {
            error = QStringLiteral("The file %1 does not exist.").arg(path);
            return nullptr;
        }
    } else {
        if (in.size() > max_ics_bytes) {
            error = QStringLiteral("The file %1 is larger than %2 MB and is not read.")
                        .arg(path)
                        .arg(max_ics_bytes / (1024 * 1024));
            return nullptr;
        }
        if (!in.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("The file %1 cannot be read: %2").arg(path, in.errorString());
            return nullptr;
        }
        const QByteArray bytes = in.read(max_ics_bytes + 1);
        QString why;
        if (!f.document.parse(bytes, why)) {
            error = QStringLiteral("%1 (%2)").arg(why, path);
            return nullptr;
        }
    }
    return &open_.emplace(path, std::move(f)).first->second;
}

bool ics_backend::list_items(const calendar_ref& calendar, std::vector<calendar_item>& out,
                             std::vector<item_problem>& problems, QString& error)
{
    open_file* f = file(calendar.entry_id, false, error);
    if (f == nullptr)
        return false;
    out = f->document.items();
    problems = f->document.problems();
    return true;
}

bool ics_backend::write_item(const calendar_ref& calendar, calendar_item& item, QString& error)
{
    open_file* f = file(calendar.entry_id, true, error);
    if (f == nullptr)
        return false;
    f->document.write(item);
    f->changed = true;
    return true;
}

std::optional<calendar_item> ics_backend::find_by_guid(const calendar_ref& calendar, const QString& guid)
{
    QString error;
    open_file* f = file(calendar.entry_id, true, error);
    if (f == nullptr)
        return std::nullopt;
    for (const calendar_item& i : f->document.items())
        if (i.guid == guid || i.entry_id == guid)
            return i;
    return std::nullopt;
}

bool ics_backend::remove_item(const calendar_ref& calendar, const QString& entry_id, QString& error)
{
    open_file* f = file(calendar.entry_id, false, error);
    if (f == nullptr)
        return false;
    f->changed = f->document.remove(entry_id) || f->changed;
    return true;
}

bool ics_backend::finish(QString& error)
{
    bool ok = true;
    for (auto& [path, f] : open_) {
        if (!f.changed)
            continue;
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(f.document.serialize()) < 0 || !out.commit()) {
            error = QStringLiteral("The file %1 cannot be written: %2").arg(path, out.errorString());
            ok = false;
            continue;
        }
        f.changed = false;
    }
    return ok;
}

}  // namespace qm::exchange
