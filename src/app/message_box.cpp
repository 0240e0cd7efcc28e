#include "app/message_box.h"

#include <cstdio>
#include <mutex>

namespace qm::app {
namespace {

class stderr_presenter : public message_presenter {
public:
    void show_error(const QString& caption, const QString& text) override
    {
        const QByteArray out = (caption + QStringLiteral("\n") + text + QStringLiteral("\n")).toLocal8Bit();
        std::fwrite(out.constData(), 1, static_cast<std::size_t>(out.size()), stderr);
        std::fflush(stderr);
    }
};

std::mutex presenter_mutex;
std::shared_ptr<message_presenter>& presenter()
{
    static std::shared_ptr<message_presenter> p = std::make_shared<stderr_presenter>();
    return p;
}

}  // namespace

void set_message_presenter(std::shared_ptr<message_presenter> p)
{
    std::lock_guard<std::mutex> lock(presenter_mutex);
    presenter() = p ? std::move(p) : std::make_shared<stderr_presenter>();
}

void show_error_message(const QString& caption, const QString& text)
{
    std::shared_ptr<message_presenter> p;
    {
        std::lock_guard<std::mutex> lock(presenter_mutex);
        p = presenter();
    }
    p->show_error(caption, text);
}

}  // namespace qm::app

#include <atomic>

namespace qm::app {
namespace {
std::atomic<bool> blocked{false};
}

void set_main_thread_blocked(bool b) { blocked = b; }
bool main_thread_blocked() { return blocked; }

}  // namespace qm::app
