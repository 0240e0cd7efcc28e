#pragma once
// The program's icons and its notification-area icon. Qt puts the icon in a
// StatusNotifierItem host where a watcher runs and in an XEmbed tray
// otherwise; without either the program runs without a tray, and its window
// then minimises normally instead of hiding where nothing could bring it back.
// Main thread only.

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace qm::ui {

// Rendered at build time from the project's drawing: the normal icon, and the
// one the tray shows while changes are being saved at shutdown.
QIcon program_icon();
QIcon saving_icon();

class tray_icon : public QObject {
    Q_OBJECT
public:
    // The menu ("&Show", "Clapper&board", "E&xit") stays the caller's; its
    // default action is what a double-click runs.
    explicit tray_icon(QMenu* menu, QObject* parent = nullptr);
    ~tray_icon() override;

    // Adds the icon with the tip "Quillmere Planner". Returns whether a tray
    // took it; without one the program carries on, and a tray that starts
    // later still gets the icon where Qt can hand it over.
    bool add();
    bool added() const { return added_; }

    // True while a tray is there now to hold the icon, so a hidden window can
    // be brought back from it.
    bool holds_window() const;

    // Hides a minimised window into the tray when the tray can bring it back,
    // and shows the window again should the tray go away meanwhile. Returns
    // false, leaving the window minimised, when there is no tray.
    bool hide_into_tray(QWidget* window);

    // The tip names the task being timed, under the program's name; an empty
    // name means no timer runs.
    void set_timed_task(const QString& name);
    QString tool_tip() const;

    // Shutdown: the saving icon and "Saving database changes...", then away.
    void show_saving();
    void remove();

signals:
    // A double-click (or a single click, where the tray sends only that).
    void default_requested();

private:
    void check_hidden_window();

    QMenu* menu_;
    QSystemTrayIcon* icon_ = nullptr;
    QString timed_task_;
    bool added_ = false;
    bool saving_ = false;
    QPointer<QWidget> hidden_window_;
    QTimer watch_;
};

}  // namespace qm::ui
