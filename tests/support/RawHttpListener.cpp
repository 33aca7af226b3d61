#include "support/RawHttpListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

enum class Wait { Ready, Stopped };

Wait waitReadable(int socket, int wake, int timeoutMs = -1)
{
    pollfd fds[2] = { { socket, POLLIN, 0 }, { wake, POLLIN, 0 } };
    while (true) {
        const int n = ::poll(fds, 2, timeoutMs);
        if (n < 0 && errno == EINTR)
            continue;
        if (fds[1].revents)
            return Wait::Stopped;
        return Wait::Ready;
    }
}

bool sendAll(int socket, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t sent = ::send(socket, data, size_t(size), MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        data += sent;
        size -= sent;
    }
    return true;
}

bool pause(int wake, int ms)
{
    pollfd fd { wake, POLLIN, 0 };
    return ::poll(&fd, 1, ms) == 0;
}

qint64 contentLength(const QByteArray& head)
{
    for (const QByteArray& line : head.split('\n')) {
        if (line.toLower().startsWith("content-length:"))
            return line.mid(15).trimmed().toLongLong();
    }
    return 0;
}

} // namespace

RawHttpListener::RawHttpListener()
    : RawHttpListener([](const QByteArray&) { return ok("OK"); })
{
}

RawHttpListener::RawHttpListener(Script script)
    : m_script(std::move(script))
{
    m_listenSocket = ::socket(AF_INET, SOCK_STREAM, 0);
    m_wake = ::eventfd(0, 0);
    if (m_listenSocket < 0 || m_wake < 0)
        throw std::runtime_error("listener: no socket");
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(m_listenSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(m_listenSocket, 16) != 0
        || ::getsockname(m_listenSocket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("listener: cannot listen on 127.0.0.1");
    m_port = ntohs(address.sin_port);
    m_acceptThread = std::thread([this] { acceptLoop(); });
}

RawHttpListener::~RawHttpListener()
{
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wake, &one, sizeof one);
    m_acceptThread.join();
    for (std::thread& thread : m_threads)
        thread.join();
    ::close(m_listenSocket);
    ::close(m_wake);
}

void RawHttpListener::setScript(Script script)
{
    std::lock_guard lock(m_mutex);
    m_script = std::move(script);
}

void RawHttpListener::setReply(const Reply& reply)
{
    setScript([reply](const QByteArray&) { return reply; });
}

QByteArray RawHttpListener::url(const QByteArray& pathAndQuery) const
{
    return "http://" + hostPort() + pathAndQuery;
}

QByteArray RawHttpListener::hostPort() const
{
    return "127.0.0.1:" + QByteArray::number(m_port);
}

QList<QByteArray> RawHttpListener::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

QByteArray RawHttpListener::lastRequest() const
{
    std::lock_guard lock(m_mutex);
    return m_requests.isEmpty() ? QByteArray() : m_requests.last();
}

RawHttpListener::Reply RawHttpListener::ok(const QByteArray& body, const QList<QByteArray>& headers)
{
    Reply reply;
    reply.body = body;
    reply.headers = headers;
    return reply;
}

void RawHttpListener::acceptLoop()
{
    while (waitReadable(m_listenSocket, m_wake) == Wait::Ready) {
        const int socket = ::accept(m_listenSocket, nullptr, nullptr);
        if (socket < 0)
            continue;
        ++m_connections;
        const int one = 1;
        ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::lock_guard lock(m_mutex);
        m_threads.emplace_back([this, socket] {
            serve(socket);
            ::close(socket);
        });
    }
}

RawHttpListener::Reply RawHttpListener::replyFor(const QByteArray& request)
{
    std::lock_guard lock(m_mutex);
    m_requests << request;
    return m_script(request);
}

void RawHttpListener::serve(int socket)
{
    QByteArray buffer;
    while (true) {
        qsizetype headEnd = buffer.indexOf("\r\n\r\n");
        while (headEnd < 0 || buffer.size() < headEnd + 4 + contentLength(buffer.left(headEnd))) {
            if (waitReadable(socket, m_wake) == Wait::Stopped)
                return;
            char chunk[16384];
            const ssize_t received = ::recv(socket, chunk, sizeof chunk, 0);
            if (received <= 0)
                return;
            buffer.append(chunk, received);
            headEnd = buffer.indexOf("\r\n\r\n");
        }
        const qint64 total = headEnd + 4 + contentLength(buffer.left(headEnd));
        const QByteArray request = buffer.left(total);
        buffer.remove(0, total);

        const Reply reply = replyFor(request);
        if (reply.stall) {
            waitReadable(-1, m_wake);
            return;
        }
        QByteArray head = reply.statusLine + "\r\n";
        for (const QByteArray& header : reply.headers)
            head += header + "\r\n";
        const qint64 bodySize = reply.streamBytes > 0 ? reply.streamBytes : reply.body.size();
        if (reply.announceLength)
            head += "Content-Length: " + QByteArray::number(bodySize) + "\r\n";
        if (reply.close || !reply.announceLength)
            head += "Connection: close\r\n";
        head += "\r\n";
        const bool isHead = request.startsWith("HEAD ");
        if (!sendAll(socket, head.constData(), head.size()))
            return;
        if (isHead) {
        } else if (reply.streamBytes > 0) {
            const QByteArray filler(64 * 1024, 'x');
            for (qint64 left = reply.streamBytes; left > 0; left -= filler.size()) {
                if (!sendAll(socket, filler.constData(), qMin<qint64>(left, filler.size())))
                    return;
            }
        } else {
            const int pieces = qMax(1, reply.pieces);
            const qint64 pieceSize = (reply.body.size() + pieces - 1) / pieces;
            for (qint64 sent = 0; sent < reply.body.size(); sent += pieceSize) {
                if (reply.pieceDelayMs > 0 && !pause(m_wake, reply.pieceDelayMs))
                    return;
                if (!sendAll(
                        socket, reply.body.constData() + sent, qMin(pieceSize, reply.body.size() - sent)))
                    return;
            }
        }
        if (reply.close || !reply.announceLength)
            return;
    }
}
