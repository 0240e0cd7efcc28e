#include "ui/project_tasks_pane.h"

#include "history/task_description.h"
#include "time/format.h"
#include "time/parse.h"
#include "ui/commands.h"
#include "ui/project_list_pane.h"
#include "ui/role_cells.h"
#include "ui/task_cells.h"

#include <algorithm>
#include <functional>

namespace qm::ui {
namespace {

QVector<column> task_columns()
{
    using namespace project_task_column;
    return {
        {task, "Task", true, 1.0, -1, -1, true},
        {status, "Status", true, 80, -1, -1, false},
        {estimate, "Estimate", true, 76, -1, -1, false},
        {time, "Time", false, 76, -1, -1, false},
        {time_left, "Time Left", true, 76, -1, -1, false},
        {impact, "Impact", true, 56, -1, -1, false},
        {roi, "ROI", false, 56, -1, -1, false},
        {yield, "Yield", true, 56, -1, -1, false},
        {date, "Date", true, 90, -1, -1, false},
        {day_priority, "Day Priority", false, 84, -1, -1, false},
        {manual_index, "Manual Index", false, 84, -1, -1, false},
        {deadline, "Deadline", false, 96, -1, -1, false},
        {role, "Role", true, 0.2, -1, -1, false},
        {tags, "Tag", true, 0.2, -1, -1, false},
    };
}

QString number_text(double v) { return v == 0 ? QString() : QString::number(v, 'f', 2); }

bool special_date(time::stored_date d) { return d <= time::NO_DATE; }

}  // namespace

project_tasks_pane::project_tasks_pane(project_context& c, QWidget* parent) : c_(c)
{
    list_ = new cell_list(*this, task_columns(), 0, parent);
    list_->setObjectName(QStringLiteral("project_tasks"));
    list_->set_name_column(project_task_column::task);
    list_->setItemDelegateForColumn(list_->columns().index_of(project_task_column::task),
                                    new tree_delegate(*list_, tree_));
}

QString project_tasks_pane::expansion_file(std::int32_t project) const
{
    return c_.settings_folder + QStringLiteral("goal_tasks/expanded/%1.ini").arg(project);
}

void project_tasks_pane::save_expansion() const
{
    if (project_ != 0)
        tree_.save(expansion_file(project_));
}

void project_tasks_pane::set_project(std::int32_t id)
{
    if (id == project_)
        return;
    save_expansion();
    project_ = id;
    tree_ = tree_rows();
    if (project_ != 0)
        tree_.load(expansion_file(project_));
    refresh();
    list_->set_focus_cell(row_count() > 0 ? 0 : -1, project_task_column::task);
}

void project_tasks_pane::refresh()
{
    const model::task* focus = task_at(list_->focus_row());
    const std::int32_t focus_id = focus != nullptr ? focus->id : 0;
    const int focus_row = list_->focus_row();
    const int column = list_->focus_column_id();
    std::vector<std::int32_t> selected;
    for (int r : list_->selected_rows())
        if (const model::task* t = task_at(r))
            selected.push_back(t->id);

    std::vector<tree_rows::node> nodes;
    ids_.clear();
    hidden_ = 0;
    model::project_ptr p = c_.projects.find(project_);
    if (p) {
        const model::task_tree tree = model::build_task_tree(c_.tasks, *p);
        const int flags = list_->columns().filter_flags;
        std::function<void(const std::vector<model::task*>&, int)> walk = [&](const std::vector<model::task*>& group,
                                                                              int level) {
            for (model::task* t : group) {
                const bool kind_hidden =
                    !t->is_folder() && (flags & (t->appointment ? 0x10 : 0x20)) != 0;
                if (kind_hidden || (flags & project_filter_bit(t->status)) != 0) {
                    ++hidden_;
                    continue;
                }
                nodes.push_back({QString::number(t->id), level, -1, false});
                ids_.push_back(t->id);
                if (level < 40)
                    walk(tree.children_of(t->id), level + 1);
            }
        };
        walk(tree.roots, 0);
    }
    tree_.set_nodes(std::move(nodes));

    // A collapsed folder takes the focus of its task.
    int row = focus_id != 0 ? tree_.shown_row_of_key(QString::number(focus_id)) : -1;
    if (row < 0 && focus_row >= 0)
        row = std::min(focus_row, row_count() - 1);
    list_->reload(row, column >= 0 ? column : project_task_column::task);
    if (selected.size() > 1) {
        QVector<int> rows;
        for (std::int32_t id : selected)
            if (int r = row_of(id); r >= 0)
                rows << r;
        list_->select_rows(rows);
    }
}

void project_tasks_pane::tree_changed()
{
    refresh();
    save_expansion();
}

model::task* project_tasks_pane::task_at(int row) const
{
    const int node = tree_.node_of_row(row);
    if (node < 0 || node >= static_cast<int>(ids_.size()))
        return nullptr;
    return c_.tasks.find(ids_[static_cast<std::size_t>(node)]).get();
}

int project_tasks_pane::row_of(std::int32_t task_id) const { return tree_.row_of_key(QString::number(task_id)); }

void project_tasks_pane::select_task(std::int32_t id)
{
    // The folders above it open, so that the task can be seen.
    model::task_ptr t = c_.tasks.find(id);
    for (model::task* up = t ? c_.tasks.parent_of(*t) : nullptr; up != nullptr; up = c_.tasks.parent_of(*up)) {
        if (tree_.is_expanded(QString::number(up->id)))
            continue;
        tree_.set_expanded(QString::number(up->id), true);
    }
    refresh();
    if (int r = row_of(id); r >= 0)
        list_->set_focus_cell(r, project_task_column::task);
}

std::vector<model::task*> project_tasks_pane::selected_tasks() const
{
    std::vector<model::task*> out;
    QVector<int> rows = list_->selected_rows();
    if (rows.isEmpty() && list_->focus_row() >= 0)
        rows << list_->focus_row();
    for (int r : rows)
        if (model::task* t = task_at(r))
            out.push_back(t);
    return out;
}

// ---- cells ----

QString project_tasks_pane::cell_text(int row, int column_id) const
{
    const model::task* t = task_at(row);
    if (t == nullptr)
        return QString();
    using namespace project_task_column;
    switch (column_id) {
    case task: return t->name;
    case status: return t->status == model::status::unfinished ? QString() : model::status_text(t->status, true);
    case estimate: {
        const std::int64_t e = c_.tasks.effective_estimate(*t);
        return e == 0 ? QString() : time::format_duration(e);
    }
    case time: {
        std::int64_t spent = c_.tasks.time_spent(*t);
        for (const model::task* d : c_.tasks.descendants(*t))
            spent += c_.tasks.time_spent(*d);
        return spent == 0 ? QString() : time::format_duration(spent);
    }
    case time_left:
        return c_.tasks.effective_estimate(*t) == 0 ? QString() : time::format_duration(c_.tasks.time_left(*t));
    case impact: {
        const std::int64_t i = c_.tasks.impact(*t);
        return i == 0 ? QString() : QString::number(i);
    }
    case roi: return number_text(c_.tasks.roi(*t));
    case yield: return number_text(c_.tasks.yield(*t));
    case date: return special_date(t->date) ? QString() : time::format_short_date(t->date);
    case day_priority: return t->is_todo() && !special_date(t->date) ? history::priority_text(*t) : QString();
    case manual_index: return t->project_priority_value == 0 ? QString() : QString::number(t->project_priority_value);
    case deadline: return t->deadline == 0 ? QString() : time::format_short_date(t->deadline);
    case role: return cells().text(*t, task_column::role);
    case tags: return cells().text(*t, task_column::tags);
    default: return QString();
    }
}

row_style project_tasks_pane::style_of(int row) const
{
    row_style s;
    if (const model::task* t = task_at(row)) {
        s.bold = t->is_folder();
        s.struck = t->status == model::status::finished || t->status == model::status::canceled;
        s.dimmed = t->status != model::status::unfinished;
    }
    return s;
}

int project_tasks_pane::editor_of(int row, int column_id) const
{
    const model::task* t = task_at(row);
    if (t == nullptr)
        return editor_kind::none;
    using namespace project_task_column;
    switch (column_id) {
    case task:
    case status:
    case impact:
    case deadline:
        return editor_kind::text;
    case estimate:
        return editor_kind::text;
    case date:
        return t->is_folder() ? editor_kind::none : editor_kind::text;
    case role:
        return roles_ != nullptr ? editor_kind::text : editor_kind::none;
    case tags:
        return roles_ != nullptr && !t->is_folder() ? editor_kind::text : editor_kind::none;
    default:
        return editor_kind::none;
    }
}

bool project_tasks_pane::begin_text_edit(int row, int column_id, QString& initial)
{
    const model::task* t = task_at(row);
    if (t == nullptr)
        return false;
    using namespace project_task_column;
    if (column_id == status)
        initial = model::status_text(t->status, true);
    else if (column_id == estimate)
        initial = t->estimate == 0 ? QString() : time::format_duration(t->estimate);
    else
        initial = cell_text(row, column_id);
    return true;
}

int project_tasks_pane::commit_text(int row, int column_id, const QString& text)
{
    model::task* t = task_at(row);
    if (t == nullptr)
        return 0;
    using namespace project_task_column;
    const bool none = text.isEmpty() || text.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0;
    switch (column_id) {
    case task:
        c_.task_cmds.modify(*t, [&](model::task& x) { x.name = text; });
        return 0;
    case status: {
        const int s = model::status_from_text(text);
        if (s < 0) {
            say(QStringLiteral("\"%1\" is not a status: type unfinished, finished, delegated, waiting or canceled.")
                    .arg(text));
            return 2;
        }
        c_.task_cmds.modify(*t, [s](model::task& x) { x.status = s; });
        return 0;
    }
    case estimate: {
        std::optional<time::duration> d = none ? std::optional<time::duration>(0) : time::parse_duration_checked(text);
        if (!d) {
            say(QStringLiteral("\"%1\" is not a duration: type for example 1h 30m, 1:30 or 90.").arg(text));
            return 2;
        }
        c_.task_cmds.modify(*t, [&](model::task& x) {
            x.estimate = *d;
            if (x.original_estimate == 0)
                x.original_estimate = *d;
        });
        return 0;
    }
    case impact: {
        bool ok = none;
        const int units = none ? 0 : text.toInt(&ok);
        if (!ok || units < 0) {
            say(QStringLiteral("\"%1\" is not an impact: type a whole number.").arg(text));
            return 2;
        }
        c_.task_cmds.modify(*t, [units](model::task& x) { x.units = units; });
        return 0;
    }
    case date:
    case deadline: {
        time::stored_date d = 0;
        if (!none) {
            const time::parsed_date parsed = time::parse_date(text, time::short_date_pattern(), time::today());
            if (parsed.failed) {
                say(QStringLiteral("\"%1\" is not a date: type for example today, next fri, 3/15 or dec 25.").arg(text));
                return 2;
            }
            d = parsed.date;
        }
        if (column_id == date)
            c_.task_cmds.modify(*t, [&](model::task& x) { x.date = d == 0 ? time::NO_DATE : d; });
        else
            c_.task_cmds.modify(*t, [&](model::task& x) { x.deadline = d; });
        return 0;
    }
    case role:
    case tags:
        return cells().commit(*t, column_id == role ? task_column::role : task_column::tags, text,
                              [this](const QString& m) { say(m); });
    default:
        return 0;
    }
}

task_cells project_tasks_pane::cells() const
{
    return task_cells{c_.tasks, c_.task_cmds, c_.tables, &c_, nullptr, roles_, nullptr, nullptr};
}

QColor project_tasks_pane::cell_foreground(int row, int column_id) const
{
    const model::task* t = column_id == project_task_column::role ? task_at(row) : nullptr;
    return t != nullptr ? cells().foreground(*t, task_column::role, list_->palette()) : QColor();
}

QColor project_tasks_pane::cell_background(int row, int column_id) const
{
    const model::task* t = column_id == project_task_column::role ? task_at(row) : nullptr;
    return t != nullptr ? cells().background(*t, task_column::role) : QColor();
}

QStringList project_tasks_pane::completions(int, int column_id) const
{
    if (column_id == project_task_column::role || column_id == project_task_column::tags)
        return cells().completions(column_id == project_task_column::role ? task_column::role : task_column::tags);
    return {};
}

void project_tasks_pane::begin_commits(int target_rows)
{
    if (target_rows > 1) {
        c_.history.begin_group();
        ++commit_group_depth_;
    }
}

void project_tasks_pane::end_commits(int target_rows)
{
    if (target_rows > 1 && commit_group_depth_ > 0) {
        --commit_group_depth_;
        c_.history.end_group();
    }
}

// ---- adding ----

int project_tasks_pane::add_task(int focus_row, bool folder)
{
    if (!c_.projects.find(project_)) {
        say(QStringLiteral("Add a project first: the task list shows the tasks of the selected project."));
        return -1;
    }
    auto t = std::make_shared<model::task>();
    t->project = project_;
    t->priority = model::day_priority::b;
    t->priority_value = -1;
    const model::task* focus = task_at(focus_row);
    if (focus != nullptr)
        t->parent = c_.tasks.parent_of(*focus) != nullptr ? focus->parent : 0;
    // Right after the focus row in its group (the store opens the place), or
    // at the end.
    t->project_priority_value = focus != nullptr && focus->project_priority_value != 0
                                    ? focus->project_priority_value + 1
                                    : c_.tasks.next_folder_value(*t);
    if (folder) {
        t->folder = model::folder_method::roi;
        t->appointment = true;
        t->date = time::FOLDER_DATE;
    }
    c_.history.begin_group();
    c_.task_cmds.add(t);
    c_.history.end_group();
    if (folder)
        tree_.set_expanded(QString::number(t->id), true);
    refresh();
    return row_of(t->id);
}

int project_tasks_pane::add_row(int focus_row) { return add_task(focus_row, false); }

void project_tasks_pane::new_folder()
{
    const int row = add_task(list_->focus_row(), true);
    if (row < 0)
        return;
    list_->set_focus_cell(row, project_task_column::task);
    list_->edit_cell(row, project_task_column::task);
}

void project_tasks_pane::delete_selected()
{
    const std::vector<model::task*> selected = selected_tasks();
    if (selected.empty())
        return;
    c_.history.begin_group();
    for (model::task* t : selected)
        if (model::task_ptr held = c_.tasks.find(t->id))
            c_.task_cmds.remove(held);
    c_.history.end_group();
}

// ---- moving ----

void project_tasks_pane::indent()
{
    std::vector<model::task*> selected = selected_tasks();
    c_.history.begin_group();
    for (model::task* t : selected) {
        const history::move_result r = c_.moves.indent(*t);
        say(r.message);
        if (r.done && t->parent != 0)
            tree_.set_expanded(QString::number(t->parent), true);
    }
    c_.history.end_group();
}

void project_tasks_pane::outdent()
{
    std::vector<model::task*> selected = selected_tasks();
    // The lowest first, so that each lands right after its old parent in order.
    std::reverse(selected.begin(), selected.end());
    c_.history.begin_group();
    for (model::task* t : selected)
        say(c_.moves.outdent(*t).message);
    c_.history.end_group();
}

void project_tasks_pane::move(int where)
{
    std::vector<model::task*> selected = selected_tasks();
    if (where == history::move_to::down || where == history::move_to::top)
        std::reverse(selected.begin(), selected.end());
    c_.history.begin_group();
    for (model::task* t : selected)
        say(c_.moves.move(*t, where).message);
    c_.history.end_group();
}

void project_tasks_pane::step_folder(int delta)
{
    const int n = row_count();
    for (int r = list_->focus_row() + delta; r >= 0 && r < n; r += delta)
        if (const model::task* t = task_at(r); t != nullptr && t->is_folder()) {
            list_->set_focus_cell(r, list_->focus_column_id());
            return;
        }
}

bool project_tasks_pane::focus_group_sorted() const
{
    model::project_ptr p = c_.projects.find(project_);
    if (!p)
        return false;
    const model::task* focus = task_at(list_->focus_row());
    const model::task* parent = focus != nullptr ? c_.tasks.parent_of(*focus) : nullptr;
    return model::group_method(*p, parent) == model::folder_method::roi;
}

void project_tasks_pane::set_focus_group_sorted(bool on)
{
    model::project_ptr p = c_.projects.find(project_);
    if (!p)
        return;
    const int method = on ? model::folder_method::roi : model::folder_method::manual;
    model::task* focus = task_at(list_->focus_row());
    model::task* parent = focus != nullptr ? c_.tasks.parent_of(*focus) : nullptr;
    if (parent != nullptr && parent->is_folder())
        c_.task_cmds.modify(*parent, [method](model::task& x) { x.folder = method; });
    else if (parent == nullptr)
        c_.project_cmds.set_method(*p, on ? model::project_method::roi : model::project_method::manual);
}

void project_tasks_pane::sort_focus_group()
{
    model::task* focus = task_at(list_->focus_row());
    if (focus == nullptr)
        return;
    std::vector<model::task*> group = c_.moves.group_of(*focus);
    model::order_group(c_.tasks, group, model::folder_method::roi);
    c_.history.begin_group(QStringLiteral("sorting by ROI"), history::group_flag::labelled);
    for (std::size_t i = 0; i < group.size(); ++i) {
        const int wanted = static_cast<int>(i) + 1;
        if (group[i]->project_priority_value != wanted)
            c_.task_cmds.modify(*group[i], [wanted](model::task& x) { x.project_priority_value = wanted; });
    }
    c_.history.end_group();
}

void project_tasks_pane::assign_to_today()
{
    std::vector<model::task*> tasks;
    for (model::task* t : selected_tasks())
        if (!t->is_folder())
            tasks.push_back(t);
    c_.task_cmds.set_date(tasks, time::today());
}

void project_tasks_pane::set_method(int method)
{
    if (model::task* t = task_at(list_->focus_row()))
        c_.moves.set_method(*t, method);
}

bool project_tasks_pane::list_command(int command)
{
    switch (command) {
    case cmd::delete_: delete_selected(); return true;
    case cmd::move_up: move(history::move_to::up); return true;
    case cmd::move_down: move(history::move_to::down); return true;
    case cmd::move_to_top: move(history::move_to::top); return true;
    case cmd::move_to_bottom: move(history::move_to::bottom); return true;
    case row_cmd::indent: indent(); return true;
    case row_cmd::outdent: outdent(); return true;
    default: return false;
    }
}

QString project_tasks_pane::empty_text() const
{
    if (!c_.projects.find(project_))
        return QStringLiteral("<Add a project on the left, then its tasks here>");
    return QString();
}

}  // namespace qm::ui
