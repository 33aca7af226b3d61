#include "SandboxLookupTest.h"

namespace {

struct ReasonRow {
    const char* name;
    Engine engine;
    QByteArray commands;
    const char* code; // as the README's table and the history file have it
    QString detailHolds; // a part of the human text
};

class LookupReasons : public SandboxLookupTest, public ::testing::WithParamInterface<ReasonRow> { };

TEST_P(LookupReasons, EveryResultCarriesItsReason)
{
    const ReasonRow& row = GetParam();
    command(row.commands);
    m_lookups.check(row.engine, 1);
    const auto& written = cell(QStringLiteral("Rank") + engineKey(row.engine) + u'1');
    ASSERT_TRUE(written.written());
    EXPECT_EQ(reasonCode(written.why.reason), QLatin1String(row.code)) << written.why.detail.toStdString();
    EXPECT_TRUE(written.why.detail.contains(row.detailHolds)) << written.why.detail.toStdString();
}

const QByteArray kCaptcha
    = "body YandexRu *\n<html><form action=/checkcaptcha><img src=/captcha></form></html>";

INSTANTIATE_TEST_SUITE_P(Pages, LookupReasons,
    ::testing::Values(ReasonRow { "found", Engine::GoogleCom, "place GoogleCom kw 13", "found", "2" },
        ReasonRow { "everyPage", Engine::GoogleCom, "place GoogleCom kw 0", "not-found", "20" },
        ReasonRow { "shortPage", Engine::MSNCom, "place MSNCom kw 0\nshort MSNCom 1 4", "short-list", "2" },
        ReasonRow { "noEntries", Engine::GoogleRu, "short GoogleRu * 0", "unrecognised", "1" },
        ReasonRow { "captcha", Engine::YandexRu, kCaptcha, "blocked", "Яндекс показал капчу" },
        ReasonRow { "serverError", Engine::RamblerRu, "status RamblerRu 500", "failed", "500" },
        ReasonRow { "redirect", Engine::AportRu, "redirect AportRu", "failed", "6" }),
    [](const auto& info) { return std::string(info.param.name); });

// The codes the README documents and the history file, the CSV and --json hold.
TEST(ReasonCodes, AreTheDocumentedOnes)
{
    const std::pair<Reason, const char*> rows[] = { { Reason::Found, "found" },
        { Reason::NotFound, "not-found" }, { Reason::ShortList, "short-list" },
        { Reason::Unrecognised, "unrecognised" }, { Reason::TooComplex, "too-complex" },
        { Reason::Failed, "failed" }, { Reason::Stopped, "stopped" }, { Reason::NotAsked, "not-asked" },
        { Reason::Blocked, "blocked" }, { Reason::Refused, "refused" } };
    for (const auto& [reason, code] : rows) {
        EXPECT_EQ(reasonCode(reason), QLatin1String(code));
        EXPECT_EQ(kReasonCodes.find(code), reason) << code;
    }
    EXPECT_FALSE(kReasonCodes.find("short list"));
}

TEST_F(SandboxLookupTest, NotAskedNamesTheCause)
{
    m_host.checked[Engine::MSNCom] = false;
    m_lookups.CheckMSNCom(1);
    m_lookups.CheckGoogleCom(2); // keyword 2 is empty
    EXPECT_EQ(m_host.notAskedWhy["RankMSNCom1"].reason, Reason::NotAsked);
    EXPECT_EQ(m_host.notAskedWhy["RankGoogleCom2"].reason, Reason::NotAsked);
    EXPECT_NE(m_host.notAskedWhy["RankMSNCom1"].detail, m_host.notAskedWhy["RankGoogleCom2"].detail);
    EXPECT_EQ(requestCount("MSNCom") + requestCount("GoogleCom"), 0);
}

TEST_F(SandboxLookupTest, AStopDuringAScanIsTheReason)
{
    command("place GoogleCom kw 0");
    m_host.onPauseWait = [this](int call) { m_host.stop = call == 3; };
    m_lookups.CheckGoogleCom(1);
    EXPECT_EQ(cell("RankGoogleCom1").why.reason, Reason::Stopped);
}

TEST_F(SandboxLookupTest, QueryCountAndMetricsCarryTheirReasons)
{
    command("count Wordstat garbage\nstatus PageRank 503\npr 4");
    m_lookups.CheckYandexRu(1);
    EXPECT_EQ(cell("CountYandexRu1").text, "n/a");
    EXPECT_EQ(cell("CountYandexRu1").why.reason, Reason::Unrecognised);

    const MetricResult cy = m_metrics.FetchYandexCY();
    EXPECT_EQ(cy.why.reason, Reason::Found);
    const MetricResult pr = m_metrics.FetchPageRank();
    EXPECT_EQ(pr.text, "n/a");
    EXPECT_EQ(pr.why.reason, Reason::Failed);
    EXPECT_TRUE(pr.why.detail.contains("503")) << pr.why.detail.toStdString();
}

TEST_F(SandboxLookupTest, TheClientsCountAnsweredRequestsAndKeepTheLastError)
{
    command("status GoogleCom 500 6\nplace GoogleRu kw 1");
    m_lookups.CheckGoogleCom(1);
    EXPECT_EQ(m_clients.answered(), 0);
    EXPECT_TRUE(m_clients.lastFailure().contains("500"));
    m_lookups.CheckGoogleRu(1);
    EXPECT_EQ(m_clients.answered(), 1);
}

} // namespace

namespace {

// A result page whose links make the site address's quantifiers backtrack.
QByteArray backtrackingPage()
{
    QByteArray page = "body YandexRu *\n";
    const QByteArray as(30, 'a');
    while (page.size() < 400000)
        page += "<li class=\"r\" value=7><div class=\"title\"><i></i><a href=\"http://" + as
            + "\"></a></div></li>\n";
    return page + "<b>end</b>\n"; // the text the quantified address needs, too late for any link
}

TEST_F(SandboxLookupTest, APageTooComplexEndsThatLookupAloneWithItsReason)
{
    m_host.site = QStringLiteral("http://(a|aa)+b");
    command(backtrackingPage());
    m_lookups.CheckYandexRu(1);
    const auto& yandex = cell("RankYandexRu1");
    EXPECT_EQ(yandex.text, "n/a");
    EXPECT_EQ(yandex.why.reason, Reason::TooComplex) << yandex.why.detail.toStdString();
    EXPECT_EQ(requestCount("YandexRu"), 1) << yandex.why.detail.toStdString();

    m_lookups.CheckRamblerRu(1); // the next lookup runs as usual
    EXPECT_TRUE(cell("RankRamblerRu1").written());
}

} // namespace
