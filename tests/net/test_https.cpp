#include "net/Endpoints.h"
#include "net/HttpClient.h"
#include "support/SandboxEngines.h"
#include "support/TestCertificates.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

const QByteArray kPage = "/search?q=kw&hl=ru&start=0&sa=N";

// A sandbox over TLS with the given certificate; the endpoints trust the test's loopback and
// other-name certificates.
class OverHttps : public ::testing::Test {
protected:
    void TearDown() override { Endpoints::setCurrent(Endpoints::defaults()); }

    std::unique_ptr<SandboxEngines> start(const TestCertificates::Pair& served)
    {
        auto sandbox
            = std::make_unique<SandboxEngines>(2, served.certificate, served.key, certificates.trustedFile());
        EXPECT_TRUE(sandbox->started());
        Endpoints::setCurrent(Endpoints::fromFile(sandbox->endpointsFile()));
        return sandbox;
    }

    static QByteArray url(const SandboxEngines& sandbox, const char* scheme, const QByteArray& path = kPage)
    {
        return scheme + sandbox.host(QStringLiteral("GoogleCom")).toLatin1() + path;
    }

    TestCertificates certificates;
    CookieStore cookies;
};

TEST_F(OverHttps, AVerifiedServerAnswersAndSecureCookiesStayOnHttps)
{
    const auto tls = start(certificates.loopback());
    ASSERT_TRUE(tls->command("cookie GoogleCom sid=tls; Secure"));
    HttpClient client(cookies);
    EXPECT_TRUE(client.get(url(*tls, "https://")).contains("<html"));
    client.get(url(*tls, "https://"));
    const auto asked = tls->requests(QStringLiteral("GoogleCom"));
    ASSERT_EQ(asked.size(), 2);
    // The Host header names the port, since it is not 443; the cookie came back over https.
    EXPECT_TRUE(
        asked[1].head.contains("\r\nHost: " + tls->host(QStringLiteral("GoogleCom")).toLatin1() + "\r\n"));
    EXPECT_TRUE(asked[1].head.contains("\r\nCookie: sid=tls\r\n")) << asked[1].head.constData();

    SandboxEngines plain(2);
    ASSERT_TRUE(plain.started());
    client.get(url(plain, "http://"));
    const auto plainAsked = plain.requests(QStringLiteral("GoogleCom"));
    ASSERT_EQ(plainAsked.size(), 1);
    EXPECT_FALSE(plainAsked[0].head.contains("Cookie:")) << plainAsked[0].head.constData();
}

struct RefusedRow {
    const char* name;
    const TestCertificates::Pair& (TestCertificates::*served)() const;
    const char* libraryWords; // a part of libcurl's own text
};

class RefusedCertificates : public OverHttps, public ::testing::WithParamInterface<RefusedRow> { };

TEST_P(RefusedCertificates, FailWithTheReasonAndNoPlainRequest)
{
    const auto sandbox = start((certificates.*GetParam().served)());
    HttpClient client(cookies);
    try {
        client.get(url(*sandbox, "https://"));
        FAIL() << "the certificate was accepted";
    } catch (const EHttpError& e) {
        const QString text = QString::fromUtf8(e.what());
        EXPECT_TRUE(text.startsWith(QStringLiteral("сертификат сервера не прошёл проверку: "))) << e.what();
        EXPECT_TRUE(text.contains(QLatin1String(GetParam().libraryWords))) << e.what();
    }
    EXPECT_TRUE(sandbox->requests().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Tls, RefusedCertificates,
    ::testing::Values(RefusedRow { "anotherName", &TestCertificates::otherName, "127.0.0.1" },
        RefusedRow { "unknownAuthority", &TestCertificates::unknownAuthority, "self-signed" }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
