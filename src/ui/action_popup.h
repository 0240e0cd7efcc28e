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

namespace qm::ui {

struct popup_line {
    QString key;   // "A", "TOD"; empty for a line that cannot be typed
    QString text;
    QString right; // right-hand text ("5m ago")
    std::function<void()> chosen;
};

class action_popup : public QDialog {
    Q_OBJECT
public:
    action_popup(const QString& caption, std::vector<popup_line> lines, QWidget* parent = nullptr);

    // Shows the popup over parent until a line is chosen or it is closed;
    // the chosen line's action runs after the popup has closed.
    static void run(const QString& caption, std::vector<popup_line> lines, QWidget* parent);

    const QString& typed() const { return typed_; }
    // The line chosen, -1 when none was.
    int chosen() const { return chosen_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void redraw();

    std::vector<popup_line> lines_;
    QString typed_;
    QLabel* body_ = nullptr;
    int chosen_ = -1;
};

}  // namespace qm::ui
