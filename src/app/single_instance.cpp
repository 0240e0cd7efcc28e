#include "app/single_instance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>

#include <unistd.h>

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
    lock_.reset();
    return false;
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
