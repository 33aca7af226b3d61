#include "app/check/StopSignalWatcher.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kStopSignals[] = { SIGINT, SIGTERM, SIGHUP };

int g_pipe[2] = { -1, -1 };

extern "C" void onStopSignal(int number)
{
    std::signal(number, SIG_DFL);
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
}

} // namespace

StopSignalWatcher::StopSignalWatcher(QObject* parent)
    : QObject(parent)
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StopSignalWatcher::readPipe);
    struct sigaction action { };
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kStopSignals)
        sigaction(number, &action, nullptr);
}

StopSignalWatcher::~StopSignalWatcher()
{
    for (int number : kStopSignals)
        std::signal(number, SIG_DFL);
    delete m_notifier;
    for (int& fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void StopSignalWatcher::readPipe()
{
    char buffer[16];
    ssize_t got = 0;
    while ((got = ::read(g_pipe[0], buffer, sizeof buffer)) > 0) {
        if (m_signal == 0)
            m_signal = static_cast<unsigned char>(buffer[0]);
    }
    if (m_signal != 0)
        emit interrupt();
}
