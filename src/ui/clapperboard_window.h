#pragma once
// The Clapperboard window: draws what the action menu says (its heading, the
// panel boxes and the timed task's progress, the lines of a menu mode, the
// entry field and task list of an entry mode) and hands the keys to it. The
// embedded lists keep their column widths in "action_menu.ini". Main thread
// only.

#include "tracking/action_menu.h"
#include "tracking/panel_boxes.h"

#include <QTimer>
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;
class QVBoxLayout;
class QFrame;

namespace qm::ui {

class time_spent_panel;

class clapperboard_window : public QWidget {
    Q_OBJECT
public:
    static constexpr int refresh_ms = 500;

    clapperboard_window(tracking::action_menu& menu, const model::task_store& store, const tracking::task_timer& timer,
                        const tracking::schedule_candidate_source* schedule, const tracking::alarm_port* const* alarms,
                        QString settings_file, QWidget* parent = nullptr);
    ~clapperboard_window() override;

    // Redraws from the menu: its mode, lines, boxes and message.
    void refresh();
    // The daily report's panel, shown in the report mode; the window owns it.
    void set_report(time_spent_panel* report);
    time_spent_panel* report() const { return report_; }
    // The parts tests look at.
    QLineEdit* line() const { return line_; }
    QPlainTextEdit* comment_field() const { return comment_; }
    QTreeWidget* task_list() const { return list_; }
    QString shown_text() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool handle_key(QKeyEvent* event);
    void typed(const QString& text);
    void fill_task_list();
    void fill_break_down_list();
    void refresh_panel();
    void save_columns();
    void load_columns();

    tracking::action_menu& menu_;
    const model::task_store& store_;
    const tracking::task_timer& timer_;
    const tracking::schedule_candidate_source* schedule_;
    const tracking::alarm_port* const* alarms_;
    QString settings_file_;

    QLabel* header_ = nullptr;
    QFrame* panel_ = nullptr;
    std::vector<std::pair<QLabel*, QLabel*>> boxes_;     // caption, line
    std::vector<std::pair<QLabel*, QLabel*>> progress_;  // caption, value
    QLabel* lines_ = nullptr;
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* comment_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLabel* hint_ = nullptr;
    QLabel* message_ = nullptr;
    time_spent_panel* report_ = nullptr;
    QTimer refresh_timer_;
    int shown_mode_ = -1;
    bool filling_ = false;
    std::vector<int> task_columns_, break_down_columns_;
};

}  // namespace qm::ui
