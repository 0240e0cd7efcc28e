#include "exchange/exchange_run.h"

#include "model/task_recurrences.h"

#include <QThread>
#include <QUuid>

#include <algorithm>

namespace qm::exchange {

QString import_group_label() { return QStringLiteral("Outlook import"); }

// One planner appointment to write, gathered on the main thread.
struct exchange_run::export_job {
    std::int32_t task = 0;
    calendar_item item;
    logged_item line;
    std::optional<time::recurrence> pattern;  // the line's pattern lives here
    struct link {
        std::int32_t id = 0;
        calendar_ref calendar;
        QString entry_id;
        QString guid;
    };
    std::vector<link> links;  // the task's associations
};

// Where an exported appointment went.
struct exchange_run::export_result {
    std::int32_t task = 0;
    std::int32_t association = 0;  // 0: a new association
    calendar_ref calendar;
    QString entry_id;
    QString guid;
    QString etag;
};

exchange_run::exchange_run(planner_side planner, std::unique_ptr<calendar_backend> backend, exchange_request request)
    : planner_(planner), backend_(std::move(backend)), request_(std::move(request))
{
    range_ = range_for(request_.range, time::today());
}

exchange_run::~exchange_run()
{
    cancelled_ = true;
    if (thread_ != nullptr) {
        thread_->wait();
        delete thread_;
    }
}

void exchange_run::start()
{
    const bool import = request_.dir == direction::import_;
    if (on_line)
        on_line(import ? QStringLiteral("Preparing import process...") : QStringLiteral("Preparing export process..."),
                false);
    if (import) {
        thread_ = QThread::create([this] {
            run_import();
            backend_->release();
        });
    } else {
        // The appointments are copied here: the worker never reads the model.
        std::vector<export_job> jobs = export_jobs();
        versions_ = item_versions::load(request_.versions_file);
        thread_ = QThread::create([this, jobs = std::move(jobs)] {
            run_export(jobs);
            backend_->release();
        });
    }
    thread_->start();
}

// ---- posting to the main thread ----

void exchange_run::post_line(const QString& line, bool error)
{
    QMetaObject::invokeMethod(&receiver_, [this, line, error] {
        if (error)
            ++errors_;
        if (on_line)
            on_line(line, error);
    }, Qt::QueuedConnection);
}

void exchange_run::post_progress(int value, int maximum)
{
    QMetaObject::invokeMethod(&receiver_, [this, value, maximum] {
        if (on_progress)
            on_progress(value, maximum);
    }, Qt::QueuedConnection);
}

void exchange_run::post_status(const QString& status)
{
    QMetaObject::invokeMethod(&receiver_, [this, status] {
        if (on_status)
            on_status(status);
    }, Qt::QueuedConnection);
}

void exchange_run::post_finish(const QString& last_line, bool error)
{
    QMetaObject::invokeMethod(&receiver_, [this, last_line, error] { finish(last_line, error); }, Qt::QueuedConnection);
}

void exchange_run::finish(const QString& last_line, bool error)
{
    if (error)
        ++errors_;
    if (on_line && !last_line.isEmpty())
        on_line(last_line, error);
    finished_ = true;
    if (on_status)
        on_status(last_line);
    if (on_finished)
        on_finished();
}

// ---- import ----

// Connects and lists the calendars; on failure the run is finished with the
// reason and false is returned.
bool exchange_run::open_backend(std::vector<calendar_ref>& known, QString& error)
{
    if (!backend_->connect(error)) {
        post_finish(error, true);
        return false;
    }
    if (!backend_->list_calendars(known, error)) {
        post_finish(no_calendar_list(error), true);
        return false;
    }
    return true;
}

void exchange_run::run_import()
{
    QString error;
    std::vector<calendar_ref> known;
    if (!open_backend(known, error))
        return;
    std::vector<calendar_data> read;
    const int count = static_cast<int>(request_.calendars.size());
    for (int i = 0; i < count; ++i) {
        if (cancelled_) {
            post_finish(QStringLiteral("Importing canceled."), false);
            return;
        }
        calendar_data data;
        data.calendar = request_.calendars[static_cast<std::size_t>(i)];
        const auto found = std::find(known.begin(), known.end(), data.calendar);
        if (found != known.end() && !found->name.isEmpty())
            data.calendar.name = found->name;
        post_status(QStringLiteral("Reading %1...").arg(data.calendar.name));
        post_progress(i, count);
        // A calendar that cannot be read ends the run before the planner
        // changes: half an import would remove what the other half lacks.
        if (found == known.end()) {
            post_finish(no_calendar_data() + QStringLiteral(" (%1)").arg(data.calendar.name), true);
            return;
        }
        if (!backend_->list_items(data.calendar, data.items, data.problems, error)) {
            post_finish(no_calendar_data() + (error.isEmpty() ? QString() : QStringLiteral(" ") + error), true);
            return;
        }
        std::stable_sort(data.items.begin(), data.items.end(),
                         [](const calendar_item& a, const calendar_item& b) { return a.start < b.start; });
        read.push_back(std::move(data));
    }
    post_progress(count, count);
    QMetaObject::invokeMethod(&receiver_, [this, read = std::move(read)] { apply_import(read); }, Qt::QueuedConnection);
}

void exchange_run::apply_import(const std::vector<calendar_data>& data)
{
    if (cancelled_) {
        finish(QStringLiteral("Importing canceled."), false);
        return;
    }
    if (on_line)
        on_line(QStringLiteral("Importing..."), false);
    if (on_status)
        on_status(QStringLiteral("Importing..."));
    import_changes changes(planner_.history, planner_.tasks, planner_.recurrences, planner_.tables);
    const log_sink log = [this](const QString& line, bool error) {
        if (error)
            ++errors_;
        if (on_line)
            on_line(line, error);
    };
    planner_.history.begin_group(import_group_label(), history::group_flag::labelled);
    int total = 0, done = 0;
    for (const calendar_data& d : data)
        total += static_cast<int>(d.items.size());
    for (const calendar_data& d : data) {
        changes.apply(d, range_, log, [this, &done, total] {
            if (on_progress)
                on_progress(++done, total);
            return cancelled_.load();
        });
        if (cancelled_)
            break;
    }
    planner_.history.end_group();
    changes_ = changes.changes();
    // The versions read are what a later export compares the server with.
    item_versions versions = item_versions::load(request_.versions_file);
    for (const calendar_data& d : data)
        for (const calendar_item& i : d.items)
            if (!i.etag.isEmpty())
                versions.set(i.entry_id, i.etag);
    if (!versions.empty())
        versions.save(request_.versions_file);
    if (cancelled_)
        finish(QStringLiteral("Importing canceled."), false);
    else if (changes_ == 0 && std::all_of(data.begin(), data.end(), [this](const calendar_data& d) {
                 return std::none_of(d.items.begin(), d.items.end(),
                                     [this](const calendar_item& i) { return in_range(i, range_); });
             }))
        finish(QStringLiteral("No appointments found to import."), false);
    else
        finish(QStringLiteral("Finished importing."), false);
}

// ---- export ----

std::vector<exchange_run::export_job> exchange_run::export_jobs() const
{
    std::vector<export_job> jobs;
    for (const model::task_ptr& t : planner_.tasks.all()) {
        if (!t->appointment || t->is_folder() || t->appointment_start < 0 || t->recurrence != 0 ||
            t->date == time::NO_DATE || t->date == time::FOLDER_DATE)
            continue;  // occurrences go out with their master
        const time::recurrence* pattern = nullptr;
        if (t->date == time::RECURRENCE_MASTER_DATE) {
            pattern = planner_.recurrences.pattern_of(t->id);
            if (pattern == nullptr)
                continue;
        }
        if (!appointment_in_range(t->date, t->appointment_start, t->appointment_duration, pattern, range_))
            continue;
        export_job job;
        job.task = t->id;
        job.item.subject = t->name;
        job.item.body = t->description;
        job.item.start = (pattern != nullptr ? pattern->starting_date : t->date) + t->appointment_start;
        job.item.end = job.item.start + std::max(0, t->appointment_duration);
        if (pattern != nullptr) {
            job.pattern = *pattern;
            job.item.recurrence = *pattern;
            job.item.exceptions = planner_.recurrences.deleted_dates(t->id);
        }
        job.line.name = t->name;
        job.line.kind = pattern != nullptr ? item_kind::master : item_kind::appointment;
        job.line.date = t->date;
        job.line.start = t->appointment_start;
        for (const auto& a : planner_.tables.outlook_items.cache()) {
            if (a->task != t->id)
                continue;
            export_job::link l{a->id, {}, a->entry_id, a->guid};
            if (const auto f = planner_.tables.outlook_folders.find(a->outlook_folder_entry))
                l.calendar = calendar_ref{f->store_id, f->entry_id, QString()};
            job.links.push_back(l);
        }
        jobs.push_back(std::move(job));
    }
    std::sort(jobs.begin(), jobs.end(), [](const export_job& a, const export_job& b) { return a.item.start < b.item.start; });
    return jobs;
}

namespace {

bool same_content(const calendar_item& a, const calendar_item& b)
{
    auto sorted = [](std::vector<time::stored_date> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    const bool same_pattern = a.recurrence.has_value() == b.recurrence.has_value() &&
                              (!a.recurrence || a.recurrence->same_pattern(*b.recurrence));
    return a.subject == b.subject && a.body == b.body && a.start == b.start && a.end == b.end && same_pattern &&
           sorted(a.exceptions) == sorted(b.exceptions);
}

}  // namespace

void exchange_run::run_export(const std::vector<export_job>& jobs)
{
    QString error;
    std::vector<calendar_ref> known;
    if (!open_backend(known, error))
        return;
    auto known_name = [&known](calendar_ref c) {
        const auto found = std::find(known.begin(), known.end(), c);
        if (found != known.end())
            c.name = found->name;
        return c;
    };
    if (jobs.empty()) {
        post_finish(QStringLiteral("No appointments found under: \"%1.\"").arg(range_names().value(request_.range)),
                    false);
        return;
    }
    post_line(QStringLiteral("Exporting..."), false);
    std::vector<export_result> results;
    const int count = static_cast<int>(jobs.size());
    for (int i = 0; i < count; ++i) {
        if (cancelled_)
            break;
        const export_job& job = jobs[static_cast<std::size_t>(i)];
        post_progress(i, count);
        post_status(QStringLiteral("Exporting %1...").arg(job.item.subject));

        // Its associated item in one of the chosen calendars, found by its
        // guid; else a new item in the default calendar.
        std::optional<calendar_item> existing;
        calendar_ref target;
        const export_job::link* used = nullptr;
        for (const export_job::link& l : job.links) {
            for (const calendar_ref& c : request_.calendars) {
                if (existing)
                    break;
                if (auto found = backend_->find_by_guid(c, l.guid)) {
                    existing = found;
                    target = known_name(c);
                    used = &l;
                }
            }
        }
        calendar_item item = job.item;
        export_result result;
        result.task = job.task;
        if (existing) {
            item.entry_id = existing->entry_id;
            item.etag = existing->etag;
            item.guid = existing->guid;
            result.association = used->calendar == target && used->entry_id == item.entry_id ? -1 : used->id;
        } else {
            target = known_name(request_.default_calendar);
            if (std::find(known.begin(), known.end(), target) == known.end()) {
                post_line(error_line(job.item.subject, QStringLiteral("no calendar to export new appointments to")), true);
                continue;
            }
            item.guid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        }
        if (existing && same_content(*existing, item))
            continue;
        if (existing && !existing->etag.isEmpty()) {
            // Changed on the server since the planner last read or wrote it:
            // writing now would silently undo that change.
            const QString known = versions_.get(existing->entry_id);
            if (!known.isEmpty() && known != existing->etag) {
                post_line(error_line(job.item.subject,
                                     QStringLiteral("the appointment was changed on the server since it was last "
                                                    "imported, so it was not overwritten; import it first")),
                          true);
                continue;
            }
        }
        bool written = false;
        try {
            written = backend_->write_item(target, item, error);
        } catch (const std::exception& e) {
            error = QString::fromLocal8Bit(e.what());
        } catch (...) {
            post_line(QStringLiteral("Unknown error while updating %1.").arg(job.item.subject), true);
            continue;
        }
        if (!written) {
            post_line(error_line(job.item.subject, error), true);
            continue;
        }
        result.calendar = target;
        result.entry_id = item.entry_id;
        result.guid = item.guid;
        result.etag = item.etag;
        results.push_back(result);
        post_line(item_line(direction::export_, existing ? change::changed : change::added,
                            logged_item{job.line.name, job.line.kind, job.pattern ? &*job.pattern : nullptr,
                                        job.line.date, job.line.start},
                            target.name),
                  false);
    }
    // What was written stays written, cancelled or not.
    const bool wrote = backend_->finish(error);
    QMetaObject::invokeMethod(&receiver_, [this, results] { record_exported(results); }, Qt::QueuedConnection);
    if (!wrote)
        post_finish(error, true);
    else if (cancelled_)
        post_finish(QStringLiteral("Exporting canceled."), false);
    else {
        post_progress(count, count);
        post_finish(QStringLiteral("Finished exporting."), false);
    }
}

void exchange_run::record_exported(const std::vector<export_result>& results)
{
    item_versions versions = item_versions::load(request_.versions_file);
    for (const export_result& r : results)
        versions.set(r.entry_id, r.etag);
    if (!results.empty())
        versions.save(request_.versions_file);
    for (const export_result& r : results) {
        if (r.association == -1)
            continue;  // the association was right already
        const store::dbtofe::record_ptr folder = import_changes::folder_entry(planner_.tables, r.calendar);
        store::outlook_item_record a;
        a.task = r.task;
        a.entry_id = r.entry_id;
        a.outlook_folder_entry = folder->id;
        a.guid = r.guid;
        if (r.association > 0 && planner_.tables.outlook_items.find(r.association)) {
            a.id = r.association;
            planner_.tables.outlook_items.modify_entity(a);
        } else {
            planner_.tables.outlook_items.add_entity(a);
        }
        ++changes_;
    }
}

}  // namespace qm::exchange
