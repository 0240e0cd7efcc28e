#include "ui/day_view.h"
#include "ui/role_cells.h"

#include "app/settings_document.h"
#include "app/options.h"
#include "model/day_load.h"
#include "model/dependencies.h"
#include "model/task_operations.h"
#include "model/task_recurrences.h"
#include "store/tables.h"
#include "time/format.h"
#include "time/parse.h"
#include "ui/commands.h"
#include "ui/keyboard_menus.h"
#include "schedule/schedule_store.h"
#include "ui/project_tools.h"
#include "ui/schedule_pane.h"
#include "ui/task_actions.h"
#include "ui/task_cells.h"

#include <QCollator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace qm::ui {
namespace {

const QString layout_block = QStringLiteral("list");

QVector<column> day_columns()
{
    using namespace day_column;
    QVector<column> c = {
        {status, "Status", true, 86, -1, -1, false},
        {task, "Task", true, 1.0, -1, -1, true},
        {day_priority, "Day Priority", true, 88, -1, -1, false},
        {estimate, "Estimate", true, 84, -1, -1, false},
        {scheduling, "Scheduling", false, 0.3, -1, -1, false},
        {deadline, "Deadline", true, 130, -1, -1, false},
        {time, "Time", true, 190, -1, -1, false},
        {time_left, "Time Left", true, 84, -1, -1, false},
        {project, "Project", false, 0.3, -1, -1, false},
        {role, "Role", true, 0.3, -1, -1, false},
        {impact, "Impact", false, 64, -1, -1, false},
        {roi, "ROI", false, 64, -1, -1, false},
        {yield, "Yield", false, 64, -1, -1, false},
        {date, "Date", false, 100, -1, -1, false},
        {tags, "Tag", false, 0.3, -1, -1, false},
        {original_estimate, "Original Estimate", false, 110, -1, -1, false},
        {recurrence, "Recurrence", false, 0.3, -1, -1, false},
    };
    return c;
}

constexpr int sort_ascending = 41037, sort_descending = 41038, sort_default = 41175;
constexpr int task_list_options = 40443;
constexpr int show_schedule_view = 41138;
constexpr int notifications_pane_command = 40179, show_notifications_pane = 41139;

const char* heading_text(int priority)
{
    switch (priority) {
    case 0: return "Appointments";
    case 1: return "A \u2014 Critical";
    case 2: return "B \u2014 Important";
    default: return "C \u2014 Desired";
    }
}

QColor blend(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

}  // namespace

day_view::day_view(model::task_store& tasks, history::task_commands& commands, history::history& history,
                   store::tables& tables, QString settings_file, QWidget* parent)
    : view(id, QStringLiteral("Day"), parent),
      tasks_(tasks),
      commands_(commands),
      history_(history),
      tables_(tables),
      settings_file_(std::move(settings_file)),
      date_(time::today()),
      last_today_(date_)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    heading_ = new QLabel(this);
    QFont f = heading_->font();
    f.setPointSizeF(f.pointSizeF() * 1.3);
    f.setBold(true);
    heading_->setFont(f);
    layout->addWidget(heading_);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("day_summary"));
    layout->addWidget(summary_);
    list_ = new cell_list(*this, day_columns(), 0, this);
    list_->set_name_column(day_column::task);
    list_->columns().allow_unsorted = true;
    list_->setObjectName(QStringLiteral("day_list"));
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(list_);
    layout->addWidget(splitter_, 1);
    setFocusProxy(list_);
    // Rows are never rebuilt under an open editor: that would close it.
    connect(list_, &cell_list::editor_closed, this, [this] {
        if (refresh_pending_)
            schedule_refresh();
    });
    list_->load_layout(app::settings_document::load(settings_file_), layout_block);
    // A double click on a cell that has no editor opens the task's properties.
    connect(list_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        const int column_id = list_->columns().columns.value(index.column()).id;
        if (task_at(index.row()) != nullptr && editor_of(index.row(), column_id) == editor_kind::none)
            handle_command(cmd::properties);
    });
    store::listeners().add(this);
    refresh();
    if (!rows_.empty())
        list_->set_focus_cell(0, day_column::task);
}

day_view::~day_view() { store::listeners().remove(this); }

void day_view::set_date(time::stored_date d)
{
    const time::stored_date before = date_;
    date_ = time::date_of(d);
    if (pane_ != nullptr)
        pane_->set_date(date_);
    refresh();
    list_->set_focus_cell(0, list_->focus_column_id());
    if (date_ != before)
        emit place_changed();
}

std::int32_t day_view::focus_task() const
{
    const model::task* t = task_at(list_->focus_row());
    return t != nullptr ? t->id : 0;
}

bool day_view::reveal_task(std::int32_t id)
{
    model::task_ptr t = tasks_.find(id);
    if (!t || t->date == time::NO_DATE || t->date == time::FOLDER_DATE || t->date == time::RECURRENCE_MASTER_DATE)
        return false;
    if (t->date != date_)
        set_date(t->date);
    const int row = row_of(id);
    if (row < 0)
        return false;
    list_->set_focus_cell(row, day_column::task);
    return true;
}

void day_view::save_state()
{
    app::settings_document doc = app::settings_document::load(settings_file_);
    list_->save_layout(doc, layout_block);
    if (pane_ != nullptr) {
        doc.set_int(QStringLiteral("panes"), QStringLiteral("schedule"), pane_->isVisibleTo(this) ? 1 : 0);
        if (pane_->isVisibleTo(this) && pane_->width() > 10)
            doc.set_int(QStringLiteral("splitters"), QStringLiteral("schedule"), pane_->width());
    }
    if (notifications_ != nullptr) {
        const bool shown = notifications_->isVisibleTo(this);
        doc.set_int(QStringLiteral("panes"), QStringLiteral("notifications"), shown ? 1 : 0);
        if (shown)
            doc.set_int(QStringLiteral("splitters"), QStringLiteral("notifications"),
                        notifications_->height() > 10 ? notifications_->height() : 200);
    }
    doc.save(settings_file_);
}

std::vector<toolbar_button> day_view::buttons() const
{
    return {
        {"Prev. Day", cmd::day_previous}, {"Next Day", cmd::day_next}, {"Today", cmd::day_today}, {"-", 0},
        {"Next", cmd::next}, {"Progression", cmd::progression},
        {"Break Down", cmd::break_down}, {"Distraction", cmd::distraction},
        {"Interruption", cmd::interruption}, {"-", 0},
        {"Date", cmd::show_day}, {"-", 0},
        {"Add Alarm", 40244}, {"Description", list_cmd::description},
        {"Add Comment", 40991}, {"-", 0},
        {"Notifications Pane", notifications_pane_command, true, true, notifications_ != nullptr}, {"-", 0},
        {"Pull Previously Uncompleted Tasks", cmd::pull_uncompleted}, {"Task List Options", task_list_options},
    };
}

// ---- rows ----

void day_view::schedule_refresh()
{
    refresh_pending_ = true;
    // Later, not inside the change: an editor may still be closing.
    QTimer::singleShot(0, this, [this] {
        if (refresh_pending_ && !list_->editing())
            refresh();
    });
}

void day_view::refresh()
{
    refresh_pending_ = false;
    const int focus = list_->focus_row();
    const std::int32_t focus_task = focus >= 0 && focus < row_count() ? rows_[focus].task_id : 0;
    const int focus_priority = focus >= 0 && focus < row_count() ? rows_[focus].priority : -1;
    const int focus_column = list_->focus_column_id();
    std::vector<std::int32_t> selected;
    for (int r : list_->selected_rows())
        if (r < row_count() && rows_[r].task_id != 0)
            selected.push_back(rows_[r].task_id);

    tasks_.look_at(date_);  // a day's first look makes its recurring tasks
    std::vector<model::task*> appointments;
    std::vector<model::task*> groups[3];
    const int filters = list_->columns().filter_flags;
    hidden_ = 0;
    for (model::task* t : tasks_.tasks_of_date(date_)) {
        if (t->is_folder())
            continue;
        // The rows the Task List Options hide.
        if ((filters & (t->appointment ? 0x10 : 0x20)) != 0 || (filters & status_filter_bit(t->status)) != 0) {
            ++hidden_;
            continue;
        }
        if (t->appointment)
            appointments.push_back(t);
        else
            groups[std::clamp(t->priority, 1, 3) - 1].push_back(t);
    }
    std::sort(appointments.begin(), appointments.end(),
              [](const model::task* a, const model::task* b) { return a->appointment_start < b->appointment_start; });
    const column_model& cols = list_->columns();
    for (auto& g : groups) {
        std::sort(g.begin(), g.end(), [](const model::task* a, const model::task* b) {
            return a->priority_value < b->priority_value;
        });
        if (cols.sorting_id >= 0) {
            const int column_id = cols.sorting_id;
            std::stable_sort(g.begin(), g.end(), [&](const model::task* a, const model::task* b) {
                const int c = compare_tasks(*a, *b, column_id);
                return cols.ascending ? c < 0 : c > 0;
            });
        }
    }

    rows_.clear();
    const bool headings = (filters & 0x2) == 0;
    if (!appointments.empty()) {
        if (headings)
            rows_.push_back({0, 0, 0});
        for (model::task* t : appointments)
            rows_.push_back({1, 0, t->id});
    }
    for (int p = 1; p <= 3; ++p) {
        if (headings)
            rows_.push_back({0, p, 0});
        for (model::task* t : groups[p - 1])
            rows_.push_back({1, p, t->id});
    }

    heading_->setText(QStringLiteral("%1 \u2014 %2").arg(time::format_long_date(date_), time::relative_text(date_)));
    update_summary();
    for (const auto& follow : follow_date_)
        if (follow)
            follow(date_);

    int new_focus = focus_task != 0 ? row_of(focus_task) : -1;
    if (new_focus < 0 && focus_priority >= 0)
        for (int r = 0; r < row_count(); ++r)
            if (rows_[r].kind == 0 && rows_[r].priority == focus_priority)
                new_focus = r;
    if (new_focus < 0 && focus >= 0)
        new_focus = std::min(focus, row_count() - 1);
    list_->reload(new_focus, focus_column);
    schedule_marks_ = schedule_marks();
    if (selected.size() > 1) {
        QVector<int> rows;
        for (std::int32_t id : selected)
            if (int r = row_of(id); r >= 0)
                rows << r;
        list_->select_rows(rows);
    }
}

int day_view::row_of(std::int32_t task_id) const
{
    for (int r = 0; r < row_count(); ++r)
        if (rows_[r].kind == 1 && rows_[r].task_id == task_id)
            return r;
    return -1;
}

model::task* day_view::task_at(int row) const
{
    if (row < 0 || row >= row_count() || rows_[row].kind != 1)
        return nullptr;
    model::task_ptr t = tasks_.find(rows_[row].task_id);
    return t.get();
}

QString day_view::cell_text(int row, int column_id) const
{
    if (row < 0 || row >= row_count())
        return QString();
    if (rows_[row].kind == 0)
        return column_id == day_column::task ? QString::fromUtf8(heading_text(rows_[row].priority)) : QString();
    const model::task* t = task_at(row);
    return t == nullptr ? QString() : task_text(*t, column_id);
}

QString day_view::task_text(const model::task& t, int column_id) const { return cells().text(t, column_id); }

int day_view::compare_tasks(const model::task& a, const model::task& b, int column_id) const
{
    return cells().compare(a, b, column_id);
}

task_cells day_view::cells() const
{
    return task_cells{tasks_, commands_, tables_, projects_, actions_, role_cells_, recurrences_, schedule_};
}

QString day_view::cell_tip(int row, int column_id) const
{
    const QString text = cell_text(row, column_id);
    const model::task* t = column_id == day_column::status || column_id == day_column::task ? task_at(row) : nullptr;
    const QString waits = t != nullptr ? model::waiting_text(tasks_, *t) : QString();
    if (waits.isEmpty())
        return text;
    return text.isEmpty() ? waits : text + QLatin1Char('\n') + waits;
}

void day_view::add_pane(QWidget* pane, std::function<void(time::stored_date)> follow_date)
{
    layout()->addWidget(pane);
    if (follow_date)
        follow_date(date_);
    follow_date_.push_back(std::move(follow_date));
}

void day_view::set_notifications_pane(QWidget* pane, std::function<void(time::stored_date)> follow_date)
{
    notifications_ = pane;
    vertical_ = new QSplitter(Qt::Vertical, this);
    vertical_->setChildrenCollapsible(false);
    delete layout()->replaceWidget(splitter_, vertical_);  // the old layout item is ours to delete
    vertical_->addWidget(splitter_);
    vertical_->addWidget(pane);
    // Two rows' worth at the least: a small main window keeps its size and
    // the pane gives way, as the schedule and notes panes do.
    pane->setMinimumHeight(48);
    vertical_->setStretchFactor(0, 1);
    vertical_->setStretchFactor(1, 0);
    const app::settings_document doc = app::settings_document::load(settings_file_);
    const int height = doc.get_int(QStringLiteral("splitters"), QStringLiteral("notifications"), 200);
    vertical_->setSizes({std::max(200, vertical_->height() - height), height > 10 ? height : 200});
    pane->setVisible(doc.get_int(QStringLiteral("panes"), QStringLiteral("notifications"), 1) != 0);
    if (follow_date)
        follow_date(date_);
    follow_date_.push_back(std::move(follow_date));
}

int day_view::check_state(int row, int column_id) const
{
    const model::task* t = task_at(row);
    return t == nullptr ? -1 : cells().check_state(*t, column_id);
}

QColor day_view::cell_background(int row, int column_id) const
{
    const model::task* t = task_at(row);
    return t != nullptr ? cells().background(*t, column_id) : QColor();
}

QColor day_view::cell_foreground(int row, int column_id) const
{
    const model::task* t = task_at(row);
    return t != nullptr ? cells().foreground(*t, column_id, palette()) : QColor();
}

row_style day_view::style_of(int row) const
{
    row_style s;
    if (row < 0 || row >= row_count())
        return s;
    if (rows_[row].kind == 0) {
        s.heading = true;
        // Tints of the list's own base colour, readable on light and dark desktops.
        static const QColor tints[] = {QColor(110, 130, 160), QColor(220, 60, 60), QColor(235, 150, 30),
                                       QColor(60, 170, 80)};
        s.background = blend(palette().color(QPalette::Base), tints[std::clamp(rows_[row].priority, 0, 3)],
                             is_dark(palette()) ? 0.35 : 0.18);
        return s;
    }
    if (const model::task* t = task_at(row)) {
        s.struck = t->status == model::status::finished || t->status == model::status::canceled;
        s.dimmed = t->status != model::status::unfinished;
        if (actions_ != nullptr && actions_->timer().is_timed(*t)) {
            s.bold = true;
            s.background = QColor(206, 232, 255);
        } else if (const schedule::stored_block* b = first_block_today(*t);
                   b != nullptr && (b->b.before_mark || b->b.deadline_mark)) {
            // Today's schedule ends it too late: the pane's warning colours.
            const app::ui_colours& c = app::current_options().colours;
            const std::uint32_t v = b->b.deadline_mark ? c.deadline_light_block : c.schedule_conflict_light_block;
            s.background = blend(palette().color(QPalette::Base), QColor(v & 0xff, (v >> 8) & 0xff, (v >> 16) & 0xff),
                                 is_dark(palette()) ? 0.35 : 0.45);
        }
    }
    return s;
}

int day_view::editor_of(int row, int column_id) const
{
    const model::task* t = task_at(row);
    return t == nullptr ? editor_kind::none : cells().editor(*t, column_id);
}

bool day_view::begin_text_edit(int row, int column_id, QString& initial)
{
    const model::task* t = task_at(row);
    if (t == nullptr)
        return false;
    initial = cells().initial_text(*t, column_id);
    return true;
}

void day_view::report(const QString& text) { emit status_message(text); }

int day_view::commit_text(int row, int column_id, const QString& text)
{
    model::task* t = task_at(row);
    if (t == nullptr)
        return 0;
    return cells().commit(*t, column_id, text, [this](const QString& m) { report(m); });
}

void day_view::begin_commits(int target_rows)
{
    if (target_rows > 1) {
        history_.begin_group();
        ++commit_group_depth_;
    }
}

void day_view::end_commits(int target_rows)
{
    if (target_rows > 1 && commit_group_depth_ > 0) {
        --commit_group_depth_;
        history_.end_group();
    }
}

int day_view::add_row(int focus_row)
{
    auto t = std::make_shared<model::task>();
    t->date = date_;
    t->priority = model::day_priority::b;
    t->priority_value = -1;
    if (focus_row >= 0 && focus_row < row_count()) {
        const day_row& r = rows_[focus_row];
        if (r.kind == 0) {
            t->priority = r.priority == 0 ? model::day_priority::b : r.priority;
            t->priority_value = r.priority == 0 ? -1 : 1;  // a heading adds at the top of its group
        } else if (const model::task* focus = task_at(focus_row)) {
            if (!focus->appointment) {
                t->priority = focus->priority;
                t->priority_value = focus->priority_value + 1;  // right after the focus task
            }
        }
    }
    commands_.add(t);
    refresh();
    return row_of(t->id);
}

std::vector<model::task*> day_view::selected_tasks() const
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

void day_view::move_rows(bool up) { cells().move_in_day(history_, selected_tasks(), up); }

void day_view::pull_menu()
{
    QMenu menu(this);
    QAction* one = menu.addAction(QStringLiteral("From &Yesterday"));
    QAction* seven = menu.addAction(QStringLiteral("From the Last &7 Days"));
    QAction* thirty = menu.addAction(QStringLiteral("From the Last &30 Days"));
    QAction* chosen = menu.exec(mapToGlobal(QPoint(width() / 2, 0)));
    const int days = chosen == one ? 1 : chosen == seven ? 7 : chosen == thirty ? 30 : 0;
    if (days == 0)
        return;
    const int moved = commands_.pull_previously_uncompleted(days);
    report(moved == 0 ? QStringLiteral("No unfinished tasks to pull.")
                      : QStringLiteral("Moved %1 unfinished task%2 to today.").arg(moved).arg(moved == 1 ? "" : "s"));
}

bool day_view::list_command(int command) { return own_command(command); }

bool day_view::handle_command(int command) { return own_command(command) || list_->handle_command(command); }

bool day_view::handles(int command) const
{
    switch (command) {
    case cmd::day_previous: case cmd::day_next: case cmd::day_today: case cmd::delete_:
    case cmd::toggle_finished: case cmd::unfinished: case cmd::finished: case cmd::delegated: case cmd::waiting:
    case cmd::canceled: case cmd::priority_a: case cmd::priority_b: case cmd::priority_c: case cmd::push_to_top:
    case cmd::push_to_bottom: case cmd::make_top_priority: case cmd::no_date: case cmd::date_today:
    case cmd::date_tomorrow: case cmd::move_up: case cmd::move_down: case cmd::pull_uncompleted:
    case cmd::pull_uncompleted_flow: case cmd::show_day: case cmd::date_edit:
    case sort_ascending: case sort_descending: case sort_default: case task_list_options:
    case list_cmd::description:
    case cmd::move_to_top: case cmd::move_to_bottom: case list_cmd::cell_clear: case list_cmd::cell_increment:
    case list_cmd::cell_decrement: case list_cmd::schedule_between:
        return true;
    case show_schedule_view:
        return pane_ != nullptr;
    case notifications_pane_command:
    case show_notifications_pane:
        return notifications_ != nullptr;
    case 40046:  // Task > Project
    case cmd::folder:
    case list_cmd::pull_next_in_project:
    case list_cmd::pull_next_in_folder:
        return projects_ != nullptr;
    case 40047:  // Task > Role
    case 40050:  // Task > Tags
        return role_cells_ != nullptr;
    default:
        if (actions_ != nullptr && task_actions::handles(command))
            return true;
        break;
    }
    if (command >= cmd::date_sunday && command <= cmd::date_sunday + 6)
        return true;
    if (task_filter_bit(command) != 0 || task_value_handles(command))
        return true;
    return list_layout_handles(*list_, command) || list_->can_handle(command);
}

bool day_view::own_command(int command)
{
    if (keyboard_menu_command(command))
        return true;
    const std::vector<model::task*> selected = selected_tasks();
    if (task_value_command(command, *list_, list_->focus_row(), selected, commands_, history_, actions_, this))
        return true;
    switch (command) {
    case cmd::day_previous: set_date(time::previous_day(date_)); return true;
    case cmd::day_next: set_date(time::next_day(date_)); return true;
    case cmd::day_today: set_date(time::today()); return true;
    case show_schedule_view:
        if (pane_ == nullptr)
            return false;
        show_schedule(!pane_->isVisibleTo(this));
        return true;
    case notifications_pane_command:
        if (notifications_ == nullptr)
            return false;
        notifications_->setVisible(!notifications_->isVisibleTo(this));
        return true;
    case show_notifications_pane:
        if (notifications_ == nullptr)
            return false;
        notifications_->setVisible(true);
        notifications_->setFocus();
        return true;
    case cmd::delete_: {
        if (selected.empty())
            return true;
        history_.begin_group();
        for (model::task* t : selected)
            if (model::task_ptr p = tasks_.find(t->id))
                commands_.remove(p);
        history_.end_group();
        return true;
    }
    case cmd::toggle_finished: commands_.toggle_finished(selected); return true;
    case cmd::unfinished: commands_.set_status(selected, model::status::unfinished); return true;
    case cmd::finished: commands_.set_status(selected, model::status::finished); return true;
    case cmd::delegated: commands_.set_status(selected, model::status::delegated); return true;
    case cmd::waiting: commands_.set_status(selected, model::status::waiting); return true;
    case cmd::canceled: commands_.set_status(selected, model::status::canceled); return true;
    case cmd::priority_a: commands_.set_day_priority(selected, 1); return true;
    case cmd::priority_b: commands_.set_day_priority(selected, 2); return true;
    case cmd::priority_c: commands_.set_day_priority(selected, 3); return true;
    case cmd::push_to_top: commands_.push_to_top(selected); return true;
    case cmd::push_to_bottom: commands_.push_to_bottom(selected); return true;
    case cmd::make_top_priority: commands_.make_top_priority(selected); return true;
    case cmd::no_date: commands_.set_date(selected, time::NO_DATE); return true;
    case cmd::date_today: commands_.set_date(selected, time::today()); return true;
    case cmd::date_tomorrow: commands_.set_date(selected, time::tomorrow()); return true;
    case list_cmd::description:
        if (model::task* t = task_at(list_->focus_row()))
            edit_description(cells(), this, *t);
        else
            report(QStringLiteral("Select a task to describe."));
        return true;
    case cmd::move_to_top: commands_.push_to_top(selected); return true;
    case cmd::move_to_bottom: commands_.push_to_bottom(selected); return true;
    case list_cmd::cell_clear:
    case list_cmd::cell_increment:
    case list_cmd::cell_decrement:
        cells().cell_command(history_, selected, list_->focus_column_id(), command, [this](const QString& m) { report(m); });
        return true;
    case list_cmd::schedule_between: report(schedule_between_prompt(cells(), history_, this, selected)); return true;
    case list_cmd::pull_next_in_project:
    case list_cmd::pull_next_in_folder:
        if (projects_ == nullptr)
            return false;
        if (const model::task* t = task_at(list_->focus_row()))
            report(cells().pull_next(*t, command == list_cmd::pull_next_in_folder));
        else
            report(QStringLiteral("Select a task of a project first."));
        return true;
    case cmd::move_up: move_rows(true); return true;
    case cmd::move_down: move_rows(false); return true;
    case cmd::pull_uncompleted:
    case cmd::pull_uncompleted_flow: pull_menu(); return true;
    case cmd::date_edit:
        list_->edit_cell(list_->focus_row(), day_column::date);
        return true;
    case 40047:  // Task > Role, even while its column is hidden
    case 40050:  // Task > Tags
        if (role_cells_ != nullptr)
            list_->edit_cell(list_->focus_row(), command == 40047 ? day_column::role : day_column::tags);
        return true;
    case 40046:  // Task > Project
    case cmd::folder:
        if (projects_ != nullptr)
            report(prompt_assign(*projects_, this, selected, command == cmd::folder));
        return true;
    default: break;
    }
    if (command >= cmd::date_sunday && command <= cmd::date_sunday + 6) {
        commands_.set_date(selected, time::weekday_date(command - cmd::date_sunday + 1));
        return true;
    }
    if (actions_ != nullptr &&
        actions_->handle(command, task_at(list_->focus_row()), this, [this](const QString& text) { report(text); },
                         date_))
        return true;
    return list_options_command(command);
}

bool day_view::list_options_command(int command)
{
    return list_layout_command(*list_, command);
}

void day_view::cell_clicked(int row, int column_id, Qt::KeyboardModifiers modifiers)
{
    if (column_id != day_column::status || (modifiers & (Qt::ShiftModifier | Qt::ControlModifier)))
        return;  // a selecting click only selects
    if (model::task* t = task_at(row))
        commands_.toggle_finished({t});
}

printout day_view::make_printout() const
{
    printout p = printout_of_list(*list_, QStringLiteral("Day"), time::format_long_date(date_));
    p.lines.insert(p.lines.begin(), printout::line{printout::line::note, {summary_->text()}, 0, false});
    return p;
}

QString day_view::summary() const { return summary_->text(); }

void day_view::update_summary()
{
    const app::options& o = app::current_options();
    const model::day_load load = model::compute_day_load(tasks_, date_, time::now(), o.working_start, o.working_end);
    summary_->setText(summary_text(load));
    const bool over = load.over() > 0;
    const QString style = over ? QStringLiteral("color: %1; font-weight: bold;")
                                     .arg((is_dark(palette()) ? QColor(255, 120, 110) : QColor(190, 30, 30)).name())
                               : QString();
    // A style sheet set again, even unchanged, restyles the label.
    if (summary_->styleSheet() != style)
        summary_->setStyleSheet(style);
}

QString day_view::summary_text(const model::day_load& load)
{
    auto d = [](std::int64_t seconds) { return seconds == 0 ? QStringLiteral("0m") : time::format_duration(seconds); };
    QString text = QStringLiteral("%1 planned, %2 of working time left").arg(d(load.planned), d(load.working_left));
    if (load.over() > 0)
        text += QStringLiteral(" \u2014 %1 over").arg(d(load.over()));
    else if (load.free() > 0)
        text += QStringLiteral(" \u2014 %1 free").arg(d(load.free()));
    return text;
}

QStringList day_view::completions(int, int column_id) const { return cells().completions(column_id); }

void day_view::minute_tick(time::stored_time now)
{
    const time::stored_date today = time::date_of(now);
    update_summary();  // the working time ahead shrinks by the minute
    if (today == last_today_)
        return;
    const bool showing_today = date_ == last_today_;
    last_today_ = today;
    if (showing_today)
        set_date(today);
    else
        refresh();  // "Today" and "Tomorrow" in the heading move on
}

long day_view::on_announcement(const store::announcement& a)
{
    // Repaint after every batch of task changes, and when the day turns.
    if (a.message == model::task_message::batch_ended || a.message == store::message::options_applied)
        schedule_refresh();
    else if (a.message == store::message::schedule_changed) {
        // The marks of today's blocks ("Late", the warning colours).
        if (std::vector<std::int64_t> marks = schedule_marks(); marks != schedule_marks_) {
            schedule_marks_ = std::move(marks);
            list_->viewport()->update();
        }
    }
    // A role's name or colour and a tag's name show in the rows.
    else if ((a.message >= store::message::role_base && a.message <= store::message::role_base + 3) ||
             (a.message >= store::message::tag_base && a.message <= store::message::tag_base + 3))
        schedule_refresh();
    return 0;
}

// ---- the schedule pane ----

void day_view::set_schedule(schedule::schedule_store* s)
{
    schedule_ = s;
    if (s == nullptr || pane_ != nullptr)
        return;
    pane_ = new schedule_pane(*s, tasks_, splitter_);
    pane_->set_date(date_);
    splitter_->addWidget(pane_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    connect(pane_, &schedule_pane::task_clicked, this, [this](std::int32_t id) {
        if (const int row = row_of(id); row >= 0)
            list_->set_focus_cell(row, day_column::task);
    });
    const app::settings_document doc = app::settings_document::load(settings_file_);
    const int width = doc.get_int(QStringLiteral("splitters"), QStringLiteral("schedule"), 320);
    splitter_->setSizes({std::max(300, splitter_->width() - width), width > 10 ? width : 320});
    show_schedule(doc.get_int(QStringLiteral("panes"), QStringLiteral("schedule"), 1) != 0);
    QTimer::singleShot(0, pane_, [p = pane_] { p->scroll_to_working_start(); });
}

void day_view::show_schedule(bool on)
{
    if (pane_ == nullptr)
        return;
    pane_->setVisible(on);
    if (on)
        pane_->scroll_to_working_start();
}

std::vector<std::int64_t> day_view::schedule_marks() const
{
    std::vector<std::int64_t> marks;
    for (const day_row& r : rows_) {
        if (r.task_id == 0)
            continue;
        const model::task_ptr t = tasks_.find(r.task_id);
        if (const schedule::stored_block* b = t ? first_block_today(*t) : nullptr; b && (b->b.before_mark || b->b.deadline_mark))
            marks.push_back(std::int64_t(r.task_id) * 4 + (b->b.before_mark ? 1 : 0) + (b->b.deadline_mark ? 2 : 0));
    }
    return marks;
}

const schedule::stored_block* day_view::first_block_today(const model::task& t) const
{
    return schedule_ != nullptr && t.date == time::today() ? schedule_->first_block_today(t.id) : nullptr;
}

}  // namespace qm::ui
