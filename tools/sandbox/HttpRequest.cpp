#include "HttpRequest.h"

namespace {

constexpr qsizetype kMaxHead = 64 * 1024;
constexpr qsizetype kMaxBody = 16 * 1024 * 1024;

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

QByteArray percentDecode(const QByteArray& text, bool plusIsSpace)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out.append(char(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 2;
        } else if (c == '+' && plusIsSpace) {
            out.append(' ');
        } else {
            out.append(c);
        }
    }
    return out;
}

QByteArray HttpRequest::header(const QByteArray& name) const
{
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QByteArray HttpRequest::path() const
{
    const qsizetype scheme = target.indexOf("://");
    if (target.startsWith('/') || scheme < 0)
        return target;
    const qsizetype slash = target.indexOf('/', scheme + 3);
    return slash < 0 ? QByteArray("/") : target.mid(slash);
}

QByteArray HttpRequest::pathWithoutQuery() const
{
    const QByteArray full = path();
    const qsizetype question = full.indexOf('?');
    return question < 0 ? full : full.left(question);
}

QByteArray HttpRequest::queryValue(const QByteArray& key) const
{
    const QByteArray full = path();
    const qsizetype question = full.indexOf('?');
    if (question < 0)
        return {};
    const QList<QByteArray> pieces = full.mid(question + 1).split('&');
    for (const QByteArray& piece : pieces) {
        const qsizetype equals = piece.indexOf('=');
        if (equals >= 0 && piece.left(equals) == key)
            return piece.mid(equals + 1);
    }
    return {};
}

bool HttpRequest::keepAlive() const
{
    QByteArray connection = header("Connection");
    if (connection.isEmpty())
        connection = header("Proxy-Connection");
    connection = connection.toLower();
    if (version == "HTTP/1.0")
        return connection.contains("keep-alive");
    return !connection.contains("close");
}

void RequestReader::append(const QByteArray& bytes)
{
    m_buffer.append(bytes);
}

std::optional<HttpRequest> RequestReader::next()
{
    if (m_failed)
        return std::nullopt;
    // Blank lines between requests are tolerated.
    while (m_buffer.startsWith("\r\n"))
        m_buffer.remove(0, 2);
    qsizetype headEnd = m_buffer.indexOf("\r\n\r\n");
    if (headEnd < 0) {
        m_failed = m_buffer.size() > kMaxHead;
        return std::nullopt;
    }
    headEnd += 4;

    HttpRequest request;
    request.head = m_buffer.left(headEnd);
    const QList<QByteArray> lines = request.head.left(headEnd - 4).split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() != 3 || !requestLine[2].startsWith("HTTP/1.")) {
        m_failed = true;
        return std::nullopt;
    }
    request.method = requestLine[0];
    request.target = requestLine[1];
    request.version = requestLine[2];
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.append({ lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed() });
    }
    if (!request.header("Transfer-Encoding").isEmpty()) {
        m_failed = true; // chunked request bodies are not supported
        return std::nullopt;
    }

    qsizetype bodyLength = 0;
    const QByteArray lengthText = request.header("Content-Length");
    if (!lengthText.isEmpty()) {
        bool ok = false;
        bodyLength = lengthText.toLongLong(&ok);
        if (!ok || bodyLength < 0 || bodyLength > kMaxBody) {
            m_failed = true;
            return std::nullopt;
        }
    }
    if (m_buffer.size() < headEnd + bodyLength) {
        m_continueDue = request.header("Expect").toLower() == "100-continue";
        return std::nullopt;
    }
    request.body = m_buffer.mid(headEnd, bodyLength);
    m_buffer.remove(0, headEnd + bodyLength);
    m_continueDue = false;
    m_continueSent = false;
    return request;
}

bool RequestReader::takeContinue()
{
    if (!m_continueDue || m_continueSent)
        return false;
    m_continueSent = true;
    return true;
}
