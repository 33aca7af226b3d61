#include "SandboxLookupTest.h"

#include "rank/pattern/RegExpr.h"

#include <QTimer>

using SiteMetricsTest = SandboxLookupTest;

TEST_F(SiteMetricsTest, CyPathKeepsWwwWithoutADoubleSlash)
{
    m_host.site = QStringLiteral("http://www.my-site.ru/");
    command("cy 120");
    EXPECT_EQ(m_metrics.FetchYandexCY().text, "120");
    EXPECT_EQ(targets("YandexCY"), QList<QByteArray>({ "/yca/cy/ch/www.my-site.ru/" }));
    EXPECT_EQ(m_host.settingsReads, 1);
}

TEST_F(SiteMetricsTest, CyFromALinkNamingTheSite)
{
    m_host.site = QStringLiteral("http://www.my-site.ru/");
    command("body YandexCY 0\n<p><a href=\"/yca/cy/ch/www.my-site.ru/\">35</a></p><b>CY 99</b>");
    EXPECT_EQ(m_metrics.FetchYandexCY().text, "35");
    command("body YandexCY 0\n<p><a href=\"/yca/cy/ch/www.other.ru/\">35</a></p><p>no figure</p>");
    EXPECT_EQ(m_metrics.FetchYandexCY().text, "n/a");
}

TEST_F(SiteMetricsTest, CyGivesUpAfterSixFailures)
{
    command("status YandexCY 500");
    EXPECT_EQ(m_metrics.FetchYandexCY().text, "n/a");
    EXPECT_EQ(requestCount("YandexCY"), 6);
    EXPECT_EQ(m_host.settingsReads, 6);
}

TEST_F(SiteMetricsTest, CySiteThatBreaksThePatternFailsAfterTheRequest)
{
    m_host.site = QStringLiteral("http://www.bad[site.ru/");
    EXPECT_THROW(m_metrics.FetchYandexCY(), ERegExpr);
    EXPECT_EQ(requestCount("YandexCY"), 1);
}

TEST_F(SiteMetricsTest, BadProxyPortEndsBeforeAnyRequest)
{
    m_host.connection.useProxy = true;
    m_host.connection.port = QStringLiteral("80a");
    EXPECT_THROW(m_metrics.FetchYandexCY(), EConvertError);
    EXPECT_THROW(m_metrics.FetchPageRank(), EConvertError);
    EXPECT_TRUE(m_sandbox.requests().isEmpty());
}

TEST_F(SiteMetricsTest, PageRankPostsTheSiteAsTyped)
{
    m_host.site = QStringLiteral("http://www.my-site.ru/");
    command("pr 7");
    EXPECT_EQ(m_metrics.FetchPageRank().text, "7");
    const auto requests = m_sandbox.requests("PageRank");
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].target, "/");
    EXPECT_EQ(requests[0].body, "url=http://www.my-site.ru/");
    EXPECT_TRUE(requests[0].head.contains("Content-Type: application/x-www-form-urlencoded\r\n"));
}

TEST_F(SiteMetricsTest, PageRankTakesTheFirstOneOrTwoDigitBoldNumber)
{
    command("body PageRank 0\n<b>123</b> <b>PR</b> <b>10</b> <b>4</b>");
    EXPECT_EQ(m_metrics.FetchPageRank().text, "10");
    command("body PageRank 0\n<b>123</b>");
    EXPECT_EQ(m_metrics.FetchPageRank().text, "n/a");
}

TEST_F(SiteMetricsTest, ASuccessAfterAFailureIsParsed)
{
    command("status PageRank 502 1\npr 3");
    EXPECT_EQ(m_metrics.FetchPageRank().text, "3");
    EXPECT_EQ(requestCount("PageRank"), 2);
    EXPECT_EQ(m_host.settingsReads, 2);
}

TEST_F(SiteMetricsTest, AnAbortedTransferGivesUpAtOnce)
{
    command("stall PageRank 1\npr 3");
    QTimer aborter;
    QObject::connect(&aborter, &QTimer::timeout, [this, &aborter] {
        if (m_clients.metrics().busy()) {
            aborter.stop();
            m_clients.metrics().abort();
        }
    });
    aborter.start(10);
    EXPECT_EQ(m_metrics.FetchPageRank().text, "n/a");
    EXPECT_EQ(requestCount("PageRank"), 1);
}

TEST_F(SiteMetricsTest, AStopAskedForSendsNoFurtherRequest)
{
    command("stall YandexCY\nstall PageRank");
    m_host.stop = true;
    EXPECT_EQ(m_metrics.FetchYandexCY().text, "n/a");
    EXPECT_EQ(m_metrics.FetchPageRank().text, "n/a");
    EXPECT_EQ(requestCount("YandexCY") + requestCount("PageRank"), 0);
}
