#include "app/data_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef QUILLMERE_INSTALL_PREFIX
#define QUILLMERE_INSTALL_PREFIX "/usr/local"
#endif

namespace qm::app {

QString with_trailing_slash(const QString& path)
{
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

bool is_installed(const QString& program_folder, const QString& install_prefix)
{
    const QString prefix = with_trailing_slash(QDir::cleanPath(install_prefix));
    if (prefix.isEmpty())
        return false;
    return with_trailing_slash(program_folder).startsWith(prefix);
}

QString choose_data_folder(const folder_facts& facts, bool installed)
{
    if (!facts.storage_directory.isEmpty())
        // A folder typed without its final separator still names the folder.
        return with_trailing_slash(facts.storage_directory);
    if (installed)
        return with_trailing_slash(facts.user_data_folder) + QStringLiteral("Quillmere Planner/");
    return with_trailing_slash(facts.program_folder);
}

bool make_folder(const QString& folder) { return QDir().mkpath(folder); }

namespace {

bool matches(const QString& name, const QString& pattern)
{
    if (pattern == QLatin1String("*.*"))
        return true;
    return QDir::match(pattern, name);
}

}  // namespace

bool move_folder_contents(const QString& source, const QString& destination, const QString& pattern)
{
    QDir from(source);
    if (!from.exists())
        return false;
    QDir to(destination);
    if (!to.exists() && !QDir().mkdir(destination))
        return false;

    const QFileInfoList entries =
        from.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (!matches(entry.fileName(), pattern))
            continue;
        const QString target = with_trailing_slash(destination) + entry.fileName();
        if (entry.isDir() && !entry.isSymLink()) {
            move_folder_contents(entry.absoluteFilePath(), target, pattern);
            continue;
        }
        if (!QFile::rename(entry.absoluteFilePath(), target))
            return false;
    }
    if (pattern == QLatin1String("*.*"))
        from.rmdir(from.absolutePath());
    return true;
}

bool move_portable_data(const QString& program_folder, const QString& data_folder,
                        const QString& storage_directory)
{
    const QString program = with_trailing_slash(program_folder);
    const QString data = with_trailing_slash(data_folder);
    if (QDir::cleanPath(program + database_file_name()) == QDir::cleanPath(data + database_file_name()))
        return false;
    if (!storage_directory.isEmpty())
        return false;
    if (!QFileInfo::exists(program + database_file_name()) || QFileInfo::exists(data + database_file_name()))
        return false;

    make_folder(data);
    move_folder_contents(program + QStringLiteral("settings"), data + QStringLiteral("settings"), QStringLiteral("*.*"));
    move_folder_contents(program, data, QStringLiteral("*.db"));
    move_folder_contents(program, data, QStringLiteral("*.dmp"));
    return true;
}

namespace {

folder_facts system_facts()
{
    folder_facts f;
    f.program_folder = with_trailing_slash(QCoreApplication::applicationDirPath());
    f.install_prefix = QStringLiteral(QUILLMERE_INSTALL_PREFIX);
    f.user_data_folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return f;
}

}  // namespace

data_folder_locator::data_folder_locator() : data_folder_locator(system_facts()) {}

data_folder_locator::data_folder_locator(folder_facts facts)
    : facts_(std::move(facts)), installed_(is_installed(facts_.program_folder, facts_.install_prefix))
{
}

QString data_folder_locator::data_folder() const { return choose_data_folder(facts_, installed_); }

QString data_folder_locator::home_settings_folder() const
{
    folder_facts home = facts_;
    home.storage_directory.clear();
    return choose_data_folder(home, installed_) + QStringLiteral("settings/");
}

}  // namespace qm::app
