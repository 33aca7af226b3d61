#pragma once

#include <QByteArray>
#include <QList>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A raw HTTP/1.x server on 127.0.0.1 with a free port, served from its own threads with plain
// sockets, so it answers while the test thread waits in a nested event loop. It records the exact
// bytes of every request and answers each with a scripted reply; connections stay open for
// further requests unless the reply closes them.
class RawHttpListener {
public:
    struct Reply {
        QByteArray statusLine = "HTTP/1.1 200 OK";
        QList<QByteArray> headers; // "Name: value", after the status line
        QByteArray body; // Content-Length is added unless streamBytes is set
        bool stall = false; // read the request, never answer until the listener stops
        bool close = false; // close the connection after the reply
        int pieces = 1; // send the body in this many pieces...
        int pieceDelayMs = 0; // ...with this pause before each one
        qint64 streamBytes = 0; // stream this many filler bytes instead of body
        bool announceLength = true; // without Content-Length the end of the body is the close
    };
    using Script = std::function<Reply(const QByteArray& request)>;

    RawHttpListener();
    explicit RawHttpListener(Script script);
    ~RawHttpListener();
    RawHttpListener(const RawHttpListener&) = delete;
    RawHttpListener& operator=(const RawHttpListener&) = delete;

    // Replaces the script; it runs on the listener's threads.
    void setScript(Script script);
    // Every request will get this reply.
    void setReply(const Reply& reply);

    quint16 port() const { return m_port; }
    QByteArray url(const QByteArray& pathAndQuery = "/") const;
    QByteArray hostPort() const; // "127.0.0.1:port"

    QList<QByteArray> requests() const; // head and body of every request, in arrival order
    QByteArray lastRequest() const;
    int connectionCount() const { return m_connections; }

    static Reply ok(const QByteArray& body, const QList<QByteArray>& headers = {});

private:
    void acceptLoop();
    void serve(int socket);
    Reply replyFor(const QByteArray& request);

    int m_listenSocket = -1;
    int m_wake = -1; // readable once the listener stops
    quint16 m_port = 0;
    std::atomic<int> m_connections { 0 };
    mutable std::mutex m_mutex;
    Script m_script;
    QList<QByteArray> m_requests;
    std::vector<std::thread> m_threads;
    std::thread m_acceptThread;
};
