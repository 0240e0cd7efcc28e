#include "ui/task_cells.h"

#include "history/task_description.h"
#include "model/dependencies.h"
#include "model/project_order.h"
#include "model/project_store.h"
#include "model/task_recurrences.h"
#include "schedule/schedule_store.h"
#include "store/tables.h"
#include "time/calendar.h"
#include "time/format.h"
#include "time/parse.h"
#include "time/recurrence.h"
#include "ui/cell_list.h"
#include "ui/commands.h"
#include "ui/project_tools.h"
#include "ui/role_cells.h"
#include "ui/task_actions.h"

#include <QCollator>
#include <QInputDialog>
#include <QRegularExpression>
#include <QMenu>
#include <QPalette>

#include <algorithm>

namespace qm::ui {

using namespace task_column;

QVector<column> task_columns(const std::vector<int>& shown)
{
    QVector<column> c = {
        {status, "Status", false, 86, -1, -1, false},
        {task, "Task", false, 1.0, -1, -1, true},
        {date, "Date", false, 100, -1, -1, false},
        {day_priority, "Day Priority", false, 88, -1, -1, false},
        {estimate, "Estimate", false, 84, -1, -1, false},
        {scheduling, "Scheduling", false, 0.3, -1, -1, false},
        {deadline, "Deadline", false, 130, -1, -1, false},
        {time, "Time", false, 170, -1, -1, false},
        {time_left, "Time Left", false, 84, -1, -1, false},
        {project, "Project", false, 0.3, -1, -1, false},
        {role, "Role", false, 0.25, -1, -1, false},
        {tags, "Tag", false, 0.25, -1, -1, false},
        {impact, "Impact", false, 64, -1, -1, false},
        {roi, "ROI", false, 64, -1, -1, false},
        {yield, "Yield", false, 64, -1, -1, false},
        {original_estimate, "Original Estimate", false, 110, -1, -1, false},
        {manual_index, "Manual Index", false, 90, -1, -1, false},
        {recurrence, "Recurrence", false, 0.3, -1, -1, false},
    };
    for (column& col : c)
        col.visible = col.locked || std::find(shown.begin(), shown.end(), col.id) != shown.end();
    return c;
}

const column_command task_column_commands[18] = {
    {41146, 41176, status},   {41151, 41177, role},     {41148, 41088, task},
    {41150, 41178, tags},     {41152, 41089, date},     {41154, 41179, day_priority},
    {41155, 41090, estimate}, {41156, 41180, scheduling}, {41157, 41181, original_estimate},
    {41158, 41182, deadline}, {41159, 41183, time},     {41161, 41184, time_left},
    {41168, 41185, project},  {41167, 41186, impact},   {41166, 41187, roi},
    {41163, 41188, yield},    {41165, 41189, manual_index}, {41164, 41190, recurrence},
};

const column_command* find_column_command(int command)
{
    for (const column_command& c : task_column_commands)
        if (c.show == command || c.sort == command)
            return &c;
    return nullptr;
}

namespace {
int value_edit_column(int command)
{
    switch (command) {
    case 40051: return task_column::deadline;      // Task > Deadline
    case 40052: return task_column::estimate;      // Task > Estimate
    case 41061: return task_column::impact;        // Task > Impact
    case 41201:                                     // Task > Scheduling > Edit
    case 40980:                                     // Schedule Before
    case 40981: return task_column::scheduling;    // Schedule After
    case 41202: return task_column::day_priority;  // Task > Day Priority > Edit
    default: return -1;
    }
}
constexpr int recurrences_command = 40185;
constexpr int recurrence_page = 2;
}  // namespace

bool task_value_handles(int command)
{
    return value_edit_column(command) >= 0 || command == cmd::splittable || command == recurrences_command;
}

bool task_value_command(int command, cell_list& list, int focus_row, const std::vector<model::task*>& selected,
                        history::task_commands& commands, history::history& history, task_actions* actions,
                        QWidget* parent)
{
    if (const int column = value_edit_column(command); column >= 0) {
        list.edit_cell(focus_row, column);
        return true;
    }
    if (command == cmd::splittable) {
        // All of them the same way: splittable unless every one already is.
        const bool all = !selected.empty() && std::all_of(selected.begin(), selected.end(),
                                                          [](const model::task* t) { return t->splittable; });
        history.begin_group();
        for (model::task* t : selected)
            commands.modify(*t, [all](model::task& x) { x.splittable = !all; });
        history.end_group();
        return true;
    }
    if (command == recurrences_command) {
        if (actions != nullptr && !selected.empty())
            actions->open_properties(*selected.front(), parent, recurrence_page);
        return true;
    }
    return false;
}

bool list_layout_command(cell_list& list, int command)
{
    const column_model& cols = list.columns();
    switch (command) {
    case list_cmd::sort_ascending: list.sort_by(cols.sorting_id, true); return true;
    case list_cmd::sort_descending: list.sort_by(cols.sorting_id, false); return true;
    case list_cmd::sort_default: list.sort_by(-1, true); return true;
    default: break;
    }
    const column_command* c = find_column_command(command);
    if (c == nullptr || cols.index_of(c->column_id) < 0)
        return false;
    if (command == c->show)
        list.handle_command(cmd::show_column_base + c->column_id);
    else
        list.sort_by(c->column_id, cols.sorting_id == c->column_id ? cols.ascending : true);
    return true;
}

bool list_layout_handles(const cell_list& list, int command)
{
    if (command == list_cmd::sort_ascending || command == list_cmd::sort_descending || command == list_cmd::sort_default)
        return true;
    const column_command* c = find_column_command(command);
    return c != nullptr && list.columns().index_of(c->column_id) >= 0;
}

void add_layout_menus(QMenu& menu, cell_list& list, const QString& default_order)
{
    QMenu* columns = menu.addMenu(QStringLiteral("&Columns"));
    list.add_column_items(*columns);
    QMenu* sort = menu.addMenu(QStringLiteral("&Sort By"));
    const column_model& cols = list.columns();
    auto add_sort = [&](const QString& text, int command, bool checked) {
        QAction* a = sort->addAction(text);
        a->setCheckable(true);
        a->setChecked(checked);
        QObject::connect(a, &QAction::triggered, &list, [&list, command] { list_layout_command(list, command); });
    };
    add_sort(QStringLiteral("&Ascending"), list_cmd::sort_ascending, cols.sorting_id >= 0 && cols.ascending);
    add_sort(QStringLiteral("&Descending"), list_cmd::sort_descending, cols.sorting_id >= 0 && !cols.ascending);
    sort->addSeparator();
    add_sort(default_order, list_cmd::sort_default, cols.sorting_id < 0);
    for (const column_command& c : task_column_commands) {
        const int at = cols.index_of(c.column_id);
        if (at >= 0)
            add_sort(cols.columns[at].title, c.sort, cols.sorting_id == c.column_id);
    }
}

bool is_dark(const QPalette& p) { return p.color(QPalette::Base).lightness() < 128; }

QColor overdue_colour(const QPalette& p) { return is_dark(p) ? QColor(255, 120, 110) : QColor(190, 30, 30); }

namespace {

QString number_text(double v) { return v == 0 ? QString() : QString::number(v, 'f', 2); }

bool special_date(time::stored_date d) { return d <= time::NO_DATE; }

const QString not_a_date = QStringLiteral("\"%1\" is not a date: type for example today, next fri, 3/15 or dec 25.");

}  // namespace

const schedule::stored_block* task_cells::first_block_today(const model::task& t) const
{
    return schedule != nullptr && t.date == time::today() ? schedule->first_block_today(t.id) : nullptr;
}

QString task_cells::text(const model::task& task_ref, int column_id) const
{
    const model::task* t = &task_ref;
    switch (column_id) {
    case status: {
        if (actions != nullptr && actions->timer().is_timed(*t))
            return QStringLiteral("\u25B6 Timing");
        if (t->status == model::status::unfinished && !model::open_dependencies(tasks, *t).empty())
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
    case day_priority:
        return t->appointment || t->is_folder() || special_date(t->date) ? QString() : history::priority_text(*t);
    case estimate: {
        const std::int64_t e = tasks.effective_estimate(*t);
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
        if (t->appointment && t->appointment_start >= 0 && !special_date(t->date))
            return time::time_range_text(t->date + t->appointment_start, std::max(0, t->appointment_duration));
        const std::int64_t spent = tasks.time_spent(*t);
        return spent == 0 ? QString() : time::format_duration(spent);
    }
    case time_left: {
        if (t->appointment || tasks.effective_estimate(*t) == 0)
            return QString();
        return time::format_duration(tasks.time_left(*t));
    }
    case project: return projects != nullptr ? place_path(*projects, *t) : QString();
    case role: {
        if (auto r = tables.roles.find(tasks.effective_role(*t)))
            return r->name;
        return QString();
    }
    case impact: return t->units == 0 ? QString() : QString::number(t->units);
    case roi: return number_text(tasks.roi(*t));
    case yield: return number_text(tasks.yield(*t));
    case date:
        if (t->date == time::RECURRENCE_MASTER_DATE)
            return QStringLiteral("Recurring");
        return special_date(t->date) ? QStringLiteral("No Date") : time::format_short_date(t->date);
    case tags: return history::tags_text(*t);
    case manual_index: return t->project_priority_value == 0 ? QString() : QString::number(t->project_priority_value);
    case recurrence: {
        if (recurrences == nullptr)
            return QString();
        const model::task_ptr master = recurrences->recurrence_master(*t);
        const time::recurrence* pattern = master ? recurrences->pattern_of(master->id) : nullptr;
        return pattern != nullptr ? time::describe(*pattern) : QString();
    }
    default: return QString();
    }
}

int task_cells::compare(const model::task& a, const model::task& b, int column_id) const
{
    auto three_way = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    switch (column_id) {
    case status: return three_way(a.status, b.status);
    case day_priority: return three_way(std::pair(a.priority, a.priority_value), std::pair(b.priority, b.priority_value));
    case estimate: return three_way(tasks.effective_estimate(a), tasks.effective_estimate(b));
    case original_estimate: return three_way(a.original_estimate, b.original_estimate);
    case deadline: return three_way(a.deadline, b.deadline);
    case time: {
        auto key = [this](const model::task& t) {
            return t.appointment && t.appointment_start >= 0 ? std::int64_t(t.appointment_start) : tasks.time_spent(t);
        };
        return three_way(key(a), key(b));
    }
    case time_left: return three_way(tasks.time_left(a), tasks.time_left(b));
    case impact: return three_way(a.units, b.units);
    case roi: return three_way(tasks.roi(a), tasks.roi(b));
    case yield: return three_way(tasks.yield(a), tasks.yield(b));
    case date: return three_way(a.date, b.date);
    case manual_index: return three_way(a.project_priority_value, b.project_priority_value);
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
        return collator.compare(text(a, column_id), text(b, column_id));
    }
    }
}

int task_cells::check_state(const model::task& t, int column_id) const
{
    if (column_id != status || t.appointment)
        return -1;
    if (t.status == model::status::unfinished)
        return 0;
    return t.status == model::status::finished ? 2 : -1;
}

QColor task_cells::background(const model::task& t, int column_id) const
{
    return column_id == role && roles != nullptr ? roles->background(tasks, t) : QColor();
}

QColor task_cells::foreground(const model::task& t, int column_id, const QPalette& palette) const
{
    if (column_id == role && roles != nullptr)
        return roles->foreground(tasks, t);
    if (column_id != deadline || t.deadline == 0 || t.deadline >= time::now() || t.status != model::status::unfinished)
        return {};
    return overdue_colour(palette);
}

int task_cells::editor(const model::task& t, int column_id) const
{
    switch (column_id) {
    case status:
    case task:
    case deadline:
    case impact:
    case original_estimate:
        return editor_kind::text;
    case date:
        return t.is_folder() || t.date == time::RECURRENCE_MASTER_DATE ? editor_kind::none : editor_kind::text;
    case project:
        return projects != nullptr ? editor_kind::text : editor_kind::none;
    case role:
    case tags:
        return roles != nullptr ? editor_kind::text : editor_kind::none;
    case day_priority:
    case estimate:
        return t.appointment ? editor_kind::none : editor_kind::text;
    default:
        return editor_kind::none;
    }
}

QString task_cells::initial_text(const model::task& t, int column_id) const
{
    if (column_id == status)
        return model::status_text(t.status, true);
    if (column_id == estimate && t.estimate == 0)
        return QString();
    return text(t, column_id);
}

int task_cells::commit(model::task& t, int column_id, const QString& text,
                       const std::function<void(const QString&)>& report) const
{
    auto say = [&](const QString& m) {
        if (report && !m.isEmpty())
            report(m);
    };
    const bool none = text.isEmpty() || text.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0;
    switch (column_id) {
    case task:
        commands.modify(t, [&](model::task& x) { x.name = text; });
        return 0;
    case role:
        if (roles == nullptr)
            return 0;
        return roles->commit_role(commands, {&t}, text, say) ? 0 : 2;
    case tags:
        if (roles != nullptr)
            roles->tags.set_tags({&t}, text);
        return 0;
    case project: {
        QString message;
        if (projects == nullptr || !assign_path(*projects, {&t}, text, message)) {
            say(message);
            return 2;
        }
        return 0;
    }
    case status: {
        const int s = model::status_from_text(text);
        if (s < 0) {
            say(QStringLiteral("\"%1\" is not a status: type unfinished, finished, delegated, waiting or canceled.").arg(text));
            return 2;
        }
        commands.modify(t, [s](model::task& x) { x.status = s; });
        return 0;
    }
    case day_priority: {
        const QString p = text.trimmed().toUpper();
        const QString bad = QStringLiteral("\"%1\" is not a day priority: type A, B or C, optionally with a position (A2).");
        if (p.isEmpty() || p[0] < QLatin1Char('A') || p[0] > QLatin1Char('C')) {
            say(bad.arg(text));
            return 2;
        }
        bool ok = true;
        const int position = p.size() > 1 ? p.mid(1).trimmed().toInt(&ok) : -1;
        if (!ok || (p.size() > 1 && position < 1)) {
            say(bad.arg(text));
            return 2;
        }
        const int priority = p[0].unicode() - u'A' + 1;
        if (position > 0)
            commands.modify(t, [&](model::task& x) {
                x.priority = priority;
                x.priority_value = position;
            }, model::update_flag::keep_priority_value);
        else
            commands.modify(t, [&](model::task& x) { x.priority = priority; });
        return 0;
    }
    case estimate:
    case original_estimate: {
        std::optional<time::duration> d = none ? std::optional<time::duration>(0) : time::parse_duration_checked(text);
        if (!d) {
            say(QStringLiteral("\"%1\" is not a duration: type for example 1h 30m, 1:30 or 90.").arg(text));
            return 2;
        }
        if (column_id == estimate)
            commands.modify(t, [&](model::task& x) {
                x.estimate = *d;
                if (x.original_estimate == 0)
                    x.original_estimate = *d;
            });
        else
            commands.modify(t, [&](model::task& x) { x.original_estimate = *d; });
        return 0;
    }
    case date:
    case deadline: {
        time::stored_date d = 0;
        if (!none) {
            const time::parsed_date parsed = time::parse_date(text, time::short_date_pattern(), time::today());
            if (parsed.failed) {
                say(not_a_date.arg(text));
                return 2;
            }
            d = parsed.date;
        }
        if (column_id == date)
            commands.modify(t, [&](model::task& x) { x.date = d == 0 ? time::NO_DATE : d; });
        else
            commands.modify(t, [&](model::task& x) { x.deadline = d; });
        return 0;
    }
    case impact: {
        bool ok = none;
        const int units = none ? 0 : text.toInt(&ok);
        if (!ok || units < 0) {
            say(QStringLiteral("\"%1\" is not an impact: type a whole number.").arg(text));
            return 2;
        }
        commands.modify(t, [units](model::task& x) { x.units = units; });
        return 0;
    }
    default:
        return 0;
    }
}

QStringList task_cells::completions(int column_id) const
{
    if (column_id == role && roles != nullptr)
        return roles->role_names();
    if (column_id == tags && roles != nullptr)
        return model::tag_names(roles->tags.tables());
    return column_id == project && projects != nullptr ? projects->paths : QStringList();
}

bool task_cells::clear(model::task& t, int column_id, const std::function<void(const QString&)>& report) const
{
    // The name and the status always hold a value; a cell that cannot be
    // edited cannot be cleared either.
    if (column_id == task || column_id == status || editor(t, column_id) == editor_kind::none)
        return false;
    if (text(t, column_id).isEmpty() && column_id != date)
        return false;
    if (column_id == day_priority) {
        commands.modify(t, [](model::task& x) { x.priority = model::day_priority::b; });
        return true;
    }
    return commit(t, column_id, QString(), report) == 0;
}

bool task_cells::step(model::task& t, int column_id, int delta) const
{
    if (editor(t, column_id) == editor_kind::none)
        return false;
    switch (column_id) {
    case date:
        commands.modify(t, [delta](model::task& x) {
            x.date = special_date(x.date) ? time::today() : time::add_days(x.date, delta);
        });
        return true;
    case deadline:
        commands.modify(t, [delta](model::task& x) {
            if (x.deadline == 0) {
                x.deadline = time::today() + 86400 - 60;  // the end of today
                return;
            }
            const time::stored_date day = time::date_of(x.deadline);
            x.deadline = time::add_days(day, delta) + (x.deadline - day);
        });
        return true;
    case estimate:
    case original_estimate: {
        const int step = 15 * 60;
        const std::int32_t now = column_id == estimate ? t.estimate : t.original_estimate;
        const std::int32_t next = std::max(0, (now / step + (delta > 0 ? 1 : (now % step ? 0 : -1))) * step);
        if (next == now)
            return false;
        commands.modify(t, [&](model::task& x) { (column_id == estimate ? x.estimate : x.original_estimate) = next; });
        return true;
    }
    case impact: {
        const int next = std::max(0, t.units + delta);
        if (next == t.units)
            return false;
        commands.modify(t, [next](model::task& x) { x.units = next; });
        return true;
    }
    case day_priority: {
        // Increment raises the priority: C to B to A.
        const int next = std::clamp(t.priority - delta, model::day_priority::a, model::day_priority::c);
        if (next == t.priority)
            return false;
        commands.set_day_priority({&t}, next);
        return true;
    }
    default:
        return false;
    }
}

bool task_cells::schedule_between(history::history& h, const std::vector<model::task*>& selected, const QString& text,
                                  QString& message) const
{
    const QStringList parts =
        text.split(QRegularExpression(QStringLiteral("\\s*(?:-|\u2013|\\band\\b|\\bto\\b)\\s*")), Qt::SkipEmptyParts);
    const time::time_of_day after = parts.size() == 2 ? time::parse_time_of_day(parts[0], false) : -1;
    const time::time_of_day before = parts.size() == 2 ? time::parse_time_of_day(parts[1], false) : -1;
    if (after < 0 || before < 0 || before <= after) {
        message = QStringLiteral("\"%1\" is not two times in order: type for example 9am - 11:30am.").arg(text);
        return false;
    }
    std::vector<model::task*> todos;
    for (model::task* t : selected)
        if (t->is_todo())
            todos.push_back(t);
    if (todos.empty()) {
        message = QStringLiteral("Schedule Between is for to-dos; appointments keep their own times.");
        return false;
    }
    h.begin_group();
    for (model::task* t : todos)
        commands.modify(*t, [&](model::task& x) {
            x.appointment_start = after;
            x.appointment_duration = before;
        });
    h.end_group();
    return true;
}

void edit_description(const task_cells& cells, QWidget* parent, model::task& t,
                      const std::function<std::optional<QString>(QWidget*, const QString&)>& ask)
{
    std::optional<QString> text;
    if (ask) {
        text = ask(parent, t.description);
    } else {
        bool ok = false;
        const QString typed = QInputDialog::getMultiLineText(
            parent, QStringLiteral("Description"), QStringLiteral("Description of %1:").arg(t.name), t.description, &ok);
        if (ok)
            text = typed;
    }
    if (!text || *text == t.description)
        return;
    if (model::task_ptr held = cells.tasks.find(t.id))
        cells.commands.modify(*held, [&](model::task& x) { x.description = *text; });
}

QString schedule_between_prompt(const task_cells& cells, history::history& h, QWidget* parent, const std::vector<model::task*>& tasks)
{
    if (tasks.empty())
        return QStringLiteral("Select the to-dos to schedule.");
    bool ok = false;
    const QString text = QInputDialog::getText(parent, QStringLiteral("Schedule Between"),
                                               QStringLiteral("Work on it between (for example 9am - 11:30am):"),
                                               QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return QString();
    QString message;
    cells.schedule_between(h, tasks, text, message);
    return message;
}

void task_cells::cell_command(history::history& h, const std::vector<model::task*>& selected, int column_id,
                              int command, const std::function<void(const QString&)>& report) const
{
    int changed = 0;
    h.begin_group();
    for (model::task* t : selected)
        changed += (command == list_cmd::cell_clear ? clear(*t, column_id, report)
                                                    : step(*t, column_id, command == list_cmd::cell_increment ? 1 : -1))
                       ? 1
                       : 0;
    h.end_group();
    if (changed == 0 && !selected.empty() && report)
        report(command == list_cmd::cell_clear ? QStringLiteral("This cell cannot be cleared.")
                                               : QStringLiteral("This cell has no value to step."));
}

QString task_cells::pull_next(const model::task& focus, bool same_folder) const
{
    const model::project_ptr p = projects != nullptr && focus.project != 0 ? projects->projects.find(focus.project)
                                                                          : nullptr;
    if (!p)
        return QStringLiteral("Pull Next Task works on a task of a project: this one has none.");
    const model::task_tree tree = model::build_task_tree(tasks, *p);
    // The project's tasks in its order: each folder's tasks after it.
    std::vector<model::task*> order;
    std::function<void(const std::vector<model::task*>&, int)> walk = [&](const std::vector<model::task*>& group,
                                                                          int depth) {
        for (model::task* t : group) {
            order.push_back(t);
            if (depth < 40)
                walk(tree.children_of(t->id), depth + 1);
        }
    };
    walk(tree.roots, 0);
    const auto at = std::find_if(order.begin(), order.end(), [&](const model::task* t) { return t->id == focus.id; });
    const time::stored_date today = time::today();
    for (auto it = at == order.end() ? order.begin() : at + 1; it != order.end(); ++it) {
        model::task* t = *it;
        if (!t->is_todo() || t->status != model::status::unfinished || t->date == today ||
            t->date == time::RECURRENCE_MASTER_DATE || (same_folder && t->parent != focus.parent))
            continue;
        commands.set_date({t}, today);
        return QStringLiteral("\"%1\" is on today's list now.").arg(t->name);
    }
    return same_folder ? QStringLiteral("No unfinished task follows in this folder.")
                       : QStringLiteral("No unfinished task follows in this project.");
}

void task_cells::move_in_day(history::history& h, std::vector<model::task*> selected, bool up) const
{
    if (selected.empty())
        return;
    if (!up)
        std::reverse(selected.begin(), selected.end());
    h.begin_group();
    for (model::task* t : selected) {
        if (!t->is_todo() || special_date(t->date))
            continue;
        const int last = tasks.next_day_value(*t) - 1;
        if (up && t->priority_value > 1)
            commands.modify(*t, [](model::task& x) { --x.priority_value; });
        else if (up && t->priority > model::day_priority::a)
            commands.modify(*t, [](model::task& x) { --x.priority; });  // to the end of the group above
        else if (!up && t->priority_value < last)
            commands.modify(*t, [](model::task& x) { ++x.priority_value; });
        else if (!up && t->priority < model::day_priority::c)
            commands.modify(*t, [](model::task& x) {
                ++x.priority;
                x.priority_value = 1;  // to the top of the group below
            }, model::update_flag::keep_priority_value);
    }
    h.end_group();
}

}  // namespace qm::ui
