#include "SandboxLookupTest.h"

namespace {

const QString kAdvice = QStringLiteral(
    ": проверка программой заблокирована; повторите позже, смените прокси или используйте API-источник");

struct BlockedRow {
    const char* name;
    Engine engine;
    QByteArray commands;
    QString detail; // the whole detail of the cell
};

class BlockedPages : public SandboxLookupTest, public ::testing::WithParamInterface<BlockedRow> { };

TEST_P(BlockedPages, EndTheLookupAtOnceAsBlocked)
{
    const BlockedRow& row = GetParam();
    command(row.commands);
    m_lookups.check(row.engine, 1);
    const auto& written = cell(QStringLiteral("Rank") + engineKey(row.engine) + u'1');
    EXPECT_EQ(reasonCode(written.why.reason), QLatin1String("blocked")) << written.why.detail.toStdString();
    EXPECT_EQ(written.why.detail, row.detail);
    EXPECT_EQ(written.text, "n/a");
    EXPECT_EQ(requestCount(engineKey(row.engine)), 1); // never retried
}

INSTANTIATE_TEST_SUITE_P(Forms, BlockedPages,
    ::testing::Values(BlockedRow { "captchaRedirect", Engine::YandexRu, "captcha YandexRu",
                          "Яндекс показал капчу" + kAdvice },
        BlockedRow {
            "sorryRedirect", Engine::GoogleRu, "captcha GoogleRu", "Google показал капчу" + kAdvice },
        BlockedRow { "javaScriptWall", Engine::GoogleCom, "jswall GoogleCom",
            "Google потребовал JavaScript" + kAdvice },
        BlockedRow { "captchaHeader", Engine::YandexRu,
            "header YandexRu X-Yandex-Captcha: captcha\nshort YandexRu * 0",
            "Яндекс показал капчу" + kAdvice },
        BlockedRow { "smartCaptchaBody", Engine::YandexRu,
            "body YandexRu 0\n<html><div id=\"smart\">SmartCaptcha by Yandex Cloud</div></html>",
            "Яндекс показал капчу" + kAdvice },
        BlockedRow { "tooManyRequests", Engine::RamblerRu, "toomany RamblerRu",
            "Рамблер ответил «слишком много запросов» (HTTP 429)" + kAdvice },
        BlockedRow { "forbiddenWithAMarker", Engine::YandexRu,
            "status YandexRu 403\nheader YandexRu X-Yandex-Captcha: captcha",
            "Яндекс показал капчу" + kAdvice }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SandboxLookupTest, AMarkerInAResultPageOrA403WithoutOneIsNoRefusal)
{
    // A result list that mentions a marker is read as results.
    m_host.keywords[0] = QStringLiteral("unusual traffic");
    command("place GoogleCom unusual%20traffic 3");
    m_lookups.CheckGoogleCom(1);
    EXPECT_EQ(cell("RankGoogleCom1").why.reason, Reason::Found);

    command("status AportRu 403");
    m_lookups.CheckAportRu(1);
    EXPECT_EQ(cell("RankAportRu1").why.reason, Reason::Failed);
    EXPECT_EQ(requestCount("AportRu"), 6);
}

TEST_F(SandboxLookupTest, AnEngineThatKeepsBlockingIsAskedOnceMoreThenSkipped)
{
    for (int n = 0; n < 4; ++n)
        m_host.keywords[n] = QStringLiteral("kw%1").arg(n + 1);
    command("captcha YandexRu");
    for (int n = 1; n <= 4; ++n)
        m_lookups.CheckYandexRu(n);
    EXPECT_EQ(requestCount("YandexRu"), 2);
    EXPECT_EQ(cell("RankYandexRu2").why.reason, Reason::Blocked);
    for (const char* skipped : { "RankYandexRu3", "RankYandexRu4" }) {
        EXPECT_EQ(cell(skipped).why.reason, Reason::Blocked);
        EXPECT_EQ(
            cell(skipped).why.detail, QStringLiteral("проверка пропущена: поисковик блокирует запросы"));
        EXPECT_EQ(cell(skipped).text, "n/a");
    }
    m_lookups.CheckGoogleCom(1); // the other engines are asked as before
    EXPECT_NE(cell("RankGoogleCom1").why.reason, Reason::Blocked);
}

TEST_F(SandboxLookupTest, AnEngineThatAnswersAgainIsAskedAsBefore)
{
    for (int n = 0; n < 3; ++n)
        m_host.keywords[n] = QStringLiteral("kw%1").arg(n + 1);
    command("captcha YandexRu 1\nplace YandexRu * 3");
    for (int n = 1; n <= 3; ++n)
        m_lookups.CheckYandexRu(n);
    EXPECT_EQ(cell("RankYandexRu1").why.reason, Reason::Blocked);
    EXPECT_EQ(cell("RankYandexRu2").text, "3");
    EXPECT_EQ(cell("RankYandexRu3").text, "3");
}

} // namespace
