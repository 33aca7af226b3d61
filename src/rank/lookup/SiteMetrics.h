#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class HttpClient;
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
    // One request with its retries: the connection settings are applied and prepare() runs before
    // each attempt's one-second wait; nothing after a stop, an aborted transfer or the sixth failure.
    std::optional<QByteArray> fetch(
        const std::function<void()>& prepare, const std::function<QByteArray(HttpClient&)>& send);

    LookupHost& m_host;
};
