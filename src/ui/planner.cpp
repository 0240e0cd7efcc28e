#include "ui/planner.h"

#include "app/options.h"
#include "ui/calendar_view.h"
#include "ui/commands.h"
#include "ui/navigator.h"
#include "ui/cascade_dialog.h"
#include "ui/charts_view.h"
#include "ui/clapperboard.h"
#include "tracking/action_menu.h"
#include "ui/day_view.h"
#include "ui/exchange_window.h"
#include "ui/day_notes_pane.h"
#include "ui/habits_panel.h"
#include "ui/item_exchange.h"
#include "ui/message_box_presenter.h"
#include "ui/recurring_view.h"
#include "ui/options_dialog.h"
#include "ui/overview_view.h"
#include "ui/role_cells.h"
#include "ui/project_tools.h"
#include "ui/projects_view.h"
#include "ui/task_actions.h"
#include "ui/tag_tasks_view.h"
#include "ui/task_lists.h"
#include "ui/time_spent_panel.h"
#include "tracking/next_task.h"
#include "ui/tray_icon.h"
#include "ui/alarm_service.h"
#include "ui/notifications_pane.h"

#include <QTimer>


namespace qm::ui {

planner::planner(app::data_folder_locator folders) : core_(std::move(folders)), frame_(core_) {}

planner::~planner()
{
    // The timer and the schedule outlive the alarms: they must not call them.
    if (timer_) {
        timer_->timer_started_alarms = nullptr;
        timer_->next_transition_alarms = nullptr;
        timer_->timer_alarms = nullptr;
    }
    if (timer_ops_)
        timer_ops_->task_change_alarms = nullptr;
    if (core_.started())
        core_.schedule().conflict_alarms = nullptr;
}

void planner::start()
{
    // The path agent's lists reach the main thread through the frame.
    core_.set_path_receiver(&frame_, [this](const QStringList& paths) {
        if (project_context_)
            project_context_->paths = paths;
    });
    frame_.start();
    history_ = std::make_unique<history::history>([this] { core_.tasks().end_change_batch(); });
    history::naming names;
    names.role_name = [this](std::int32_t id) {
        auto r = core_.tables().roles.find(id);
        return r ? r->name : QString();
    };
    names.project_name = [this](std::int32_t id) -> std::optional<QString> {
        model::project_ptr p = core_.projects().find(id);
        return p ? std::optional<QString>(model::project_caption(*p)) : std::nullopt;
    };
    names.alarm_trigger = [](const store::alarm_record& a) {
        return tracking::trigger_description(a, tracking::description_style::no_full_stop |
                                                    tracking::description_style::no_capital,
                                             time::now());
    };
    commands_ = std::make_unique<history::task_commands>(*history_, core_.tasks(), names);
    recurring_ = std::make_unique<history::recurrence_commands>(*history_, core_.tasks(), core_.recurrences(), names);
    commands_->set_recurrences(recurring_.get());
    recurring_->set_asker([this](history::cascade_action action, bool master) -> unsigned {
        if (!display_available())  // headless: the preselected choice
            return master ? model::cascade::all_tasks : model::cascade::this_task;
        return ask_cascade(action, master, &frame_);
    });
    frame_.set_history(history_.get());
    project_commands_ = std::make_unique<history::project_commands>(*history_, core_.projects(), core_.tasks());
    moves_ = std::make_unique<history::tree_moves>(*history_, core_.tasks(), core_.projects(), *commands_,
                                                   *project_commands_);

    const QString settings = core_.folders().settings_folder();
    project_context_ = std::make_unique<project_context>(project_context{
        core_.tasks(), core_.projects(), *history_, *commands_, *project_commands_, *moves_, core_.tables(), settings,
        {}, ask_with_box});
    timer_ = std::make_unique<tracking::task_timer>(core_.tasks(), core_.ids());
    timer_ops_ = std::make_unique<tracking::timer_operations>(*history_, *commands_, core_.tasks(), *timer_);
    core_.schedule().timed_task = [this] { return timer_->timed_task() ? timer_->timed_task()->id : 0; };
    timer_ops_->schedule_source = [this](const model::task* timed) {
        return tracking::schedule_block_candidate(core_.schedule(), core_.tasks(), timed);
    };
    base_title_ = frame_.windowTitle();
    // A running timer stops through its undoable stop, so its time is written.
    frame_.before_drain_hooks.push_back([this] {
        closing_ = true;
        timer_ops_->stop_timer();
    });

    actions_ = std::make_unique<task_actions>(*timer_ops_, *commands_, core_.tasks(), core_.tables(),
                                              settings + QStringLiteral("task_dlg.ini"));
    role_commands_ = std::make_unique<history::role_commands>(*history_, core_.tables(), core_.roles());
    tag_commands_ = std::make_unique<history::tag_commands>(*history_, core_.tables(), core_.tasks(), *commands_);
    comments_ = std::make_unique<history::comment_commands>(*history_, core_.tables().comments, *commands_,
                                                            project_commands_.get());
    actions_->set_comment_commands(comments_.get());
    project_context_->comments = comments_.get();
    auto* overview = new overview_view(core_.tables(), core_.roles(), *role_commands_);
    overview->add_section(new habits_panel(
        habit_sources{core_.tasks(), core_.projects(), core_.recurrences(), core_.tables()}, core_.tables(), *history_));
    overview->add_section(new time_spent_panel({core_.tasks(), core_.projects(), core_.roles()}));
    frame_.register_view(overview);
    projects_ = new projects_view(*project_context_, settings + QStringLiteral("projects.ini"));
    frame_.register_view(projects_);
    start_calendars(settings);
    frame_.register_view(new charts_view(core_.tasks(), core_.projects(), settings + QStringLiteral("charts.ini")));
    recurring_view_ = new recurring_view(core_.tasks(), *commands_, *recurring_, *history_,
                                         settings + QStringLiteral("tasks_recurrences.ini"));
    frame_.register_view(recurring_view_);
    day_ = new day_view(core_.tasks(), *commands_, *history_, core_.tables(), settings + QStringLiteral("today.ini"));
    day_->set_project_context(project_context_.get());
    frame_.register_view(day_);
    day_->set_task_actions(actions_.get());
    day_->set_recurrences(&core_.recurrences());
    day_->set_schedule(&core_.schedule());
    role_cells_ = std::make_unique<role_cells>(role_cells{core_.roles(), *tag_commands_});
    day_->set_role_cells(role_cells_.get());
    projects_->tasks().set_role_cells(role_cells_.get());
    register_task_lists(settings);
    auto* notes = new day_notes_pane(core_.tables().comments, *comments_);
    day_->add_pane(notes, [notes](time::stored_date d) { notes->set_date(d); });
    // A day note being written when the planner closes is kept.
    frame_.before_drain_hooks.push_back([notes] { notes->commit_note(); });
    timer_->refresh_views = [this](const model::task&) {
        day_->list().viewport()->update();
        show_timer_state();
    };
    frame_.timers().on_minute = [this](time::stored_time now) {
        core_.schedule().minute_tick();
        day_->minute_tick(now);
        day_calendar_->minute_tick(now);
        week_calendar_->minute_tick(now);
    };
    clipboard_ = std::make_unique<item_clipboard>(core_.folders().database_path(), core_.tasks());
    paste_ = std::make_unique<history::item_paste>(*history_, *commands_, core_.tasks(), core_.projects());
    day_->set_exchange(*clipboard_, *paste_);
    projects_->set_exchange(*clipboard_, *paste_);
    for (task_list_view* list : {static_cast<task_list_view*>(all_tasks_), static_cast<task_list_view*>(upcoming_),
                                 static_cast<task_list_view*>(tag_tasks_)})
        list->set_exchange(*clipboard_, *paste_);
    frame_.open_options = [this] { open_options(); };
    exchange_ = std::make_unique<exchange_launcher>(
        exchange::planner_side{*history_, core_.tasks(), core_.recurrences(), core_.tables()}, settings, &frame_);
    frame_.open_import = [this] { exchange_->open_import(); };
    frame_.open_export = [this] { exchange_->open_export(); };
    const app::options& o = app::current_options();
    frame_.set_hot_key_text(hot_key_text(o.hot_key_modifiers, o.hot_key_virtual_key));
    start_alarms();
    frame_.show_view(day_view::id);
    navigator_ = new ui::navigator(frame_, core_.tasks());
    frame_.add_command_handler(navigator_);
    navigator_->start();
    start_clapperboard();
    clapperboard_->set_alarms(alarms_.get());
}

void planner::start_alarms()
{
    alarms_ = std::make_unique<alarm_service>(core_, *history_, &frame_);
    tracking::alarm_store& alarms = alarms_->store();
    alarms.timed_task = [this] { return timer_->timed_task() ? timer_->timed_task()->id : 0; };
    timer_->timer_started_alarms = [&alarms](const model::task& t) { alarms.timer_started(t); };
    timer_->next_transition_alarms = [&alarms] { alarms.transition(); };
    timer_->timer_alarms = [&alarms](const model::task& t, const tracking::TrackedTime& e, std::int64_t prev,
                                     std::int64_t others) { alarms.timer_tick(t, e, prev, others); };
    timer_ops_->task_change_alarms = [&alarms](const model::task& before, const model::task& after) {
        alarms.task_changed(before, after);
    };
    core_.schedule().conflict_alarms = [&alarms](time::stored_date d,
                                                 const std::vector<const schedule::stored_block*>& blocks) {
        alarms.schedule_computed(d, blocks);
    };
    frame_.add_alarm = [this](std::int32_t task) {
        const model::task_ptr t = task != 0 ? core_.tasks().find(task) : nullptr;
        alarms_->new_alarm(t.get(), &frame_);
    };
    auto* pane = new notifications_pane(core_.tasks(), *alarms_, *commands_, *history_);
    day_->set_notifications_pane(pane, [pane](time::stored_date d) { pane->set_date(d); });
    // First of all at shutdown, so that no alarm fires while the planner closes.
    frame_.before_drain_hooks.insert(frame_.before_drain_hooks.begin(), [this] {
        alarms_->stop();
        core_.schedule().conflict_alarms = nullptr;
    });
    alarms_->start();
}

void planner::register_task_lists(const QString& settings)
{
    // The Tasks tab's lists read and edit their cells as the Day view does.
    const task_list_parts parts{core_.tasks(), *commands_,          *history_,    core_.tables(),
                                project_context_.get(), actions_.get(), role_cells_.get(), &core_.recurrences()};
    all_tasks_ = new all_tasks_view(parts, settings + QStringLiteral("tasks.ini"));
    frame_.register_view(all_tasks_);
    upcoming_ = new upcoming_view(parts, settings + QStringLiteral("tasks_upcoming.ini"));
    frame_.register_view(upcoming_);
    tag_tasks_ = new tag_tasks_view(parts, *tag_commands_, settings + QStringLiteral("tasks_contexts.ini"));
    frame_.register_view(tag_tasks_);
}

void planner::start_calendars(const QString& settings)
{
    const calendar_parts parts{core_.tasks(), *commands_, *history_, &core_.schedule(), actions_.get()};
    day_calendar_ = new calendar_view(calendar_view::day_id, parts, settings + QStringLiteral("calendar_day.ini"));
    week_calendar_ = new calendar_view(calendar_view::week_id, parts, settings + QStringLiteral("calendar_week.ini"));
    for (calendar_view* v : {day_calendar_, week_calendar_}) {
        frame_.register_view(v);
        // Day View and Week View keep the date chosen.
        v->switch_view = [this](int id, time::stored_date date) {
            calendar_view* other = id == calendar_view::day_id ? day_calendar_ : week_calendar_;
            other->set_date(date);
            frame_.show_view(id);
        };
    }
}

void planner::start_clapperboard()
{
    clapperboard_ = std::make_unique<ui::clapperboard>(ui::clapperboard_parts{
        core_, *history_, *commands_, *timer_ops_, frame_, core_.folders().settings_folder(), nullptr, nullptr});
    clapperboard_->make_report = [this] {
        return new time_spent_panel({core_.tasks(), core_.projects(), core_.roles()});
    };
    frame_.open_clapperboard = [this] { clapperboard_->show(); };
    // The calendar exchange's two lines, before "U: &Undo"; each closes the
    // Clapperboard and opens its dialog over the main window.
    tracking::action_menu& menu = clapperboard_->menu();
    menu.add_line(tracking::menu_mode::main,
                  {QLatin1Char('M'), QStringLiteral("M: I&mport from Outlook"), {},
                   [this, &menu](bool) {
                       menu.close();
                       exchange_->open_import();
                   }},
                  QLatin1Char('U'));
    menu.add_line(tracking::menu_mode::main,
                  {QLatin1Char('E'), QStringLiteral("E: &Export to Outlook"), {},
                   [this, &menu](bool) {
                       menu.close();
                       exchange_->open_export();
                   }},
                  QLatin1Char('U'));
    frame_.open_options_page = [this](int page) { open_options()->show_page(page); };
    frame_.history_popup = [this](bool undo) { clapperboard_->show_history_list(undo); };
    frame_.timers().on_idle_check = [this] { clapperboard_->idle().check(); };
    actions_->open_clapperboard = [this](int mode, const model::task_ptr& t) { clapperboard_->show(mode, t); };
    frame_.before_drain_hooks.push_back([this] {
        clapperboard_->close();
        clapperboard_->release_hot_key();
    });
    // After the window is up, so that a refusal box has the window behind it.
    QTimer::singleShot(0, &frame_, [this] { clapperboard_->register_hot_key(); });
}

void planner::show_timer_state()
{
    if (closing_)
        return;
    const model::task_ptr& t = timer_->timed_task();
    const QString name = t && !t->name.isEmpty() ? t->name : QStringLiteral("(unnamed task)");
    frame_.setWindowTitle(t ? QStringLiteral("%1 \u2014 %2 (%3)").arg(base_title_, name, timer_->shown_time_text())
                            : base_title_);
    if (tray_icon* tray = frame_.tray())
        tray->set_timed_task(t ? QStringLiteral("%1 (%2)").arg(name, timer_->shown_time_text()) : QString());
}

options_dialog* planner::open_options()
{
    if (!options_) {
        options_ = new options_dialog(app::current_options(),
                                      core_.folders().home_settings_folder() + app::options_file_name(), &frame_);
        options_->setAttribute(Qt::WA_DeleteOnClose);
        options_->edit_alarm_defaults = [this](int key, QWidget* parent) { alarms_->edit_template(key, parent); };
        QObject::connect(options_, &options_dialog::applied, &frame_, [this] {
            const app::options& o = app::current_options();
            frame_.set_hot_key_text(hot_key_text(o.hot_key_modifiers, o.hot_key_virtual_key));
            if (clapperboard_)
                clapperboard_->register_hot_key();
        });
    }
    options_->show();
    options_->raise();
    options_->activateWindow();
    return options_;
}

}  // namespace qm::ui
