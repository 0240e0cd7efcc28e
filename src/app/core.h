#pragma once
// The data side of the program's life cycle: the start-up sequence that opens
// or creates the database and loads it, and the drain at shutdown. Runs
// without windows, which is how most tests start it. Main thread only.

#include "app/data_folder.h"
#include "store/database.h"
#include "store/db_writer.h"
#include "store/id_facade.h"
#include "store/tables.h"
#include "model/path_agent.h"
#include "model/task_recurrences.h"
#include "model/project_store.h"
#include "model/role_store.h"
#include "model/task_store.h"
#include "schedule/schedule_store.h"
#include "store/upgrade.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>

namespace qm::app {

// Thrown by start() when the conversion of an older file ends with its first
// part: the notice has been shown and the file committed; the process ends
// with exit code 1 and the next run goes on converting.
class restart_requested {};

class core {
public:
    explicit core(data_folder_locator folders);
    ~core();
    core(const core&) = delete;
    core& operator=(const core&) = delete;

    // The one started core of the process, or nullptr.
    static core* instance();

    // Start-up sequence: settings folder, portable move, open or create and
    // convert, writer, pragmas, the load of every table and the work after
    // the load that a conversion asked for, in one transaction. Throws
    // data_folder_unusable, store::sqlite_exception, store::unsupported_version
    // (a newer file), store::conversion_cancelled (the user stopped at a failed
    // backup) or restart_requested.
    void start();

    // Queues the stop request behind every write and waits until all have run,
    // then closes the main connection. Safe to call twice.
    void shutdown();

    bool started() const { return started_; }
    bool shutting_down() const { return shutting_down_; }
    void set_shutting_down() { shutting_down_ = true; }

    const data_folder_locator& folders() const { return folders_; }
    data_folder_locator& folders() { return folders_; }
    store::database& main_db() { return main_db_; }
    store::db_writer& writer() { return *writer_; }
    store::id_facade& ids() { return tables_->ids; }
    store::tables& tables() { return *tables_; }
    model::task_store& tasks() { return *tasks_; }
    model::task_recurrences& recurrences() { return *recurrences_; }
    model::project_store& projects() { return *projects_; }
    model::role_store& roles() { return *roles_; }
    model::path_agent* path_agent() { return paths_.get(); }
    // The day schedules; its worker runs from the end of start() to shutdown().
    schedule::schedule_store& schedule() { return *schedule_; }
    // Where the path agent's lists go: called on the main thread through a
    // queued call on receiver, which must outlive the core's shutdown. Set
    // before start(); without one the lists are dropped.
    void set_path_receiver(QObject* receiver, std::function<void(const QStringList&)> on_paths);
    // Where later parts of the model join the start-up load; set before start().
    store::load_hooks& load_hooks() { return hooks_; }
    const store::upgrade_requests& upgrade() const { return upgrade_; }
    // The parts that serve a kind of pending work after the load (the names
    // of store::pending_work) register here before start(); work without a
    // server stays in the file for a later version.
    std::map<QString, std::function<void()>>& post_load_work() { return post_load_work_; }
    // The pending work left in the file after the start-up.
    const QStringList& pending_work() const { return pending_work_; }
    // For tests: runs after each conversion step.
    std::function<void(const QString& version)> after_conversion_step;
    std::function<int()> conversion_standard_offset;

private:
    void start_path_agent();
    void run_post_load_work();
    void give_routines_recurrences();

    data_folder_locator folders_;
    store::database main_db_;
    std::unique_ptr<store::db_writer> writer_;
    std::unique_ptr<store::tables> tables_;
    std::unique_ptr<model::task_store> tasks_;
    std::unique_ptr<model::task_recurrences> recurrences_;
    std::unique_ptr<model::project_store> projects_;
    std::unique_ptr<model::role_store> roles_;
    std::unique_ptr<model::path_agent> paths_;
    std::unique_ptr<schedule::schedule_store> schedule_;
    QObject* path_receiver_ = nullptr;
    std::function<void(const QStringList&)> on_paths_;
    store::load_hooks hooks_;
    store::upgrade_requests upgrade_;
    std::map<QString, std::function<void()>> post_load_work_;
    QStringList pending_work_;
    bool started_ = false;
    bool shutting_down_ = false;
    bool stopped_ = false;
};

// Shows the fatal "Database Error" report for a failure, with the main
// connection's last SQL text. Callable from any thread.
void report_database_error(const QString& message);

}  // namespace qm::app
