#pragma once

#include "rank/lookup/Engine.h"

#include <QByteArray>

class LookupHost;

// What a page scan hands to its check operation: the result text (bytes as the page gave
// them, or a position the scan counted, or "n/a") and the page on which it was decided.
struct ScanResult {
    QByteArray text = "n/a";
    int resultPage = 50;
};

// The page scans of the six engines and the Wordstat query count. Keywords come as the check
// operation prepared them, in the ANSI code page. The site address is read afresh at every scan.
class PageScans {
public:
    explicit PageScans(LookupHost& host);

    ScanResult ScanGoogleCom(const QByteArray& keyword);
    ScanResult ScanGoogleRu(const QByteArray& keyword);
    ScanResult ScanMSNCom(const QByteArray& keyword);
    ScanResult ScanRamblerRu(const QByteArray& keyword);
    ScanResult ScanAportRu(const QByteArray& keyword);
    ScanResult ScanYandexRu(const QByteArray& keyword);
    QByteArray QueryWordstatCount(const QByteArray& keyword);

    static constexpr int kMaxPages = 20;

private:
    struct CountedScan;
    struct FirstMatchScan;

    ScanResult scanCounted(const CountedScan& scan, const QByteArray& keyword);
    ScanResult scanFirstMatch(const FirstMatchScan& scan, const QByteArray& keyword);
    QByteArray siteKey() const;

    LookupHost& m_host;
};
