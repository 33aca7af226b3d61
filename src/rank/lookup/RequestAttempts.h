#pragma once

#include <QByteArray>
#include <optional>

class HttpClient;
class LookupHost;

// The retry step of the engine lookups: every attempt waits for the request interval, ends
// the scan on a stop, waits while paused, then GETs the page. A failed request is counted and
// tried again; more than five failures end the scan. The count lives as long as this object,
// so an engine that counts per page makes one per page, one that counts per scan one per scan.
class RequestAttempts {
public:
    RequestAttempts(LookupHost& host, HttpClient& client);

    // The page body, or nothing when the scan must end (stop, aborted transfer, sixth failure).
    std::optional<QByteArray> fetch(const QByteArray& url);

    static constexpr int kMaxFailures = 5;

private:
    LookupHost& m_host;
    HttpClient& m_client;
    int m_failures = 0;
};
