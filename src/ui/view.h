#pragma once
// A view of the main window: registered by id, shown one at a time, with its
// own toolbar buttons, and the target of the commands that reach the window
// while it has the focus.

#include <QString>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace qm::ui {

struct toolbar_button {
    QString label;  // "-" is a separator
    int command = 0;
    bool checkable = false;
    bool checked = false;
    bool enabled = true;
};

class view : public QWidget {
    Q_OBJECT
public:
    view(int id, QString title, QWidget* parent = nullptr) : QWidget(parent), id_(id), title_(std::move(title)) {}

    int view_id() const { return id_; }
    const QString& title() const { return title_; }

    virtual std::vector<toolbar_button> buttons() const { return {}; }
    // The end of the command chain: the view carries the command out (true)
    // or says it is not its own (false). It passes a command on only to its
    // own controls, never back to the frame, so routing always ends.
    virtual bool handle_command(int id) { (void)id; return false; }
    // Whether the view can carry the command out at all; the frame disables
    // the menu items and keys of the commands that nothing would take.
    virtual bool handles(int id) const { (void)id; return false; }
    // Whether a keyboard menu shows the line of a command marked (a filter
    // that is on); asked for each line as the menu opens.
    virtual bool line_marked(int command) const { (void)command; return false; }
    virtual void save_state() {}
    virtual bool printable() const { return false; }

    // Where the view stands, for Back and Forward: the stored date it shows
    // (0 when it shows none), and going back to one.
    virtual std::int64_t shown_date() const { return 0; }
    virtual void show_date(std::int64_t date) { (void)date; }
    // The task the view's commands act on (the focus row, the selected box),
    // 0 for none; the jump commands go to its place, Add Alarm attaches to it.
    virtual std::int32_t focus_task() const { return 0; }
    // Shows and selects the task; false when the view cannot show it.
    virtual bool reveal_task(std::int32_t id) { (void)id; return false; }

signals:
    void status_message(const QString& text);
    // The date or the thing shown changed (a place for Back and Forward).
    void place_changed();
    // The state of the view's toolbar buttons changed.
    void buttons_changed();

private:
    int id_;
    QString title_;
};

// A view whose part of the program is not built yet: it says what will be there.
class placeholder_view : public view {
    Q_OBJECT
public:
    placeholder_view(int id, const QString& title, const QString& description,
                     std::vector<toolbar_button> buttons = {}, QWidget* parent = nullptr);
    std::vector<toolbar_button> buttons() const override { return buttons_; }

private:
    std::vector<toolbar_button> buttons_;
};

}  // namespace qm::ui
