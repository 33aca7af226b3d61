#include "net/HttpClient.h"
#include "support/RawHttpListener.h"

#include <gtest/gtest.h>

namespace {

RawHttpListener::Reply status(const QByteArray& statusLine, const QList<QByteArray>& headers = {})
{
    RawHttpListener::Reply reply;
    reply.statusLine = statusLine;
    reply.headers = headers;
    reply.body = "page";
    return reply;
}

} // namespace

TEST(Replies, OnlyPlain2xxRepliesReturnTheBody)
{
    RawHttpListener listener;
    CookieStore cookies;
    HttpClient client(cookies);

    listener.setReply(status("HTTP/1.1 204 No Content"));
    EXPECT_NO_THROW(client.get(listener.url("/")));
    for (const QByteArray statusLine : { "HTTP/1.1 301 Moved Permanently", "HTTP/1.1 302 Found" }) {
        listener.setReply(status(statusLine, { "Location: http://127.0.0.1:1/elsewhere" }));
        EXPECT_THROW(client.get(listener.url("/")), EHttpError) << statusLine.constData();
    }
    listener.setReply(status("HTTP/1.1 304 Not Modified"));
    EXPECT_THROW(client.get(listener.url("/")), EHttpError);
    listener.setReply(status("HTTP/1.1 200 OK", { "Location: /captcha" }));
    EXPECT_THROW(client.get(listener.url("/")), EHttpError);
    listener.setReply(status("HTTP/1.1 500 Internal Server Error"));
    EXPECT_THROW(client.get(listener.url("/")), EHttpError);
    listener.setReply(status("HTTP/1.1 404 Not Found"));
    EXPECT_THROW(client.head(listener.url("/zlt.upd")), EHttpError);

    // Never followed: every reply came from the one address asked.
    for (const QByteArray& request : listener.requests())
        EXPECT_TRUE(request.startsWith("GET / ") || request.startsWith("HEAD /zlt.upd "))
            << request.constData();
}

TEST(Replies, ConnectionRefusedFails)
{
    quint16 closedPort = 0;
    {
        RawHttpListener gone;
        closedPort = gone.port();
    }
    CookieStore cookies;
    HttpClient client(cookies);
    EXPECT_THROW(client.get("http://127.0.0.1:" + QByteArray::number(closedPort) + "/"), EHttpError);

    RawHttpListener origin;
    client.proxy().server = "127.0.0.1";
    client.proxy().port = closedPort;
    EXPECT_THROW(client.get(origin.url("/")), EHttpError);
    client.proxy().port = 0;
    EXPECT_THROW(client.get(origin.url("/")), EHttpError);
    EXPECT_TRUE(origin.requests().isEmpty());
}

TEST(Replies, BodyOverTheLimitFails)
{
    EXPECT_EQ(HttpClient::kMaxBody, 64 * 1024 * 1024);
    RawHttpListener listener;
    CookieStore cookies;
    HttpClient client(cookies);
    client.setMaxBody(1024 * 1024);

    RawHttpListener::Reply exact;
    exact.streamBytes = 1024 * 1024;
    listener.setReply(exact);
    EXPECT_EQ(client.get(listener.url("/")).size(), 1024 * 1024);

    RawHttpListener::Reply huge;
    huge.streamBytes = 8 * 1024 * 1024;
    listener.setReply(huge);
    EXPECT_THROW(client.get(listener.url("/")), EHttpError);

    // A reply that does not announce its length is stopped while it streams.
    listener.setScript([](const QByteArray&) {
        RawHttpListener::Reply reply;
        reply.announceLength = false;
        reply.streamBytes = 3 * 1024 * 1024;
        return reply;
    });
    EXPECT_THROW(client.get(listener.url("/")), EHttpError);
}

TEST(Replies, ConnectionIsReusedForTheSameHost)
{
    RawHttpListener listener;
    CookieStore cookies;
    HttpClient client(cookies);
    client.get(listener.url("/1"));
    client.get(listener.url("/2"));
    client.post(listener.url("/3"), { "a=1" });
    EXPECT_EQ(listener.requests().size(), 3);
    EXPECT_EQ(listener.connectionCount(), 1);

    listener.setReply([] {
        RawHttpListener::Reply reply = RawHttpListener::ok("bye");
        reply.close = true;
        return reply;
    }());
    client.get(listener.url("/4"));
    client.get(listener.url("/5"));
    EXPECT_EQ(listener.connectionCount(), 2);
}

TEST(Cookies, ReplyCookiesAreSharedByTheStoreClientsOnly)
{
    RawHttpListener listener([](const QByteArray& request) {
        if (request.startsWith("GET /yandsearch?text=1 "))
            return RawHttpListener::ok(
                "first", { "Set-Cookie: yandexuid=4711; path=/", "Set-Cookie: L=abc" });
        return RawHttpListener::ok("next");
    });
    CookieStore frameCookies;
    CookieStore otherFrameCookies;
    HttpClient yandex(frameCookies);
    HttpClient metrics(frameCookies);
    HttpClient otherFrame(otherFrameCookies);
    HttpClient cookiesOff(HttpClient::Version::Http11);

    yandex.get(listener.url("/yandsearch?text=1"));
    EXPECT_FALSE(listener.lastRequest().contains("Cookie"));
    metrics.get(listener.url("/yaca/cy/ch/site.ru"));
    EXPECT_TRUE(listener.lastRequest().endsWith("Cookie: yandexuid=4711; L=abc\r\n\r\n"))
        << listener.lastRequest().constData();
    otherFrame.get(listener.url("/yandsearch?text=2"));
    EXPECT_FALSE(listener.lastRequest().contains("Cookie"));
    cookiesOff.get(listener.url("/yandsearch?text=1"));
    cookiesOff.get(listener.url("/yandsearch?text=2"));
    EXPECT_FALSE(listener.lastRequest().contains("Cookie"));
}

TEST(Cookies, DomainPathAndExpiryDecideWhichCookiesGo)
{
    // The listener acts as the proxy, so requests can name any host.
    RawHttpListener proxy([](const QByteArray& request) {
        if (request.startsWith("GET http://www.yandex.test/set/page "))
            return RawHttpListener::ok("set",
                { "Set-Cookie: hostonly=1", "Set-Cookie: wide=2; Domain=.yandex.test; Path=/",
                    "Set-Cookie: foreign=3; Domain=google.test; Path=/",
                    "Set-Cookie: gone=4; Path=/; Expires=Thu, 01 Jan 1998 00:00:00 GMT",
                    "Set-Cookie: later=5; Path=/; Max-Age=3600" });
        return RawHttpListener::ok("page");
    });
    CookieStore cookies;
    HttpClient client(cookies);
    client.proxy().server = "127.0.0.1";
    client.proxy().port = proxy.port();
    auto cookieSent = [&](const QByteArray& url) {
        client.get(url);
        const QByteArray request = proxy.lastRequest();
        const qsizetype at = request.indexOf("\r\nCookie: ");
        return at < 0 ? QByteArray() : request.mid(at + 10, request.indexOf("\r\n", at + 2) - at - 10);
    };

    client.get("http://www.yandex.test/set/page");
    EXPECT_EQ(cookieSent("http://www.yandex.test/set/other"), "hostonly=1; wide=2; later=5");
    EXPECT_EQ(cookieSent("http://www.yandex.test/"), "wide=2; later=5");
    EXPECT_EQ(cookieSent("http://wordstat.yandex.test/"), "wide=2");
    EXPECT_EQ(cookieSent("http://www.google.test/"), "");
    EXPECT_EQ(cookieSent("http://notyandex.test/set/x"), "");
}
