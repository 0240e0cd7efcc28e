#include "ui/alarm_window.h"

#include "time/format.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace qm::ui {
namespace {

QFont alarm_font(int pixels, bool bold = false)
{
    QFont f(QStringLiteral("Trebuchet MS"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

constexpr int window_width = 380;

}  // namespace

const std::vector<int>& alarm_window::snooze_minutes()
{
    static const std::vector<int> minutes = {5, 10, 15, 20, 30, 45, 60, 75, 90, 105, 120, 150, 180, 240};
    return minutes;
}

alarm_window::alarm_window(std::int32_t alarm, const QString& subject, alarm_look look,
                           std::function<QString()> time_line, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      alarm_(alarm),
      look_(look),
      time_line_(std::move(time_line))
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("alarm_window"));
    setWindowTitle(QStringLiteral("Alarm"));
    QString shown = subject.trimmed().isEmpty() ? QStringLiteral("Alarm") : subject.trimmed();
    // A few lines at most: the whole text is in the tool tip.
    constexpr int longest_subject = 120;
    if (shown.size() > longest_subject)
        shown = shown.left(longest_subject - 1).trimmed() + QChar(0x2026);
    setToolTip(subject.trimmed());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 10, 14, 10);
    layout->setSpacing(4);
    subject_ = new QLabel(shown, this);
    subject_->setFont(alarm_font(24, true));
    subject_->setWordWrap(true);
    time_ = new QLabel(this);
    time_->setFont(alarm_font(36));
    // The fills are light whatever the desktop's theme.
    for (QLabel* l : {subject_, time_})
        l->setStyleSheet(QStringLiteral("color: #202020"));
    layout->addWidget(subject_);
    layout->addWidget(time_);
    auto* buttons = new QHBoxLayout;
    auto* snooze = new QPushButton(QStringLiteral("&Snooze"), this);
    auto* dismiss = new QPushButton(QStringLiteral("&Dismiss"), this);
    for (QPushButton* b : {snooze, dismiss}) {
        b->setFont(alarm_font(18));
        b->setFocusPolicy(Qt::NoFocus);
    }
    buttons->addStretch(1);
    buttons->addWidget(snooze);
    buttons->addWidget(dismiss);
    layout->addLayout(buttons);
    connect(dismiss, &QPushButton::clicked, this, [this] { emit dismissed(alarm_); });
    connect(snooze, &QPushButton::clicked, this,
            [this, snooze] { show_snooze_menu(snooze->mapToGlobal(QPoint(0, snooze->height()))); });
    setFixedWidth(window_width);
    time_->setText(time_line_());
    connect(&refresh_, &QTimer::timeout, this, [this] { time_->setText(time_line_()); });
    refresh_.start(1000);
    // A wrapped subject needs the height its lines take at this width; the
    // size hint alone guesses it short, and a long subject was cut off.
    adjustSize();
    setFixedHeight(std::max(height(), layout->totalHeightForWidth(window_width)));
}

QString alarm_window::time_text() const { return time_->text(); }
QString alarm_window::subject_text() const { return subject_->text(); }

void alarm_window::retire()
{
    refresh_.stop();
    time_line_ = nullptr;
    disconnect();
    hide();
    deleteLater();
}

void alarm_window::slide_in(const QRect& area, int y)
{
    const QPoint end(area.right() - width() + 1, y);
    move(area.right() + 1, y);
    show();
    auto* slide = new QPropertyAnimation(this, "pos", this);
    slide->setDuration(300);
    slide->setStartValue(QPoint(area.right() + 1, y));
    slide->setEndValue(end);
    slide->setEasingCurve(QEasingCurve::OutCubic);
    slide->start(QAbstractAnimation::DeleteWhenStopped);
}

void alarm_window::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // The light colour fills; a touch of the dark one shades the foot.
    const QColor foot((look_.light.red() * 7 + look_.dark.red() * 3) / 10,
                      (look_.light.green() * 7 + look_.dark.green() * 3) / 10,
                      (look_.light.blue() * 7 + look_.dark.blue() * 3) / 10);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, look_.light);
    g.setColorAt(1, foot);
    p.fillRect(rect(), g);
    p.setPen(look_.dark);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void alarm_window::contextMenuEvent(QContextMenuEvent* e) { show_snooze_menu(e->globalPos()); }

void alarm_window::show_snooze_menu(const QPoint& at)
{
    QMenu menu(this);
    QAction* first = nullptr;
    for (int minutes : snooze_minutes()) {
        QAction* a = menu.addAction(QStringLiteral("Snooze for %1").arg(time::format_duration(minutes * 60)));
        connect(a, &QAction::triggered, this, [this, minutes] { emit snoozed(alarm_, minutes * 60); });
        if (first == nullptr)
            first = a;
    }
    // Enter at once snoozes for the shortest time.
    menu.setActiveAction(first);
    menu.addSeparator();
    connect(menu.addAction(QStringLiteral("&Dismiss")), &QAction::triggered, this, [this] { emit dismissed(alarm_); });
    menu.exec(at);
}

// ---- the set ----

alarm_window_set::alarm_window_set(std::function<alarm_look(const tracking::Alarm&)> look, describer subject,
                                   std::function<QString(std::int32_t, time::stored_time)> time_line)
    : look_(std::move(look)), subject_(std::move(subject)), time_line_(std::move(time_line))
{
}

alarm_window_set::~alarm_window_set()
{
    for (auto& [id, windows] : open_)
        for (const QPointer<alarm_window>& w : windows)
            delete w.data();
}

bool alarm_window_set::has_window(std::int32_t alarm) const { return open_.count(alarm) != 0; }

std::vector<alarm_window*> alarm_window_set::windows_of(std::int32_t alarm) const
{
    std::vector<alarm_window*> out;
    if (auto it = open_.find(alarm); it != open_.end())
        for (const QPointer<alarm_window>& w : it->second)
            if (w)
                out.push_back(w.data());
    return out;
}

std::size_t alarm_window_set::window_count() const
{
    std::size_t n = 0;
    for (const auto& [id, windows] : open_)
        n += windows.size();
    return n;
}

void alarm_window_set::open(const tracking::Alarm& a)
{
    if (has_window(a.id))
        return;
    const time::stored_time opened = time::now();
    const std::int32_t id = a.id;
    auto& windows = open_[id];
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        // Below the alarm windows already on this screen.
        int y = area.top();
        for (const auto& [other, list] : open_)
            for (const QPointer<alarm_window>& w : list)
                if (w && w->screen() == screen)
                    y = std::max(y, w->geometry().bottom() + 1 + w->height() / 12);
        auto* w = new alarm_window(id, subject_(a), look_(a), [this, id, opened] { return time_line_(id, opened); });
        w->setScreen(screen);
        connect(w, &alarm_window::dismissed, this, &alarm_window_set::dismissed);
        connect(w, &alarm_window::snoozed, this, &alarm_window_set::snoozed);
        w->slide_in(area, y);
        windows.push_back(w);
    }
}

void alarm_window_set::close(std::int32_t alarm)
{
    auto it = open_.find(alarm);
    if (it == open_.end())
        return;
    const std::vector<QPointer<alarm_window>> windows = std::move(it->second);
    open_.erase(it);
    for (const QPointer<alarm_window>& w : windows)
        if (w)
            w->retire();
}

}  // namespace qm::ui
