#include "rank/lookup/SiteMetrics.h"

#include "platform/CodePage.h"
#include "net/HttpClient.h"
#include "net/Endpoints.h"
#include "rank/lookup/LookupHost.h"
#include "rank/lookup/QueryText.h"
#include "rank/lookup/RequestAttempts.h"
#include "rank/lookup/WaitOneSecond.h"
#include "rank/pattern/RegExpr.h"

namespace {

const QString kNotAvailable = QStringLiteral("n/a");

QByteArray serviceUrl(const QString& endpoint, const QByteArray& path)
{
    return "http://" + endpoint.toUtf8() + path;
}

} // namespace

SiteMetrics::SiteMetrics(LookupHost& host)
    : m_host(host)
{
}

QString SiteMetrics::FetchYandexCY()
{
    QByteArray host;
    const auto page = fetch([&] { host = CyHost(CodePage::toAnsi(m_host.siteText())); },
        [&](HttpClient& client) {
            return client.get(serviceUrl(Endpoints::current().YandexCY, "/yca/cy/ch/" + host + "/"));
        });
    if (!page)
        return kNotAvailable;
    RegExpr pattern("<b>.*? (\\d+).*?</b>|<a href=.*?" + host + ".*?>(\\d+?)</a>");
    if (!pattern.exec(*page))
        return kNotAvailable;
    const QByteArray figure = pattern.match(1);
    return CodePage::fromAnsi(figure.isEmpty() ? pattern.match(2) : figure);
}

QString SiteMetrics::FetchPageRank()
{
    const auto page = fetch({}, [&](HttpClient& client) {
        const QByteArray site = CodePage::toAnsi(m_host.siteText());
        return client.post(serviceUrl(Endpoints::current().PageRank, "/"), { "url=" + site });
    });
    if (!page)
        return kNotAvailable;
    RegExpr pattern("<b>(\\d{1,2})</b>");
    return pattern.exec(*page) ? CodePage::fromAnsi(pattern.match(1)) : kNotAvailable;
}

std::optional<QByteArray> SiteMetrics::fetch(
    const std::function<void()>& prepare, const std::function<QByteArray(HttpClient&)>& send)
{
    HttpClient& client = m_host.metricsClient();
    for (int failures = 0;;) {
        m_host.applyProxySettings(client);
        if (prepare)
            prepare();
        WaitOneSecond();
        if (m_host.stopRequested())
            return std::nullopt;
        try {
            QByteArray page = send(client);
            m_host.processEvents();
            return page;
        } catch (const EHttpAborted&) {
            return std::nullopt;
        } catch (const EHttpError&) {
            m_host.processEvents();
            if (++failures > RequestAttempts::kMaxFailures)
                return std::nullopt;
        }
    }
}
