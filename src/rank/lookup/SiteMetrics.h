#pragma once

#include "rank/lookup/LookupOutcome.h"

#include <QByteArray>
#include <QString>
#include <functional>

class EngineClients;
class HttpClient;
class LookupHost;

// A figure as the frame shows it ("n/a" when there is none) and why.
struct MetricResult {
    QString text;
    Outcome why;
};

// The two authority figures of the site, read through the metrics client before the keyword
// lookups: the Yandex citation index and the Google PageRank. Each gives the digits the page
// gives, or "n/a". They do not wait for a pause (AttemptRule::Metric). A pattern error made by
// the site address (ERegExpr) and a connection-settings error leave them.
class SiteMetrics {
public:
    SiteMetrics(LookupHost& host, EngineClients& clients);

    MetricResult FetchYandexCY();
    MetricResult FetchPageRank();

private:
    LookupHost& m_host;
    EngineClients& m_clients;
};
