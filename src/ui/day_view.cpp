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

// The View.TaskList commands that show a column or sort by it, with the
// Day view's column for each.
struct column_command {
    int show;
    int sort;
    int column_id;
};
constexpr column_command column_commands[] = {
    {41146, 41176, day_column::status},     {41151, 41177, day_column::role},
    {41148, 41088, day_column::task},       {41150, 41178, day_column::tags},
    {41152, 41089, day_column::date},       {41154, 41179, day_column::day_priority},
    {41155, 41090, day_column::estimate},   {41156, 41180, day_column::scheduling},
    {41157, 41181, day_column::original_estimate}, {41158, 41182, day_column::deadline},
    {41159, 41183, day_column::time},       {41161, 41184, day_column::time_left},
    {41168, 41185, day_column::project},    {41167, 41186, day_column::impact},
    {41166, 41187, day_column::roi},        {41163, 41188, day_column::yield},
    {41164, 41190, day_column::recurrence},
};
constexpr int sort_ascending = 41037, sort_descending = 41038, sort_default = 41175;
constexpr int task_list_options = 40443;
constexpr int show_schedule_view = 41138;

const column_command* find_column_command(int command)
{
    for (const column_command& c : column_commands)
        if (c.show == command || c.sort == command)
            return &c;
    return nullptr;
}

const char* heading_text(int priority)
{
    switch (priority) {
    case 0: return "Appointments";
    case 1: return "A \u2014 Critical";
    case 2: return "B \u2014 Important";
    default: return "C \u2014 Desired";
    }
}

QString number_text(double v) { return v == 0 ? QString() : QString::number(v, 'f', 2); }

bool is_dark(const QPalette& p) { return p.color(QPalette::Base).lightness() < 128; }

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
    date_ = time::date_of(d);
    if (pane_ != nullptr)
        pane_->set_date(date_);
    refresh();
    list_->set_focus_cell(0, list_->focus_column_id());
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
        {"Add Alarm", 40244, false, false, false}, {"Description", 41191, false, false, false},
        {"Add Comment", 40991}, {"-", 0},
        {"Notifications Pane", 40179, true, true, false}, {"-", 0},
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
    if (follow_date_)
        follow_date_(date_);

    int new_focus = focus_task != 0 ? row_of(focus_task) : -1;
    if (new_focus < 0 && focus_priority >= 0)
        for (int r = 0; r < row_count(); ++r)
            if (rows_[r].kind == 0 && rows_[r].priority == focus_priority)
                new_focus = r;
    if (new_focus < 0 && focus >= 0)
        new_focus = std::min(focus, row_count() - 1);
    list_->reload(new_focus, focus_column);
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

QString day_view::task_text(const model::task& task_ref, int column_id) const
{
    const model::task* t = &task_ref;
    using namespace day_column;
    switch (column_id) {
    case status: {
        if (actions_ != nullptr && actions_->timer().is_timed(*t))
            return QStringLiteral("\u25B6 Timing");
        if (t->status == model::status::unfinished && !model::open_dependencies(tasks_, *t).empty())
            return QStringLiteral("\u25CC Waits");
        // To-dos show a check box for unfinished and finished; the other
        // statuses carry a mark of their own.
        switch (t->status) {
        case model::status::unfinished: return QString();
        case model::status::finished: return t->appointment ? model::status_text(t->status, true) : QString();
        case model::status::delegated: return QStringLiteral("\u279C ") + model::status_text(t->status, true);
        case model::status::waiting: return QStringLiteral("\u25F7 ") + model::status_text(t->status, true);
        case model::status::canceled: return QStringLiteral("\u2717 ") + model::status_text(t->status, true);
        default: return model::status_text(t->status, true);
        }
    }
    case task: return t->name;
    case day_priority: return t->appointment ? QString() : history::priority_text(*t);
    case estimate: {
        const std::int64_t e = tasks_.effective_estimate(*t);
        return e == 0 || t->appointment ? QString() : time::format_duration(e);
    }
    case original_estimate: return t->original_estimate == 0 ? QString() : time::format_duration(t->original_estimate);
    case scheduling: {
        QString text = time::constraint_text(t->appointment_start, t->appointment_duration, t->appointment);
        if (const schedule::stored_block* b = first_block_today(*t)) {
            const QString mark = b->b.before_mark && b->b.deadline_mark ? QStringLiteral("\u26A0 Late for both")
                                 : b->b.before_mark                     ? QStringLiteral("\u26A0 Late")
                                 : b->b.deadline_mark                   ? QStringLiteral("\u26A0 Past deadline")
                                                                        : QString();
            if (!mark.isEmpty())
                text = text.isEmpty() ? mark : mark + QStringLiteral(" \u2014 ") + text;
        }
        return text;
    }
    case deadline: return t->deadline == 0 ? QString() : time::format_date_time(t->deadline);
    case time: {
        if (t->appointment && t->appointment_start >= 0)
            return time::time_range_text(t->date + t->appointment_start, std::max(0, t->appointment_duration));
        const std::int64_t spent = tasks_.time_spent(*t);
        return spent == 0 ? QString() : time::format_duration(spent);
    }
    case time_left: {
        if (t->appointment || tasks_.effective_estimate(*t) == 0)
            return QString();
        return time::format_duration(tasks_.time_left(*t));
    }
    case project: return projects_ != nullptr ? place_path(*projects_, *t) : QString();
    case role: {
        if (auto r = tables_.roles.find(tasks_.effective_role(*t)))
            return r->name;
        return QString();
    }
    case impact: return t->units == 0 ? QString() : QString::number(t->units);
    case roi: return number_text(tasks_.roi(*t));
    case yield: return number_text(tasks_.yield(*t));
    case day_column::date: return t->date == time::NO_DATE ? QStringLiteral("No Date") : time::format_short_date(t->date);
    case tags: return history::tags_text(*t);
    case recurrence: {
        if (recurrences_ == nullptr)
            return QString();
        const model::task_ptr master = recurrences_->recurrence_master(*t);
        const time::recurrence* pattern = master ? recurrences_->pattern_of(master->id) : nullptr;
        return pattern != nullptr ? time::describe(*pattern) : QString();
    }
    default: return QString();
    }
}

int day_view::compare_tasks(const model::task& a, const model::task& b, int column_id) const
{
    auto three_way = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    using namespace day_column;
    switch (column_id) {
    case status: return three_way(a.status, b.status);
    case day_priority: return three_way(std::pair(a.priority, a.priority_value), std::pair(b.priority, b.priority_value));
    case estimate: return three_way(tasks_.effective_estimate(a), tasks_.effective_estimate(b));
    case original_estimate: return three_way(a.original_estimate, b.original_estimate);
    case deadline: return three_way(a.deadline, b.deadline);
    case time: {
        auto key = [this](const model::task& t) {
            return t.appointment && t.appointment_start >= 0 ? std::int64_t(t.appointment_start) : tasks_.time_spent(t);
        };
        return three_way(key(a), key(b));
    }
    case time_left: return three_way(tasks_.time_left(a), tasks_.time_left(b));
    case impact: return three_way(a.units, b.units);
    case roi: return three_way(tasks_.roi(a), tasks_.roi(b));
    case yield: return three_way(tasks_.yield(a), tasks_.yield(b));
    case day_column::date: return three_way(a.date, b.date);
    default: {
        // Text as a person reads it: case aside, "Task 9" before "Task 10".
        static const QCollator collator = [] {
            // The C locale compares code points and knows no numbers.
            QLocale locale = QLocale::system();
            if (locale.language() == QLocale::C)
                locale = QLocale(QLocale::English, QLocale::UnitedStates);
            QCollator c(locale);
            c.setNumericMode(true);
            c.setCaseSensitivity(Qt::CaseInsensitive);
            return c;
        }();
        return collator.compare(task_text(a, column_id), task_text(b, column_id));
    }
    }
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
    follow_date_ = std::move(follow_date);
    if (follow_date_)
        follow_date_(date_);
}

int day_view::check_state(int row, int column_id) const
{
    const model::task* t = column_id == day_column::status ? task_at(row) : nullptr;
    if (t == nullptr || t->appointment)
        return -1;
    if (t->status == model::status::unfinished)
        return 0;
    return t->status == model::status::finished ? 2 : -1;
}

QColor day_view::cell_background(int row, int column_id) const
{
    const model::task* t = column_id == day_column::role && role_cells_ != nullptr ? task_at(row) : nullptr;
    return t != nullptr ? role_cells_->background(tasks_, *t) : QColor();
}

QColor day_view::cell_foreground(int row, int column_id) const
{
    if (column_id == day_column::role && role_cells_ != nullptr) {
        const model::task* t = task_at(row);
        return t != nullptr ? role_cells_->foreground(tasks_, *t) : QColor();
    }
    const model::task* t = column_id == day_column::deadline ? task_at(row) : nullptr;
    if (t == nullptr || t->deadline == 0 || t->deadline >= time::now() || t->status != model::status::unfinished)
        return {};
    return is_dark(palette()) ? QColor(255, 120, 110) : QColor(190, 30, 30);  // overdue
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
    if (t == nullptr)
        return editor_kind::none;
    using namespace day_column;
    switch (column_id) {
    case status:
    case task:
    case deadline:
    case impact:
    case day_column::date:
    case original_estimate:
        return editor_kind::text;
    case project:
        return projects_ != nullptr ? editor_kind::text : editor_kind::none;
    case role:
    case tags:
        return role_cells_ != nullptr ? editor_kind::text : editor_kind::none;
    case day_priority:
    case estimate:
        return t->appointment ? editor_kind::none : editor_kind::text;
    default:
        return editor_kind::none;
    }
}

bool day_view::begin_text_edit(int row, int column_id, QString& initial)
{
    const model::task* t = task_at(row);
    if (t == nullptr)
        return false;
    initial = column_id == day_column::status ? model::status_text(t->status, true) : cell_text(row, column_id);
    if (column_id == day_column::estimate && t->estimate == 0)
        initial.clear();
    return true;
}

void day_view::report(const QString& text) { emit status_message(text); }

int day_view::commit_text(int row, int column_id, const QString& text)
{
    model::task* t = task_at(row);
    if (t == nullptr)
        return 0;
    using namespace day_column;
    const bool none = text.isEmpty() || text.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0;
    switch (column_id) {
    case task:
        commands_.modify(*t, [&](model::task& x) { x.name = text; });
        return 0;
    case role:
        if (role_cells_ == nullptr)
            return 0;
        return role_cells_->commit_role(commands_, {t}, text, [this](const QString& m) { report(m); }) ? 0 : 2;
    case tags:
        if (role_cells_ != nullptr)
            role_cells_->tags.set_tags({t}, text);
        return 0;
    case project: {
        QString message;
        if (projects_ == nullptr || !assign_path(*projects_, {t}, text, message)) {
            report(message);
            return 2;
        }
        return 0;
    }
    case status: {
        const int s = model::status_from_text(text);
        if (s < 0) {
            report(QStringLiteral("\"%1\" is not a status: type unfinished, finished, delegated, waiting or canceled.").arg(text));
            return 2;
        }
        commands_.modify(*t, [s](model::task& x) { x.status = s; });
        return 0;
    }
    case day_priority: {
        const QString p = text.trimmed().toUpper();
        if (p.isEmpty() || p[0] < QLatin1Char('A') || p[0] > QLatin1Char('C')) {
            report(QStringLiteral("\"%1\" is not a day priority: type A, B or C, optionally with a position (A2).").arg(text));
            return 2;
        }
        bool ok = true;
        const int position = p.size() > 1 ? p.mid(1).trimmed().toInt(&ok) : -1;
        if (!ok || (p.size() > 1 && position < 1)) {
            report(QStringLiteral("\"%1\" is not a day priority: type A, B or C, optionally with a position (A2).").arg(text));
            return 2;
        }
        const int priority = p[0].unicode() - u'A' + 1;
        if (position > 0)
            commands_.modify(*t, [&](model::task& x) {
                x.priority = priority;
                x.priority_value = position;
            }, model::update_flag::keep_priority_value);
        else
            commands_.modify(*t, [&](model::task& x) { x.priority = priority; });
        return 0;
    }
    case estimate:
    case original_estimate: {
        std::optional<time::duration> d = none ? std::optional<time::duration>(0) : time::parse_duration_checked(text);
        if (!d) {
            report(QStringLiteral("\"%1\" is not a duration: type for example 1h 30m, 1:30 or 90.").arg(text));
            return 2;
        }
        if (column_id == estimate)
            commands_.modify(*t, [&](model::task& x) {
                x.estimate = *d;
                if (x.original_estimate == 0)
                    x.original_estimate = *d;
            });
        else
            commands_.modify(*t, [&](model::task& x) { x.original_estimate = *d; });
        return 0;
    }
    case day_column::date:
    case deadline: {
        time::stored_date d = 0;
        if (!none) {
            const time::parsed_date parsed = time::parse_date(text, time::short_date_pattern(), time::today());
            if (parsed.failed) {
                report(QStringLiteral("\"%1\" is not a date: type for example today, next fri, 3/15 or dec 25.").arg(text));
                return 2;
            }
            d = parsed.date;
        }
        if (column_id == day_column::date)
            commands_.modify(*t, [&](model::task& x) { x.date = d == 0 ? time::NO_DATE : d; });
        else
            commands_.modify(*t, [&](model::task& x) { x.deadline = d; });
        return 0;
    }
    case impact: {
        bool ok = none;
        const int units = none ? 0 : text.toInt(&ok);
        if (!ok || units < 0) {
            report(QStringLiteral("\"%1\" is not an impact: type a whole number.").arg(text));
            return 2;
        }
        commands_.modify(*t, [units](model::task& x) { x.units = units; });
        return 0;
    }
    default:
        return 0;
    }
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

void day_view::move_rows(bool up)
{
    std::vector<model::task*> selected = selected_tasks();
    if (selected.empty())
        return;
    if (!up)
        std::reverse(selected.begin(), selected.end());
    history_.begin_group();
    for (model::task* t : selected) {
        if (!t->is_todo())
            continue;
        const int last = tasks_.next_day_value(*t) - 1;
        if (up && t->priority_value > 1)
            commands_.modify(*t, [](model::task& x) { --x.priority_value; });
        else if (up && t->priority > model::day_priority::a)
            commands_.modify(*t, [](model::task& x) { --x.priority; });  // to the end of the group above
        else if (!up && t->priority_value < last)
            commands_.modify(*t, [](model::task& x) { ++x.priority_value; });
        else if (!up && t->priority < model::day_priority::c)
            commands_.modify(*t, [](model::task& x) {
                ++x.priority;
                x.priority_value = 1;  // to the top of the group below
            }, model::update_flag::keep_priority_value);
    }
    history_.end_group();
}

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
        return true;
    case show_schedule_view:
        return pane_ != nullptr;
    case 40046:  // Task > Project
    case cmd::folder:
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
    if (task_filter_bit(command) != 0)
        return true;
    return find_column_command(command) != nullptr || list_->can_handle(command);
}

bool day_view::own_command(int command)
{
    if (keyboard_menu_command(command))
        return true;
    const std::vector<model::task*> selected = selected_tasks();
    switch (command) {
    case cmd::day_previous: set_date(time::previous_day(date_)); return true;
    case cmd::day_next: set_date(time::next_day(date_)); return true;
    case cmd::day_today: set_date(time::today()); return true;
    case show_schedule_view:
        if (pane_ == nullptr)
            return false;
        show_schedule(!pane_->isVisibleTo(this));
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
        actions_->handle(command, task_at(list_->focus_row()), this, [this](const QString& text) { report(text); }))
        return true;
    return list_options_command(command);
}

bool day_view::list_options_command(int command)
{
    const column_model& cols = list_->columns();
    switch (command) {
    case sort_ascending: list_->sort_by(cols.sorting_id, true); return true;
    case sort_descending: list_->sort_by(cols.sorting_id, false); return true;
    case sort_default: list_->sort_by(-1, true); return true;
    default: break;
    }
    const column_command* c = find_column_command(command);
    if (c == nullptr)
        return false;
    if (command == c->show)
        list_->handle_command(cmd::show_column_base + c->column_id);
    else
        list_->sort_by(c->column_id, cols.sorting_id == c->column_id ? cols.ascending : true);
    return true;
}

void day_view::cell_clicked(int row, int column_id, Qt::KeyboardModifiers modifiers)
{
    if (column_id != day_column::status || (modifiers & (Qt::ShiftModifier | Qt::ControlModifier)))
        return;  // a selecting click only selects
    if (model::task* t = task_at(row))
        commands_.toggle_finished({t});
}

QString day_view::summary() const { return summary_->text(); }

void day_view::update_summary()
{
    const app::options& o = app::current_options();
    const model::day_load load = model::compute_day_load(tasks_, date_, time::now(), o.working_start, o.working_end);
    summary_->setText(summary_text(load));
    const bool over = load.over() > 0;
    summary_->setStyleSheet(over ? QStringLiteral("color: %1; font-weight: bold;")
                                       .arg((is_dark(palette()) ? QColor(255, 120, 110) : QColor(190, 30, 30)).name())
                                 : QString());
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

QStringList day_view::completions(int, int column_id) const
{
    if (column_id == day_column::role && role_cells_ != nullptr)
        return role_cells_->role_names();
    if (column_id == day_column::tags && role_cells_ != nullptr)
        return model::tag_names(role_cells_->tags.tables());
    return column_id == day_column::project && projects_ != nullptr ? projects_->paths : QStringList();
}

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
    else if (a.message == store::message::schedule_changed)
        list_->viewport()->update();  // the marks of today's blocks
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

const schedule::stored_block* day_view::first_block_today(const model::task& t) const
{
    return schedule_ != nullptr && t.date == time::today() ? schedule_->first_block_today(t.id) : nullptr;
}

}  // namespace qm::ui
