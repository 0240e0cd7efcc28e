#pragma once
// The second instance of the action menu: a modal keyboard menu over a view
// (the undo and redo lists, the views' keyboard menus). A line is chosen by
// typing its key, which may be several letters; a key that begins no line's
// key is ignored, Backspace takes a letter back, Escape clears what was typed
// and then closes. Main thread only.

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QLineEdit;

namespace qm::ui {

namespace popup_kind {
// An ordinary line; a heading over the lines below it; an empty gap; the
// menu's title line (clickable); a line that asks for a text when chosen.
constexpr int line = 0, heading = 1, separator = 2, title = 3, entry = 4;
}  // namespace popup_kind

struct popup_line {
    QString key;   // "A", "TOD"; empty for a line that cannot be typed
    QString text;
    QString right; // right-hand text ("5m ago")
    std::function<void()> chosen;
    int kind = popup_kind::line;
    bool marked = false;  // shown with a check mark (a filter that is on)
    int command = 0;      // the command the line sends, for its mark
    // An entry line: what was typed, after Enter.
    std::function<void(const QString&)> entered = {};
};

class action_popup : public QDialog {
    Q_OBJECT
public:
    action_popup(const QString& caption, std::vector<popup_line> lines, QWidget* parent = nullptr);

    // Shows the popup over parent until a line is chosen or it is closed;
    // the chosen line's action runs after the popup has closed.
    static void run(const QString& caption, std::vector<popup_line> lines, QWidget* parent);

    const QString& typed() const { return typed_; }
    // The text typed into an entry line, once one was chosen.
    QString entry_text() const;
    // The line chosen, -1 when none was.
    int chosen() const { return chosen_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void redraw();
    void choose(int line);

    std::vector<popup_line> lines_;
    QString typed_;
    QLabel* body_ = nullptr;
    int chosen_ = -1;
    QLineEdit* entry_ = nullptr;
};

}  // namespace qm::ui
