#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT (Ctrl-C), SIGTERM and SIGHUP into a signal on the event loop (through a pipe the
// handler writes to), so that a stop asked for by any of them is seen at the next pump of a
// running check. After the first of a kind its default action is back: a second Ctrl-C ends the
// process at once. One watcher per process.
class StopSignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit StopSignalWatcher(QObject* parent = nullptr);
    ~StopSignalWatcher() override;

    bool interrupted() const { return m_signal != 0; }
    // The first signal that asked for the stop; 0 before any.
    int signalNumber() const { return m_signal; }

signals:
    void interrupt();

private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
    int m_signal = 0;
};
