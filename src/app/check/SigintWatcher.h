#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT into a signal on the event loop (through a pipe the handler writes to), so that
// Ctrl-C is seen at the next pump of a running check. After the first SIGINT the default action
// is back: a second Ctrl-C ends the process at once. One watcher per process.
class SigintWatcher : public QObject {
    Q_OBJECT
public:
    explicit SigintWatcher(QObject* parent = nullptr);
    ~SigintWatcher() override;

    bool interrupted() const { return m_interrupted; }

signals:
    void interrupt();

private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
    bool m_interrupted = false;
};
