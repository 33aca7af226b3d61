#include "rank/lookup/SiteMetrics.h"

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

QByteArray serviceUrl(const ServiceDefinition& service, const QByteArray& site)
{
    return serviceOrigin(service, hostOf(service)) + fillPlaceholder(service.urlTemplate, "{site}", site);
}

// The figure of a service is the first group of its pattern that matched a text.
QList<int> allGroups(RegExpr& pattern)
{
    QList<int> groups;
    for (int group = 1; group <= pattern.groupCount(); ++group)
        groups << group;
    return groups;
}

// The figure the pattern finds in the first of the given groups that took part.
MetricResult readFigure(const Fetched& fetched, RegExpr& pattern, const QList<int>& groups)
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

// A service with a form is asked by POST, the site in its form line; the others by GET.
QByteArray ask(HttpClient& client, const ServiceDefinition& service, const QByteArray& site)
{
    if (service.form.isEmpty())
        return client.get(serviceUrl(service, site));
    return client.post(serviceUrl(service, site), { fillPlaceholder(service.form, "{site}", site) });
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
    const ServiceDefinition& service = m_clients.definitions().yandexCY;
    QByteArray host;
    RequestAttempts attempts(m_host, m_clients, client, AttemptRule::Metric);
    attempts.setPreparation([&] {
        EngineClients::applySettings(client, m_host.connectionSettings());
        host = CyHost(CodePage::toAnsi(m_host.siteText()));
    });
    const Fetched fetched = attempts.fetch([&](HttpClient& c) { return ask(c, service, host); });
    if (!fetched.page)
        return { kNotAvailable, fetched.why };
    // The host goes into the pattern as typed: a careless address makes a pattern error.
    RegExpr pattern(fillPlaceholder(service.pattern, "{site}", host));
    compileWithSiteAddress(pattern);
    return readFigure(fetched, pattern, allGroups(pattern));
}

MetricResult SiteMetrics::FetchPageRank()
{
    HttpClient& client = m_clients.metrics();
    const ServiceDefinition& service = m_clients.definitions().pageRank;
    RequestAttempts attempts(m_host, m_clients, client, AttemptRule::Metric);
    attempts.setPreparation([&] { EngineClients::applySettings(client, m_host.connectionSettings()); });
    const Fetched fetched
        = attempts.fetch([&](HttpClient& c) { return ask(c, service, CodePage::toAnsi(m_host.siteText())); });
    RegExpr pattern(service.pattern);
    compileWithSiteAddress(pattern);
    return readFigure(fetched, pattern, allGroups(pattern));
}
