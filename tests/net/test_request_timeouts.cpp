#include "net/Endpoints.h"
#include "net/HttpClient.h"
#include "support/RawHttpListener.h"

#include <QElapsedTimer>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Short limits, so that a silent server is given up within seconds.
class RequestTimeouts : public ::testing::Test {
protected:
    void SetUp() override
    {
        Endpoints endpoints = Endpoints::defaults();
        endpoints.connectTimeoutMs = 500;
        endpoints.lowSpeedBytesPerSecond = 100;
        endpoints.lowSpeedSeconds = 1;
        Endpoints::setCurrent(endpoints);
    }
    void TearDown() override { Endpoints::setCurrent(Endpoints::defaults()); }

    std::string failureOf(const std::function<void()>& request)
    {
        try {
            request();
        } catch (const EHttpAborted&) {
            return "aborted";
        } catch (const EHttpError& error) {
            return error.what();
        }
        return "no error";
    }

    HttpClient client { HttpVersion::Http11 };
};

// A port that takes no more connections: its one-place queue is full and nobody accepts, so the
// system drops further attempts and a connection is never made.
class FullListenQueue {
public:
    FullListenQueue()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0
            || ::listen(m_listener, 0) != 0
            || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        for (int& filler : m_fillers) {
            filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(filler, reinterpret_cast<sockaddr*>(&address), length);
        }
        ::usleep(100 * 1000);
    }
    ~FullListenQueue()
    {
        for (int filler : m_fillers)
            ::close(filler);
        ::close(m_listener);
    }
    quint16 port() const { return m_port; }

private:
    int m_listener = -1;
    int m_fillers[3] = { -1, -1, -1 };
    quint16 m_port = 0;
};

} // namespace

TEST_F(RequestTimeouts, AServerThatAcceptsAndNeverAnswersIsGivenUp)
{
    RawHttpListener listener;
    RawHttpListener::Reply silent;
    silent.stall = true;
    listener.setReply(silent);

    for (const auto& request : std::vector<std::function<void()>> { [&] { client.get(listener.url("/")); },
             [&] { client.head(listener.url("/zlt.upd")); },
             [&] { client.postBody(listener.url("/promoscript/feedback_new.php"), "a=1"); } }) {
        const std::string failure = failureOf(request);
        EXPECT_EQ(failure.rfind("сервер не отвечает (", 0), 0u) << failure;
    }
}

TEST_F(RequestTimeouts, AReplyThatTricklesBelowTheLowSpeedLimitIsGivenUp)
{
    RawHttpListener listener;
    RawHttpListener::Reply trickle = RawHttpListener::ok(QByteArray(400, 'x'));
    trickle.pieces = 40; // ten bytes every 300 ms: about 33 bytes a second
    trickle.pieceDelayMs = 300;
    listener.setReply(trickle);

    const std::string failure = failureOf([&] { client.get(listener.url("/")); });
    EXPECT_EQ(failure.rfind("сервер не отвечает (Operation too slow", 0), 0u) << failure;
}

TEST_F(RequestTimeouts, AReplyFastEnoughIsReadToItsEnd)
{
    // A period of a few seconds, so that a busy machine cannot make the steady reply look slow.
    Endpoints endpoints = Endpoints::current();
    endpoints.lowSpeedSeconds = 3;
    Endpoints::setCurrent(endpoints);
    RawHttpListener listener;
    RawHttpListener::Reply steady = RawHttpListener::ok(QByteArray(8000, 'x'));
    steady.pieces = 20; // 400 bytes every 100 ms
    steady.pieceDelayMs = 100;
    listener.setReply(steady);
    EXPECT_EQ(client.get(listener.url("/")).size(), 8000);
}

TEST_F(RequestTimeouts, AConnectionThatIsNeverMadeIsGivenUp)
{
    const FullListenQueue full;
    ASSERT_NE(full.port(), 0);
    QElapsedTimer clock;
    clock.start();
    const std::string failure
        = failureOf([&] { client.get("http://127.0.0.1:" + QByteArray::number(full.port()) + "/"); });
    EXPECT_EQ(failure.rfind("сервер не отвечает (", 0), 0u) << failure;
    // The limit is 500 ms: a limit taken in the wrong unit (seconds, or none) would wait minutes.
    EXPECT_LT(clock.elapsed(), 20000);
}

TEST_F(RequestTimeouts, ACutDownloadIsSaidInRussianWithTheLibrarysText)
{
    RawHttpListener listener;
    RawHttpListener::Reply cut;
    cut.headers = { "Content-Length: 1000" };
    cut.body = QByteArray(10, 'x');
    cut.announceLength = false;
    listener.setReply(cut);

    EXPECT_EQ(failureOf([&] { client.get(listener.url("/zlt.upd")); }),
        "загрузка оборвалась (transfer closed with 990 bytes remaining to read)");
}

TEST(TransferErrors, ARefusedConnectionIsSaidInRussianWithTheLibrarysText)
{
    HttpClient client(HttpVersion::Http11);
    try {
        client.get("http://127.0.0.1:1/");
        FAIL() << "no error";
    } catch (const EHttpError& error) {
        const std::string text = error.what();
        EXPECT_EQ(text.rfind("нет соединения с сервером (Failed to connect to 127.0.0.1 port 1", 0), 0u)
            << text;
    }
}
