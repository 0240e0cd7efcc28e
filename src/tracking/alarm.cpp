#include "tracking/alarm.h"

#include "time/format.h"

#include <boost/tokenizer.hpp>

#include <string>

namespace qm::tracking {

int category(int attached_type)
{
    if (attached_type == template_key::standalone)
        return 0;
    if (attached_type == template_key::todo || attached_type == template_key::appointment)
        return 1;
    return attached_type;
}

bool is_one_shot(int type) { return (type >= 0 && type <= 5) || (type >= 7 && type <= 9); }

// ---- the command ----

namespace {

// The tokenizer leaves a quote open at the end without complaint; only an
// entry that begins with it is one older versions wrote that way.
bool quotes_acceptable(const std::u32string& s)
{
    bool in_quote = false;
    std::size_t opened = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == U'\\') {
            ++i;
        } else if (s[i] == U'"') {
            in_quote = !in_quote;
            if (in_quote)
                opened = i;
        }
    }
    return !in_quote || opened == 0 || s[opened - 1] == U'|';
}

}  // namespace

std::optional<std::vector<alarm_entry>> read_alarm_command(const QString& command)
{
    const std::u32string text = command.toStdU32String();
    if (!quotes_acceptable(text))
        return std::nullopt;
    using separator = boost::escaped_list_separator<char32_t>;
    std::vector<alarm_entry> entries;
    try {
        boost::tokenizer<separator, std::u32string::const_iterator, std::u32string> tokens(
            text, separator(U'\\', U'|', U'"'));
        for (const std::u32string& token : tokens) {
            QString t = QString::fromStdU32String(token);
            if (t.isEmpty())
                continue;
            if (t.startsWith(QLatin1Char('"')))
                t.remove(0, 1);
            if (t.endsWith(QLatin1Char('"')))
                t.chop(1);
            if (t.isEmpty())
                continue;
            entries.push_back({t.at(0), t.mid(1)});
        }
    } catch (const boost::escaped_list_error&) {
        return std::nullopt;
    }
    return entries;
}

QString write_alarm_command(const std::vector<alarm_entry>& entries)
{
    QStringList parts;
    for (const alarm_entry& e : entries) {
        QString text = e.argument;
        text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        text.replace(QLatin1Char('"'), QStringLiteral("\\\""));
        parts << QLatin1Char('"') + e.kind + text + QLatin1Char('"');
    }
    return parts.join(QLatin1Char('|'));
}

QString program_argument(const QString& program, const QString& arguments)
{
    QString p = program;
    p.remove(QLatin1Char('"'));
    return QLatin1Char('"') + p + QLatin1Char('"') + (arguments.isEmpty() ? QString() : QLatin1Char(' ') + arguments);
}

program_call split_program(const QString& argument)
{
    const QString text = argument.trimmed();
    if (!text.startsWith(QLatin1Char('"')))
        return {text, QString()};
    const int close = text.indexOf(QLatin1Char('"'), 1);
    if (close < 0)
        return {text.mid(1), QString()};
    program_call call{text.mid(1, close - 1), QString()};
    const QString rest = text.mid(close + 1);
    const int quote = rest.indexOf(QLatin1Char('"'));
    if (quote >= 0)
        call.parameters = rest.mid(quote + 1, rest.size() - quote - 2);  // up to the last character
    else
        call.parameters = rest;
    call.parameters = call.parameters.trimmed();
    return call;
}

QString sound_path(const QString& argument, const QString& asset_folder)
{
    if (argument.contains(QLatin1Char(':')) || argument.startsWith(QLatin1Char('/')))
        return argument;
    return asset_folder + argument;
}

QString website_address(const QString& argument)
{
    return argument.contains(QLatin1Char(':')) ? argument : QStringLiteral("http://") + argument;
}

bool plays_sound(const alarm_entry& e)
{
    return e.kind == QLatin1Char('*') && e.argument.size() >= 5 &&
           e.argument.endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive);
}

std::optional<action_failure> run_entry(const alarm_entry& e, alarm_actions& actions, const QString& asset_folder)
{
    QString error;
    QString caption;
    if (plays_sound(e)) {
        error = actions.play_sound(sound_path(e.argument, asset_folder));
        caption = QStringLiteral("Couldn't play");
    } else if (e.kind == QLatin1Char('?')) {
        error = actions.open_website(website_address(e.argument));
        caption = QStringLiteral("Couldn't open website");
    } else if (e.kind == QLatin1Char('>') || e.kind == QLatin1Char('*')) {
        const program_call call = split_program(e.argument);
        error = actions.open_file(call.file, call.parameters);
        caption = QStringLiteral("Couldn't open");
    } else if (e.kind == QLatin1Char(':')) {
        const program_call call = split_program(e.argument);
        error = actions.run_program(call.file, call.parameters);
        caption = QStringLiteral("Couldn't run");
    } else {
        return action_failure{QStringLiteral("Couldn't run"),
                              QStringLiteral("\"%1\" is not a kind of alarm action.").arg(e.kind)};
    }
    if (error.isEmpty())
        return std::nullopt;
    return action_failure{caption, error};
}

// ---- times and words ----

std::optional<time::stored_time> due_time(const Alarm& a, const model::task_store& tasks)
{
    switch (a.type) {
    case alarm_type::at_time:
    case alarm_type::at_time_attached:
    case alarm_type::schedule_conflict:
    case alarm_type::deadline_conflict:
        return a.time;
    case alarm_type::before_appointment: {
        const model::task_ptr t = tasks.find(a.attached);
        if (!t || !t->appointment || t->appointment_start < 0)
            return std::nullopt;
        return t->date + t->appointment_start - a.time;
    }
    default:
        return std::nullopt;
    }
}

std::int32_t schedule_before_of(const model::task& t)
{
    if (t.appointment)
        return latest_end(t).value_or(86400);
    return t.appointment_duration <= 0 ? 86400 : t.appointment_duration;
}

time::stored_time effective_deadline(time::stored_time deadline)
{
    return deadline != 0 && deadline % time::seconds_per_day == 0 ? deadline + time::seconds_per_day : deadline;
}

std::optional<std::int32_t> latest_end(const model::task& t)
{
    std::optional<std::int32_t> end;
    if (!t.appointment)
        end = t.appointment_duration <= 0 ? 86400 : t.appointment_duration;
    if (t.deadline != 0) {
        const time::stored_time d = effective_deadline(t.deadline);
        if (d > t.date && d <= t.date + time::seconds_per_day) {
            const auto at = static_cast<std::int32_t>(d - t.date);
            end = end ? std::min(*end, at) : at;
        }
    }
    return end;
}

QString trigger_description(const Alarm& a, int style, time::stored_time now)
{
    if (a.attached_type >= 16)
        return QString();
    QString text;
    switch (a.type) {
    case alarm_type::at_time:
    case alarm_type::at_time_attached:
        if ((a.time - now) / time::seconds_per_day > 0)
            text = QStringLiteral("on %1 at %2")
                       .arg(time::format_short_date(time::date_of(a.time)),
                            time::format_time_of_day(a.time - time::date_of(a.time)));
        else
            text = QStringLiteral("at %1").arg(time::format_time_of_day(a.time - time::date_of(a.time)));
        break;
    case alarm_type::before_appointment:
        text = QStringLiteral("%1 before appointment starts").arg(time::format_duration(a.time));
        break;
    case alarm_type::time_reaches: text = QStringLiteral("when time reaches %1").arg(time::format_duration(a.time)); break;
    case alarm_type::timer_reaches:
        text = QStringLiteral("when a timer reaches %1").arg(time::format_duration(a.time));
        break;
    case alarm_type::timer_reaches_every:
        text = QStringLiteral("whenever a timer reaches %1").arg(time::format_duration(a.time));
        break;
    case alarm_type::estimate_reached: text = QStringLiteral("when estimate is reached"); break;
    case alarm_type::finished: text = QStringLiteral("when finished"); break;
    case alarm_type::status_changes: text = QStringLiteral("when status changes"); break;
    case alarm_type::timer_started: text = QStringLiteral("when a timer is started"); break;
    case alarm_type::timer_started_every: text = QStringLiteral("whenever a timer is started"); break;
    case alarm_type::template_: return QString();
    case alarm_type::schedule_conflict:
        text = QStringLiteral("when schedule before %1 constraint at risk")
                   .arg(time::format_time_of_day(a.time - time::date_of(a.time)));
        break;
    case alarm_type::deadline_conflict:
        text = QStringLiteral("when deadline of %1 is reached").arg(time::format_date_time(a.time));
        break;
    default: break;
    }
    if (a.flags & alarm_flag::next_transition)
        text += QStringLiteral(" or at next task transition");
    if (style & description_style::alarm_prefix)
        text = QStringLiteral("Alarm ") + text;
    else if (!(style & description_style::no_capital) && !text.isEmpty())
        text[0] = text[0].toUpper();
    if (!(style & description_style::no_full_stop))
        text += QLatin1Char('.');
    return text;
}

QString alarm_subject(const Alarm& a, const model::task_store& tasks)
{
    if (a.text.isEmpty() && category(a.attached_type) == 1)
        if (const model::task_ptr t = tasks.find(a.attached))
            return t->name;
    return a.text;
}

QString alarm_description(const Alarm& a, const model::task_store& tasks, time::stored_time now)
{
    const QString subject = alarm_subject(a, tasks);
    const QString quoted = subject.isEmpty() ? QString() : QLatin1Char('"') + subject + QStringLiteral("\" ");
    return QStringLiteral("alarm %1with trigger %2")
        .arg(quoted, trigger_description(a, description_style::no_full_stop | description_style::no_capital, now));
}

std::optional<std::int64_t> countdown_seconds(const Alarm& a, const model::task_store& tasks, time::stored_time now)
{
    switch (a.type) {
    case alarm_type::at_time: case alarm_type::at_time_attached: case alarm_type::before_appointment:
    case alarm_type::schedule_conflict: case alarm_type::deadline_conflict: break;
    default: return std::nullopt;
    }
    const std::optional<time::stored_time> t = due_time(a, tasks);
    if (!t || *t == 0)
        return std::nullopt;
    return *t - now;
}

QString countdown_text(const Alarm& a, const model::task_store& tasks, time::stored_time now, bool bare)
{
    std::optional<std::int64_t> s = countdown_seconds(a, tasks, now);
    if (!s)
        return QStringLiteral("N/A");
    if (a.type == alarm_type::before_appointment && *s == 0)
        return QStringLiteral("Never, invalid appointment.");
    std::int64_t left = *s;
    // A display in whole minutes then shows the nearest minute.
    if (left > 60)
        left += 30;
    if (left < 0)
        return (bare ? QString() : QStringLiteral("overdue by ")) + time::format_duration(-left);
    return (bare ? QString() : QStringLiteral("in ")) + time::format_duration(left);
}

QString window_time_text(const Alarm& a, const model::task_store& tasks, time::stored_time now,
                         time::stored_time opened)
{
    time::stored_time target = opened;
    const model::task_ptr t = category(a.attached_type) == 1 ? tasks.find(a.attached) : nullptr;
    switch (a.type) {
    case alarm_type::at_time:
    case alarm_type::at_time_attached: target = a.time; break;
    case alarm_type::before_appointment:
        if (const std::optional<time::stored_time> due = due_time(a, tasks))
            target = *due;
        break;
    case alarm_type::schedule_conflict:
        if (t)
            target = time::today() + schedule_before_of(*t);
        break;
    case alarm_type::deadline_conflict:
        if (t && t->deadline != 0)
            target = effective_deadline(t->deadline);
        break;
    default: break;
    }
    const std::int64_t d = target - now;
    if (d >= 1)
        return QStringLiteral("In %1").arg(time::format_duration(d));
    if (d >= -60)
        return QStringLiteral("Now");
    return QStringLiteral("%1 ago").arg(time::format_duration(-d));
}

// ---- defaults ----

int template_key_of_kind(int kind)
{
    switch (kind) {
    case alarm_kind::standalone: return template_key::standalone;
    case alarm_kind::todo: return template_key::todo;
    case alarm_kind::appointment: return template_key::appointment;
    case alarm_kind::schedule_conflict: return template_key::schedule_conflict;
    case alarm_kind::deadline: return template_key::deadline;
    default: return 0;
    }
}

alarm_ptr find_template(const std::vector<alarm_ptr>& cache, int key)
{
    for (const alarm_ptr& a : cache)
        if (a->attached_type == key && a->attached == 0)
            return a;
    return nullptr;
}

Alarm new_alarm(const std::vector<alarm_ptr>& cache, int kind, std::int32_t task)
{
    Alarm a;
    if (const alarm_ptr t = find_template(cache, template_key_of_kind(kind))) {
        a = *t;
    } else {
        a.flags = alarm_flag::show_window;
        a.command = QStringLiteral("*alarm.wav");
    }
    a.id = 0;
    a.type = alarm_type::at_time;
    a.time = 0;
    const bool attached = kind != alarm_kind::standalone && task != 0;
    a.attached = attached ? task : 0;
    a.attached_type = attached ? 1 : 0;
    return a;
}

}  // namespace qm::tracking
