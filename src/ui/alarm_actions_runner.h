#pragma once
// What firing an alarm does on this desktop: sounds through Qt Multimedia,
// web pages and files through the desktop's handlers, programs started
// directly with their arguments (never through a shell), and one desktop
// notification per fired alarm over D-Bus. Main thread only.

#include "tracking/alarm.h"

#include <QObject>

#include <memory>
#include <vector>

class QSoundEffect;

namespace qm::ui {

class desktop_alarm_actions : public tracking::alarm_actions {
public:
    desktop_alarm_actions();
    ~desktop_alarm_actions() override;

    QString play_sound(const QString& path) override;
    QString open_website(const QString& address) override;
    QString open_file(const QString& file, const QString& parameters) override;
    QString run_program(const QString& program, const QString& parameters) override;

private:
    // Sounds still playing; each is let go once it has stopped.
    std::vector<std::unique_ptr<QSoundEffect>> playing_;
    QObject context_;
};

// Sends "summary" and "body" to org.freedesktop.Notifications when a
// notification service is on the session bus; without one nothing happens.
void send_desktop_notification(const QString& summary, const QString& body);

}  // namespace qm::ui
