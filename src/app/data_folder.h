#pragma once
// Where the user's data lives: the folder that holds "ferncastle.db", the
// settings folder and crash reports. Paths use "/" and end with one.

#include <QString>

#include <utility>

namespace qm::app {

struct folder_facts {
    QString storage_directory;  // the "storage directory" option; empty when unset
    QString program_folder;     // folder of the running executable
    QString user_data_folder;   // the per-user data folder (XDG rules)
};

QString with_trailing_slash(const QString& path);

// The program counts as installed when it runs from a "bin" folder with the
// program's shared files in "../share/quillmere/" beside it. The layout is
// looked at, not a prefix fixed when the program was built, so an installed
// tree that is moved elsewhere stays an install.
bool is_installed(const QString& program_folder);

// Where the program's own files ("alarm.wav") are: "../share/quillmere/" of
// an installed copy, the program folder of a portable one.
QString asset_folder(const QString& program_folder, bool installed);

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
    QString asset_folder() const { return app::asset_folder(facts_.program_folder, installed_); }
    // The per-user folder an installed copy uses.
    QString user_data_folder() const;

private:
    folder_facts facts_;
    bool installed_ = false;
};

// Thrown when the data folder cannot be created or written: the text says
// where, why, and what the user can do, in the user's words.
class data_folder_unusable {
public:
    explicit data_folder_unusable(QString text) : text_(std::move(text)) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

// Creates the data folder and its settings folder and makes sure a file can
// be written there; an existing database must be writable too. Throws
// data_folder_unusable otherwise, before anything has been opened.
void prepare_data_folder(const data_folder_locator& folders);

}  // namespace qm::app
