#pragma once
// The window of a fired alarm: small, frameless and on top, at the right edge
// of its screen below the alarm windows already there, sliding in without
// taking the focus. It shows the subject and a time line that moves every
// second, and offers Dismiss and the snooze menu. One per screen per alarm,
// kept by alarm_window_set. Main thread only.

#include "tracking/alarm_store.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>

class QLabel;
class QScreen;

namespace qm::ui {

struct alarm_look {
    QColor light;
    QColor dark;
};

class alarm_window : public QWidget {
    Q_OBJECT
public:
    static const std::vector<int>& snooze_minutes();

    alarm_window(std::int32_t alarm, const QString& subject, alarm_look look,
                 std::function<QString()> time_line, QWidget* parent = nullptr);
    std::int32_t alarm() const { return alarm_; }
    QString time_text() const;
    // Stops its countdown and goes: the set that fed it may be gone before
    // the deferred delete runs.
    void retire();
    QString subject_text() const;
    // Puts it at (right edge, y) of the area, moving in from beyond the edge.
    void slide_in(const QRect& area, int y);

signals:
    void dismissed(std::int32_t alarm);
    void snoozed(std::int32_t alarm, std::int64_t seconds);

protected:
    void paintEvent(QPaintEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void show_snooze_menu(const QPoint& at);

    std::int32_t alarm_;
    alarm_look look_;
    std::function<QString()> time_line_;
    QLabel* subject_ = nullptr;
    QLabel* time_ = nullptr;
    QTimer refresh_;
};

class alarm_window_set : public QObject, public tracking::alarm_windows {
    Q_OBJECT
public:
    using describer = std::function<QString(const tracking::Alarm&)>;
    alarm_window_set(std::function<alarm_look(const tracking::Alarm&)> look, describer subject,
                     std::function<QString(std::int32_t alarm, time::stored_time opened)> time_line);
    ~alarm_window_set() override;

    bool has_window(std::int32_t alarm) const override;
    void open(const tracking::Alarm& a) override;
    void close(std::int32_t alarm) override;

    std::vector<alarm_window*> windows_of(std::int32_t alarm) const;
    std::size_t window_count() const;

signals:
    void dismissed(std::int32_t alarm);
    void snoozed(std::int32_t alarm, std::int64_t seconds);

private:
    std::function<alarm_look(const tracking::Alarm&)> look_;
    describer subject_;
    std::function<QString(std::int32_t, time::stored_time)> time_line_;
    std::map<std::int32_t, std::vector<QPointer<alarm_window>>> open_;
};

}  // namespace qm::ui
