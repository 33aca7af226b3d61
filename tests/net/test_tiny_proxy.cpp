#include "net/HttpClient.h"
#include "support/RawHttpListener.h"
#include "support/TinyProxy.h"

#include <gtest/gtest.h>

class ThroughTinyProxy : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!TinyProxy::available())
            GTEST_SKIP() << "tinyproxy is not installed";
        proxy = std::make_unique<TinyProxy>("kestrova", "s3cret");
    }

    ProxyParams params(const QString& user, const QString& password) const
    {
        ProxyParams p;
        p.server = "127.0.0.1";
        p.port = proxy->port();
        p.user = user;
        p.password = password;
        p.basicAuth = !user.isEmpty();
        return p;
    }

    std::unique_ptr<TinyProxy> proxy;
    RawHttpListener origin { [](const QByteArray&) { return RawHttpListener::ok("through"); } };
    CookieStore cookies;
};

TEST_F(ThroughTinyProxy, RightCredentialsReachTheOriginWithTheAbsoluteUrl)
{
    HttpClient client(cookies);
    client.proxy() = params("kestrova", "s3cret");
    EXPECT_EQ(client.get(origin.url("/search?q=1")), "through");
    EXPECT_TRUE(proxy->log().contains("GET " + origin.url("/search?q=1") + " HTTP/1.1"))
        << proxy->log().constData();
    EXPECT_TRUE(origin.lastRequest().startsWith("GET /search?q=1 HTTP/1.1\r\n"));

    HttpClient msn(cookies, HttpClient::Version::Http10);
    msn.proxy() = client.proxy();
    EXPECT_EQ(msn.get(origin.url("/results.aspx?q=2")), "through");
    EXPECT_TRUE(proxy->log().contains("GET " + origin.url("/results.aspx?q=2") + " HTTP/1.0"));

    EXPECT_EQ(client.post(origin.url("/pr.php"), { "url=site.ru" }), "through");
    EXPECT_TRUE(origin.lastRequest().endsWith("\r\n\r\nurl=site.ru"));
}

TEST_F(ThroughTinyProxy, WrongOrMissingCredentialsFail)
{
    HttpClient client(cookies);
    client.proxy() = params("kestrova", "wrong");
    EXPECT_THROW(client.get(origin.url("/a")), EHttpError);
    client.proxy() = params("", "");
    EXPECT_THROW(client.get(origin.url("/b")), EHttpError);
    client.proxy() = params("kestrova", "");
    EXPECT_THROW(client.get(origin.url("/c")), EHttpError);
    EXPECT_TRUE(origin.requests().isEmpty());

    client.proxy() = params("kestrova", "s3cret");
    EXPECT_EQ(client.get(origin.url("/d")), "through");
}
