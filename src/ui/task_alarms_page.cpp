#include "ui/task_alarms_page.h"

#include "app/core.h"
#include "ui/alarm_actions_runner.h"
#include "ui/alarm_dialog.h"
#include "ui/alarm_service.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm::ui {
namespace {

QString asset_folder()
{
    app::core* c = app::core::instance();
    return c != nullptr ? c->folders().asset_folder() : QString();
}

}  // namespace

task_alarms_page::task_alarms_page(const task_page_context& context, QWidget* parent)
    : task_dialog_page(parent), context_(context), tester_(std::make_unique<desktop_alarm_actions>())
{
    setObjectName(QStringLiteral("task_alarms_page"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("task_alarms"));
    layout->addWidget(list_, 1);
    auto* row = new QHBoxLayout;
    auto* add = new QPushButton(QStringLiteral("&New Alarm..."), this);
    auto* edit = new QPushButton(QStringLiteral("&Properties..."), this);
    auto* remove = new QPushButton(QStringLiteral("&Delete"), this);
    row->addWidget(add);
    row->addWidget(edit);
    row->addWidget(remove);
    row->addStretch(1);
    layout->addLayout(row);
    connect(add, &QPushButton::clicked, this, &task_alarms_page::add_alarm);
    connect(edit, &QPushButton::clicked, this, &task_alarms_page::edit_selected);
    connect(remove, &QPushButton::clicked, this, &task_alarms_page::delete_selected);
    connect(list_, &QListWidget::itemDoubleClicked, this, &task_alarms_page::edit_selected);
}

task_alarms_page::~task_alarms_page() = default;

QString task_alarms_page::description() const
{
    return QStringLiteral("Reminders of this task: at a time, before it starts, when a timer or its time reaches a "
                          "length, when its estimate is reached, when it is finished or its status changes.");
}

void task_alarms_page::load(const model::task& t)
{
    task_ = t;
    alarms_ = t.alarms.to_vector();
    refill();
}

bool task_alarms_page::store(model::task& t, QString&)
{
    t.alarms = alarms_;
    return true;
}

void task_alarms_page::refill()
{
    const int current = list_->currentRow();
    list_->clear();
    for (const tracking::Alarm& a : alarms_) {
        const QString trigger = tracking::trigger_description(a, 0, time::now());
        list_->addItem(a.text.isEmpty() ? trigger : QStringLiteral("%1 \u2014 %2").arg(a.text, trigger));
    }
    if (!alarms_.empty())
        list_->setCurrentRow(std::clamp(current, 0, static_cast<int>(alarms_.size()) - 1));
}

bool task_alarms_page::run(alarm_dialog& d)
{
    if (run_dialog)
        return run_dialog(d);
    return d.exec() == QDialog::Accepted;
}

void task_alarms_page::add_alarm()
{
    const int kind = alarm_service::kind_for(&task_);
    if (kind == tracking::alarm_kind::standalone)
        return;  // a folder has no alarms of its own
    tracking::Alarm a = tracking::new_alarm(context_.tables.alarms.cache(), kind, task_.id);
    alarm_dialog d(a, kind, context_.store, *tester_, asset_folder(), true, this);
    if (!run(d))
        return;
    tracking::Alarm result = d.result();
    result.id = 0;
    alarms_.push_back(result);
    refill();
    list_->setCurrentRow(static_cast<int>(alarms_.size()) - 1);
}

void task_alarms_page::edit_selected()
{
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(alarms_.size()))
        return;
    alarm_dialog d(alarms_[static_cast<std::size_t>(row)], alarm_service::kind_for(&task_), context_.store, *tester_,
                   asset_folder(), false, this);
    if (!run(d))
        return;
    alarms_[static_cast<std::size_t>(row)] = d.result();
    refill();
}

void task_alarms_page::delete_selected()
{
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(alarms_.size()))
        return;
    alarms_.erase(alarms_.begin() + row);
    refill();
}

}  // namespace qm::ui
