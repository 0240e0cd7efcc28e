#pragma once
// The notifications pane of the Day view: for the date shown, its alarms,
// deadlines and "schedule before" constraints, each with what it is, when
// it is due and a live countdown in colours from red (due) to green (four
// hours or more). Rows are rebuilt on every alarm and task change; a repaint
// each second moves the countdowns. Writes only through the undoable
// commands. Main thread only.

#include "history/task_commands.h"
#include "store/announcements.h"
#include "tracking/alarm_store.h"

#include <QTimer>
#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;

namespace qm::ui {

class alarm_service;

class notifications_pane : public QWidget, public store::listener {
    Q_OBJECT
public:
    enum kind { alarm_row = 3, deadline_row = 30, constraint_row = 31, header_row = 15 };
    struct row {
        int kind = 0;
        std::int32_t id = 0;  // the alarm, the task, or the group (30, 20, 40)
        bool operator==(const row& o) const { return kind == o.kind && id == o.id; }
    };

    notifications_pane(model::task_store& tasks, alarm_service& alarms, history::task_commands& commands,
                       history::history& history, QWidget* parent = nullptr);
    ~notifications_pane() override;

    void set_date(time::stored_date d);
    time::stored_date date() const { return date_; }
    void rebuild();
    // Texts and countdowns again, as the second changes.
    void repaint_rows();

    QTreeWidget* tree() const { return tree_; }
    // Every row in shown order, headers included.
    std::vector<row> rows() const;
    QString text_of(const row& r, int column) const;
    QColor countdown_color(const row& r) const;
    std::vector<row> selected_rows() const;
    void select(const row& r);

    // The pane's commands.
    void remove_selected();
    void properties_of_selected();
    void new_alarm();

    // The colour of a countdown of c seconds.
    static QColor countdown_color(std::int64_t c);

    long on_announcement(const store::announcement& a) override;

protected:
    // Delete removes, Enter opens the selected alarm.
    bool eventFilter(QObject* o, QEvent* e) override;
    void showEvent(QShowEvent* event) override;

private:
    struct texts {
        QString title, second, countdown;
        std::optional<std::int64_t> seconds_left;
    };
    texts texts_of(const row& r) const;
    std::optional<time::stored_time> due_of(const row& r) const;
    model::task_ptr task_of(const row& r) const;
    void context_menu(const QPoint& at);
    void schedule_rebuild();
    static row row_of(const QTreeWidgetItem* item);

    model::task_store& tasks_;
    alarm_service& alarms_;
    history::task_commands& commands_;
    history::history& history_;
    time::stored_date date_ = 0;
    QTreeWidget* tree_ = nullptr;
    QTimer repaint_;
    bool rebuild_pending_ = false;
    // Tasks with a deadline on the shown date: read from every task only when
    // the date changes, then kept up to date from the change announcements,
    // so that a change costs what the day holds, not what the file holds.
    std::vector<std::int32_t> deadline_ids_;
    time::stored_date deadline_date_ = -1;
    bool batch_touches_day_ = false;
    bool touches_day(const model::task& t) const;
    void note_deadline(std::int32_t id, const model::task* now);
};

}  // namespace qm::ui
