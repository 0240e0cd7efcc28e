#pragma once
// The list beside a calendar of the date's unscheduled to-dos: each one can
// be dragged onto a slot of the calendar to become an appointment there or
// to be scheduled from that time on.

#include "model/task_store.h"

#include <QListWidget>

namespace qm::ui {

namespace calendar_list_filter {
constexpr int undated = 0x1;    // the undated to-dos too, to plan them
constexpr int finished = 0x2;   // finished, canceled and delegated ones too
}  // namespace calendar_list_filter

class calendar_task_list : public QListWidget {
    Q_OBJECT
public:
    explicit calendar_task_list(model::task_store& tasks, QWidget* parent = nullptr);

    // Rebuilds the rows for the date, keeping the selected tasks selected.
    void show_date(time::stored_date date, int filters);
    time::stored_date date() const { return date_; }
    std::int32_t task_at(int row) const;
    std::vector<std::int32_t> selected_tasks() const;
    int row_of(std::int32_t task) const;
    // The to-dos the list would show for a date: unfinished (unless the
    // filter says otherwise) and without a fixed time of their own.
    static bool shows(const model::task& t, int filters);

protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;

private:
    void add_row(const model::task& t, bool undated);

    model::task_store& tasks_;
    time::stored_date date_ = 0;
};

}  // namespace qm::ui
