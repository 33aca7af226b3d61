#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Starts the sandbox engines (the ks-sandbox program) on 127.0.0.1 for one test and stops
// it on destruction. Every service listens on its own port; endpointsFile() is an INI file
// in the KESTROVA_ENDPOINTS form pointing at them.
class SandboxEngines {
public:
    struct Request {
        QString service; // "GoogleCom", "GoogleRu", "YandexRu", "Wordstat", "RamblerRu", "AportRu",
                         // "MSNCom", "PageRank", "YandexCY", "Update", "Feedback"
        QByteArray method; // "GET", "POST", "HEAD"
        QByteArray target; // request target exactly as received (raw bytes)
        QByteArray head; // request line and headers exactly as received
        QByteArray body;
        int connection = 0; // requests that share a number came over one TCP connection
    };

    explicit SandboxEngines(int requestIntervalMs = 5);
    // Every engine and service over TLS with this certificate and key; caFile is written as the
    // endpoints' [tls] CaFile.
    SandboxEngines(
        int requestIntervalMs, const QString& certificate, const QString& key, const QString& caFile);
    // With more options of ks-sandbox, e.g. the keys its API services accept.
    SandboxEngines(int requestIntervalMs, const QStringList& moreArguments);
    ~SandboxEngines();

    bool started() const;
    QString endpointsFile() const; // INI: [hosts] ... [timing] RequestIntervalMs
    QString host(const QString& service) const; // "127.0.0.1:port"

    // Sends control commands (one per line, see tools/sandbox for the command set);
    // returns false when the sandbox refused one.
    bool command(const QByteArray& lines);
    QList<Request> requests(const QString& service = {}) const; // in arrival order
    void clearRequests();

private:
    void start(int requestIntervalMs, const QStringList& moreArguments);
    QByteArray exchange(
        const QByteArray& method, const QByteArray& path, const QByteArray& body, int* status) const;

    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_controlHost;
    QMap<QString, QString> m_hosts;
};
