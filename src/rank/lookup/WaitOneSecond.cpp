#include "rank/lookup/WaitOneSecond.h"

#include "net/Endpoints.h"
#include "platform/TickCount.h"

#include <QEventLoop>
#include <QTimer>

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
