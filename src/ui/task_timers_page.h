#pragma once
// The Timers page of the task dialog: the task's tracked times with their
// start, end and duration, sortable by each, added, edited and deleted on the
// working copy, and the summary line below.

#include "ui/task_dialog.h"
#include "tracking/tracked_time.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace qm::ui {

class task_timers_page : public task_dialog_page {
    Q_OBJECT
public:
    task_timers_page(const task_page_context& context, QWidget* parent = nullptr);
    QString title() const override { return QStringLiteral("Timers"); }
    QString description() const override;
    void load(const model::task& t) override;
    bool store(model::task& t, QString& error) override;

    const std::vector<tracking::TrackedTime>& entries() const { return entries_; }
    QTreeWidget* list() const { return list_; }
    QString summary() const;
    // Sorts by column 0 start, 1 end, 2 duration.
    void sort_by(int column, Qt::SortOrder order);

    // The entry editor, replaceable by tests; returns the entry or nothing.
    std::function<std::optional<tracking::TrackedTime>(const tracking::TrackedTime& entry,
                                                       const tracking::TrackedTime* running)>
        edit_entry;

    void add_entry();
    void edit_selected();
    void delete_selected();

private:
    void fill();
    std::vector<std::size_t> selected_indexes() const;
    const tracking::TrackedTime* running() const;

    task_page_context context_;
    std::int32_t task_id_ = 0;
    std::vector<tracking::TrackedTime> entries_;
    QTreeWidget* list_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* edit_button_ = nullptr;
    QPushButton* delete_button_ = nullptr;
};

}  // namespace qm::ui
