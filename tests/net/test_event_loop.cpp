#include "net/HttpClient.h"
#include "support/RawHttpListener.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

RawHttpListener::Reply slowReply(int pieces, int pieceDelayMs)
{
    RawHttpListener::Reply reply;
    reply.body = QByteArray(pieces * 100, 'z');
    reply.pieces = pieces;
    reply.pieceDelayMs = pieceDelayMs;
    return reply;
}

RawHttpListener::Reply stalled()
{
    RawHttpListener::Reply reply;
    reply.stall = true;
    return reply;
}

} // namespace

TEST(EventLoop, TimersKeepFiringWhileARequestWaits)
{
    RawHttpListener listener;
    listener.setReply(slowReply(10, 30));
    CookieStore cookies;
    HttpClient client(cookies);
    int progressCalls = 0;
    client.setProgressHandler([&] { ++progressCalls; });

    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(5);
    EXPECT_EQ(client.get(listener.url("/slow")).size(), 1000);
    timer.stop();
    EXPECT_GT(ticks, 5);
    EXPECT_GT(progressCalls, 0);
    EXPECT_FALSE(client.busy());
}

TEST(EventLoop, AbortFromAnEventHandlerEndsAStalledTransfer)
{
    RawHttpListener listener;
    listener.setReply(stalled());
    CookieStore cookies;
    HttpClient client(cookies);
    bool sawBusy = false;
    QTimer::singleShot(50, [&] {
        sawBusy = client.busy();
        client.abort();
    });
    EXPECT_THROW(client.get(listener.url("/hang")), EHttpAborted);
    EXPECT_TRUE(sawBusy);
    EXPECT_FALSE(client.busy());

    // The client works again afterwards, on a new connection.
    listener.setReply(RawHttpListener::ok("again"));
    EXPECT_EQ(client.get(listener.url("/")), "again");
}

TEST(EventLoop, AbortFromTheProgressHandlerEndsTheTransfer)
{
    RawHttpListener listener;
    listener.setReply(slowReply(100, 20));
    CookieStore cookies;
    HttpClient client(cookies);
    client.setProgressHandler([&] { client.abort(); });
    EXPECT_THROW(client.get(listener.url("/slow")), EHttpAborted);
}

TEST(EventLoop, SecondRequestOnAWaitingClientIsRefused)
{
    RawHttpListener listener;
    listener.setReply(slowReply(3, 40));
    CookieStore cookies;
    HttpClient client(cookies);
    HttpClient other(cookies);
    bool refused = false;
    QByteArray otherBody;
    QTimer::singleShot(20, [&] {
        try {
            client.get(listener.url("/second"));
        } catch (const EHttpAborted&) {
        } catch (const EHttpError&) {
            refused = true;
        }
        // Another client may run its own request nested inside the wait.
        otherBody = other.get(listener.url("/other"));
    });
    EXPECT_EQ(client.get(listener.url("/first")).size(), 300);
    EXPECT_TRUE(refused);
    EXPECT_EQ(otherBody.size(), 300);
    for (const QByteArray& request : listener.requests())
        EXPECT_FALSE(request.startsWith("GET /second"));
}

TEST(EventLoop, ClientDestroyedDuringItsWaitEndsTheRequestAsAborted)
{
    RawHttpListener listener;
    listener.setReply(stalled());
    CookieStore cookies;
    auto client = std::make_unique<HttpClient>(cookies);
    QTimer::singleShot(20, [&] { client.reset(); });
    EXPECT_THROW(client->get(listener.url("/hang")), EHttpAborted);
    EXPECT_EQ(client, nullptr);
}
