#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <optional>

struct HttpRequest {
    QByteArray method;
    QByteArray target; // as received: origin form or, through a proxy, an absolute URL
    QByteArray version; // "HTTP/1.0" or "HTTP/1.1"
    QByteArray head; // request line and headers up to and including the blank line
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;

    QByteArray header(const QByteArray& name) const; // first header of that name, any letter case
    QByteArray path() const; // path and query, also from an absolute URL
    QByteArray pathWithoutQuery() const;
    QByteArray queryValue(const QByteArray& key) const; // raw, still percent-encoded
    bool keepAlive() const;
};

// Collects the bytes of one connection and hands out complete requests; several requests may
// arrive in one read and one request may arrive over many reads.
class RequestReader {
public:
    void append(const QByteArray& bytes);
    std::optional<HttpRequest> next();
    bool failed() const { return m_failed; }
    // True once for a request whose head asked "Expect: 100-continue" and whose body is still due.
    bool takeContinue();

private:
    QByteArray m_buffer;
    bool m_failed = false;
    bool m_continueDue = false;
    bool m_continueSent = false;
};

QByteArray percentDecode(const QByteArray& text, bool plusIsSpace = false);
