#include "schedule/schedule_store.h"

#include "history/history.h"

#include <QMetaObject>

#include <algorithm>

namespace qm::schedule {

schedule_store::schedule_store(model::task_store& tasks) : tasks_(tasks), receiver_(std::make_unique<QObject>())
{
    QObject* receiver = receiver_.get();
    worker_ = std::make_unique<schedule_worker>([this, receiver](std::unique_ptr<schedule_request> r) {
        // The queued call dies with the receiver, so a result that arrives
        // after the store is gone is simply dropped, and freed with the call.
        auto box = std::make_shared<std::unique_ptr<schedule_request>>(std::move(r));
        QMetaObject::invokeMethod(
            receiver, [this, box] { arrive(std::move(*box)); }, Qt::QueuedConnection);
    });
}

schedule_store::~schedule_store()
{
    stop();
    store::listeners().remove(this);
}

void schedule_store::start()
{
    if (started_)
        return;
    started_ = true;
    store::listeners().add(this);
    worker_->start();
}

void schedule_store::stop()
{
    if (worker_)
        worker_->stop();
    // Results already posted are left to die with the receiver.
}

day_input schedule_store::snapshot(time::stored_date date) const
{
    day_input in;
    in.date = date;
    in.now = time::now();
    in.working_start = working_start ? working_start() : 28800;
    in.timed = timed_task ? timed_task() : 0;
    for (const model::task* t : tasks_.tasks_of_date(date)) {
        if (t->is_folder())
            continue;
        task_copy c;
        c.id = t->id;
        c.date = t->date;
        c.appointment = t->appointment;
        c.status = t->status;
        c.priority = t->priority;
        c.position = t->is_todo() ? t->priority_value : 0;
        c.splittable = t->splittable;
        c.deadline = t->deadline;
        c.time_left = tasks_.time_left(*t);
        c.effective_estimate = tasks_.effective_estimate(*t);
        c.appointment_start = t->appointment_start;
        c.appointment_duration = t->appointment_duration;
        c.tracked_times.reserve(t->tracked_times.size());
        for (const auto& e : t->tracked_times)
            c.tracked_times.push_back({e.start, e.duration});
        in.tasks.push_back(std::move(c));
    }
    return in;
}

void schedule_store::request_schedule(time::stored_date date)
{
    date = time::date_of(date);
    if (date < time::today())
        return;
    auto r = std::make_unique<schedule_request>();
    r->input = snapshot(date);
    worker_->queue(std::move(r));
}

std::vector<const stored_block*> schedule_store::blocks_of(time::stored_date date)
{
    std::vector<const stored_block*> out;
    date = time::date_of(date);
    if (date < time::today())
        return out;
    if (!computed(date))
        request_schedule(date);
    for (const stored_block& b : blocks_)
        if (b.task->date == date)
            out.push_back(&b);
    return out;
}

const stored_block* schedule_store::first_block_today(std::int32_t task_id) const
{
    if (first_block_stale_) {
        first_block_.clear();
        for (std::size_t i = 0; i < blocks_.size(); ++i)
            first_block_.emplace(blocks_[i].b.task, i);
        first_block_stale_ = false;
    }
    // A task's blocks all share its date, so its first block is the first of today's when it is on today.
    const auto it = first_block_.find(task_id);
    if (it == first_block_.end())
        return nullptr;
    const stored_block& b = blocks_[it->second];
    return b.task->date == time::today() ? &b : nullptr;
}

void schedule_store::arrive(std::unique_ptr<schedule_request> r)
{
    const time::stored_date date = r->input.date;
    blocks_.erase(std::remove_if(blocks_.begin(), blocks_.end(),
                                 [date](const stored_block& b) { return b.task->date == date; }),
                  blocks_.end());
    first_block_stale_ = true;
    for (const block& b : r->result)
        if (model::task_ptr t = tasks_.find(b.task); t && t->date == date)
            blocks_.push_back({b, t});
    computed_.insert(date);
    schedule_computed(date);
    store::listeners().broadcast(store::message::schedule_changed, 0, static_cast<std::int64_t>(date & 0xffffffff));
}

void schedule_store::schedule_computed(time::stored_date date)
{
    if (!conflict_alarms || date != time::today())
        return;
    std::vector<const stored_block*> today;
    for (const stored_block& b : blocks_)
        if (b.task->date == date)
            today.push_back(&b);
    conflict_alarms(date, today);
}

void schedule_store::task_date(time::stored_date date)
{
    if (open_groups_ > 0)
        pending_.insert(time::date_of(date));
    else
        request_schedule(date);
}

void schedule_store::drop_blocks_of_task(std::int32_t id)
{
    blocks_.erase(
        std::remove_if(blocks_.begin(), blocks_.end(), [id](const stored_block& b) { return b.b.task == id; }),
        blocks_.end());
    first_block_stale_ = true;
}

long schedule_store::on_announcement(const store::announcement& a)
{
    switch (a.message) {
    case model::task_message::added:
        if (model::task_ptr t = tasks_.find(static_cast<std::int32_t>(a.lparam)))
            task_date(t->date);
        break;
    case model::task_message::changed:
        if (const auto* p = std::any_cast<model::task_change_payload>(&a.payload)) {
            task_date(p->before.date);
            if (p->after != nullptr && p->after->date != p->before.date)
                task_date(p->after->date);
        }
        break;
    case model::task_message::deleted:
        // Its blocks go now, not when the new result arrives.
        drop_blocks_of_task(static_cast<std::int32_t>(a.lparam));
        if (const auto* p = std::any_cast<model::task_deleted_payload>(&a.payload))
            task_date(p->date);
        break;
    case model::task_message::timer_started:
    case model::task_message::timer_stopped:
        if (model::task_ptr t = tasks_.find(static_cast<std::int32_t>(a.lparam)))
            request_schedule(t->date);
        break;
    case history::message::group_begun:
        ++open_groups_;
        break;
    case history::message::group_ended:
        open_groups_ = std::max(0, open_groups_ - 1);
        if (open_groups_ == 0) {
            const std::set<time::stored_date> dates = std::move(pending_);
            pending_.clear();
            for (time::stored_date d : dates)
                request_schedule(d);
        }
        break;
    default:
        break;
    }
    return 0;
}

}  // namespace qm::schedule
