#pragma once
// The time-spent report ("Role Balance"): the day credit of the tasks of a
// range of days summed by life area, role, project and project folder, and
// the role balance, each role's share drawn in its colour against a scale
// that for today alone is at least the preferable workload. Reads the
// stores, writes nothing. Main thread only.

#include "time/calendar.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace qm::model {
class project_store;
class role_store;
class task_store;
}  // namespace qm::model

namespace qm::schedule {

// The range buttons: "Today", "Yesterday", "Last 7 Days", "Last 30 Days".
namespace report_range {
constexpr int today = 0;
constexpr int yesterday = 1;
constexpr int last_7_days = 2;
constexpr int last_30_days = 3;
}  // namespace report_range
const QStringList& report_range_names();

struct day_span {
    time::stored_date first = 0;
    time::stored_date last = 0;
};
// Today alone, yesterday alone, or today − 7 (− 30) through yesterday.
day_span report_days(int range, time::stored_date today);

struct report_row {
    std::int32_t id = 0;  // the role, life area, project or folder; 0 for "<No Role>"
    QString name;
    std::int64_t seconds = 0;
    std::int32_t color = -1;       // roles and life areas: their fill, 0x00BBGGRR; -1 for none
    std::int32_t text_color = -1;  // and their text colour
};

namespace report_group {
constexpr int life_area = 0;
constexpr int role = 1;
constexpr int project = 2;
constexpr int folder = 3;
}  // namespace report_group

struct time_spent_group {
    int kind = report_group::life_area;
    QString heading;               // "Time Spent, by Life Area", …
    std::vector<report_row> rows;  // largest first
};

struct time_spent_report {
    day_span days;
    std::vector<time_spent_group> groups;  // only the groups that have rows, in heading order
    std::int64_t largest = 0;              // the largest row of the whole report: the bars' full length
    // The role balance: each role's share (the rows of the role group) and
    // the full scale of the graphic.
    std::vector<report_row> shares;
    std::int64_t scale = 0;
};

struct report_sources {
    const model::task_store& tasks;
    const model::project_store& projects;
    const model::role_store& roles;
};

// The report over the days of a span. preferable_workload (seconds) widens
// the scale when the span is today alone, so an unfilled day shows empty.
time_spent_report compute_time_spent(const report_sources& sources, const day_span& days, time::stored_date today,
                                     std::int64_t preferable_workload);

// The heading of a group kind.
QString report_heading(int kind);

}  // namespace qm::schedule
