#pragma once
// The date-ordered lists of the Tasks tab: the task list (983) of every
// task, grouped by date unless the user turns the grouping off, and the
// upcoming list (964) of the coming days, with what is overdue first.

#include "ui/task_list_view.h"

namespace qm::ui {

// One heading per date in date order, then "No Date", then the recurring
// tasks' masters; each group in day order. Folders stay out.
std::vector<std::pair<time::stored_date, std::vector<model::task*>>> tasks_by_date(
    const std::vector<model::task*>& tasks);
// "Wednesday, March 11, 2026 — Today"; "No Date"; "Recurring Tasks".
QString date_heading(time::stored_date d);

class all_tasks_view : public task_list_view {
    Q_OBJECT
public:
    static constexpr int id = 983;
    all_tasks_view(task_list_parts parts, QString settings_file, QWidget* parent = nullptr);

    bool grouped() const { return grouped_; }
    void set_grouped(bool on);

protected:
    std::vector<task_group> collect() const override;
    QString range_text() const override { return range_; }
    void add_option_lines(std::vector<popup_line>& lines) override;
    void load_extra(const app::settings_document& doc) override;
    void save_extra(app::settings_document& doc) const override;

private:
    bool grouped_ = true;
    mutable QString range_;
};

class upcoming_view : public task_list_view {
    Q_OBJECT
public:
    static constexpr int id = 964;
    upcoming_view(task_list_parts parts, QString settings_file, QWidget* parent = nullptr);

    int days() const { return days_; }
    void set_days(int days);

protected:
    std::vector<task_group> collect() const override;
    QString range_text() const override;
    void add_option_lines(std::vector<popup_line>& lines) override;
    void load_extra(const app::settings_document& doc) override;
    void save_extra(app::settings_document& doc) const override;

private:
    int days_ = 14;
};

}  // namespace qm::ui
