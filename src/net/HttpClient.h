#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <stdexcept>

#include "net/CookieStore.h"
#include "net/FormBody.h"
#include "net/HttpError.h"
#include "net/HttpVersion.h"
#include "net/ProxyParams.h"

// What the last request's reply was, whatever became of the request: the refusal rules of the
// engines read it.
struct LastReply {
    int status = 0; // 0: no reply (a transport error)
    QByteArray location; // the Location header's text, empty when absent
    QList<QByteArray> headerNames;
    QByteArray body; // a reply that failed the request; a returned body is the caller's
};

struct HeadResult {
    int status = 0;
    qint64 contentLength = -1; // -1 when the reply had none
    QByteArray lastModified; // the header's text, empty when absent
    QByteArray etag; // the "ETag" header's text, empty when absent
};

// One HTTP client with the program's request profile. Requests run libcurl's multi interface
// from the Qt event loop and wait in a nested event loop, so the window stays alive.
// URLs are byte strings and go out unchanged (keywords may hold Windows-1251 bytes). An https URL
// is asked with the server's certificate verified against the system's store (and the endpoints'
// extra certificates), host name included; through the proxy it goes by CONNECT.
class HttpClient {
public:
    using Version = HttpVersion;

    HttpClient(CookieStore& cookies, Version version = Version::Http11);
    explicit HttpClient(Version version); // cookies off: none stored, none sent
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Applies from the next request.
    void setVersion(Version version);

    ProxyParams& proxy() { return m_proxy; }
    const ProxyParams& proxy() const { return m_proxy; }

    // A request made while this client's previous one still waits (from an event handler run by
    // the nested loop) is refused with EHttpError.
    QByteArray get(const QByteArray& url); // throws EHttpError
    QByteArray post(const QByteArray& url, const QList<QByteArray>& formLines); // body by formBody()
    // A form POST of a body the caller has already encoded.
    QByteArray postBody(const QByteArray& url, const QByteArray& body);
    HeadResult head(const QByteArray& url); // throws EHttpError on failure
    // A request to a JSON API: JSON accepted, the given headers ("Name: value") after the
    // program's own. A header that holds a line break is refused with EHttpError.
    QByteArray getJson(const QByteArray& url, const QList<QByteArray>& headers);
    QByteArray postJson(const QByteArray& url, const QByteArray& body, const QList<QByteArray>& headers);

    // Ends the transfer under way at once; the waiting request throws EHttpAborted.
    void abort();
    bool busy() const;
    // Closes the connections kept open for reuse; the next request connects anew.
    // Does nothing while a request is under way.
    void closeConnections();
    const LastReply& lastReply() const;
    // Bytes of the reply body received so far by the request under way.
    qint64 received() const;

    // Called on every transfer progress notification (the frame pumps messages there).
    void setProgressHandler(std::function<void()> handler);

    static constexpr qint64 kMaxBody = 64 * 1024 * 1024;
    // A reply body larger than this fails the request (EHttpTooLarge); kMaxBody unless changed.
    void setMaxBody(qint64 bytes);

private:
    struct Impl;
    // Shared with a waiting request, which keeps it alive when the client is destroyed
    // from an event handler during the wait.
    std::shared_ptr<Impl> d;
    ProxyParams m_proxy;
};
