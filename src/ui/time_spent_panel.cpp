#include "ui/time_spent_panel.h"

#include "app/options.h"
#include "model/project_store.h"
#include "model/role_store.h"
#include "model/task_store.h"
#include "time/format.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

namespace qm::ui {
namespace {

QColor from_stored(std::int32_t c) { return {model::red_of(c), model::green_of(c), model::blue_of(c)}; }

// A row's bar: roles and life areas in their fill, the rest in the
// selection colour; time without a role in grey.
QColor bar_color(const schedule::report_row& r, const QPalette& palette)
{
    if (r.color >= 0)
        return from_stored(r.color);
    if (r.id == 0)
        return QColor(190, 190, 190);
    return palette.color(QPalette::Highlight);
}

// A fill the eye can tell from the page: a white role would vanish.
QColor visible_fill(const QColor& c) { return c.lightness() > 235 ? QColor(215, 215, 215) : c; }

}  // namespace

// ---- the role balance graphic ----

role_balance_bar::role_balance_bar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("role_balance"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumHeight(44);
}

void role_balance_bar::set_report(const schedule::time_spent_report& r)
{
    shares_ = r.shares;
    scale_ = r.scale;
    update();
}

QRect role_balance_bar::bar_rect() const { return rect().adjusted(1, 2, -2, -(fontMetrics().height() + 4)); }

QRectF role_balance_bar::share_rect(std::size_t share) const
{
    if (share >= shares_.size() || scale_ <= 0)
        return {};
    const QRect bar = bar_rect();
    double x = bar.left();
    for (std::size_t i = 0; i < shares_.size(); ++i) {
        const double w = bar.width() * static_cast<double>(shares_[i].seconds) / static_cast<double>(scale_);
        if (i == share)
            return {x, static_cast<double>(bar.top()), w, static_cast<double>(bar.height())};
        x += w;
    }
    return {};
}

void role_balance_bar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect bar = bar_rect();
    p.fillRect(bar, palette().color(QPalette::Base));
    for (std::size_t i = 0; i < shares_.size(); ++i) {
        const QRectF r = share_rect(i);
        const schedule::report_row& s = shares_[i];
        const QColor fill = visible_fill(bar_color(s, palette()));
        p.fillRect(r, fill);
        p.setPen(palette().color(QPalette::Base));
        p.drawLine(r.topRight(), r.bottomRight());
        const QString name = fontMetrics().elidedText(s.name, Qt::ElideRight, static_cast<int>(r.width()) - 6);
        if (r.width() > 24 && !name.isEmpty() && name != QStringLiteral("\u2026")) {
            p.setPen(s.text_color >= 0 && s.text_color != s.color ? from_stored(s.text_color)
                                                                  : (fill.lightness() < 128 ? Qt::white : Qt::black));
            p.drawText(r.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft, name);
        }
    }
    p.setPen(palette().color(QPalette::Mid));
    p.setBrush(Qt::NoBrush);
    p.drawRect(bar);
    std::int64_t total = 0;
    for (const schedule::report_row& s : shares_)
        total += s.seconds;
    p.setPen(palette().color(QPalette::WindowText));
    const QString scale_text =
        total == scale_ ? time::format_duration(total)
                        : QStringLiteral("%1 of %2").arg(time::format_duration(total), time::format_duration(scale_));
    p.drawText(QRect(bar.left(), bar.bottom() + 2, bar.width(), fontMetrics().height() + 2),
               Qt::AlignRight | Qt::AlignVCenter, scale_ > 0 ? scale_text : QStringLiteral("Nothing tracked"));
}

bool role_balance_bar::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        for (std::size_t i = 0; i < shares_.size(); ++i)
            if (share_rect(i).contains(help->pos())) {
                QToolTip::showText(help->globalPos(), QStringLiteral("%1: %2").arg(
                                                          shares_[i].name, time::format_duration(shares_[i].seconds)),
                                   this);
                return true;
            }
        QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

// ---- the rows ----

time_spent_rows::time_spent_rows(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("time_spent_rows"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
}

void time_spent_rows::set_report(const schedule::time_spent_report& r)
{
    report_ = r;
    updateGeometry();
    update();
}

int time_spent_rows::row_height() const { return fontMetrics().height() + 6; }

int time_spent_rows::name_width() const
{
    int widest = 80;
    for (const schedule::time_spent_group& g : report_.groups)
        for (const schedule::report_row& r : g.rows)
            widest = std::max(widest, fontMetrics().horizontalAdvance(r.name) + 12);
    return std::min(widest, std::max(80, width() / 3));
}

QSize time_spent_rows::sizeHint() const
{
    int lines = 0;
    for (const schedule::time_spent_group& g : report_.groups)
        lines += 1 + static_cast<int>(g.rows.size());
    return {360, lines * row_height() + static_cast<int>(report_.groups.size()) * 6 + 4};
}

QRectF time_spent_rows::bar_rect(std::size_t group, std::size_t row) const
{
    const int h = row_height();
    int y = 0;
    for (std::size_t g = 0; g < report_.groups.size(); ++g) {
        y += h;  // the heading
        const auto& rows = report_.groups[g].rows;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (g == group && r == row) {
                const int duration_width = fontMetrics().horizontalAdvance(QStringLiteral("00d 00h 00m")) + 12;
                const double left = 12 + name_width() + duration_width;
                const double room = std::max(10.0, width() - left - 4);
                const double w = report_.largest > 0
                                     ? room * static_cast<double>(rows[r].seconds) / static_cast<double>(report_.largest)
                                     : 0.0;
                return {left, static_cast<double>(y + 3), w, static_cast<double>(h - 6)};
            }
            y += h;
        }
        y += 6;
    }
    return {};
}

void time_spent_rows::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int h = row_height();
    const int names = name_width();
    const int duration_width = fontMetrics().horizontalAdvance(QStringLiteral("00d 00h 00m")) + 12;
    QFont bold = font();
    bold.setBold(true);
    int y = 0;
    for (std::size_t g = 0; g < report_.groups.size(); ++g) {
        const schedule::time_spent_group& group = report_.groups[g];
        p.setFont(bold);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QRect(0, y, width(), h), Qt::AlignLeft | Qt::AlignVCenter, group.heading);
        p.setFont(font());
        y += h;
        for (std::size_t r = 0; r < group.rows.size(); ++r) {
            const schedule::report_row& row = group.rows[r];
            p.setPen(palette().color(QPalette::WindowText));
            p.drawText(QRect(12, y, names - 6, h), Qt::AlignLeft | Qt::AlignVCenter,
                       fontMetrics().elidedText(row.name, Qt::ElideRight, names - 6));
            p.drawText(QRect(12 + names, y, duration_width - 12, h), Qt::AlignRight | Qt::AlignVCenter,
                       time::format_duration(row.seconds));
            const QRectF bar = bar_rect(g, r);
            const QColor fill = visible_fill(bar_color(row, palette()));
            p.fillRect(bar, fill);
            y += h;
        }
        y += 6;
    }
}

// ---- the panel ----

time_spent_panel::time_spent_panel(const schedule::report_sources& sources, QWidget* parent)
    : QWidget(parent), sources_(sources)
{
    setObjectName(QStringLiteral("time_spent"));
    auto* heading = new QLabel(QStringLiteral("Role Balance"), this);
    QFont f = heading->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.15);
    heading->setFont(f);

    buttons_ = new QButtonGroup(this);
    buttons_->setExclusive(true);
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    const QStringList names = schedule::report_range_names();
    for (int i = 0; i < names.size(); ++i) {
        auto* b = new QPushButton(names[i], this);
        b->setCheckable(true);
        b->setChecked(i == range_);
        // Clicked, never focused: in the Clapperboard every key belongs to its menu.
        b->setFocusPolicy(Qt::NoFocus);
        buttons_->addButton(b, i);
        row->addWidget(b);
    }
    connect(buttons_, &QButtonGroup::idClicked, this, [this](int id) { set_range(id); });
    days_ = new QLabel(this);
    days_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addSpacing(8);
    row->addWidget(days_, 1);

    balance_ = new role_balance_bar(this);
    empty_ = new QLabel(QStringLiteral("No time was spent on the tasks of these days: nothing was tracked and "
                                       "nothing with an estimate was finished."),
                        this);
    empty_->setWordWrap(true);
    rows_ = new time_spent_rows;
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(rows_);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(heading);
    layout->addLayout(row);
    layout->addWidget(balance_);
    layout->addWidget(empty_);
    layout->addWidget(scroll, 1);

    store::listeners().add(this);
    refresh();
}

time_spent_panel::~time_spent_panel() { store::listeners().remove(this); }

void time_spent_panel::set_range(int range)
{
    range_ = std::clamp(range, 0, 3);
    if (QAbstractButton* b = buttons_->button(range_))
        b->setChecked(true);
    refresh();
}

void time_spent_panel::refresh()
{
    refresh_pending_ = false;
    const time::stored_date today = time::today();
    const schedule::day_span days = schedule::report_days(range_, today);
    report_ = schedule::compute_time_spent(sources_, days, today, app::current_options().preferable_workload);
    std::int64_t total = 0;
    for (const schedule::report_row& r : report_.shares)
        total += r.seconds;
    const QString when = days.first == days.last ? time::format_long_date(days.first)
                                                 : QStringLiteral("%1 to %2").arg(time::format_long_date(days.first),
                                                                                  time::format_long_date(days.last));
    days_->setText(total > 0 ? QStringLiteral("%1: %2").arg(when, time::format_duration(total)) : when);
    balance_->set_report(report_);
    rows_->set_report(report_);
    empty_->setVisible(report_.groups.empty());
}

void time_spent_panel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // "Today" moves on at midnight; a panel shown again catches up.
    if (refresh_pending_ || report_.days.last != schedule::report_days(range_, time::today()).last)
        refresh();
}

void time_spent_panel::schedule_refresh()
{
    const bool was_pending = refresh_pending_;
    refresh_pending_ = true;
    if (was_pending || !isVisible())
        return;
    QTimer::singleShot(0, this, [this] {
        if (refresh_pending_ && isVisible())
            refresh();
    });
}

long time_spent_panel::on_announcement(const store::announcement& a)
{
    if (a.message == model::task_message::batch_ended || a.message == model::task_message::timer_stopped ||
        a.message == model::project_message::changed || a.message == store::message::role_base + store::message::changed)
        schedule_refresh();
    return 0;
}

}  // namespace qm::ui
