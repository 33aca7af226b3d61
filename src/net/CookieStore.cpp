#include "net/CookieJar.h"

#include "net/CurlGlobal.h"
#include "net/HttpError.h"

#include <QDateTime>
#include <algorithm>
#include <curl/header.h>

namespace {

struct Cookie {
    QByteArray domain;
    bool includeSubdomains = false;
    QByteArray path;
    bool secure = false;
    qint64 expires = 0; // 0: session cookie
    QByteArray name;
    QByteArray value;
};

bool isIpAddress(const QByteArray& host)
{
    if (host.startsWith('['))
        return true;
    return std::all_of(host.begin(), host.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

bool domainMatches(const QByteArray& host, const QByteArray& domain, bool includeSubdomains)
{
    if (host == domain)
        return true;
    return includeSubdomains && !isIpAddress(host) && host.endsWith('.' + domain);
}

bool pathMatches(const QByteArray& requestPath, const QByteArray& cookiePath)
{
    if (requestPath == cookiePath)
        return true;
    if (!requestPath.startsWith(cookiePath))
        return false;
    return cookiePath.endsWith('/') || requestPath[cookiePath.size()] == '/';
}

// The directory of the request path, the path a cookie gets when its line names none.
QByteArray defaultPath(const QByteArray& requestPath)
{
    const qsizetype slash = requestPath.lastIndexOf('/');
    if (!requestPath.startsWith('/') || slash <= 0)
        return "/";
    return requestPath.left(slash);
}

// One line of libcurl's cookie list in the Netscape format.
bool parseListLine(const char* line, Cookie& cookie)
{
    QList<QByteArray> fields = QByteArray(line).split('\t');
    if (fields.size() < 7)
        return false;
    QByteArray domain = fields[0];
    if (domain.startsWith("#HttpOnly_"))
        domain = domain.mid(10);
    while (domain.startsWith('.'))
        domain = domain.mid(1);
    cookie.domain = domain.toLower();
    cookie.includeSubdomains = fields[1] == "TRUE";
    cookie.path = fields[2];
    cookie.secure = fields[3] == "TRUE";
    cookie.expires = fields[4].toLongLong();
    cookie.name = fields[5];
    cookie.value = fields[6];
    return !cookie.name.isEmpty();
}

} // namespace

CookieStore::Impl::Impl()
{
    ensureCurlGlobalInit();
    m_share = curl_share_init();
    m_jar = curl_easy_init();
    if (!m_share || !m_jar) {
        curl_easy_cleanup(m_jar);
        curl_share_cleanup(m_share);
        throw EHttpError("не хватает памяти");
    }
    curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    curl_easy_setopt(m_jar, CURLOPT_SHARE, m_share);
}

CookieStore::Impl::~Impl()
{
    curl_easy_cleanup(m_jar);
    curl_share_cleanup(m_share);
}

void CookieStore::Impl::storeReplyCookies(CURL* transfer, const UrlParts& url)
{
    curl_header* header = nullptr;
    if (curl_easy_header(transfer, "Set-Cookie", 0, CURLH_HEADER, -1, &header) != CURLHE_OK)
        return;
    const size_t count = header->amount;
    for (size_t i = 0; i < count; ++i) {
        if (curl_easy_header(transfer, "Set-Cookie", i, CURLH_HEADER, -1, &header) == CURLHE_OK)
            add(QByteArray(header->value), url);
    }
}

void CookieStore::Impl::add(const QByteArray& setCookieValue, const UrlParts& url)
{
    const QByteArray host = url.host.toLower();
    bool hasDomain = false;
    bool hasPath = false;
    const QList<QByteArray> attributes = setCookieValue.split(';');
    for (qsizetype i = 1; i < attributes.size(); ++i) {
        const QByteArray attribute = attributes[i].trimmed();
        const qsizetype eq = attribute.indexOf('=');
        const QByteArray name = attribute.left(eq < 0 ? attribute.size() : eq).trimmed().toLower();
        const QByteArray value = eq < 0 ? QByteArray() : attribute.mid(eq + 1).trimmed();
        if (name == "domain" && !value.isEmpty()) {
            QByteArray domain = value.toLower();
            while (domain.startsWith('.'))
                domain = domain.mid(1);
            // A reply may only set cookies for its own host or a domain above it.
            if (!domainMatches(host, domain, true))
                return;
            hasDomain = true;
        } else if (name == "path" && value.startsWith('/')) {
            hasPath = true;
        }
    }
    // Added through the cookie list, a line has no request to take its host and path from.
    QByteArray line = "Set-Cookie: " + setCookieValue;
    if (!hasDomain)
        line += "; Domain=" + host;
    if (!hasPath)
        line += "; Path=" + defaultPath(url.path);
    curl_easy_setopt(m_jar, CURLOPT_COOKIELIST, line.constData());
}

QByteArray CookieStore::Impl::cookieHeaderFor(const UrlParts& url) const
{
    curl_slist* list = nullptr;
    if (curl_easy_getinfo(m_jar, CURLINFO_COOKIELIST, &list) != CURLE_OK)
        return {};
    const QByteArray host = url.host.toLower();
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QList<Cookie> applying;
    for (curl_slist* item = list; item; item = item->next) {
        Cookie cookie;
        if (!parseListLine(item->data, cookie))
            continue;
        if (!domainMatches(host, cookie.domain, cookie.includeSubdomains))
            continue;
        if (!pathMatches(url.path, cookie.path))
            continue;
        if (cookie.secure && url.scheme != "https")
            continue;
        if (cookie.expires != 0 && cookie.expires <= now)
            continue;
        applying << cookie;
    }
    curl_slist_free_all(list);
    std::stable_sort(applying.begin(), applying.end(),
        [](const Cookie& a, const Cookie& b) { return a.path.size() > b.path.size(); });
    QByteArray header;
    for (const Cookie& cookie : applying) {
        if (!header.isEmpty())
            header += "; ";
        header += cookie.name + '=' + cookie.value;
    }
    return header;
}

CookieStore::CookieStore()
    : d(std::make_unique<Impl>())
{
}

CookieStore::~CookieStore() = default;
