#pragma once

#include "ControlState.h"
#include "HttpRequest.h"
#include "Pages.h"
#include "Services.h"
#include "TlsServer.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <array>
#include <optional>

struct SandboxOptions {
    QString site = QStringLiteral("www.example.ru");
    quint32 seed = 0;
    int requestIntervalMs = 50;
    QByteArray updateFile; // served as /zlt.upd; empty: the stand-in below, or none (404)
    // Without an update file, a small signed stand-in of a newer version is served, for the tests
    // of the download; it is no program anyone could run, so the demo serves none.
    bool serveUpdateStandIn = true;
    QByteArray updateSecretKey; // signs it as /zlt.upd.sig; empty: a key pair made at start
    QByteArray definitionsFile; // published as /engines.ini, signed with the same key; empty: 404
    // Every service's port speaks TLS with this certificate (the control port stays plain).
    QByteArray tlsCertificate; // PEM
    QByteArray tlsKey; // PEM
    QString tlsCaFile; // written as [tls] CaFile; empty: none
    bool tls = false;
    // The keys the API services accept.
    QByteArray yandexApiKey = "sandbox-yandex-key";
    QByteArray yandexFolderId = "sandbox-folder";
    QByteArray serpApiKey = "sandbox-serp-key";
};

// One QTcpServer per service plus the control port, all on 127.0.0.1 and one thread.
class SandboxServer : public QObject {
    Q_OBJECT
public:
    explicit SandboxServer(const SandboxOptions& options, QObject* parent = nullptr);

    bool listen(QString* error);
    QByteArray endpointsIni() const;
    // Engine definitions that take Yandex.ru, Google.com and the Wordstat count from the API
    // services here; deferred: the Yandex searches by operations.
    QByteArray apiDefinitionsIni(bool deferred) const;

private:
    struct Reply {
        int status = 200;
        QByteArray contentType = "text/html; charset=windows-1251";
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        std::optional<qint64> announcedLength; // HEAD only: Content-Length instead of the body's
    };
    struct Operation {
        QByteArray rawData;
        bool damaged = false; // the finished operation's JSON is cut short
        int pollsLeft = 0; // polls still answered "not done"
        QByteArray createdAt;
    };
    struct LoggedRequest {
        Service service;
        int connection;
        HttpRequest request;
    };

    void acceptConnections(QTcpServer* server, std::optional<Service> service);
    void readRequests(QTcpSocket* socket, std::optional<Service> service);
    // Returns no reply for a stalled request.
    std::optional<Reply> serviceReply(Service service, const HttpRequest& request);
    Reply pageReply(Service service, const HttpRequest& request);
    Reply resultPageReply(Service service, const HttpRequest& request);
    Reply controlReply(const HttpRequest& request);
    Reply apiReply(
        Service service, const HttpRequest& request, const std::optional<Misbehaviour>& misbehaviour);
    // A Yandex Cloud API's error reply: the status with the API's JSON error.
    static Reply cloudRefusal(int status, const QByteArray& message);
    Reply yandexSearchReply(const HttpRequest& request, const std::optional<Misbehaviour>& misbehaviour);
    Reply operationReply(const HttpRequest& request);
    Reply wordstatApiReply(const HttpRequest& request, const std::optional<Misbehaviour>& misbehaviour);
    Reply serpReply(const HttpRequest& request, const std::optional<Misbehaviour>& misbehaviour);
    void setApiErrorBody(Service service, Reply& reply) const; // for reply.status, as the API words it
    int sitePosition(Service apiService, const QString& keyword) const; // 0: nowhere
    QByteArray originOf(Service service) const;
    void learnSite(Service service, const HttpRequest& request);
    QByteArray logLines() const;
    QByteArray promotionRequests() const;
    void dropStalledConnections();
    QByteArray hostOf(const QTcpServer& server) const;
    void send(QTcpSocket* socket, const Reply& reply, const HttpRequest& request);

    SandboxOptions m_options;
    QByteArray m_updatePublicKey;
    QByteArray m_updateSignature;
    Pages m_pages;
    ControlState m_state;
    std::array<TlsServer, kServiceCount> m_servers;
    QTcpServer m_control;
    QList<LoggedRequest> m_log;
    QList<QPointer<QTcpSocket>> m_stalled;
    int m_connections = 0;
    QHash<QByteArray, Operation> m_operations;
    int m_operationCount = 0;
};
