#include "ui/task_list_view.h"

#include "app/settings_document.h"
#include "model/comments.h"
#include "model/task_recurrences.h"
#include "store/tables.h"
#include "time/calendar.h"
#include "time/format.h"
#include "ui/commands.h"
#include "ui/project_tools.h"
#include "ui/role_cells.h"
#include "ui/task_actions.h"

#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace qm::ui {

namespace task_filter {

int status_bit(int status)
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

int bit_of_command(int command)
{
    switch (command) {
    case 40023: case 41024: return notes;
    case 40014: case 41025: return headers;
    case 40015: case 41026: return descriptions;
    case 40016: case 41027: return comments;
    case 40017: case 41028: return appointments;
    case 40018: case 41029: return todos;
    case 40024: case 41030: return 0x40;
    case 40019: case 41031: return 0x80;
    case 40020: case 41032: return 0x100;
    case 40021: case 41033: return 0x200;
    case 40022: case 41034: return 0x400;
    default: return 0;
    }
}

}  // namespace task_filter

namespace {

const QString layout_block = QStringLiteral("list");

constexpr int show_schedule_between = list_cmd::schedule_between;

QColor blend(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

bool special_date(time::stored_date d) { return d <= time::NO_DATE; }

}  // namespace

task_list_view::task_list_view(int id, const QString& title, task_list_parts parts, QString settings_file,
                               QVector<column> columns, QWidget* parent)
    : view(id, title, parent), parts_(parts), settings_file_(std::move(settings_file))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    heading_ = new QLabel(this);
    QFont f = heading_->font();
    f.setPointSizeF(f.pointSizeF() * 1.3);
    f.setBold(true);
    heading_->setFont(f);
    // A long heading (a date range and counts) wraps instead of setting the
    // main window's smallest width.
    heading_->setWordWrap(true);
    layout->addWidget(heading_);
    list_ = new cell_list(*this, std::move(columns), 0, this);
    list_->set_name_column(task_column::task);
    list_->columns().allow_unsorted = true;
    list_->setObjectName(QStringLiteral("task_list_%1").arg(id));
    list_->setItemDelegateForColumn(list_->columns().index_of(task_column::task), new tree_delegate(*list_, tree_));
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(list_);
    layout->addWidget(splitter_, 1);
    setFocusProxy(list_);
    connect(list_, &cell_list::editor_closed, this, [this] {
        if (refresh_pending_)
            schedule_refresh();
    });
    connect(list_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        const int column_id = list_->columns().columns.value(index.column()).id;
        if (task_at(index.row()) != nullptr && editor_of(index.row(), column_id) == editor_kind::none)
            handle_command(cmd::properties);
    });
}

void task_list_view::finish_setup(int default_filters)
{
    const app::settings_document doc = app::settings_document::load(settings_file_);
    list_->columns().filter_flags = default_filters;
    if (doc.find_block(layout_block) != nullptr)
        list_->load_layout(doc, layout_block);
    load_extra(doc);
    store::listeners().add(this);
    // The lists start out of sight: each reads its tasks when first shown,
    // which keeps the start of a large file quick.
    focus_first_row_ = true;
    schedule_refresh();
}

task_list_view::~task_list_view() { store::listeners().remove(this); }

void task_list_view::save_state()
{
    app::settings_document doc = app::settings_document::load(settings_file_);
    list_->save_layout(doc, layout_block);
    save_extra(doc);
    doc.save(settings_file_);
}

std::vector<toolbar_button> task_list_view::buttons() const
{
    return {
        {"Assign to Today", list_cmd::assign_to_today}, {"-", 0},
        {"Add Alarm", list_cmd::add_alarm}, {"Description", list_cmd::description},
        {"Add Comment", cmd::add_comment}, {"-", 0},
        {"Task List Options", list_cmd::task_list_options},
    };
}

task_cells task_list_view::cells() const
{
    return task_cells{parts_.tasks, parts_.commands, parts_.tables, parts_.projects, parts_.actions, parts_.roles,
                      parts_.recurrences, nullptr};
}

bool task_list_view::listable(const model::task& t) const
{
    return !t.is_folder() && t.date != time::FOLDER_DATE;
}

void task_list_view::day_order(std::vector<model::task*>& tasks)
{
    std::stable_sort(tasks.begin(), tasks.end(), [](const model::task* a, const model::task* b) {
        if (a->date != b->date)
            return a->date < b->date;
        if (a->appointment != b->appointment)
            return a->appointment;  // appointments first, by their time
        if (a->appointment)
            return a->appointment_start < b->appointment_start;
        if (a->priority != b->priority)
            return a->priority < b->priority;
        return a->priority_value < b->priority_value;
    });
}

void task_list_view::showEvent(QShowEvent* event)
{
    view::showEvent(event);
    if (refresh_pending_ && !list_->editing())
        refresh();  // at once: the list never shows stale or empty rows
    else
        schedule_refresh();
}

// ---- rows ----

void task_list_view::schedule_refresh()
{
    refresh_pending_ = true;
    // Later, not inside the change: an editor may still be closing. A list
    // out of sight waits for its showEvent, so that a change in a large file
    // does not rebuild every hidden list.
    QTimer::singleShot(0, this, [this] {
        if (refresh_pending_ && !list_->editing() && isVisible())
            refresh();
    });
}

void task_list_view::refresh()
{
    refresh_pending_ = false;
    const int focus = list_->focus_row();
    const tree_rows::node* focus_node = tree_.node_at_row(focus);
    const QString focus_key = focus_node != nullptr ? focus_node->key : QString();
    const int focus_column = list_->focus_column_id();
    std::vector<QString> selected;
    for (int r : list_->selected_rows())
        if (const tree_rows::node* n = tree_.node_at_row(r))
            selected.push_back(n->key);

    const int flags = list_->columns().filter_flags;
    const column_model& cols = list_->columns();
    const task_cells c = cells();
    auto hidden_by_filter = [flags](const model::task& t) {
        return (flags & (t.appointment ? task_filter::appointments : task_filter::todos)) != 0 ||
               (flags & task_filter::status_bit(t.status)) != 0;
    };
    std::vector<tree_rows::node> nodes;
    info_.clear();
    hidden_ = 0;
    int shown_tasks = 0;
    auto add_node = [&](const QString& key, int level, node_info info) {
        nodes.push_back({key, level, -1, false});
        info_.push_back(std::move(info));
    };
    // A task's own rows: its description and comments, then a master's occurrences.
    auto add_task = [&](model::task& t, int level, const QString& key) {
        add_node(key, level, {1, t.id, QString(), false, 0});
        ++shown_tasks;
        if (!(flags & task_filter::descriptions) && !t.description.trimmed().isEmpty())
            add_node(QStringLiteral("d:%1").arg(t.id), level + 1, {3, t.id, t.description, false, 0});
        if (!(flags & task_filter::comments)) {
            std::vector<store::comment_record> notes = t.comments.to_vector();
            std::sort(notes.begin(), notes.end(), [](const auto& a, const auto& b) { return a.time < b.time; });
            for (const store::comment_record& n : notes)
                add_node(QStringLiteral("c:%1").arg(n.id), level + 1, {2, t.id, n.comment, false, n.time});
        }
        if (parts_.recurrences != nullptr && model::task_recurrences::is_master(t)) {
            std::vector<model::task*> occurrences = parts_.recurrences->occurrences_of(t.id);
            std::sort(occurrences.begin(), occurrences.end(),
                      [](const model::task* a, const model::task* b) { return a->date < b->date; });
            for (model::task* o : occurrences)
                if (!hidden_by_filter(*o))
                    add_node(QStringLiteral("o:%1").arg(o->id), level + 1, {1, o->id, QString(), false, 0});
        }
    };

    for (task_group& g : collect()) {
        std::vector<model::task*> shown;
        for (model::task* t : g.tasks) {
            if (hidden_by_filter(*t))
                ++hidden_;
            else
                shown.push_back(t);
        }
        if (cols.sorting_id >= 0)
            std::stable_sort(shown.begin(), shown.end(), [&](const model::task* a, const model::task* b) {
                const int r = c.compare(*a, *b, cols.sorting_id);
                return cols.ascending ? r < 0 : r > 0;
            });
        const bool with_heading = !g.heading.isEmpty() && !(flags & task_filter::headers);
        if (with_heading)
            add_node(QStringLiteral("g:") + g.key, 0, {0, 0, g.heading, g.marked, g.date});
        for (model::task* t : shown)
            add_task(*t, with_heading ? 1 : 0, QStringLiteral("t:%1").arg(t->id));
    }
    // Headings and tasks with notes start open, masters closed; afterwards
    // each keeps what the user made of it. Set before the nodes, so that the
    // tree is walked once.
    tree_.set_nodes({});
    for (std::size_t i = 0; i + 1 < nodes.size(); ++i)
        if (nodes[i + 1].level > nodes[i].level && seen_.insert(nodes[i].key).second) {
            const model::task_ptr t = info_[i].kind == 1 ? parts_.tasks.find(info_[i].task) : nullptr;
            if (!(t && model::task_recurrences::is_master(*t)))
                tree_.set_expanded(nodes[i].key, true);
        }
    tree_.set_nodes(std::move(nodes));

    QString head = title();
    const QString range = range_text();
    if (!range.isEmpty())
        head += QStringLiteral(" \u2014 ") + range;
    head += QStringLiteral("   (%1 task%2").arg(shown_tasks).arg(shown_tasks == 1 ? "" : "s");
    if (hidden_ > 0)
        head += QStringLiteral(", %1 hidden by Task List Options").arg(hidden_);
    heading_->setText(head + QLatin1Char(')'));

    int row = focus_key.isEmpty() ? -1 : tree_.shown_row_of_key(focus_key);
    if (row < 0 && focus >= 0)
        row = std::min(focus, row_count() - 1);
    list_->reload(row, focus_column >= 0 ? focus_column : task_column::task);
    if (focus_first_row_ && row_count() > 0) {
        focus_first_row_ = false;
        list_->set_focus_cell(0, task_column::task);
    }
    if (selected.size() > 1) {
        QVector<int> rows;
        for (const QString& key : selected)
            if (int r = tree_.row_of_key(key); r >= 0)
                rows << r;
        list_->select_rows(rows);
    }
}

const task_list_view::node_info* task_list_view::info_at(int row) const
{
    const int n = tree_.node_of_row(row);
    return n >= 0 && n < static_cast<int>(info_.size()) ? &info_[static_cast<std::size_t>(n)] : nullptr;
}

model::task* task_list_view::task_at(int row) const
{
    const node_info* i = info_at(row);
    return i != nullptr && i->kind == 1 ? parts_.tasks.find(i->task).get() : nullptr;
}

QString task_list_view::row_kind(int row) const
{
    const node_info* i = info_at(row);
    if (i == nullptr)
        return QString();
    static const char* const names[] = {"heading", "task", "comment", "description"};
    return QString::fromLatin1(names[std::clamp(i->kind, 0, 3)]);
}

int task_list_view::row_of(std::int32_t task_id) const
{
    const int r = tree_.row_of_key(QStringLiteral("t:%1").arg(task_id));
    return r >= 0 ? r : tree_.row_of_key(QStringLiteral("o:%1").arg(task_id));
}

void task_list_view::set_expanded_master(std::int32_t master, bool on)
{
    tree_.set_expanded(QStringLiteral("t:%1").arg(master), on);
    refresh();
}

std::vector<model::task*> task_list_view::selected_tasks() const
{
    std::vector<model::task*> out;
    QVector<int> rows = list_->selected_rows();
    if (rows.isEmpty() && list_->focus_row() >= 0)
        rows << list_->focus_row();
    for (int r : rows)
        if (model::task* t = task_at(r); t != nullptr && std::find(out.begin(), out.end(), t) == out.end())
            out.push_back(t);
    return out;
}

// ---- cells ----

QString task_list_view::cell_text(int row, int column_id) const
{
    const node_info* i = info_at(row);
    if (i == nullptr)
        return QString();
    switch (i->kind) {
    case 0: return column_id == task_column::task ? i->text : QString();
    case 2:
        if (column_id == task_column::task)
            return QStringLiteral("\u270E ") + model::shown_comment(i->text, 120);
        if (column_id == task_column::date && i->date != 0)
            return time::format_date_time(i->date);
        return QString();
    case 3: return column_id == task_column::task ? model::shown_comment(i->text, 120) : QString();
    default: break;
    }
    const model::task* t = task_at(row);
    return t == nullptr ? QString() : cells().text(*t, column_id);
}

QString task_list_view::cell_tip(int row, int column_id) const
{
    const node_info* i = info_at(row);
    if (i != nullptr && (i->kind == 2 || i->kind == 3) && column_id == task_column::task)
        return i->text;  // the whole text, not the one-line form
    return cell_text(row, column_id);
}

row_style task_list_view::style_of(int row) const
{
    row_style s;
    const node_info* i = info_at(row);
    if (i == nullptr)
        return s;
    const QColor base = palette().color(QPalette::Base);
    const bool dark = is_dark(palette());
    if (i->kind == 0) {
        s.heading = true;
        s.background = blend(base, i->marked ? QColor(220, 60, 60) : QColor(110, 130, 160), dark ? 0.35 : 0.18);
        return s;
    }
    if (i->kind != 1) {
        s.dimmed = true;
        return s;
    }
    if (const model::task* t = task_at(row)) {
        s.struck = t->status == model::status::finished || t->status == model::status::canceled;
        s.dimmed = t->status != model::status::unfinished;
        if (parts_.actions != nullptr && parts_.actions->timer().is_timed(*t)) {
            s.bold = true;
            s.background = QColor(206, 232, 255);
        }
    }
    return s;
}

int task_list_view::check_state(int row, int column_id) const
{
    const model::task* t = task_at(row);
    return t == nullptr ? -1 : cells().check_state(*t, column_id);
}

QColor task_list_view::cell_foreground(int row, int column_id) const
{
    const node_info* i = info_at(row);
    if (i != nullptr && i->kind == 0 && i->marked)
        return overdue_colour(palette());
    const model::task* t = task_at(row);
    if (t == nullptr)
        return {};
    // A date gone by on an unfinished task is marked like an overdue deadline.
    if (column_id == task_column::date && !special_date(t->date) && t->date < time::today() &&
        t->status == model::status::unfinished)
        return overdue_colour(palette());
    return cells().foreground(*t, column_id, palette());
}

QColor task_list_view::cell_background(int row, int column_id) const
{
    const model::task* t = task_at(row);
    return t != nullptr ? cells().background(*t, column_id) : QColor();
}

int task_list_view::editor_of(int row, int column_id) const
{
    const model::task* t = task_at(row);
    return t == nullptr ? editor_kind::none : cells().editor(*t, column_id);
}

bool task_list_view::begin_text_edit(int row, int column_id, QString& initial)
{
    const model::task* t = task_at(row);
    if (t == nullptr)
        return false;
    initial = cells().initial_text(*t, column_id);
    return true;
}

int task_list_view::commit_text(int row, int column_id, const QString& text)
{
    model::task* t = task_at(row);
    if (t == nullptr)
        return 0;
    return cells().commit(*t, column_id, text, [this](const QString& m) { report(m); });
}

void task_list_view::begin_commits(int target_rows)
{
    if (target_rows > 1) {
        parts_.history.begin_group();
        ++commit_group_depth_;
    }
}

void task_list_view::end_commits(int target_rows)
{
    if (target_rows > 1 && commit_group_depth_ > 0) {
        --commit_group_depth_;
        parts_.history.end_group();
    }
}

QStringList task_list_view::completions(int, int column_id) const { return cells().completions(column_id); }

void task_list_view::cell_clicked(int row, int column_id, Qt::KeyboardModifiers modifiers)
{
    if (column_id != task_column::status || (modifiers & (Qt::ShiftModifier | Qt::ControlModifier)))
        return;  // a selecting click only selects
    if (model::task* t = task_at(row); t != nullptr && !t->appointment)
        parts_.commands.toggle_finished({t});
}

QVector<cell_button> task_list_view::cell_buttons(int row, int column_id) const
{
    const model::task* t = column_id == task_column::task ? task_at(row) : nullptr;
    if (t == nullptr || !model::task_recurrences::is_master(*t) || !tree_.expandable_row(row))
        return {};
    return {{tree_.expanded_row(row) ? QStringLiteral("Hide recurrences") : QStringLiteral("Show recurrences"),
             toggle_occurrences}};
}

void task_list_view::cell_button_clicked(int row, int, int command)
{
    if (command != toggle_occurrences)
        return;
    tree_.toggle_row(row);
    refresh();
}

int task_list_view::add_row(int focus_row)
{
    auto t = std::make_shared<model::task>();
    t->date = time::NO_DATE;
    t->priority = model::day_priority::b;
    t->priority_value = -1;
    const row_place place = place_at(focus_row);
    t->date = place.date;
    if (place.after != nullptr && place.after->is_todo()) {
        t->priority = place.after->priority;
        t->priority_value = place.after->priority_value + 1;  // right after the focus task
    }
    prepare_new(*t);
    parts_.commands.add(t);
    refresh();
    return row_of(t->id);
}

task_list_view::row_place task_list_view::place_at(int row) const
{
    row_place place;
    for (int r = row; r >= 0; --r) {
        const node_info* i = info_at(r);
        if (i == nullptr)
            break;
        if (i->kind == 0) {
            if (i->date != 0)
                place.date = i->date;
            break;
        }
        if (const model::task* t = task_at(r);
            t != nullptr && !model::task_recurrences::is_master(*t) && !special_date(t->date)) {
            place.date = t->date;
            place.after = t;
            break;
        }
    }
    return place;
}

// ---- commands ----

bool task_list_view::handle_command(int command) { return own_command(command) || list_->handle_command(command); }

bool task_list_view::handles(int command) const
{
    switch (command) {
    case cmd::delete_: case cmd::toggle_finished: case cmd::unfinished: case cmd::finished: case cmd::delegated:
    case cmd::waiting: case cmd::canceled: case cmd::priority_a: case cmd::priority_b: case cmd::priority_c:
    case cmd::push_to_top: case cmd::push_to_bottom: case cmd::make_top_priority: case cmd::no_date:
    case cmd::date_today: case cmd::date_tomorrow: case cmd::date_edit: case cmd::move_up: case cmd::move_down:
    case cmd::move_to_top: case cmd::move_to_bottom: case list_cmd::assign_to_today: case list_cmd::description:
    case list_cmd::task_list_options: case list_cmd::cell_clear: case list_cmd::cell_increment:
    case list_cmd::cell_decrement: case show_schedule_between:
        return true;
    case list_cmd::pull_next_in_project:
    case list_cmd::pull_next_in_folder:
        return parts_.projects != nullptr;
    case 40046:  // Task > Project
    case cmd::folder:
        return parts_.projects != nullptr;
    case 40047:  // Task > Role
    case 40050:  // Task > Tags
        return parts_.roles != nullptr;
    default:
        break;
    }
    if (parts_.actions != nullptr && task_actions::handles(command))
        return true;
    if (command >= cmd::date_sunday && command <= cmd::date_sunday + 6)
        return true;
    if (task_filter::bit_of_command(command) != 0 || task_value_handles(command))
        return true;
    return list_layout_handles(*list_, command) || list_->can_handle(command);
}

bool task_list_view::own_command(int command)
{
    if (const int bit = task_filter::bit_of_command(command)) {
        list_->columns().filter_flags ^= bit;
        refresh();
        return true;
    }
    switch (command) {
    case list_cmd::task_list_options: options_popup(); return true;
    case list_cmd::cell_clear:
    case list_cmd::cell_increment:
    case list_cmd::cell_decrement: clear_or_step(command); return true;
    default: break;
    }
    if (list_layout_command(*list_, command))
        return true;
    const std::vector<model::task*> selected = selected_tasks();
    if (row_command(command, selected))
        return true;
    if (task_value_command(command, *list_, list_->focus_row(), selected, parts_.commands, parts_.history,
                           parts_.actions, this))
        return true;
    return parts_.actions != nullptr &&
           parts_.actions->handle(command, task_at(list_->focus_row()), this, [this](const QString& t) { report(t); });
}

bool task_list_view::row_command(int command, const std::vector<model::task*>& selected)
{
    history::task_commands& commands = parts_.commands;
    switch (command) {
    case cmd::delete_: {
        if (selected.empty())
            return true;
        parts_.history.begin_group();
        for (model::task* t : selected)
            if (model::task_ptr p = parts_.tasks.find(t->id))
                commands.remove(p);
        parts_.history.end_group();
        return true;
    }
    case cmd::toggle_finished: commands.toggle_finished(selected); return true;
    case cmd::unfinished: commands.set_status(selected, model::status::unfinished); return true;
    case cmd::finished: commands.set_status(selected, model::status::finished); return true;
    case cmd::delegated: commands.set_status(selected, model::status::delegated); return true;
    case cmd::waiting: commands.set_status(selected, model::status::waiting); return true;
    case cmd::canceled: commands.set_status(selected, model::status::canceled); return true;
    case cmd::priority_a: commands.set_day_priority(selected, 1); return true;
    case cmd::priority_b: commands.set_day_priority(selected, 2); return true;
    case cmd::priority_c: commands.set_day_priority(selected, 3); return true;
    case cmd::push_to_top:
    case cmd::move_to_top: commands.push_to_top(selected); return true;
    case cmd::push_to_bottom:
    case cmd::move_to_bottom: commands.push_to_bottom(selected); return true;
    case cmd::make_top_priority: commands.make_top_priority(selected); return true;
    case cmd::move_up: cells().move_in_day(parts_.history, selected, true); return true;
    case cmd::move_down: cells().move_in_day(parts_.history, selected, false); return true;
    case cmd::no_date: commands.set_date(selected, time::NO_DATE); return true;
    case cmd::date_today: commands.set_date(selected, time::today()); return true;
    case cmd::date_tomorrow: commands.set_date(selected, time::tomorrow()); return true;
    case cmd::date_edit: list_->edit_cell(list_->focus_row(), task_column::date); return true;
    case list_cmd::assign_to_today: {
        std::vector<model::task*> dated;
        for (model::task* t : selected)
            if (!model::task_recurrences::is_master(*t))
                dated.push_back(t);
        if (dated.size() < selected.size())
            report(QStringLiteral("A recurring task's master keeps its pattern; its occurrences can be moved."));
        commands.set_date(dated, time::today());
        return true;
    }
    case list_cmd::description:
        if (model::task* t = task_at(list_->focus_row()))
            edit_description(*t);
        else
            report(QStringLiteral("Select a task to describe."));
        return true;
    case show_schedule_between:
        report(schedule_between_prompt(cells(), parts_.history, this, selected));
        return true;
    case list_cmd::pull_next_in_project:
    case list_cmd::pull_next_in_folder:
        if (parts_.projects == nullptr)
            return false;
        if (const model::task* t = task_at(list_->focus_row()))
            report(cells().pull_next(*t, command == list_cmd::pull_next_in_folder));
        else
            report(QStringLiteral("Select a task of a project first."));
        return true;
    case 40047:  // Task > Role, even while its column is hidden
    case 40050:  // Task > Tags
        if (parts_.roles != nullptr)
            list_->edit_cell(list_->focus_row(), command == 40047 ? task_column::role : task_column::tags);
        return true;
    case 40046:  // Task > Project
    case cmd::folder:
        if (parts_.projects != nullptr)
            report(prompt_assign(*parts_.projects, this, selected, command == cmd::folder));
        return true;
    default: break;
    }
    if (command >= cmd::date_sunday && command <= cmd::date_sunday + 6) {
        commands.set_date(selected, time::weekday_date(command - cmd::date_sunday + 1));
        return true;
    }
    return false;
}

void task_list_view::clear_or_step(int command)
{
    cells().cell_command(parts_.history, selected_tasks(), list_->focus_column_id(), command,
                         [this](const QString& m) { report(m); });
}

void task_list_view::edit_description(model::task& t) { ui::edit_description(cells(), this, t, ask_description); }

void task_list_view::options_popup()
{
    const int flags = list_->columns().filter_flags;
    std::vector<popup_line> lines;
    auto heading = [&](const char* text) { lines.push_back({QString(), QString::fromUtf8(text), QString(), {}}); };
    auto filter = [&](const char* key, const char* text, int command) {
        const int bit = task_filter::bit_of_command(command);
        lines.push_back({QString::fromLatin1(key), QString::fromUtf8(text),
                         (flags & bit) ? QStringLiteral("\u2713 hidden") : QString(),
                         [this, command] { own_command(command); }});
    };
    heading("Rows to Hide, by Type");
    filter("N", "Notes", 40023);
    filter("H", "Headers", 40014);
    filter("D", "Descriptions", 40015);
    filter("C", "Comments", 40016);
    heading("Rows to Hide, by Task Type");
    filter("TA", "Appointments", 40017);
    filter("TT", "Todos", 40018);
    heading("Rows to Hide, by Task Status");
    filter("SU", "Unfinished", 40024);
    filter("SF", "Finished", 40019);
    filter("SD", "Delegated", 40020);
    filter("SW", "Waiting", 40021);
    filter("SC", "Canceled", 40022);
    heading("List");
    add_option_lines(lines);
    lines.push_back({QStringLiteral("L"), QStringLiteral("Columns and Sort Order..."), QString(), [this] {
                         QMenu menu(this);
                         add_layout_menus(menu, *list_, QStringLiteral("&Date Order"));
                         menu.exec(mapToGlobal(QPoint(8, 0)));
                     }});
    action_popup::run(QStringLiteral("Task List Options"), std::move(lines), this);
}

printout task_list_view::make_printout() const
{
    printout p = printout_of_list(*list_, title(), range_text());
    for (int r = 0; r < row_count() && r < static_cast<int>(p.lines.size()); ++r)
        if (const node_info* i = info_at(r); i != nullptr && (i->kind == 2 || i->kind == 3)) {
            p.lines[static_cast<std::size_t>(r)].kind = printout::line::note;
            p.lines[static_cast<std::size_t>(r)].cells = QStringList{
                (i->kind == 2 ? QStringLiteral("Comment: ") : QStringLiteral("Description: ")) +
                QString(i->text).replace(QLatin1Char('\n'), QLatin1Char(' '))};
        }
    return p;
}

long task_list_view::on_announcement(const store::announcement& a)
{
    if (a.message == model::task_message::batch_ended || a.message == store::message::options_applied ||
        (a.message >= store::message::role_base && a.message <= store::message::role_base + 3) ||
        (a.message >= store::message::tag_base && a.message <= store::message::tag_base + 3) ||
        (a.message >= store::message::comment_base && a.message <= store::message::comment_base + 3))
        schedule_refresh();
    return 0;
}

}  // namespace qm::ui
