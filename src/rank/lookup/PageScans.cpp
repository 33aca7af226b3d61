#include "rank/lookup/PageScans.h"

#include "platform/CodePage.h"
#include "rank/lookup/EngineClients.h"
#include "rank/lookup/LookupHost.h"
#include "rank/lookup/PageReading.h"
#include "rank/lookup/QueryText.h"
#include "rank/lookup/ReadingAway.h"
#include "rank/lookup/RequestAttempts.h"

#include <optional>

namespace {

QByteArray pageUrl(const EngineDefinition& row, int page, const QByteArray& keyword)
{
    return resultPageUrl(row, hostOf(row), page, keyword);
}

QString tooComplexText(const EPageTooComplex& e)
{
    return QString::fromUtf8(e.what());
}

// A page without a single entry that carries one of the engine's refusal signs.
std::optional<Outcome> refusedPage(
    const EngineDefinition& row, const HttpClient& client, const QByteArray& page)
{
    const LastReply& last = client.lastReply();
    const ReplySeen seen { last.status, last.location, last.headerNames, page, true };
    if (const std::optional<BlockKind> kind = blockedBy(row.blocked, seen))
        return Outcome::blocked(blockedDetail(row.engine, *kind));
    return std::nullopt;
}

// Fetches and reads one result page; nothing, with the reason in result, when the scan must end.
std::optional<PageReading> readPage(const EngineDefinition& row, EngineClients& clients,
    RequestAttempts& attempts, PageReader& reader, const QByteArray& url, int pageIndex, ScanResult& result)
{
    attempts.setBlockMarkers(row.engine, row.blocked);
    const Fetched fetched = attempts.fetch(url);
    if (!fetched.page) {
        result.why = fetched.why;
        return std::nullopt;
    }
    try {
        PageReading reading = readAway(reader, *fetched.page, pageIndex);
        if (reading.entries == 0) {
            if (std::optional<Outcome> refused
                = refusedPage(row, clients.engine(row.engine), *fetched.page)) {
                result.why = *refused;
                return std::nullopt;
            }
        }
        return reading;
    } catch (const EPageTooComplex& e) {
        result.why = Outcome::tooComplex(pageIndex + 1, tooComplexText(e));
        return std::nullopt;
    }
}

} // namespace

QByteArray encodeKeyword(const EngineDefinition& engine, const QByteArray& keyword)
{
    switch (engine.keywordEncoding) {
    case KeywordEncoding::Utf8Percent:
        return UrlEncodeQuery(keyword);
    case KeywordEncoding::SpacesAsPercent20:
        return SpacesToPercent20(keyword);
    }
    return keyword;
}

PageScans::PageScans(LookupHost& host, EngineClients& clients)
    : m_host(host)
    , m_clients(clients)
{
}

QByteArray PageScans::siteKey() const
{
    return SiteKey(CodePage::toAnsi(m_host.siteText()));
}

ScanResult PageScans::scan(Engine engine, const QByteArray& keyword)
{
    const EngineDefinition& row = m_clients.definitions().engine(engine);
    if (row.pageRule == PageRule::EngineNumbered)
        return scanNumbered(row, encodeKeyword(row, keyword));
    return scanCounted(row, encodeKeyword(row, keyword));
}

ScanResult PageScans::QueryWordstatCount(const QByteArray& keyword)
{
    ScanResult result;
    const ServiceDefinition& source = m_clients.definitions().wordstat;
    RequestAttempts attempts(m_host, m_clients, m_clients.engine(Engine::YandexRu));
    const Fetched fetched = attempts.fetch(
        serviceOrigin(source, hostOf(source)) + fillPlaceholder(source.urlTemplate, "{keyword}", keyword));
    if (!fetched.page) {
        result.why = fetched.why;
        return result;
    }
    RegExpr pattern(source.pattern);
    try {
        if (pattern.exec(*fetched.page)) {
            result.text = pattern.match(1);
            result.why = Outcome::figureRead();
        } else {
            result.why = Outcome::unrecognised(1);
        }
    } catch (const EPageTooComplex& e) {
        result.why = Outcome::tooComplex(1, tooComplexText(e));
    }
    return result;
}

// Google.com, Google.ru, MSN.com and Rambler.ru: the program counts the entries of each page.
// On MSN.com and Rambler.ru a page longer than the page size may hold the site after its counted
// entries; the scan then goes on, and the position kept from that page stays found however the
// later pages end (without the site, short, failed or stopped). Its ResultPage is, as for every
// scan, the last page on which an entry was read; the detail names both pages.
ScanResult PageScans::scanCounted(const EngineDefinition& row, const QByteArray& keyword)
{
    ScanResult result;
    std::optional<ScanResult> hit;
    const auto finished = [&hit, &result] {
        if (!hit)
            return result;
        ScanResult kept = *hit;
        kept.why = Outcome::found(hit->resultPage, result.resultPage);
        kept.resultPage = result.resultPage;
        return kept;
    };
    PageReader reader(row, siteKey());
    const bool endsOnShortPage = row.pageRule == PageRule::CountedEndsOnShortPage;
    bool firstPageEmpty = false;
    for (int i = 0; i < kMaxPages; ++i) {
        RequestAttempts attempts(m_host, m_clients, m_clients.engine(row.engine));
        const std::optional<PageReading> read
            = readPage(row, m_clients, attempts, reader, pageUrl(row, i, keyword), i, result);
        if (!read)
            return finished();
        const PageReading& reading = *read;
        if (reading.entries == 0) {
            // A page without entries leads on; on the first page it is not a result list at all.
            if (i == 0)
                firstPageEmpty = true;
            result.why = firstPageEmpty ? Outcome::unrecognised(1) : Outcome::notFound(i + 1);
            continue;
        }
        result.resultPage = i + 1;
        if (reading.position) {
            result.text = *reading.position;
            result.why = Outcome::found(i + 1);
            hit = result;
            if (!endsOnShortPage || reading.entries <= row.pageSize)
                return result;
            continue;
        }
        if (endsOnShortPage && reading.entries < row.pageSize) {
            result.why = firstPageEmpty ? Outcome::unrecognised(1) : Outcome::shortList(i + 1);
            return finished();
        }
        result.why = firstPageEmpty ? Outcome::unrecognised(1) : Outcome::notFound(i + 1);
    }
    return finished();
}

// Aport.ru and Yandex.ru: the first entry whose link names the site gives the engine's own number.
ScanResult PageScans::scanNumbered(const EngineDefinition& row, const QByteArray& keyword)
{
    ScanResult result;
    RequestAttempts attempts(m_host, m_clients, m_clients.engine(row.engine));
    PageReader reader(row, siteKey());
    bool firstPageEmpty = false;
    for (int i = 0; i < kMaxPages; ++i) {
        const std::optional<PageReading> read
            = readPage(row, m_clients, attempts, reader, pageUrl(row, i, keyword), i, result);
        if (!read)
            return result;
        const PageReading& reading = *read;
        if (reading.position) {
            result.text = *reading.position;
            result.resultPage = i + 1;
            result.why = Outcome::found(i + 1);
            return result;
        }
        if (i == 0 && reading.entries == 0)
            firstPageEmpty = true;
        result.why = firstPageEmpty ? Outcome::unrecognised(1) : Outcome::notFound(i + 1);
    }
    return result;
}
