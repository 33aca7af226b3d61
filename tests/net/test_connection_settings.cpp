#include "net/ConnectionSettings.h"
#include "net/FormBody.h"
#include "net/ProxyServer.h"

#include <gtest/gtest.h>

TEST(StrToInt, AcceptsOnlyWholeNumbers)
{
    EXPECT_EQ(strToInt("3128"), 3128);
    EXPECT_EQ(strToInt("+80"), 80);
    EXPECT_EQ(strToInt("-1"), -1);
    EXPECT_EQ(strToInt("007"), 7);
    EXPECT_EQ(strToInt("2147483647"), 2147483647);
    EXPECT_EQ(strToInt("-2147483648"), -2147483647 - 1);
    for (const char* text :
        { "", " ", "80 ", " 80", "8o", "+", "-", "3.5", "0x50", "2147483648", "99999999999" }) {
        try {
            strToInt(QString::fromLatin1(text));
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(ProxyParamsFrom, FollowsTheChosenConnection)
{
    ConnectionSettings settings { false, "proxy.local", "bad", "user", "secret" };
    ProxyParams direct = proxyParamsFrom(settings);
    EXPECT_TRUE(direct.server.isEmpty());
    EXPECT_EQ(direct.port, 0);
    EXPECT_TRUE(direct.user.isEmpty());
    EXPECT_TRUE(direct.password.isEmpty());
    EXPECT_FALSE(direct.basicAuth);

    settings.useProxy = true;
    EXPECT_THROW(proxyParamsFrom(settings), EConvertError);
    settings.port = "";
    EXPECT_THROW(proxyParamsFrom(settings), EConvertError);

    settings.port = "3128";
    const ProxyParams proxied = proxyParamsFrom(settings);
    EXPECT_EQ(proxied.server, "proxy.local");
    EXPECT_EQ(proxied.port, 3128);
    EXPECT_EQ(proxied.user, "user");
    EXPECT_EQ(proxied.password, "secret");
    EXPECT_TRUE(proxied.basicAuth);

    settings.user.clear();
    EXPECT_FALSE(proxyParamsFrom(settings).basicAuth);

    // A server left empty means a direct connection, still with the credentials.
    const ProxyParams emptyServer = proxyParamsFrom({ true, "", "8080", "u", "" });
    EXPECT_TRUE(emptyServer.server.isEmpty());
    EXPECT_EQ(emptyServer.port, 8080);
    EXPECT_TRUE(emptyServer.basicAuth);
}

TEST(FormBody, EncodesValuesByteByByte)
{
    EXPECT_EQ(formBody({ "url=http://www.site.ru/?a=1&b=2+3", "q=a b#c%d*e<f>g[h]" }),
        "url=http://www.site.ru/?a=1&b=2+3&q=a%20b%23c%25d%2Ae%3Cf%3Eg%5Bh%5D");
    // Cyrillic of the ANSI code page, control characters and line breaks; byte 128 passes.
    EXPECT_EQ(formBody({ "name=\xCF\xF0\xE8\x80\x7F", "memo=a\r\nb\t" }),
        "name=%CF%F0%E8\x80\x7F&memo=a%0D%0Ab%09");
    EXPECT_EQ(formBody({ "empty=", "x=1" }), "empty=&x=1");
    // The name is never encoded; the value starts after the first "=".
    EXPECT_EQ(formBody({ "na me=a=b" }), "na me=a=b");
    EXPECT_EQ(formBody({}), "");
}

TEST(FormBody, TrimsBlanksAndControlsOfTheWholeBody)
{
    EXPECT_EQ(formBody({ "  \tlead=1", "trail =" }), "lead=1&trail =");
    EXPECT_EQ(formBody({ " a=1 " }), "a=1%20");
}

namespace {

struct ServerCase {
    const char* text;
    bool accepted;
};

class ProxyServerText : public ::testing::TestWithParam<ServerCase> { };

} // namespace

TEST_P(ProxyServerText, OnlyAHostNameOrAddressIsAServer)
{
    const QString server = QString::fromUtf8(GetParam().text);
    EXPECT_EQ(isProxyServerText(server), GetParam().accepted);
    ConnectionSettings settings { true, server, "3128", "", "" };
    if (GetParam().accepted) {
        EXPECT_EQ(proxyParamsFrom(settings).server, server);
        return;
    }
    try {
        proxyParamsFrom(settings);
        ADD_FAILURE() << "accepted";
    } catch (const EConvertError& e) {
        EXPECT_EQ(QString::fromStdString(e.what()), proxyServerError(server));
        EXPECT_TRUE(QString::fromStdString(e.what()).startsWith("'" + server + "' — не прокси-сервер"));
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, ProxyServerText,
    ::testing::Values(ServerCase { "proxy.local", true }, ServerCase { "PROXY-1.example.com.", true },
        ServerCase { "my_proxy", true }, ServerCase { "127.0.0.1", true }, ServerCase { "::1", true },
        ServerCase { "[2001:db8::1]", true }, ServerCase { "socks5://proxy.local", false },
        ServerCase { "http://proxy.local", false }, ServerCase { "proxy.local:3128", false },
        ServerCase { "proxy.local/path", false }, ServerCase { " proxy.local", false },
        ServerCase { "proxy.local ", false }, ServerCase { "pro xy", false },
        ServerCase { "proxy.local\r\nX-Evil: 1", false }, ServerCase { "proxy\t", false },
        ServerCase { "user@proxy.local", false }, ServerCase { "-proxy.local", false },
        ServerCase { "a..b", false }, ServerCase { "прокси.рф", false }, ServerCase { "[::1", false },
        ServerCase { "::g", false }, ServerCase { "[proxy.local]", false }));

TEST(ProxyServerText, IPv6GoesToTheTransportInBrackets)
{
    EXPECT_EQ(proxyHostForTransport("::1"), "[::1]");
    EXPECT_EQ(proxyHostForTransport("[::1]"), "[::1]");
    EXPECT_EQ(proxyHostForTransport("proxy.local"), "proxy.local");
}
