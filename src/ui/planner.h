#pragma once
// The composition root of the windowed program: the core, the history, the
// task commands, the main frame and its views, made and wired in one place.

#include "app/core.h"
#include "history/history.h"
#include "history/recurrence_commands.h"
#include "history/task_commands.h"
#include "ui/main_frame.h"

#include <QPointer>

#include <memory>

namespace qm::ui {

class day_view;
class options_dialog;
class recurring_view;

class planner {
public:
    explicit planner(app::data_folder_locator folders);
    ~planner();

    // Runs the start-up sequence, then builds the history and the views and
    // shows the Day view. Throws what the core throws.
    void start();

    app::core& core() { return core_; }
    main_frame& frame() { return frame_; }
    history::history& history() { return *history_; }
    history::task_commands& commands() { return *commands_; }
    history::recurrence_commands& recurring() { return *recurring_; }
    recurring_view* recurring_tasks() const { return recurring_view_; }
    day_view* day() const { return day_; }
    options_dialog* open_options();

private:
    // Declared so that the frame, and the views it owns, go first.
    app::core core_;
    std::unique_ptr<history::history> history_;
    std::unique_ptr<history::task_commands> commands_;
    std::unique_ptr<history::recurrence_commands> recurring_;
    main_frame frame_;
    day_view* day_ = nullptr;
    recurring_view* recurring_view_ = nullptr;
    QPointer<options_dialog> options_;
};

}  // namespace qm::ui
