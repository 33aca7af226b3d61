#include "SandboxLookupTest.h"

using YandexLookup = SandboxLookupTest;

TEST_F(YandexLookup, CountComesBeforeThePosition)
{
    command("count 1520\nplace YandexRu kw 0/2\nvalue YandexRu kw 7");
    m_lookups.CheckYandexRu(1);
    EXPECT_EQ(m_host.events,
        QStringList({ "gauge YandexRu 15", "reset RankYandexRu1", "reset CountYandexRu1",
            "write CountYandexRu1 1520", "write RankYandexRu1 7 1" }));
    EXPECT_EQ(targets("Wordstat"), QList<QByteArray>({ "/stat/wordsstat.pl?text=kw" }));
    EXPECT_EQ(targets("YandexRu"), QList<QByteArray>({ "/yandpage?&p=0&nl=0&text=kw" }));
}

TEST_F(YandexLookup, PositionFromALaterPage)
{
    command("place YandexRu kw 2/5\nvalue YandexRu kw 27");
    m_lookups.CheckYandexRu(1);
    EXPECT_EQ(cell("RankYandexRu1").text, "27");
    EXPECT_EQ(cell("RankYandexRu1").resultPage, 3);
    EXPECT_EQ(targets("YandexRu").last(), "/yandpage?&p=2&nl=0&text=kw");
}

TEST_F(YandexLookup, SiteNotInTwentyPages)
{
    command("place YandexRu kw 0");
    m_lookups.CheckYandexRu(1);
    EXPECT_EQ(cell("RankYandexRu1").text, "n/a");
    EXPECT_EQ(cell("RankYandexRu1").resultPage, 50);
    EXPECT_EQ(requestCount("YandexRu"), 20);
}

TEST_F(YandexLookup, CountForms)
{
    const std::pair<QByteArray, QString> forms[] = {
        { "count 1520", "1520" },
        { "count 1&nbsp;520", "1" },
        { "count 1 520", "n/a" },
        { "body Wordstat 0\n<td>&nbsp;&#151;&nbsp;1 520&nbsp;</td><td>&nbsp;&#151;&nbsp;77&nbsp;</td>",
            "77" },
    };
    command("place YandexRu * 1");
    for (const auto& [form, count] : forms) {
        command("reset\nplace YandexRu * 1\n" + form);
        m_lookups.CheckYandexRu(1);
        EXPECT_EQ(cell("CountYandexRu1").text, count) << form.constData();
        EXPECT_EQ(cell("RankYandexRu1").text, "1");
    }
}

TEST_F(YandexLookup, CountAndPositionKeepTheirOwnFailureCounts)
{
    command("place YandexRu kw 2/1\nstatus Wordstat 500 5\nstatus YandexRu 500 3\ncount 44");
    // Wordstat takes pause waits 1..6, the first result page succeeds at 10.
    m_host.onPauseWait = [this](int call) {
        if (call == 11)
            command("status YandexRu 500 3");
    };
    m_lookups.CheckYandexRu(1);
    EXPECT_EQ(cell("CountYandexRu1").text, "44");
    EXPECT_EQ(cell("RankYandexRu1").text, "n/a");
    EXPECT_EQ(cell("RankYandexRu1").resultPage, 50);
    EXPECT_EQ(requestCount("Wordstat"), 6);
    EXPECT_EQ(requestCount("YandexRu"), 7);
}

TEST_F(YandexLookup, StopDuringTheCountEndsBoth)
{
    command("status Wordstat 500 1");
    m_host.onPauseWait = [this](int) { m_host.stop = true; };
    m_lookups.CheckYandexRu(1);
    EXPECT_EQ(cell("CountYandexRu1").text, "n/a");
    EXPECT_EQ(requestCount("Wordstat"), 1);
    EXPECT_EQ(cell("RankYandexRu1").text, "n/a");
    EXPECT_EQ(cell("RankYandexRu1").resultPage, 50);
    EXPECT_EQ(requestCount("YandexRu"), 0);
}
