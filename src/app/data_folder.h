#pragma once
// Where the user's data lives: the folder that holds "ferncastle.db", the
// settings folder and crash reports. Paths use "/" and end with one.

#include <QString>

namespace qm::app {

struct folder_facts {
    QString storage_directory;  // the "storage directory" option; empty when unset
    QString program_folder;     // folder of the running executable
    QString install_prefix;     // where an installed copy lives
    QString user_data_folder;   // the per-user data folder (XDG rules)
};

QString with_trailing_slash(const QString& path);

// The program counts as installed when its folder lies under the install prefix.
bool is_installed(const QString& program_folder, const QString& install_prefix);

// The decision order: the option when set, then the per-user folder for an
// installed copy, else the program's own folder (a portable copy).
QString choose_data_folder(const folder_facts& facts, bool installed);

inline QString database_file_name() { return QStringLiteral("ferncastle.db"); }

// Moves the entries of source matching pattern into destination, recursing
// into matching sub-folders. With "*.*" every entry matches and each walked
// folder is removed afterwards. A file that cannot be moved ends the walk of
// its folder with failure and leaves that folder in place.
bool move_folder_contents(const QString& source, const QString& destination, const QString& pattern);

// A portable copy that has become an installed one takes its data along:
// the settings tree, "*.db" and "*.dmp" move from the program folder into the
// data folder, once, and only when the data folder holds no database yet.
// Returns whether the move was attempted.
bool move_portable_data(const QString& program_folder, const QString& data_folder,
                        const QString& storage_directory);

// Creates each missing level of the folder; false when that fails.
bool make_folder(const QString& folder);

// The process-wide lookup. The installed/portable decision is made once per
// run; the storage option is looked at on every call.
class data_folder_locator {
public:
    data_folder_locator();
    explicit data_folder_locator(folder_facts facts);

    void set_storage_directory(const QString& folder) { facts_.storage_directory = folder; }
    const QString& storage_directory() const { return facts_.storage_directory; }
    const QString& program_folder() const { return facts_.program_folder; }

    QString data_folder() const;
    QString database_path() const { return data_folder() + database_file_name(); }
    QString settings_folder() const { return data_folder() + QStringLiteral("settings/"); }
    // The settings folder of the data folder chosen without the storage
    // option: "options.ini" lives here, since it names the storage folder.
    QString home_settings_folder() const;
    bool installed() const { return installed_; }

private:
    folder_facts facts_;
    bool installed_ = false;
};

}  // namespace qm::app
