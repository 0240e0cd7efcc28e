#include "tracking/action_menu.h"

#include "store/comment_facade.h"
#include "time/format.h"
#include "time/parse.h"
#include "tracking/menu_commands.h"

#include <algorithm>

namespace qm::tracking {

action_menu::action_menu(action_menu_services services)
    : s_(std::move(services)), entry_(s_.history, s_.commands, s_.store)
{
    build_lines();
}

action_menu::~action_menu() = default;

void action_menu::build_lines()
{
    auto timing = [this] { return s_.timers.timer().timed_task() != nullptr; };
    auto go = [this](int mode) { return [this, mode](bool) { enter(mode); }; };

    std::vector<menu_line> main = {
        {'N', QStringLiteral("N: &New..."), {}, go(menu_mode::new_item)},
        {'X', QStringLiteral("X: Ne&xt"),
         [this] {
             const model::task* timed = s_.timers.timer().timed_task().get();
             const auto& source = s_.timers.schedule_source;
             return next_task_of_today(s_.store, timed, source ? source(timed) : std::nullopt) != nullptr;
         },
         [this](bool shift) {
             if (shift && s_.timers.timer().timed_task()) {
                 enter(menu_mode::set_status);
                 return;
             }
             s_.timers.next_task();
             close();
         }},
        {'P', QStringLiteral("P: &Progression..."), timing, go(menu_mode::progression)},
        {'B', QStringLiteral("B: &Break Down..."), timing, go(menu_mode::break_down)},
        {'D', QStringLiteral("D: &Distraction..."), {}, go(menu_mode::distraction_length)},
        {'I', QStringLiteral("I: &Interruption..."), {}, go(menu_mode::interruption)},
        {'R', QStringLiteral("R: Daily &Report..."), {}, go(menu_mode::report)},
        {'G', QStringLiteral("G: &Go to Quillmere Planner"), {},
         [this](bool) {
             close();
             if (s_.show_main_window)
                 s_.show_main_window();
         }},
        // The calendar exchange adds "M: I&mport from Outlook" and "E: &Export
        // to Outlook" here, before U, through add_line.
        {'U', QStringLiteral("U: &Undo"), {},
         [this](bool) {
             close();
             s_.history.undo_step();
         }},
    };
    std::vector<menu_line> new_item = {
        {'T', QStringLiteral("T: &Task"), {}, go(menu_mode::enter_task)},
        {'A', QStringLiteral("A: &Alarm"), {}, go(menu_mode::alarm)},
        {'C', QStringLiteral("C: &Comment"), {}, go(menu_mode::comment)},
    };
    auto status = [this](int st) { return [this, st](bool) { set_timed_status(st); }; };
    std::vector<menu_line> set_status = {
        {'U', QStringLiteral("U: &Unfinished"), {}, status(model::status::unfinished)},
        {'F', QStringLiteral("F: &Finished"), {}, status(model::status::finished)},
        {'C', QStringLiteral("C: &Canceled"), {}, status(model::status::canceled)},
        {'D', QStringLiteral("D: &Delegated"), {}, status(model::status::delegated)},
        {'W', QStringLiteral("W: &Waiting"), {}, status(model::status::waiting)},
    };
    std::vector<menu_line> idle = {
        {QChar(), QStringLiteral("Enter: Assign Idle Time as Interruption..."), {}, {}},
        {'D', QStringLiteral("D: Disable Idle Menu until a Task is Timed"), {},
         [this](bool) {
             if (s_.idle)
                 s_.idle->disable_until_timed();
             close();
         }},
        {QChar(), QStringLiteral("Esc: Cancel"), {}, {}},
    };
    lines_ = {{menu_mode::main, std::move(main)},
              {menu_mode::new_item, std::move(new_item)},
              {menu_mode::set_status, std::move(set_status)},
              {menu_mode::idle, std::move(idle)}};
}

void action_menu::add_line(int mode, menu_line line, QChar before)
{
    auto it = std::find_if(lines_.begin(), lines_.end(), [mode](const auto& m) { return m.first == mode; });
    if (it == lines_.end()) {
        lines_.push_back({mode, {}});
        it = lines_.end() - 1;
    }
    std::vector<menu_line>& list = it->second;
    auto at = std::find_if(list.begin(), list.end(), [&](const menu_line& l) { return !before.isNull() && l.letter == before; });
    list.insert(at, std::move(line));
}

std::vector<const menu_line*> action_menu::lines() const
{
    std::vector<const menu_line*> out;
    for (const auto& [mode, list] : lines_)
        if (mode == mode_)
            for (const menu_line& l : list)
                if (!l.shown || l.shown())
                    out.push_back(&l);
    return out;
}

bool action_menu::press(QChar letter, bool shift)
{
    if (input() != input_kind::menu)
        return false;
    const QChar upper = letter.toUpper();
    for (const menu_line* l : lines())
        if (!l->letter.isNull() && l->letter == upper && l->chosen) {
            // The line may close the menu, which ends what lines() returned.
            const auto chosen = l->chosen;
            chosen(shift);
            return true;
        }
    return false;
}

void action_menu::open(int mode, model::task_ptr context)
{
    if (is_open())
        return;  // already up: the window is only raised
    stack_.clear();
    context_ = std::move(context);
    enter(mode);
}

void action_menu::enter(int mode)
{
    stack_.push_back(mode);
    enter_mode(mode);
    if (is_open())
        changed();
}

void action_menu::enter_mode(int mode)
{
    mode_ = mode;
    message_.clear();
    switch (mode) {
    case menu_mode::interruption:
    case menu_mode::distraction:
    case menu_mode::idle_interruption:
        entry_.reset();
        break;
    case menu_mode::idle:
        idle_start_ = s_.idle ? s_.idle->idle_start_now() : time::now();
        break;
    case menu_mode::break_down:
        start_break_down();
        break;
    default:
        break;
    }
}

void action_menu::back()
{
    if (mode_ == menu_mode::break_down)
        finish_break_down();
    entry_.discard_pending();
    if (stack_.size() < 2) {
        close();
        return;
    }
    stack_.pop_back();
    // The mode is shown again as it was: the idle period keeps its start.
    mode_ = stack_.back();
    message_.clear();
    if (mode_ == menu_mode::interruption || mode_ == menu_mode::distraction || mode_ == menu_mode::idle_interruption)
        entry_.reset();
    changed();
}

void action_menu::close()
{
    if (!is_open())
        return;
    if (mode_ == menu_mode::break_down)
        finish_break_down();
    entry_.discard_pending();
    mode_ = menu_mode::closed;
    stack_.clear();
    context_.reset();
    message_.clear();
    break_down_.clear();
    if (on_closed)
        on_closed();
}

input_kind action_menu::input() const
{
    switch (mode_) {
    case menu_mode::enter_task:
    case menu_mode::progression:
    case menu_mode::distraction_length:
    case menu_mode::alarm:
        return input_kind::line;
    case menu_mode::interruption:
    case menu_mode::distraction:
    case menu_mode::idle_interruption:
        return input_kind::task_entry;
    case menu_mode::comment:
        return input_kind::comment;
    case menu_mode::break_down:
        return input_kind::break_down;
    case menu_mode::report:
        return input_kind::report;
    default:
        return input_kind::menu;
    }
}

panel_kind action_menu::panel() const
{
    switch (mode_) {
    case menu_mode::main:
    case menu_mode::distraction_length:
        return panel_kind::all_boxes;
    case menu_mode::set_status:
        return panel_kind::current_task;
    case menu_mode::idle:
    case menu_mode::comment:
        return panel_kind::current_task_while_timing;
    default:
        return panel_kind::none;
    }
}

QStringList action_menu::header() const
{
    const task_timer& timer = s_.timers.timer();
    switch (mode_) {
    case menu_mode::set_status: return {QStringLiteral("Set Current Task as:")};
    case menu_mode::enter_task:
    case menu_mode::progression: return {QStringLiteral("Enter Task")};
    case menu_mode::break_down: return {QStringLiteral("Enter Additional Tasks")};
    case menu_mode::distraction_length: {
        QStringList h{QStringLiteral("How long was the distraction?")};
        if (const TrackedTime* e = timer.running_entry())
            h << QStringLiteral("Hit Enter without entering text for the entire duration of the task (~%1)")
                     .arg(time::format_duration(e->duration));
        return h;
    }
    case menu_mode::distraction: return {QStringLiteral("Enter Distraction")};
    case menu_mode::interruption: return {QStringLiteral("Enter Interruption")};
    case menu_mode::idle: return {idle_header(idle_start_, time::now(), timer.timed_task() != nullptr)};
    case menu_mode::idle_interruption: return {QStringLiteral("Enter Interruption to Assign to Idle Time")};
    case menu_mode::alarm:
        return {QStringLiteral("Enter Alarm"), QStringLiteral("Examples:"),
                QStringLiteral("7 (creates an alarm at %1)\n2h (creates an alarm in 2 hours)\n5h 20m (creates an alarm in 5 "
                               "hours, 20 minutes)\n50m, Take a break (creates an alarm in 50 minutes with the title "
                               "\"Take a break\")")
                    .arg(time::format_time_of_day(7 * 3600)),
                QStringLiteral("Tip:"), QStringLiteral("Hit Enter without entering text for the New Alarm dialog.")};
    case menu_mode::comment: return {QStringLiteral("Enter Comment")};
    case menu_mode::report: return {QStringLiteral("Report for ") + time::format_long_date(time::today())};
    default: return {};
    }
}

void action_menu::say(const QString& text)
{
    message_ = text;
    changed();
}

void action_menu::changed()
{
    if (on_changed)
        on_changed();
}

void action_menu::submit(const QString& text)
{
    switch (input()) {
    case input_kind::menu:
        if (mode_ == menu_mode::idle)
            enter(menu_mode::idle_interruption);
        return;
    case input_kind::line:
        submit_line(text);
        return;
    case input_kind::task_entry: {
        const int mode = mode_;
        const std::int64_t seconds = distraction_seconds_;
        const time::stored_time idle_start = idle_start_;
        const bool done = entry_.confirm([&](const model::task_ptr& t) {
            if (mode == menu_mode::distraction)
                s_.timers.record_distraction(t, seconds);
            else if (mode == menu_mode::interruption)
                s_.timers.record_interruption(t);
            else
                s_.timers.assign_idle_time(t, idle_start);
        });
        if (done)
            close();
        else
            say(QStringLiteral("Type the name of a task, or choose one from the list."));
        return;
    }
    case input_kind::comment:
        submit_comment(text);
        return;
    case input_kind::break_down: {
        const QString name = text.trimmed();
        if (name.isEmpty() || break_down_.size() < 2)
            return;
        const model::task_ptr last = break_down_.back();
        if (break_down_add_ != nullptr && !s_.history.entries().empty() &&
            s_.history.position() + 1 == static_cast<int>(s_.history.entries().size()) &&
            s_.history.entries().back().get() == break_down_add_) {
            // Added unnamed a moment ago: added again under its name, one step.
            s_.history.undo_step();
            last->name = name;
            s_.commands.add(last);
        } else {
            s_.commands.modify(*last, [&](model::task& x) { x.name = name; });
        }
        add_break_down_task();
        changed();
        return;
    }
    case input_kind::report:
        return;
    }
}

void action_menu::submit_line(const QString& text)
{
    const QString trimmed = text.trimmed();
    switch (mode_) {
    case menu_mode::enter_task: {
        if (trimmed.isEmpty()) {
            say(QStringLiteral("Type the name of the new task."));
            return;
        }
        auto t = std::make_shared<model::task>();
        t->name = trimmed;
        t->date = time::today();
        s_.commands.add(t);
        close();
        return;
    }
    case menu_mode::progression:
        s_.timers.progression(trimmed);
        close();
        return;
    case menu_mode::distraction_length: {
        std::int64_t seconds = 0;
        if (!trimmed.isEmpty()) {
            const std::optional<time::duration> d = time::parse_duration_checked(trimmed);
            if (!d || *d <= 0) {
                say(QStringLiteral("\"%1\" is not a length of time: type for example 5m, 1h 30m or 0:45.").arg(trimmed));
                return;
            }
            seconds = *d;
        }
        if (seconds == 0 && !s_.timers.timer().timed_task()) {
            say(QStringLiteral("Nothing is timed: type how long the distraction lasted."));
            return;
        }
        distraction_seconds_ = seconds;
        enter(menu_mode::distraction);
        return;
    }
    case menu_mode::alarm:
        submit_alarm(trimmed);
        return;
    default:
        return;
    }
}

void action_menu::submit_alarm(const QString& text)
{
    const model::task_ptr& timed = s_.timers.timer().timed_task();
    if (text.isEmpty() || text.compare(QStringLiteral("c"), Qt::CaseInsensitive) == 0) {
        if (!s_.alarms) {
            say(QStringLiteral("Alarms are not available in this version of the planner."));
            return;
        }
        const model::task* attached = !text.isEmpty() ? timed.get() : nullptr;
        close();
        s_.alarms->open_new_alarm_dialog(attached);
        return;
    }
    const std::optional<quick_alarm> a = read_quick_alarm(text, time::now(), s_.twenty_four_hour);
    if (!a) {
        say(QStringLiteral("\"%1\" reads as neither a time nor a length of time: type for example 7, 2h or "
                           "50m, Take a break.")
                .arg(text));
        return;
    }
    if (!s_.alarms) {
        say(QStringLiteral("Alarms are not available in this version of the planner: no alarm was set for %1.")
                .arg(time::format_date_time(a->due)));
        return;
    }
    close();
    s_.alarms->add_quick_alarm(a->due, a->text);
}

void action_menu::submit_comment(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        say(QStringLiteral("Type the comment, then Ctrl+Enter."));
        return;
    }
    store::comment_record c;
    c.time = time::now();
    c.comment = trimmed;
    if (const model::task_ptr timed = s_.timers.timer().timed_task()) {
        c.type = 2;
        c.associated_id = timed->id;
        s_.commands.modify(*timed, [&](model::task& x) { x.comments.push_back(c); });
    } else {
        s_.history.add_command(std::make_unique<add_comment_command>(s_.comments, c));
    }
    close();
}

void action_menu::set_timed_status(int status)
{
    const model::task_ptr timed = s_.timers.timer().timed_task();
    if (!timed) {
        close();
        return;
    }
    s_.history.begin_group();
    s_.commands.modify(*timed, [status](model::task& x) { x.status = status; });
    const model::task* still = s_.timers.timer().timed_task().get();
    const auto& source = s_.timers.schedule_source;
    if (const model::task* next = next_task_of_today(s_.store, still, source ? source(still) : std::nullopt))
        s_.timers.start_timer(s_.store.find(next->id));
    s_.history.end_group();
    close();
}

// ---- break down ----

model::task_ptr action_menu::task_for_break_down() const
{
    if (context_)
        return context_;
    return s_.timers.timer().timed_task();
}

void action_menu::start_break_down()
{
    break_down_.clear();
    break_down_add_ = nullptr;
    const model::task_ptr whole = task_for_break_down();
    if (!whole || whole->is_folder()) {
        close();
        return;
    }
    break_down_.push_back(whole);
    add_break_down_task();
}

void action_menu::add_break_down_task()
{
    const model::task_ptr& whole = break_down_.front();
    const model::task_ptr& previous = break_down_.back();
    auto t = std::make_shared<model::task>();
    t->project = whole->project;
    t->parent = whole->parent;
    t->role = whole->role;
    t->priority = whole->priority;
    t->date = whole->date;
    // Each part follows the one before it in the day and folder orders.
    t->priority_value = previous->is_todo() && previous->priority_value > 0 ? previous->priority_value + 1 : -1;
    t->project_priority_value = previous->project_priority_value != 0 ? previous->project_priority_value + 1 : 0;
    s_.commands.add(t);
    break_down_add_ = s_.history.entries()[static_cast<std::size_t>(s_.history.position())].get();
    break_down_.push_back(t);
}

void action_menu::finish_break_down()
{
    if (break_down_.size() < 2 || !break_down_.back()->name.isEmpty())
        return;
    // The part left unnamed at "Done" was never wanted.
    const model::task_ptr unnamed = break_down_.back();
    break_down_.pop_back();
    const auto& entries = s_.history.entries();
    if (break_down_add_ != nullptr && !entries.empty() && s_.history.position() + 1 == static_cast<int>(entries.size()) &&
        entries.back().get() == break_down_add_)
        s_.history.undo_step();
    else if (s_.store.find(unnamed->id) == unnamed)
        s_.commands.remove(unnamed);
    break_down_add_ = nullptr;
}

}  // namespace qm::tracking
