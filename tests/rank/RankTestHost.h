#pragma once

#include "net/ConnectionSettings.h"
#include "rank/lookup/LookupHost.h"

#include <QMap>
#include <QStringList>
#include <array>
#include <functional>

// What the lookups run in, as plain values, for the lookup suites: the inputs, the stop and pause
// flags, and a record of every cell write, gauge step and pause wait.
class RankTestHost : public LookupHost {
public:
    RankTestHost();

    QString site = QStringLiteral("http://www.example.ru/");
    std::array<QString, 7> keywords;
    QMap<Engine, bool> checked; // none ticked at first
    ConnectionSettings connection;

    bool pausedFlag = false;
    bool stop = false;
    QMap<Engine, int> gauges;

    enum class State { Old, Reset, Written };
    struct Cell {
        QString text;
        int resultPage = 0;
        State state = State::Old;
        Outcome why;
        bool written() const { return state == State::Written; }
    };
    QMap<QString, Cell> cells; // "RankGoogleCom1", "CountYandexRu3"
    QMap<QString, Outcome> notAskedWhy; // by rank cell name
    QStringList events; // "gauge GoogleCom 15", "reset RankGoogleCom1", "write RankGoogleCom1 13 2"
    int pauseWaits = 0; // every wait
    mutable int settingsReads = 0; // reads of the connection settings

    // Runs at every pause wait with its 1-based call number, before the request is sent.
    std::function<void(int call)> onPauseWait;

    static QString rankCell(Engine engine, int n);
    static QString countCell(Engine engine, int n);

    QString siteText() const override { return site; }
    QString keyword(int n) const override { return keywords.at(n - 1); }
    bool engineChecked(Engine engine) const override { return checked.value(engine); }
    ConnectionSettings connectionSettings() const override;
    bool stopRequested() const override { return stop; }
    void waitWhilePaused() override;
    void processEvents() override;
    void advanceGauge(Engine engine, int step) override;
    void resetRankCell(Engine engine, int n) override;
    void resetCountCell(Engine engine, int n) override;
    void writeCountCell(Engine engine, int n, const QString& text, const Outcome& why) override;
    void writeRankCell(
        Engine engine, int n, const QString& text, int resultPage, const Outcome& why) override;
    void notAsked(Engine engine, int n, const Outcome& why) override;
};
