#include "ui/navigator.h"

#include "ui/day_view.h"
#include "ui/main_frame.h"
#include "ui/notifications_pane.h"
#include "ui/projects_view.h"
#include "ui/schedule_pane.h"

#include <QStatusBar>

namespace qm::ui {
namespace {

constexpr int day_view_id = 829, projects_view_id = 372, task_list_id = 983, upcoming_id = 964,
              recurring_id = 965, day_calendar_id = 856, week_calendar_id = 857;

bool real_date(time::stored_date d)
{
    return d != time::NO_DATE && d != time::FOLDER_DATE && d != time::RECURRENCE_MASTER_DATE && d > 0;
}

QString quoted(const model::task& t)
{
    return t.name.isEmpty() ? QStringLiteral("This task") : QStringLiteral("\u201C%1\u201D").arg(t.name);
}

}  // namespace

navigator::navigator(main_frame& frame, model::task_store& tasks) : QObject(&frame), frame_(frame), tasks_(tasks) {}

void navigator::start()
{
    connect(&frame_, &main_frame::view_shown, this, [this](int id) {
        if (id == day_calendar_id || id == week_calendar_id)
            calendar_view_ = id;
        record();
    });
    for (int id : frame_.view_ids())
        if (view* v = frame_.find_view(id))
            connect(v, &view::place_changed, this, [this, v] {
                if (v == frame_.active_view())
                    record();
            });
    record();
}

bool navigator::is_navigation_command(int id)
{
    switch (id) {
    case jump_cmd::back: case jump_cmd::forward: case jump_cmd::to_day: case jump_cmd::to_calendar:
    case jump_cmd::to_project: case jump_cmd::to_parent_folder: case jump_cmd::to_alarm: case jump_cmd::to_deadline:
    case jump_cmd::to_schedule_view: case jump_cmd::to_task_list: case jump_cmd::to_project_task_list:
    case jump_cmd::to_alternative_task_list: case jump_cmd::next_week: case jump_cmd::previous_week:
        return true;
    default:
        return false;
    }
}

bool navigator::takes(int id) const
{
    if (id == jump_cmd::next_week || id == jump_cmd::previous_week) {
        // Only for a view with a date and no week step of its own.
        const view* v = frame_.command_target();
        return v != nullptr && !v->handles(id) && v->shown_date() != 0;
    }
    return is_navigation_command(id);
}

bool navigator::enabled(int id) const
{
    switch (id) {
    case jump_cmd::back: return can_go_back();
    case jump_cmd::forward: return can_go_forward();
    default: return true;
    }
}

void navigator::carry_out(int id)
{
    switch (id) {
    case jump_cmd::back:
        if (can_go_back())
            go(position_ - 1);
        else
            say(QStringLiteral("There is no earlier place to go back to."));
        return;
    case jump_cmd::forward:
        if (can_go_forward())
            go(position_ + 1);
        else
            say(QStringLiteral("There is no later place to go forward to."));
        return;
    case jump_cmd::next_week:
    case jump_cmd::previous_week:
        if (view* v = frame_.command_target(); v != nullptr && v->shown_date() != 0)
            v->show_date(time::add_days(v->shown_date(), id == jump_cmd::next_week ? 7 : -7));
        return;
    default:
        jump(id);
    }
}

void navigator::record()
{
    if (going_)
        return;
    view* v = frame_.active_view();
    if (v == nullptr)
        return;
    const place here{v->view_id(), v->shown_date()};
    if (position_ >= 0 && places_[static_cast<std::size_t>(position_)] == here)
        return;
    places_.erase(places_.begin() + (position_ + 1), places_.end());
    places_.push_back(here);
    if (static_cast<int>(places_.size()) > max_places)
        places_.erase(places_.begin());
    position_ = static_cast<int>(places_.size()) - 1;
    frame_.update_command_states();
}

void navigator::go(int position)
{
    const place p = places_[static_cast<std::size_t>(position)];
    going_ = true;
    frame_.show_view(p.view_id);
    if (view* v = frame_.active_view(); v != nullptr && v->view_id() == p.view_id && p.date != 0)
        v->show_date(p.date);
    going_ = false;
    position_ = position;
    frame_.update_command_states();
}

bool navigator::show_in(int view_id, std::int32_t task)
{
    frame_.show_view(view_id);
    view* v = frame_.active_view();
    if (v == nullptr || v->view_id() != view_id)
        return false;
    const bool shown = v->reveal_task(task);
    v->setFocus();
    return shown;
}

void navigator::say(const QString& text) { frame_.statusBar()->showMessage(text, 8000); }

void navigator::jump(int id)
{
    const view* from = frame_.command_target();
    const std::int32_t focus = from != nullptr ? from->focus_task() : 0;
    model::task_ptr t = focus != 0 ? tasks_.find(focus) : nullptr;
    if (!t) {
        say(QStringLiteral("Select a task first: the jump goes to the selected task's place."));
        return;
    }
    const QString who = quoted(*t);
    auto in_project = [&](std::int32_t target, bool project_list) {
        auto* projects = qobject_cast<projects_view*>(frame_.find_view(projects_view_id));
        if (projects == nullptr)
            return;
        frame_.show_view(projects_view_id);
        projects->show_task(target, project_list);
    };
    switch (id) {
    case jump_cmd::to_day:
        if (!real_date(t->date))
            say(QStringLiteral("%1 has no date, so it is on no day.").arg(who));
        else
            show_in(day_view_id, t->id);
        return;
    case jump_cmd::to_calendar:
        if (!real_date(t->date))
            say(QStringLiteral("%1 has no date, so it is not on the calendar.").arg(who));
        else
            show_in(calendar_view_, t->id);
        return;
    case jump_cmd::to_project:
    case jump_cmd::to_project_task_list:
        if (t->project == 0)
            say(QStringLiteral("%1 is not in a project.").arg(who));
        else
            in_project(t->id, id == jump_cmd::to_project);
        return;
    case jump_cmd::to_parent_folder: {
        model::task* parent = tasks_.parent_of(*t);
        if (parent == nullptr || t->project == 0)
            say(QStringLiteral("%1 is not in a folder.").arg(who));
        else
            in_project(parent->id, false);
        return;
    }
    case jump_cmd::to_alarm: {
        if (t->alarms.empty()) {
            say(QStringLiteral("%1 has no alarm.").arg(who));
            return;
        }
        // The one due first; alarms on timer events have no time of their own.
        const store::alarm_record* first = &t->alarms.front();
        for (const store::alarm_record& a : t->alarms)
            if (a.time != 0 && (first->time == 0 || a.time < first->time))
                first = &a;
        frame_.show_view(day_view_id);
        if (auto* day = qobject_cast<day_view*>(frame_.active_view())) {
            if (first->time != 0)
                day->set_date(time::date_of(first->time));
            day->handle_command(41139);  // Show Notifications Pane
            if (auto* pane = qobject_cast<notifications_pane*>(day->notifications()))
                pane->select({notifications_pane::alarm_row, first->id});
        }
        return;
    }
    case jump_cmd::to_deadline: {
        if (t->deadline == 0) {
            say(QStringLiteral("%1 has no deadline.").arg(who));
            return;
        }
        frame_.show_view(day_view_id);
        if (auto* day = qobject_cast<day_view*>(frame_.active_view())) {
            day->set_date(time::date_of(t->deadline));
            day->reveal_task(t->id);
        }
        return;
    }
    case jump_cmd::to_schedule_view: {
        if (!real_date(t->date)) {
            say(QStringLiteral("%1 has no date, so it is in no day's schedule.").arg(who));
            return;
        }
        show_in(day_view_id, t->id);
        if (auto* day = qobject_cast<day_view*>(frame_.active_view()); day != nullptr && day->pane() != nullptr &&
                                                                         !day->pane()->isVisibleTo(day))
            day->handle_command(41138);  // Show Schedule View
        return;
    }
    case jump_cmd::to_task_list:
        show_in(task_list_id, t->id);
        return;
    case jump_cmd::to_alternative_task_list:
        // A recurring task's other list is the recurring tasks'; any other's the coming days'.
        show_in(t->recurrence != 0 || t->date == time::RECURRENCE_MASTER_DATE ? recurring_id : upcoming_id, t->id);
        return;
    default:
        return;
    }
}

}  // namespace qm::ui
