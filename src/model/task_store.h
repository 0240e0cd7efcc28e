#pragma once
// Every task of the program, with its lookups, the two hand-arranged orders
// kept without gaps in memory and on disk alike, the derived values and the
// change batch. Main thread only.

#include "model/task.h"
#include "model/task_proxy.h"
#include "store/tables.h"

#include <any>
#include <functional>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace qm::model {

using task_ptr = std::shared_ptr<task>;

// Payloads of the task announcements.
struct task_change_payload {
    task before;
    const task* after = nullptr;
};
struct task_deleted_payload {
    std::int32_t id = 0;
    time::stored_date date = 0;
};

namespace task_message {
constexpr int joined = 37768;
constexpr int added = 37769;
constexpr int about_to_change = 37770;
constexpr int changed = 37771;
constexpr int about_to_delete = 37772;
constexpr int deleted = 37773;
constexpr int touched = 37774;
constexpr int timer_started = 37775;
constexpr int timer_stopped = 37776;
constexpr int batch_ended = 37777;
}  // namespace task_message

namespace change_kind {
constexpr unsigned added = 1;
constexpr unsigned changed = 2;
constexpr unsigned moved = 4;         // with changed: parent or project
constexpr unsigned date_changed = 8;  // with changed
constexpr unsigned deleted = 16;
}  // namespace change_kind

struct pending_change {
    task_ptr t;
    task before;
    unsigned kinds = 0;
};

class task_store {
public:
    task_store(store::tables& tables, store::db_writer& writer);

    // Start-up load inside the start-up transaction; attaches tags,
    // dependencies, task comments and tracked times loaded before.
    void load(store::database& db, const QString& suffix = QString());

    // ---- lookups ----
    const std::vector<task_ptr>& all() const { return all_; }
    task_ptr find(std::int32_t id) const;
    std::vector<task*> tasks_of_date(time::stored_date d) const;
    std::vector<task*> tasks_of_project(std::int32_t project) const;
    std::vector<task*> tasks_with_deadline() const;
    std::vector<task*> children(const task& t) const;
    // Children, their children and so on, each task's descendants before it.
    std::vector<task*> descendants(const task& t) const;
    task* parent_of(const task& t) const;

    // The first look at a date's list in this run runs on_first_look (the
    // recurrences create their occurrences there). Ends the change batch
    // when none was open, so views hear of what was created.
    void look_at(time::stored_date d);
    bool looked_at(time::stored_date d) const { return looked_.count(d) != 0; }
    const std::unordered_set<time::stored_date>& looked_dates() const { return looked_; }

    // The value a task would take at the end of its day or folder group.
    int next_day_value(const task& t) const;
    int next_folder_value(const task& t) const;

    // ---- the store operations ----
    // Allocates an id when the task has none and places it in its groups.
    void add_task(task_ptr t, unsigned flags = 0);
    // t is the stored task, already holding its new values; before is its
    // copy from before the change.
    void update_task(const task& before, task& t, unsigned flags = 0);
    // Takes its own reference: the caller's may be the store's, which goes.
    void delete_task(task_ptr t, unsigned flags = 0);

    // ---- the user-level wrappers, gathered into a change batch ----
    void add(task_ptr t, unsigned flags = 0);
    void change(const task& before, task& t, unsigned flags = 0);
    void remove(task_ptr t, unsigned flags = 0);
    // Deletes every descendant (each before its parent), then the task.
    // Returns the deleted tasks in deletion order.
    std::vector<task_ptr> remove_with_descendants(task_ptr t, unsigned flags = 0);
    const std::vector<pending_change>& pending() const { return pending_; }
    void end_change_batch();

    // ---- derived values ----
    std::int32_t effective_role(const task& t) const;
    std::int64_t effective_estimate(const task& t) const;
    std::int64_t baseline_estimate(const task& t) const;
    std::int64_t impact(const task& t) const;
    std::int64_t finished_impact(const task& t) const;
    std::int64_t time_spent(const task& t) const;
    std::int64_t time_left(const task& t) const;  // never negative
    std::int64_t overrun(const task& t) const;    // time spent beyond the estimate
    double roi(const task& t) const;
    double yield(const task& t) const;
    float progress(const task& t) const;
    void invalidate(const task& t) const;
    // The task and the folders above it: what a change of its own values or
    // tracked times can alter.
    void invalidate_with_ancestors(const task& t) const;

    // ---- hooks filled by the parts built later ----
    std::function<std::int32_t(std::int32_t project)> project_role;
    // A status change, unless no_status_hooks; the timers take over from here.
    std::function<void(task& t, int old_status)> on_status_change;
    // Any change written by update, unless no_status_hooks: the timers check
    // that the timed task still holds its running entry.
    std::function<void(const task& before, task& t)> on_changed;
    // Project statistics after a batch touched the project.
    std::function<void(std::int32_t project)> on_project_touched;
    // A folder added, changed (deleted = false) or deleted, for the path agent.
    std::function<void(const task& folder, bool deleted)> on_folder_news;
    // The first look at a date (above).
    std::function<void(time::stored_date)> on_first_look;

private:
    void index(task* t);
    void unindex(task* t, time::stored_date date, std::int32_t project, std::int32_t parent);
    bool is_ancestor(std::int32_t candidate, std::int32_t start) const;

    void shift_day(time::stored_date date, int priority, int from, int to, int delta, std::int32_t except);
    void shift_folder(std::int32_t parent, std::int32_t project, int from, int to, int delta, std::int32_t except);
    const std::vector<task*>& folder_group_superset(std::int32_t parent, std::int32_t project) const;
    void invalidate_ancestors(std::int32_t parent) const;
    void open_day(time::stored_date date, int priority, int position, std::int32_t id);
    void close_day(time::stored_date date, int priority, int position, std::int32_t id);
    void open_folder(std::int32_t parent, std::int32_t project, int position, std::int32_t id);
    void close_folder(std::int32_t parent, std::int32_t project, int position, std::int32_t id);

    void write_attachments(const task& before, task& t, bool tracked_times);
    void write_tags(const compact_list<tag_ref>& before, task& t);
    void write_comments(const compact_list<store::comment_record>& before, task& t);
    void write_dependencies(const compact_list<std::int32_t>& before, const task& t);
    void write_tracked_times(const compact_list<store::tracked_time_record>& before, task& t);
    void write_alarms(const compact_list<store::alarm_record>& before, task& t);
    void delete_unused_tags(const compact_list<tag_ref>& tags);

    void compute(const task& t) const;

    store::tables& tables_;
    task_proxy proxy_;
    std::vector<task_ptr> all_;
    std::unordered_map<std::int32_t, task_ptr> by_id_;
    std::unordered_map<time::stored_date, std::vector<task*>> by_date_;
    std::unordered_map<std::int32_t, std::vector<task*>> by_project_;
    std::unordered_map<std::int32_t, std::vector<task*>> by_parent_;
    std::vector<pending_change> pending_;
    std::unordered_set<time::stored_date> looked_;
};

}  // namespace qm::model
