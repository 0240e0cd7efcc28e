#include "ui/projects_view.h"

#include "app/settings_document.h"
#include "history/history.h"
#include "ui/commands.h"
#include "history/comment_commands.h"
#include "model/comments.h"
#include "ui/comment_editor.h"
#include "ui/keyboard_menus.h"
#include "ui/project_dialog.h"
#include "ui/task_actions.h"

#include <QAction>
#include <QMenu>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

namespace qm::ui {
namespace {

const QString project_block = QStringLiteral("project_list");
const QString task_block = QStringLiteral("task_list");

}  // namespace

projects_view::projects_view(project_context& c, QString settings_file, QWidget* parent)
    : view(id, QStringLiteral("Projects"), parent), c_(c), settings_file_(std::move(settings_file))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    projects_ = std::make_unique<project_list_pane>(c_, splitter_);
    tasks_ = std::make_unique<project_tasks_pane>(c_, splitter_);
    splitter_->addWidget(&projects_->list());
    splitter_->addWidget(&tasks_->list());
    splitter_->setStretchFactor(0, 2);
    splitter_->setStretchFactor(1, 3);
    layout->addWidget(splitter_);
    setFocusProxy(&projects_->list());
    setTabOrder(&projects_->list(), &tasks_->list());

    projects_->report = [this](const QString& t) { report(t); };
    tasks_->report = [this](const QString& t) { report(t); };
    projects_->on_current_changed = [this] { show_current_project(); };
    for (cell_list* list : {&projects_->list(), &tasks_->list()})
        connect(list, &cell_list::editor_closed, this, [this] {
            if (refresh_pending_)
                schedule_refresh();
        });
    connect(tasks_->list().selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { sync_keep_sorted(); });

    // Keys of the view's own commands, active while the view has the focus.
    for (auto [command, keys] : {std::pair{project_cmd::new_folder, "Ctrl+Shift+N"},
                                 std::pair{project_cmd::new_milestone, "Ctrl+Shift+M"},
                                 std::pair{project_cmd::copy_as_text, "Ctrl+Shift+C"}}) {
        auto* a = new QAction(this);
        a->setShortcut(QKeySequence(QString::fromLatin1(keys)));
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QAction::triggered, this, [this, command = command] { handle_command(command); });
        addAction(a);
    }

    const app::settings_document doc = app::settings_document::load(settings_file_);
    projects_->load_state(doc, project_block);
    tasks_->list().load_layout(doc, task_block);
    const QList<int> sizes = {doc.get_int(QStringLiteral("splitter"), QStringLiteral("left"), 420),
                              doc.get_int(QStringLiteral("splitter"), QStringLiteral("right"), 760)};
    splitter_->setSizes(sizes);
    store::listeners().add(this);
    projects_->refresh();
    if (projects_->row_count() > 0)
        projects_->list().set_focus_cell(0, project_column::name);
    const int last = doc.get_int(QStringLiteral("state"), QStringLiteral("project"), 0);
    if (last != 0)
        projects_->select_project(last);
    show_current_project();
}

projects_view::~projects_view() { store::listeners().remove(this); }

std::vector<toolbar_button> projects_view::buttons() const
{
    return {
        {"Assign to Today", project_cmd::assign_to_today}, {"-", 0},
        {"Add Alarm", 40244}, {"Description", 41191, false, false, false},
        {"Add Comment", cmd::add_comment, false, false, c_.comments != nullptr}, {"-", 0},
        {"Outdent", project_cmd::outdent}, {"Indent", project_cmd::indent}, {"-", 0},
        {"Keep Sorted", project_cmd::keep_sorted, true, tasks_->focus_group_sorted()},
        {"Sort", project_cmd::sort}, {"-", 0},
        {"Project List Options", project_cmd::project_list_options},
        {"Task List Options", project_cmd::task_list_options}, {"-", 0},
        {"New Milestone", project_cmd::new_milestone}, {"New Folder", project_cmd::new_folder}, {"-", 0},
        {"Copy as Text", project_cmd::copy_as_text},
    };
}

void projects_view::save_state()
{
    app::settings_document doc = app::settings_document::load(settings_file_);
    projects_->save_state(doc, project_block);
    tasks_->list().save_layout(doc, task_block);
    tasks_->save_expansion();
    const QList<int> sizes = splitter_->sizes();
    if (sizes.size() == 2) {
        doc.set_int(QStringLiteral("splitter"), QStringLiteral("left"), sizes[0]);
        doc.set_int(QStringLiteral("splitter"), QStringLiteral("right"), sizes[1]);
    }
    const model::project* p = projects_->current();
    doc.set_int(QStringLiteral("state"), QStringLiteral("project"), p != nullptr ? p->id : 0);
    doc.save(settings_file_);
}

void projects_view::show_current_project()
{
    const model::project* p = projects_->current();
    tasks_->set_project(p != nullptr ? p->id : 0);
    sync_keep_sorted();
}

void projects_view::sync_keep_sorted()
{
    // The button shows the method of the group the focus row belongs to.
    const bool sorted = tasks_->focus_group_sorted();
    if (QWidget* w = window())
        for (QAction* a : w->findChildren<QAction*>())
            if (a->isCheckable() && a->text() == QLatin1String("Keep Sorted"))
                a->setChecked(sorted);
}

void projects_view::schedule_refresh()
{
    refresh_pending_ = true;
    // Later, not inside the change: an editor may still be closing.
    QTimer::singleShot(0, this, [this] {
        if (refresh_pending_ && !projects_->list().editing() && !tasks_->list().editing())
            refresh();
    });
}

void projects_view::refresh()
{
    refresh_pending_ = false;
    projects_->refresh();
    const model::project* p = projects_->current();
    if (p != nullptr && p->id != tasks_->project_id())
        tasks_->set_project(p->id);
    else if (p == nullptr)
        tasks_->set_project(0);
    else
        tasks_->refresh();
    sync_keep_sorted();
}

long projects_view::on_announcement(const store::announcement& a)
{
    if (a.message == model::task_message::batch_ended || a.message == model::project_message::changed ||
        a.message == store::message::options_applied)
        schedule_refresh();
    return 0;
}

bool projects_view::tasks_focused() const { return tasks_->list().hasFocus() || tasks_->list().isAncestorOf(focusWidget()); }

void projects_view::edit_project()
{
    model::project* p = projects_->current();
    if (p == nullptr) {
        report(QStringLiteral("Select a project first."));
        return;
    }
    project_dialog dialog(c_, *p, c_.settings_folder + QStringLiteral("project_dlg.ini"), this);
    dialog.exec();
}

void projects_view::add_comment(bool on_tasks)
{
    if (c_.comments == nullptr)
        return;
    // On a task row the task's comment; anywhere else the project's.
    model::task* t = on_tasks ? tasks_->task_at(tasks_->list().focus_row()) : nullptr;
    const model::project* p = projects_->current();
    if (t == nullptr && p == nullptr) {
        report(QStringLiteral("Select a project first."));
        return;
    }
    const QString name = t != nullptr ? t->name : model::project_caption(*p);
    const std::optional<QString> text = ask_comment()(this, QStringLiteral("Add Comment \u2014 %1").arg(name), QString());
    if (!text || model::blank_comment(*text))
        return;
    if (t != nullptr ? c_.comments->add_to_task(*t, *text) : c_.comments->add_to_project(*p, *text))
        report(QStringLiteral("Comment added to \"%1\".").arg(name));
}

void projects_view::options_menu(bool project_list)
{
    if (project_list)
        open_keyboard_menu(*this, QStringLiteral("Project List Options"), project_list_option_lines(*this));
    else
        open_keyboard_menu(*this, QStringLiteral("Task List Options"), task_list_option_lines(*this));
}

bool projects_view::line_marked(int command) const
{
    if (const int bit = project_filter_bit_of(command))
        return (projects_->filter_flags() & bit) != 0;
    const int bit = task_filter_bit(command);
    return bit != 0 && (tasks_->list().columns().filter_flags & bit) != 0;
}

void projects_view::set_exchange(item_clipboard& clipboard, history::item_paste& paste)
{
    clipboard_ = &clipboard;
    task_exchange_ = std::make_unique<project_tasks_exchange>(c_, *tasks_, paste);
    list_exchange_ = std::make_unique<project_list_exchange>(c_, *projects_, paste);
    list_exchange_->report = [this](const QString& t) { report(t); };
    new list_exchange(tasks_->list(), *task_exchange_, clipboard);
    new list_exchange(projects_->list(), *list_exchange_, clipboard);
}

bool projects_view::handle_command(int command)
{
    const bool on_tasks = tasks_focused();
    switch (command) {
    case project_cmd::new_project: projects_->list().setFocus(); projects_->new_project(); return true;
    case project_cmd::new_milestone: projects_->list().setFocus(); projects_->new_milestone(); return true;
    case project_cmd::new_folder: tasks_->list().setFocus(); tasks_->new_folder(); return true;
    case project_cmd::indent: tasks_->indent(); return true;
    case project_cmd::outdent: tasks_->outdent(); return true;
    case project_cmd::keep_sorted:
        tasks_->set_focus_group_sorted(!tasks_->focus_group_sorted());
        return true;
    case project_cmd::sort: tasks_->sort_focus_group(); return true;
    case project_cmd::assign_to_today: tasks_->assign_to_today(); return true;
    case project_cmd::project_list_options: options_menu(true); return true;
    case project_cmd::task_list_options: options_menu(false); return true;
    case project_cmd::copy_as_text:
        if (task_exchange_ == nullptr || !task_exchange_->copy_as_text(*clipboard_))
            report(QStringLiteral("Select a project first."));
        return true;
    case project_cmd::next_project: projects_->step(1); return true;
    case project_cmd::previous_project: projects_->step(-1); return true;
    case project_cmd::next_folder: tasks_->step_folder(1); return true;
    case project_cmd::previous_folder: tasks_->step_folder(-1); return true;
    case cmd::folder_roi: tasks_->set_method(model::folder_method::roi); return true;
    case cmd::folder_manual: tasks_->set_method(model::folder_method::manual); return true;
    case cmd::properties:
        if (!on_tasks)
            edit_project();
        return true;
    case cmd::add_comment: add_comment(on_tasks); return true;
    default: break;
    }
    if (const int bit = project_filter_bit_of(command)) {
        projects_->toggle_filter(bit);
        show_current_project();
        return true;
    }
    if (const int bit = task_filter_bit(command)) {
        tasks_->list().columns().filter_flags ^= bit;
        tasks_->refresh();
        return true;
    }
    if (on_tasks) {
        const std::vector<model::task*> selected = tasks_->selected_tasks();
        switch (command) {
        case project_cmd::task_project:
        case project_cmd::task_folder:
            report(prompt_assign(c_, this, selected, command == project_cmd::task_folder));
            return true;
        case cmd::toggle_finished: c_.task_cmds.toggle_finished(selected); return true;
        case cmd::unfinished: c_.task_cmds.set_status(selected, model::status::unfinished); return true;
        case cmd::finished: c_.task_cmds.set_status(selected, model::status::finished); return true;
        case cmd::delegated: c_.task_cmds.set_status(selected, model::status::delegated); return true;
        case cmd::waiting: c_.task_cmds.set_status(selected, model::status::waiting); return true;
        case cmd::canceled: c_.task_cmds.set_status(selected, model::status::canceled); return true;
        case cmd::no_date: c_.task_cmds.set_date(selected, time::NO_DATE); return true;
        case cmd::date_today: c_.task_cmds.set_date(selected, time::today()); return true;
        case cmd::date_tomorrow: c_.task_cmds.set_date(selected, time::tomorrow()); return true;
        default: break;
        }
        return tasks_->list_command(command) || tasks_->list().handle_command(command);
    }
    return projects_->list_command(command) || projects_->list().handle_command(command);
}

bool projects_view::handles(int command) const
{
    switch (command) {
    case project_cmd::new_project: case project_cmd::new_milestone: case project_cmd::new_folder:
    case project_cmd::indent: case project_cmd::outdent: case project_cmd::keep_sorted: case project_cmd::sort:
    case project_cmd::assign_to_today: case project_cmd::project_list_options: case project_cmd::task_list_options:
    case project_cmd::next_project: case project_cmd::previous_project: case project_cmd::next_folder:
    case project_cmd::previous_folder: case cmd::folder_roi: case cmd::folder_manual: case cmd::properties:
    case cmd::delete_: case cmd::move_up: case cmd::move_down: case row_cmd::indent: case row_cmd::outdent:
        return true;
    case cmd::add_comment:
        return c_.comments != nullptr;
    case project_cmd::copy_as_text:
        return task_exchange_ != nullptr;
    default: break;
    }
    if (project_filter_bit_of(command) != 0 || task_filter_bit(command) != 0)
        return true;
    if (tasks_focused()) {
        switch (command) {
        case project_cmd::task_project: case project_cmd::task_folder: case cmd::toggle_finished:
        case cmd::unfinished: case cmd::finished: case cmd::delegated: case cmd::waiting: case cmd::canceled:
        case cmd::no_date: case cmd::date_today: case cmd::date_tomorrow: case cmd::move_to_top:
        case cmd::move_to_bottom:
            return true;
        default: return tasks_->list().can_handle(command);
        }
    }
    return projects_->list().can_handle(command);
}

}  // namespace qm::ui

namespace qm::ui {

std::int32_t projects_view::focus_task() const
{
    if (!tasks_focused())
        return 0;
    const model::task* t = tasks_->task_at(tasks_->list().focus_row());
    return t != nullptr ? t->id : 0;
}

bool projects_view::show_task(std::int32_t id, bool focus_project_list)
{
    model::task_ptr t = c_.tasks.find(id);
    if (!t || t->project == 0)
        return false;
    projects_->select_project(t->project);
    const model::project* p = projects_->current();
    if (p == nullptr || p->id != t->project) {
        report(QStringLiteral("The task's project is hidden by the filters of the Project List Options."));
        return false;
    }
    show_current_project();
    tasks_->select_task(id);
    if (focus_project_list)
        projects_->list().setFocus();
    else
        tasks_->list().setFocus();
    return true;
}

}  // namespace qm::ui
