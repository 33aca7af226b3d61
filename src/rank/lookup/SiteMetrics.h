#pragma once

#include <QByteArray>
#include <QString>

class LookupHost;

// The two authority figures of the site, read through the metrics client before the keyword
// lookups: the Yandex citation index and the Google PageRank. Each returns the digits the page
// gives, or "n/a". They do not wait for a pause. A stop asked for sends no further request
// ("n/a"), just as it ends a request under way: a silent server would otherwise hold a stopping
// check forever. A pattern error made by the site address (ERegExpr) and a connection-settings
// error leave them.
class SiteMetrics {
public:
    explicit SiteMetrics(LookupHost& host);

    QString FetchYandexCY();
    QString FetchPageRank();

private:
    // Counts a failed request; true when it was the sixth and the metric gives up.
    bool givesUpAfterFailure(int& failures);

    LookupHost& m_host;
};
