#pragma once

#include "rank/lookup/Engine.h"
#include "rank/lookup/LookupOutcome.h"

#include <QByteArray>

class EngineClients;
class LookupHost;
struct EngineDefinition;

// What a page scan hands to its check operation: the result text (bytes as the page gave
// them, or a position the scan counted, or "n/a"), the page on which it was decided, and why.
struct ScanResult {
    QByteArray text = "n/a";
    int resultPage = 50;
    Outcome why;
};

// The page scans of the engines, driven by their definitions (those of the clients' check), and
// the Wordstat query count. Keywords come in the ANSI code page as typed; the scan encodes them as
// the engine's definition says. The site address is read afresh at every scan.
class PageScans {
public:
    PageScans(LookupHost& host, EngineClients& clients);

    ScanResult scan(Engine engine, const QByteArray& keyword);
    // The monthly query count of a keyword (Yandex.ru's Count column, from Wordstat); the keyword
    // encoded as for the engine that shows it.
    ScanResult QueryWordstatCount(const QByteArray& keyword);

    static constexpr int kMaxPages = 20;

private:
    ScanResult scanCounted(const EngineDefinition& row, const QByteArray& keyword);
    ScanResult scanNumbered(const EngineDefinition& row, const QByteArray& keyword);
    QByteArray siteKey() const;

    LookupHost& m_host;
    EngineClients& m_clients;
};

// The keyword as the engine's URL carries it.
QByteArray encodeKeyword(const EngineDefinition& engine, const QByteArray& keyword);
