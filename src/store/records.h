#pragma once
// Plain value types holding the columns of each table, in column order.
// Their behaviour belongs to the model; here they are only rows.

#include "time/clock.h"
#include "time/recurrence.h"

#include <QString>

#include <cstdint>

namespace qm::store {

struct alarm_record {
    std::int32_t id = 0;
    time::stored_time time = 0;
    QString text;
    std::int32_t attached = 0;
    std::int32_t attached_type = 0;
    std::int32_t type = 0;
    QString command;
    std::int32_t flags = 0;
    bool operator==(const alarm_record&) const;
};

struct habit_record {
    std::int32_t id = 0;
    std::int32_t type = 0;
    std::int32_t points = 0;
    std::int32_t before_time = 0;
    std::int32_t after_time = 0;
    std::int32_t duration = 0;
    std::int32_t maximum_points = 0;
    std::int32_t attached_id = 0;
    QString description;
    bool operator==(const habit_record&) const;
};

struct routine_record {
    std::int32_t id = 0;
    QString name;
    QString description;
    std::int32_t role = 0;
    std::int32_t start = 0;
    std::int32_t duration = 0;
    bool operator==(const routine_record&) const;
};

// The pattern type lives with the recurrence rules that read it.
using recurrence_record = time::recurrence;

struct role_record {
    std::int32_t id = 0;
    std::int32_t parent = 0;  // -1 a life area, 0 a role outside any, else its life area
    QString name;
    QString description;
    QString values;
    std::int32_t foreground_color = 0;
    std::int32_t background_color = 0;
    bool operator==(const role_record&) const;
};

struct context_record {
    std::int32_t id = 0;
    QString name;
    bool operator==(const context_record&) const;
};

struct task_context_record {
    std::int32_t task = 0;
    std::int32_t context = 0;
    bool operator==(const task_context_record&) const;
};

struct value_record {
    std::int32_t id = 0;
    QString name;
    QString description;
    std::int32_t index = 0;
    bool operator==(const value_record&) const;
};

struct dependency_record {
    std::int32_t entity = 0;
    std::int32_t dependency = 0;
    std::int32_t type = 0;
    bool operator==(const dependency_record&) const;
};

struct deleted_occurrence_record {
    std::int32_t task_recurrence = 0;
    time::stored_date date = 0;
    bool operator==(const deleted_occurrence_record&) const;
};

struct outlook_folder_record {
    std::int32_t id = 0;
    QString store_id;
    QString entry_id;
    bool operator==(const outlook_folder_record&) const;
};

struct outlook_item_record {
    std::int32_t id = 0;
    std::int32_t task = 0;
    QString entry_id;
    std::int32_t outlook_folder_entry = 0;
    QString guid;
    bool operator==(const outlook_item_record&) const;
};

struct comment_record {
    std::int32_t id = 0;
    std::int32_t associated_id = 0;
    time::stored_time time = 0;
    std::int32_t type = 0;  // 0 free, 1 day note, 2 task comment, 3 project comment
    QString comment;
    bool operator==(const comment_record&) const;
};

struct tracked_time_record {
    std::int32_t id = 0;
    std::int32_t task = 0;
    std::int32_t type = 0;  // 0 time on the task, 1 an interruption
    time::stored_time start = 0;
    std::int32_t duration = 0;
    QString caption;
    bool operator==(const tracked_time_record&) const;
};

}  // namespace qm::store
