#pragma once

#include "rank/run/CheckRun.h"
#include "rank/run/RunHost.h"

#include <QStringList>

// The host of a check run without a window: fixed connection settings, and the messages and
// errors it was told.
class RunTestHost : public RunHost {
public:
    ConnectionSettings connection;
    QStringList messages;
    QStringList errors;
    bool clock = true;
    SourceChoice sources;
    SourceKeys keys;

    ConnectionSettings connectionSettings() const override { return connection; }
    bool showsClock() const override { return clock; }
    SourceChoice sourceChoice() const override { return sources; }
    SourceKeys sourceKeys() const override { return keys; }
    void showMessage(const QString& text) override { messages << text; }
    void showError(const QString& text) override { errors << text; }
};

// A check run of a project with no engine ticked and no keyword, with its results and host; it
// records every lookup ("YandexRu 5") as it returns.
struct RunUnderTest {
    RunUnderTest();

    const CellResult& rank(Engine engine, int n) const { return results.rank(engine, n); }
    const CellResult& count(int n) const { return results.count(Engine::YandexRu, n); }
    // Every cell holds "old" in the first-page colours, every gauge stands at 50.
    void fillWithOldResults();

    Project project;
    ProjectResults results;
    RunTestHost host;
    CheckRun run { project, results, host };
    QStringList lookups;
};
