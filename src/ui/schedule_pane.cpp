#include "ui/schedule_pane.h"

#include "app/options.h"
#include "time/format.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

namespace qm::ui {
namespace {

constexpr int hour_height = 44;
constexpr int clock_width = 52;
constexpr int day_height = 24 * hour_height;

int y_of(int seconds) { return static_cast<int>(static_cast<std::int64_t>(seconds) * hour_height / 3600); }

// Options hold Windows colour values (0x00BBGGRR).
QColor from_colorref(std::uint32_t c) { return QColor(c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff); }

QString name_of(const model::task& t) { return t.name.isEmpty() ? QStringLiteral("(unnamed task)") : t.name; }

}  // namespace

class schedule_canvas : public QWidget {
public:
    explicit schedule_canvas(schedule_pane& pane) : QWidget(&pane), pane_(pane)
    {
        setMinimumHeight(day_height + 1);
        setMouseTracking(true);
    }

    QRect block_rect(const schedule::block& b) const
    {
        const int left = lane_split();
        return QRect(left + 2, y_of(b.start), width() - left - 6, std::max(3, y_of(b.end) - y_of(b.start)));
    }
    int lane_split() const { return clock_width + (width() - clock_width) * 2 / 5; }

    const schedule::stored_block* block_at(const QPoint& p) const
    {
        for (const auto& b : pane_.shown_)
            if (block_rect(b.b).contains(p))
                return &b;
        return nullptr;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const app::options& o = app::current_options();
        const QPalette& pal = palette();
        const bool dark = pal.color(QPalette::Base).lightness() < 128;
        const QRect area(clock_width, 0, width() - clock_width, day_height);
        p.fillRect(rect(), pal.color(QPalette::Window));
        p.fillRect(area, dark ? QColor(58, 58, 64) : QColor(236, 236, 240));
        // A band whose end lies before its start runs on past midnight.
        auto band = [&](int from, int to, const QColor& c) {
            if (to >= from) {
                p.fillRect(QRect(clock_width, y_of(from), area.width(), y_of(to) - y_of(from)), c);
            } else {
                p.fillRect(QRect(clock_width, y_of(from), area.width(), day_height - y_of(from)), c);
                p.fillRect(QRect(clock_width, 0, area.width(), y_of(to)), c);
            }
        };
        band(o.sleeping_start, o.sleeping_end, dark ? QColor(40, 44, 62) : QColor(208, 212, 228));
        band(o.working_start, o.working_end, dark ? QColor(70, 72, 60) : QColor(255, 255, 250));

        // The clock column and the hour lines.
        p.setPen(pal.color(QPalette::Mid));
        for (int h = 0; h <= 24; ++h)
            p.drawLine(clock_width - 6, h * hour_height, width(), h * hour_height);
        p.setPen(pal.color(QPalette::WindowText));
        for (int h = 0; h < 24; ++h)
            p.drawText(QRect(0, h * hour_height + 2, clock_width - 8, 16), Qt::AlignRight | Qt::AlignTop,
                       time::format_time_of_day(h * 3600));

        const time::stored_date d = pane_.date_;
        const int split = lane_split();
        // Appointments and tracked times in the left lane.
        for (const model::task* t : pane_.tasks_.tasks_of_date(d)) {
            if (t->is_folder())
                continue;
            if (t->appointment && t->status == model::status::unfinished && t->appointment_start >= 0) {
                const QRect r(clock_width + 2, y_of(t->appointment_start), split - clock_width - 4,
                              std::max(3, y_of(t->appointment_start + std::max(0, t->appointment_duration)) -
                                              y_of(t->appointment_start)));
                p.fillRect(r, dark ? QColor(50, 90, 150) : QColor(170, 200, 240));
                p.setPen(dark ? QColor(120, 160, 220) : QColor(60, 100, 170));
                p.drawRect(r.adjusted(0, 0, -1, -1));
                p.setPen(pal.color(QPalette::Text));
                p.drawText(r.adjusted(4, 1, -2, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, name_of(*t));
            }
            for (const auto& e : t->tracked_times) {
                int from = -1, to = -1;
                if (time::date_of(e.start) == d) {
                    from = static_cast<int>(e.start - d);
                    to = from + e.duration;
                } else if (time::date_of(e.start + e.duration) == d) {
                    from = 0;
                    to = static_cast<int>(e.start + e.duration - d);
                }
                if (from < 0)
                    continue;
                const QRect r(clock_width + 2, y_of(from), 8, std::max(2, y_of(to) - y_of(from)));
                p.fillRect(r, dark ? QColor(70, 160, 90) : QColor(80, 170, 100));
            }
        }

        // The blocks; a late one in the warning colours.
        const QColor normal = dark ? QColor(70, 110, 80) : QColor(200, 232, 204);
        const QColor before_colour = from_colorref(o.colours.schedule_conflict_light_block);
        const QColor deadline_colour = from_colorref(o.colours.deadline_light_block);
        for (const auto& b : pane_.shown_) {
            const QRect r = block_rect(b.b);
            const bool late = b.b.before_mark || b.b.deadline_mark;
            p.fillRect(r, b.b.deadline_mark ? deadline_colour : b.b.before_mark ? before_colour : normal);
            p.setPen(late ? QPen(QColor(200, 30, 30), 2) : QPen(dark ? QColor(120, 180, 130) : QColor(90, 150, 100)));
            p.drawRect(r.adjusted(0, 0, -1, -1));
            p.setPen(late ? QColor(0, 0, 0) : pal.color(QPalette::Text));
            QString text = name_of(*b.task);
            if (late)
                text = QStringLiteral("\u26A0 ") + text;
            p.drawText(r.adjusted(4, 1, -2, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                       p.fontMetrics().elidedText(text, Qt::ElideRight, r.width() - 6));
        }

        if (d == time::today()) {
            const int y = y_of(static_cast<int>(time::now() - d));
            p.setPen(QPen(QColor(220, 40, 40), 2));
            p.drawLine(clock_width - 6, y, width(), y);
        }
    }

    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::ToolTip) {
            auto* help = static_cast<QHelpEvent*>(e);
            if (const schedule::stored_block* b = block_at(help->pos()))
                QToolTip::showText(help->globalPos(), pane_.reason_text(*b), this);
            else
                QToolTip::hideText();
            return true;
        }
        return QWidget::event(e);
    }

    void mousePressEvent(QMouseEvent* e) override
    {
        if (const schedule::stored_block* b = block_at(e->pos()))
            emit pane_.task_clicked(b->b.task);
        QWidget::mousePressEvent(e);
    }

private:
    schedule_pane& pane_;
};

schedule_pane::schedule_pane(schedule::schedule_store& schedule, model::task_store& tasks, QWidget* parent)
    : QScrollArea(parent), schedule_(schedule), tasks_(tasks), date_(time::today())
{
    setObjectName(QStringLiteral("schedule_pane"));
    canvas_ = new schedule_canvas(*this);
    setWidget(canvas_);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMinimumWidth(200);
    store::listeners().add(this);
    reload();
}

schedule_pane::~schedule_pane() { store::listeners().remove(this); }

void schedule_pane::set_date(time::stored_date date)
{
    date_ = time::date_of(date);
    reload();
}

void schedule_pane::scroll_to_working_start()
{
    verticalScrollBar()->setValue(y_of(std::max(0, app::current_options().working_start - 1800)));
}

void schedule_pane::reload()
{
    shown_.clear();
    for (const schedule::stored_block* b : schedule_.blocks_of(date_))
        shown_.push_back(*b);
    canvas_->update();
}

long schedule_pane::on_announcement(const store::announcement& a)
{
    if (a.message == store::message::schedule_changed && a.lparam == (date_ & 0xffffffff))
        reload();
    else if (a.message == model::task_message::batch_ended || a.message == store::message::options_applied)
        canvas_->update();  // appointments and names drawn from the live tasks
    return 0;
}

QString schedule_pane::reason_text(const schedule::stored_block& b) const
{
    QStringList lines;
    lines << QStringLiteral("%1, %2 \u2013 %3")
                 .arg(name_of(*b.task), time::format_time_of_day(b.b.start), time::format_time_of_day(b.b.end));
    auto other = [this](std::int32_t id) {
        model::task_ptr t = tasks_.find(id);
        return t ? QStringLiteral("\"%1\"").arg(name_of(*t)) : QStringLiteral("another task");
    };
    switch (b.b.after) {
    case schedule::after_kind::appointment: lines << QStringLiteral("After the appointment %1.").arg(other(b.b.after_task)); break;
    case schedule::after_kind::tracked: lines << QStringLiteral("After the time tracked on %1.").arg(other(b.b.after_task)); break;
    case schedule::after_kind::block: lines << QStringLiteral("After %1.").arg(other(b.b.after_task)); break;
    case schedule::after_kind::held_back:
        lines << QStringLiteral("Held back until its schedule-after time, %1.")
                     .arg(time::format_time_of_day(b.task->appointment_start));
        break;
    case schedule::after_kind::timed: lines << QStringLiteral("Being timed: placed from the start of the day."); break;
    default: lines << QStringLiteral("At the first free time of the day."); break;
    }
    int pieces = 0, number = 0;
    for (const auto& x : shown_)
        if (x.b.task == b.b.task) {
            ++pieces;
            if (x.b.start == b.b.start && x.b.end == b.b.end)
                number = pieces;
        }
    if (pieces > 1)
        lines << QStringLiteral("Split into %1 pieces; this is piece %2.").arg(pieces).arg(number);
    int end = 0;
    for (const auto& x : shown_)
        if (x.b.task == b.b.task)
            end = std::max(end, x.b.end);
    if (b.b.before_mark) {
        const int before = b.task->appointment_duration == 0 ? 86400 : b.task->appointment_duration;
        lines << QStringLiteral("Ends %1 after its schedule-before time, %2.")
                     .arg(time::format_duration(end - before), time::format_time_of_day(before));
    }
    if (b.b.deadline_mark)
        lines << QStringLiteral("Ends %1 after its deadline, %2.")
                     .arg(time::format_duration(b.task->date + end - b.task->deadline),
                          time::format_date_time(b.task->deadline));
    return lines.join(QLatin1Char('\n'));
}

}  // namespace qm::ui
