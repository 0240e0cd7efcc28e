#pragma once
// Creating a new database file, or converting one written by an older
// version in place, with a backup of the file taken first. Runs on the main
// connection inside one transaction before the start-up load.

#include <QString>
#include <QStringList>

#include <functional>
#include <map>

namespace qm::store {

class database;

// Work after the load that a conversion step asks for and that is kept in the
// file until the part of the program that does it has run it.
namespace pending_work {
inline const QString routine_recurrences = QStringLiteral("recurrences for routines");
inline const QString default_areas_and_roles = QStringLiteral("default life areas and roles");
inline const QString default_areas = QStringLiteral("default life areas");
inline const QString project_folders = QStringLiteral("project-folder conversion");
}  // namespace pending_work

// The DatabaseSettings key that holds the pending work, one request a line.
constexpr int pending_work_key = 1000;
QStringList read_pending_work(database& db);
void write_pending_work(database& db, const QStringList& work);

// What the start-up sequence must do after the load.
struct upgrade_requests {
    bool new_database = false;
    bool converted = false;      // at least one step ran
    QString from_version;        // the version text the file had
    QString backup_path;         // empty when no backup was taken
    bool restart_required = false;
    // The post-load target conversion: task id → target id and task id →
    // target priority, read before the tasks lose their target column.
    bool target_conversion = false;
    std::map<int, int> task_targets;
    std::map<int, int> task_target_priorities;
};

enum class backup_answer { cancel, try_again, go_on };

// What the conversion needs from the program around it. Every function may be
// left empty.
struct upgrade_environment {
    QString database_path;    // the file to back up
    QString settings_folder;  // where the settings files that a step removes live
    // A step begins: its description, its number (from 1) and the number of steps.
    std::function<void(const QString& step, int number, int count)> progress;
    // Called now and then inside long steps, so that a window can repaint.
    std::function<void()> working;
    // The backup could not be made; empty means cancel.
    std::function<backup_answer(const QString& text)> backup_failed;
    // The standard offset of the local zone in seconds east of UTC, used to
    // move the UTC times of files older than 1.81; empty: the system zone's.
    std::function<int()> standard_offset;
    // Called after each step's work; a test may throw here to interrupt the chain.
    std::function<void(const QString& version)> after_step;
};

// Thrown when the file was written by a newer version: nothing has been
// changed and the transaction is rolled back.
class unsupported_version {
public:
    explicit unsupported_version(QString text) : text_(std::move(text)) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

// The user chose to cancel when the backup failed; nothing has been changed.
class conversion_cancelled {};

// Creates the schema of a new file, or converts an older one, inside one
// transaction on the main connection, and stamps the version. A failing step
// rolls everything back and raises sqlite_exception naming the step and the
// backup.
upgrade_requests upgrade_database(database& db, bool existed, const upgrade_environment& env = {});

}  // namespace qm::store
