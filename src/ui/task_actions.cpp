#include "ui/task_actions.h"

#include "time/parse.h"
#include "tracking/action_menu.h"
#include "ui/commands.h"
#include "ui/comment_editor.h"
#include "ui/task_dialog.h"
#include "history/comment_commands.h"
#include "model/comments.h"

#include <QInputDialog>

namespace qm::ui {

task_actions::task_actions(tracking::timer_operations& ops, history::task_commands& commands,
                           model::task_store& store, store::tables& tables, QString dialog_settings_file)
    : ops_(ops), commands_(commands), store_(store), tables_(tables), dialog_settings_(std::move(dialog_settings_file))
{
}

std::optional<QString> task_actions::ask(QWidget* parent, const QString& title, const QString& label)
{
    if (ask_text)
        return ask_text(parent, title, label);
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, label, QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

bool task_actions::handles(int command)
{
    switch (command) {
    case cmd::timers_toggle: case cmd::timers_start: case cmd::timers_stop: case cmd::timers_edit:
    case cmd::properties: case cmd::next: case cmd::flow_next: case cmd::progression: case cmd::flow_progression:
    case cmd::distraction: case cmd::flow_distraction: case cmd::interruption: case cmd::flow_interruption:
    case cmd::break_down: case cmd::flow_break_down: case cmd::add_comment:
        return true;
    default:
        return false;
    }
}

bool task_actions::handle(int command, model::task* focus, QWidget* parent,
                          const std::function<void(const QString&)>& report, time::stored_date shown_day)
{
    tracking::task_timer& timer = ops_.timer();
    const model::task_ptr task = focus != nullptr ? store_.find(focus->id) : nullptr;
    auto say = [&](const QString& text) {
        if (report)
            report(text);
    };
    if (open_clapperboard) {
        const model::task_ptr subject = task ? task : timer.timed_task();
        switch (command) {
        case cmd::distraction:
        case cmd::flow_distraction: open_clapperboard(tracking::menu_mode::distraction_length, subject); return true;
        case cmd::interruption:
        case cmd::flow_interruption: open_clapperboard(tracking::menu_mode::interruption, subject); return true;
        case cmd::break_down:
        case cmd::flow_break_down:
            if (!subject || subject->is_folder())
                say(QStringLiteral("Break Down divides a task: select one or start a timer."));
            else
                open_clapperboard(tracking::menu_mode::break_down, subject);
            return true;
        default: break;
        }
    }
    switch (command) {
    case cmd::break_down:
    case cmd::flow_break_down:
        say(QStringLiteral("Break Down is done in the Clapperboard, which is not available here."));
        return true;
    case cmd::timers_toggle:
        if (task)
            ops_.toggle(task);
        return true;
    case cmd::timers_start:
        if (task && !timer.is_timed(*task))
            ops_.start_timer(task);
        return true;
    case cmd::timers_stop:
        if (task && timer.is_timed(*task))
            ops_.stop_timer();
        return true;
    case cmd::timers_edit:
        if (focus != nullptr)
            open_properties(*focus, parent, task_dialog::timers_page);
        return true;
    case cmd::properties:
        if (focus != nullptr)
            open_properties(*focus, parent);
        return true;
    case cmd::next:
    case cmd::flow_next:
    {
        const bool was_timing = timer.timed_task() != nullptr;
        if (ops_.next_task() == nullptr)
            say(was_timing ? QStringLiteral("The timed task is finished; no task is next today.")
                           : QStringLiteral("Nothing is timed, and no task is next today."));
        return true;
    }
    case cmd::progression:
    case cmd::flow_progression: {
        const model::task_ptr timed = timer.timed_task();
        if (!timed) {
            say(QStringLiteral("Progression continues the timed task: start a timer first."));
            return true;
        }
        const std::optional<QString> name =
            ask(parent, QStringLiteral("Progression"),
                QStringLiteral("Continue \"%1\" as the new task:").arg(timed->name));
        if (name)
            ops_.progression(name->trimmed());
        return true;
    }
    case cmd::distraction:
    case cmd::flow_distraction: {
        const std::optional<QString> name =
            ask(parent, QStringLiteral("Distraction"), QStringLiteral("What distracted you (a task of today):"));
        if (!name || name->trimmed().isEmpty())
            return true;
        const std::optional<QString> length = ask(
            parent, QStringLiteral("Distraction"),
            timer.timed_task() ? QStringLiteral("For how long (empty: the whole time of the running timer):")
                               : QStringLiteral("For how long:"));
        if (!length)
            return true;
        std::int64_t seconds = 0;
        if (!length->trimmed().isEmpty()) {
            const std::optional<time::duration> d = time::parse_duration_checked(*length);
            if (!d || *d <= 0) {
                say(QStringLiteral("\"%1\" is not a duration: type for example 10m, 1h 30m or 0:45.").arg(*length));
                return true;
            }
            seconds = *d;
        } else if (!timer.timed_task()) {
            say(QStringLiteral("Nothing is timed: type how long the distraction lasted."));
            return true;
        }
        ops_.record_distraction(*name, seconds);
        return true;
    }
    case cmd::add_comment: {
        // On a task: a comment of the task; on a heading or an empty list: a
        // free comment of the moment.
        if (comments_ == nullptr)
            return true;
        const QString title = task ? QStringLiteral("Add Comment \u2014 %1").arg(task->name) : QStringLiteral("Add Comment");
        const std::optional<QString> text = ask_comment()(parent, title, QString());
        if (!text || model::blank_comment(*text))
            return true;
        if (task ? comments_->add_to_task(*task, *text)
                 : comments_->add_free(*text, model::free_comment_time(shown_day, time::now())))
            say(task ? QStringLiteral("Comment added to \"%1\".").arg(task->name)
                     : QStringLiteral("Comment added to the day."));
        return true;
    }
    case cmd::interruption:
    case cmd::flow_interruption: {
        const std::optional<QString> name =
            ask(parent, QStringLiteral("Interruption"), QStringLiteral("What interrupted you (a task of today):"));
        if (!name || name->trimmed().isEmpty())
            return true;
        ops_.record_interruption(*name);
        return true;
    }
    default:
        return false;
    }
}

bool task_actions::open_properties(model::task& t, QWidget* parent, int page)
{
    task_dialog dialog(t, store_, tables_, &ops_.timer(), dialog_settings_, parent);
    if (page >= 0)
        dialog.show_page(page);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return dialog.commit(commands_);
}

}  // namespace qm::ui
