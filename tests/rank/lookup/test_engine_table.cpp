#include "rank/lookup/EngineDefinitions.h"
#include "rank/lookup/EngineTable.h"
#include "rank/lookup/PageScans.h"

#include <gtest/gtest.h>

namespace {

struct UrlRow {
    Engine engine;
    int page;
    QByteArray keyword; // ANSI, as typed
    QByteArray expected; // the request target the engine is sent
};

class EngineTableUrls : public ::testing::TestWithParam<UrlRow> { };

// The request lines the byte-level lookup tests see, built from the rows alone.
TEST_P(EngineTableUrls, RowBuildsTheRequestTarget)
{
    const UrlRow& row = GetParam();
    const EngineDefinition& engine = builtInEngine(row.engine);
    const QByteArray url
        = resultPageUrl(engine, QStringLiteral("h:8"), row.page, encodeKeyword(engine, row.keyword));
    EXPECT_EQ(url, "http://h:8" + row.expected);
}

INSTANTIATE_TEST_SUITE_P(SixEngines, EngineTableUrls,
    ::testing::Values(UrlRow { Engine::GoogleCom, 1, "kw", "/search?q=%6B%77&hl=ru&start=10&sa=N" },
        UrlRow { Engine::GoogleRu, 0, "kw", "/search?q=%6B%77&hl=ru&start=0&sa=N" },
        UrlRow { Engine::MSNCom, 2, "a b", "/results.aspx?FORM=PERE&first=21&q=%61%20%62" },
        UrlRow { Engine::RamblerRu, 2, "kw", "/srch?oe=1251&start=31&words=kw" },
        UrlRow { Engine::AportRu, 3, "a b", "/scripts/template.dll?p=3&r=a%20b" },
        UrlRow { Engine::YandexRu, 0, "\xF1\xEB\xEE\xED", "/yandpage?&p=0&nl=0&text=\xF1\xEB\xEE\xED" },
        // A keyword that looks like a placeholder stays as typed.
        UrlRow { Engine::RamblerRu, 0, "{page}", "/srch?oe=1251&start=1&words={page}" }));

TEST(EngineTable, RowsAgreeWithTheEngineTheyDescribe)
{
    QStringList keys;
    for (Engine engine : kEngines) {
        const EngineDefinition& row = builtInEngine(engine);
        EXPECT_EQ(row.engine, engine);
        EXPECT_EQ(row.key, engineKey(engine));
        EXPECT_FALSE(keys.contains(row.key));
        keys << row.key;
        EXPECT_FALSE(queryParameterOf(row, "{keyword}").isEmpty()) << row.key.toStdString();
        EXPECT_FALSE(queryParameterOf(row, "{page}").isEmpty()) << row.key.toStdString();
    }
    EXPECT_EQ(engineKeys(), keys);
}

TEST(EngineTable, QueryParametersAreNamedByTheTemplate)
{
    EXPECT_EQ(queryParameterOf(builtInEngine(Engine::MSNCom), "{page}"), "first");
    EXPECT_EQ(queryParameterOf(builtInEngine(Engine::YandexRu), "{keyword}"), "text");
}

} // namespace
