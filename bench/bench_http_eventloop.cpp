// A 10 ms timer runs while one request waits for a 3-second slow reply from a local server;
// prints the longest gap between timer ticks and the processor time the program used.
#include "net/HttpClient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kTransferMs = 3000;
constexpr int kPieces = 30;

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Serves one request with a body that arrives in pieces over three seconds.
class SlowServer {
public:
    SlowServer()
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_socket, 1);
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~SlowServer()
    {
        m_thread.join();
        ::close(m_socket);
    }
    QByteArray url() const { return "http://127.0.0.1:" + QByteArray::number(m_port) + "/slow"; }

private:
    void serve()
    {
        const int client = ::accept(m_socket, nullptr, nullptr);
        char buffer[4096];
        QByteArray request;
        while (!request.contains("\r\n\r\n")) {
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            request.append(buffer, n);
        }
        const QByteArray piece(1000, 'p');
        const QByteArray head
            = "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(piece.size() * kPieces) + "\r\n\r\n";
        ::send(client, head.constData(), size_t(head.size()), MSG_NOSIGNAL);
        for (int i = 0; i < kPieces; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kTransferMs / kPieces));
            ::send(client, piece.constData(), size_t(piece.size()), MSG_NOSIGNAL);
        }
        ::close(client);
    }

    int m_socket = -1;
    quint16 m_port = 0;
    std::thread m_thread;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SlowServer server;
    CookieStore cookies;
    HttpClient client(cookies);

    QElapsedTimer clock;
    qint64 lastTick = -1;
    qint64 longestGap = 0;
    int ticks = 0;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (lastTick >= 0)
            longestGap = qMax(longestGap, now - lastTick);
        lastTick = now;
        ++ticks;
    });

    clock.start();
    const double cpuBefore = cpuSeconds();
    timer.start(10);
    const QByteArray body = client.get(server.url());
    timer.stop();
    const double cpuUsed = cpuSeconds() - cpuBefore;
    const double wall = double(clock.nsecsElapsed()) / 1e9;

    std::printf("body: %lld bytes in %.3f s\n", static_cast<long long>(body.size()), wall);
    std::printf("timer ticks: %d, longest gap: %.2f ms (target < 20 ms)\n", ticks, double(longestGap) / 1e6);
    std::printf("cpu: %.4f s = %.3f %% of a core (target < 1 %%)\n", cpuUsed, 100.0 * cpuUsed / wall);
    return 0;
}
