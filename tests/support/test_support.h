#pragma once
// Shared fixtures: a temporary data folder, a settable clock, a started core
// and reading the database file back after the writer has drained.

#include "app/core.h"
#include "store/database.h"
#include "time/clock.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

// Failure messages show texts as texts, not as bytes.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace qm::test {

// A temporary folder, removed at the end of the test.
class temp_folder {
public:
    temp_folder();
    QString path() const;  // ends with "/"
    QString file(const QString& name) const { return path() + name; }

private:
    QTemporaryDir dir_;
};

// Sets the clock to fixed UTC seconds and offset for the life of the object.
class fixed_clock {
public:
    explicit fixed_clock(std::int64_t utc_seconds, int offset_seconds = 0);
    ~fixed_clock();
    void set(std::int64_t utc_seconds);

private:
    std::shared_ptr<std::int64_t> utc_;
};

// Data folder facts that point everything at one folder (a portable copy).
app::data_folder_locator portable_locator(const QString& folder);

// A core started on a temporary data folder, with the start-up sequence
// run as the program runs it, but no windows.
class started_core {
public:
    started_core();
    explicit started_core(const QString& folder);

    app::core& core() { return *core_; }
    QString folder() const { return folder_; }
    QString database_path() const;

    // Stops the writer (every queued write reaches the file) and opens the
    // file on a fresh connection for reading.
    store::database& drain_and_reopen();
    // Starts a new core on the same folder, as a restart of the program does.
    void restart();

private:
    std::unique_ptr<temp_folder> owned_;
    QString folder_;
    std::unique_ptr<app::core> core_;
    std::unique_ptr<store::database> reader_;
};

// Runs work on a thread of its own that lacks the capabilities letting root
// write into any folder, so that permissions hold in tests run as root too.
void run_as_plain_user(const std::function<void()>& work);
// Folder or file modes as the owner sees them: read-only, or read and write.
void make_read_only(const QString& path);
void make_writable(const QString& path);

// Records the messages shown while it lives, instead of printing them.
class recorded_messages {
public:
    recorded_messages();
    ~recorded_messages();
    QStringList texts() const;  // "caption: text", oldest first

private:
    struct recorder;
    std::shared_ptr<recorder> recorder_;
};

// Runs a query on a connection and returns every row as text cells.
std::vector<QStringList> query(store::database& db, const QString& sql);
// Opens a file on a new connection.
std::unique_ptr<store::database> open_file(const QString& path);

}  // namespace qm::test
