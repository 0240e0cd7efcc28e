#pragma once
// Every project and milestone of the program: the project order among the
// siblings of one parent, kept gap-free from 0 in memory and on disk alike,
// the statistics computed from the projects' tasks, and the list order of the
// project list. Main thread only.

#include "model/project.h"
#include "model/project_facade.h"
#include "model/task_store.h"

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

namespace qm::model {

using project_ptr = std::shared_ptr<project>;

namespace project_message {
constexpr int added = 37968;
constexpr int about_to_change = 37969;
constexpr int about_to_delete = 37970;
constexpr int changed = 37971;
constexpr int statistics_changed = 37972;
}  // namespace project_message

class project_store {
public:
    project_store(store::tables& tables, store::db_writer& writer, task_store& tasks);

    // Start-up load inside the start-up transaction, after the tasks and the
    // comments: statistics, the repair of old unnumbered projects (written
    // back) and of milestones whose parent is gone or loops (memory only).
    // Fills the task store's project hooks.
    void load(store::database& db);

    // ---- lookups ----
    const std::vector<project_ptr>& all() const { return all_; }
    project_ptr find(std::int32_t id) const;
    // The projects with that parent, by priority_value.
    std::vector<project*> children(std::int32_t parent) const;
    // The top-level project above a milestone (the project itself at the top).
    const project* top_of(const project& p) const;
    int next_value(const project& p) const;
    // Every project in the order of the project list.
    std::vector<project*> list_order() const;
    // True when a comes before b in the project list.
    bool list_less(const project& a, const project& b) const;
    // "1 ", "2.1 ".
    QString outline_number(const project& p) const;

    // ---- the store operations (each written and announced) ----
    void add_project(project_ptr p);
    // p is the stored project holding its new values; before is its copy.
    // Returns the tasks whose role followed a role change, as they were.
    std::vector<task> update_project(const project& before, project& p);
    void delete_project(project_ptr p);
    // Gives the projects of a parent the values 0, 1, 2 … in (value, id) order.
    void renumber(std::int32_t parent);

    // ---- statistics ----
    void recompute(std::int32_t id);
    void recompute_all();

    // Told of every project added, changed (deleted = false) or deleted, for
    // the path agent.
    std::function<void(const project& p, bool deleted)> on_project_news;

private:
    void shift(std::int32_t parent, int from, int to, int delta, std::int32_t except);
    void open_place(std::int32_t parent, int position, std::int32_t id);
    void close_place(std::int32_t parent, int position, std::int32_t id);
    void write(const project& p);
    std::vector<const project*> chain(const project& p) const;

    store::tables& tables_;
    project_facade facade_;
    task_store& tasks_;
    std::vector<project_ptr> all_;
    std::unordered_map<std::int32_t, project_ptr> by_id_;
};

}  // namespace qm::model
