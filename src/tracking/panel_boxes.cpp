#include "tracking/panel_boxes.h"

#include "time/format.h"

namespace qm::tracking {
namespace {

const QString none = QStringLiteral("<None>");

QString name_of(const model::task& t) { return t.name.isEmpty() ? QStringLiteral("(unnamed task)") : t.name; }

QString countdown(std::int64_t seconds)
{
    return time::format_duration(seconds, QString(), time::duration_options{false, true});
}

QString time_of_day_text(time::stored_time t) { return time::format_time_of_day(t - time::date_of(t)); }

}  // namespace

panel_box current_task_box(const task_timer& timer)
{
    const model::task_ptr& t = timer.timed_task();
    return {QStringLiteral("Current Task"), t ? name_of(*t) + QStringLiteral("  ") + timer.shown_time_text() : none};
}

model::task* next_appointment(const model::task_store& store, const model::task* timed, time::stored_time now)
{
    model::task* best = nullptr;
    time::stored_time best_start = 0;
    for (model::task* t : store.tasks_of_date(time::date_of(now))) {
        if (!t->appointment || t->is_finished() || t == timed || t->appointment_start < 0)
            continue;
        const time::stored_time start = t->date + t->appointment_start;
        if (start > now && (best == nullptr || start < best_start)) {
            best = t;
            best_start = start;
        }
    }
    return best;
}

std::vector<panel_box> panel_boxes(const model::task_store& store, const task_timer& timer,
                                   const schedule_candidate_source& schedule, const alarm_port* alarms,
                                   time::stored_time now)
{
    std::vector<panel_box> boxes;
    boxes.push_back(current_task_box(timer));

    const model::task* timed = timer.timed_task().get();
    const std::optional<schedule_candidate> candidate = schedule ? schedule(timed) : std::nullopt;
    const model::task* next = next_task_of_today(store, timed, candidate);
    boxes.push_back({QStringLiteral("Next Task"),
                     next ? QStringLiteral("%1  ~%2").arg(name_of(*next), countdown(store.time_left(*next))) : none});

    const model::task* appointment = next_appointment(store, timed, now);
    boxes.push_back(
        {QStringLiteral("Next Appointment"),
         appointment ? QStringLiteral("%1  in %2")
                           .arg(name_of(*appointment),
                                countdown(appointment->date + appointment->appointment_start - now))
                     : none});

    std::optional<alarm_port::alarm_summary> alarm = alarms ? alarms->next_alarm(now) : std::nullopt;
    boxes.push_back({QStringLiteral("Next Alarm"),
                     alarm ? QStringLiteral("%1  in %2").arg(alarm->text, countdown(alarm->seconds_left)) : none});
    return boxes;
}

std::vector<progress_row> progress_rows(const model::task_store& store, const task_timer& timer)
{
    const model::task_ptr& t = timer.timed_task();
    if (!t)
        return {};
    std::vector<progress_row> rows;
    const std::int64_t spent = store.time_spent(*t);
    const std::int64_t estimate = store.effective_estimate(*t);
    const std::int64_t left = store.time_left(*t);
    rows.push_back({QStringLiteral("Working Time"), time::format_duration(spent)});

    // While the timer runs the finish moves with it: the "?" says so.
    QString finish;
    if (t->appointment) {
        if (t->appointment_start >= 0)
            finish = time_of_day_text(t->date + t->appointment_start + std::max(0, t->appointment_duration));
    } else if (const TrackedTime* latest = latest_task_time(t->tracked_times)) {
        if (estimate == 0 && left == 0)
            finish = QStringLiteral("No Estimate");
        else if (estimate < spent - latest->duration)
            finish = QStringLiteral("Over Estimate");
        else
            finish = time_of_day_text(latest->start + latest->duration + (estimate - spent)) + QLatin1Char('?');
    }
    if (!finish.isEmpty())
        rows.push_back({QStringLiteral("Estimated Finish Time"), finish});

    if (left >= 1)
        rows.push_back({QStringLiteral("Time Left on Estimate"),
                        time::format_duration(left) +
                            QString::asprintf(" (%.0f%% Reached)", static_cast<double>(store.progress(*t)))});
    else if (estimate > 0)
        rows.push_back({QStringLiteral("Time Over Estimate"), time::format_duration(store.overrun(*t))});
    return rows;
}

}  // namespace qm::tracking
