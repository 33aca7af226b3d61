#include "SandboxServer.h"

#include "platform/CodePage.h"
#include "rank/lookup/EngineDefinitions.h"
#include "rank/lookup/EngineTable.h"
#include "update/UpdateSignature.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <stdexcept>

namespace {

const char* kUpdateLastModified = "Wed, 03 Sep 2008 10:00:00 GMT";

// The update host's pages: the update file, its signature, the engine definitions, theirs.
int updatePageOf(const QByteArray& path)
{
    static const QList<QByteArray> paths = { "/zlt.upd", "/zlt.upd.sig", "/engines.ini", "/engines.ini.sig" };
    return int(paths.indexOf(path));
}

// A date that changes whenever the published definitions do, so that a client comparing
// "Last-Modified" sees a new file.
QByteArray definitionsLastModified(const QByteArray& file)
{
    const QDateTime base(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);
    const QDateTime date = base.addSecs(fnv1a(file) % (365 * 24 * 3600));
    return QLocale::c().toString(date, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'")).toLatin1();
}

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 407:
        return "Proxy Authentication Required";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

// The program's row of an engine the sandbox plays.
const EngineDefinition& rowOf(Service service)
{
    const std::optional<Engine> engine = engineByKey(serviceKey(service));
    if (!engine)
        throw std::logic_error("not an engine: " + serviceKey(service).toStdString());
    return builtInEngine(*engine);
}

// Keywords arrive as the engine's row encodes them: percent-encoded UTF-8, or Windows-1251 bytes.
QString keywordOf(const EngineDefinition& row, const QByteArray& raw)
{
    const QByteArray bytes = percentDecode(raw);
    if (row.keywordEncoding == KeywordEncoding::Utf8Percent)
        return QString::fromUtf8(bytes);
    return CodePage::fromAnsi(bytes);
}

struct EngineRequest {
    QByteArray path;
    QByteArray keywordKey;
    QByteArray numberKey;
    int first; // the number of page 0
    int step; // how the number grows per page
};

EngineRequest engineRequest(const EngineDefinition& row)
{
    const QByteArray path = row.urlTemplate.left(row.urlTemplate.indexOf('?'));
    return { path, queryParameterOf(row, "{keyword}"), queryParameterOf(row, "{page}"), row.pageOffset,
        row.pageStep };
}

} // namespace

SandboxServer::SandboxServer(const SandboxOptions& options, QObject* parent)
    : QObject(parent)
    , m_options(options)
    , m_pages(options.seed)
    , m_state(options.site)
{
    if (m_options.updateFile.isEmpty() && m_options.serveUpdateStandIn)
        m_options.updateFile = Pages::updateFile(Pages::kUpdateFileVersion);
    if (m_options.updateSecretKey.isEmpty())
        m_options.updateSecretKey = UpdateSignature::generateKeyPair().secretKey;
    m_updatePublicKey = UpdateSignature::publicKeyOf(m_options.updateSecretKey);
    m_updateSignature = UpdateSignature::sign(m_options.updateFile, m_options.updateSecretKey);
}

bool SandboxServer::listen(QString* error)
{
    QSslCertificate certificate;
    QSslKey key;
    if (m_options.tls) {
        certificate = QSslCertificate(m_options.tlsCertificate, QSsl::Pem);
        key = QSslKey(m_options.tlsKey, QSsl::Ec, QSsl::Pem);
        if (key.isNull())
            key = QSslKey(m_options.tlsKey, QSsl::Rsa, QSsl::Pem);
        if (certificate.isNull() || key.isNull()) {
            *error = QStringLiteral("the TLS certificate or key cannot be read");
            return false;
        }
    }
    for (Service service : allServices()) {
        TlsServer& server = m_servers[static_cast<int>(service)];
        if (m_options.tls)
            server.useTls(certificate, key);
        if (!server.listen(QHostAddress::LocalHost, 0)) {
            *error = serviceKey(service) + QStringLiteral(": ") + server.errorString();
            return false;
        }
        acceptConnections(&server, service);
    }
    if (!m_control.listen(QHostAddress::LocalHost, 0)) {
        *error = QStringLiteral("Control: ") + m_control.errorString();
        return false;
    }
    acceptConnections(&m_control, std::nullopt);
    return true;
}

QByteArray SandboxServer::originOf(Service service) const
{
    return (m_options.tls ? "https://" : "http://") + hostOf(m_servers[static_cast<int>(service)]);
}

QByteArray SandboxServer::hostOf(const QTcpServer& server) const
{
    return "127.0.0.1:" + QByteArray::number(server.serverPort());
}

QByteArray SandboxServer::endpointsIni() const
{
    QByteArray ini = "[hosts]\n";
    for (Service service : allServices())
        ini += serviceKey(service).toLatin1() + '=' + hostOf(m_servers[static_cast<int>(service)]) + '\n';
    ini += "MakerSite=" + hostOf(m_control) + "\nPartnerSite=" + hostOf(m_control) + "\n";
    ini += "\n[timing]\nRequestIntervalMs=" + QByteArray::number(m_options.requestIntervalMs) + "\n";
    ini += "\n[update]\nPublicKey=" + m_updatePublicKey.toHex() + "\n";
    ini += QByteArray("Scheme=") + (m_options.tls ? "https" : "http") + "\n";
    if (!m_options.tlsCaFile.isEmpty())
        ini += "\n[tls]\nCaFile=" + m_options.tlsCaFile.toUtf8() + "\n";
    ini += "\n[sandbox]\nControl=" + hostOf(m_control) + "\n";
    return ini;
}

void SandboxServer::acceptConnections(QTcpServer* server, std::optional<Service> service)
{
    connect(server, &QTcpServer::newConnection, this, [this, server, service] {
        while (QTcpSocket* socket = server->nextPendingConnection()) {
            socket->setProperty("connectionId", ++m_connections);
            auto reader = std::make_shared<RequestReader>();
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, service, reader] {
                if (socket->property("stalled").toBool()) {
                    socket->readAll();
                    return;
                }
                reader->append(socket->readAll());
                while (!socket->property("stalled").toBool()
                    && socket->state() == QAbstractSocket::ConnectedState) {
                    std::optional<HttpRequest> request = reader->next();
                    if (!request)
                        break;
                    if (service) {
                        m_log.append({ *service, socket->property("connectionId").toInt(), *request });
                        learnSite(*service, *request);
                        if (std::optional<Reply> reply = serviceReply(*service, *request)) {
                            send(socket, *reply, *request);
                        } else {
                            socket->setProperty("stalled", true);
                            m_stalled.append(socket);
                        }
                    } else {
                        send(socket, controlReply(*request), *request);
                    }
                }
                if (reader->takeContinue() && !socket->property("stalled").toBool())
                    socket->write("HTTP/1.1 100 Continue\r\n\r\n");
                if (reader->failed() && !socket->property("stalled").toBool()) {
                    socket->setProperty("stalled", true);
                    Reply reply;
                    reply.status = 400;
                    reply.body = Pages::statusPage(400, reasonPhrase(400));
                    HttpRequest closing;
                    closing.version = "HTTP/1.0";
                    send(socket, reply, closing);
                }
            });
        }
    });
}

void SandboxServer::send(QTcpSocket* socket, const Reply& reply, const HttpRequest& request)
{
    const bool keepAlive = request.keepAlive();
    QByteArray head
        = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n";
    head += "Server: ks-sandbox\r\n";
    head += "Content-Type: " + reply.contentType + "\r\n";
    for (const auto& [name, value] : reply.headers)
        head += name + ": " + value + "\r\n";
    const qint64 length
        = request.method == "HEAD" && reply.announcedLength ? *reply.announcedLength : reply.body.size();
    head += "Content-Length: " + QByteArray::number(length) + "\r\n";
    head += keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    head += "\r\n";
    socket->write(head);
    if (request.method != "HEAD")
        socket->write(reply.body);
    if (!keepAlive)
        socket->disconnectFromHost();
}

void SandboxServer::learnSite(Service service, const HttpRequest& request)
{
    if (service == Service::YandexCY) {
        const QByteArray prefix = "/yca/cy/ch/";
        const QByteArray path = request.path();
        if (path.startsWith(prefix))
            m_state.setSite(CodePage::fromAnsi(percentDecode(path.mid(prefix.size()))));
    } else if (service == Service::PageRank && request.method == "POST") {
        for (const QByteArray& field : request.body.split('&')) {
            if (field.startsWith("url="))
                m_state.setSite(CodePage::fromAnsi(percentDecode(field.mid(4), true)));
        }
    }
}

std::optional<SandboxServer::Reply> SandboxServer::serviceReply(Service service, const HttpRequest& request)
{
    const ServiceOverrides& overrides = m_state.of(service);
    Reply reply;
    // An API error is answered in the result an operation gives, not to the polls for it.
    const bool poll = service == Service::YandexSearchApi && request.method == "GET";
    const std::optional<Misbehaviour> misbehaviour = m_state.takeMisbehaviour(service, !poll);
    const QByteArray origin = originOf(service);
    const QByteArray elsewhere = origin + "/moved";
    const bool apiKind = misbehaviour
        && (misbehaviour->kind == Misbehaviour::Kind::ApiError
            || misbehaviour->kind == Misbehaviour::Kind::ApiLimit
            || misbehaviour->kind == Misbehaviour::Kind::ApiDamage);
    if (isApiService(service) && (!misbehaviour || apiKind)) {
        reply = apiReply(service, request, misbehaviour);
    } else if (apiKind) {
        reply = pageReply(service, request);
    } else if (!misbehaviour || misbehaviour->kind == Misbehaviour::Kind::Location200) {
        reply = pageReply(service, request);
        if (misbehaviour)
            reply.headers.append(qMakePair(QByteArray("Location"), QByteArray(elsewhere)));
    } else if (misbehaviour->kind == Misbehaviour::Kind::Stall) {
        return std::nullopt;
    } else if (misbehaviour->kind == Misbehaviour::Kind::Captcha) {
        reply.status = 302;
        const bool google = service == Service::GoogleCom || service == Service::GoogleRu;
        const QByteArray page = google ? "/sorry/index?continue=" : "/showcaptcha?retpath=";
        reply.headers.append(
            qMakePair(QByteArray("Location"), origin + page + request.target.toPercentEncoding()));
        reply.body = Pages::statusPage(302, reasonPhrase(302));
    } else if (misbehaviour->kind == Misbehaviour::Kind::JavaScriptWall) {
        reply.body = Pages::javaScriptWallPage();
    } else if (misbehaviour->kind == Misbehaviour::Kind::TooManyRequests) {
        reply.status = 429;
        reply.headers.append(qMakePair(QByteArray("Retry-After"), QByteArray("3600")));
        reply.body = Pages::statusPage(429, reasonPhrase(429));
    } else if (misbehaviour->kind == Misbehaviour::Kind::Redirect) {
        reply.status = 302;
        reply.headers.append(qMakePair(QByteArray("Location"), QByteArray(elsewhere)));
        reply.body = Pages::statusPage(302, reasonPhrase(302));
    } else {
        reply.status = misbehaviour->status;
        if (reply.status == 407)
            reply.headers.append(
                qMakePair(QByteArray("Proxy-Authenticate"), QByteArray("Basic realm=\"sandbox\"")));
        reply.body = Pages::statusPage(reply.status, reasonPhrase(reply.status));
    }
    // An API answers its errors in JSON, a refusal for too many requests among them.
    const bool failed = misbehaviour
        && (misbehaviour->kind == Misbehaviour::Kind::Status
            || misbehaviour->kind == Misbehaviour::Kind::TooManyRequests);
    if (failed && isApiService(service))
        setApiErrorBody(service, reply);
    for (const QByteArray& cookie : overrides.cookies)
        reply.headers.append(qMakePair(QByteArray("Set-Cookie"), QByteArray(cookie)));
    if (request.method == "HEAD")
        reply.announcedLength = overrides.headLength;
    for (const auto& header : overrides.headers) {
        const QByteArray& name = header.first;
        const QByteArray& value = header.second;
        reply.headers.removeIf(
            [&name](const auto& existing) { return existing.first.compare(name, Qt::CaseInsensitive) == 0; });
        if (value.isEmpty())
            continue;
        if (name.compare("Content-Type", Qt::CaseInsensitive) == 0)
            reply.contentType = value;
        else
            reply.headers.append(qMakePair(name, value));
    }
    return reply;
}

SandboxServer::Reply SandboxServer::pageReply(Service service, const HttpRequest& request)
{
    if (isResultEngine(service))
        return resultPageReply(service, request);
    if (isApiService(service))
        return apiReply(service, request, std::nullopt);

    Reply reply;
    const QByteArray path = request.pathWithoutQuery();
    const std::optional<QByteArray> literal = m_state.of(service).body(0);
    bool known = true;
    switch (service) {
    case Service::Wordstat:
        known = path == "/stat/wordsstat.pl";
        if (known) {
            const QString keyword = keywordOf(rowOf(Service::YandexRu), request.queryValue("text"));
            reply.body
                = Pages::wordstatPage(keyword, m_state.countText().value_or(m_pages.defaultCount(keyword)));
        }
        break;
    case Service::YandexCY:
        known = path.startsWith("/yca/cy/ch/");
        if (known)
            reply.body
                = Pages::cyPage(m_state.site(), m_state.cyText().value_or(m_pages.defaultCy(m_state.site())));
        break;
    case Service::PageRank:
        reply.body = Pages::pageRankPage(m_state.prText().value_or(m_pages.defaultPageRank(m_state.site())));
        break;
    case Service::Update: {
        // Page 0 is the file, page 1 its signature, made over the file as configured: a body
        // replaced by a command is a tampered file. Pages 2 and 3 are the published definitions
        // and their signature, in the same way; without definitions both answer 404.
        const int page = updatePageOf(path);
        const QByteArray definitions = m_state.definitions().value_or(m_options.definitionsFile);
        const bool updateServed = !m_options.updateFile.isEmpty() || m_state.updateVersion();
        known = page >= 0 && !m_state.of(service).missingPages.contains(page)
            && (page < 2 ? updateServed : !definitions.isEmpty());
        if (!known)
            break;
        reply.contentType = "application/octet-stream";
        if (page >= 2) {
            reply.contentType = page == 2 ? "text/plain; charset=utf-8" : "application/octet-stream";
            reply.headers.append(
                qMakePair(QByteArray("Last-Modified"), definitionsLastModified(definitions)));
            reply.body
                = page == 3 ? UpdateSignature::sign(definitions, m_options.updateSecretKey) : definitions;
            if (const std::optional<QByteArray> replaced = m_state.of(service).body(page))
                reply.body = *replaced;
            return reply;
        }
        reply.headers.append(qMakePair(QByteArray("Last-Modified"), QByteArray(kUpdateLastModified)));
        reply.body = page == 1 ? m_updateSignature : m_options.updateFile;
        if (const std::optional<QByteArray> version = m_state.updateVersion()) {
            const QByteArray file = Pages::updateFile(*version);
            reply.body = page == 1 ? UpdateSignature::sign(file, m_options.updateSecretKey) : file;
        }
        if (const std::optional<QByteArray> replaced = m_state.of(service).body(page))
            reply.body = *replaced;
        return reply;
    }
    case Service::Feedback:
        known = path == "/promoscript/feedback_new.php";
        reply.body = Pages::feedbackPage();
        break;
    default:
        break;
    }
    if (!known) {
        Reply missing;
        missing.status = 404;
        missing.body = Pages::statusPage(404, reasonPhrase(404));
        return missing;
    }
    if (literal)
        reply.body = *literal;
    return reply;
}

SandboxServer::Reply SandboxServer::resultPageReply(Service service, const HttpRequest& request)
{
    const EngineRequest shape = engineRequest(rowOf(service));
    Reply reply;
    const int number = request.queryValue(shape.numberKey).toInt();
    const int pageIndex = std::max(0, (number - shape.first) / shape.step);
    const ServiceOverrides& overrides = m_state.of(service);
    if (request.pathWithoutQuery() != shape.path || overrides.missingPages.contains(pageIndex)) {
        reply.status = 404;
        reply.body = Pages::statusPage(404, reasonPhrase(404));
        return reply;
    }
    if (const std::optional<QByteArray> literal = overrides.body(pageIndex)) {
        reply.body = *literal;
        return reply;
    }
    Pages::ResultPageInput input;
    input.engine = service;
    input.pageIndex = pageIndex;
    input.keyword = keywordOf(rowOf(service), request.queryValue(shape.keywordKey));
    input.entries = overrides.entriesOn(pageIndex).value_or(pageSize(service));
    input.site = m_state.site();
    input.placement
        = overrides.placement(input.keyword).value_or(m_pages.defaultPlacement(service, input.keyword));
    input.siteValue = overrides.siteValue(input.keyword);
    input.googleLayout = m_state.googleLayout();
    reply.body = Pages::resultPage(input);
    return reply;
}

SandboxServer::Reply SandboxServer::controlReply(const HttpRequest& request)
{
    Reply reply;
    reply.contentType = "text/plain; charset=utf-8";
    const QByteArray path = request.pathWithoutQuery();
    if (path == "/control" && request.method == "POST") {
        const ControlState::Outcome outcome = m_state.apply(request.body);
        if (outcome.reset)
            dropStalledConnections();
        if (outcome.clearLog)
            m_log.clear();
        if (!outcome.error.isEmpty()) {
            reply.status = 400;
            reply.body = outcome.error.toUtf8() + '\n';
        } else {
            reply.body = "ok\n";
        }
    } else if (path == "/log" && request.method != "POST") {
        reply.contentType = "application/x-ndjson";
        reply.body = logLines();
    } else if (path == "/feedback" && request.method != "POST") {
        reply.contentType = "text/plain; charset=windows-1251";
        reply.body = promotionRequests();
    } else {
        reply.contentType = "text/html; charset=windows-1251";
        reply.body = Pages::makerPage();
    }
    return reply;
}

QByteArray SandboxServer::logLines() const
{
    QByteArray lines;
    for (const LoggedRequest& entry : m_log) {
        QJsonObject object;
        object["service"] = serviceKey(entry.service);
        object["connection"] = entry.connection;
        object["method"] = QString::fromLatin1(entry.request.method);
        object["target"] = QString::fromLatin1(entry.request.target.toBase64());
        object["head"] = QString::fromLatin1(entry.request.head.toBase64());
        object["body"] = QString::fromLatin1(entry.request.body.toBase64());
        lines += QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    }
    return lines;
}

QByteArray SandboxServer::promotionRequests() const
{
    QByteArray text;
    for (const LoggedRequest& entry : m_log) {
        if (entry.service == Service::Feedback)
            text += entry.request.head + entry.request.body + "\r\n\r\n";
    }
    return text;
}

void SandboxServer::dropStalledConnections()
{
    for (const QPointer<QTcpSocket>& socket : std::as_const(m_stalled)) {
        if (socket)
            socket->abort();
    }
    m_stalled.clear();
}
