#include "model/habits.h"

#include "model/task_recurrences.h"
#include "store/tables.h"
#include "time/format.h"

#include <algorithm>

namespace qm::model {
namespace {

// The window of a day in which work counts; 0 (or a full day) is no limit.
struct window {
    time::stored_time from;
    time::stored_time to;
};

window window_of(const store::habit_record& h, time::stored_date day)
{
    const std::int32_t after = h.after_time > 0 && h.after_time < 86400 ? h.after_time : 0;
    const std::int32_t before = h.before_time > 0 && h.before_time < 86400 ? h.before_time : 86400;
    return {day + after, day + std::max(after, before)};
}

}  // namespace

QString habit_kind_text(int kind)
{
    switch (kind) {
    case habit_kind::task_recurrence: return QStringLiteral("task recurrence:");
    case habit_kind::folder: return QStringLiteral("a task under folder:");
    case habit_kind::project: return QStringLiteral("a task linked with project:");
    default: return QStringLiteral("a task of the role:");
    }
}

QString habit_description(const store::habit_record& h) { return QStringLiteral("habit %1").arg(h.description); }

QString habit_rule_text(const store::habit_record& h, const QString& item_name)
{
    const QString points = h.points == 1 ? QStringLiteral("1 point") : QStringLiteral("%1 points").arg(h.points);
    const QString how = h.duration == 0 ? QStringLiteral("on the completion of")
                                        : QStringLiteral("for every %1 of effort on").arg(time::format_duration(h.duration));
    return QStringLiteral("%1 %2 %3 %4").arg(points, how, habit_kind_text(h.type), item_name);
}

QString habit_problem(const store::habit_record& h)
{
    if (h.attached_id == 0)
        return QStringLiteral("Choose the item whose work earns the points.");
    if (h.points <= 0)
        return QStringLiteral("Give at least one point.");
    if (h.duration < 0)
        return QStringLiteral("The stretch of effort must be longer than nothing.");
    return QString();
}

QString routine_description(const store::routine_record& r) { return QStringLiteral("routine \"%1\"").arg(r.name); }

bool habit_points::matches(const store::habit_record& h, const task& t) const
{
    if (t.is_folder())
        return false;
    switch (h.type) {
    case habit_kind::task_recurrence: {
        if (recurrences_ == nullptr)
            return false;
        const task_ptr master = recurrences_->recurrence_master(t);
        return master && master->id == h.attached_id;
    }
    case habit_kind::folder: {
        // Up the parents, at most as deep as any real tree goes.
        const task* at = &t;
        for (int step = 0; step < 10000 && at->parent != 0; ++step) {
            if (at->parent == h.attached_id)
                return true;
            task_ptr p = tasks_.find(at->parent);
            if (!p)
                return false;
            at = p.get();
        }
        return false;
    }
    case habit_kind::project: return t.project != 0 && t.project == h.attached_id;
    case habit_kind::role: {
        const std::int32_t role = tasks_.effective_role(t);
        if (role == 0)
            return false;
        if (role == h.attached_id)
            return true;
        auto r = tables_.roles.find(role);
        return r && r->parent > 0 && r->parent == h.attached_id;
    }
    default: return false;
    }
}

int habit_points::on(const store::habit_record& h, time::stored_date day) const
{
    const window w = window_of(h, day);
    std::int64_t earned = 0;
    if (h.duration <= 0) {
        for (const task* t : tasks_.tasks_of_date(day)) {
            if (!t->is_finished() || !matches(h, *t))
                continue;
            time::stored_time finished = 0;
            for (const auto& e : t->tracked_times)
                if (e.type == 0 && time::date_of(e.start) == day)
                    finished = std::max<time::stored_time>(finished, e.start + e.duration);
            if (finished != 0 && (finished < w.from || finished > w.to))
                continue;
            earned += h.points;
        }
    } else {
        std::int64_t seconds = 0;
        for (const auto& t : tasks_.all()) {
            if (t->tracked_times.empty() || !matches(h, *t))
                continue;
            for (const auto& e : t->tracked_times) {
                if (e.type != 0)
                    continue;
                const time::stored_time from = std::max<time::stored_time>(e.start, w.from);
                const time::stored_time to = std::min<time::stored_time>(e.start + e.duration, w.to);
                if (to > from)
                    seconds += to - from;
            }
        }
        earned = seconds / h.duration * h.points;
    }
    if (h.maximum_points > 0)
        earned = std::min<std::int64_t>(earned, h.maximum_points);
    return static_cast<int>(std::min<std::int64_t>(earned, INT32_MAX));
}

int habit_points::between(const store::habit_record& h, time::stored_date first, time::stored_date last) const
{
    std::int64_t total = 0;
    for (time::stored_date d = first; d <= last; d = time::next_day(d))
        total += on(h, d);
    return static_cast<int>(std::min<std::int64_t>(total, INT32_MAX));
}

}  // namespace qm::model
