#pragma once

#include "rank/lookup/Engine.h"

#include <QAnyStringView>
#include <QString>
#include <QStringList>
#include <optional>

// What the program itself shows of one engine. How the engine is asked and read comes from the
// engine definitions (EngineDefinitions), which a file may change; these rows never change.
struct EngineRow {
    Engine engine;
    // Component names ("Rank" + key + n, "CheckBox" + key) and the engine's section in the
    // definitions.
    QString key;
    QString caption;
    QString reportCaption; // row 7 of the report
    QString gauge; // the gauge's component name
    bool tickedInNewProject;
    // The engine whose Count column shows the monthly query count (the Wordstat service); the other
    // columns show "-".
    bool showsQueryCount = false;

    bool hasQueryCount() const { return showsQueryCount; }
};

const EngineRow& engineRow(Engine engine);
// The keys of all engines, in the order of kEngines.
QStringList engineKeys();
// The engine a key names; nothing for a key no row has.
std::optional<Engine> engineByKey(QAnyStringView key);
