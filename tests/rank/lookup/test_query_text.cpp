#include "platform/CodePage.h"
#include "rank/lookup/QueryText.h"

#include <gtest/gtest.h>

TEST(SiteKey, DropsSchemeWwwAndOneTrailingSlash)
{
    EXPECT_EQ(SiteKey("http://www.host.ru/"), "host.ru");
    EXPECT_EQ(SiteKey("http://www.host.ru//"), "host.ru/");
    EXPECT_EQ(SiteKey("www.host.ru"), "host.ru");
    EXPECT_EQ(SiteKey("http://host.ru/dir/"), "host.ru/dir");
}

TEST(SiteKey, ChangesNothingElse)
{
    EXPECT_EQ(SiteKey("HTTP://WWW.Host.ru/"), "HTTP://WWW.Host.ru");
    EXPECT_EQ(SiteKey("https://www.host.ru"), "https://www.host.ru");
    EXPECT_EQ(SiteKey(" http://www.host.ru:8080/"), " http://www.host.ru:8080");
    EXPECT_EQ(SiteKey("http://"), "");
    EXPECT_EQ(SiteKey("/"), "");
}

TEST(CyHost, KeepsWwwAndPath)
{
    EXPECT_EQ(CyHost("http://www.host.ru/"), "www.host.ru");
    EXPECT_EQ(CyHost("http://host.ru/dir//"), "host.ru/dir/");
    EXPECT_EQ(CyHost("www.Host.ru"), "www.Host.ru");
}

TEST(UrlEncodeQuery, EscapesEveryCodeUnit)
{
    EXPECT_EQ(UrlEncodeQuery("abc"), "%61%62%63");
    EXPECT_EQ(UrlEncodeQuery("a b&c#1"), "%61%20%62%26%63%23%31");
    EXPECT_EQ(UrlEncodeQuery(CodePage::toAnsi(QString::fromUtf8("а Я"))), "%D0%B0%20%D0%AF");
    EXPECT_EQ(UrlEncodeQuery(""), "");
}

TEST(UrlEncodeQuery, CodeUnitsFrom0x800BecomeQuestionMarks)
{
    // Windows-1251 0x85 is the ellipsis U+2026, 0x88 the euro sign U+20AC.
    EXPECT_EQ(UrlEncodeQuery(QByteArray("a\x85\x88", 3)), "%61%3F%3F");
    // 0xA0 is the no-break space U+00A0: two bytes of UTF-8.
    EXPECT_EQ(UrlEncodeQuery(QByteArray("\xA0", 1)), "%C2%A0");
}

TEST(SpacesToPercent20, ReplacesOnlySpaces)
{
    EXPECT_EQ(SpacesToPercent20("a  b&c#d"), "a%20%20b&c#d");
    EXPECT_EQ(SpacesToPercent20("   "), "%20%20%20");
    EXPECT_EQ(SpacesToPercent20(QByteArray("\xEF\xF0 x", 4)), QByteArray("\xEF\xF0%20x"));
}
