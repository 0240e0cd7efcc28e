#include "ui/project_list_pane.h"

#include "app/settings_document.h"
#include "time/format.h"
#include "ui/commands.h"

#include <algorithm>

namespace qm::ui {
namespace {

QVector<column> project_columns()
{
    using namespace project_column;
    return {
        {name, "Project", true, 1.0, -1, -1, true},
        {status, "Status", true, 80, -1, -1, false},
        {progress, "Goal Progress", true, 92, -1, -1, false},
        {tasks, "Tasks", true, 52, -1, -1, false},
        {time_left, "Time Left", false, 76, -1, -1, false},
        {deadline, "Deadline", false, 96, -1, -1, false},
        {role, "Role", false, 0.3, -1, -1, false},
        {last_activity, "Last Activity", false, 96, -1, -1, false},
    };
}

}  // namespace

int project_filter_bit(int status)
{
    switch (status) {
    case model::status::unfinished: return 0x40;
    case model::status::finished: return 0x80;
    case model::status::delegated: return 0x100;
    case model::status::waiting: return 0x200;
    case model::status::canceled: return 0x400;
    default: return 0;
    }
}

project_list_pane::project_list_pane(project_context& c, QWidget* parent) : c_(c)
{
    list_ = new cell_list(*this, project_columns(), list_style::single_selection | list_style::focus_row_commit, parent);
    list_->setObjectName(QStringLiteral("project_list"));
    list_->set_name_column(project_column::name);
    list_->setItemDelegateForColumn(list_->columns().index_of(project_column::name), new tree_delegate(*list_, tree_));
    QObject::connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, list_, [this] {
        if (on_current_changed)
            on_current_changed();
    });
}

QString project_list_pane::expansion_file() const
{
    return c_.settings_folder + QStringLiteral("projects/expanded/root.ini");
}

void project_list_pane::save_state(app::settings_document& doc, const QString& block)
{
    list_->save_layout(doc, block);
    tree_.save(expansion_file());
}

void project_list_pane::load_state(const app::settings_document& doc, const QString& block)
{
    list_->load_layout(doc, block);
    tree_.load(expansion_file());
}

void project_list_pane::refresh()
{
    const model::project* focus = current();
    const std::int32_t focus_id = focus != nullptr ? focus->id : 0;
    const int focus_row = list_->focus_row();
    const int column = list_->focus_column_id();

    std::vector<tree_rows::node> nodes;
    ids_.clear();
    std::vector<std::int32_t> hidden;  // filtered projects: their milestones go too
    const int flags = filter_flags();
    for (model::project* p : c_.projects.list_order()) {
        const bool under_hidden = std::find(hidden.begin(), hidden.end(), p->parent) != hidden.end();
        if (under_hidden || (flags & project_filter_bit(p->status)) != 0) {
            hidden.push_back(p->id);
            continue;
        }
        int level = 0;
        for (const model::project* up = p; up->parent != 0 && level < 20; ++level) {
            model::project_ptr parent = c_.projects.find(up->parent);
            if (!parent)
                break;
            up = parent.get();
        }
        nodes.push_back({QString::number(p->id), level, -1, false});
        ids_.push_back(p->id);
    }
    tree_.set_nodes(std::move(nodes));
    // A collapsed project takes the focus of its milestone.
    int row = focus_id != 0 ? tree_.shown_row_of_key(QString::number(focus_id)) : -1;
    if (row < 0 && focus_row >= 0)
        row = std::min(focus_row, row_count() - 1);
    if (row < 0 && row_count() > 0)
        row = 0;
    list_->reload(row, column >= 0 ? column : project_column::name);
}

void project_list_pane::tree_changed()
{
    refresh();
    tree_.save(expansion_file());
}

model::project* project_list_pane::project_at(int row) const
{
    const int node = tree_.node_of_row(row);
    if (node < 0 || node >= static_cast<int>(ids_.size()))
        return nullptr;
    return c_.projects.find(ids_[static_cast<std::size_t>(node)]).get();
}

void project_list_pane::select_project(std::int32_t id)
{
    // The projects above a milestone open, so that it can be seen.
    for (std::size_t i = 0; i < ids_.size(); ++i)
        if (ids_[i] == id && tree_.row_of_node(static_cast<int>(i)) < 0) {
            for (int up = tree_.nodes()[i].parent; up >= 0; up = tree_.nodes()[static_cast<std::size_t>(up)].parent)
                tree_.set_expanded(tree_.nodes()[static_cast<std::size_t>(up)].key, true);
            list_->reload(list_->focus_row(), list_->focus_column_id());
        }
    for (int r = 0; r < row_count(); ++r)
        if (model::project* p = project_at(r); p != nullptr && p->id == id) {
            list_->set_focus_cell(r, project_column::name);
            return;
        }
}

void project_list_pane::step(int delta)
{
    if (row_count() == 0)
        return;
    const int row = std::clamp(list_->focus_row() + delta, 0, row_count() - 1);
    list_->set_focus_cell(row, list_->focus_column_id());
}

void project_list_pane::toggle_filter(int bit)
{
    list_->columns().filter_flags ^= bit;
    refresh();
}

QString project_list_pane::cell_text(int row, int column_id) const
{
    const model::project* p = project_at(row);
    if (p == nullptr)
        return QString();
    const model::project_statistics& s = p->statistics;
    using namespace project_column;
    switch (column_id) {
    case name: return c_.projects.outline_number(*p) + model::project_caption(*p);
    case status: return p->status == model::status::unfinished ? QString() : model::status_text(p->status, true);
    case progress:
        return s.task_count == 0 ? QString() : QStringLiteral("%1%").arg(qRound(model::project_progress(s) * 100.0));
    case tasks: return s.task_count == 0 ? QString() : QString::number(s.task_count);
    case time_left: return s.total_time_left == 0 ? QString() : time::format_duration(s.total_time_left);
    case deadline: return p->deadline == 0 ? QString() : time::format_short_date(p->deadline);
    case role: {
        auto r = c_.tables.roles.find(p->role);
        return r ? r->name : QString();
    }
    case last_activity: return s.last_activity == 0 ? QString() : time::format_short_date(s.last_activity);
    default: return QString();
    }
}

row_style project_list_pane::style_of(int row) const
{
    row_style s;
    if (const model::project* p = project_at(row)) {
        s.bold = !p->is_milestone();
        s.struck = p->status == model::status::finished || p->status == model::status::canceled;
        s.dimmed = p->status != model::status::unfinished;
    }
    return s;
}

int project_list_pane::editor_of(int row, int column_id) const
{
    if (project_at(row) == nullptr)
        return editor_kind::none;
    return column_id == project_column::name || column_id == project_column::status ? editor_kind::text
                                                                                     : editor_kind::none;
}

bool project_list_pane::begin_text_edit(int row, int column_id, QString& initial)
{
    const model::project* p = project_at(row);
    if (p == nullptr)
        return false;
    initial = column_id == project_column::name ? p->name : model::status_text(p->status, true);
    return true;
}

int project_list_pane::commit_text(int row, int column_id, const QString& text)
{
    model::project* p = project_at(row);
    if (p == nullptr)
        return 0;
    if (column_id == project_column::name) {
        c_.project_cmds.modify(*p, [&](model::project& x) { x.name = text; });
        return 0;
    }
    const int s = model::status_from_text(text);
    if (s < 0) {
        if (report)
            report(QStringLiteral("\"%1\" is not a status: type unfinished, finished, delegated, waiting or canceled.")
                       .arg(text));
        return 2;
    }
    c_.project_cmds.modify(*p, [&](model::project& x) {
        x.status = s;
        if (s == model::status::finished && x.finished == 0)
            x.finished = time::now();
    });
    return 0;
}

int project_list_pane::add_row(int focus_row)
{
    auto p = std::make_shared<model::project>();
    // After the focus row's top-level project, or at the end.
    if (const model::project* focus = project_at(focus_row)) {
        const model::project* top = c_.projects.top_of(*focus);
        p->priority_value = top->priority_value + 1;
    }
    c_.project_cmds.add(p);
    refresh();
    select_project(p->id);
    return list_->focus_row();
}

void project_list_pane::new_project() { list_->add_row(); }

void project_list_pane::new_milestone()
{
    const model::project* selected = current();
    if (selected == nullptr) {
        if (report)
            report(QStringLiteral("Select the project that the milestone belongs to first."));
        return;
    }
    model::project_ptr m = c_.project_cmds.new_milestone(*selected);
    if (selected->parent == 0)
        tree_.set_expanded(QString::number(selected->id), true);
    else
        tree_.set_expanded(QString::number(selected->parent), true);
    refresh();
    select_project(m->id);
    list_->edit_cell(list_->focus_row(), project_column::name);
}

void project_list_pane::delete_selected(QWidget* parent)
{
    model::project* p = current();
    if (p == nullptr)
        return;
    const int count = static_cast<int>(c_.tasks.tasks_of_project(p->id).size());
    const history::question q = history::delete_project_question(*p, count);
    if (c_.ask && !c_.ask(parent, q))
        return;
    model::project_ptr held = c_.projects.find(p->id);
    c_.project_cmds.remove(held);
}

void project_list_pane::move(bool up)
{
    if (model::project* p = current())
        c_.project_cmds.move(*p, up);
}

void project_list_pane::indent()
{
    // A top-level project becomes the last milestone of the project above it.
    model::project* p = current();
    if (p == nullptr || p->is_milestone())
        return;
    if (!c_.projects.children(p->id).empty()) {
        if (report)
            report(QStringLiteral("A project with milestones cannot become a milestone itself."));
        return;
    }
    model::project* above = nullptr;
    for (model::project* o : c_.projects.children(0))
        if (o->priority_value < p->priority_value)
            above = o;
    if (above == nullptr) {
        if (report)
            report(QStringLiteral("The first project has no project above it to go under."));
        return;
    }
    const std::int32_t parent = above->id;
    c_.project_cmds.modify(*p, [parent](model::project& x) {
        x.parent = parent;
        x.priority_value = -1;
    });
    tree_.set_expanded(QString::number(parent), true);
}

void project_list_pane::outdent()
{
    // A milestone becomes a project right after the one it belonged to.
    model::project* p = current();
    if (p == nullptr || !p->is_milestone())
        return;
    model::project_ptr parent = c_.projects.find(p->parent);
    const int value = parent ? parent->priority_value + 1 : -1;
    c_.project_cmds.modify(*p, [value](model::project& x) {
        x.parent = 0;
        x.priority_value = value;
    });
}

bool project_list_pane::list_command(int command)
{
    switch (command) {
    case cmd::move_up: move(true); return true;
    case cmd::move_down: move(false); return true;
    case cmd::delete_: delete_selected(list_); return true;
    case row_cmd::indent: indent(); return true;
    case row_cmd::outdent: outdent(); return true;
    default: return false;  // the view carries out the rest
    }
}

QString project_list_pane::empty_text() const
{
    if (!c_.projects.all().empty())
        return QStringLiteral("<Every project is hidden by the filters in the Project List Options>");
    return QStringLiteral("<Tip: press Enter to add a project>");
}

}  // namespace qm::ui
