#pragma once
// The Overview tab (view 935): the habits with the points they earned today
// and in the last seven days, added, edited and deleted undoably; and the
// routines, shown as they are kept (name, role, start and span).

#include "history/history.h"
#include "store/announcements.h"
#include "ui/habit_dialog.h"
#include "ui/view.h"

#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace qm::ui {

class overview_view : public view, public store::listener {
    Q_OBJECT
public:
    static constexpr int id = 935;

    overview_view(const habit_sources& sources, store::tables& tables, history::history& history,
                  std::vector<toolbar_button> buttons, QWidget* parent = nullptr);
    ~overview_view() override;

    std::vector<toolbar_button> buttons() const override { return buttons_; }

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
    std::vector<toolbar_button> buttons_;
    QTreeWidget* habits_ = nullptr;
    QTreeWidget* routines_ = nullptr;
    QLabel* routines_empty_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* delete_ = nullptr;
    bool refresh_pending_ = false;
};

}  // namespace qm::ui
