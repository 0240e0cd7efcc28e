#pragma once
// One import or export: the backend is driven on a worker thread of its own
// while the planner's side stays on the main thread. The worker posts its
// lines, progress and results through queued calls; the main thread applies
// an import as one history group ("Outlook import") and records the
// associations of an export. Made, started, cancelled and destroyed on the
// main thread; the callbacks run there too.

#include "exchange/calendar_backend.h"
#include "exchange/exchange_texts.h"
#include "exchange/import_changes.h"
#include "exchange/item_versions.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace qm::exchange {

struct exchange_request {
    direction dir = direction::import_;
    int range = range_choice::future;
    std::vector<calendar_ref> calendars;  // read from (import) or looked in (export)
    calendar_ref default_calendar;        // export: where new appointments go
    QString versions_file;                // the items' server versions between runs (item_versions)
};

struct planner_side {
    history::history& history;
    model::task_store& tasks;
    model::task_recurrences& recurrences;
    store::tables& tables;
};

// The label of the history group of an import.
QString import_group_label();

class exchange_run {
public:
    exchange_run(planner_side planner, std::unique_ptr<calendar_backend> backend, exchange_request request);
    ~exchange_run();  // cancels and waits for the worker
    exchange_run(const exchange_run&) = delete;
    exchange_run& operator=(const exchange_run&) = delete;

    void start();
    // Ends the run at the next item with "Importing canceled." or
    // "Exporting canceled."; what an import already changed stays undoable.
    void cancel() { cancelled_ = true; }
    bool finished() const { return finished_; }
    bool had_errors() const { return errors_ > 0; }
    int changes() const { return changes_; }

    std::function<void(const QString& line, bool error)> on_line;
    std::function<void(int value, int maximum)> on_progress;
    std::function<void(const QString& status)> on_status;
    std::function<void()> on_finished;

private:
    struct export_job;
    struct export_result;

    bool open_backend(std::vector<calendar_ref>& known, QString& error);
    void run_import();
    void run_export(const std::vector<export_job>& jobs);
    std::vector<export_job> export_jobs() const;
    void apply_import(const std::vector<calendar_data>& data);
    void record_exported(const std::vector<export_result>& results);

    // Worker side: each posts to the main thread.
    void post_line(const QString& line, bool error);
    void post_progress(int value, int maximum);
    void post_status(const QString& status);
    void post_finish(const QString& last_line, bool error);
    void finish(const QString& last_line, bool error);

    planner_side planner_;
    std::unique_ptr<calendar_backend> backend_;
    exchange_request request_;
    date_range range_;
    item_versions versions_;  // read by the worker of an export only while it runs
    QObject receiver_;  // lives on the main thread: the target of the queued calls
    QThread* thread_ = nullptr;
    std::atomic<bool> cancelled_{false};
    bool finished_ = false;
    int errors_ = 0;
    int changes_ = 0;
};

}  // namespace qm::exchange
