#include "ui/calendar_view.h"

#include "app/options.h"
#include "app/settings_document.h"
#include "history/task_description.h"
#include "schedule/schedule_store.h"
#include "time/format.h"
#include "tracking/timer_operations.h"
#include "ui/calendar_print.h"
#include "ui/calendar_task_list.h"
#include "ui/commands.h"
#include "ui/task_actions.h"

#include <QCalendarWidget>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace qm::ui {
namespace {

constexpr int day_seconds = 86400;
constexpr int default_length = 3600;  // a dropped to-do without an estimate

QString name_of(const model::task& t) { return t.name.isEmpty() ? QStringLiteral("(unnamed task)") : t.name; }

QDate to_qdate(time::stored_date d)
{
    const time::calendar_fields f = time::fields(d);
    return QDate(f.year, f.month, f.day);
}

time::stored_date from_qdate(const QDate& d) { return time::make_date(d.year(), d.month(), d.day()); }

QString span_text(int start, int end)
{
    return QStringLiteral("%1 \u2013 %2").arg(time::format_time_of_day(start), time::format_time_of_day(end));
}

}  // namespace

calendar_view::calendar_view(int id, calendar_parts parts, QString settings_file, QWidget* parent)
    : view(id, id == week_id ? QStringLiteral("Week Calendar") : QStringLiteral("Day Calendar"), parent),
      tasks_(parts.tasks),
      commands_(parts.commands),
      history_(parts.history),
      schedule_(parts.schedule),
      actions_(parts.actions),
      settings_file_(std::move(settings_file)),
      date_(time::today())
{
    setObjectName(is_week() ? QStringLiteral("week_calendar") : QStringLiteral("day_calendar"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    heading_ = new QLabel(this);
    QFont f = heading_->font();
    f.setPointSizeF(f.pointSizeF() * 1.3);
    f.setBold(true);
    heading_->setFont(f);
    layout->addWidget(heading_);

    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setChildrenCollapsible(false);
    grid_ = new calendar_grid(splitter_);
    splitter_->addWidget(grid_);
    side_ = new QWidget(splitter_);
    auto* side_layout = new QVBoxLayout(side_);
    side_layout->setContentsMargins(0, 0, 0, 0);
    navigation_ = new QCalendarWidget(side_);
    navigation_->setObjectName(QStringLiteral("calendar_navigation"));
    navigation_->setGridVisible(false);
    navigation_->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    side_layout->addWidget(navigation_);
    auto* list_title = new QLabel(side_);
    list_title->setToolTip(QStringLiteral("The date's to-dos without a time of their own: drag one onto the "
                                          "calendar to give it one."));
    list_title->setObjectName(QStringLiteral("calendar_list_title"));
    side_layout->addWidget(list_title);
    list_ = new calendar_task_list(tasks_, side_);
    side_layout->addWidget(list_, 1);
    splitter_->addWidget(side_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    layout->addWidget(splitter_, 1);
    setFocusProxy(grid_);
    // A narrow window squeezes the side panel and clips the heading instead
    // of growing past the width the user gave it.
    heading_->setMinimumWidth(40);
    navigation_->setMinimumWidth(60);
    list_->setMinimumWidth(60);
    list_title->setMinimumWidth(40);
    grid_->setMinimumWidth(120);

    connect(navigation_, &QCalendarWidget::clicked, this, [this](const QDate& d) { set_date(from_qdate(d)); });
    connect(navigation_, &QCalendarWidget::activated, this, [this](const QDate& d) { set_date(from_qdate(d)); });
    connect(grid_, &calendar_grid::range_chosen, this, [this](const calendar_range& r) { edit_new_appointment(r); });
    connect(grid_, &calendar_grid::appointment_moved, this, &calendar_view::move_appointment);
    connect(grid_, &calendar_grid::appointment_resized, this, &calendar_view::resize_appointment);
    connect(grid_, &calendar_grid::tasks_dropped, this,
            [this](const QList<std::int32_t>& ids, int day, int second, Qt::KeyboardModifiers mods) {
                drop_tasks(ids, day, second, (mods & Qt::ControlModifier) != 0);
            });
    connect(grid_, &calendar_grid::menu_requested, this, &calendar_view::open_menu);
    connect(grid_, &calendar_grid::item_activated, this, [this](const calendar_item& item) {
        model::task_ptr t = tasks_.find(item.task);
        if (t && actions_ != nullptr)
            actions_->open_properties(*t, this);
    });
    connect(grid_, &calendar_grid::selection_changed, this, [this] {
        // A click in another day's column makes it the current date.
        const int day = grid_->current_day();
        if (is_week() && day >= 0 && time::add_days(first_day(), day) != date_) {
            date_ = time::add_days(first_day(), day);
            update_heading();
            update_side();
            emit place_changed();
        }
    });

    const app::settings_document doc = app::settings_document::load(settings_file_);
    list_filters_ = doc.get_int(QStringLiteral("task_list"), QStringLiteral("filter_flags"), 0);
    grid_->set_hour_height(doc.get_int(QStringLiteral("grid"), QStringLiteral("hour_height"), 48));
    const int side_width = doc.get_int(QStringLiteral("splitters"), QStringLiteral("side"), 280);
    splitter_->setSizes({900, std::max(180, side_width)});
    navigation_->setVisible(doc.get_int(QStringLiteral("panes"), QStringLiteral("navigation"), 0) != 0);
    list_->setVisible(doc.get_int(QStringLiteral("panes"), QStringLiteral("task_list"), 1) != 0);
    list_title->setVisible(list_->isVisibleTo(side_));
    side_->setVisible(navigation_->isVisibleTo(side_) || list_->isVisibleTo(side_));
    const int top = doc.get_int(QStringLiteral("grid"), QStringLiteral("top"), -1);
    QTimer::singleShot(0, grid_, [this, top] {
        grid_->scroll_to_second(top >= 0 ? top : std::max(0, app::current_options().working_start - 1800));
    });

    store::listeners().add(this);
    grid_->set_now(time::now());
    refresh();
}

calendar_view::~calendar_view() { store::listeners().remove(this); }

time::stored_date calendar_view::first_day() const { return is_week() ? time::start_of_week(date_) : date_; }

void calendar_view::set_date(time::stored_date d)
{
    d = time::date_of(d);
    if (d == time::NO_DATE || d == time::FOLDER_DATE || d == time::RECURRENCE_MASTER_DATE || d <= 0)
        return;
    const bool changed = d != date_;
    date_ = d;
    refresh();
    if (changed)
        emit place_changed();
}

bool calendar_view::task_list_shown() const { return list_->isVisibleTo(this); }
bool calendar_view::navigation_shown() const { return navigation_->isVisibleTo(this); }

QLineEdit* calendar_view::name_editor() const { return editor_; }

void calendar_view::save_state()
{
    app::settings_document doc = app::settings_document::load(settings_file_);
    doc.set_int(QStringLiteral("panes"), QStringLiteral("task_list"), task_list_shown() ? 1 : 0);
    doc.set_int(QStringLiteral("panes"), QStringLiteral("navigation"), navigation_shown() ? 1 : 0);
    if (side_->isVisibleTo(this) && side_->width() > 10)
        doc.set_int(QStringLiteral("splitters"), QStringLiteral("side"), side_->width());
    doc.set_int(QStringLiteral("task_list"), QStringLiteral("filter_flags"), list_filters_);
    doc.set_int(QStringLiteral("grid"), QStringLiteral("hour_height"), grid_->hour_height());
    doc.set_int(QStringLiteral("grid"), QStringLiteral("top"), grid_->first_visible_second());
    doc.save(settings_file_);
}

// ---- the boxes ----

void calendar_view::schedule_refresh()
{
    if (!isVisible()) {
        stale_ = true;  // a hidden calendar catches up when it is shown
        return;
    }
    if (refresh_pending_)
        return;
    refresh_pending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (refresh_pending_)
            refresh();
    });
}

void calendar_view::refresh()
{
    refresh_pending_ = false;
    stale_ = false;
    const time::stored_date first = first_day();
    if (grid_->first_day() != first || grid_->day_count() != day_count())
        grid_->set_days(first, day_count());
    const app::options& o = app::current_options();
    grid_->set_bands(o.working_start, o.working_end, o.sleeping_start, o.sleeping_end);
    grid_->set_current_day(static_cast<int>((date_ - first) / 86400));
    build_items();
    update_heading();
    update_side();
}

void calendar_view::update_side()
{
    list_->show_date(date_, list_filters_);
    if (auto* title = side_->findChild<QLabel*>(QStringLiteral("calendar_list_title")))
        title->setText(QStringLiteral("To-dos of %1").arg(time::format_long_date(date_)));
    const QSignalBlocker quiet(navigation_);
    const int first_weekday = time::first_day_of_week();  // 1 = Sunday
    navigation_->setFirstDayOfWeek(static_cast<Qt::DayOfWeek>(first_weekday == 1 ? 7 : first_weekday - 1));
    navigation_->setSelectedDate(to_qdate(date_));
}

void calendar_view::showEvent(QShowEvent* event)
{
    view::showEvent(event);
    if (stale_)
        refresh();
}

void calendar_view::build_items()
{
    const time::stored_date first = first_day();
    const int days = day_count();
    const time::stored_date end = time::add_days(first, days);
    std::vector<calendar_item> items;
    for (int d = 0; d < days; ++d) {
        const time::stored_date date = time::add_days(first, d);
        tasks_.look_at(date);  // a day's first look makes its recurring tasks
        for (const model::task* t : tasks_.tasks_of_date(date)) {
            if (!t->appointment || t->is_folder() || t->appointment_start < 0)
                continue;
            calendar_item it;
            it.kind = calendar_kind::appointment;
            it.task = t->id;
            it.day = d;
            it.start = std::clamp(t->appointment_start, 0, day_seconds);
            it.end = std::clamp(t->appointment_start + std::max(0, t->appointment_duration), it.start, day_seconds);
            it.text = name_of(*t);
            it.done = t->status != model::status::unfinished && t->status != model::status::waiting;
            it.tip = QStringLiteral("%1\n%2").arg(name_of(*t), span_text(it.start, it.end));
            if (it.done)
                it.tip += QStringLiteral("\n") + model::status_text(t->status, true);
            items.push_back(std::move(it));
        }
        if (schedule_ != nullptr)
            for (const schedule::stored_block* b : schedule_->blocks_of(date)) {
                calendar_item it;
                it.kind = calendar_kind::block;
                it.task = b->b.task;
                it.day = d;
                it.start = std::clamp(b->b.start, 0, day_seconds);
                it.end = std::clamp(b->b.end, it.start, day_seconds);
                it.text = b->task ? name_of(*b->task) : QString();
                it.late = b->b.before_mark || b->b.deadline_mark;
                it.tip = QStringLiteral("%1\n%2\nPlaced by the day schedule.").arg(it.text, span_text(it.start, it.end));
                if (b->b.before_mark)
                    it.tip += QStringLiteral("\nEnds after its schedule-before time.");
                if (b->b.deadline_mark)
                    it.tip += QStringLiteral("\nEnds after its deadline.");
                items.push_back(std::move(it));
            }
    }
    // Tracked time may lie on any day, whatever the task's own date.
    for (const model::task_ptr& t : tasks_.all()) {
        for (const store::tracked_time_record& e : t->tracked_times) {
            const time::stored_time e_end = e.start + std::max(0, e.duration);
            if (e_end <= first || e.start >= end || e.duration <= 0)
                continue;
            for (time::stored_date date = std::max(first, time::date_of(e.start)); date < end && date < e_end;
                 date = time::next_day(date)) {
                calendar_item it;
                it.kind = calendar_kind::tracked;
                it.task = t->id;
                it.entry = e.id;
                it.day = static_cast<int>((date - first) / 86400);
                it.start = static_cast<int>(std::max(e.start, date) - date);
                it.end = static_cast<int>(std::min<time::stored_time>(e_end, date + day_seconds) - date);
                it.text = name_of(*t);
                it.tip = QStringLiteral("Tracked time on %1\n%2 (%3)")
                             .arg(name_of(*t), span_text(it.start, it.end), time::format_duration(e.duration));
                items.push_back(std::move(it));
            }
        }
    }
    grid_->set_items(std::move(items));
}

void calendar_view::update_heading()
{
    if (is_week()) {
        const time::stored_date first = first_day();
        heading_->setText(QStringLiteral("%1 \u2013 %2")
                              .arg(time::format_long_date(first), time::format_long_date(time::add_days(first, 6))));
    } else {
        heading_->setText(QStringLiteral("%1 \u2014 %2").arg(time::format_long_date(date_), time::relative_text(date_)));
    }
}

void calendar_view::minute_tick(time::stored_time now)
{
    grid_->set_now(now);
    const time::stored_date today = time::date_of(now);
    if (today != time::date_of(now - 60))
        schedule_refresh();  // "Today" in the heading moves on
}

long calendar_view::on_announcement(const store::announcement& a)
{
    if (a.message == model::task_message::batch_ended || a.message == store::message::options_applied ||
        a.message == model::task_message::timer_started || a.message == model::task_message::timer_stopped)
        schedule_refresh();
    else if (a.message == store::message::schedule_changed)
        schedule_refresh();
    return 0;
}

// ---- toolbar and commands ----

std::vector<toolbar_button> calendar_view::buttons() const
{
    const bool week = is_week();
    return {
        {"Day View", calendar_cmd::day_view, true, !week},
        {"Week View", calendar_cmd::week_view, true, week},
        {"-", 0},
        {week ? "Prev. Week" : "Prev. Day", calendar_cmd::previous},
        {week ? "Next Week" : "Next Day", calendar_cmd::next},
        {week ? "This Week" : "Today", calendar_cmd::today},
        {"-", 0},
        {"Calendar Navigation", calendar_cmd::navigation, true, navigation_shown()},
        {"-", 0},
        {"Task List", calendar_cmd::task_list, true, task_list_shown()},
        {"Task List Options", calendar_cmd::task_list_options},
    };
}

bool calendar_view::handles(int command) const
{
    switch (command) {
    case calendar_cmd::day_view: case calendar_cmd::week_view: case calendar_cmd::previous: case calendar_cmd::next:
    case calendar_cmd::today: case calendar_cmd::navigation: case calendar_cmd::task_list:
    case calendar_cmd::task_list_options: case calendar_cmd::next_week: case calendar_cmd::previous_week:
    case calendar_cmd::show_task_list: case calendar_cmd::show_navigation:
    case cmd::day_next: case cmd::day_previous: case cmd::day_today:
    case cmd::delete_: case cmd::rename: case cmd::toggle_finished: case cmd::unfinished: case cmd::finished:
    case cmd::delegated: case cmd::waiting: case cmd::canceled: case cmd::print: case cmd::print_preview:
        return true;
    default:
        return actions_ != nullptr && task_actions::handles(command);
    }
}

bool calendar_view::handle_command(int command)
{
    auto selected = [this]() -> std::vector<model::task*> {
        model::task_ptr t = selected_task_ptr();
        return t ? std::vector<model::task*>{t.get()} : std::vector<model::task*>{};
    };
    switch (command) {
    case calendar_cmd::day_view:
    case calendar_cmd::week_view: {
        const int wanted = command == calendar_cmd::day_view ? day_id : week_id;
        if (wanted != view_id() && switch_view)
            switch_view(wanted, date_);
        else
            emit buttons_changed();  // the pressed button of the choice stays the one shown
        return true;
    }
    case calendar_cmd::previous: step(is_week() ? -7 : -1); return true;
    case calendar_cmd::next: step(is_week() ? 7 : 1); return true;
    case calendar_cmd::today:
    case cmd::day_today: set_date(time::today()); return true;
    case cmd::day_next: step(1); return true;
    case cmd::day_previous: step(-1); return true;
    case calendar_cmd::next_week: step(7); return true;
    case calendar_cmd::previous_week: step(-7); return true;
    case calendar_cmd::navigation:
    case calendar_cmd::show_navigation: show_navigation(!navigation_shown()); return true;
    case calendar_cmd::task_list:
    case calendar_cmd::show_task_list: show_task_list(!task_list_shown()); return true;
    case calendar_cmd::task_list_options: list_options_menu(); return true;
    case cmd::print:
    case cmd::print_preview: print_calendar_dialog(*this, command == cmd::print_preview); return true;
    case cmd::delete_: delete_selected(); return true;
    case cmd::rename: {
        model::task_ptr t = selected_task_ptr();
        const calendar_item* it = grid_->selected_item();
        if (!t || it == nullptr) {
            report(QStringLiteral("Select an appointment or a task on the calendar to rename it."));
            return true;
        }
        const std::int32_t id = t->id;
        open_name_editor(grid_->item_rect(*it), t->name, [this, id](const QString& name) {
            if (model::task_ptr x = tasks_.find(id))
                commands_.modify(*x, [&](model::task& n) { n.name = name; });
        });
        return true;
    }
    case cmd::toggle_finished: commands_.toggle_finished(selected()); return true;
    case cmd::unfinished: commands_.set_status(selected(), model::status::unfinished); return true;
    case cmd::finished: commands_.set_status(selected(), model::status::finished); return true;
    case cmd::delegated: commands_.set_status(selected(), model::status::delegated); return true;
    case cmd::waiting: commands_.set_status(selected(), model::status::waiting); return true;
    case cmd::canceled: commands_.set_status(selected(), model::status::canceled); return true;
    default: break;
    }
    if (actions_ != nullptr && task_actions::handles(command)) {
        model::task_ptr t = selected_task_ptr();
        return actions_->handle(command, t.get(), this, [this](const QString& text) { report(text); });
    }
    return false;
}

void calendar_view::step(int days) { set_date(time::add_days(date_, days)); }

void calendar_view::show_task_list(bool on)
{
    list_->setVisible(on);
    if (auto* title = side_->findChild<QLabel*>(QStringLiteral("calendar_list_title")))
        title->setVisible(on);
    side_->setVisible(on || navigation_shown());
    emit buttons_changed();
}

void calendar_view::show_navigation(bool on)
{
    navigation_->setVisible(on);
    side_->setVisible(on || task_list_shown());
    emit buttons_changed();
}

void calendar_view::list_options_menu()
{
    QMenu menu(this);
    auto add = [&](const QString& text, int bit) {
        QAction* a = menu.addAction(text);
        a->setCheckable(true);
        a->setChecked((list_filters_ & bit) != 0);
        connect(a, &QAction::triggered, this, [this, bit] {
            list_filters_ ^= bit;
            list_->show_date(date_, list_filters_);
        });
    };
    add(QStringLiteral("Include &Undated To-dos"), calendar_list_filter::undated);
    add(QStringLiteral("Include &Finished, Delegated and Canceled To-dos"), calendar_list_filter::finished);
    menu.exec(mapToGlobal(QPoint(width() - 260, 0)));
}

std::int32_t calendar_view::focus_task() const
{
    if (const calendar_item* it = grid_->selected_item())
        return it->task;
    if (list_->hasFocus() && list_->currentRow() >= 0)
        return list_->task_at(list_->currentRow());
    return 0;
}

model::task_ptr calendar_view::selected_task_ptr() const
{
    const std::int32_t id = focus_task();
    return id != 0 ? tasks_.find(id) : nullptr;
}

bool calendar_view::reveal_task(std::int32_t id)
{
    model::task_ptr t = tasks_.find(id);
    if (!t || t->date == time::NO_DATE || t->date == time::FOLDER_DATE || t->date == time::RECURRENCE_MASTER_DATE)
        return false;
    set_date(t->date);
    if (grid_->select_task(id))
        return true;
    // A to-do without a block: its row in the task list.
    if (const int row = list_->row_of(id); row >= 0) {
        list_->setCurrentRow(row);
        return true;
    }
    return true;  // the day is shown even when the task has no box on it
}

// ---- what the mouse asks for ----

std::optional<QString> calendar_view::ask(const QString& title, const QString& label)
{
    if (ask_text)
        return ask_text(this, title, label);
    bool ok = false;
    const QString text = QInputDialog::getText(this, title, label, QLineEdit::Normal, QString(), &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

void calendar_view::edit_new_appointment(const calendar_range& range)
{
    if (range.empty())
        return;
    calendar_item probe;
    probe.day = range.day;
    probe.start = range.start;
    probe.end = range.end;
    QRect box = grid_->item_rect(probe);
    open_name_editor(box, QString(), [this, range](const QString& name) { add_appointment(range, name); });
    editor_->setPlaceholderText(QStringLiteral("New appointment, %1").arg(span_text(range.start, range.end)));
}

void calendar_view::open_name_editor(const QRect& where, const QString& text, std::function<void(const QString&)> done)
{
    close_name_editor();
    editor_ = new QLineEdit(grid_->viewport());
    editor_->setObjectName(QStringLiteral("calendar_name_editor"));
    editor_->setText(text);
    editor_->selectAll();
    editor_->setGeometry(where.left(), where.top(), std::max(where.width(), 160), editor_->sizeHint().height());
    editor_done_ = std::move(done);
    editor_->show();
    editor_->setFocus();
    // Escape or a click elsewhere leaves it without a change.
    connect(editor_, &QLineEdit::editingFinished, this, [this] {
        if (editor_ != nullptr && !editor_->hasFocus())
            QTimer::singleShot(0, this, [this] { close_name_editor(); });
    });
    editor_->installEventFilter(this);
}

void calendar_view::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_D: handle_command(calendar_cmd::day_view); return;
        case Qt::Key_W: handle_command(calendar_cmd::week_view); return;
        case Qt::Key_T: handle_command(calendar_cmd::today); return;
        case Qt::Key_PageUp: handle_command(calendar_cmd::previous); return;
        case Qt::Key_PageDown: handle_command(calendar_cmd::next); return;
        default: break;
        }
    }
    view::keyPressEvent(event);
}

bool calendar_view::eventFilter(QObject* watched, QEvent* event)
{
    // Enter keeps the name, Escape leaves without a change; neither goes on
    // to the grid, where Enter would open the new box's properties.
    if (watched == editor_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const QString name = editor_->text().trimmed();
            auto done = std::move(editor_done_);
            close_name_editor();
            grid_->setFocus();
            if (done && !name.isEmpty())
                done(name);
            return true;
        }
        if (key == Qt::Key_Escape) {
            close_name_editor();
            grid_->setFocus();
            return true;
        }
    }
    return view::eventFilter(watched, event);
}

void calendar_view::close_name_editor()
{
    if (editor_ == nullptr)
        return;
    QLineEdit* e = editor_;
    editor_ = nullptr;
    editor_done_ = nullptr;
    e->hide();
    e->deleteLater();
}

model::task_ptr calendar_view::add_appointment(const calendar_range& range, const QString& name)
{
    if (range.empty() || name.trimmed().isEmpty())
        return nullptr;
    auto t = std::make_shared<model::task>();
    t->name = name.trimmed();
    t->appointment = true;
    t->date = time::add_days(first_day(), range.day);
    t->appointment_start = range.start;
    t->appointment_duration = range.end - range.start;
    commands_.add(t);
    grid_->set_selected_range({});
    refresh();
    grid_->select_task(t->id);
    return t;
}

void calendar_view::move_appointment(std::int32_t id, int day, int start)
{
    model::task_ptr t = tasks_.find(id);
    if (!t || !t->appointment)
        return;
    const time::stored_date date = time::add_days(first_day(), day);
    // The length stays what it was.
    commands_.modify(*t, [&](model::task& n) {
        n.date = date;
        n.appointment_start = start;
    });
    refresh();
    grid_->select_task(id);
}

void calendar_view::resize_appointment(std::int32_t id, int start, int end)
{
    model::task_ptr t = tasks_.find(id);
    if (!t || !t->appointment || end <= start)
        return;
    commands_.modify(*t, [&](model::task& n) {
        n.appointment_start = start;
        n.appointment_duration = end - start;
    });
    refresh();
    grid_->select_task(id);
}

void calendar_view::drop_tasks(const QList<std::int32_t>& ids, int day, int second, bool schedule)
{
    std::vector<model::task_ptr> dropped;
    for (std::int32_t id : ids)
        if (model::task_ptr t = tasks_.find(id); t && t->is_todo())
            dropped.push_back(t);
    if (dropped.empty())
        return;
    const time::stored_date date = time::add_days(first_day(), day);
    if (dropped.size() > 1)
        history_.begin_group();
    int at = second;
    for (const model::task_ptr& t : dropped) {
        if (schedule) {
            // Dated there and held back until the time: the day schedule places it.
            commands_.modify(*t, [&](model::task& n) {
                n.date = date;
                n.appointment_start = second;
                if (n.appointment_duration >= 0 && n.appointment_duration != 0 && n.appointment_duration <= second)
                    n.appointment_duration = -1;  // a schedule-before time now behind it
            });
            continue;
        }
        const std::int64_t estimate = tasks_.effective_estimate(*t);
        const int length = static_cast<int>(std::clamp<std::int64_t>(estimate > 0 ? estimate : default_length, 60,
                                                                      std::max(60, day_seconds - at)));
        const int start = std::min(at, day_seconds - length);
        commands_.modify(*t, [&](model::task& n) {
            n.appointment = true;
            n.date = date;
            n.appointment_start = start;
            n.appointment_duration = length;
        });
        at = std::min(day_seconds - 60, start + length);
    }
    if (dropped.size() > 1)
        history_.end_group();
    refresh();
    grid_->select_task(dropped.front()->id);
}

void calendar_view::attach_range(const calendar_range& range, const model::task_ptr& to)
{
    if (!to || range.empty() || actions_ == nullptr)
        return;
    actions_->operations().attach_time_range(to, time::add_days(first_day(), range.day) + range.start,
                                             range.end - range.start);
}

void calendar_view::reassign_entry(std::int32_t entry, const model::task_ptr& to)
{
    if (!to || actions_ == nullptr)
        return;
    for (const model::task_ptr& t : tasks_.all())
        for (const store::tracked_time_record& e : t->tracked_times)
            if (e.id == entry) {
                if (t != to)
                    actions_->operations().move_tracked_time(entry, t, to);
                return;
            }
}

void calendar_view::delete_selected()
{
    const calendar_item* it = grid_->selected_item();
    model::task_ptr t = selected_task_ptr();
    if (!t) {
        report(QStringLiteral("Select an appointment or a task on the calendar to delete it."));
        return;
    }
    if (it != nullptr && it->kind == calendar_kind::tracked) {
        // Deleting a tracked-time box takes the entry away, not its task.
        const std::int32_t entry = it->entry;
        commands_.modify(*t, [&](model::task& n) {
            n.tracked_times.erase(std::remove_if(n.tracked_times.begin(), n.tracked_times.end(),
                                                 [&](const store::tracked_time_record& e) { return e.id == entry; }),
                                  n.tracked_times.end());
        });
        return;
    }
    commands_.remove(t);
}

// ---- menus ----

void calendar_view::fill_task_menu(QMenu& menu, time::stored_date date, std::int32_t except,
                                   const std::function<void(const model::task_ptr&)>& chosen,
                                   const std::function<void()>& new_todo)
{
    int shown = 0;
    for (const model::task* t : tasks_.tasks_of_date(date)) {
        if (t->is_folder() || t->id == except)
            continue;
        if (++shown > 25)
            break;
        QString text = name_of(*t);
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        const std::int32_t id = t->id;
        menu.addAction(text, this, [this, id, chosen] {
            if (model::task_ptr x = tasks_.find(id))
                chosen(x);
        });
    }
    if (shown > 0)
        menu.addSeparator();
    menu.addAction(QStringLiteral("&New Simple Todo..."), this, new_todo);
}

void calendar_view::open_menu(const QPoint& global, const calendar_item* item)
{
    QMenu menu(this);
    const time::stored_date first = first_day();
    if (item == nullptr) {
        const calendar_range range = grid_->selected_range();
        if (range.empty())
            return;
        const time::stored_date date = time::add_days(first, range.day);
        menu.addAction(QStringLiteral("New &Appointment..."), this, [this, range] { edit_new_appointment(range); });
        QMenu* attach = menu.addMenu(QStringLiteral("Attach as &Tracked Time to"));
        attach->setEnabled(actions_ != nullptr);
        fill_task_menu(*attach, date, 0, [this, range](const model::task_ptr& t) { attach_range(range, t); },
                       [this, range, date] {
                           const std::optional<QString> name = ask(QStringLiteral("New Simple Todo"),
                                                                   QStringLiteral("Name of the to-do:"));
                           if (!name || name->trimmed().isEmpty())
                               return;
                           auto t = std::make_shared<model::task>();
                           t->name = name->trimmed();
                           t->date = date;
                           history_.begin_group();
                           commands_.add(t);
                           attach_range(range, t);
                           history_.end_group();
                       });
    } else if (item->kind == calendar_kind::tracked) {
        const calendar_item copy = *item;
        const time::stored_date date = time::add_days(first, copy.day);
        QMenu* reassign = menu.addMenu(QStringLiteral("&Reassign to"));
        reassign->setEnabled(actions_ != nullptr);
        fill_task_menu(*reassign, date, copy.task,
                       [this, copy](const model::task_ptr& t) { reassign_entry(copy.entry, t); },
                       [this, copy, date] {
                           const std::optional<QString> name = ask(QStringLiteral("New Simple Todo"),
                                                                   QStringLiteral("Name of the to-do:"));
                           model::task_ptr from = tasks_.find(copy.task);
                           if (!name || name->trimmed().isEmpty() || !from || actions_ == nullptr)
                               return;
                           auto t = std::make_shared<model::task>();
                           t->name = name->trimmed();
                           t->date = date;
                           actions_->operations().add_task_with_tracked_time(t, copy.entry, from);
                       });
        menu.addAction(QStringLiteral("&Delete Tracked Time"), this, [this] { delete_selected(); });
        menu.addSeparator();
        menu.addAction(QStringLiteral("Task &Properties..."), this, [this] { handle_command(cmd::properties); })
            ->setEnabled(actions_ != nullptr);
    } else {
        menu.addAction(QStringLiteral("&Properties..."), this, [this] { handle_command(cmd::properties); })
            ->setEnabled(actions_ != nullptr);
        menu.addAction(QStringLiteral("Re&name"), this, [this] { handle_command(cmd::rename); });
        menu.addAction(QStringLiteral("&Toggle Finished"), this, [this] { handle_command(cmd::toggle_finished); });
        menu.addSeparator();
        menu.addAction(QStringLiteral("&Delete"), this, [this] { handle_command(cmd::delete_); });
    }
    menu.exec(global);
}

}  // namespace qm::ui
