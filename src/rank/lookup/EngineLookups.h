#pragma once

#include "rank/lookup/Engine.h"
#include "rank/lookup/PageScans.h"

class LookupHost;

// The check operations of the six engines for keyword slot n (1..7): skip an unticked engine
// or a stopped run, apply the connection settings, advance the gauge by 15, reset the cells,
// scan and write the result by the result cell rule. Only a pattern error made by the site
// address (ERegExpr) and a connection-settings error (EConvertError) leave them.
class EngineLookups {
public:
    explicit EngineLookups(LookupHost& host);

    void CheckGoogleCom(int n);
    void CheckGoogleRu(int n);
    void CheckYandexRu(int n);
    void CheckRamblerRu(int n);
    void CheckAportRu(int n);
    void CheckMSNCom(int n);

    // The check operation of one engine, for the run control's loop over kEngines.
    void check(Engine engine, int n);

    static constexpr int kGaugeStep = 15;

private:
    using Scan = ScanResult (PageScans::*)(const QByteArray&);

    void checkPositions(Engine engine, int n, Scan scan, bool spacesAsPercent20);
    bool begin(Engine engine);

    LookupHost& m_host;
    PageScans m_scans;
};
