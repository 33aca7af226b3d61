#include "app/check/SigintWatcher.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_pipe[2] = { -1, -1 };

extern "C" void onSigint(int)
{
    std::signal(SIGINT, SIG_DFL);
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
}

} // namespace

SigintWatcher::SigintWatcher(QObject* parent)
    : QObject(parent)
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SigintWatcher::readPipe);
    struct sigaction action { };
    action.sa_handler = onSigint;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

SigintWatcher::~SigintWatcher()
{
    std::signal(SIGINT, SIG_DFL);
    delete m_notifier;
    for (int& fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void SigintWatcher::readPipe()
{
    char buffer[16];
    while (::read(g_pipe[0], buffer, sizeof buffer) > 0) { }
    m_interrupted = true;
    emit interrupt();
}
