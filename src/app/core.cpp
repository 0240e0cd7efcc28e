#include "app/core.h"

#include "app/conversion_presenter.h"
#include "app/heap_reserve.h"
#include "app/message_box.h"
#include "app/options.h"
#include "app/post_load_conversion.h"
#include "model/id_counters.h"
#include "model/routines.h"
#include "store/error_report.h"
#include "store/schema.h"

#include <QFileInfo>
#include <QMetaObject>

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
    prepare_data_folder(folders_);

    const QString path = folders_.database_path();
    const bool existed = QFileInfo::exists(path);
    main_db_.open(path);
    main_db_.set_busy_timeout(store::busy_timeout_milliseconds());

    conversion_presenter& presenter = current_conversion_presenter();
    // The progress window goes when the start-up is over, however it ends.
    struct finish_guard {
        conversion_presenter& p;
        ~finish_guard() { p.finished(); }
    } finish{presenter};
    store::upgrade_environment env;
    env.database_path = path;
    env.settings_folder = folders_.settings_folder();
    env.progress = [&presenter](const QString& step, int number, int count) { presenter.progress(step, number, count); };
    env.working = [&presenter] { presenter.working(); };
    env.backup_failed = [&presenter](const QString& text) {
        return presenter.backup_failed(QStringLiteral("Database backup error"), text);
    };
    env.after_step = after_conversion_step;
    env.standard_offset = conversion_standard_offset;
    upgrade_ = store::upgrade_database(main_db_, existed, env);

    if (upgrade_.restart_required) {
        // The file is only half converted: nothing can be loaded from it yet.
        main_db_.execute(QStringLiteral("BEGIN TRANSACTION;"));
        remove_orphaned_targets(main_db_);
        main_db_.execute(QStringLiteral("COMMIT;"));
        presenter.finished();
        presenter.show_notice(
            QStringLiteral("Quillmere Planner"),
            QStringLiteral("The database conversion process must now restart, please run Quillmere Planner again."));
        throw restart_requested();
    }

    store::create_indexes(main_db_);

    writer_ = std::make_unique<store::db_writer>(path);
    writer_->set_failure_handler([](const QString& message) {
        report_database_error(message);
        std::_Exit(1);
    });
    writer_->start();
    tables_ = std::make_unique<store::tables>(*writer_);
    tasks_ = std::make_unique<model::task_store>(*tables_, *writer_);
    recurrences_ = std::make_unique<model::task_recurrences>(*tables_, *tasks_);
    projects_ = std::make_unique<model::project_store>(*tables_, *writer_, *tasks_);
    roles_ = std::make_unique<model::role_store>(*tables_);
    // A new file gets the default life areas with their roles; a file from
    // before life areas existed gets the life areas alone.
    post_load_work_.try_emplace(store::pending_work::default_areas_and_roles, [this] { roles_->create_defaults(false); });
    post_load_work_.try_emplace(store::pending_work::default_areas, [this] { roles_->create_defaults(true); });

    // The loaded rows take about three times their size on disk.
    const heap_reserve reserve(static_cast<std::size_t>(std::max<qint64>(0, QFileInfo(path).size())) * 3);
    main_db_.execute(QStringLiteral("PRAGMA cache_size = 10000;"));
    main_db_.execute(QStringLiteral("PRAGMA synchronous = FULL;"));
    // Immediate: the post-load work writes on this connection after the
    // writer may have begun on its own, and a read lock cannot be raised to a
    // write lock past another writer without a deadlock.
    main_db_.execute(QStringLiteral("BEGIN IMMEDIATE TRANSACTION;"));
    // The tasks load after the recurrences, where later parts hook in too.
    store::load_hooks hooks = hooks_;
    hooks.after_recurrences = [this] {
        recurrences_->bring_up_to_date();
        if (hooks_.after_recurrences)
            hooks_.after_recurrences();
        tasks_->load(main_db_);
    };
    // The projects load after the deleted occurrences, then the path agent starts.
    hooks.after_deleted_occurrences = [this] {
        recurrences_->index_deleted();
        recurrences_->install();
        if (hooks_.after_deleted_occurrences)
            hooks_.after_deleted_occurrences();
        projects_->load(main_db_);
        start_path_agent();
    };
    store::load_tables(*tables_, main_db_, hooks);
    model::repair_id_counters(*tables_);
    run_post_load_work();
    main_db_.execute(QStringLiteral("COMMIT;"));
    give_routines_recurrences();
    schedule_ = std::make_unique<schedule::schedule_store>(*tasks_);
    schedule_->working_start = [] { return current_options().working_start; };
    schedule_->start();
    started_ = true;
}

void core::set_path_receiver(QObject* receiver, std::function<void(const QStringList&)> on_paths)
{
    path_receiver_ = receiver;
    on_paths_ = std::move(on_paths);
}

void core::start_path_agent()
{
    QObject* receiver = path_receiver_;
    std::function<void(const QStringList&)> on_paths = on_paths_;
    paths_ = std::make_unique<model::path_agent>([receiver, on_paths](const QStringList& list) {
        if (receiver != nullptr && on_paths)
            QMetaObject::invokeMethod(receiver, [on_paths, list] { on_paths(list); }, Qt::QueuedConnection);
    });
    std::vector<model::path_news> all;
    for (const auto& p : projects_->all()) {
        model::path_news n;
        n.kind = model::path_news::project;
        n.project_id = p->id;
        n.name = p->name;
        all.push_back(n);
    }
    for (const auto& t : tasks_->all())
        if (t->is_folder() && t->project != 0) {
            model::path_news n;
            n.kind = model::path_news::folder;
            n.project_id = t->project;
            n.id = t->id;
            n.parent = t->parent;
            n.name = t->name;
            all.push_back(n);
        }
    paths_->tell(std::move(all));
    model::path_agent* agent = paths_.get();
    tasks_->on_folder_news = [agent](const model::task& f, bool deleted) {
        // A folder turned back into a task leaves the list as a deleted one.
        agent->tell_folder(f.project, f.id, f.parent, f.name, deleted || !f.is_folder() || f.project == 0);
    };
    projects_->on_project_news = [agent](const model::project& p, bool deleted) {
        agent->tell_project(p.id, p.name, deleted);
    };
}

void core::run_post_load_work()
{
    if (upgrade_.target_conversion) {
        current_conversion_presenter().progress(QStringLiteral("Turning the targets of goals into folders and tasks"),
                                                1, 1);
        convert_targets(main_db_, *tasks_, upgrade_);
    }
    // Served in this order; the rest waits in the file for the part of the
    // program that does it.
    const QStringList order = {store::pending_work::routine_recurrences, store::pending_work::default_areas_and_roles,
                               store::pending_work::default_areas, store::pending_work::project_folders};
    QStringList pending = store::read_pending_work(main_db_);
    const QStringList stored = pending;
    for (const QString& work : order) {
        auto server = post_load_work_.find(work);
        if (pending.contains(work) && server != post_load_work_.end() && server->second) {
            server->second();
            pending.removeAll(work);
        }
    }
    if (pending != stored)
        store::write_pending_work(main_db_, pending);
    pending_work_ = pending;
}

void core::give_routines_recurrences()
{
    // After the start-up commit: the new rows go through the writer, which
    // could not write while the start-up transaction held the file. The
    // request leaves the file behind them, so a crash in between repeats it.
    if (!pending_work_.contains(store::pending_work::routine_recurrences))
        return;
    model::give_routines_recurrences(*tables_, *recurrences_);
    pending_work_.removeAll(store::pending_work::routine_recurrences);
    writer_->post_write([pending = pending_work_](store::database& db) { store::write_pending_work(db, pending); });
}

void core::shutdown()
{
    if (stopped_)
        return;
    stopped_ = true;
    shutting_down_ = true;
    if (paths_)
        paths_->stop();
    if (schedule_)
        schedule_->stop();
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
