#pragma once
// The time grid of the calendar views: one column per day under a header of
// dates, the hours down the side, the sleeping and working bands, and the
// boxes of appointments, schedule blocks and tracked times, with the
// current-time line. It knows nothing about tasks: the view hands it items
// and hears back what the mouse asked for (a range chosen, a box moved or
// resized, to-dos dropped on a slot). Main thread only.

#include "time/calendar.h"

#include <QAbstractScrollArea>
#include <QList>
#include <QString>

#include <cstdint>
#include <vector>

class QPainter;

namespace qm::ui {

// The drag of tasks from a calendar's task list: their ids, one a line.
inline const char* calendar_drag_mime() { return "application/x-quillmere-task-ids"; }

namespace calendar_kind {
constexpr int appointment = 0;
constexpr int block = 1;    // a to-do placed by the day schedule
constexpr int tracked = 2;  // a tracked-time entry
}  // namespace calendar_kind

struct calendar_item {
    int kind = calendar_kind::appointment;
    std::int32_t task = 0;
    std::int32_t entry = 0;  // the tracked-time entry
    int day = 0;             // the column
    int start = 0;           // seconds since the column's midnight, 0 to 86400
    int end = 0;
    QString text;
    QString tip;
    bool late = false;  // a block that puts a constraint at risk
    bool done = false;  // a finished, canceled or delegated appointment
    // Side by side with the items it overlaps: filled in by the grid.
    int lane = 0;
    int lanes = 1;
};

// A chosen stretch of empty time.
struct calendar_range {
    int day = -1;
    int start = 0;
    int end = 0;
    bool empty() const { return day < 0 || end <= start; }
};

class calendar_grid : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int snap = 900;  // moves and ranges go in quarter hours

    explicit calendar_grid(QWidget* parent = nullptr);

    void set_days(time::stored_date first, int count);
    time::stored_date first_day() const { return first_; }
    int day_count() const { return count_; }
    void set_items(std::vector<calendar_item> items);
    const std::vector<calendar_item>& items() const { return items_; }
    // The options' hours; a band whose end lies before its start runs past midnight.
    void set_bands(int working_start, int working_end, int sleeping_start, int sleeping_end);
    void set_now(time::stored_time now);
    // The day column that is current (its header stands out), -1 for none.
    void set_current_day(int day);
    int current_day() const { return current_day_; }

    int hour_height() const { return hour_height_; }
    void set_hour_height(int pixels);
    // The time of day at the top of the visible part, and scrolling to one.
    int first_visible_second() const;
    void scroll_to_second(int second);

    const calendar_range& selected_range() const { return range_; }
    void set_selected_range(const calendar_range& r);
    // The selected box, or nullptr.
    const calendar_item* selected_item() const;
    // Selects the first box of the task (an appointment before a block) and
    // shows it; false when the task has none here.
    bool select_task(std::int32_t task);
    void select_entry(std::int32_t entry);
    void clear_selection();

    // Where things are, in the viewport's coordinates (for the tests too).
    QPoint point_of(int day, int second) const;
    QRect item_rect(const calendar_item& item) const;
    int header_height() const;
    // Paints what the viewport shows onto another device (a printed page),
    // the painter counting in this widget's pixels.
    void render_page(QPainter& p);

signals:
    // A drag over empty time ended (or Enter on a chosen range).
    void range_chosen(const qm::ui::calendar_range& range);
    void appointment_moved(std::int32_t task, int day, int start);
    void appointment_resized(std::int32_t task, int start, int end);
    void item_activated(const qm::ui::calendar_item& item);
    // item is null on empty time; the selection is already where the click was.
    void menu_requested(const QPoint& global, const qm::ui::calendar_item* item);
    void tasks_dropped(const QList<std::int32_t>& ids, int day, int second, Qt::KeyboardModifiers modifiers);
    void selection_changed();
    void zoomed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    enum class drag_mode { none, range, move, resize_start, resize_end };
    struct drag_state {
        drag_mode mode = drag_mode::none;
        int item = -1;  // index into items_
        std::int32_t task = 0;  // the dragged box's, to find it in new items
        QPoint pressed;
        bool active = false;  // moved far enough to count as a drag
        int anchor = 0;       // range: the pressed second; move: the press offset into the box
        int day = 0, start = 0, end = 0;
    };

    void lay_out_lanes();
    void update_scroll_range();
    int axis_width() const;
    double column_width() const;
    int column_left(int day) const;
    int tracked_width() const;
    int y_of(int second) const;
    int day_at(int x) const;        // -1 outside the columns
    int second_at(int y) const;     // unsnapped, clamped to the day
    int item_at(const QPoint& p) const;
    QRect box_rect(const calendar_item& item, int day, int start, int end) const;
    void paint_all(QPainter& p);
    QFont paint_font(const QFont& f) const;
    void paint_item(QPainter& p, const calendar_item& item, const QRect& r, bool selected, bool ghost) const;
    void finish_drag();
    void select_index(int index);
    static int floor_snap(int second) { return second / snap * snap; }

    time::stored_date first_ = 0;
    int count_ = 7;
    std::vector<calendar_item> items_;
    int working_start_ = 8 * 3600, working_end_ = 17 * 3600;
    int sleeping_start_ = 23 * 3600, sleeping_end_ = 6 * 3600;
    time::stored_time now_ = 0;
    int current_day_ = -1;
    int hour_height_ = 48;
    calendar_range range_;
    // The selected box by what it shows, so that it survives new items.
    int selected_kind_ = -1;
    std::int32_t selected_task_ = 0, selected_entry_ = 0;
    drag_state drag_;
    calendar_range drop_hint_;  // where dropped tasks would go
    bool printing_ = false;
};

}  // namespace qm::ui
