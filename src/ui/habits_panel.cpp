#include "ui/habits_panel.h"

#include "history/entity_commands.h"
#include "model/habits.h"
#include "model/routines.h"
#include "model/task_store.h"
#include "store/tables.h"
#include "time/format.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qm::ui {
namespace {

QLabel* heading(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.15);
    l->setFont(f);
    return l;
}

QIcon role_icon(const store::tables& tables, std::int32_t role)
{
    auto r = tables.roles.find(role);
    if (!r)
        return {};
    const int c = r->background_color;
    QPixmap p(12, 12);
    p.fill(QColor(c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff));
    return QIcon(p);
}

history::describer<store::habit_record> describe_habit()
{
    return [](const store::habit_record& h) { return model::habit_description(h); };
}

}  // namespace

habits_panel::habits_panel(const habit_sources& sources, store::tables& tables, history::history& history,
                           QWidget* parent)
    : QWidget(parent),
      sources_(sources),
      tables_(tables),
      history_(history)
{
    setObjectName(QStringLiteral("habits"));
    habits_ = new QTreeWidget(this);
    habits_->setObjectName(QStringLiteral("habits"));
    habits_->setHeaderLabels({QStringLiteral("Habit"), QStringLiteral("Rule"), QStringLiteral("Today"),
                              QStringLiteral("Last 7 Days")});
    habits_->setRootIsDecorated(false);
    habits_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    habits_->header()->setStretchLastSection(false);
    auto* add = new QPushButton(QStringLiteral("Add habit..."), this);
    add->setObjectName(QStringLiteral("add_habit"));
    edit_ = new QPushButton(QStringLiteral("Edit..."), this);
    delete_ = new QPushButton(QStringLiteral("Delete"), this);
    connect(add, &QPushButton::clicked, this, &habits_panel::add_habit);
    connect(edit_, &QPushButton::clicked, this, &habits_panel::edit_habit);
    connect(delete_, &QPushButton::clicked, this, &habits_panel::delete_habit);
    connect(habits_, &QTreeWidget::itemDoubleClicked, this, [this] { edit_habit(); });
    connect(habits_, &QTreeWidget::itemSelectionChanged, this, [this] {
        edit_->setEnabled(selected_habit() != 0);
        delete_->setEnabled(selected_habit() != 0);
    });

    routines_ = new QTreeWidget(this);
    routines_->setObjectName(QStringLiteral("routines"));
    routines_->setHeaderLabels({QStringLiteral("Routine"), QStringLiteral("Role"), QStringLiteral("Start"),
                                QStringLiteral("Span"), QStringLiteral("Description")});
    routines_->setRootIsDecorated(false);
    routines_->header()->setStretchLastSection(true);
    routines_empty_ = new QLabel(
        QStringLiteral("No routines. Routines come with files of older versions and are shown here as they are."), this);
    routines_empty_->setWordWrap(true);

    auto* habit_buttons = new QHBoxLayout;
    habit_buttons->addWidget(add);
    habit_buttons->addWidget(edit_);
    habit_buttons->addWidget(delete_);
    habit_buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(heading(QStringLiteral("Habits"), this));
    layout->addWidget(new QLabel(QStringLiteral("Points you give yourself for finished tasks and time spent on work "
                                                "of a kind."),
                                 this));
    layout->addWidget(habits_, 2);
    layout->addLayout(habit_buttons);
    layout->addWidget(heading(QStringLiteral("Routines"), this));
    layout->addWidget(routines_empty_);
    layout->addWidget(routines_, 1);

    edit = [this](const store::habit_record& h, bool adding) -> std::optional<store::habit_record> {
        habit_dialog dialog(sources_, h, adding, this);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.habit();
    };
    store::listeners().add(this);
    refresh();
}

habits_panel::~habits_panel() { store::listeners().remove(this); }

void habits_panel::refresh()
{
    refresh_pending_ = false;
    const std::int32_t selected = selected_habit();
    habits_->clear();
    const model::habit_points points(sources_.tasks, tables_, &sources_.recurrences);
    const time::stored_date today = time::today();
    for (const auto& h : tables_.habits.cache()) {
        auto* item = new QTreeWidgetItem(habits_);
        item->setText(0, h->description);
        item->setText(1, model::habit_rule_text(*h, habit_item_name(sources_, *h)));
        item->setText(2, QString::number(points.on(*h, today)));
        item->setText(3, QString::number(points.between(*h, time::add_days(today, -6), today)));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, Qt::UserRole, h->id);
        if (h->id == selected)
            habits_->setCurrentItem(item);
    }
    for (int c : {0, 2, 3})
        habits_->resizeColumnToContents(c);
    edit_->setEnabled(selected_habit() != 0);
    delete_->setEnabled(selected_habit() != 0);
    fill_routines();
}

void habits_panel::fill_routines()
{
    routines_->clear();
    for (const auto& r : tables_.routines.cache()) {
        auto* item = new QTreeWidgetItem(routines_);
        item->setText(0, r->name);
        if (auto role = tables_.roles.find(r->role)) {
            item->setText(1, role->name);
            item->setIcon(1, role_icon(tables_, r->role));
        }
        item->setText(2, time::format_time_of_day(r->start));
        item->setText(3, time::format_duration(r->duration));
        item->setText(4, r->description.simplified());
        QString tip = r->description;
        if (const time::recurrence* pattern = model::routine_pattern(tables_, r->id))
            tip = time::describe(*pattern) + (tip.isEmpty() ? QString() : QStringLiteral("\n") + tip);
        for (int c = 0; c < 5; ++c)
            item->setToolTip(c, tip);
    }
    routines_empty_->setVisible(routines_->topLevelItemCount() == 0);
    routines_->setVisible(routines_->topLevelItemCount() != 0);
}

std::int32_t habits_panel::selected_habit() const
{
    QTreeWidgetItem* item = habits_->currentItem();
    return item != nullptr && item->isSelected() ? item->data(0, Qt::UserRole).toInt() : 0;
}

void habits_panel::add_habit()
{
    store::habit_record h;
    h.type = model::habit_kind::role;
    h.points = 1;
    if (std::optional<store::habit_record> made = edit(h, true))
        history_.add_command(
            std::make_unique<history::add_entity_command<store::habit_record>>(tables_.habits, *made, describe_habit()));
}

void habits_panel::edit_habit()
{
    auto h = tables_.habits.find(selected_habit());
    if (!h)
        return;
    std::optional<store::habit_record> changed = edit(*h, false);
    if (changed && !(*changed == *h))
        history_.add_command(std::make_unique<history::modify_entity_command<store::habit_record>>(
            tables_.habits, *changed, describe_habit()));
}

void habits_panel::delete_habit()
{
    if (const std::int32_t id = selected_habit())
        history_.add_command(
            std::make_unique<history::delete_entity_command<store::habit_record>>(tables_.habits, id, describe_habit()));
}

void habits_panel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (refresh_pending_)
        refresh();
}

void habits_panel::schedule_refresh()
{
    // The points walk the tasks: a hidden tab counts them when it is shown.
    const bool was_pending = refresh_pending_;
    refresh_pending_ = true;
    if (was_pending || !isVisible())
        return;
    QTimer::singleShot(0, this, [this] {
        if (refresh_pending_ && isVisible())
            refresh();
    });
}

long habits_panel::on_announcement(const store::announcement& a)
{
    if (a.message == store::message::habit_base + store::message::changed ||
        a.message == store::message::routine_base + store::message::changed ||
        a.message == store::message::role_base + store::message::changed ||
        a.message == model::task_message::batch_ended)
        schedule_refresh();
    return 0;
}

}  // namespace qm::ui
