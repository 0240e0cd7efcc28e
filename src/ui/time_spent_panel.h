#pragma once
// The time-spent report as a panel: "Role Balance", the range buttons, the
// role balance graphic in the roles' colours, and the four headed groups of
// rows, each with its duration and a bar scaled to the largest time of the
// report. Shown in the Overview and in the Clapperboard's daily report.

#include "schedule/time_spent.h"
#include "store/announcements.h"

#include <QWidget>

class QButtonGroup;
class QLabel;

namespace qm::ui {

// The graphic: each role's share in its colour along one bar whose full
// length is the report's scale; what is left of the scale stays empty.
class role_balance_bar : public QWidget {
    Q_OBJECT
public:
    explicit role_balance_bar(QWidget* parent = nullptr);
    void set_report(const schedule::time_spent_report& r);
    // The part of the bar a share covers, for the widget's own rectangle.
    QRectF share_rect(std::size_t share) const;
    QSize sizeHint() const override { return {360, 44}; }
    QSize minimumSizeHint() const override { return {120, 36}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRect bar_rect() const;
    std::vector<schedule::report_row> shares_;
    std::int64_t scale_ = 0;
};

// The headed groups of rows, drawn as a list.
class time_spent_rows : public QWidget {
    Q_OBJECT
public:
    explicit time_spent_rows(QWidget* parent = nullptr);
    void set_report(const schedule::time_spent_report& r);
    // The bar of a row of a shown group, in the widget's coordinates.
    QRectF bar_rect(std::size_t group, std::size_t row) const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {200, 40}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int row_height() const;
    int name_width() const;
    schedule::time_spent_report report_;
};

class time_spent_panel : public QWidget, public store::listener {
    Q_OBJECT
public:
    time_spent_panel(const schedule::report_sources& sources, QWidget* parent = nullptr);
    ~time_spent_panel() override;

    void set_range(int range);
    int range() const { return range_; }
    const schedule::time_spent_report& report() const { return report_; }
    role_balance_bar* balance() const { return balance_; }
    time_spent_rows* rows() const { return rows_; }
    void refresh();

    long on_announcement(const store::announcement& a) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void schedule_refresh();

    schedule::report_sources sources_;
    schedule::time_spent_report report_;
    int range_ = schedule::report_range::today;
    QButtonGroup* buttons_ = nullptr;
    QLabel* days_ = nullptr;
    QLabel* empty_ = nullptr;
    role_balance_bar* balance_ = nullptr;
    time_spent_rows* rows_ = nullptr;
    bool refresh_pending_ = false;
};

}  // namespace qm::ui
