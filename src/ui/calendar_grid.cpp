#include "ui/calendar_grid.h"

#include "time/format.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QHelpEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace qm::ui {
namespace {

constexpr int day_seconds = 86400;
constexpr int edge = 5;  // pixels of a box's top and bottom that resize it

QColor blend(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

bool is_dark(const QPalette& p) { return p.color(QPalette::Base).lightness() < 128; }

// The three kinds' hues, mixed into the palette's base so that a dark theme
// keeps them dark and the palette's text stays readable on them.
QColor kind_hue(int kind)
{
    switch (kind) {
    case calendar_kind::block: return QColor(60, 170, 90);
    case calendar_kind::tracked: return QColor(230, 140, 30);
    default: return QColor(60, 120, 220);
    }
}

QList<std::int32_t> dragged_ids(const QMimeData* data)
{
    QList<std::int32_t> ids;
    if (data == nullptr || !data->hasFormat(QLatin1String(calendar_drag_mime())))
        return ids;
    for (const QByteArray& line : data->data(QLatin1String(calendar_drag_mime())).split('\n')) {
        bool ok = false;
        const int id = line.trimmed().toInt(&ok);
        if (ok && id > 0)
            ids << id;
    }
    return ids;
}

}  // namespace

calendar_grid::calendar_grid(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("calendar_grid"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setMouseTracking(true);
    verticalScrollBar()->setSingleStep(12);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(), [this] { viewport()->update(); });
    first_ = time::start_of_week(time::today());
}

void calendar_grid::set_days(time::stored_date first, int count)
{
    first_ = time::date_of(first);
    count_ = std::max(1, count);
    range_ = {};
    drag_ = {};
    viewport()->update();
}

void calendar_grid::set_items(std::vector<calendar_item> items)
{
    items_ = std::move(items);
    if (drag_.item >= 0) {
        // New items while a box is dragged: follow it, or let go when it is gone.
        drag_.item = -1;
        for (int i = 0; i < static_cast<int>(items_.size()); ++i)
            if (items_[i].kind == calendar_kind::appointment && items_[i].task == drag_.task)
                drag_.item = i;
        if (drag_.item < 0)
            drag_ = {};
    }
    lay_out_lanes();
    viewport()->update();
}

void calendar_grid::set_bands(int working_start, int working_end, int sleeping_start, int sleeping_end)
{
    working_start_ = working_start;
    working_end_ = working_end;
    sleeping_start_ = sleeping_start;
    sleeping_end_ = sleeping_end;
    viewport()->update();
}

void calendar_grid::set_now(time::stored_time now)
{
    now_ = now;
    viewport()->update();
}

void calendar_grid::set_current_day(int day)
{
    current_day_ = day;
    viewport()->update();
}

void calendar_grid::set_hour_height(int pixels)
{
    const int top = first_visible_second();
    hour_height_ = std::clamp(pixels, 16, 240);
    lay_out_lanes();
    update_scroll_range();
    scroll_to_second(top);
    viewport()->update();
}

int calendar_grid::first_visible_second() const
{
    return static_cast<int>(static_cast<std::int64_t>(verticalScrollBar()->value()) * 3600 / hour_height_);
}

void calendar_grid::scroll_to_second(int second)
{
    verticalScrollBar()->setValue(static_cast<int>(static_cast<std::int64_t>(second) * hour_height_ / 3600));
}

void calendar_grid::set_selected_range(const calendar_range& r)
{
    range_ = r;
    selected_kind_ = -1;
    viewport()->update();
    emit selection_changed();
}

const calendar_item* calendar_grid::selected_item() const
{
    if (selected_kind_ < 0)
        return nullptr;
    for (const calendar_item& i : items_)
        if (i.kind == selected_kind_ && i.task == selected_task_ && i.entry == selected_entry_)
            return &i;
    return nullptr;
}

void calendar_grid::select_index(int index)
{
    range_ = {};
    if (index < 0 || index >= static_cast<int>(items_.size())) {
        selected_kind_ = -1;
    } else {
        selected_kind_ = items_[index].kind;
        selected_task_ = items_[index].task;
        selected_entry_ = items_[index].entry;
    }
    viewport()->update();
    emit selection_changed();
}

bool calendar_grid::select_task(std::int32_t task)
{
    int found = -1;
    for (int i = 0; i < static_cast<int>(items_.size()); ++i)
        if (items_[i].task == task && items_[i].kind != calendar_kind::tracked &&
            (found < 0 || items_[i].kind < items_[found].kind))
            found = i;
    if (found < 0)
        return false;
    select_index(found);
    const int visible = (viewport()->height() - header_height()) * 3600 / hour_height_;
    const int top = first_visible_second();
    if (items_[found].start < top || items_[found].start > top + visible - 1800)
        scroll_to_second(std::max(0, items_[found].start - 1800));
    return true;
}

void calendar_grid::select_entry(std::int32_t entry)
{
    for (int i = 0; i < static_cast<int>(items_.size()); ++i)
        if (items_[i].kind == calendar_kind::tracked && items_[i].entry == entry)
            select_index(i);
}

void calendar_grid::clear_selection()
{
    range_ = {};
    selected_kind_ = -1;
    viewport()->update();
    emit selection_changed();
}

// ---- geometry ----

int calendar_grid::header_height() const { return fontMetrics().height() * 2 + 10; }

int calendar_grid::axis_width() const { return fontMetrics().horizontalAdvance(QStringLiteral("00:00 PM")) + 12; }

double calendar_grid::column_width() const
{
    return std::max(1.0, double(viewport()->width() - axis_width()) / count_);
}

int calendar_grid::column_left(int day) const { return axis_width() + static_cast<int>(std::lround(day * column_width())); }

int calendar_grid::tracked_width() const { return std::clamp(static_cast<int>(column_width() / 6), 12, 110); }

int calendar_grid::y_of(int second) const
{
    return header_height() - verticalScrollBar()->value() +
           static_cast<int>(static_cast<std::int64_t>(second) * hour_height_ / 3600);
}

int calendar_grid::day_at(int x) const
{
    if (x < axis_width())
        return -1;
    const int day = static_cast<int>((x - axis_width()) / column_width());
    return day >= 0 && day < count_ ? day : -1;
}

int calendar_grid::second_at(int y) const
{
    const std::int64_t s =
        static_cast<std::int64_t>(y - header_height() + verticalScrollBar()->value()) * 3600 / hour_height_;
    return static_cast<int>(std::clamp<std::int64_t>(s, 0, day_seconds));
}

QPoint calendar_grid::point_of(int day, int second) const
{
    return QPoint(column_left(day) + tracked_width() + static_cast<int>(column_width() / 2) -
                      tracked_width() / 2,
                  y_of(second));
}

QRect calendar_grid::box_rect(const calendar_item& item, int day, int start, int end) const
{
    const int left = column_left(day);
    const int right = column_left(day + 1) - 3;
    const int top = y_of(start);
    // Short boxes are drawn tall enough for a line of text.
    const int bottom = std::max(top + fontMetrics().height() + 4, y_of(end));
    if (item.kind == calendar_kind::tracked)
        return QRect(left + 2, top, tracked_width(), bottom - top);
    const int area_left = left + tracked_width() + 5;
    const double lane_width = double(right - area_left) / std::max(1, item.lanes);
    const int x = area_left + static_cast<int>(item.lane * lane_width);
    return QRect(x, top, std::max(4, static_cast<int>(lane_width) - 2), bottom - top);
}

QRect calendar_grid::item_rect(const calendar_item& item) const { return box_rect(item, item.day, item.start, item.end); }

int calendar_grid::item_at(const QPoint& p) const
{
    if (p.y() < header_height())
        return -1;
    // The last drawn is on top.
    for (int i = static_cast<int>(items_.size()) - 1; i >= 0; --i)
        if (item_rect(items_[i]).contains(p))
            return i;
    return -1;
}

void calendar_grid::lay_out_lanes()
{
    // Overlapping appointments and blocks of a day share its width: each
    // cluster of overlaps gets as many lanes as it needs at most at once.
    std::vector<int> order;
    for (int i = 0; i < static_cast<int>(items_.size()); ++i)
        if (items_[i].kind != calendar_kind::tracked)
            order.push_back(i);
        else
            items_[i].lane = 0, items_[i].lanes = 1;
    // Short boxes are drawn taller than they last: they overlap by what is drawn.
    const int shortest = (fontMetrics().height() + 4) * 3600 / hour_height_ + 1;
    auto shown_end = [shortest](const calendar_item& it) { return std::max(it.end, it.start + shortest); };
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const calendar_item& x = items_[a];
        const calendar_item& y = items_[b];
        return std::tie(x.day, x.start, x.kind) < std::tie(y.day, y.start, y.kind);
    });
    std::size_t i = 0;
    while (i < order.size()) {
        std::size_t j = i;
        int cluster_end = shown_end(items_[order[i]]);
        std::vector<int> lane_ends;
        for (; j < order.size() && items_[order[j]].day == items_[order[i]].day &&
               (j == i || items_[order[j]].start < cluster_end);
             ++j) {
            calendar_item& it = items_[order[j]];
            std::size_t lane = 0;
            while (lane < lane_ends.size() && lane_ends[lane] > it.start)
                ++lane;
            if (lane == lane_ends.size())
                lane_ends.push_back(0);
            lane_ends[lane] = shown_end(it);
            it.lane = static_cast<int>(lane);
            cluster_end = std::max(cluster_end, shown_end(it));
        }
        for (std::size_t k = i; k < j; ++k)
            items_[order[k]].lanes = static_cast<int>(lane_ends.size());
        i = j;
    }
}

void calendar_grid::update_scroll_range()
{
    const int body = 24 * hour_height_;
    const int visible = viewport()->height() - header_height();
    verticalScrollBar()->setPageStep(std::max(1, visible));
    verticalScrollBar()->setRange(0, std::max(0, body - visible));
}

void calendar_grid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    update_scroll_range();
}

// ---- painting ----

void calendar_grid::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    paint_all(p);
}

void calendar_grid::render_page(QPainter& p)
{
    printing_ = true;
    paint_all(p);
    printing_ = false;
}

QFont calendar_grid::paint_font(const QFont& f) const
{
    if (!printing_ || f.pointSizeF() <= 0)
        return f;
    // On paper the painter counts in screen pixels: so do the fonts.
    QFont scaled = f;
    scaled.setPixelSize(std::max(1, static_cast<int>(std::lround(f.pointSizeF() * logicalDpiY() / 72.0))));
    return scaled;
}

void calendar_grid::paint_all(QPainter& p)
{
    p.setFont(paint_font(font()));
    const QPalette& pal = palette();
    const QColor base = pal.color(QPalette::Base);
    const QColor text = pal.color(QPalette::Text);
    const QColor window = pal.color(QPalette::Window);
    const bool dark = is_dark(pal);
    const int header = header_height();
    const int axis = axis_width();
    const int w = viewport()->width();
    const int h = viewport()->height();
    p.fillRect(viewport()->rect(), base);

    // Bands: outside working hours a shade darker, sleeping hours darker still.
    const QColor off_hours = blend(base, pal.color(QPalette::Mid), dark ? 0.25 : 0.18);
    const QColor sleeping = blend(base, pal.color(QPalette::Shadow), dark ? 0.35 : 0.16);
    auto band = [&](int from, int to, const QColor& c) {
        auto fill = [&](int a, int b) { p.fillRect(QRect(axis, y_of(a), w - axis, y_of(b) - y_of(a)), c); };
        if (to >= from) {
            fill(from, to);
        } else {
            fill(from, day_seconds);
            fill(0, to);
        }
    };
    if (working_end_ != working_start_)
        band(working_end_, working_start_, off_hours);  // everything outside the working hours
    if (sleeping_end_ != sleeping_start_)
        band(sleeping_start_, sleeping_end_, sleeping);

    // Hour and half-hour lines, the hours down the side.
    const QColor line = blend(base, text, 0.22);
    const QColor half_line = blend(base, text, 0.10);
    for (int hour = 0; hour <= 24; ++hour) {
        const int y = y_of(hour * 3600);
        p.setPen(line);
        p.drawLine(axis - 4, y, w, y);
        if (hour < 24) {
            p.setPen(half_line);
            p.drawLine(axis, y_of(hour * 3600 + 1800), w, y_of(hour * 3600 + 1800));
            p.setPen(text);
            p.drawText(QRect(0, y + 1, axis - 8, fontMetrics().height()), Qt::AlignRight | Qt::AlignTop,
                       time::format_time_of_day(hour * 3600));
        }
    }
    p.setPen(line);
    for (int d = 0; d <= count_; ++d)
        p.drawLine(column_left(d) - 1, header, column_left(d) - 1, h);

    // The chosen range and the drop hint.
    const QColor highlight = pal.color(QPalette::Highlight);
    auto shade_range = [&](const calendar_range& r, double strength) {
        if (r.empty())
            return;
        QRect box(column_left(r.day) + 1, y_of(r.start), column_left(r.day + 1) - column_left(r.day) - 3,
                  y_of(r.end) - y_of(r.start));
        QColor c = highlight;
        c.setAlphaF(float(strength));
        p.fillRect(box, c);
        p.setPen(highlight);
        p.drawRect(box.adjusted(0, 0, -1, -1));
        p.setPen(text);
        p.drawText(box.adjusted(4, 2, -2, 0), Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("%1 \u2013 %2").arg(time::format_time_of_day(r.start), time::format_time_of_day(r.end)));
    };
    if (drag_.mode == drag_mode::range && drag_.active)
        shade_range({drag_.day, drag_.start, drag_.end}, 0.30);
    else
        shade_range(range_, 0.22);
    shade_range(drop_hint_, 0.35);

    // The boxes: tracked times, then blocks, then appointments on top.
    const calendar_item* selected = selected_item();
    for (int kind : {calendar_kind::tracked, calendar_kind::block, calendar_kind::appointment})
        for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
            const calendar_item& it = items_[i];
            if (it.kind != kind)
                continue;
            const bool dragged = drag_.active && drag_.item == i && drag_.mode != drag_mode::range;
            if (dragged) {
                paint_item(p, it, item_rect(it), false, true);  // where it was
                paint_item(p, it, box_rect(it, drag_.day, drag_.start, drag_.end), true, false);
            } else {
                paint_item(p, it, item_rect(it), &it == selected, false);
            }
        }

    // The current time across today's column.
    const time::stored_date today = time::date_of(now_);
    const std::int64_t today_column = (today - first_) / 86400;
    if (now_ != 0 && today >= first_ && today_column < count_) {
        const int y = y_of(static_cast<int>(now_ - today));
        const int left = column_left(static_cast<int>(today_column));
        const int right = column_left(static_cast<int>(today_column) + 1) - 2;
        const QColor now_colour = dark ? QColor(255, 110, 100) : QColor(210, 30, 30);
        p.setPen(QPen(now_colour, 2));
        p.drawLine(left, y, right, y);
        p.setBrush(now_colour);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPoint(left, y), 4, 4);
        p.setBrush(Qt::NoBrush);
    }

    // The header of dates, above everything, over the scrolled body.
    p.fillRect(QRect(0, 0, w, header), window);
    p.setPen(line);
    p.drawLine(0, header - 1, w, header - 1);
    const QFont normal = paint_font(font());
    QFont bold = normal;
    bold.setBold(true);
    for (int d = 0; d < count_; ++d) {
        const time::stored_date date = time::add_days(first_, d);
        const QRect cell(column_left(d), 0, column_left(d + 1) - column_left(d) - 1, header - 1);
        if (d == current_day_ && count_ > 1)
            p.fillRect(cell, blend(window, highlight, 0.25));
        const bool is_today = date == today;
        p.setFont(is_today ? bold : normal);
        p.setPen(is_today ? (dark ? QColor(255, 140, 130) : QColor(190, 30, 30)) : pal.color(QPalette::WindowText));
        const QString weekday = time::weekday_name(date);
        const QString when = time::format_short_date(date);
        const QFontMetrics fm(p.font());
        p.drawText(cell.adjusted(2, 4, -2, 0), Qt::AlignHCenter | Qt::AlignTop,
                   fm.elidedText(weekday, Qt::ElideRight, cell.width() - 4));
        p.drawText(cell.adjusted(2, 4 + fm.height(), -2, 0), Qt::AlignHCenter | Qt::AlignTop,
                   fm.elidedText(when, Qt::ElideRight, cell.width() - 4));
    }
    p.setFont(normal);
}

void calendar_grid::paint_item(QPainter& p, const calendar_item& it, const QRect& r, bool selected, bool ghost) const
{
    const QPalette& pal = palette();
    const QColor base = pal.color(QPalette::Base);
    const QColor text = pal.color(QPalette::Text);
    const bool dark = is_dark(pal);
    const QColor hue = kind_hue(it.kind);
    QColor fill = blend(base, hue, dark ? 0.45 : 0.30);
    QColor border = blend(base, hue, dark ? 0.85 : 0.80);
    if (it.done)
        fill = blend(base, fill, 0.45);
    if (it.late)
        border = dark ? QColor(255, 110, 100) : QColor(200, 30, 30);
    if (ghost) {
        p.setPen(QPen(border, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        return;
    }
    p.fillRect(r, fill);
    QPen pen(border, it.late ? 2 : 1, it.kind == calendar_kind::block ? Qt::DashLine : Qt::SolidLine);
    if (selected)
        pen = QPen(pal.color(QPalette::Highlight), 3);
    p.setPen(pen);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    if (it.kind == calendar_kind::appointment)  // a bar down the left side marks an appointment
        p.fillRect(QRect(r.left(), r.top(), 4, r.height()), border);
    if (r.width() < 24 || r.height() < 8)
        return;
    QFont f = paint_font(font());
    f.setItalic(it.kind == calendar_kind::block);
    f.setStrikeOut(it.done);
    p.setFont(f);
    p.setPen(text);
    QString label = it.text;
    if (it.late)
        label = QStringLiteral("\u26A0 ") + label;
    const QRect inside = r.adjusted(it.kind == calendar_kind::appointment ? 7 : 4, 1, -3, -1);
    const QFontMetrics fm(f);
    if (inside.height() < fm.height() * 2)
        p.drawText(inside, Qt::AlignLeft | Qt::AlignTop, fm.elidedText(label, Qt::ElideRight, inside.width()));
    else
        p.drawText(inside, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, label);
    p.setFont(paint_font(font()));
}

// ---- the mouse ----

void calendar_grid::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    const int day = day_at(pos.x());
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    if (pos.y() < header_height()) {
        if (day >= 0)
            set_current_day(day);
        emit selection_changed();
        return;
    }
    const int index = item_at(pos);
    if (day >= 0)
        current_day_ = day;
    if (event->button() == Qt::RightButton) {
        // A right click inside the chosen range keeps it for the menu.
        const int s = second_at(pos.y());
        const bool in_range = !range_.empty() && range_.day == day && s >= range_.start && s < range_.end;
        if (index >= 0)
            select_index(index);
        else if (!in_range && day >= 0)
            set_selected_range({day, floor_snap(s), std::min(day_seconds, floor_snap(s) + 2 * snap)});
        return;
    }
    drag_ = {};
    drag_.pressed = pos;
    if (index >= 0) {
        select_index(index);
        const calendar_item& it = items_[index];
        if (it.kind != calendar_kind::appointment)
            return;  // blocks and tracked times are placed, not dragged
        const QRect r = item_rect(it);
        drag_.item = index;
        drag_.task = it.task;
        drag_.day = it.day;
        drag_.start = it.start;
        drag_.end = it.end;
        if (pos.y() >= r.bottom() - edge && r.height() > 3 * edge)
            drag_.mode = drag_mode::resize_end;
        else if (pos.y() <= r.top() + edge && r.height() > 3 * edge)
            drag_.mode = drag_mode::resize_start;
        else
            drag_.mode = drag_mode::move;
        drag_.anchor = second_at(pos.y()) - it.start;
        return;
    }
    if (day < 0)
        return;
    const int s = floor_snap(second_at(pos.y()));
    drag_.mode = drag_mode::range;
    drag_.day = day;
    drag_.anchor = s;
    drag_.start = s;
    drag_.end = std::min(day_seconds, s + snap);
    // A click alone chooses the half hour under it.
    set_selected_range({day, s / 1800 * 1800, std::min(day_seconds, s / 1800 * 1800 + 1800)});
}

void calendar_grid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (drag_.mode == drag_mode::none) {
        // The pointer says what a press would do.
        const int index = item_at(pos);
        Qt::CursorShape shape = Qt::ArrowCursor;
        if (index >= 0 && items_[index].kind == calendar_kind::appointment) {
            const QRect r = item_rect(items_[index]);
            shape = (r.height() > 3 * edge && (pos.y() >= r.bottom() - edge || pos.y() <= r.top() + edge))
                        ? Qt::SizeVerCursor
                        : Qt::OpenHandCursor;
        }
        viewport()->setCursor(shape);
        return;
    }
    if (!drag_.active && (pos - drag_.pressed).manhattanLength() < 4)
        return;
    drag_.active = true;
    const int s = second_at(pos.y());
    switch (drag_.mode) {
    case drag_mode::range: {
        const int at = floor_snap(s);
        drag_.start = std::min(drag_.anchor, at);
        drag_.end = std::min(day_seconds, std::max(drag_.anchor, at) + snap);
        break;
    }
    case drag_mode::move: {
        const calendar_item& it = items_[drag_.item];
        const int length = std::min(day_seconds, std::max(0, it.end - it.start));
        const int at = std::clamp((s - drag_.anchor + snap / 2) / snap * snap, 0, day_seconds - length);
        if (const int day = day_at(pos.x()); day >= 0)
            drag_.day = day;
        drag_.start = at;
        drag_.end = at + length;
        break;
    }
    case drag_mode::resize_end: {
        const calendar_item& it = items_[drag_.item];
        drag_.end = std::clamp((s + snap / 2) / snap * snap, it.start + snap, day_seconds);
        break;
    }
    case drag_mode::resize_start: {
        const calendar_item& it = items_[drag_.item];
        drag_.start = std::clamp((s + snap / 2) / snap * snap, 0, it.end - snap);
        break;
    }
    default: break;
    }
    viewport()->setCursor(drag_.mode == drag_mode::move ? Qt::ClosedHandCursor
                          : drag_.mode == drag_mode::range ? Qt::ArrowCursor
                                                           : Qt::SizeVerCursor);
    viewport()->update();
}

void calendar_grid::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        finish_drag();
}

void calendar_grid::finish_drag()
{
    const drag_state d = drag_;
    drag_ = {};
    viewport()->update();
    if (!d.active)
        return;
    switch (d.mode) {
    case drag_mode::range: {
        const calendar_range r{d.day, d.start, d.end};
        set_selected_range(r);
        emit range_chosen(r);
        break;
    }
    case drag_mode::move: {
        const calendar_item& it = items_[d.item];
        if (d.day != it.day || d.start != it.start)
            emit appointment_moved(it.task, d.day, d.start);
        break;
    }
    case drag_mode::resize_start:
    case drag_mode::resize_end: {
        const calendar_item& it = items_[d.item];
        if (d.start != it.start || d.end != it.end)
            emit appointment_resized(it.task, d.start, d.end);
        break;
    }
    default: break;
    }
}

void calendar_grid::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    drag_ = {};
    if (const int index = item_at(pos); index >= 0) {
        emit item_activated(items_[index]);
        return;
    }
    const int day = day_at(pos.x());
    if (day < 0 || pos.y() < header_height())
        return;
    // A double click on empty time asks for an hour's appointment there.
    const int s = second_at(pos.y()) / 1800 * 1800;
    const calendar_range r{day, s, std::min(day_seconds, s + 3600)};
    set_selected_range(r);
    emit range_chosen(r);
}

void calendar_grid::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = event->angleDelta().y() / 120;
        if (steps != 0) {
            set_hour_height(hour_height_ + steps * 8);
            emit zoomed();
        }
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void calendar_grid::contextMenuEvent(QContextMenuEvent* event)
{
    const QPoint pos = event->reason() == QContextMenuEvent::Mouse ? event->pos()
                                                                   : (selected_item() != nullptr
                                                                          ? item_rect(*selected_item()).center()
                                                                          : point_of(std::max(0, range_.day), range_.start));
    emit menu_requested(viewport()->mapToGlobal(pos), selected_item());
}

void calendar_grid::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        if (const calendar_item* it = selected_item()) {
            emit item_activated(*it);
            return;
        }
        if (!range_.empty()) {
            emit range_chosen(range_);
            return;
        }
    }
    if (event->key() == Qt::Key_Escape) {
        clear_selection();
        return;
    }
    if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
        event->ignore();  // the view steps its dates with them
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

// ---- dropping to-dos ----

void calendar_grid::dragEnterEvent(QDragEnterEvent* event)
{
    if (!dragged_ids(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void calendar_grid::dragMoveEvent(QDragMoveEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const int day = day_at(pos.x());
    if (day < 0 || pos.y() < header_height() || dragged_ids(event->mimeData()).isEmpty()) {
        drop_hint_ = {};
        event->ignore();
    } else {
        const int s = floor_snap(second_at(pos.y()));
        drop_hint_ = {day, s, std::min(day_seconds, s + 1800)};
        event->acceptProposedAction();
    }
    viewport()->update();
}

void calendar_grid::dragLeaveEvent(QDragLeaveEvent*)
{
    drop_hint_ = {};
    viewport()->update();
}

void calendar_grid::dropEvent(QDropEvent* event)
{
    drop_hint_ = {};
    viewport()->update();
    const QPoint pos = event->position().toPoint();
    const int day = day_at(pos.x());
    const QList<std::int32_t> ids = dragged_ids(event->mimeData());
    if (day < 0 || pos.y() < header_height() || ids.isEmpty())
        return;
    event->acceptProposedAction();
    emit tasks_dropped(ids, day, floor_snap(second_at(pos.y())), event->modifiers());
}

bool calendar_grid::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = item_at(help->pos());
        if (index >= 0 && !items_[index].tip.isEmpty())
            QToolTip::showText(help->globalPos(), items_[index].tip, viewport());
        else
            QToolTip::hideText();
        return true;
    }
    if (event->type() == QEvent::Resize)
        update_scroll_range();
    return QAbstractScrollArea::viewportEvent(event);
}

}  // namespace qm::ui
