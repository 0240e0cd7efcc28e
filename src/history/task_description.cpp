#include "history/task_description.h"

#include "time/format.h"

#include <QStringList>

#include <algorithm>

namespace qm::history {
namespace {

constexpr int description_limit = 2047;

QString quoted(const QString& s) { return QLatin1Char('"') + s + QLatin1Char('"'); }

QString tracked_time_text(const store::tracked_time_record& e)
{
    const QString range = time::time_range_text(e.start, e.duration);
    if (e.caption.isEmpty())
        return range;
    return QStringLiteral("%1 %2").arg(quoted(e.caption), range);
}

QString before_text(std::int32_t before) { return time::format_time_of_day(before == 0 ? 86400 : before); }

// Appends one clause: "\r\nby " for the first, "\r\nand " for the others.
class description {
public:
    explicit description(QString head) : text_(std::move(head)) {}
    void add(const QString& clause)
    {
        text_ += text_.contains(QLatin1Char('\n')) ? QStringLiteral("\r\nand ") : QStringLiteral("\r\nby ");
        text_ += clause;
    }
    QString text() const { return text_.left(description_limit); }

private:
    QString text_;
};

}  // namespace

QString task_label(const model::task& t)
{
    return t.name.isEmpty() ? QStringLiteral("task") : QStringLiteral("task ") + quoted(t.name);
}

QString excerpt_label(const QString& caption, const QString& text)
{
    QString label = caption + QStringLiteral(": ") + text.left(30);
    if (text.size() > 30)
        label += QStringLiteral("...");
    return label;
}

QString priority_text(const model::task& t)
{
    const int p = t.priority >= 1 && t.priority <= 3 ? t.priority : 2;
    QString text(QChar(u'A' + (p - 1)));
    if (t.priority_value != 0)
        text += QString::number(t.priority_value);
    return text;
}

QString tags_text(const model::task& t)
{
    QStringList names;
    for (const auto& tag : t.tags)
        names << tag.name;
    return names.join(QStringLiteral(", "));
}

QString describe_task_change(const model::task& O, const model::task& N, const naming& names)
{
    auto task_name = [&](std::int32_t id) { return names.task_name ? names.task_name(id) : QString(); };
    auto role_name = [&](std::int32_t id) { return names.role_name ? names.role_name(id) : QString(); };
    auto project_name = [&](std::int32_t id) {
        return names.project_name ? names.project_name(id) : std::optional<QString>();
    };

    description d(QStringLiteral("modifying the ") + task_label(N));

    // Parent.
    if (O.parent != 0 && N.parent != 0 && O.parent != N.parent)
        d.add(QStringLiteral("changing the task parent from %1 to %2")
                  .arg(quoted(task_name(O.parent)), quoted(task_name(N.parent))));
    else if (O.parent != 0 && N.parent == 0)
        d.add(QStringLiteral("removing the task parent"));
    else if (O.parent == 0 && N.parent != 0)
        d.add(QStringLiteral("setting the task parent to %1").arg(quoted(task_name(N.parent))));

    // Name.
    if (O.name != N.name) {
        if (!O.name.isEmpty() && !N.name.isEmpty())
            d.add(QStringLiteral("renaming the task from %1 to %2").arg(quoted(O.name), quoted(N.name)));
        else if (O.name.isEmpty())
            d.add(QStringLiteral("renaming the task to %1").arg(quoted(N.name)));
        else
            d.add(QStringLiteral("renaming the task to \"\""));
    }

    // Folder kind.
    if (O.folder != N.folder) {
        if (N.folder == model::folder_method::none)
            d.add(QStringLiteral("converting to a task"));
        else if (O.folder == model::folder_method::none)
            d.add(QStringLiteral("converting to a folder"));
        else
            d.add(QStringLiteral("converting to a folder, sorted %1")
                      .arg(N.folder == model::folder_method::roi ? QStringLiteral("by ROI") : QStringLiteral("manually")));
    }

    if (O.status != N.status)
        d.add(QStringLiteral("setting the status from %1 to %2")
                  .arg(model::status_text(O.status), model::status_text(N.status)));

    // An alarm edited in place shows as removed and attached again.
    auto alarm_text = [&](const store::alarm_record& a) {
        return names.alarm_trigger ? names.alarm_trigger(a) : QStringLiteral("alarm");
    };
    for (const auto& a : O.alarms)
        if (std::find(N.alarms.begin(), N.alarms.end(), a) == N.alarms.end())
            d.add(QStringLiteral("removing alarm: %1").arg(alarm_text(a)));
    for (const auto& a : N.alarms)
        if (std::find(O.alarms.begin(), O.alarms.end(), a) == O.alarms.end())
            d.add(QStringLiteral("attaching alarm: %1").arg(alarm_text(a)));

    // Date: the special dates are not real days.
    const bool old_real = O.date > time::NO_DATE;
    const bool new_real = N.date > time::NO_DATE;
    if (old_real && new_real && O.date != N.date)
        d.add(QStringLiteral("changing the date from %1 to %2")
                  .arg(quoted(time::format_short_date(O.date)), quoted(time::format_short_date(N.date))));
    else if (!old_real && new_real)
        d.add(QStringLiteral("setting the date to %1").arg(quoted(time::format_short_date(N.date))));
    else if (old_real && !new_real)
        d.add(QStringLiteral("removing the date"));

    if (O.appointment && !N.appointment)
        d.add(QStringLiteral("changing the task type from appointment to to-do"));
    else if (!O.appointment && N.appointment)
        d.add(QStringLiteral("changing the task type from to-do to appointment"));

    const bool both_appointments = O.appointment && N.appointment;
    const bool both_todos = !O.appointment && !N.appointment;
    if (both_appointments) {
        const bool start_differs = O.appointment_start != N.appointment_start;
        const bool length_differs = O.appointment_duration != N.appointment_duration;
        if (length_differs && !start_differs)
            d.add(QStringLiteral("changing the appointment duration from %1 to %2")
                      .arg(time::format_duration(O.appointment_duration), time::format_duration(N.appointment_duration)));
        else if (start_differs && !length_differs)
            d.add(QStringLiteral("changing the appointment start from %1 to %2")
                      .arg(time::format_time_of_day(O.appointment_start), time::format_time_of_day(N.appointment_start)));
        else if (start_differs && length_differs)
            d.add(QStringLiteral("changing the appointment from %1 to %2")
                      .arg(time::appointment_text(O.appointment_start, O.appointment_duration),
                           time::appointment_text(N.appointment_start, N.appointment_duration)));
    }

    if (both_todos) {
        if (O.estimate != 0 && N.estimate != 0 && O.estimate != N.estimate)
            d.add(QStringLiteral("changing the estimate from %1 to %2")
                      .arg(quoted(time::format_duration(O.estimate)), quoted(time::format_duration(N.estimate))));
        else if (O.estimate == 0 && N.estimate != 0)
            d.add(QStringLiteral("setting the estimate to %1").arg(quoted(time::format_duration(N.estimate))));
        else if (O.estimate != 0 && N.estimate == 0)
            d.add(QStringLiteral("removing the estimate"));
    }

    if (O.original_estimate != 0 && N.original_estimate != 0 && O.original_estimate != N.original_estimate)
        d.add(QStringLiteral("changing the original estimate from %1 to %2")
                  .arg(quoted(time::format_duration(O.original_estimate)),
                       quoted(time::format_duration(N.original_estimate))));
    else if (O.original_estimate == 0 && N.original_estimate != 0)
        d.add(QStringLiteral("setting the original estimate to %1").arg(quoted(time::format_duration(N.original_estimate))));
    else if (O.original_estimate != 0 && N.original_estimate == 0)
        d.add(QStringLiteral("removing the original estimate"));

    if (both_todos) {
        // For a to-do the appointment fields hold its scheduling constraints.
        const std::int32_t ob = O.appointment_duration, nb = N.appointment_duration;
        if (ob != -1 && nb != -1 && ob != nb)
            d.add(QStringLiteral("changing the schedule before constraint from %1 to %2").arg(before_text(ob), before_text(nb)));
        else if (ob == -1 && nb != -1)
            d.add(QStringLiteral("setting the schedule before constraint to %1").arg(before_text(nb)));
        else if (ob != -1 && nb == -1)
            d.add(QStringLiteral("removing the schedule before constraint"));

        const std::int32_t oa = O.appointment_start, na = N.appointment_start;
        if (oa != -1 && na != -1 && oa != na)
            d.add(QStringLiteral("changing the schedule after constraint from %1 to %2")
                      .arg(time::format_time_of_day(oa), time::format_time_of_day(na)));
        else if (oa == -1 && na != -1)
            d.add(QStringLiteral("setting the schedule after constraint to %1").arg(time::format_time_of_day(na)));
        else if (oa != -1 && na == -1)
            d.add(QStringLiteral("removing the schedule after constraint"));
    }

    if (!O.splittable && N.splittable)
        d.add(QStringLiteral("setting the task as splittable"));
    else if (O.splittable && !N.splittable)
        d.add(QStringLiteral("setting the task as unsplittable"));

    if (O.priority != N.priority || (priority_text(O) != priority_text(N) && O.appointment == N.appointment))
        d.add(QStringLiteral("changing the priority from %1 to %2").arg(priority_text(O), priority_text(N)));

    if (O.project_priority != 0 && N.project_priority != 0 && O.project_priority != N.project_priority)
        d.add(QStringLiteral("changing the project priority from %1 to %2").arg(O.project_priority).arg(N.project_priority));
    else if (O.project_priority == 0 && N.project_priority != 0)
        d.add(QStringLiteral("setting the project priority to %1").arg(N.project_priority));
    else if (O.project_priority != 0 && N.project_priority == 0)
        d.add(QStringLiteral("removing the project priority"));

    if (O.role != 0 && N.role != 0 && O.role != N.role)
        d.add(QStringLiteral("changing the role from %1 to %2").arg(quoted(role_name(O.role)), quoted(role_name(N.role))));
    else if (O.role == 0 && N.role != 0)
        d.add(QStringLiteral("setting the role to %1").arg(quoted(role_name(N.role))));
    else if (O.role != 0 && N.role == 0)
        d.add(QStringLiteral("removing the role"));

    if (O.project != N.project) {
        if (N.project != 0) {
            const QString from = O.project != 0 ? QStringLiteral(" from ") + project_name(O.project).value_or(QString())
                                                : QString();
            d.add(QStringLiteral("associating with %1%2").arg(project_name(N.project).value_or(QString()), from));
        } else {
            d.add(QStringLiteral("disassociating from %1").arg(project_name(O.project).value_or(QStringLiteral("project"))));
        }
    }

    if (O.deadline != 0 && N.deadline != 0 && O.deadline != N.deadline)
        d.add(QStringLiteral("changing the deadline from %1 to %2")
                  .arg(time::format_date_time(O.deadline), time::format_date_time(N.deadline)));
    else if (O.deadline == 0 && N.deadline != 0)
        d.add(QStringLiteral("setting the deadline to %1").arg(time::format_date_time(N.deadline)));
    else if (O.deadline != 0 && N.deadline == 0)
        d.add(QStringLiteral("removing the deadline"));

    if (O.description != N.description)
        d.add(QStringLiteral("changing the task description"));
    if (O.comments != N.comments)
        d.add(QStringLiteral("changing the task comments"));

    const QString old_tags = tags_text(O), new_tags = tags_text(N);
    if (!old_tags.isEmpty() && !new_tags.isEmpty() && old_tags != new_tags)
        d.add(QStringLiteral("changing the tag from %1 to %2").arg(quoted(old_tags), quoted(new_tags)));
    else if (old_tags.isEmpty() && !new_tags.isEmpty())
        d.add(QStringLiteral("setting the tag to %1").arg(quoted(new_tags)));
    else if (!old_tags.isEmpty() && new_tags.isEmpty())
        d.add(QStringLiteral("removing the tag"));

    auto has_equal = [](const model::compact_list<store::tracked_time_record>& list, const store::tracked_time_record& e) {
        return std::find(list.begin(), list.end(), e) != list.end();
    };
    for (const auto& e : O.tracked_times)
        if (e.type == 0 && !has_equal(N.tracked_times, e))
            d.add(QStringLiteral("removing task time: %1").arg(tracked_time_text(e)));
    for (const auto& e : N.tracked_times)
        if (e.type == 0 && !has_equal(O.tracked_times, e))
            d.add(QStringLiteral("attaching task time: %1").arg(tracked_time_text(e)));

    if (O.units != N.units)
        d.add(QStringLiteral("changing the impact from %1 to %2").arg(O.units).arg(N.units));

    return d.text();
}

}  // namespace qm::history
