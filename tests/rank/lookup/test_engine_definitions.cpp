#include "net/Endpoints.h"
#include "rank/lookup/DefinitionsFile.h"
#include "rank/lookup/EngineDefinitions.h"

#include <QStringList>

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

ParsedDefinitions overBuiltIn(const QByteArray& text)
{
    return DefinitionsFile::parse(text, &EngineDefinitions::builtIn());
}

std::vector<std::string> problemTexts(const ParsedDefinitions& parsed)
{
    std::vector<std::string> texts;
    for (const DefinitionsProblem& problem : parsed.problems)
        texts.push_back(problem.text().toStdString());
    return texts;
}

std::string allProblems(const ParsedDefinitions& parsed)
{
    std::string all;
    for (const std::string& text : problemTexts(parsed))
        all += text + "\n";
    return all;
}

} // namespace

TEST(EngineDefinitions, TheBuiltInOnesAreTheProgramsTable)
{
    const EngineDefinitions& builtIn = EngineDefinitions::builtIn();
    EXPECT_EQ(builtIn.version, "2026.12.7");
    EXPECT_EQ(builtIn.source, DefinitionsSource::BuiltIn);
    EXPECT_TRUE(builtIn.givenValues.isEmpty());

    const EngineDefinition& msn = builtIn.engine(Engine::MSNCom);
    EXPECT_EQ(msn.host, "search.msn.com");
    EXPECT_EQ(msn.httpVersion, HttpVersion::Http10);
    EXPECT_EQ(msn.pageRule, PageRule::CountedEndsOnShortPage);
    EXPECT_EQ(builtIn.engine(Engine::RamblerRu).pageStep, 15);
    EXPECT_EQ(builtIn.engine(Engine::RamblerRu).pageOffset, 1);
    EXPECT_EQ(builtIn.engine(Engine::YandexRu).keywordEncoding, KeywordEncoding::SpacesAsPercent20);
    EXPECT_EQ(builtIn.engine(Engine::AportRu).pageRule, PageRule::EngineNumbered);
    EXPECT_EQ(builtIn.engine(Engine::GoogleCom).resultPattern,
        R"re(<div[^<>]*?>\s*?(<h2[^<>]*?>)*?\s*?<a href="(.*?)")re");
    EXPECT_EQ(builtIn.engine(Engine::GoogleCom).linkGroup, 2);

    EXPECT_EQ(builtIn.wordstat.urlTemplate, "/stat/wordsstat.pl?text={keyword}");
    EXPECT_EQ(builtIn.yandexCY.pattern, R"re(<b>.*? (\d+).*?</b>|<a href=.*?{site}.*?>(\d+?)</a>)re");
    EXPECT_EQ(builtIn.pageRank.form, "url={site}");
    EXPECT_TRUE(builtIn.yandexCY.form.isEmpty());
    for (Engine engine : kEngines)
        EXPECT_EQ(builtIn.engine(engine).scheme, UrlScheme::Http);
    EXPECT_EQ(builtIn.pageRank.scheme, UrlScheme::Http);
    EXPECT_EQ(builtIn.engine(Engine::YandexRu).blocked.size(), 5);
    EXPECT_TRUE(builtIn.engine(Engine::RamblerRu).blocked.isEmpty());
}

TEST(EngineDefinitions, SchemeAndRefusalSignsAreData)
{
    const ParsedDefinitions parsed
        = overBuiltIn("[RamblerRu]\nScheme=https\nBlocked=captcha header:X-Robot | "
                      "consent location:/consent?\n[Wordstat]\nScheme=https\n");
    ASSERT_TRUE(parsed.definitions) << allProblems(parsed);
    const EngineDefinition& rambler = parsed.definitions->engine(Engine::RamblerRu);
    EXPECT_EQ(resultPageUrl(rambler, rambler.host, 0, "kw"),
        "https://www.rambler.ru/srch?oe=1251&start=1&words=kw");
    const QList<BlockMarker> expected { { BlockKind::Captcha, BlockMarker::Where::Header, "X-Robot" },
        { BlockKind::Consent, BlockMarker::Where::Location, "/consent?" } };
    EXPECT_EQ(rambler.blocked, expected);
    EXPECT_EQ(serviceOrigin(parsed.definitions->wordstat, "w.example"), "https://w.example");
    EXPECT_EQ(parsed.definitions->engine(Engine::GoogleRu).scheme, UrlScheme::Http);
}

TEST(EngineDefinitions, AFileThatGivesOnePatternChangesThatEngineAlone)
{
    const ParsedDefinitions parsed
        = overBuiltIn("; mended by hand\n[googleru]\npattern = <p class=\"r\">(<b>)?<a href=\"(.*?)\"\n");
    ASSERT_TRUE(parsed.definitions) << allProblems(parsed);
    const EngineDefinitions& mended = *parsed.definitions;
    const EngineDefinitions& builtIn = EngineDefinitions::builtIn();
    EXPECT_EQ(mended.engine(Engine::GoogleRu).resultPattern, "<p class=\"r\">(<b>)?<a href=\"(.*?)\"");
    EXPECT_EQ(mended.engine(Engine::GoogleRu).urlTemplate, builtIn.engine(Engine::GoogleRu).urlTemplate);
    for (Engine engine :
        { Engine::GoogleCom, Engine::YandexRu, Engine::RamblerRu, Engine::AportRu, Engine::MSNCom })
        EXPECT_EQ(mended.engine(engine).resultPattern, builtIn.engine(engine).resultPattern);
    EXPECT_EQ(mended.version, builtIn.version);
    EXPECT_EQ(mended.givenValues, QStringList { "GoogleRu/Pattern" });
}

TEST(EngineDefinitions, EveryValueOfASectionCanBeGiven)
{
    const ParsedDefinitions parsed
        = overBuiltIn("\xEF\xBB\xBF[definitions]\r\nVersion=2026.12.8\r\n"
                      "[MSNCom]\r\nHost=127.0.0.1:8080\r\nUrl=/s?p={page}&w={keyword}\r\n"
                      "PageStep=20\r\nPageOffset=0\r\nKeywordEncoding=ansi\r\nHttpVersion=1.1\r\n"
                      "PageRule=counted\r\nPageSize=20\r\nPattern=<h2><a href=\"(.*?)\"\r\n"
                      "LinkGroup=1\r\n");
    ASSERT_TRUE(parsed.definitions) << allProblems(parsed);
    const EngineDefinition& msn = parsed.definitions->engine(Engine::MSNCom);
    EXPECT_EQ(parsed.definitions->version, "2026.12.8");
    EXPECT_EQ(msn.host, "127.0.0.1:8080");
    EXPECT_EQ(resultPageUrl(msn, msn.host, 2, "a%20b"), "http://127.0.0.1:8080/s?p=40&w=a%20b");
    EXPECT_EQ(msn.keywordEncoding, KeywordEncoding::SpacesAsPercent20);
    EXPECT_EQ(msn.httpVersion, HttpVersion::Http11);
    EXPECT_EQ(msn.pageRule, PageRule::CountedToTheEnd);
    EXPECT_EQ(msn.pageSize, 20);
    EXPECT_EQ(parsed.definitions->givenValues.size(), 11);
}

struct Refusal {
    const char* name;
    QByteArray file;
    QString problem; // the one problem the file has, as the message lists it
};

class DefinitionsRefusal : public ::testing::TestWithParam<Refusal> { };

TEST_P(DefinitionsRefusal, NamesTheSectionTheKeyAndTheReason)
{
    const ParsedDefinitions parsed = overBuiltIn(GetParam().file);
    EXPECT_FALSE(parsed.definitions);
    EXPECT_EQ(problemTexts(parsed), std::vector<std::string> { GetParam().problem.toStdString() });
}

INSTANTIATE_TEST_SUITE_P(OneEach, DefinitionsRefusal,
    ::testing::Values(
        Refusal { "UnknownSection", "[Bing]\nHost=www.bing.com\n", "[Bing] (строка 1): неизвестный раздел" },
        Refusal { "UnknownKey", "[GoogleCom]\nSelector=div.g\n",
            "[GoogleCom] Selector (строка 2): неизвестный ключ" },
        Refusal { "RepeatedKey", "[GoogleCom]\nPageSize=10\npagesize=20\n",
            "[GoogleCom] PageSize (строка 3): ключ задан дважды" },
        Refusal { "RepeatedSection", "[AportRu]\n[AportRu]\n", "[AportRu] (строка 2): раздел задан дважды" },
        Refusal { "NotALine", "[AportRu]\njust words\n",
            "[AportRu] (строка 2): ожидается [раздел] или ключ=значение" },
        Refusal { "KeyBeforeSection", "Host=x\n", "Host (строка 1): ключ стоит до первого раздела" },
        Refusal { "PageSizeOutOfRange", "[RamblerRu]\nPageSize=0\n",
            "[RamblerRu] PageSize (строка 2): «0» — нужно целое число от 1 до 100" },
        Refusal { "PageStepNotANumber", "[RamblerRu]\nPageStep=15x\n",
            "[RamblerRu] PageStep (строка 2): «15x» — нужно целое число от 1 до 1000" },
        Refusal { "UnknownRule", "[MSNCom]\nPageRule=ranked\n",
            "[MSNCom] PageRule (строка 2): «ranked» — допустимы counted, counted-short-page-ends, numbered" },
        Refusal { "UnknownEncoding", "[MSNCom]\nKeywordEncoding=cp1251\n",
            "[MSNCom] KeywordEncoding (строка 2): «cp1251» — допустимы utf8, ansi" },
        Refusal { "UnknownHttpVersion", "[MSNCom]\nHttpVersion=2\n",
            "[MSNCom] HttpVersion (строка 2): «2» — допустимы 1.1, 1.0" },
        Refusal { "TemplateWithoutPage", "[GoogleCom]\nUrl=/search?q={keyword}\n",
            "[GoogleCom] Url (строка 2): {page} должен встречаться ровно один раз" },
        Refusal { "TemplateWithTwoKeywords", "[GoogleCom]\nUrl=/s?q={keyword}&p={page}&r={keyword}\n",
            "[GoogleCom] Url (строка 2): {keyword} должен встречаться ровно один раз" },
        Refusal { "TemplateWithASpace", "[GoogleCom]\nUrl=/s?q={keyword}&p={page} HTTP/1.1\n",
            "[GoogleCom] Url (строка 2): только печатные знаки ASCII без пробелов" },
        Refusal { "TemplateNotAPath", "[GoogleCom]\nUrl=http://x/?q={keyword}&p={page}\n",
            "[GoogleCom] Url (строка 2): должен начинаться с «/»" },
        Refusal { "HostWithAPath", "[YandexRu]\nHost=www.yandex.ru/search\n",
            "[YandexRu] Host (строка 2): «www.yandex.ru/search» — нужно имя хоста или адрес, можно с "
            "портом" },
        Refusal { "PatternThatDoesNotCompile", "[MSNCom]\nPattern=<li>(<h3>\n",
            "[MSNCom] Pattern (строка 2): шаблон не компилируется: missing closing parenthesis (pos 9)" },
        Refusal { "LinkGroupThePatternLacks", "[MSNCom]\nLinkGroup=3\n",
            "[MSNCom] LinkGroup (строка 2): в шаблоне нет группы 3 (групп: 1)" },
        Refusal { "PatternThatLosesTheLinkGroup", "[GoogleCom]\nPattern=<a href=\"(.*?)\"\n",
            "[GoogleCom] Pattern (строка 2): в шаблоне нет группы 2, которую задаёт встроенный LinkGroup "
            "(групп: 1)" },
        Refusal { "PortOutOfRange", "[YandexRu]\nHost=yandex.ru:70000\n",
            "[YandexRu] Host (строка 2): порт 70000 — нужен номер от 1 до 65535" },
        Refusal { "NumberedWithoutAGroup", "[AportRu]\nPattern=<li>\n",
            "[AportRu] Pattern (строка 2): у шаблона нет группы 1 с номером записи, а PageRule=numbered" },
        Refusal { "ServiceWithoutItsPlaceholder", "[YandexCY]\nUrl=/yca/cy/ch/\n",
            "[YandexCY] Url (строка 2): {site} должен встречаться в Url и Form ровно один раз" },
        Refusal { "ServicePatternWithoutAGroup", "[PageRank]\nPattern=<b>\\d</b>\n",
            "[PageRank] Pattern (строка 2): у шаблона нет группы с числом" },
        Refusal { "VersionThatIsNoVersion", "[definitions]\nVersion=2026-12-08\n",
            "[definitions] Version (строка 2): «2026-12-08» — нужна версия из чисел через точку, например "
            "2026.12.7.1" },
        Refusal { "ControlCharacterInAPattern", "[MSNCom]\nPattern=<li>\x01<h3><a href=\"(.*?)\"\n",
            "[MSNCom] Pattern (строка 2): управляющий знак в шаблоне" },
        Refusal { "WordstatAskedByAForm", "[Wordstat]\nUrl=/stat/wordsstat.pl\nForm=text={keyword}\n",
            "[Wordstat] Form (строка 3): число запросов читается запросом GET, без формы" },
        Refusal { "RegionTwice", "[YandexRu]\nUrl=/s?text={keyword}&p={page}&lr={region}&rstr={region}\n",
            "[YandexRu] Url (строка 2): {region} может встречаться не больше одного раза" },
        Refusal { "RegionInAForm", "[PageRank]\nForm=url={site}&gl={country}\n",
            "[PageRank] Form (строка 2): {country} подставляется только в Url" },
        Refusal { "NotUtf8", "[GoogleCom]\nPattern=\xE0\xE1\n", "текст не в кодировке UTF-8" },
        Refusal { "UnknownScheme", "[PageRank]\nScheme=ftp\n",
            "[PageRank] Scheme (строка 2): «ftp» — допустимы http, https" },
        Refusal { "BlockedWithoutAPlace", "[YandexRu]\nBlocked=captcha /showcaptcha\n",
            "[YandexRu] Blocked (строка 2): «captcha /showcaptcha» — нужно «вид место:текст», например "
            "«captcha "
            "location:/showcaptcha»" },
        Refusal { "BlockedOfAnUnknownKind", "[YandexRu]\nBlocked=robot body:captcha\n",
            "[YandexRu] Blocked (строка 2): «robot» — допустимы виды captcha, javascript, consent, "
            "too-many-requests" },
        Refusal { "BlockedHeaderThatIsNoName", "[YandexRu]\nBlocked=captcha header:X Captcha\n",
            "[YandexRu] Blocked (строка 2): «X Captcha» — не имя заголовка" }),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(ApiSources, DefinitionsRefusal,
    ::testing::Values(Refusal { "UnknownSource", "[YandexRu]\nSource=page, yandex-xml\n",
                          "[YandexRu] Source (строка 2): неизвестный источник «yandex-xml»" },
        Refusal { "SerpJsonOnWordstat", "[Wordstat]\nSource=serp-json\n",
            "[Wordstat] Source (строка 2): источник serp-json здесь не подходит" },
        Refusal { "WordstatApiOnAnEngine", "[YandexRu]\nSource=yandex-wordstat-api\n",
            "[YandexRu] Source (строка 2): источник yandex-wordstat-api здесь не подходит" },
        Refusal { "SourceTwice", "[YandexRu]\nSource=page, page\n",
            "[YandexRu] Source (строка 2): источник page назван дважды" },
        Refusal { "TwoApiSources", "[GoogleCom]\nSource=serp-json, yandex-search-api\n",
            "[GoogleCom] Source (строка 2): раздел может предлагать только один источник через API" },
        Refusal { "PlainHttpElsewhere", "[YandexRu]\nApiUrl=http://searchapi.example.net/v2/web/search\n",
            "[YandexRu] ApiUrl (строка 2): адрес API должен начинаться с https:// (http:// — только для "
            "127.0.0.1, ::1 и localhost)" },
        Refusal { "GroupsOnPageOutOfRange", "[YandexRu]\nGroupsOnPage=101\n",
            "[YandexRu] GroupsOnPage (строка 2): «101» — нужно целое число от 1 до 100" },
        Refusal { "PollSecondsOutOfRange", "[YandexRu]\nPollSeconds=0\n",
            "[YandexRu] PollSeconds (строка 2): «0» — нужно целое число от 1 до 60" },
        Refusal { "UnknownMode", "[YandexRu]\nMode=async\n",
            "[YandexRu] Mode (строка 2): «async» — допустимы immediate, deferred" },
        Refusal { "SerpWithoutKeyword", "[GoogleCom]\nApiUrl=https://s.test/search.json?api_key={key}\n",
            "[GoogleCom] ApiUrl (строка 2): в адресе serp-json нет {keyword}" },
        Refusal { "SerpWithoutAUrl", "[RamblerRu]\nSource=page, serp-json\n",
            "[RamblerRu] Source (строка 2): источнику serp-json нужен ApiUrl" },
        Refusal { "SerpKeyNowhere", "[GoogleCom]\nApiUrl=https://s.test/search.json?q={keyword}\n",
            "[GoogleCom] ApiUrl (строка 2): ключ передаётся либо подстановкой {key}, либо заголовком "
            "ApiKeyHeader" },
        Refusal { "PlaceholderInTheYandexUrl",
            "[YandexRu]\nApiUrl=https://s.test/v2/web/search?q={keyword}\n",
            "[YandexRu] ApiUrl (строка 2): {keyword} подставляется только в адрес источника serp-json" },
        Refusal { "HeaderTheProgramSets", "[GoogleCom]\nApiKeyHeader=Host\n",
            "[GoogleCom] ApiKeyHeader (строка 2): «Host» — нужно имя заголовка HTTP, не занятое программой" },
        Refusal { "OperationsUrlWithoutSlash",
            "[YandexRu]\nOperationsUrl=https://operation.test/operations\n",
            "[YandexRu] OperationsUrl (строка 2): адрес должен кончаться на «/»: к нему добавляется номер "
            "операции" },
        Refusal { "ApiKeyOnAService", "[YandexCY]\nSource=page\n",
            "[YandexCY] Source (строка 2): неизвестный ключ" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EngineDefinitions, TheBuiltInSourcesKeepPageReadingFirst)
{
    const EngineDefinitions& builtIn = EngineDefinitions::builtIn();
    const auto offered = [](const ApiSourceDefinition& api) {
        QStringList codes;
        for (SourceKind kind : api.offered)
            codes << sourceCode(kind);
        return codes.join(QStringLiteral(", ")).toStdString();
    };
    EXPECT_EQ(offered(builtIn.engine(Engine::YandexRu).api), "page, yandex-search-api");
    EXPECT_EQ(offered(builtIn.engine(Engine::GoogleCom).api), "page, serp-json");
    EXPECT_EQ(offered(builtIn.engine(Engine::GoogleRu).api), "page, serp-json");
    EXPECT_EQ(offered(builtIn.engine(Engine::MSNCom).api), "page");
    EXPECT_EQ(offered(builtIn.wordstat.api), "page, yandex-wordstat-api");
    EXPECT_EQ(builtIn.engine(Engine::YandexRu).api.url(),
        QByteArray("https://searchapi.api.cloud.yandex.net/v2/web/search"));
    EXPECT_EQ(builtIn.wordstat.api.url(),
        QByteArray("https://searchapi.api.cloud.yandex.net/v2/wordstat/topRequests"));
    EXPECT_EQ(builtIn.engine(Engine::YandexRu).api.inForce({}), SourceKind::Page);
    EXPECT_EQ(builtIn.engine(Engine::YandexRu).api.inForce(QStringLiteral("serp-json")), SourceKind::Page);
    EXPECT_EQ(builtIn.engine(Engine::YandexRu).api.inForce(QStringLiteral("yandex-search-api")),
        SourceKind::YandexSearchApi);
}

TEST(EngineDefinitions, AFileCanPutAnApiSourceFirstAndPointItAtLoopback)
{
    const ParsedDefinitions parsed
        = overBuiltIn("[YandexRu]\nSource=yandex-search-api, page\n"
                      "ApiUrl=http://127.0.0.1:8080/v2/web/search\nMode=deferred\n"
                      "PollSeconds=2\nGroupsOnPage=50\n"
                      "[GoogleCom]\nApiUrl=http://localhost:9/s?q={keyword}&start={start}\n"
                      "ApiKeyHeader=X-API-KEY\nResultsPath=data.items\n");
    ASSERT_TRUE(parsed.definitions) << allProblems(parsed);
    const ApiSourceDefinition& yandex = parsed.definitions->engine(Engine::YandexRu).api;
    EXPECT_EQ(yandex.inForce({}), SourceKind::YandexSearchApi);
    EXPECT_EQ(yandex.mode, ApiMode::Deferred);
    EXPECT_EQ(yandex.pollSeconds, 2);
    EXPECT_EQ(yandex.groupsOnPage, 50);
    EXPECT_EQ(parsed.definitions->engine(Engine::GoogleCom).api.resultsPath, QStringLiteral("data.items"));
    // Page reading alone leaves the built-in SERP template unread.
    const ParsedDefinitions pagesOnly = overBuiltIn("[GoogleCom]\nSource=page\n");
    ASSERT_TRUE(pagesOnly.definitions) << allProblems(pagesOnly);
    EXPECT_EQ(pagesOnly.definitions->engine(Engine::GoogleCom).api.inForce(QStringLiteral("serp-json")),
        SourceKind::Page);
}

TEST(EngineDefinitions, EveryProblemIsListedNotOnlyTheFirst)
{
    const ParsedDefinitions parsed = overBuiltIn("[GoogleCom]\nPageSize=0\nLinkGroup=12\n[Bing]\n");
    EXPECT_EQ(problemTexts(parsed).size(), 3);
    EXPECT_EQ(DefinitionsFile::refusalText("/tmp/e.ini", parsed.problems).section('\n', 0, 0),
        "Описания поисковых систем из файла «/tmp/e.ini» не приняты:");
}

TEST(EngineDefinitions, ProblemsAreToldInLineOrderAndNoneHidesAnother)
{
    const ParsedDefinitions parsed
        = overBuiltIn("[MSNCom]\nPageSize=0\nLinkGroup=3\n[GoogleCom]\nPageStep=x\n");
    EXPECT_EQ(problemTexts(parsed),
        std::vector<std::string>({ "[MSNCom] PageSize (строка 2): «0» — нужно целое число от 1 до 100",
            "[MSNCom] LinkGroup (строка 3): в шаблоне нет группы 3 (групп: 1)",
            "[GoogleCom] PageStep (строка 5): «x» — нужно целое число от 1 до 1000" }));
}

TEST(EngineDefinitions, TheBuiltInFileMustGiveEveryValue)
{
    const ParsedDefinitions parsed = DefinitionsFile::parse("[definitions]\nVersion=1\n", nullptr);
    EXPECT_FALSE(parsed.definitions);
    const std::string all = allProblems(parsed);
    EXPECT_NE(all.find("[GoogleCom] Pattern: нет значения\n"), std::string::npos);
    EXPECT_EQ(all.find("[PageRank] Form"), std::string::npos);
}

TEST(EngineDefinitions, OnlyARegularFileWithinTheBoundIsRead)
{
    QTemporaryDir dir;
    const QString large = dir.filePath("large.ini");
    QFile file(large);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[GoogleCom]\n" + QByteArray(64 * 1024, ';'));
    file.close();
    ParsedDefinitions parsed = DefinitionsFile::read(large, DefinitionsSource::File);
    EXPECT_FALSE(parsed.definitions);
    EXPECT_EQ(allProblems(parsed).rfind("файл не прочитан: ", 0), 0u) << allProblems(parsed);

    parsed = DefinitionsFile::read(dir.path(), DefinitionsSource::File);
    EXPECT_FALSE(parsed.definitions);

    QFile small(dir.filePath("small.ini"));
    ASSERT_TRUE(small.open(QIODevice::WriteOnly));
    small.write("[MSNCom]\nPageSize=12\n");
    small.close();
    parsed = DefinitionsFile::read(small.fileName(), DefinitionsSource::User);
    ASSERT_TRUE(parsed.definitions);
    EXPECT_EQ(parsed.definitions->source, DefinitionsSource::User);
    EXPECT_EQ(parsed.definitions->fileName, small.fileName());
    EXPECT_EQ(definitionsSourceCode(parsed.definitions->source), "user");

    small.setPermissions(small.permissions() | QFileDevice::WriteGroup);
    parsed = DefinitionsFile::read(small.fileName(), DefinitionsSource::User);
    EXPECT_FALSE(parsed.definitions);
    EXPECT_EQ(allProblems(parsed),
        ("файл не прочитан: Его могут изменить другие пользователи; выполните: chmod go-w '"
            + small.fileName() + "'\n")
            .toStdString());
    EXPECT_TRUE(DefinitionsFile::read(small.fileName(), DefinitionsSource::File).definitions);
}

TEST(EngineDefinitions, TheEndpointsFileWinsOverTheDefinedHost)
{
    const EngineDefinition& google = EngineDefinitions::builtIn().engine(Engine::GoogleCom);
    Endpoints::setCurrent(Endpoints::defaults());
    EXPECT_EQ(hostOf(google), "www.google.com");
    EXPECT_EQ(hostOf(EngineDefinitions::builtIn().pageRank), "www.prchecker.info");
    Endpoints endpoints = Endpoints::defaults();
    endpoints.GoogleCom = "127.0.0.1:9";
    Endpoints::setCurrent(endpoints);
    EXPECT_EQ(hostOf(google), "127.0.0.1:9");
    Endpoints::setCurrent(Endpoints::defaults());
}
