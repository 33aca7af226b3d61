#include "rank/lookup/SiteMetrics.h"

#include "net/Endpoints.h"
#include "net/HttpClient.h"
#include "platform/CodePage.h"
#include "rank/lookup/EngineClients.h"
#include "rank/lookup/LookupHost.h"
#include "rank/lookup/PageReading.h"
#include "rank/lookup/QueryText.h"
#include "rank/lookup/RequestAttempts.h"
#include "rank/pattern/RegExpr.h"

namespace {

const QString kNotAvailable = QStringLiteral("n/a");

QByteArray serviceUrl(const QString& endpoint, const QByteArray& path)
{
    return "http://" + endpoint.toUtf8() + path;
}

// The figure the pattern finds in the first of the given groups that took part.
MetricResult readFigure(const Fetched& fetched, RegExpr& pattern, std::initializer_list<int> groups)
{
    if (!fetched.page)
        return { kNotAvailable, fetched.why };
    try {
        if (!pattern.exec(*fetched.page))
            return { kNotAvailable, Outcome::unrecognised(1) };
    } catch (const EPageTooComplex& e) {
        return { kNotAvailable, Outcome::tooComplex(1, QString::fromUtf8(e.what())) };
    }
    for (int group : groups) {
        const QByteArray figure = pattern.match(group);
        if (!figure.isEmpty())
            return { CodePage::fromAnsi(figure), Outcome::figureRead() };
    }
    return { QString(), Outcome::figureRead() };
}

} // namespace

SiteMetrics::SiteMetrics(LookupHost& host, EngineClients& clients)
    : m_host(host)
    , m_clients(clients)
{
}

MetricResult SiteMetrics::FetchYandexCY()
{
    HttpClient& client = m_clients.metrics();
    QByteArray host;
    RequestAttempts attempts(m_host, m_clients, client, AttemptRule::Metric);
    attempts.setPreparation([&] {
        EngineClients::applySettings(client, m_host.connectionSettings());
        host = CyHost(CodePage::toAnsi(m_host.siteText()));
    });
    const Fetched fetched = attempts.fetch([&](HttpClient& c) {
        return c.get(serviceUrl(Endpoints::current().YandexCY, "/yca/cy/ch/" + host + "/"));
    });
    if (!fetched.page)
        return { kNotAvailable, fetched.why };
    RegExpr pattern("<b>.*? (\\d+).*?</b>|<a href=.*?" + host + ".*?>(\\d+?)</a>");
    compileWithSiteAddress(pattern);
    return readFigure(fetched, pattern, { 1, 2 });
}

MetricResult SiteMetrics::FetchPageRank()
{
    HttpClient& client = m_clients.metrics();
    RequestAttempts attempts(m_host, m_clients, client, AttemptRule::Metric);
    attempts.setPreparation([&] { EngineClients::applySettings(client, m_host.connectionSettings()); });
    const Fetched fetched = attempts.fetch([&](HttpClient& c) {
        const QByteArray site = CodePage::toAnsi(m_host.siteText());
        return c.post(serviceUrl(Endpoints::current().PageRank, "/"), { "url=" + site });
    });
    RegExpr pattern("<b>(\\d{1,2})</b>");
    return readFigure(fetched, pattern, { 1 });
}
