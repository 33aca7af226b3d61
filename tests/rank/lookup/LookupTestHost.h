#pragma once

#include "net/ConnectionSettings.h"
#include "rank/lookup/LookupHost.h"

#include <QMap>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

// The project a lookup runs for, as plain values, and a record of every cell write and gauge step.
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
        Outcome why;
    };
    QMap<QString, Cell> cells; // "RankGoogleCom1", "CountYandexRu3"
    QStringList events; // "reset RankGoogleCom1", "write RankGoogleCom1 13 2", "gauge GoogleCom 15"
    QMap<Engine, int> gauges;
    int pauseWaits = 0;
    mutable int proxyApplications = 0; // reads of the connection settings

    QString siteText() const override { return site; }
    QString keyword(int n) const override { return keywords.at(n - 1); }
    bool engineChecked(Engine engine) const override { return checked.value(engine); }
    bool stopRequested() const override { return stop; }
    ConnectionSettings connectionSettings() const override;
    void waitWhilePaused() override;
    void processEvents() override;
    void advanceGauge(Engine engine, int step) override;
    void resetRankCell(Engine engine, int n) override;
    void resetCountCell(Engine engine, int n) override;
    void writeCountCell(Engine engine, int n, const QString& text, const Outcome& why) override;
    void writeRankCell(Engine engine, int n, const QString& text, int resultPage, const Outcome& why) override;
    void notAsked(Engine engine, int n, const Outcome& why) override;
    QMap<QString, Outcome> notAskedWhy; // by rank cell name
};
