#include "ui/alarm_actions_runner.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMediaDevices>
#include <QAudioDevice>
#include <QProcess>
#include <QSoundEffect>
#include <QUrl>

#include <algorithm>

namespace qm::ui {

desktop_alarm_actions::desktop_alarm_actions() = default;
desktop_alarm_actions::~desktop_alarm_actions() = default;

QString desktop_alarm_actions::play_sound(const QString& path)
{
    const QFileInfo file(path);
    if (!file.isFile())
        return QStringLiteral("The sound file \"%1\" does not exist.").arg(path);
    if (!file.isReadable())
        return QStringLiteral("The sound file \"%1\" cannot be read.").arg(path);
    if (QMediaDevices::audioOutputs().isEmpty())
        return QStringLiteral("No audio device is available to play \"%1\".").arg(file.fileName());
    // Finished sounds go before a new one starts.
    playing_.erase(std::remove_if(playing_.begin(), playing_.end(),
                                  [](const std::unique_ptr<QSoundEffect>& s) {
                                      return !s->isPlaying() && s->status() != QSoundEffect::Loading;
                                  }),
                   playing_.end());
    auto effect = std::make_unique<QSoundEffect>();
    effect->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    effect->play();
    playing_.push_back(std::move(effect));
    return QString();
}

QString desktop_alarm_actions::open_website(const QString& address)
{
    const QUrl url = QUrl::fromUserInput(address);
    if (!url.isValid())
        return QStringLiteral("\"%1\" is not a web address.").arg(address);
    if (!QDesktopServices::openUrl(url))
        return QStringLiteral("No program opened \"%1\".").arg(address);
    return QString();
}

QString desktop_alarm_actions::open_file(const QString& file, const QString& parameters)
{
    // A file opened with parameters is a program given its arguments.
    const QFileInfo info(file);
    if (!parameters.isEmpty() && info.isExecutable() && info.isFile())
        return run_program(file, parameters);
    if (!info.exists())
        return QStringLiteral("The file \"%1\" does not exist.").arg(file);
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())))
        return QStringLiteral("No program opened \"%1\".").arg(file);
    return QString();
}

QString desktop_alarm_actions::run_program(const QString& program, const QString& parameters)
{
    const QFileInfo info(program);
    if (!info.exists())
        return QStringLiteral("The program \"%1\" does not exist.").arg(program);
    if (!info.isFile() || !info.isExecutable())
        return QStringLiteral("\"%1\" is not a program that can be run.").arg(program);
    // The arguments are split as a command line is, but nothing expands them.
    if (!QProcess::startDetached(info.absoluteFilePath(), QProcess::splitCommand(parameters)))
        return QStringLiteral("\"%1\" could not be started.").arg(program);
    return QString();
}

void send_desktop_notification(const QString& summary, const QString& body)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    const QString service = QStringLiteral("org.freedesktop.Notifications");
    if (QDBusConnectionInterface* iface = bus.interface(); iface == nullptr || !iface->isServiceRegistered(service))
        return;
    QDBusMessage m = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/Notifications"),
                                                    service, QStringLiteral("Notify"));
    m << QStringLiteral("Quillmere Planner") << 0u << QStringLiteral("alarm-symbolic") << summary << body
      << QStringList() << QVariantMap{{QStringLiteral("urgency"), QVariant::fromValue<uchar>(2)}} << -1;
    bus.send(m);  // no answer is waited for
}

}  // namespace qm::ui
