#pragma once
// Back and Forward over the views and dates shown, and the jump commands of
// Edit > Jump, which go from the task a view has in focus to its place in
// another view: its day, its calendar, its project, its parent folder, its
// deadline, the schedule, the task lists. Next and Previous Week for a view
// that shows a date but has no week step of its own. Main thread only.

#include "model/task_store.h"
#include "ui/command_handler.h"

#include <QObject>

#include <cstdint>
#include <vector>

namespace qm::ui {

class main_frame;
class view;

namespace jump_cmd {
constexpr int back = 41192, forward = 41193;
constexpr int to_day = 41203, to_calendar = 40969, to_project = 40970, to_parent_folder = 41013, to_alarm = 40971,
              to_deadline = 41204, to_schedule_view = 41127, to_task_list = 41128, to_project_task_list = 41197,
              to_alternative_task_list = 41198;
constexpr int next_week = 41134, previous_week = 41135;
}  // namespace jump_cmd

class navigator : public QObject, public command_handler {
    Q_OBJECT
public:
    struct place {
        int view_id = 0;
        std::int64_t date = 0;
        bool operator==(const place& o) const { return view_id == o.view_id && date == o.date; }
    };

    navigator(main_frame& frame, model::task_store& tasks);

    // Starts listening to the frame and its registered views; the view in
    // front is the first place.
    void start();

    // The commands it carries, whatever the state.
    static bool is_navigation_command(int id);

    // command_handler
    bool takes(int id) const override;
    bool enabled(int id) const override;
    void carry_out(int id) override;

    const std::vector<place>& places() const { return places_; }
    int position() const { return position_; }
    bool can_go_back() const { return position_ > 0; }
    bool can_go_forward() const { return position_ + 1 < static_cast<int>(places_.size()); }
    // The calendar view the Calendar tab showed last.
    int calendar_view_id() const { return calendar_view_; }

    static constexpr int max_places = 100;

private:
    void record();
    void go(int position);
    void jump(int id);
    // Shows a view (its tab's alternative when it is one) and reveals the task.
    bool show_in(int view_id, std::int32_t task);
    void say(const QString& text);

    main_frame& frame_;
    model::task_store& tasks_;
    std::vector<place> places_;
    int position_ = -1;
    bool going_ = false;
    int calendar_view_ = 857;
};

}  // namespace qm::ui
