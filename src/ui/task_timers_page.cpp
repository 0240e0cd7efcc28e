#include "ui/task_timers_page.h"

#include "time/format.h"
#include "tracking/task_timer.h"
#include "ui/tracked_time_editor.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace qm::ui {
namespace {

constexpr int index_role = Qt::UserRole;
constexpr int key_role = Qt::UserRole + 1;

// Sorts by the value behind the text: start, end or duration in seconds.
class entry_item : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() != nullptr ? treeWidget()->sortColumn() : 0;
        return data(column, key_role).toLongLong() < other.data(column, key_role).toLongLong();
    }
};

QString moment_text(time::stored_time t)
{
    return time::format_short_date(time::date_of(t)) + QLatin1Char(' ') +
           time::format_time_of_day(t - time::date_of(t));
}

}  // namespace

task_timers_page::task_timers_page(const task_page_context& context, QWidget* parent)
    : task_dialog_page(parent), context_(context)
{
    setObjectName(QStringLiteral("task_timers_page"));
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("tracked_times"));
    list_->setColumnCount(3);
    list_->setHeaderLabels({QStringLiteral("Start"), QStringLiteral("End"), QStringLiteral("Duration")});
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setSortingEnabled(true);
    list_->sortByColumn(0, Qt::AscendingOrder);
    // Each column a third of the list's width.
    list_->header()->setSectionResizeMode(QHeaderView::Stretch);
    list_->header()->setStretchLastSection(false);

    auto* add = new QPushButton(QStringLiteral("&Add..."), this);
    edit_button_ = new QPushButton(QStringLiteral("&Edit..."), this);
    delete_button_ = new QPushButton(QStringLiteral("&Delete"), this);
    connect(add, &QPushButton::clicked, this, &task_timers_page::add_entry);
    connect(edit_button_, &QPushButton::clicked, this, &task_timers_page::edit_selected);
    connect(delete_button_, &QPushButton::clicked, this, &task_timers_page::delete_selected);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { edit_selected(); });
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
        const bool any = !selected_indexes().empty();
        edit_button_->setEnabled(selected_indexes().size() == 1);
        delete_button_->setEnabled(any);
    });

    summary_ = new QLabel(this);
    summary_->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(edit_button_);
    buttons->addWidget(delete_button_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    layout->addWidget(summary_);

    edit_entry = [this](const tracking::TrackedTime& e,
                        const tracking::TrackedTime* run) -> std::optional<tracking::TrackedTime> {
        tracked_time_editor editor(e, run, this);
        if (editor.exec() != QDialog::Accepted)
            return std::nullopt;
        return editor.entry();
    };
}

QString task_timers_page::description() const
{
    return QStringLiteral("Track exactly when and how much time was spent realizing this task. Tracked times are "
                          "shown in the Schedule View and are used in the different reports.");
}

const tracking::TrackedTime* task_timers_page::running() const
{
    if (context_.timer == nullptr || !context_.timer->timed_task() || context_.timer->timed_task()->id != task_id_)
        return nullptr;
    return context_.timer->running_entry();
}

void task_timers_page::load(const model::task& t)
{
    task_id_ = t.id;
    entries_ = t.tracked_times.to_vector();
    fill();
}

bool task_timers_page::store(model::task& t, QString& error)
{
    (void)error;
    t.tracked_times = entries_;
    return true;
}

QString task_timers_page::summary() const { return summary_->text(); }

void task_timers_page::fill()
{
    const int column = list_->sortColumn();
    const Qt::SortOrder order = list_->header()->sortIndicatorOrder();
    list_->setSortingEnabled(false);
    list_->clear();
    const tracking::TrackedTime* run = running();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const tracking::TrackedTime& e = entries_[i];
        const bool is_running = run != nullptr && e.id == run->id;
        auto* item = new entry_item(list_);
        item->setText(0, moment_text(e.start));
        item->setText(1, is_running ? QStringLiteral("(running)") : moment_text(tracking::end_of(e)));
        item->setText(2, time::format_duration(e.duration, QString(), time::duration_options{true, false}));
        item->setData(0, index_role, static_cast<qulonglong>(i));
        item->setData(0, key_role, static_cast<qlonglong>(e.start));
        item->setData(1, key_role, static_cast<qlonglong>(tracking::end_of(e)));
        item->setData(2, key_role, static_cast<qlonglong>(e.duration));
        if (is_running) {
            QFont f = item->font(0);
            f.setBold(true);
            for (int c = 0; c < 3; ++c)
                item->setFont(c, f);
        } else if (run != nullptr && overlaps(e, *run)) {
            for (int c = 0; c < 3; ++c) {
                item->setForeground(c, QColor(176, 0, 32));
                item->setToolTip(c, QStringLiteral("This entry overlaps the running entry."));
            }
        }
        if (!e.caption.isEmpty())
            for (int c = 0; c < 3; ++c)
                item->setToolTip(c, e.caption);
    }
    list_->setSortingEnabled(true);
    list_->sortByColumn(column < 0 ? 0 : column, order);
    summary_->setText(tracking::tracked_time_summary(entries_));
    edit_button_->setEnabled(false);
    delete_button_->setEnabled(false);
}

void task_timers_page::sort_by(int column, Qt::SortOrder order) { list_->sortByColumn(column, order); }

std::vector<std::size_t> task_timers_page::selected_indexes() const
{
    std::vector<std::size_t> out;
    for (QTreeWidgetItem* item : list_->selectedItems())
        out.push_back(item->data(0, index_role).toULongLong());
    std::sort(out.begin(), out.end());
    return out;
}

void task_timers_page::add_entry()
{
    tracking::TrackedTime e;
    e.task = task_id_;
    e.type = tracking::entry_type::task_time;
    // Half an hour up to the current minute: the usual "I forgot to start it".
    // While timing, it ends where the running entry begins, so as not to overlap it.
    const time::stored_time now = time::now();
    time::stored_time end = now - now % 60;
    if (const tracking::TrackedTime* run = running())
        end = std::min(end, run->start);
    e.start = end - 1800;
    e.duration = 1800;
    if (const std::optional<tracking::TrackedTime> added = edit_entry(e, running())) {
        entries_.push_back(*added);
        fill();
    }
}

void task_timers_page::edit_selected()
{
    const std::vector<std::size_t> selected = selected_indexes();
    if (selected.size() != 1)
        return;
    tracking::TrackedTime& e = entries_[selected.front()];
    if (const tracking::TrackedTime* run = running(); run != nullptr && run->id == e.id) {
        summary_->setText(QStringLiteral("The running entry grows every second: stop its timer to edit it."));
        return;
    }
    if (const std::optional<tracking::TrackedTime> changed = edit_entry(e, running())) {
        e = *changed;
        fill();
    }
}

void task_timers_page::delete_selected()
{
    const std::vector<std::size_t> selected = selected_indexes();
    for (auto it = selected.rbegin(); it != selected.rend(); ++it)
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(*it));
    if (!selected.empty())
        fill();
}

}  // namespace qm::ui
