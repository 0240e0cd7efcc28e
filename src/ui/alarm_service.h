#pragma once
// The alarms as the windowed program has them: the alarm store with this
// desktop's actions and windows, the quarter-second poll, the alarm dialog
// opened on new, existing and default alarms, and the door through which the
// Clapperboard reaches them. Made by the composition root; main thread only.

#include "app/core.h"
#include "tracking/alarm_store.h"
#include "tracking/quick_alarm.h"
#include "ui/alarm_actions_runner.h"
#include "ui/alarm_window.h"

#include <QObject>
#include <QTimer>

class QWidget;

namespace qm::ui {

class alarm_dialog;

class alarm_service : public QObject, public tracking::alarm_port {
    Q_OBJECT
public:
    alarm_service(app::core& core, history::history& h, QWidget* owner,
                  std::unique_ptr<tracking::alarm_actions> actions = nullptr);
    ~alarm_service() override;

    tracking::alarm_store& store() { return *store_; }
    alarm_window_set& windows() { return *windows_; }
    tracking::alarm_actions& actions() { return *actions_; }
    // The poll runs from here until stop(); stop() also closes every window.
    void start();
    void stop();

    // The alarm dialog: on a new alarm (attached to the task when given),
    // on a stored one, and on a kind's default settings. Each adds or
    // modifies through the history when confirmed; new_alarm returns the
    // new alarm's id, or 0.
    std::int32_t new_alarm(const model::task* attached, QWidget* parent);
    bool edit_alarm(std::int32_t id, QWidget* parent);
    bool edit_template(int key, QWidget* parent);
    // The dialog kind of a new alarm on a task (3 to-do, 4 appointment) or of none (2).
    static int kind_for(const model::task* t);
    // Tests run the dialog themselves; true is a confirmed dialog.
    std::function<bool(alarm_dialog& d)> run_dialog;

    // alarm_port
    void add_quick_alarm(time::stored_time due, const QString& text) override;
    void open_new_alarm_dialog(const model::task* attached) override;
    std::optional<alarm_summary> next_alarm(time::stored_time now) const override;

private:
    bool run(alarm_dialog& d);
    alarm_look look_of(const tracking::Alarm& a) const;

    app::core& core_;
    QWidget* owner_;
    std::unique_ptr<tracking::alarm_actions> actions_;
    std::unique_ptr<tracking::alarm_store> store_;
    std::unique_ptr<alarm_window_set> windows_;
    QTimer poll_;
};

}  // namespace qm::ui
