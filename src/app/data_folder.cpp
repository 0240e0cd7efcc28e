#include "app/data_folder.h"

#include "app/options.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace qm::app {

QString with_trailing_slash(const QString& path)
{
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

namespace {

// The folder of the program's shared files, relative to its "bin" folder.
const char* const shared_files_from_bin = "../share/quillmere/";

}  // namespace

bool is_installed(const QString& program_folder)
{
    const QString folder = QDir::cleanPath(program_folder);
    if (QFileInfo(folder).fileName() != QLatin1String("bin"))
        return false;
    return QFileInfo(with_trailing_slash(folder) + QLatin1String(shared_files_from_bin)).isDir();
}

QString asset_folder(const QString& program_folder, bool installed)
{
    const QString folder = with_trailing_slash(program_folder);
    if (!installed)
        return folder;
    return with_trailing_slash(QDir::cleanPath(folder + QLatin1String(shared_files_from_bin)));
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
    f.user_data_folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return f;
}

}  // namespace

data_folder_locator::data_folder_locator() : data_folder_locator(system_facts()) {}

data_folder_locator::data_folder_locator(folder_facts facts)
    : facts_(std::move(facts)), installed_(is_installed(facts_.program_folder))
{
}

QString data_folder_locator::data_folder() const { return choose_data_folder(facts_, installed_); }

QString data_folder_locator::user_data_folder() const
{
    folder_facts installed = facts_;
    installed.storage_directory.clear();
    return choose_data_folder(installed, true);
}

QString data_folder_locator::home_settings_folder() const
{
    folder_facts home = facts_;
    home.storage_directory.clear();
    return choose_data_folder(home, installed_) + QStringLiteral("settings/");
}

namespace {

// Why the folder cannot take the data, in words; empty when it can.
QString write_problem(const QString& folder)
{
    if (!make_folder(folder))
        return QStringLiteral("the folder cannot be created");
    QTemporaryFile probe(folder + QStringLiteral(".write-test-XXXXXX"));
    if (!probe.open())
        return probe.errorString();
    return QString();
}

}  // namespace

void prepare_data_folder(const data_folder_locator& folders)
{
    const QString folder = folders.data_folder();
    QString problem = write_problem(folder);
    if (problem.isEmpty())
        problem = write_problem(folders.settings_folder());
    const QFileInfo database(folders.database_path());
    if (problem.isEmpty() && database.exists() && !database.isWritable())
        problem = QStringLiteral("the database \"%1\" is read-only").arg(database_file_name());
    if (problem.isEmpty())
        return;

    QString text = QStringLiteral("Quillmere Planner cannot keep your data in the folder \"%1\": %2.\n\n")
                       .arg(QDir::toNativeSeparators(folder), problem);
    if (!folders.storage_directory().isEmpty())
        text += QStringLiteral("This folder is named by the option \"storage directory\" (section \"directories\" "
                               "of \"%1\"). Make the folder writable, or change or empty the option.")
                    .arg(QDir::toNativeSeparators(folders.home_settings_folder() + options_file_name()));
    else if (folders.installed())
        text += QStringLiteral("This is your own data folder. Check that it belongs to you and that its disk is "
                               "not full or mounted read-only.");
    else
        text += QStringLiteral("A copy that is not installed keeps its data in its own folder, and this one cannot "
                               "be written to. Move the program's folder to a place where you can write, or install "
                               "Quillmere Planner (see \"Install\" in README.md): an installed copy keeps your data "
                               "in \"%1\".")
                    .arg(QDir::toNativeSeparators(folders.user_data_folder()));
    throw data_folder_unusable(text);
}

}  // namespace qm::app
