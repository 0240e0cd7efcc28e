#pragma once
// SIGTERM (a desktop session ending) and SIGINT (Ctrl+C in a terminal) are
// turned into a call on the main thread, so they run the same orderly
// shutdown as "Exit" and no change is lost.

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace qm::app {

class termination_signals : public QObject {
    Q_OBJECT
public:
    explicit termination_signals(std::function<void(int signal)> on_signal, QObject* parent = nullptr);
    ~termination_signals() override;

private:
    void on_readable();

    std::function<void(int)> on_signal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace qm::app
