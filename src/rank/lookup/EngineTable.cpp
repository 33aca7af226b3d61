#include "rank/lookup/EngineTable.h"

#include <array>

namespace {

const char kGooglePattern[] = R"re(<div[^<>]*?>\s*?(<h2[^<>]*?>)*?\s*?<a href="(.*?)")re";

// One row per engine, in the order of the Engine enumeration. Made at its first use, so that it is
// there for the initialisers of other files too.
const std::array<EngineRow, 6>& rows()
{
    static const std::array<EngineRow, 6> table { {
        { Engine::GoogleCom, "GoogleCom", "Google.com", "Google.com", "PBGoogleCom", false,
            HttpVersion::Http11, "/search?q={keyword}&hl=ru&start={page}&sa=N", 10, 0,
            KeywordEncoding::Utf8Percent, kGooglePattern, 2, PageRule::CountedToTheEnd, 10 },
        { Engine::GoogleRu, "GoogleRu", "Google.ru", "Google.ru", "PBGoogleRu", false, HttpVersion::Http11,
            "/search?q={keyword}&hl=ru&start={page}&sa=N", 10, 0, KeywordEncoding::Utf8Percent,
            kGooglePattern, 2, PageRule::CountedToTheEnd, 10 },
        { Engine::YandexRu, "YandexRu", "Yandex.ru", "Yandex.ru", "PBYandexru", true, HttpVersion::Http11,
            "/yandpage?&p={page}&nl=0&text={keyword}", 1, 0, KeywordEncoding::SpacesAsPercent20,
            R"re(<li[^<>]*?value=(\d*)[^<>]*?>\s*?<div[^<>]*?class="title"[^<>]*?>\s*?<i[^<>]*?>\s*?</i>\s*?<a[^<>]*?href="(http://www.|http://))re",
            0, PageRule::EngineNumbered, 0,
            QueryCountSource {
                "Wordstat", "/stat/wordsstat.pl?text={keyword}", R"re(&nbsp;&#151;&nbsp;(\d*?)&nbsp;)re" } },
        { Engine::RamblerRu, "RamblerRu", "Rambler.ru", "Rambler.ru", "PBRamblerru", true,
            HttpVersion::Http11, "/srch?oe=1251&start={page}&words={keyword}", 15, 1,
            KeywordEncoding::SpacesAsPercent20,
            R"re(<li>\s*?<div class="ttl">\s*?<a onclick=".*?" href="(.*?)")re", 1,
            PageRule::CountedEndsOnShortPage, 15 },
        { Engine::AportRu, "AportRu", "Aport.ru", "Aport.ru", "PBaportru", false, HttpVersion::Http11,
            "/scripts/template.dll?p={page}&r={keyword}", 1, 0, KeywordEncoding::SpacesAsPercent20,
            R"re(<li value=(\d*?)>\s*?<span class=title>\s*?<a href="(http://www.|http://))re", 0,
            PageRule::EngineNumbered, 0 },
        // MSN.com is asked over HTTP/1.0.
        { Engine::MSNCom, "MSNCom", "MSN.com", "Msn.com", "PBmsncom", false, HttpVersion::Http10,
            "/results.aspx?FORM=PERE&first={page}&q={keyword}", 10, 1, KeywordEncoding::Utf8Percent,
            R"re(<li[^<>]*?>\s*?<h3>\s*?<a href="(.*?)")re", 1, PageRule::CountedEndsOnShortPage, 10 },
    } };
    return table;
}

} // namespace

const EngineRow& engineRow(Engine engine)
{
    return rows().at(static_cast<std::size_t>(engine));
}

QStringList engineKeys()
{
    QStringList keys;
    for (const EngineRow& row : rows())
        keys << row.key;
    return keys;
}

std::optional<Engine> engineByKey(QAnyStringView key)
{
    for (const EngineRow& row : rows()) {
        if (QAnyStringView::equal(row.key, key))
            return row.engine;
    }
    return std::nullopt;
}

QString engineKey(Engine engine)
{
    return engineRow(engine).key;
}

QString engineCaption(Engine engine)
{
    return engineRow(engine).caption;
}

QByteArray resultPageUrl(const EngineRow& row, const QString& host, int page, const QByteArray& keyword)
{
    QByteArray pathAndQuery = row.urlTemplate;
    pathAndQuery.replace("{page}", QByteArray::number(row.pageStep * page + row.pageOffset));
    // The keyword goes in last: its bytes are never read as a placeholder.
    const qsizetype at = pathAndQuery.indexOf("{keyword}");
    if (at >= 0)
        pathAndQuery.replace(at, 9, keyword);
    return "http://" + host.toUtf8() + pathAndQuery;
}

QByteArray queryParameterOf(const EngineRow& row, const QByteArray& placeholder)
{
    const qsizetype at = row.urlTemplate.indexOf("=" + placeholder);
    if (at < 0)
        return {};
    const qsizetype start
        = std::max(row.urlTemplate.lastIndexOf('&', at), row.urlTemplate.lastIndexOf('?', at)) + 1;
    return row.urlTemplate.mid(start, at - start);
}
