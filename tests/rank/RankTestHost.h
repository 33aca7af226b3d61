#pragma once

#include "net/ConnectionSettings.h"
#include "rank/run/RunHost.h"

#include <QMap>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

// A project frame as plain values, for the lookup and run-control suites: the inputs, the
// frame's flags and captions, and a record of every cell write, gauge step and lookup call.
class RankTestHost : public RunHost {
public:
    RankTestHost();

    QString site = QStringLiteral("http://www.example.ru/");
    std::array<QString, 7> keywords;
    QMap<Engine, bool> checked; // none ticked at first
    ConnectionSettings connection;

    bool pausedFlag = false;
    bool stop = false;
    bool running = false;
    bool startEnabled = true;
    bool timerActive = false;
    QString pauseCaption = QStringLiteral("Пауза");
    QString timeText = QStringLiteral("0:00:00");
    QString cy, pr;
    Outcome cyWhy, prWhy;
    std::optional<QString> nothingAnsweredError;
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
    QStringList messages;
    QStringList errors;
    QStringList lookups; // "YandexRu 5", one per lookup call that returned
    int pauseWaits = 0; // every wait
    int pausedWaits = 0; // waits that found the check paused
    mutable int settingsReads = 0; // reads of the connection settings

    // Runs at every pause wait with its 1-based call number, before the request is sent.
    std::function<void(int call)> onPauseWait;
    // Called with every step, without values: "reset RankYandexRu3", "write RankYandexRu3",
    // "wait", "lookup YandexRu 3".
    std::function<void(const QString& event)> onEvent;

    static QString rankCell(Engine engine, int n);
    static QString countCell(Engine engine, int n);
    static QString countCell(int n) { return countCell(Engine::YandexRu, n); }
    // Every cell of the grid holds "old" in the first-page colours, every gauge 50.
    void fillWithOldResults();

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

    void showMessage(const QString& text) override { messages << text; }
    void showError(const QString& text) override { errors << text; }
    void setStartEnabled(bool enabled) override { startEnabled = enabled; }
    void setPauseCaption(const QString& caption) override { pauseCaption = caption; }
    void setRunning(bool value) override { running = value; }
    void setPaused(bool value) override { pausedFlag = value; }
    bool paused() const override { return pausedFlag; }
    void setStopRequested(bool value) override { stop = value; }
    void setTimerActive(bool active) override { timerActive = active; }
    void setTimeText(const QString& text) override { timeText = text; }
    void setYandexCY(const QString& text, const Outcome& why) override { cy = text, cyWhy = why; }
    void setGooglePR(const QString& text, const Outcome& why) override { pr = text, prWhy = why; }
    void setGauge(Engine engine, int position) override { gauges[engine] = position; }
    void nothingAnswered(const QString& lastError) override { nothingAnsweredError = lastError; }
    void lookupDone(Engine engine, int n) override;

private:
    void event(const QString& text);
};
