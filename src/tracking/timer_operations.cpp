#include "tracking/timer_operations.h"

#include "history/task_description.h"
#include "tracking/timer_commands.h"

namespace qm::tracking {
namespace {

// Finishes a task, touching nothing but its status on undo and redo, so that
// what the timer parts of the same command did to its entries stays.
class set_status_command : public history::command {
public:
    set_status_command(model::task_store& store, model::task_ptr t, int status, history::naming names)
        : store_(store), task_(std::move(t)), status_(status), names_(std::move(names))
    {
    }
    void apply(bool first_time) override
    {
        if (first_time) {
            old_status_ = task_->status;
            before_ = *task_;
        }
        set(status_, first_time ? 0u : quiet);
        if (first_time)
            after_ = *task_;
    }
    void undo() override { set(old_status_, quiet); }
    QString change_text() const override { return history::describe_task_change(before_, after_, names_); }

private:
    static constexpr unsigned quiet = model::update_flag::no_status_hooks | model::update_flag::keep_priority_value |
                                      model::update_flag::keep_project_priority_value |
                                      model::update_flag::keep_parent;
    void set(int status, unsigned flags)
    {
        const model::task current = *task_;
        task_->status = status;
        store_.change(current, *task_, flags);
    }

    model::task_store& store_;
    model::task_ptr task_;
    int status_;
    int old_status_ = 0;
    history::naming names_;
    model::task before_, after_;
};

}  // namespace

timer_operations::timer_operations(history::history& h, history::task_commands& commands, model::task_store& store,
                                   task_timer& timer)
    : history_(h), commands_(commands), store_(store), timer_(timer)
{
    store_.on_status_change = [this](model::task& t, int old_status) { on_status_change(t, old_status); };
    store_.on_changed = [this](const model::task& before, model::task& t) { on_changed(before, t); };
    schedule_source = [this](const model::task* timed) { return day_order_candidate(store_, timed); };
}

timer_operations::~timer_operations()
{
    store_.on_status_change = nullptr;
    store_.on_changed = nullptr;
}

void timer_operations::on_status_change(model::task& t, int old_status)
{
    (void)old_status;
    if (t.status == model::status::finished && timer_.is_timed(t)) {
        // Undone and redone with the change that finished the task.
        auto c = std::make_unique<stop_timer_command>(timer_, store_);
        c->flags = history::group_flag::joined;
        history_.add_command(std::move(c));
    }
}

void timer_operations::on_changed(const model::task& before, model::task& t)
{
    // The running entry was taken off the timed task: nothing is left to time.
    if (timer_.is_timed(t) && timer_.running_entry() == nullptr)
        timer_.end_timing();
    if (task_change_alarms)
        task_change_alarms(before, t);
}

void timer_operations::start_timer(const model::task_ptr& t)
{
    if (!t || t->date == time::RECURRENCE_MASTER_DATE)
        return;
    history_.add_command(std::make_unique<start_timer_command>(timer_, store_, t));
}

void timer_operations::stop_timer()
{
    if (!timer_.timed_task())
        return;
    history_.add_command(std::make_unique<stop_timer_command>(timer_, store_));
}

void timer_operations::toggle(const model::task_ptr& t)
{
    if (!t)
        return;
    if (timer_.is_timed(*t))
        stop_timer();
    else
        start_timer(t);
}

model::task* timer_operations::next_task(const model::task_ptr& given)
{
    const model::task_ptr timed = timer_.timed_task();
    model::task_ptr next = given;
    if (!next) {
        const std::optional<schedule_candidate> x = schedule_source ? schedule_source(timed.get()) : std::nullopt;
        if (model::task* n = next_task_of_today(store_, timed.get(), x))
            next = store_.find(n->id);
    }
    if (!next && !timed)
        return nullptr;

    std::vector<history::command_ptr> parts;
    const QString next_label = next ? history::task_label(*next) : QString();
    if (next)
        parts.push_back(std::make_unique<start_timer_command>(timer_, store_, next));
    else
        parts.push_back(std::make_unique<stop_timer_command>(timer_, store_));  // finishing stops it anyway
    QString text;
    if (timed) {
        parts.push_back(std::make_unique<set_status_command>(store_, timed, model::status::finished, commands_.names()));
        text = QStringLiteral("next task, setting %1 as finished and starting a timer on %2")
                   .arg(history::task_label(*timed), next_label);
    } else {
        text = QStringLiteral("next task, starting a timer on %1").arg(next_label);
    }
    // The timer moves first; undo takes the parts back in the same order.
    history_.add_command(std::make_unique<sequence_command>(std::move(parts), sequence_command::undo_order::forward,
                                                            [text] { return text; }));
    return timer_.timed_task().get();
}

bool timer_operations::progression(const QString& text)
{
    const model::task_ptr timed = timer_.timed_task();
    if (!timed)
        return false;
    auto t = std::make_shared<model::task>();
    t->project = timed->project;
    t->parent = timed->parent;
    t->role = timed->role;
    t->project_priority_value = timed->project_priority_value != 0 ? timed->project_priority_value + 1 : 0;
    t->priority = timed->priority;
    t->priority_value = timed->is_todo() && timed->priority_value > 0 ? timed->priority_value + 1 : -1;
    t->date = time::today();
    t->name = text;

    const QString description = QStringLiteral("progression on %1%2")
                                    .arg(history::task_label(*timed),
                                         text.isEmpty() ? QString() : QStringLiteral(" with ") + history::task_label(*t));
    std::vector<history::command_ptr> parts;
    parts.push_back(std::make_unique<history::add_task_command>(store_, t));
    parts.push_back(std::make_unique<start_timer_command>(timer_, store_, t));
    history_.add_command(std::make_unique<sequence_command>(std::move(parts), sequence_command::undo_order::reverse,
                                                            [description] { return description; }));
    return true;
}

void timer_operations::book_away(const model::task_ptr& named, time::stored_time start, std::int64_t seconds,
                                 bool finish)
{
    // 1. to 3. The time goes to the named task.
    const std::int32_t length = clamp_duration(seconds);
    commands_.modify(*named, [&](model::task& x) {
        if (length > 0) {
            TrackedTime e;
            e.type = entry_type::task_time;
            e.start = start;
            e.duration = length;
            x.tracked_times.push_back(e);
        }
        if (finish)
            x.status = model::status::finished;
    });

    // 4. and cut out of the timed task, whose timer starts again.
    const model::task_ptr timed = timer_.timed_task();
    if (!timed || timed == named)
        return;
    const std::int32_t running = timer_.running_entry_id();
    stop_timer();
    commands_.modify(*timed, [&](model::task& x) {
        TrackedTime* latest = latest_task_time(x.tracked_times);
        if (latest == nullptr || latest->id != running)
            return;
        const std::int64_t cut = start - latest->start;
        if (cut < 1)
            x.tracked_times.erase(x.tracked_times.begin() + (latest - x.tracked_times.data()));
        else if (cut < latest->duration)
            latest->duration = static_cast<std::int32_t>(cut);
    });
    start_timer(timed);
}

void timer_operations::record_distraction(const model::task_ptr& named, std::int64_t seconds)
{
    if (!named)
        return;
    history_.begin_group();
    distraction(named, seconds);
    history_.end_group();
}

void timer_operations::record_distraction(const QString& text, std::int64_t seconds)
{
    history_.begin_group();
    distraction(find_or_add_task(text), seconds);
    history_.end_group();
}

void timer_operations::distraction(const model::task_ptr& named, std::int64_t seconds)
{
    const time::stored_time now = time::now();
    if (seconds == 0)
        if (const TrackedTime* e = timer_.running_entry())
            seconds = now - e->start;
    book_away(named, now - seconds, seconds, true);
}

void timer_operations::record_interruption(const model::task_ptr& named)
{
    if (!named)
        return;
    history_.begin_group();
    start_timer(named);
    history_.end_group();
}

void timer_operations::record_interruption(const QString& text)
{
    history_.begin_group();
    start_timer(find_or_add_task(text));
    history_.end_group();
}

void timer_operations::assign_idle_time(const model::task_ptr& named, time::stored_time idle_start)
{
    if (!named)
        return;
    const time::stored_time now = time::now();
    if (idle_start >= now)
        return;
    history_.begin_group();
    book_away(named, idle_start, now - idle_start, false);
    history_.end_group();
}

void timer_operations::move_tracked_time(std::int32_t entry, const model::task_ptr& from, const model::task_ptr& to)
{
    if (!from || !to || from == to || find_entry(from->tracked_times, entry) == nullptr)
        return;
    const bool running = timer_.is_timed(*from) && timer_.running_entry_id() == entry;
    if (running) {
        // The running entry goes as it stands now.
        history_.begin_group(QStringLiteral("moving tracked time from %1 to %2")
                                 .arg(history::task_label(*from), history::task_label(*to)),
                             history::group_flag::labelled);
        stop_timer();
    }
    history_.add_command(std::make_unique<move_tracked_time_command>(store_, entry, from, to));
    if (running)
        history_.end_group();
}

void timer_operations::add_task_with_tracked_time(const model::task_ptr& new_task, std::int32_t entry,
                                                  const model::task_ptr& from)
{
    if (!new_task)
        return;
    TrackedTime e;
    if (from) {
        const TrackedTime* found = find_entry(from->tracked_times, entry);
        if (found == nullptr)
            return;
        if (timer_.is_timed(*from) && timer_.running_entry_id() == entry)
            stop_timer();
        e = *find_entry(from->tracked_times, entry);
    }
    history_.add_command(std::make_unique<add_task_with_tracked_time_command>(store_, new_task, e, from));
}

void timer_operations::attach_time_range(const model::task_ptr& t, time::stored_time start, std::int32_t duration)
{
    if (!t || duration <= 0)
        return;
    commands_.modify(*t, [&](model::task& x) {
        TrackedTime e;
        e.type = entry_type::task_time;
        e.start = start;
        e.duration = duration;
        x.tracked_times.push_back(e);
    });
}

model::task_ptr timer_operations::find_or_add_task(const QString& text)
{
    const QString name = text.trimmed();
    for (model::task* t : store_.tasks_of_date(time::today()))
        if (!t->is_folder() && t->name.compare(name, Qt::CaseInsensitive) == 0)
            return store_.find(t->id);
    auto t = std::make_shared<model::task>();
    t->name = name;
    t->date = time::today();
    commands_.add(t);
    return t;
}

}  // namespace qm::tracking
