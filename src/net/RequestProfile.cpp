#include "net/RequestProfile.h"

#include "net/HttpError.h"

#include <curl/curl.h>
#include <memory>

namespace {

struct UrlHandleDeleter {
    void operator()(CURLU* handle) const { curl_url_cleanup(handle); }
};

struct CurlText {
    char* text = nullptr;
    ~CurlText() { curl_free(text); }
};

QByteArray urlPart(CURLU* handle, CURLUPart part, unsigned flags = 0)
{
    CurlText value;
    if (curl_url_get(handle, part, &value.text, flags) != CURLUE_OK || !value.text)
        return {};
    return QByteArray(value.text);
}

// A URL as an error text may quote it: its query may carry an API key, so it is left out.
std::string shownUrl(const QByteArray& url)
{
    const qsizetype query = url.indexOf('?');
    return query < 0 ? url.toStdString() : url.left(query).toStdString() + "?…";
}

} // namespace

UrlParts parseUrl(const QByteArray& url)
{
    std::unique_ptr<CURLU, UrlHandleDeleter> handle(curl_url());
    if (!handle)
        throw EHttpError("не хватает памяти");
    if (curl_url_set(handle.get(), CURLUPART_URL, url.constData(), CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK)
        throw EHttpError("неверный адрес: " + shownUrl(url));
    UrlParts parts;
    parts.scheme = urlPart(handle.get(), CURLUPART_SCHEME).toLower();
    parts.host = urlPart(handle.get(), CURLUPART_HOST);
    parts.port = urlPart(handle.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT).toInt();
    parts.path = urlPart(handle.get(), CURLUPART_PATH);
    if (parts.path.isEmpty())
        parts.path = "/";
    if (parts.host.isEmpty())
        throw EHttpError("неверный адрес: " + shownUrl(url));
    return parts;
}

QByteArray hostHeaderValue(const UrlParts& url)
{
    const int defaultPort = url.scheme == "https" ? 443 : 80;
    if (url.port == defaultPort)
        return url.host;
    return url.host + ':' + QByteArray::number(url.port);
}

QList<QByteArray> profileHeaders(const ProfileRequest& request)
{
    const bool http10 = request.version == HttpVersion::Http10;
    QList<QByteArray> headers;
    headers << "Host:";
    if (http10 && !request.viaProxy)
        headers << "Connection: keep-alive";
    if (request.method == Method::Post) {
        headers << (request.json ? "Content-Type: application/json"
                                 : "Content-Type: application/x-www-form-urlencoded");
        headers << "Content-Length: " + QByteArray::number(request.bodyLength);
    }
    headers << "Cache-control: no-cache";
    headers << "Pragma: no-cache";
    headers << (http10 && request.viaProxy ? "Proxy-Connection: keep-alive" : "Proxy-Connection:");
    headers << "Host: " + request.host;
    headers << (request.json ? "Accept: application/json" : "Accept: text/html, */*");
    headers << "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";
    if (request.basicAuth && request.viaProxy)
        headers << "Proxy-Authorization: Basic " + request.userPassword.toBase64();
    if (!request.cookie.isEmpty())
        headers << "Cookie: " + request.cookie;
    headers << request.extraHeaders;
    headers << "Expect:";
    return headers;
}
