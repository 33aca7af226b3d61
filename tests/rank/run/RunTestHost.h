#pragma once

#include "net/ConnectionSettings.h"
#include "rank/run/RunHost.h"

#include <QMap>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>

// A project frame as plain values: the frame's flags and captions, and a record of every cell
// write, gauge position and lookup call.
class RunTestHost : public RunHost {
public:
    RunTestHost();
    ~RunTestHost() override;

    QString site = QStringLiteral("http://www.example.ru/");
    std::array<QString, 7> keywords;
    QMap<Engine, bool> checked;
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
    };
    QMap<QString, Cell> cells; // "RankGoogleCom1", "CountYandexRu3"
    QStringList messages;
    QStringList errors;
    QStringList lookups; // "YandexRu 5", one per lookup call that returned
    int pausedWaits = 0; // waits that found the check paused

    // Called with every event: "reset RankYandexRu3", "write RankYandexRu3", "wait", "lookup YandexRu 3".
    std::function<void(const QString& event)> onEvent;

    static QString rankCell(Engine engine, int n);
    static QString countCell(int n);
    // Every cell of the grid holds "old" in the first-page colours, every gauge 50.
    void fillWithOldResults();

    QString siteText() const override { return site; }
    QString keyword(int n) const override { return keywords.at(n - 1); }
    bool engineChecked(Engine engine) const override { return checked.value(engine); }
    bool stopRequested() const override { return stop; }
    ConnectionSettings connectionSettings() const override { return connection; }
    void waitWhilePaused() override;
    void processEvents() override;
    void advanceGauge(Engine engine, int step) override;
    void resetRankCell(Engine engine, int n) override;
    void resetCountCell(Engine engine, int n) override;
    void writeCountCell(Engine engine, int n, const QString& text, const Outcome& why) override;
    void writeRankCell(Engine engine, int n, const QString& text, int resultPage, const Outcome& why) override;

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
    void nothingAnswered(const QString& lastError) override { nothingAnsweredError = lastError; }
    void setGauge(Engine engine, int position) override { gauges[engine] = position; }
    void lookupDone(Engine engine, int n) override;

private:
    void event(const QString& text);
};
