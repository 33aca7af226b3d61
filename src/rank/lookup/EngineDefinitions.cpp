#include "rank/lookup/EngineDefinitions.h"

#include "net/Endpoints.h"
#include "rank/lookup/DefinitionsFile.h"

#include <QFile>
#include <mutex>
#include <stdexcept>

namespace {

std::mutex g_currentMutex;
std::shared_ptr<const EngineDefinitions> g_current;

QString configuredHost(const QString& key, const QString& defined)
{
    const QString configured = Endpoints::current().host(key);
    return configured.isEmpty() ? defined : configured;
}

} // namespace

QString definitionsSourceCode(DefinitionsSource source)
{
    switch (source) {
    case DefinitionsSource::BuiltIn:
        return QStringLiteral("built-in");
    case DefinitionsSource::Downloaded:
        return QStringLiteral("downloaded");
    case DefinitionsSource::User:
        return QStringLiteral("user");
    case DefinitionsSource::File:
        return QStringLiteral("file");
    }
    return {};
}

QString definitionsInForceText(const EngineDefinitions& definitions)
{
    switch (definitions.source) {
    case DefinitionsSource::BuiltIn:
        return QStringLiteral("встроенные %1").arg(definitions.version);
    case DefinitionsSource::Downloaded:
        return QStringLiteral("загруженные %1").arg(definitions.version);
    case DefinitionsSource::User:
        if (!definitions.overDownloaded.isEmpty())
            return QStringLiteral("свой файл %1 поверх загруженных %2")
                .arg(definitions.fileName, definitions.overDownloaded);
        return QStringLiteral("свой файл %1 поверх встроенных").arg(definitions.fileName);
    case DefinitionsSource::File:
        return QStringLiteral("файл %1").arg(definitions.fileName);
    }
    return {};
}

// The resource registers itself when the program starts; asking for it here makes it there also
// for a static initialiser that runs first.
static void registerBuiltInDefinitions()
{
    Q_INIT_RESOURCE(engine_definitions);
}

const EngineDefinitions& EngineDefinitions::builtIn()
{
    static const EngineDefinitions definitions = [] {
        registerBuiltInDefinitions();
        QFile resource(QStringLiteral(":/engines.ini"));
        if (!resource.open(QIODevice::ReadOnly))
            throw std::logic_error("The built-in engine definitions are missing from the program");
        ParsedDefinitions parsed = DefinitionsFile::parse(resource.readAll(), nullptr);
        if (!parsed.definitions)
            throw std::logic_error(
                DefinitionsFile::refusalText(QStringLiteral(":/engines.ini"), parsed.problems).toStdString());
        parsed.definitions->givenValues.clear();
        return *parsed.definitions;
    }();
    return definitions;
}

std::shared_ptr<const EngineDefinitions> EngineDefinitions::current()
{
    std::lock_guard lock(g_currentMutex);
    if (!g_current)
        g_current = std::make_shared<const EngineDefinitions>(builtIn());
    return g_current;
}

void EngineDefinitions::setCurrent(std::shared_ptr<const EngineDefinitions> definitions)
{
    std::lock_guard lock(g_currentMutex);
    g_current = std::move(definitions);
}

QString hostOf(const EngineDefinition& engine)
{
    return configuredHost(engine.key, engine.host);
}

QString hostOf(const ServiceDefinition& service)
{
    return configuredHost(service.key, service.host);
}
