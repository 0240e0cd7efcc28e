#pragma once
// What the task lists do with the timer commands (Toggle, Start, Stop, Next,
// Progression, Distraction, Interruption) and with Properties and Timers >
// Edit, which open the task dialog. Shared by every task list, so that a view
// hands a command over in one call.

#include "history/task_commands.h"
#include "tracking/timer_operations.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace qm::store {
struct tables;
}
namespace qm::history {
class comment_commands;
}

namespace qm::ui {

namespace cmd {
// Task > Timers, the Day view's buttons and the Flow commands.
constexpr int timers_toggle = 41242, timers_start = 41017, timers_stop = 41018, timers_edit = 41118;
constexpr int next = 40084, progression = 40432, break_down = 40433, distraction = 40434, interruption = 40466;
constexpr int flow_next = 41056, flow_progression = 41057, flow_distraction = 41053, flow_interruption = 41054,
              flow_break_down = 41055;
constexpr int add_comment = 40991;
}  // namespace cmd

class task_actions {
public:
    task_actions(tracking::timer_operations& ops, history::task_commands& commands, model::task_store& store,
                 store::tables& tables, QString dialog_settings_file);

    tracking::task_timer& timer() { return ops_.timer(); }
    tracking::timer_operations& operations() { return ops_; }

    // The command on the focus task (nullptr on a heading or an empty list);
    // false when the command is not one of these. A list that shows one day
    // gives it, so that a free comment is written for that day.
    bool handle(int command, model::task* focus, QWidget* parent, const std::function<void(const QString&)>& report,
                time::stored_date shown_day = 0);
    // Whether the command is one of these.
    static bool handles(int command);

    // Opens the task dialog on a task, at a page (-1: the page last shown).
    // Returns true when it was confirmed.
    bool open_properties(model::task& t, QWidget* parent, int page = -1);

    // Opens the Clapperboard in a mode with a task (the focus task, else the
    // timed one); once set, Distraction, Interruption and Break Down go there.
    std::function<void(int mode, const model::task_ptr& task)> open_clapperboard;
    // "Add Comment" writes through these.
    void set_comment_commands(history::comment_commands* c) { comments_ = c; }

    // Tests answer the dialogs that ask for a name or a length.
    std::function<std::optional<QString>(QWidget* parent, const QString& title, const QString& label)> ask_text;

private:
    std::optional<QString> ask(QWidget* parent, const QString& title, const QString& label);

    tracking::timer_operations& ops_;
    history::task_commands& commands_;
    model::task_store& store_;
    store::tables& tables_;
    QString dialog_settings_;
    history::comment_commands* comments_ = nullptr;
};

}  // namespace qm::ui
