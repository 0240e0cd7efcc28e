#include "app/core.h"

#include "app/message_box.h"
#include "store/error_report.h"

#include <QFileInfo>

#include <atomic>
#include <cstdlib>

namespace qm::app {
namespace {
std::atomic<core*> the_core{nullptr};
}

core::core(data_folder_locator folders) : folders_(std::move(folders)) {}

core::~core()
{
    shutdown();
    core* self = this;
    the_core.compare_exchange_strong(self, nullptr);
}

core* core::instance() { return the_core.load(); }

void core::start()
{
    the_core = this;
    const QString data = folders_.data_folder();
    move_portable_data(folders_.program_folder(), data, folders_.storage_directory());
    make_folder(data);
    make_folder(folders_.settings_folder());

    const QString path = folders_.database_path();
    const bool existed = QFileInfo::exists(path);
    main_db_.open(path);
    main_db_.set_busy_timeout(60000);
    upgrade_ = store::upgrade_database(main_db_, existed);

    writer_ = std::make_unique<store::db_writer>(path);
    writer_->set_failure_handler([](const QString& message) {
        report_database_error(message);
        std::_Exit(1);
    });
    writer_->start();
    tables_ = std::make_unique<store::tables>(*writer_);
    tasks_ = std::make_unique<model::task_store>(*tables_, *writer_);
    recurrences_ = std::make_unique<model::task_recurrences>(*tables_, *tasks_);

    main_db_.execute(QStringLiteral("PRAGMA cache_size = 10000;"));
    main_db_.execute(QStringLiteral("PRAGMA synchronous = FULL;"));
    main_db_.execute(QStringLiteral("BEGIN TRANSACTION;"));
    // The tasks load after the recurrences, where later parts hook in too.
    store::load_hooks hooks = hooks_;
    hooks.after_recurrences = [this] {
        recurrences_->bring_up_to_date();
        if (hooks_.after_recurrences)
            hooks_.after_recurrences();
        tasks_->load(main_db_);
    };
    hooks.after_deleted_occurrences = [this] {
        recurrences_->index_deleted();
        recurrences_->install();
        if (hooks_.after_deleted_occurrences)
            hooks_.after_deleted_occurrences();
    };
    store::load_tables(*tables_, main_db_, hooks);
    main_db_.execute(QStringLiteral("COMMIT;"));
    started_ = true;
}

void core::shutdown()
{
    if (stopped_)
        return;
    stopped_ = true;
    shutting_down_ = true;
    if (writer_) {
        set_main_thread_blocked(true);
        writer_->stop();
        set_main_thread_blocked(false);
    }
    main_db_.close();
}

void report_database_error(const QString& message)
{
    core* c = core::instance();
    const QString sql = c != nullptr ? c->main_db().last_sql() : QString();
    show_error_message(QStringLiteral("Database Error"), store::database_error_text(message, sql));
}

}  // namespace qm::app
