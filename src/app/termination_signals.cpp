#include "app/termination_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qm::app {
namespace {

int pipe_fds[2] = {-1, -1};

void on_signal(int sig)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(sig);
    [[maybe_unused]] const ssize_t n = ::write(pipe_fds[1], &byte, 1);
    errno = saved;
}

}  // namespace

termination_signals::termination_signals(std::function<void(int)> handler, QObject* parent)
    : QObject(parent), on_signal_(std::move(handler))
{
    if (pipe_fds[0] < 0) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipe_fds) != 0)
            return;
        ::fcntl(pipe_fds[1], F_SETFL, O_NONBLOCK);
    }
    notifier_ = std::make_unique<QSocketNotifier>(pipe_fds[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &termination_signals::on_readable);

    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = on_signal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
}

termination_signals::~termination_signals()
{
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGHUP, SIG_DFL);
}

void termination_signals::on_readable()
{
    unsigned char byte = 0;
    if (::read(pipe_fds[0], &byte, 1) == 1 && on_signal_)
        on_signal_(byte);
}

}  // namespace qm::app
