#pragma once

#include "net/ConnectionSettings.h"
#include "net/HttpClient.h"
#include "rank/lookup/LookupHost.h"

#include <QMap>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

// The project a lookup runs for, as plain values: real HTTP clients sharing one cookie store,
// and a record of every cell write and gauge step.
class LookupTestHost : public LookupHost {
public:
    LookupTestHost();
    ~LookupTestHost() override;

    QString site = QStringLiteral("http://www.example.ru/");
    std::array<QString, 7> keywords;
    QMap<Engine, bool> checked;
    bool stop = false;
    bool paused = false;
    ConnectionSettings connection;

    // Runs at every pause wait with its 1-based call number, before the request is sent.
    std::function<void(int call)> onPauseWait;

    struct Cell {
        QString text;
        int resultPage = 0;
        bool written = false;
    };
    QMap<QString, Cell> cells; // "RankGoogleCom1", "CountYandexRu3"
    QStringList events; // "reset RankGoogleCom1", "write RankGoogleCom1 13 2", "gauge GoogleCom 15"
    QMap<Engine, int> gauges;
    int pauseWaits = 0;
    int proxyApplications = 0;

    QString siteText() const override { return site; }
    QString keyword(int n) const override { return keywords.at(n - 1); }
    bool engineChecked(Engine engine) const override { return checked.value(engine); }
    bool stopRequested() const override { return stop; }
    void waitWhilePaused() override;
    void processEvents() override;
    void applyProxySettings(HttpClient& client) override;
    HttpClient& engineClient(Engine engine) override;
    HttpClient& metricsClient() override { return *m_metrics; }
    void advanceGauge(Engine engine, int step) override;
    void resetRankCell(Engine engine, int n) override;
    void resetCountCell(int n) override;
    void writeCountCell(int n, const QString& text) override;
    void writeRankCell(Engine engine, int n, const QString& text, int resultPage) override;

private:
    CookieStore m_cookies;
    std::array<std::unique_ptr<HttpClient>, 6> m_engines;
    std::unique_ptr<HttpClient> m_metrics;
};
