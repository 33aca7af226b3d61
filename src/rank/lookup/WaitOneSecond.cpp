#include "rank/lookup/WaitOneSecond.h"

#include "net/Endpoints.h"
#include "platform/TickCount.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>

void WaitOneSecond()
{
    const std::uint32_t start = TickCount::now();
    const std::uint32_t interval = static_cast<std::uint32_t>(Endpoints::current().requestIntervalMs);
    for (std::uint32_t elapsed = TickCount::since(start); elapsed < interval;
         elapsed = TickCount::since(start)) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(static_cast<int>(interval - elapsed));
        loop.exec();
    }
}

bool WaitMilliseconds(int ms, const std::function<bool()>& stopped)
{
    const std::uint32_t start = TickCount::now();
    for (std::uint32_t elapsed = TickCount::since(start); elapsed < std::uint32_t(ms);
         elapsed = TickCount::since(start)) {
        if (stopped())
            return false;
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(static_cast<int>(std::min<std::uint32_t>(100, std::uint32_t(ms) - elapsed)));
        loop.exec();
    }
    return !stopped();
}
