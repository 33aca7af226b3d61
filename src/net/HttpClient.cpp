#include "net/HttpClient.h"

#include "net/CookieJar.h"
#include "net/Endpoints.h"
#include "net/ProxyServer.h"
#include "net/RequestProfile.h"
#include "net/TransferErrorText.h"
#include "net/TransferLoop.h"
#include "platform/CodePage.h"

#include <curl/header.h>
#include <optional>

namespace {

struct HeaderList {
    curl_slist* list = nullptr;
    explicit HeaderList(const QList<QByteArray>& headers)
    {
        for (const QByteArray& header : headers)
            list = curl_slist_append(list, header.constData());
    }
    ~HeaderList() { curl_slist_free_all(list); }
    HeaderList(const HeaderList&) = delete;
    HeaderList& operator=(const HeaderList&) = delete;
};

QByteArray replyHeader(CURL* easy, const char* name)
{
    curl_header* header = nullptr;
    if (curl_easy_header(easy, name, 0, CURLH_HEADER, -1, &header) != CURLHE_OK)
        return {};
    return QByteArray(header->value);
}

QList<QByteArray> replyHeaderNames(CURL* easy)
{
    QList<QByteArray> names;
    curl_header* header = nullptr;
    while ((header = curl_easy_nextheader(easy, CURLH_HEADER, -1, header)) != nullptr) {
        if (!names.contains(QByteArray(header->name)))
            names << QByteArray(header->name);
    }
    return names;
}

bool sameProxy(const ProxyParams& a, const ProxyParams& b)
{
    return a.server == b.server && a.port == b.port && a.user == b.user && a.password == b.password
        && a.basicAuth == b.basicAuth;
}

bool hasReplyHeader(CURL* easy, const char* name)
{
    curl_header* header = nullptr;
    return curl_easy_header(easy, name, 0, CURLH_HEADER, -1, &header) == CURLHE_OK;
}

} // namespace

struct HttpClient::Impl {
    Impl(CookieStore::Impl* cookies, Version version);
    ~Impl();

    QByteArray perform(Method method, const QByteArray& url, const QByteArray& body, const ProxyParams& proxy,
        HeadResult* head, const QList<QByteArray>* jsonHeaders = nullptr);

    static size_t writeCallback(char* data, size_t size, size_t count, void* impl);
    void configure(Method method, const QByteArray& url, const QByteArray& body, const ProxyParams& proxy,
        const HeaderList& headers, const HeaderList& proxyHeaders);

    CookieStore::Impl* cookies;
    Version version;
    qint64 maxBody = kMaxBody;
    CURL* easy = nullptr;
    TransferLoop transfers;
    QByteArray reply;
    LastReply last;
    // The proxy of the connections kept for reuse: a tunnel made with other credentials is not
    // reused, so that the proxy judges the ones in force.
    std::optional<ProxyParams> connectionsProxy;
    bool tooLarge = false;
    char errorText[CURL_ERROR_SIZE] = {};
};

HttpClient::Impl::Impl(CookieStore::Impl* cookies, Version version)
    : cookies(cookies)
    , version(version)
    , easy(curl_easy_init())
{
    if (!easy)
        throw EHttpError("не хватает памяти");
}

HttpClient::Impl::~Impl()
{
    curl_easy_cleanup(easy);
}

size_t HttpClient::Impl::writeCallback(char* data, size_t size, size_t count, void* impl)
{
    auto* self = static_cast<Impl*>(impl);
    const size_t bytes = size * count;
    if (self->reply.size() + qint64(bytes) > self->maxBody) {
        self->tooLarge = true;
        return 0;
    }
    self->reply.append(data, qsizetype(bytes));
    return bytes;
}

void HttpClient::Impl::configure(Method method, const QByteArray& url, const QByteArray& body,
    const ProxyParams& proxy, const HeaderList& headers, const HeaderList& proxyHeaders)
{
    curl_easy_reset(easy);
    curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION,
        version == Version::Http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.list);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // Every request ends: a server that does not connect, or that sends less than the low-speed
    // limit for its whole period (also nothing at all after the request), fails the request.
    const Endpoints& timing = Endpoints::current();
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, long(timing.connectTimeoutMs));
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, long(timing.lowSpeedBytesPerSecond));
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, long(timing.lowSpeedSeconds));
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Impl::writeCallback);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &TransferLoop::progressCallback);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &transfers);
    // Set explicitly so that proxy variables of the environment never apply.
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
    // HTTP and HTTPS to the server; the proxy is a plain HTTP proxy.
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    // The server's certificate is always verified, host name included.
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    const QByteArray& extraCertificates = timing.extraCaCertificates;
    if (!extraCertificates.isEmpty()) {
        // Beside the system's certificate folder, which libcurl keeps searching.
        curl_blob blob { const_cast<char*>(extraCertificates.constData()), size_t(extraCertificates.size()),
            CURL_BLOB_COPY };
        curl_easy_setopt(easy, CURLOPT_CAINFO_BLOB, &blob);
    }
    // The headers of the list go to the server alone; a tunnel's CONNECT carries the proxy's own.
    curl_easy_setopt(easy, CURLOPT_HEADEROPT, long(CURLHEADER_SEPARATE));
    curl_easy_setopt(easy, CURLOPT_PROXYHEADER, proxyHeaders.list);
    if (proxy.server.isEmpty()) {
        curl_easy_setopt(easy, CURLOPT_PROXY, "");
    } else {
        // A scheme in the proxy text would override the proxy type; only a bare host goes through.
        if (!isProxyServerText(proxy.server))
            throw EHttpError(proxyServerError(proxy.server).toStdString());
        const QByteArray server = proxyHostForTransport(proxy.server);
        curl_easy_setopt(easy, CURLOPT_PROXY, server.constData()); // libcurl copies it
        curl_easy_setopt(easy, CURLOPT_PROXYTYPE, long(CURLPROXY_HTTP));
        // libcurl would take port 0 for its default proxy port; no connection can go to it.
        if (proxy.port <= 0 || proxy.port > 65535)
            throw EHttpError("неверный порт прокси-сервера " + std::to_string(proxy.port));
        curl_easy_setopt(easy, CURLOPT_PROXYPORT, long(proxy.port));
    }
    switch (method) {
    case Method::Get:
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
        break;
    case Method::Head:
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
        break;
    case Method::Post:
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
        curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, body.constData());
        break;
    }
    if (method != Method::Head)
        curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(maxBody));
}

QByteArray HttpClient::Impl::perform(Method method, const QByteArray& url, const QByteArray& body,
    const ProxyParams& proxy, HeadResult* head, const QList<QByteArray>* jsonHeaders)
{
    // An event handler running in the nested loop of a waiting request can reach this client
    // again; one easy handle carries one transfer, so the second request is refused here.
    if (transfers.running())
        throw EHttpError("HTTP-клиент ещё ждёт ответа на прошлый запрос");

    const UrlParts target = parseUrl(url);
    // An https request goes through the proxy in a tunnel: inside it the request is a direct one.
    const bool tunnel = target.scheme == "https" && !proxy.server.isEmpty();
    ProfileRequest profile;
    profile.method = method;
    profile.version = version;
    profile.viaProxy = !proxy.server.isEmpty() && !tunnel;
    profile.host = hostHeaderValue(target);
    profile.bodyLength = body.size();
    // The credentials are the proxy's: a direct request never carries them.
    profile.basicAuth = proxy.basicAuth && profile.viaProxy;
    if (profile.basicAuth)
        profile.userPassword = CodePage::toAnsi(proxy.user + u':' + proxy.password);
    if (cookies)
        profile.cookie = cookies->cookieHeaderFor(target);
    if (jsonHeaders) {
        profile.json = true;
        for (const QByteArray& header : *jsonHeaders) {
            // The header's text is not quoted: it may carry a key.
            if (header.contains('\r') || header.contains('\n') || header.contains('\0'))
                throw EHttpError("A request header holds a line break");
        }
        profile.extraHeaders = *jsonHeaders;
    }
    const HeaderList headers(profileHeaders(profile));
    QList<QByteArray> connectHeaders;
    if (tunnel && proxy.basicAuth)
        connectHeaders << "Proxy-Authorization: Basic "
                + CodePage::toAnsi(proxy.user + u':' + proxy.password).toBase64();
    const HeaderList proxyHeaders(connectHeaders);

    configure(method, url, body, proxy, headers, proxyHeaders);
    if (connectionsProxy && !sameProxy(*connectionsProxy, proxy))
        transfers.closeConnections();
    connectionsProxy = proxy;
    reply.clear();
    last = {};
    tooLarge = false;
    errorText[0] = '\0';
    const CURLcode result = transfers.run(easy);

    if (transfers.aborted())
        throw EHttpAborted("запрос прерван");
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    long connectStatus = 0;
    curl_easy_getinfo(easy, CURLINFO_HTTP_CONNECTCODE, &connectStatus);
    if (tunnel && connectStatus >= 300)
        // The proxy refused the tunnel (407 without valid credentials): said as for a plain request.
        throw EHttpStatus(
            "прокси-сервер ответил кодом HTTP " + std::to_string(connectStatus), int(connectStatus));
    if (status > 0 && cookies)
        cookies->storeReplyCookies(easy, target);
    if (status > 0) {
        last.status = int(status);
        last.location = replyHeader(easy, "Location");
        last.headerNames = replyHeaderNames(easy);
    }
    if (tooLarge || result == CURLE_FILESIZE_EXCEEDED)
        throw EHttpTooLarge("ответ больше " + std::to_string(maxBody) + " байт");
    if (result != CURLE_OK)
        throw EHttpError(transferErrorText(result, errorText));
    if (status < 200 || status > 299 || hasReplyHeader(easy, "Location"))
        last.body = reply;
    if (status < 200 || status > 299)
        throw EHttpStatus("сервер ответил кодом HTTP " + std::to_string(status), int(status));
    if (hasReplyHeader(easy, "Location"))
        throw EHttpError("ответ перенаправляет на " + replyHeader(easy, "Location").toStdString());
    if (head) {
        head->status = int(status);
        curl_off_t length = -1;
        curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        head->contentLength = length;
        head->lastModified = replyHeader(easy, "Last-Modified");
        head->etag = replyHeader(easy, "ETag");
    }
    QByteArray out;
    out.swap(reply);
    return out;
}

HttpClient::HttpClient(CookieStore& cookies, Version version)
    : d(std::make_shared<Impl>(&cookies.impl(), version))
{
}

HttpClient::HttpClient(Version version)
    : d(std::make_shared<Impl>(nullptr, version))
{
}

HttpClient::~HttpClient()
{
    d->transfers.abort();
}

QByteArray HttpClient::get(const QByteArray& url)
{
    const std::shared_ptr<Impl> keep = d;
    return keep->perform(Method::Get, url, {}, m_proxy, nullptr);
}

QByteArray HttpClient::post(const QByteArray& url, const QList<QByteArray>& formLines)
{
    const std::shared_ptr<Impl> keep = d;
    return keep->perform(Method::Post, url, formBody(formLines), m_proxy, nullptr);
}

QByteArray HttpClient::postBody(const QByteArray& url, const QByteArray& body)
{
    const std::shared_ptr<Impl> keep = d;
    return keep->perform(Method::Post, url, body, m_proxy, nullptr);
}

QByteArray HttpClient::getJson(const QByteArray& url, const QList<QByteArray>& headers)
{
    const std::shared_ptr<Impl> keep = d;
    return keep->perform(Method::Get, url, {}, m_proxy, nullptr, &headers);
}

QByteArray HttpClient::postJson(
    const QByteArray& url, const QByteArray& body, const QList<QByteArray>& headers)
{
    const std::shared_ptr<Impl> keep = d;
    return keep->perform(Method::Post, url, body, m_proxy, nullptr, &headers);
}

HeadResult HttpClient::head(const QByteArray& url)
{
    const std::shared_ptr<Impl> keep = d;
    HeadResult result;
    keep->perform(Method::Head, url, {}, m_proxy, &result);
    return result;
}

void HttpClient::abort()
{
    d->transfers.abort();
}

const LastReply& HttpClient::lastReply() const
{
    return d->last;
}

qint64 HttpClient::received() const
{
    return d->reply.size();
}

bool HttpClient::busy() const
{
    return d->transfers.running();
}

void HttpClient::closeConnections()
{
    d->transfers.closeConnections();
}

void HttpClient::setVersion(Version version)
{
    d->version = version;
}

void HttpClient::setProgressHandler(std::function<void()> handler)
{
    d->transfers.setProgressHandler(std::move(handler));
}

void HttpClient::setMaxBody(qint64 bytes)
{
    d->maxBody = bytes;
}
