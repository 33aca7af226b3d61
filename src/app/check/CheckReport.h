#pragma once

#include "rank/lookup/Engine.h"
#include "rank/lookup/LookupOutcome.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The cells one lookup wrote: the Rank cell, and for Yandex.ru the Count cell too.
struct CellRecord {
    Engine engine = Engine::GoogleCom;
    int n = 0;
    QString rank;
    std::optional<int> page; // ResultPage; none when the cell was only reset
    std::optional<QString> count; // engines with a query count only
    Outcome rankWhy;
    Outcome countWhy;
};

struct MetricRecord {
    QString text;
    Outcome why;
};

// What a check of the command-line checker reached.
struct CheckReport {
    QString site;
    MetricRecord cy;
    MetricRecord pr;
    QString elapsed;
    bool stopped = false;
    std::optional<QString> error;
    QStringList keywords; // seven
    QList<CellRecord> cells; // in the order the lookups wrote them
    // Set when the check ran to its end without one answered request: the last error's text.
    std::optional<QString> nothingAnswered;
};

// One JSON object on one line, UTF-8, keys in a fixed order.
QByteArray formatJson(const CheckReport& report);

// A grid like the project frame's: one row per keyword, one column per engine.
QString formatTable(const CheckReport& report);

// One progress line: engine key, keyword number and what the lookup wrote.
QString formatProgress(Engine engine, int n, const CellRecord* written);

// One line for each lookup, count or figure that failed, was not recognised or was too complex.
QStringList formatTroubles(const CheckReport& report);
