#pragma once

#include "rank/lookup/EngineDefinition.h"

#include <QString>
#include <QStringList>
#include <array>
#include <memory>

// Where the definitions in use were read.
enum class DefinitionsSource {
    BuiltIn, // the program's own, from its resource
    Downloaded, // the signed file fetched through the update channel
    User, // the user's engines.ini in the program's settings folder
    File, // a file given on the command line
};

// The stable word for a source: "built-in", "downloaded", "user", "file".
QString definitionsSourceCode(DefinitionsSource source);

class EngineDefinitions;
// The definitions in force as the user reads of them: "встроенные 2026.12.7", "загруженные
// 2026.12.7.1", "свой файл FILE поверх загруженных 2026.12.7.1", "файл FILE".
QString definitionsInForceText(const EngineDefinitions& definitions);

// How the six engines are asked and read, and the three services of the figures: the data that a
// definitions file may change without a new program. A check takes the definitions in force at
// its start and keeps them to its end.
class EngineDefinitions {
public:
    QString version; // dotted numbers
    DefinitionsSource source = DefinitionsSource::BuiltIn;
    QString fileName; // the file they were read from; empty for the built-in ones
    // The version of the downloaded definitions a user's file lies over; empty when it lies over
    // the built-in ones.
    QString overDownloaded;
    std::array<EngineDefinition, kEngines.size()> engines;
    ServiceDefinition wordstat;
    ServiceDefinition yandexCY;
    ServiceDefinition pageRank;
    // "Section/Key" of every value the file gave, in the file's order.
    QStringList givenValues;

    const EngineDefinition& engine(Engine engine) const
    {
        return engines.at(static_cast<std::size_t>(engine));
    }

    // Read from the program's resource by the same parser as any file; they are valid by construction.
    static const EngineDefinitions& builtIn();

    // The definitions the next check takes: the built-in ones until others are set.
    static std::shared_ptr<const EngineDefinitions> current();
    static void setCurrent(std::shared_ptr<const EngineDefinitions> definitions);
};

// An engine as the built-in definitions give it.
inline const EngineDefinition& builtInEngine(Engine engine)
{
    return EngineDefinitions::builtIn().engine(engine);
}

// The host an engine or a service is asked at: the endpoints file (KESTROVA_ENDPOINTS) wins over the
// definitions.
QString hostOf(const EngineDefinition& engine);
QString hostOf(const ServiceDefinition& service);
