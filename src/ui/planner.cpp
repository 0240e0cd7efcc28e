#include "ui/planner.h"

#include "app/options.h"
#include "ui/commands.h"
#include "ui/cascade_dialog.h"
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
#include "tracking/next_task.h"
#include "ui/tray_icon.h"

#include <QTimer>


namespace qm::ui {

planner::planner(app::data_folder_locator folders) : core_(std::move(folders)), frame_(core_) {}

planner::~planner() = default;

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
    auto placeholder = [this](int id, const char* title, const char* description, std::vector<toolbar_button> b = {}) {
        frame_.register_view(new placeholder_view(id, QString::fromUtf8(title), QString::fromUtf8(description), std::move(b)));
    };
    role_commands_ = std::make_unique<history::role_commands>(*history_, core_.tables(), core_.roles());
    tag_commands_ = std::make_unique<history::tag_commands>(*history_, core_.tables(), core_.tasks(), *commands_);
    comments_ = std::make_unique<history::comment_commands>(*history_, core_.tables().comments, *commands_,
                                                            project_commands_.get());
    actions_->set_comment_commands(comments_.get());
    auto* overview = new overview_view(core_.tables(), core_.roles(), *role_commands_);
    overview->add_section(new habits_panel(
        habit_sources{core_.tasks(), core_.projects(), core_.recurrences(), core_.tables()}, core_.tables(), *history_));
    frame_.register_view(overview);
    projects_ = new projects_view(*project_context_, settings + QStringLiteral("projects.ini"));
    frame_.register_view(projects_);
    placeholder(983, "Task List", "Every task, filtered and sorted as you choose, will be listed here.",
                {{"Assign to Today", 40252}, {"-", 0}, {"Task List Options", 40443}});
    placeholder(964, "Upcoming Tasks", "The tasks of the coming days will be listed here.");
    placeholder(966, "Tasks by Tag", "Your tasks grouped by their tags will be listed here.");
    placeholder(856, "Day Calendar", "A calendar of one day with its appointments and scheduled tasks will be shown here.");
    placeholder(857, "Week Calendar", "A calendar of the week with its appointments and scheduled tasks will be shown here.");
    placeholder(186, "Charts", "Charts of where your time went, by role, life area, project and folder, will be shown here.",
                {{"Line Chart", 40327}, {"Bar Chart", 40328}, {"-", 0}, {"By Day", 40319}, {"By Week", 40321},
                 {"By Month", 40323}});
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
    };
    clipboard_ = std::make_unique<item_clipboard>(core_.folders().database_path(), core_.tasks());
    paste_ = std::make_unique<history::item_paste>(*history_, *commands_, core_.tasks(), core_.projects());
    day_->set_exchange(*clipboard_, *paste_);
    projects_->set_exchange(*clipboard_, *paste_);
    frame_.open_options = [this] { open_options(); };
    exchange_ = std::make_unique<exchange_launcher>(
        exchange::planner_side{*history_, core_.tasks(), core_.recurrences(), core_.tables()}, settings, &frame_);
    frame_.open_import = [this] { exchange_->open_import(); };
    frame_.open_export = [this] { exchange_->open_export(); };
    const app::options& o = app::current_options();
    frame_.set_hot_key_text(hot_key_text(o.hot_key_modifiers, o.hot_key_virtual_key));
    frame_.show_view(day_view::id);
    start_clapperboard();
}

void planner::start_clapperboard()
{
    clapperboard_ = std::make_unique<ui::clapperboard>(ui::clapperboard_parts{
        core_, *history_, *commands_, *timer_ops_, frame_, core_.folders().settings_folder(), nullptr, nullptr});
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
