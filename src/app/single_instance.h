#pragma once
// One running copy per user: a lock file decides which copy runs, and a local
// socket lets a second copy ask the first to show its window.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

namespace qm::app {

class single_instance : public QObject {
    Q_OBJECT
public:
    // name: the per-user key; folder: where the lock and socket live
    // (XDG_RUNTIME_DIR when set, else the temporary folder).
    explicit single_instance(QString name = QStringLiteral("quillmere-planner"), QString folder = QString());
    ~single_instance() override;

    // True when this copy is the first one. A lock left by a crashed copy is
    // taken over. When the lock cannot be made at all (the folder is missing
    // or refuses writes), the reason is reported and this copy counts as the
    // first unless another one answers on the socket.
    bool acquire();
    // Starts answering requests of later copies.
    bool listen();
    // Asks the running copy to show its window; false when it cannot be reached.
    bool ask_running_copy_to_show(int timeout_ms = 5000);

    QString socket_path() const;
    QString lock_path() const;

signals:
    void show_requested();

private:
    void on_connection();
    bool running_copy_reachable() const;

    QString name_;
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
};

// True when "skip_check" exists in the current working directory.
bool skip_check_present();

}  // namespace qm::app
