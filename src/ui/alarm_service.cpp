#include "ui/alarm_service.h"

#include "app/options.h"
#include "ui/alarm_dialog.h"
#include "ui/overview_view.h"

#include <QWidget>

namespace qm::ui {
namespace {

QColor colorref(std::uint32_t c) { return QColor(c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff); }

QColor mixed_with_white(const QColor& c)
{
    return QColor((c.red() + 255) / 2, (c.green() + 255) / 2, (c.blue() + 255) / 2);
}

}  // namespace

alarm_service::alarm_service(app::core& core, history::history& h, QWidget* owner,
                             std::unique_ptr<tracking::alarm_actions> actions)
    : core_(core), owner_(owner), actions_(actions ? std::move(actions) : std::make_unique<desktop_alarm_actions>())
{
    store_ = std::make_unique<tracking::alarm_store>(core.tables().alarms, core.tasks(), h, *actions_,
                                                     core.folders().asset_folder());
    windows_ = std::make_unique<alarm_window_set>(
        [this](const tracking::Alarm& a) { return look_of(a); },
        [this](const tracking::Alarm& a) { return tracking::alarm_subject(a, core_.tasks()); },
        [this](std::int32_t id, time::stored_time opened) {
            const tracking::alarm_ptr a = store_->find(id);
            return a ? tracking::window_time_text(*a, core_.tasks(), time::now(), opened) : QString();
        });
    store_->set_windows(windows_.get());
    store_->conflict_alarms_on = [] { return app::current_options().show_conflict_alarms; };
    store_->deadline_alarms_on = [] { return app::current_options().show_deadline_conflict_alarms; };
    store_->on_fired = [this](const tracking::Alarm& a) {
        const QString subject = tracking::alarm_subject(a, core_.tasks());
        send_desktop_notification(subject.isEmpty() ? QStringLiteral("Alarm") : subject,
                                  tracking::trigger_description(a, 0, time::now()));
    };
    connect(windows_.get(), &alarm_window_set::dismissed, this, [this](std::int32_t id) { store_->window_closed(id); });
    connect(windows_.get(), &alarm_window_set::snoozed, this,
            [this](std::int32_t id, std::int64_t seconds) { store_->snooze(id, seconds); });
    poll_.setInterval(tracking::alarm_store::poll_period_ms);
    connect(&poll_, &QTimer::timeout, this, [this] { store_->poll(); });
}

alarm_service::~alarm_service()
{
    poll_.stop();
    store_->set_windows(nullptr);
}

void alarm_service::start() { poll_.start(); }

void alarm_service::stop()
{
    poll_.stop();
    store_->clear();
}

alarm_look alarm_service::look_of(const tracking::Alarm& a) const
{
    const app::options& o = app::current_options();
    if (a.type == tracking::alarm_type::schedule_conflict)
        return {colorref(o.colours.schedule_conflict_light_block), colorref(o.colours.schedule_conflict_dark_block)};
    if (a.type == tracking::alarm_type::deadline_conflict)
        return {colorref(o.colours.deadline_light_block), colorref(o.colours.deadline_dark_block)};
    QColor base(255, 128, 0);
    if (tracking::category(a.attached_type) == 1)
        if (const model::task_ptr t = core_.tasks().find(a.attached))
            if (const auto r = core_.tables().roles.find(core_.tasks().effective_role(*t)))
                base = stored_color(r->background_color);
    return {mixed_with_white(mixed_with_white(base)), mixed_with_white(base)};
}

int alarm_service::kind_for(const model::task* t)
{
    if (t == nullptr || t->is_folder())
        return tracking::alarm_kind::standalone;
    return t->appointment ? tracking::alarm_kind::appointment : tracking::alarm_kind::todo;
}

bool alarm_service::run(alarm_dialog& d)
{
    if (run_dialog)
        return run_dialog(d);
    return d.exec() == QDialog::Accepted;
}

std::int32_t alarm_service::new_alarm(const model::task* attached, QWidget* parent)
{
    const int kind = kind_for(attached);
    const tracking::Alarm a =
        tracking::new_alarm(store_->stored(), kind, kind == tracking::alarm_kind::standalone ? 0 : attached->id);
    alarm_dialog d(a, kind, core_.tasks(), *actions_, store_->asset_folder(), true, parent ? parent : owner_);
    if (!run(d))
        return 0;
    return store_->add_alarm(d.result());
}

bool alarm_service::edit_alarm(std::int32_t id, QWidget* parent)
{
    const tracking::alarm_ptr a = store_->find(id);
    if (!a || id <= 0)
        return false;
    const model::task_ptr t = tracking::is_task_alarm(*a) ? core_.tasks().find(a->attached) : nullptr;
    alarm_dialog d(*a, kind_for(t.get()), core_.tasks(), *actions_, store_->asset_folder(), false,
                   parent ? parent : owner_);
    if (!run(d))
        return false;
    store_->modify_alarm(d.result());
    return true;
}

bool alarm_service::edit_template(int key, QWidget* parent)
{
    const tracking::alarm_ptr stored = tracking::find_template(store_->stored(), key);
    int kind = tracking::alarm_kind::standalone;
    for (int k : {2, 3, 4, 8, 9})
        if (tracking::template_key_of_kind(k) == key)
            kind = k;
    const tracking::Alarm a = stored ? *stored : tracking::new_alarm(store_->stored(), kind);
    alarm_dialog d(a, key, core_.tasks(), *actions_, store_->asset_folder(), stored == nullptr,
                   parent ? parent : owner_);
    if (!run(d))
        return false;
    tracking::Alarm result = d.result();
    if (stored) {
        result.id = stored->id;
        store_->modify_alarm(result);
    } else {
        store_->add_alarm(result);
    }
    return true;
}

void alarm_service::add_quick_alarm(time::stored_time due, const QString& text)
{
    tracking::Alarm a = tracking::new_alarm(store_->stored(), tracking::alarm_kind::standalone);
    a.type = tracking::alarm_type::at_time;
    a.time = due;
    a.text = text;
    store_->add_alarm(a);
}

void alarm_service::open_new_alarm_dialog(const model::task* attached) { new_alarm(attached, owner_); }

std::optional<tracking::alarm_port::alarm_summary> alarm_service::next_alarm(time::stored_time now) const
{
    std::optional<alarm_summary> best;
    for (const tracking::alarm_ptr& a : store_->stored()) {
        if (a->attached_type >= 16 ||
            (a->type != tracking::alarm_type::at_time && a->type != tracking::alarm_type::before_appointment))
            continue;
        const std::optional<time::stored_time> due = tracking::due_time(*a, core_.tasks());
        const std::int64_t left = due ? *due - now : 0;
        if (left < 0 || left >= 86400)
            continue;
        if (!best || left < best->seconds_left) {
            const QString subject = tracking::alarm_subject(*a, core_.tasks());
            best = alarm_summary{subject.isEmpty() ? QStringLiteral("Alarm") : subject, left};
        }
    }
    return best;
}

}  // namespace qm::ui
