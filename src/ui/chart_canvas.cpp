#include "ui/chart_canvas.h"

#include "model/role_store.h"

#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace qm::ui {
namespace {

// Room above the highest point, so its counter or marker is not cut off.
int top_pad(const QFontMetrics& fm) { return fm.height() + 4; }

int label_lines(int granularity) { return granularity == schedule::granularity::by_day ? 3 : 2; }

}  // namespace

chart_canvas::chart_canvas(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("chart"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void chart_canvas::set_chart(schedule::chart_data data, std::vector<schedule::series_group> groups, int display,
                             bool counters)
{
    data_ = std::move(data);
    groups_ = std::move(groups);
    display_ = display;
    counters_ = counters;
    update();
}

std::vector<int> chart_canvas::visible_series() const
{
    std::vector<int> out;
    for (std::size_t i = 0; i < data_.series.size(); ++i) {
        const schedule::series_ref& r = data_.series[i];
        if (r.group < groups_.size() && r.index < groups_[r.group].series.size() &&
            groups_[r.group].series[r.index].visible)
            out.push_back(static_cast<int>(i));
    }
    return out;
}

QColor chart_canvas::color_of(int s) const
{
    const schedule::series_ref& r = data_.series[static_cast<std::size_t>(s)];
    const std::int32_t c = groups_[r.group].series[r.index].color;
    return {model::red_of(c), model::green_of(c), model::blue_of(c)};
}

QString chart_canvas::series_name(int s) const
{
    const schedule::series_ref& r = data_.series[static_cast<std::size_t>(s)];
    const QString label = schedule::series_label(groups_[r.group].series[r.index].kind);
    const std::int32_t project = groups_[r.group].project;
    if (project == 0 || !project_name)
        return label;
    return project_name(project) + QStringLiteral(": ") + label;
}

QString chart_canvas::legend_text(int s) const
{
    return QStringLiteral("%1 (max %2)").arg(series_name(s), schedule::value_text(data_.largest[static_cast<std::size_t>(s)]));
}

// The legend's entries wrap onto as many lines as the width needs.
std::vector<QPointF> chart_canvas::legend_places(const QRect& area, const QFontMetrics& fm) const
{
    std::vector<QPointF> out;
    double x = area.left() + 8;
    double y = area.top() + 4;
    for (int s : visible_series()) {
        const double w = 14 + fm.horizontalAdvance(legend_text(s));
        if (x + w > area.right() - 8 && x > area.left() + 8) {
            x = area.left() + 8;
            y += fm.height() + 2;
        }
        out.emplace_back(x, y);
        x += w + 16;
    }
    return out;
}

chart_canvas::geometry chart_canvas::layout(const QRect& area, const QFontMetrics& fm) const
{
    geometry g;
    const std::vector<QPointF> places = legend_places(area, fm);
    const int legend = (places.empty() ? 0 : static_cast<int>(places.back().y()) - area.top() - 4) + fm.height() + 8;
    const int labels = label_lines(data_.granularity) * fm.height() + 6;
    const int band = data_.granularity == schedule::granularity::by_week ? fm.height() + 6 : 0;
    const QRect inner = area.adjusted(8, legend, -8, 0);
    g.labels = QRect(inner.left(), inner.bottom() - labels + 1, inner.width(), labels);
    g.band = band != 0 ? QRect(inner.left(), g.labels.top() - band, inner.width(), band) : QRect();
    const int plot_bottom = (band != 0 ? g.band.top() : g.labels.top()) - 1;
    g.plot = QRect(QPoint(inner.left(), inner.top()), QPoint(inner.right(), plot_bottom));
    g.pad = top_pad(fm);
    if (!data_.buckets.empty())
        g.column = static_cast<double>(g.plot.width()) / static_cast<double>(data_.buckets.size());
    return g;
}

QPointF chart_canvas::point_at(int s, int b, const geometry& g) const
{
    const auto si = static_cast<std::size_t>(s);
    const double value = data_.values[si][static_cast<std::size_t>(b)];
    const double largest = data_.largest[si];
    const double top = g.plot.top() + g.pad;
    const double height = g.plot.bottom() - top;
    const double y = largest > 0 ? g.plot.bottom() - value / largest * height : g.plot.bottom();
    if (display_ == chart_display::bar && !counters_) {
        const QRectF r = bar_at(s, b, g);
        return {r.center().x(), y};
    }
    return {g.plot.left() + (b + 0.5) * g.column, y};
}

QRectF chart_canvas::bar_at(int s, int b, const geometry& g) const
{
    const std::vector<int> shown = visible_series();
    const auto at = std::find(shown.begin(), shown.end(), s);
    if (at == shown.end())
        return {};
    const double width = g.column * 0.8 / static_cast<double>(shown.size());
    const double x = g.plot.left() + b * g.column + g.column * 0.1 + static_cast<double>(at - shown.begin()) * width;
    const auto si = static_cast<std::size_t>(s);
    const double value = data_.values[si][static_cast<std::size_t>(b)];
    const double largest = data_.largest[si];
    const double top = g.plot.top() + g.pad;
    const double height = g.plot.bottom() - top;
    const double y = largest > 0 ? g.plot.bottom() - value / largest * height : g.plot.bottom();
    return QRectF(x, y, width, g.plot.bottom() - y);
}

void chart_canvas::draw_backgrounds(QPainter& p, const geometry& g) const
{
    for (std::size_t b = 0; b < data_.buckets.size(); ++b) {
        const schedule::chart_bucket& k = data_.buckets[b];
        QColor c;
        switch (data_.granularity) {
        case schedule::granularity::by_week:
            c = time::week_number(schedule::week_of(k)) % 8 < 4 ? QColor(242, 242, 242) : QColor(224, 224, 224);
            break;
        case schedule::granularity::by_month: {
            // Each month its own grey (255 − 21 × month), laid thinly over
            // white so that December stays light enough to read the series.
            const int level = 255 - 21 * time::fields(k.last).month;
            const int shade = 255 - (255 - level) * 2 / 5;
            c = QColor(shade, shade, shade);
            break;
        }
        default: {
            const int weekday = time::fields(k.last).weekday;
            c = weekday == 1 || weekday == 7 ? QColor(222, 222, 222) : QColor(246, 246, 246);
            break;
        }
        }
        const double x0 = g.plot.left() + static_cast<double>(b) * g.column;
        p.fillRect(QRectF(x0, g.plot.top(), g.column + 0.5, g.plot.height()), c);
    }
    p.setPen(QColor(160, 160, 160));
    p.drawLine(g.plot.bottomLeft(), g.plot.bottomRight());
}

void chart_canvas::draw_labels(QPainter& p, const geometry& g) const
{
    const QFontMetrics fm = p.fontMetrics();
    int widest = 0;
    for (const schedule::chart_bucket& k : data_.buckets)
        for (const QString& line : schedule::bucket_label(k, data_.granularity).split(QLatin1Char('\n')))
            widest = std::max(widest, fm.horizontalAdvance(line));
    // Labels that would run into each other are thinned out, the last kept.
    const int step = std::max(1, static_cast<int>(std::ceil((widest + 8) / std::max(1.0, g.column))));
    const int count = static_cast<int>(data_.buckets.size());
    p.setPen(palette().color(QPalette::WindowText));
    for (int b = count - 1; b >= 0; b -= step) {
        const double x = g.plot.left() + (b + 0.5) * g.column;
        const QRectF r(x - widest / 2.0 - 4, g.labels.top() + 3, widest + 8, g.labels.height() - 3);
        p.drawText(r, Qt::AlignHCenter | Qt::AlignTop,
                   schedule::bucket_label(data_.buckets[static_cast<std::size_t>(b)], data_.granularity));
    }
    if (g.band.isEmpty())
        return;
    // By week: the months named above the axis, each over its weeks.
    int from = 0;
    for (int b = 1; b <= count; ++b) {
        const QString name = schedule::month_band_label(data_.buckets[static_cast<std::size_t>(from)]);
        if (b < count && schedule::month_band_label(data_.buckets[static_cast<std::size_t>(b)]) == name)
            continue;
        const QRectF r(g.plot.left() + from * g.column, g.band.top(), (b - from) * g.column, g.band.height());
        p.setPen(QColor(150, 150, 150));
        p.drawLine(QPointF(r.left(), r.top() + 2), QPointF(r.left(), r.bottom() - 2));
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(r, Qt::AlignCenter, fm.elidedText(name, Qt::ElideRight, static_cast<int>(r.width()) - 4));
        from = b;
    }
}

void chart_canvas::draw_series(QPainter& p, const geometry& g) const
{
    const std::vector<int> shown = visible_series();
    const int count = static_cast<int>(data_.buckets.size());
    const QFontMetrics fm = p.fontMetrics();
    if (counters_) {
        // The values as numbers: in each period one line per series, a
        // swatch of its colour before the number.
        const int line = fm.height() + 2;
        for (int b = 0; b < count; ++b) {
            const double x = g.plot.left() + b * g.column;
            for (std::size_t i = 0; i < shown.size(); ++i) {
                const int s = shown[i];
                const QRectF r(x + 3, g.plot.top() + 4 + static_cast<double>(i) * line, g.column - 6, line);
                p.fillRect(QRectF(r.left(), r.center().y() - 4, 8, 8), color_of(s));
                p.setPen(palette().color(QPalette::WindowText));
                p.drawText(r.adjusted(11, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                           schedule::value_text(data_.values[static_cast<std::size_t>(s)][static_cast<std::size_t>(b)]));
            }
        }
        return;
    }
    for (int s : shown) {
        const QColor c = color_of(s);
        if (display_ == chart_display::bar) {
            for (int b = 0; b < count; ++b) {
                const QRectF r = bar_at(s, b, g);
                if (r.height() > 0)
                    p.fillRect(r, c);
            }
            continue;
        }
        QPainterPath path;
        for (int b = 0; b < count; ++b) {
            const QPointF pt = point_at(s, b, g);
            b == 0 ? path.moveTo(pt) : path.lineTo(pt);
        }
        p.setPen(QPen(c, 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        if (g.column >= 6) {
            p.setPen(Qt::NoPen);
            p.setBrush(c);
            for (int b = 0; b < count; ++b)
                p.drawEllipse(point_at(s, b, g), 3.5, 3.5);
        }
    }
}

void chart_canvas::render(QPainter& p, const QRect& area) const
{
    p.save();
    p.fillRect(area, palette().color(QPalette::Base));
    p.setFont(font());
    const QFontMetrics fm = p.fontMetrics();
    if (schedule::no_data(data_, groups_)) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(area, Qt::AlignCenter, QStringLiteral("<No Data>"));
        p.restore();
        return;
    }
    const geometry g = layout(area, fm);
    draw_backgrounds(p, g);

    // The legend: each visible series with the largest value that scales it.
    const std::vector<int> shown = visible_series();
    const std::vector<QPointF> places = legend_places(area, fm);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const QPointF at = places[i];
        p.fillRect(QRectF(at.x(), at.y() + (fm.height() - 10) / 2.0, 10, 10), color_of(shown[i]));
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QPointF(at.x() + 14, at.y() + fm.ascent()), legend_text(shown[i]));
    }

    p.setRenderHint(QPainter::Antialiasing, display_ == chart_display::line && !counters_);
    p.setClipRect(g.plot.adjusted(0, 0, 0, 4));
    draw_series(p, g);
    p.setClipping(false);
    p.setRenderHint(QPainter::Antialiasing, false);
    draw_labels(p, g);
    p.restore();
}

void chart_canvas::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    render(p, rect());
}

QString chart_canvas::tip_at(const QPoint& pos) const
{
    if (schedule::no_data(data_, groups_))
        return {};
    const geometry g = layout(rect(), fontMetrics());
    if (g.column <= 0 || pos.x() < g.plot.left() || pos.x() > g.plot.right())
        return {};
    const int b = std::clamp(static_cast<int>((pos.x() - g.plot.left()) / g.column), 0,
                             static_cast<int>(data_.buckets.size()) - 1);
    const std::vector<int> shown = visible_series();
    int found = -1;
    if (counters_) {
        const int line = fontMetrics().height() + 2;
        const int i = (pos.y() - g.plot.top() - 4) / line;
        if (pos.y() >= g.plot.top() + 4 && i >= 0 && i < static_cast<int>(shown.size()))
            found = shown[static_cast<std::size_t>(i)];
    } else if (display_ == chart_display::bar) {
        for (int s : shown)
            if (bar_at(s, b, g).adjusted(0, -3, 0, 0).contains(pos))
                found = s;
    } else {
        double best = 8.0;
        for (int s : shown) {
            const QPointF d = point_at(s, b, g) - QPointF(pos);
            const double distance = std::hypot(d.x(), d.y());
            if (distance <= best) {
                best = distance;
                found = s;
            }
        }
    }
    if (found < 0)
        return {};
    const schedule::series_ref& r = data_.series[static_cast<std::size_t>(found)];
    const int kind = groups_[r.group].series[r.index].kind;
    const double v = data_.values[static_cast<std::size_t>(found)][static_cast<std::size_t>(b)];
    return QStringLiteral("%1\n%2: %3%4")
        .arg(schedule::bucket_caption(data_.buckets[static_cast<std::size_t>(b)], data_.granularity), series_name(found),
             schedule::value_text(v), schedule::series_in_hours(kind) ? QStringLiteral(" hours") : QString());
}

bool chart_canvas::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = tip_at(help->pos());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(event);
}

}  // namespace qm::ui
