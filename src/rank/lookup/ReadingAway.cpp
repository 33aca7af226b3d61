#include "rank/lookup/ReadingAway.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <exception>
#include <optional>

namespace {

struct Read {
    std::optional<PageReading> reading;
    std::exception_ptr error;
};

} // namespace

PageReading readAway(PageReader& reader, const QByteArray& page, int pageIndex)
{
    // The page is shared, never changed: its bytes are read on the other thread only.
    QFuture<Read> future = QtConcurrent::run([&reader, page, pageIndex] {
        Read read;
        try {
            read.reading = reader.read(page, pageIndex);
        } catch (...) {
            read.error = std::current_exception();
        }
        return read;
    });
    QFutureWatcher<Read> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<Read>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(future);
    if (!future.isFinished())
        loop.exec();
    future.waitForFinished();
    Read read = future.result();
    if (read.error)
        std::rethrow_exception(read.error);
    return std::move(*read.reading);
}
