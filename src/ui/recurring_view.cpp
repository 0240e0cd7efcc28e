#include "ui/recurring_view.h"

#include "app/settings_document.h"
#include "time/format.h"
#include "ui/commands.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace qm::ui {
namespace {

const QString layout_block = QStringLiteral("list");
const QString indent = QStringLiteral("        ");

QVector<column> recurring_columns()
{
    using namespace recurring_column;
    return {
        {task, "Task", true, 0.4, -1, -1, true},
        {recurrence, "Recurrence", true, 0.6, -1, -1, false},
        {starts, "Starts", true, 100, -1, -1, false},
        {ends, "Ends", true, 100, -1, -1, false},
        {next, "Next Occurrence", true, 120, -1, -1, false},
    };
}

QString date_text(time::stored_date d) { return d == 0 ? QString() : time::format_short_date(d); }

}  // namespace

recurring_view::recurring_view(model::task_store& tasks, history::task_commands& commands,
                               history::recurrence_commands& recurring, history::history& history,
                               QString settings_file, QWidget* parent)
    : view(id, QStringLiteral("Recurring Tasks"), parent),
      tasks_(tasks),
      commands_(commands),
      recurring_(recurring),
      history_(history),
      settings_file_(std::move(settings_file))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    auto* heading = new QLabel(QStringLiteral("Recurring Tasks"), this);
    QFont f = heading->font();
    f.setPointSizeF(f.pointSizeF() * 1.3);
    f.setBold(true);
    heading->setFont(f);
    layout->addWidget(heading);
    list_ = new cell_list(*this, recurring_columns(), list_style::no_enter_add | list_style::no_right_click_add, this);
    list_->set_name_column(recurring_column::task);
    list_->setObjectName(QStringLiteral("recurring_list"));
    layout->addWidget(list_, 1);
    setFocusProxy(list_);
    connect(list_, &cell_list::editor_closed, this, [this] {
        if (refresh_pending_)
            schedule_refresh();
    });
    const app::settings_document doc = app::settings_document::load(settings_file_);
    list_->load_layout(doc, layout_block);
    store::listeners().add(this);
    refresh();
    if (!rows_.empty())
        list_->set_focus_cell(0, recurring_column::task);
}

recurring_view::~recurring_view() { store::listeners().remove(this); }

void recurring_view::save_state()
{
    app::settings_document doc = app::settings_document::load(settings_file_);
    list_->save_layout(doc, layout_block);
    doc.save(settings_file_);
}

std::vector<toolbar_button> recurring_view::buttons() const
{
    return {{"Stop Recurrence", stop_recurrence}, {"-", 0}, {"Restore Occurrence", restore_occurrence}};
}

// ---- rows ----

void recurring_view::schedule_refresh()
{
    refresh_pending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (refresh_pending_ && !list_->editing())
            refresh();
    });
}

void recurring_view::refresh()
{
    refresh_pending_ = false;
    const int focus = list_->focus_row();
    const row focus_row = focus >= 0 && focus < row_count() ? rows_[focus] : row{};
    const int focus_column = list_->focus_column_id();

    model::task_recurrences& r = recurring_.recurrences();
    std::vector<model::task*> masters = r.masters();
    std::sort(masters.begin(), masters.end(), [](const model::task* a, const model::task* b) {
        const int c = a->name.compare(b->name, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a->id < b->id;
    });
    rows_.clear();
    for (model::task* m : masters) {
        rows_.push_back({0, m->id, m->id, 0});
        if (!expanded_.count(m->id))
            continue;
        // Occurrences and deleted days together, by date.
        std::vector<row> children;
        for (model::task* o : r.occurrences_of(m->id))
            children.push_back({1, m->id, o->id, o->date});
        for (time::stored_date d : r.deleted_dates(m->id))
            children.push_back({2, m->id, 0, d});
        std::stable_sort(children.begin(), children.end(),
                         [](const row& a, const row& b) { return a.date < b.date; });
        rows_.insert(rows_.end(), children.begin(), children.end());
    }

    int new_focus = -1;
    for (int i = 0; i < row_count() && new_focus < 0; ++i)
        if (rows_[i].kind == focus_row.kind && rows_[i].master == focus_row.master &&
            rows_[i].task == focus_row.task && rows_[i].date == focus_row.date)
            new_focus = i;
    if (new_focus < 0 && focus >= 0)
        new_focus = std::min(focus, row_count() - 1);
    list_->reload(new_focus, focus_column);
}

void recurring_view::set_expanded(std::int32_t master, bool expanded)
{
    if (expanded)
        expanded_.insert(master);
    else
        expanded_.erase(master);
    refresh();
}

int recurring_view::row_of_master(std::int32_t master) const
{
    for (int i = 0; i < row_count(); ++i)
        if (rows_[i].kind == 0 && rows_[i].master == master)
            return i;
    return -1;
}

int recurring_view::row_of_task(std::int32_t task) const
{
    for (int i = 0; i < row_count(); ++i)
        if (rows_[i].kind == 1 && rows_[i].task == task)
            return i;
    return -1;
}

int recurring_view::row_of_deleted(std::int32_t master, time::stored_date d) const
{
    for (int i = 0; i < row_count(); ++i)
        if (rows_[i].kind == 2 && rows_[i].master == master && rows_[i].date == d)
            return i;
    return -1;
}

QString recurring_view::cell_text(int row_index, int column_id) const
{
    if (row_index < 0 || row_index >= row_count())
        return QString();
    const row& r = rows_[row_index];
    using namespace recurring_column;
    if (r.kind == 2)
        return column_id == task ? indent + date_text(r.date) + QStringLiteral(" \u2014 deleted") : QString();
    model::task_ptr t = tasks_.find(r.task);
    if (!t)
        return QString();
    if (r.kind == 1) {
        if (column_id == task)
            return indent + date_text(r.date) + QStringLiteral(" \u2014 ") + t->name;
        if (column_id == recurrence)
            return t->status == model::status::unfinished ? QString() : model::status_text(t->status, true);
        return QString();
    }
    const time::recurrence* p = recurring_.recurrences().pattern_of(r.master);
    switch (column_id) {
    case task: return t->name;
    case recurrence: return p ? time::describe(*p) : QStringLiteral("No recurrence");
    case starts: return p ? date_text(p->starting_date) : QString();
    case ends: return p ? (p->ending_date == 0 ? QStringLiteral("Never") : date_text(p->ending_date)) : QString();
    case next: {
        if (!p)
            return QString();
        const time::stored_date n = time::next_occurrence(*p, time::today());
        return n == 0 ? QStringLiteral("None") : date_text(n);
    }
    default: return QString();
    }
}

row_style recurring_view::style_of(int row_index) const
{
    row_style s;
    if (row_index < 0 || row_index >= row_count())
        return s;
    const row& r = rows_[row_index];
    if (r.kind == 0) {
        s.bold = true;
        if (const time::recurrence* p = recurring_.recurrences().pattern_of(r.master); p && !time::is_active(*p))
            s.dimmed = true;  // no future occurrence will occur
    } else if (r.kind == 2) {
        s.dimmed = true;
        s.struck = true;
    } else if (model::task_ptr t = tasks_.find(r.task)) {
        s.struck = t->status == model::status::finished || t->status == model::status::canceled;
        s.dimmed = t->status != model::status::unfinished;
    }
    return s;
}

int recurring_view::editor_of(int row_index, int column_id) const
{
    if (row_index < 0 || row_index >= row_count() || column_id != recurring_column::task)
        return editor_kind::none;
    return rows_[row_index].kind == 0 ? editor_kind::text : editor_kind::none;
}

int recurring_view::commit_text(int row_index, int column_id, const QString& text)
{
    if (row_index < 0 || row_index >= row_count() || column_id != recurring_column::task || rows_[row_index].kind != 0)
        return 0;
    if (model::task_ptr t = tasks_.find(rows_[row_index].task))
        commands_.modify(*t, [&text](model::task& x) { x.name = text.trimmed(); });
    return 0;
}

void recurring_view::begin_commits(int target_rows)
{
    if (target_rows > 1)
        history_.begin_group();
}

void recurring_view::end_commits(int target_rows)
{
    if (target_rows > 1)
        history_.end_group();
}

QVector<cell_button> recurring_view::cell_buttons(int row_index, int column_id) const
{
    if (row_index < 0 || row_index >= row_count() || column_id != recurring_column::task || rows_[row_index].kind != 0)
        return {};
    const bool open = expanded_.count(rows_[row_index].master) != 0;
    return {{open ? QStringLiteral("Hide recurrences") : QStringLiteral("Show recurrences"), toggle_rows}};
}

void recurring_view::cell_button_clicked(int row_index, int, int command)
{
    if (command != toggle_rows || row_index < 0 || row_index >= row_count())
        return;
    const std::int32_t m = rows_[row_index].master;
    set_expanded(m, !expanded_.count(m));
    list_->set_focus_cell(row_of_master(m), recurring_column::task);
}

QString recurring_view::empty_text() const
{
    return QStringLiteral("No recurring tasks. A task repeats once a pattern is chosen on the Recurrence page of its "
                          "properties.");
}

// ---- commands ----

std::vector<model::task*> recurring_view::selected_masters() const
{
    std::vector<model::task*> out;
    for (int r : list_->selected_rows()) {
        if (r < 0 || r >= row_count())
            continue;
        model::task_ptr m = tasks_.find(rows_[r].master);
        if (m && std::find(out.begin(), out.end(), m.get()) == out.end())
            out.push_back(m.get());
    }
    return out;
}

bool recurring_view::handles(int command) const
{
    return command == stop_recurrence || command == restore_occurrence || command == cmd::delete_ ||
           list_->can_handle(command);
}

bool recurring_view::handle_command(int command) { return own_command(command) || list_->handle_command(command); }

bool recurring_view::own_command(int command)
{
    switch (command) {
    case stop_recurrence: {
        const std::vector<model::task*> masters = selected_masters();
        if (masters.empty()) {
            report(QStringLiteral("Select the recurring tasks to stop."));
            return true;
        }
        const int stopped = recurring_.stop_recurrence(masters);
        report(stopped == 0 ? QStringLiteral("Those recurrences have already ended.")
                            : QStringLiteral("Stopped %1 recurrence%2.").arg(stopped).arg(stopped == 1 ? "" : "s"));
        return true;
    }
    case restore_occurrence: {
        std::vector<row> chosen;
        for (int r : list_->selected_rows())
            if (r >= 0 && r < row_count() && rows_[r].kind == 2)
                chosen.push_back(rows_[r]);
        if (chosen.empty()) {
            report(QStringLiteral("Select a deleted occurrence to restore (open a task's recurrences first)."));
            return true;
        }
        history_.begin_group();
        for (const row& r : chosen)
            recurring_.restore_occurrence(r.master, r.date);
        history_.end_group();
        return true;
    }
    case cmd::delete_: {
        std::vector<model::task_ptr> chosen;
        for (int r : list_->selected_rows())
            if (r >= 0 && r < row_count() && rows_[r].kind != 2)
                if (model::task_ptr t = tasks_.find(rows_[r].task))
                    chosen.push_back(t);
        history_.begin_group();
        for (const model::task_ptr& t : chosen)
            if (tasks_.find(t->id))  // a master's removal may have taken it already
                commands_.remove(t);
        history_.end_group();
        return true;
    }
    default: return false;
    }
}

long recurring_view::on_announcement(const store::announcement& a)
{
    if (a.message == model::task_message::batch_ended || a.message == store::message::options_applied)
        schedule_refresh();
    return 0;
}

}  // namespace qm::ui
