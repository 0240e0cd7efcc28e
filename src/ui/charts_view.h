#pragma once
// The Charts tab (view 186): the chosen series of the selected range (and,
// with "Projects", of each project) as a line chart, a bar chart or
// counters, by day, week or month, over a range picked from the range menu;
// beside it the summary table ending in "Total" and the series to choose
// from. Everything chosen is kept in "charts.ini". Printable.

#include "schedule/chart_data.h"
#include "store/announcements.h"
#include "ui/view.h"

#include <map>

class QLabel;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace qm::model {
class project_store;
class task_store;
}  // namespace qm::model

namespace qm::ui {

class chart_canvas;

namespace chart_cmd {
constexpr int counters = 40316, line_chart = 40327, bar_chart = 40328;
constexpr int by_day = 40319, by_week = 40321, by_month = 40323, range = 40120;
// The "Projects" switch of this tab has its own id: 40997 is the Projects tab.
constexpr int projects = 41330;
}  // namespace chart_cmd

class charts_view : public view, public store::listener {
    Q_OBJECT
public:
    static constexpr int id = 186;

    charts_view(const model::task_store& tasks, const model::project_store& projects, QString settings_file,
                QWidget* parent = nullptr);
    ~charts_view() override;

    std::vector<toolbar_button> buttons() const override;
    bool handle_command(int command) override;
    bool handles(int command) const override;
    void save_state() override;
    bool printable() const override { return true; }
    long on_announcement(const store::announcement& a) override;

    // What the user can choose, for the toolbar, the menus and tests.
    void choose_range(const QString& name);
    void set_granularity(int g);
    void set_display(int display);
    void set_counters(bool on);
    void set_projects(bool on);
    void set_series_visible(std::int32_t project, std::size_t index, bool visible);
    void add_series(std::int32_t project, int kind);
    void remove_series(std::int32_t project, std::size_t index);

    const QString& range_name() const { return range_name_; }
    schedule::chart_range range() const;
    int granularity() const { return granularity_; }
    // The groups the chart shows: the selected range, then (with Projects)
    // one per project in the order of the project list.
    std::vector<schedule::series_group> shown_groups() const;
    chart_canvas& canvas() const { return *canvas_; }
    QTableWidget* summary() const { return summary_; }
    QTreeWidget* series_list() const { return series_; }
    QString caption() const;

    void refresh();

private:
    schedule::series_group* group_of(std::int32_t project);
    void fill_series_list();
    void fill_summary();
    void sync_buttons();
    void range_menu();
    void series_menu(const QPoint& pos);
    void load_settings();
    void changed();
    void schedule_refresh();
    void print(bool preview);
    QString project_caption(std::int32_t project) const;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const model::task_store& tasks_;
    const model::project_store& projects_;
    QString settings_file_;
    QLabel* caption_ = nullptr;
    QLabel* dates_ = nullptr;
    chart_canvas* canvas_ = nullptr;
    QTableWidget* summary_ = nullptr;
    QTreeWidget* series_ = nullptr;

    schedule::series_group range_group_;
    std::map<std::int32_t, schedule::series_group> project_groups_;
    QString range_name_ = QStringLiteral("Last 7 Days");
    int granularity_ = schedule::granularity::by_day;
    int display_ = 1;  // bar chart
    bool counters_ = false;
    bool show_projects_ = false;
    bool refresh_pending_ = false;
    bool filling_ = false;
};

}  // namespace qm::ui
