#include "rank/lookup/PageScans.h"

#include "platform/CodePage.h"
#include "net/Endpoints.h"
#include "rank/lookup/LookupHost.h"
#include "rank/lookup/QueryText.h"
#include "rank/lookup/RequestAttempts.h"
#include "rank/pattern/RegExpr.h"

namespace {

using UrlOfPage = QByteArray (*)(int page, const QByteArray& keyword);

QByteArray number(int value)
{
    return QByteArray::number(value);
}

QByteArray hostOf(const QString& endpoint)
{
    return "http://" + endpoint.toUtf8();
}

QByteArray googleUrl(const QString& host, int page, const QByteArray& keyword)
{
    return hostOf(host) + "/search?q=" + keyword + "&hl=ru&start=" + number(10 * page) + "&sa=N";
}

const char kGooglePattern[] = R"re(<div[^<>]*?>\s*?(<h2[^<>]*?>)*?\s*?<a href="(.*?)")re";
const char kMsnPattern[] = R"re(<li[^<>]*?>\s*?<h3>\s*?<a href="(.*?)")re";
const char kRamblerPattern[] = R"re(<li>\s*?<div class="ttl">\s*?<a onclick=".*?" href="(.*?)")re";
const char kAportPattern[]
    = R"re(<li value=(\d*?)>\s*?<span class=title>\s*?<a href="(http://www.|http://))re";
const char kYandexPattern[]
    = R"re(<li[^<>]*?value=(\d*)[^<>]*?>\s*?<div[^<>]*?class="title"[^<>]*?>\s*?<i[^<>]*?>\s*?</i>\s*?<a[^<>]*?href="(http://www.|http://))re";
const char kWordstatPattern[] = R"re(&nbsp;&#151;&nbsp;(\d*?)&nbsp;)re";

} // namespace

// Google.com, Google.ru, MSN.com and Rambler.ru: the program counts the entries of each page.
struct PageScans::CountedScan {
    Engine engine;
    UrlOfPage url;
    const char* pattern;
    int urlGroup;
    int pageSize;
    bool endsOnlyOnHit; // Google: a page without the site always leads on
};

// Aport.ru and Yandex.ru: the first entry whose link names the site gives the engine's own number.
struct PageScans::FirstMatchScan {
    Engine engine;
    UrlOfPage url;
    const char* pattern;
};

PageScans::PageScans(LookupHost& host)
    : m_host(host)
{
}

QByteArray PageScans::siteKey() const
{
    return SiteKey(CodePage::toAnsi(m_host.siteText()));
}

ScanResult PageScans::ScanGoogleCom(const QByteArray& keyword)
{
    static const CountedScan scan { Engine::GoogleCom,
        [](int page, const QByteArray& k) { return googleUrl(Endpoints::current().GoogleCom, page, k); },
        kGooglePattern, 2, 10, true };
    return scanCounted(scan, UrlEncodeQuery(keyword));
}

ScanResult PageScans::ScanGoogleRu(const QByteArray& keyword)
{
    static const CountedScan scan { Engine::GoogleRu,
        [](int page, const QByteArray& k) { return googleUrl(Endpoints::current().GoogleRu, page, k); },
        kGooglePattern, 2, 10, true };
    return scanCounted(scan, UrlEncodeQuery(keyword));
}

ScanResult PageScans::ScanMSNCom(const QByteArray& keyword)
{
    static const CountedScan scan { Engine::MSNCom,
        [](int page, const QByteArray& k) {
            return hostOf(Endpoints::current().MSNCom)
                + "/results.aspx?FORM=PERE&first=" + number(10 * page + 1) + "&q=" + k;
        },
        kMsnPattern, 1, 10, false };
    return scanCounted(scan, UrlEncodeQuery(keyword));
}

ScanResult PageScans::ScanRamblerRu(const QByteArray& keyword)
{
    static const CountedScan scan { Engine::RamblerRu,
        [](int page, const QByteArray& k) {
            return hostOf(Endpoints::current().RamblerRu) + "/srch?oe=1251&start=" + number(15 * page + 1)
                + "&words=" + k;
        },
        kRamblerPattern, 1, 15, false };
    return scanCounted(scan, keyword);
}

ScanResult PageScans::ScanAportRu(const QByteArray& keyword)
{
    static const FirstMatchScan scan { Engine::AportRu,
        [](int page, const QByteArray& k) {
            return hostOf(Endpoints::current().AportRu) + "/scripts/template.dll?p=" + number(page)
                + "&r=" + k;
        },
        kAportPattern };
    return scanFirstMatch(scan, keyword);
}

ScanResult PageScans::ScanYandexRu(const QByteArray& keyword)
{
    static const FirstMatchScan scan { Engine::YandexRu,
        [](int page, const QByteArray& k) {
            return hostOf(Endpoints::current().YandexRu) + "/yandpage?&p=" + number(page) + "&nl=0&text=" + k;
        },
        kYandexPattern };
    return scanFirstMatch(scan, keyword);
}

QByteArray PageScans::QueryWordstatCount(const QByteArray& keyword)
{
    RequestAttempts attempts(m_host, m_host.engineClient(Engine::YandexRu));
    const auto page
        = attempts.fetch(hostOf(Endpoints::current().Wordstat) + "/stat/wordsstat.pl?text=" + keyword);
    if (!page)
        return "n/a";
    RegExpr pattern(kWordstatPattern);
    return pattern.exec(*page) ? pattern.match(1) : QByteArray("n/a");
}

ScanResult PageScans::scanCounted(const CountedScan& scan, const QByteArray& keyword)
{
    ScanResult result;
    const QByteArray key = siteKey();
    RegExpr pattern(scan.pattern);
    HttpClient& client = m_host.engineClient(scan.engine);
    for (int i = 0; i < kMaxPages; ++i) {
        RequestAttempts attempts(m_host, client);
        const auto page = attempts.fetch(scan.url(i, keyword));
        if (!page)
            return result;
        if (!pattern.exec(*page))
            continue;
        int j = 1;
        bool found = false;
        do {
            // An empty key would be "found" in every link; it names no site.
            if (!key.isEmpty() && pattern.match(scan.urlGroup).contains(key)) {
                result.text = number(scan.pageSize * i + j);
                found = true;
                break;
            }
            ++j;
        } while (pattern.execNext());
        result.resultPage = i + 1;
        if (found && scan.endsOnlyOnHit)
            return result;
        if (!scan.endsOnlyOnHit && j <= scan.pageSize)
            return result;
    }
    return result;
}

ScanResult PageScans::scanFirstMatch(const FirstMatchScan& scan, const QByteArray& keyword)
{
    ScanResult result;
    RequestAttempts attempts(m_host, m_host.engineClient(scan.engine));
    RegExpr pattern(scan.pattern + siteKey());
    for (int i = 0; i < kMaxPages; ++i) {
        const auto page = attempts.fetch(scan.url(i, keyword));
        if (!page)
            return result;
        if (pattern.exec(*page)) {
            result.text = pattern.match(1);
            result.resultPage = i + 1;
            return result;
        }
    }
    return result;
}
