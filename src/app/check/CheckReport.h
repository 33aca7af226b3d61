#pragma once

#include "rank/lookup/Engine.h"

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
    std::optional<QString> count; // Yandex.ru only
};

// What a check of the command-line checker reached.
struct CheckReport {
    QString site;
    QString cy;
    QString pr;
    QString elapsed;
    bool stopped = false;
    std::optional<QString> error;
    QStringList keywords; // seven
    QList<CellRecord> cells; // in the order the lookups wrote them
};

// One JSON object on one line, UTF-8, keys in a fixed order.
QByteArray formatJson(const CheckReport& report);

// A grid like the project frame's: one row per keyword, one column per engine.
QString formatTable(const CheckReport& report);

// One progress line: engine key, keyword number and what the lookup wrote.
QString formatProgress(Engine engine, int n, const CellRecord* written);
