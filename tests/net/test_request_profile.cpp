#include "net/HttpClient.h"
#include "net/RequestProfile.h"
#include "support/RawHttpListener.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kAgent = "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)\r\n";

QByteArray commonHeaders(const QByteArray& host)
{
    return "Cache-control: no-cache\r\nPragma: no-cache\r\nHost: " + host + "\r\nAccept: text/html, */*\r\n"
        + kAgent;
}

ProxyParams proxyAt(const RawHttpListener& listener)
{
    ProxyParams proxy;
    proxy.server = "127.0.0.1";
    proxy.port = listener.port();
    return proxy;
}

} // namespace

TEST(RequestProfile, DirectGetHasTheProfileHeadersInOrder)
{
    RawHttpListener listener;
    CookieStore cookies;
    HttpClient client(cookies);
    EXPECT_EQ(client.get(listener.url("/search?q=kestrova&num=10")), "OK");
    EXPECT_EQ(listener.lastRequest(),
        "GET /search?q=kestrova&num=10 HTTP/1.1\r\n" + commonHeaders(listener.hostPort()) + "\r\n");
}

TEST(RequestProfile, PostWithCookieCarriesFormHeadersFirstAndCookieLast)
{
    RawHttpListener listener;
    listener.setReply(RawHttpListener::ok("set", { "Set-Cookie: session=abc" }));
    CookieStore cookies;
    HttpClient client(cookies);
    client.get(listener.url("/"));
    listener.setReply(RawHttpListener::ok("posted"));

    EXPECT_EQ(client.post(listener.url("/pr.php"), { "url=http://site.ru/", "q=a b" }), "posted");
    const QByteArray body = "url=http://site.ru/&q=a%20b";
    EXPECT_EQ(listener.lastRequest(),
        "POST /pr.php HTTP/1.1\r\n"
        "Content-Type: application/x-www-form-urlencoded\r\n"
        "Content-Length: "
            + QByteArray::number(body.size()) + "\r\n" + commonHeaders(listener.hostPort())
            + "Cookie: session=abc\r\n\r\n" + body);
}

TEST(RequestProfile, Http10ClientDirectSendsConnectionKeepAlive)
{
    RawHttpListener listener;
    CookieStore cookies;
    HttpClient client(cookies, HttpClient::Version::Http10);
    client.get(listener.url("/results.aspx?q=1"));
    EXPECT_EQ(listener.lastRequest(),
        "GET /results.aspx?q=1 HTTP/1.0\r\nConnection: keep-alive\r\n" + commonHeaders(listener.hostPort())
            + "\r\n");
}

TEST(RequestProfile, Http10ClientThroughProxySendsAbsoluteUrlAndProxyConnection)
{
    RawHttpListener proxyListener;
    CookieStore cookies;
    HttpClient client(cookies, HttpClient::Version::Http10);
    client.proxy() = proxyAt(proxyListener);
    client.proxy().user = "user";
    client.proxy().password = "pass";
    client.proxy().basicAuth = true;
    client.get("http://search.msn.test/results.aspx?q=1");
    EXPECT_EQ(proxyListener.lastRequest(),
        "GET http://search.msn.test/results.aspx?q=1 HTTP/1.0\r\n"
        "Cache-control: no-cache\r\nPragma: no-cache\r\n"
        "Proxy-Connection: keep-alive\r\n"
        "Host: search.msn.test\r\nAccept: text/html, */*\r\n"
            + kAgent + "Proxy-Authorization: Basic dXNlcjpwYXNz\r\n\r\n");
}

TEST(RequestProfile, Http11ClientThroughProxyHasNoProxyConnection)
{
    RawHttpListener proxyListener;
    CookieStore cookies;
    HttpClient client(cookies);
    client.proxy() = proxyAt(proxyListener);
    client.get("http://www.google.test:8080/search?q=1");
    EXPECT_EQ(proxyListener.lastRequest(),
        "GET http://www.google.test:8080/search?q=1 HTTP/1.1\r\n" + commonHeaders("www.google.test:8080")
            + "\r\n");
}

TEST(RequestProfile, ProxyAuthorizationNeverGoesOutOnADirectRequest)
{
    RawHttpListener listener;
    CookieStore cookies;
    HttpClient client(cookies);
    client.proxy().user = "user";
    client.proxy().password = "secret";
    client.proxy().basicAuth = true; // proxy chosen with an empty server: direct
    client.get(listener.url("/"));
    EXPECT_EQ(listener.lastRequest(), "GET / HTTP/1.1\r\n" + commonHeaders(listener.hostPort()) + "\r\n");

    client.proxy().basicAuth = false;
    client.get(listener.url("/"));
    EXPECT_FALSE(listener.lastRequest().contains("Proxy-Authorization"));
}

TEST(RequestProfile, ProxyAuthorizationGoesOnlyToTheProxy)
{
    ProfileRequest request;
    request.basicAuth = true;
    request.userPassword = "user:pass";
    request.viaProxy = false;
    EXPECT_FALSE(profileHeaders(request).join('\n').contains("Proxy-Authorization"));
    request.viaProxy = true;
    EXPECT_TRUE(profileHeaders(request).contains("Proxy-Authorization: Basic dXNlcjpwYXNz"));
}

TEST(RequestProfile, ProxyTextWithASchemeIsRefusedBeforeAnyConnection)
{
    RawHttpListener proxyListener;
    CookieStore cookies;
    HttpClient client(cookies);
    for (const QByteArray scheme : { "socks5://", "socks4a://", "https://", "http://" }) {
        client.proxy() = proxyAt(proxyListener);
        client.proxy().server = QString::fromLatin1(scheme) + "127.0.0.1";
        try {
            client.get("http://www.google.test/search?q=1");
            ADD_FAILURE() << "request made through " << scheme.constData();
        } catch (const EHttpError& e) {
            EXPECT_NE(std::string(e.what()).find("— не прокси-сервер"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(proxyListener.connectionCount(), 0);
}

TEST(RequestProfile, OnlyHttpAndHttpsAreRequested)
{
    RawHttpListener listener;
    CookieStore cookies;
    HttpClient client(cookies);
    for (const QByteArray scheme : { "ftp", "gopher", "file", "dict" })
        EXPECT_THROW(client.get(scheme + "://" + listener.hostPort() + "/"), EHttpError)
            << scheme.constData();
    EXPECT_EQ(listener.connectionCount(), 0);
    EXPECT_EQ(client.get(listener.url("/")), "OK");
}

TEST(RequestProfile, UrlBytesGoOutUnchangedWithoutFragment)
{
    RawHttpListener listener;
    CookieStore cookies;
    HttpClient client(cookies);
    client.get(listener.url("/yandsearch?text=\xCF\xF0\xE8\xE2\xE5\xF2+%D0&p=1#top"));
    EXPECT_TRUE(listener.lastRequest().startsWith(
        "GET /yandsearch?text=\xCF\xF0\xE8\xE2\xE5\xF2+%D0&p=1 HTTP/1.1\r\n"))
        << listener.lastRequest().toStdString();
    client.get(listener.url("/a/../b/./c"));
    EXPECT_TRUE(listener.lastRequest().startsWith("GET /a/../b/./c HTTP/1.1\r\n"));
}

TEST(RequestProfile, HeadRequestHasTheProfileAndReturnsLengthDateAndEntityTag)
{
    RawHttpListener listener;
    listener.setReply(RawHttpListener::ok(
        "0123456789", { "Last-Modified: Sat, 01 Jan 2005 10:00:00 GMT", "ETag: W/\"5-a1\"" }));
    HttpClient client(HttpClient::Version::Http11);
    const HeadResult head = client.head(listener.url("/zlt.upd"));
    EXPECT_EQ(
        listener.lastRequest(), "HEAD /zlt.upd HTTP/1.1\r\n" + commonHeaders(listener.hostPort()) + "\r\n");
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.contentLength, 10);
    EXPECT_EQ(head.lastModified, "Sat, 01 Jan 2005 10:00:00 GMT");
    EXPECT_EQ(head.etag, "W/\"5-a1\"");
}

TEST(RequestProfile, HostHeaderOmitsPort80)
{
    EXPECT_EQ(hostHeaderValue(parseUrl("http://www.yandex.ru/yandsearch?text=a")), "www.yandex.ru");
    EXPECT_EQ(hostHeaderValue(parseUrl("http://www.yandex.ru:80/")), "www.yandex.ru");
    EXPECT_EQ(hostHeaderValue(parseUrl("http://www.yandex.ru:8080/")), "www.yandex.ru:8080");
}
