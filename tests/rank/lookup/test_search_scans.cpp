#include "SandboxLookupTest.h"

using SearchScans = SandboxLookupTest;

TEST_F(SearchScans, GoogleCountsTheThirdEntryOfTheSecondPageAs13)
{
    command("place GoogleCom kw 13\nplace GoogleRu kw 13");
    m_lookups.CheckGoogleCom(1);
    m_lookups.CheckGoogleRu(1);

    EXPECT_EQ(m_host.events,
        QStringList({ "gauge GoogleCom 15", "reset RankGoogleCom1", "write RankGoogleCom1 13 2",
            "gauge GoogleRu 15", "reset RankGoogleRu1", "write RankGoogleRu1 13 2" }));
    const QList<QByteArray> pages { "/search?q=%6B%77&hl=ru&start=0&sa=N",
        "/search?q=%6B%77&hl=ru&start=10&sa=N" };
    EXPECT_EQ(targets("GoogleCom"), pages);
    EXPECT_EQ(targets("GoogleRu"), pages);
}

TEST_F(SearchScans, GoogleWithoutTheSiteReadsTwentyPages)
{
    command("place GoogleCom kw 0");
    m_lookups.CheckGoogleCom(1);
    EXPECT_EQ(cell("RankGoogleCom1").text, "n/a");
    EXPECT_EQ(cell("RankGoogleCom1").resultPage, 20);
    const QList<QByteArray> sent = targets("GoogleCom");
    ASSERT_EQ(sent.size(), 20);
    EXPECT_EQ(sent.last(), "/search?q=%6B%77&hl=ru&start=190&sa=N");
}

TEST_F(SearchScans, PagesWithoutEntriesLeaveResultPage50)
{
    command("short GoogleCom * 0\nshort MSNCom * 0");
    m_lookups.CheckGoogleCom(1);
    m_lookups.CheckMSNCom(1);
    EXPECT_EQ(cell("RankGoogleCom1").text, "n/a");
    EXPECT_EQ(cell("RankGoogleCom1").resultPage, 50);
    EXPECT_EQ(cell("RankMSNCom1").resultPage, 50);
    EXPECT_EQ(requestCount("GoogleCom"), 20);
    EXPECT_EQ(requestCount("MSNCom"), 20);
}

TEST_F(SearchScans, RamblerCountsFifteenEntriesAPage)
{
    command("place RamblerRu kw 2/4");
    m_lookups.CheckRamblerRu(1);
    EXPECT_EQ(cell("RankRamblerRu1").text, "34");
    EXPECT_EQ(cell("RankRamblerRu1").resultPage, 3);
    EXPECT_EQ(targets("RamblerRu"),
        QList<QByteArray>({ "/srch?oe=1251&start=1&words=kw", "/srch?oe=1251&start=16&words=kw",
            "/srch?oe=1251&start=31&words=kw" }));
}

TEST_F(SearchScans, AShortPageWithoutTheSiteIsTheLast)
{
    command("place MSNCom kw 0\nshort MSNCom 0 7\nplace RamblerRu kw 0\nshort RamblerRu 0 14");
    m_lookups.CheckMSNCom(1);
    m_lookups.CheckRamblerRu(1);
    EXPECT_EQ(cell("RankMSNCom1").text, "n/a");
    EXPECT_EQ(cell("RankMSNCom1").resultPage, 1);
    EXPECT_EQ(targets("MSNCom"), QList<QByteArray>({ "/results.aspx?FORM=PERE&first=1&q=%6B%77" }));
    EXPECT_EQ(cell("RankRamblerRu1").text, "n/a");
    EXPECT_EQ(cell("RankRamblerRu1").resultPage, 1);
    EXPECT_EQ(requestCount("RamblerRu"), 1);
}

TEST_F(SearchScans, MsnSiteAfterTheTenthEntryLeadsOn)
{
    command("short MSNCom * 12\nplace MSNCom kw 0/11\nshort MSNCom 1 5");
    m_lookups.CheckMSNCom(1);
    EXPECT_EQ(cell("RankMSNCom1").text, "11");
    // The last page on which an entry was read: "11" shows in second-page colours.
    EXPECT_EQ(cell("RankMSNCom1").resultPage, 2);
    EXPECT_EQ(targets("MSNCom"),
        QList<QByteArray>(
            { "/results.aspx?FORM=PERE&first=1&q=%6B%77", "/results.aspx?FORM=PERE&first=11&q=%6B%77" }));
}

TEST_F(SearchScans, MsnLaterHitReplacesTheEleventh)
{
    command("short MSNCom * 12\nplace MSNCom kw 0/11\n"
            "body MSNCom 1\n"
            "<ol><li><h3><a href=\"http://www.other.ru/\">1</a></h3></li>\n"
            "<li class=x>\r\n<h3> <a href=\"http://www.other.ru/\">2</a></h3></li>\n"
            "<li><h3><a href=\"http://mirror.example.ru/page\">3</a></h3></li></ol>");
    m_lookups.CheckMSNCom(1);
    EXPECT_EQ(cell("RankMSNCom1").text, "13");
    EXPECT_EQ(cell("RankMSNCom1").resultPage, 2);
    EXPECT_EQ(requestCount("MSNCom"), 2);
}

TEST_F(SearchScans, AportTakesTheValueAttribute)
{
    command("place AportRu kw 1/3\nvalue AportRu kw 27");
    m_lookups.CheckAportRu(1);
    EXPECT_EQ(cell("RankAportRu1").text, "27");
    EXPECT_EQ(cell("RankAportRu1").resultPage, 2);
    EXPECT_EQ(targets("AportRu"),
        QList<QByteArray>({ "/scripts/template.dll?p=0&r=kw", "/scripts/template.dll?p=1&r=kw" }));
}

TEST_F(SearchScans, AportEmptyValueGivesAnEmptyColouredCell)
{
    command("place AportRu kw 0/2\nvalue AportRu kw -");
    m_lookups.CheckAportRu(1);
    EXPECT_TRUE(cell("RankAportRu1").written());
    EXPECT_EQ(cell("RankAportRu1").text, "");
    EXPECT_EQ(cell("RankAportRu1").resultPage, 1);
}

TEST_F(SearchScans, KeywordsGoOutEncodedPerEngine)
{
    command("place * * 1");
    m_host.keywords[0] = QString::fromUtf8("при вет");
    m_host.keywords[1] = QStringLiteral("a b&c#d");
    for (int n : { 1, 2 }) {
        for (Engine engine : kEngines)
            m_lookups.check(engine, n);
    }
    EXPECT_EQ(targets("GoogleCom"),
        QList<QByteArray>({ "/search?q=%D0%BF%D1%80%D0%B8%20%D0%B2%D0%B5%D1%82&hl=ru&start=0&sa=N",
            "/search?q=%61%20%62%26%63%23%64&hl=ru&start=0&sa=N" }));
    EXPECT_EQ(targets("MSNCom"),
        QList<QByteArray>({ "/results.aspx?FORM=PERE&first=1&q=%D0%BF%D1%80%D0%B8%20%D0%B2%D0%B5%D1%82",
            "/results.aspx?FORM=PERE&first=1&q=%61%20%62%26%63%23%64" }));
    EXPECT_EQ(targets("RamblerRu"),
        QList<QByteArray>({ "/srch?oe=1251&start=1&words=\xEF\xF0\xE8%20\xE2\xE5\xF2",
            "/srch?oe=1251&start=1&words=a%20b&c" }));
    EXPECT_EQ(targets("AportRu"),
        QList<QByteArray>({ "/scripts/template.dll?p=0&r=\xEF\xF0\xE8%20\xE2\xE5\xF2",
            "/scripts/template.dll?p=0&r=a%20b&c" }));
    EXPECT_EQ(targets("Wordstat"),
        QList<QByteArray>(
            { "/stat/wordsstat.pl?text=\xEF\xF0\xE8%20\xE2\xE5\xF2", "/stat/wordsstat.pl?text=a%20b&c" }));
    EXPECT_EQ(targets("YandexRu"),
        QList<QByteArray>(
            { "/yandpage?&p=0&nl=0&text=\xEF\xF0\xE8%20\xE2\xE5\xF2", "/yandpage?&p=0&nl=0&text=a%20b&c" }));
}

TEST_F(SearchScans, SiteKeyIsACaseSensitiveSubstringOfTheLink)
{
    command("body GoogleCom 0\n"
            "<div class=g><a href=\"http://www.Example.ru/\">1</a></div>\n"
            "<div class=g><h2 class=r>\n<a href=\"http://go.to/?u=www.example.ru\">2</a></h2></div>\n");
    m_lookups.CheckGoogleCom(1);
    EXPECT_EQ(cell("RankGoogleCom1").text, "2");
    EXPECT_EQ(cell("RankGoogleCom1").resultPage, 1);
}

namespace {

// A site after the counted entries of a long page, then later pages without it.
struct KeptHit {
    const char* name;
    Engine engine;
    QByteArray commands;
    const char* text;
    int requests;
    int lastPage; // the last page on which an entry was read
};

class PositionKeptFromALongPage : public SandboxLookupTest, public ::testing::WithParamInterface<KeptHit> { };

TEST_P(PositionKeptFromALongPage, SaysItWasFoundOnThatPage)
{
    const KeptHit& row = GetParam();
    command(row.commands);
    m_lookups.check(row.engine, 1);
    const auto& written = cell(QStringLiteral("Rank") + engineKey(row.engine) + u'1');
    EXPECT_EQ(written.text, QString::fromUtf8(row.text));
    EXPECT_EQ(written.resultPage, row.lastPage);
    EXPECT_EQ(written.why.reason, Reason::Found) << written.why.detail.toStdString();
    EXPECT_EQ(written.why.detail,
        row.lastPage == 1
            ? QStringLiteral("Найден на странице 1")
            : QStringLiteral("Найден на странице 1, просмотр закончен на странице %1").arg(row.lastPage));
    EXPECT_EQ(requestCount(engineKey(row.engine)), row.requests);
}

INSTANTIATE_TEST_SUITE_P(Engines, PositionKeptFromALongPage,
    ::testing::Values(KeptHit { "msnThenShortPage", Engine::MSNCom,
                          "short MSNCom * 12\nplace MSNCom kw 0/11\nshort MSNCom 1 5", "11", 2, 2 },
        KeptHit {
            "msnThenTwentyPages", Engine::MSNCom, "short MSNCom * 12\nplace MSNCom kw 0/11", "11", 20, 20 },
        KeptHit { "msnThenAFailedPage", Engine::MSNCom,
            "short MSNCom * 12\nplace MSNCom kw 0/11\nmissing MSNCom 1", "11", 7, 1 },
        KeptHit { "ramblerThenShortPage", Engine::RamblerRu,
            "short RamblerRu * 17\nplace RamblerRu kw 0/16\nshort RamblerRu 1 3", "16", 2, 2 },
        KeptHit { "ramblerThenTwentyPages", Engine::RamblerRu,
            "short RamblerRu * 17\nplace RamblerRu kw 0/16", "16", 20, 20 },
        KeptHit { "ramblerThenAFailedPage", Engine::RamblerRu,
            "short RamblerRu * 17\nplace RamblerRu kw 0/16\nmissing RamblerRu 1", "16", 7, 1 }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
