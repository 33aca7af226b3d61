#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <stdexcept>

// A request that did not return a body: transport error, non-2xx status, redirect, body too large.
class EHttpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The transfer was ended by abort(); callers treat it as the user's stop, not as a failed attempt.
class EHttpAborted : public EHttpError {
public:
    using EHttpError::EHttpError;
};

// Proxy parameters of one client; filled by ApplyProxySettings.
struct ProxyParams {
    QString server; // empty: connect directly
    int port = 0;
    QString user;
    QString password;
    bool basicAuth = false; // Proxy-Authorization is sent with every request while set
};

// The in-memory cookie store shared by the clients of one project frame.
class CookieStore {
public:
    CookieStore();
    ~CookieStore();
    CookieStore(const CookieStore&) = delete;
    CookieStore& operator=(const CookieStore&) = delete;

    struct Impl;
    Impl& impl() { return *d; }

private:
    std::unique_ptr<Impl> d;
};

struct HeadResult {
    int status = 0;
    qint64 contentLength = -1; // -1 when the reply had none
    QByteArray lastModified; // the header's text, empty when absent
};

// One HTTP client with the program's request profile. Requests run libcurl's multi interface
// from the Qt event loop and wait in a nested event loop, so the window stays alive.
// URLs are byte strings and go out unchanged (keywords may hold Windows-1251 bytes).
class HttpClient {
public:
    enum class Version { Http11, Http10 };

    HttpClient(CookieStore& cookies, Version version = Version::Http11);
    explicit HttpClient(Version version); // cookies off: none stored, none sent
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    ProxyParams& proxy() { return m_proxy; }
    const ProxyParams& proxy() const { return m_proxy; }

    // A request made while this client's previous one still waits (from an event handler run by
    // the nested loop) is refused with EHttpError.
    QByteArray get(const QByteArray& url); // throws EHttpError
    QByteArray post(const QByteArray& url, const QList<QByteArray>& formLines); // body by formBody()
    HeadResult head(const QByteArray& url); // throws EHttpError on failure

    // Ends the transfer under way at once; the waiting request throws EHttpAborted.
    void abort();
    bool busy() const;

    // Called on every transfer progress notification (the frame pumps messages there).
    void setProgressHandler(std::function<void()> handler);

    static constexpr qint64 kMaxBody = 64 * 1024 * 1024;
    // A reply body larger than this fails the request; kMaxBody unless changed.
    void setMaxBody(qint64 bytes);

private:
    struct Impl;
    // Shared with a waiting request, which keeps it alive when the client is destroyed
    // from an event handler during the wait.
    std::shared_ptr<Impl> d;
    ProxyParams m_proxy;
};

// The form body rule of every POST: lines "name=value", values percent-encoded byte by byte.
QByteArray formBody(const QList<QByteArray>& lines);
