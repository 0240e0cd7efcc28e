#pragma once
// The drawing of the Charts tab: the periods' backgrounds, the visible
// series as lines or bars (each scaled to its own largest value), their
// values printed as counters on request, the axis labels and, by week, the
// band of month names. The same drawing serves the screen and the printer;
// a tooltip on a point or bar names its period and value.

#include "schedule/chart_data.h"

#include <QWidget>

#include <functional>

namespace qm::ui {

namespace chart_display {
constexpr int line = 0;
constexpr int bar = 1;
}  // namespace chart_display

class chart_canvas : public QWidget {
    Q_OBJECT
public:
    explicit chart_canvas(QWidget* parent = nullptr);

    void set_chart(schedule::chart_data data, std::vector<schedule::series_group> groups, int display, bool counters);
    const schedule::chart_data& data() const { return data_; }
    int display() const { return display_; }
    bool counters() const { return counters_; }

    // Where things go inside an area, for the fonts of fm.
    struct geometry {
        QRect plot;           // the periods' columns
        QRect band;           // the month band (by week), empty otherwise
        QRect labels;         // the axis labels under the plot
        double column = 0.0;  // the width of one period
        int pad = 0;          // room above the largest value
    };
    geometry layout(const QRect& area, const QFontMetrics& fm) const;
    // The flat indices of the visible series, in order.
    std::vector<int> visible_series() const;
    // A line's point, or the middle of a bar's top, of series s in period b.
    QPointF point_at(int s, int b, const geometry& g) const;
    QRectF bar_at(int s, int b, const geometry& g) const;
    QColor color_of(int s) const;
    QString series_name(int s) const;

    // Draws the whole chart into area.
    void render(QPainter& p, const QRect& area) const;
    // The tooltip's text at a position of the widget, empty off every point.
    QString tip_at(const QPoint& pos) const;

    // Names a project's group ("Garden: Total time"); set by the view.
    std::function<QString(std::int32_t project)> project_name;

    QSize sizeHint() const override { return {640, 360}; }
    QSize minimumSizeHint() const override { return {160, 120}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    void draw_backgrounds(QPainter& p, const geometry& g) const;
    void draw_labels(QPainter& p, const geometry& g) const;
    void draw_series(QPainter& p, const geometry& g) const;
    QString legend_text(int s) const;
    std::vector<QPointF> legend_places(const QRect& area, const QFontMetrics& fm) const;

    schedule::chart_data data_;
    std::vector<schedule::series_group> groups_;
    int display_ = chart_display::bar;
    bool counters_ = false;
};

}  // namespace qm::ui
