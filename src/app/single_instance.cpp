#include "app/single_instance.h"

#include "app/message_box.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qm::app {
namespace {

const QByteArray show_request("show\n");

QString default_folder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(QString::fromLocal8Bit(runtime)).isDir())
        return QString::fromLocal8Bit(runtime);
    return QDir::tempPath();
}

}  // namespace

single_instance::single_instance(QString name, QString folder)
    : name_(std::move(name)), folder_(folder.isEmpty() ? default_folder() : std::move(folder))
{
    if (folder_.isEmpty() || folder_ == QDir::tempPath())
        name_ += QStringLiteral("-%1").arg(::getuid());  // the temporary folder is shared between users
    connect(&server_, &QLocalServer::newConnection, this, &single_instance::on_connection);
}

single_instance::~single_instance() { server_.close(); }

QString single_instance::socket_path() const { return folder_ + QLatin1Char('/') + name_ + QStringLiteral(".sock"); }

QString single_instance::lock_path() const { return folder_ + QLatin1Char('/') + name_ + QStringLiteral(".lock"); }

bool single_instance::acquire()
{
    lock_ = std::make_unique<QLockFile>(lock_path());
    // Only a dead owner makes the lock stale, however long a copy runs.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0))
        return true;
    const int error_number = errno;
    const QLockFile::LockError error = lock_->error();
    lock_.reset();
    if (error == QLockFile::LockFailedError)
        return false;  // another copy holds it

    // The lock could not be made at all (a missing or unwritable folder),
    // which says nothing about another copy: look for one on its socket.
    if (running_copy_reachable())
        return false;
    QString reason;
    if (!QFileInfo(folder_).isDir())
        reason = QStringLiteral("the folder \"%1\" does not exist").arg(folder_);
    else if (error == QLockFile::PermissionError)
        reason = QStringLiteral("permission to write in \"%1\" was denied").arg(folder_);
    else
        reason = QString::fromLocal8Bit(std::strerror(error_number));
    show_error_message(QStringLiteral("Quillmere Planner"),
                       QStringLiteral("Quillmere Planner could not create its lock file \"%1\": %2.\n\n"
                                      "It starts anyway, but cannot tell whether another copy is running. "
                                      "Do not start it twice until that folder can be written again.")
                           .arg(lock_path(), reason));
    return true;
}

bool single_instance::running_copy_reachable() const
{
    QLocalSocket socket;
    socket.connectToServer(socket_path());
    const bool reached = socket.waitForConnected(1000);
    socket.abort();
    return reached;
}

bool single_instance::listen()
{
    // A socket left by a crashed copy would refuse the name.
    QLocalServer::removeServer(socket_path());
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    return server_.listen(socket_path());
}

bool single_instance::ask_running_copy_to_show(int timeout_ms)
{
    QElapsedTimer clock;
    clock.start();
    // The first copy may still be starting and not yet listening.
    while (clock.elapsed() < timeout_ms) {
        QLocalSocket socket;
        socket.connectToServer(socket_path());
        if (socket.waitForConnected(500)) {
            socket.write(show_request);
            const bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(100);
    }
    return false;
}

void single_instance::on_connection()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            const QByteArray data = socket->readAll();
            if (data.contains("show"))
                emit show_requested();
        });
    }
}

bool skip_check_present() { return QFileInfo::exists(QDir::currentPath() + QStringLiteral("/skip_check")); }

}  // namespace qm::app
