#pragma once
// The Alarms page of the task dialog: the task's alarms with their triggers,
// added, edited and deleted on the working copy through the alarm dialog;
// they are written with the task when the dialog is confirmed.

#include "ui/task_dialog.h"

#include "tracking/alarm.h"

#include <memory>

class QListWidget;

namespace qm::ui {

class task_alarms_page : public task_dialog_page {
    Q_OBJECT
public:
    task_alarms_page(const task_page_context& context, QWidget* parent = nullptr);
    ~task_alarms_page() override;
    QString title() const override { return QStringLiteral("Alarms"); }
    QString description() const override;
    void load(const model::task& t) override;
    bool store(model::task& t, QString& error) override;

    QListWidget* list() const { return list_; }
    const std::vector<tracking::Alarm>& alarms() const { return alarms_; }
    // The dialog on a new or the selected alarm; tests run it themselves.
    void add_alarm();
    void edit_selected();
    void delete_selected();
    std::function<bool(class alarm_dialog& d)> run_dialog;

private:
    void refill();
    bool run(alarm_dialog& d);

    const task_page_context context_;
    model::task task_;
    std::vector<tracking::Alarm> alarms_;
    std::unique_ptr<tracking::alarm_actions> tester_;
    QListWidget* list_ = nullptr;
};

}  // namespace qm::ui
