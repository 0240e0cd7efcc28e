#include "ui/message_box_presenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QThread>

#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>

namespace qm::ui {
namespace {

void to_stderr(const QString& caption, const QString& text)
{
    const QByteArray out = (caption + QStringLiteral("\n") + text + QStringLiteral("\n")).toLocal8Bit();
    std::fwrite(out.constData(), 1, static_cast<std::size_t>(out.size()), stderr);
    std::fflush(stderr);
}

void show_box(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

}  // namespace

bool display_available()
{
    const QString platform = QGuiApplication::platformName();
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr &&
           platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void message_box_presenter::show_error(const QString& caption, const QString& text)
{
    // There is no log file: the text also reaches standard error for whoever started us.
    to_stderr(caption, text);
    auto* app = QCoreApplication::instance();
    if (app == nullptr || !display_available())
        return;
    if (QThread::currentThread() == app->thread()) {
        show_box(caption, text);
        return;
    }
    struct shared_state {
        std::mutex mutex;
        std::condition_variable done_cv;
        bool done = false;
    };
    auto state = std::make_shared<shared_state>();
    QMetaObject::invokeMethod(
        app,
        [state, caption, text] {
            show_box(caption, text);
            std::lock_guard<std::mutex> lock(state->mutex);
            state->done = true;
            state->done_cv.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock<std::mutex> lock(state->mutex);
    while (!state->done) {
        if (app::main_thread_blocked())
            return;  // the main thread waits for us: it will never show the box
        state->done_cv.wait_for(lock, std::chrono::milliseconds(100));
    }
}

}  // namespace qm::ui
