#pragma once
// The Overview tab's lower part: the habits with the points they earned
// today and in the last seven days, added, edited and deleted undoably; and
// the routines, shown as they are kept (name, role, start and span).

#include "history/history.h"
#include "store/announcements.h"
#include "ui/habit_dialog.h"
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace qm::ui {

class habits_panel : public QWidget, public store::listener {
    Q_OBJECT
public:
    habits_panel(const habit_sources& sources, store::tables& tables, history::history& history,
                 QWidget* parent = nullptr);
    ~habits_panel() override;

    QTreeWidget* habits() const { return habits_; }
    QTreeWidget* routines() const { return routines_; }
    void add_habit();
    void edit_habit();
    void delete_habit();
    void refresh();

    // The habit dialog, replaceable by tests: the habit, or nothing.
    std::function<std::optional<store::habit_record>(const store::habit_record& h, bool adding)> edit;

    long on_announcement(const store::announcement& a) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fill_routines();
    std::int32_t selected_habit() const;
    void schedule_refresh();

    habit_sources sources_;
    store::tables& tables_;
    history::history& history_;
    QTreeWidget* habits_ = nullptr;
    QTreeWidget* routines_ = nullptr;
    QLabel* routines_empty_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* delete_ = nullptr;
    bool refresh_pending_ = false;
};

}  // namespace qm::ui
