#pragma once
// A project (a goal that tasks contribute to) or a milestone (a project under
// another project): a row of Projects, its comments and its statistics.
// Project objects belong to the project store; main thread only.

#include "store/records.h"
#include "time/clock.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace qm::model {

// The method of a project's top-level tasks, as the folder_type column holds it.
namespace project_method {
constexpr int roi = 0;
constexpr int manual = 1;
}  // namespace project_method

// Recomputed from the project's tasks whenever one of them changes.
struct project_statistics {
    int task_count = 0;  // folders included
    std::array<int, 5> per_status{};
    std::int64_t total_impact = 0;
    std::int64_t finished_impact = 0;
    std::int64_t total_time = 0;
    std::int64_t total_estimate = 0;
    std::int64_t total_time_left = 0;
    time::stored_time last_activity = 0;  // 0: none
};

struct project {
    // The columns, in table order.
    std::int32_t id = 0;
    QString name;
    QString description;
    time::stored_time finished = 0;
    time::stored_time deadline = 0;
    std::int32_t units = 0;
    std::int32_t status = 0;
    std::int32_t role = 0;
    std::int32_t type = 0;         // 1: the "No date" box
    std::int32_t folder_type = project_method::roi;
    std::int32_t priority_value = -1;  // among the siblings, from 0; -1 asks for the end
    std::int32_t parent = 0;           // the project of a milestone

    std::vector<store::comment_record> comments;  // its type-3 comments
    project_statistics statistics;

    bool is_milestone() const { return parent != 0; }
    bool is_finished() const { return status == 3; }
    bool same_columns(const project& o) const;
};

// The caption: the name, or "untitled".
QString project_caption(const project& p);
// "project: name" (the excerpt label of the history's descriptions).
QString project_label(const project& p);

// Goal Progress, 0 to 1.
double project_progress(const project_statistics& s);

}  // namespace qm::model
