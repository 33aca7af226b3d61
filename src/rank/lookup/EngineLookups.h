#pragma once

#include "rank/lookup/ApiScans.h"
#include "rank/lookup/Engine.h"
#include "rank/lookup/PageScans.h"

class EngineClients;
class LookupHost;

// The check operations of the six engines for keyword slot n (1..7): skip an unticked engine
// or a stopped run, apply the connection settings, advance the gauge by 15, reset the cells,
// scan and write the result by the result cell rule. Only a pattern error made by the site
// address (ERegExpr) and a connection-settings error (EConvertError) leave them.
class EngineLookups {
public:
    EngineLookups(LookupHost& host, EngineClients& clients);

    // The check operation of one engine, for the run control's loop over kEngines.
    void check(Engine engine, int n);

    void CheckGoogleCom(int n) { check(Engine::GoogleCom, n); }
    void CheckGoogleRu(int n) { check(Engine::GoogleRu, n); }
    void CheckYandexRu(int n) { check(Engine::YandexRu, n); }
    void CheckRamblerRu(int n) { check(Engine::RamblerRu, n); }
    void CheckAportRu(int n) { check(Engine::AportRu, n); }
    void CheckMSNCom(int n) { check(Engine::MSNCom, n); }

    static constexpr int kGaugeStep = 15;

private:
    ScanResult queryCount(Engine engine, int n, const QByteArray& keyword);
    ScanResult rank(Engine engine, int n, const QByteArray& keyword);

    LookupHost& m_host;
    EngineClients& m_clients;
    PageScans m_scans;
    ApiScans m_api;
};
