#pragma once
// What an alarm is, apart from when it is looked at: its kinds, the command
// of actions with its reader and writer, its due time, the words of its
// trigger and its countdown, and the defaults a new alarm starts from.
// Plain functions on rows of Alarms; main thread only where a task store is read.

#include "model/task_store.h"
#include "store/records.h"

#include <QString>

#include <optional>
#include <vector>

namespace qm::tracking {

using Alarm = store::alarm_record;
using alarm_ptr = std::shared_ptr<Alarm>;

namespace alarm_type {
constexpr int at_time = 0, at_time_attached = 1, before_appointment = 2, time_reaches = 3, estimate_reached = 4,
              timer_reaches = 5, timer_reaches_every = 6, finished = 7, status_changes = 8, timer_started = 9,
              timer_started_every = 10, template_ = 11, schedule_conflict = 12, deadline_conflict = 13;
}  // namespace alarm_type

namespace alarm_flag {
constexpr int next_transition = 1;
constexpr int show_window = 2;
constexpr int snoozed = 4;
}  // namespace alarm_flag

// The kinds of new alarm, as the alarm dialog numbers them.
namespace alarm_kind {
constexpr int standalone = 2, todo = 3, appointment = 4, schedule_conflict = 8, deadline = 9;
}  // namespace alarm_kind

// attached_type values of the stored default settings.
namespace template_key {
constexpr int standalone = 16, todo = 17, appointment = 18, schedule_conflict = 20, deadline = 24;
}  // namespace template_key

// 16 → 0; 17 and 18 → 1 (a task); anything else is itself.
int category(int attached_type);
inline bool is_task_alarm(const Alarm& a) { return category(a.attached_type) == 1 && a.attached != 0; }
inline bool is_template(const Alarm& a) { return a.attached_type >= 16; }
// Types 0 to 5 and 7 to 9 go once they have fired.
bool is_one_shot(int type);

// ---- the command ----

struct alarm_entry {
    QChar kind;  // '*' sound (or a file), '?' website, '>' file, ':' program
    QString argument;
    bool operator==(const alarm_entry& o) const { return kind == o.kind && argument == o.argument; }
};

// Splits a command at "|" with backslash escapes and double-quoted groups;
// nullopt when it cannot be read (a lone or unknown escape, or a quote left
// open anywhere but at the start of the last entry, which is how a single
// entry was written by older versions).
std::optional<std::vector<alarm_entry>> read_alarm_command(const QString& command);
// Each entry quoted and escaped, joined by "|". Every entry is closed by a
// quote, so that the next "|" still separates.
QString write_alarm_command(const std::vector<alarm_entry>& entries);
// The ':' entry's text for a program and its arguments.
QString program_argument(const QString& program, const QString& arguments);

// A file or program argument: the quoted program (or the whole text) and its
// parameters.
struct program_call {
    QString file;
    QString parameters;
};
program_call split_program(const QString& argument);
// A sound file without a ":" is looked for in the asset folder.
QString sound_path(const QString& argument, const QString& asset_folder);
// An address without a ":" is a web address.
QString website_address(const QString& argument);
// "*" entries that name a ".wav" of five characters or more are played.
bool plays_sound(const alarm_entry& e);

// The effects of firing. Each returns an empty text on success, else what
// went wrong in the user's words.
class alarm_actions {
public:
    virtual ~alarm_actions() = default;
    virtual QString play_sound(const QString& path) = 0;
    virtual QString open_website(const QString& address) = 0;
    virtual QString open_file(const QString& file, const QString& parameters) = 0;
    virtual QString run_program(const QString& program, const QString& parameters) = 0;
};

struct action_failure {
    QString caption;  // "Couldn't play", "Couldn't open", "Couldn't open website", "Couldn't run"
    QString text;
};
// Runs one entry; the failure, if any.
std::optional<action_failure> run_entry(const alarm_entry& e, alarm_actions& actions, const QString& asset_folder);

// ---- times and words ----

// The moment the alarm is due, for the types that have one (0, 1, 12, 13 and
// 2 on an existing appointment); nullopt otherwise.
std::optional<time::stored_time> due_time(const Alarm& a, const model::task_store& tasks);

// "Schedule before" of a task as a time of day: a to-do's appointment_duration
// (unset or 0 read as 86400); for an appointment its latest end.
std::int32_t schedule_before_of(const model::task& t);
// The earlier of the schedule-before time and a same-day deadline's time of
// day; nullopt for an appointment with no deadline on its date.
std::optional<std::int32_t> latest_end(const model::task& t);
// A deadline, a date-only one counting as the end of its day.
time::stored_time effective_deadline(time::stored_time deadline);

namespace description_style {
constexpr int alarm_prefix = 1, no_full_stop = 2, no_capital = 4;
}
QString trigger_description(const Alarm& a, int style, time::stored_time now);
// The text, or the name of the task of an attached alarm without one.
QString alarm_subject(const Alarm& a, const model::task_store& tasks);
// "alarm \"subject\" with trigger …", for the history.
QString alarm_description(const Alarm& a, const model::task_store& tasks, time::stored_time now);

// Seconds left for the countdown (types 0 to 2, 12, 13 with a due time).
std::optional<std::int64_t> countdown_seconds(const Alarm& a, const model::task_store& tasks, time::stored_time now);
// "in 5 minutes", "overdue by 30 seconds", "N/A"; bare leaves out "in " and "overdue by ".
QString countdown_text(const Alarm& a, const model::task_store& tasks, time::stored_time now, bool bare);

// The alarm window's time line: "In %1", "Now" or "%1 ago". opened is when
// the window opened (the reference of types without a time).
QString window_time_text(const Alarm& a, const model::task_store& tasks, time::stored_time now,
                         time::stored_time opened);

// ---- defaults ----

int template_key_of_kind(int kind);
// The stored default settings for a key, or nullptr.
alarm_ptr find_template(const std::vector<alarm_ptr>& cache, int key);
// A new alarm of a kind (attached to task when given): a copy of the kind's
// template without its id, or the built-in defaults (window shown, the
// default sound).
Alarm new_alarm(const std::vector<alarm_ptr>& cache, int kind, std::int32_t task = 0);

}  // namespace qm::tracking
