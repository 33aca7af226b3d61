#include "rank/lookup/SiteMetrics.h"

#include "platform/CodePage.h"
#include "rank/http/HttpClient.h"
#include "rank/lookup/Endpoints.h"
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
    HttpClient& client = m_host.metricsClient();
    for (int failures = 0;;) {
        m_host.applyProxySettings(client);
        const QByteArray host = CyHost(CodePage::toAnsi(m_host.siteText()));
        WaitOneSecond();
        if (m_host.stopRequested())
            return kNotAvailable;
        QByteArray page;
        try {
            page = client.get(serviceUrl(Endpoints::current().YandexCY, "/yca/cy/ch/" + host + "/"));
        } catch (const EHttpAborted&) {
            return kNotAvailable;
        } catch (const EHttpError&) {
            if (givesUpAfterFailure(failures))
                return kNotAvailable;
            continue;
        }
        m_host.processEvents();
        RegExpr pattern("<b>.*? (\\d+).*?</b>|<a href=.*?" + host + ".*?>(\\d+?)</a>");
        if (!pattern.exec(page))
            return kNotAvailable;
        const QByteArray figure = pattern.match(1);
        return CodePage::fromAnsi(figure.isEmpty() ? pattern.match(2) : figure);
    }
}

QString SiteMetrics::FetchPageRank()
{
    HttpClient& client = m_host.metricsClient();
    for (int failures = 0;;) {
        m_host.applyProxySettings(client);
        WaitOneSecond();
        if (m_host.stopRequested())
            return kNotAvailable;
        QByteArray page;
        try {
            const QByteArray site = CodePage::toAnsi(m_host.siteText());
            page = client.post(serviceUrl(Endpoints::current().PageRank, "/"), { "url=" + site });
        } catch (const EHttpAborted&) {
            return kNotAvailable;
        } catch (const EHttpError&) {
            if (givesUpAfterFailure(failures))
                return kNotAvailable;
            continue;
        }
        m_host.processEvents();
        RegExpr pattern("<b>(\\d{1,2})</b>");
        return pattern.exec(page) ? CodePage::fromAnsi(pattern.match(1)) : kNotAvailable;
    }
}

bool SiteMetrics::givesUpAfterFailure(int& failures)
{
    m_host.processEvents();
    return ++failures > RequestAttempts::kMaxFailures;
}
