#include "app/check/CheckDefinitions.h"

#include "app/check/Checker.h"
#include "rank/lookup/DefinitionsFile.h"
#include "update/DefinitionsSources.h"

#include <QIODevice>

int checkEnginesFile(const QString& path, QIODevice& out, QIODevice& err)
{
    const ParsedDefinitions parsed = DefinitionsFile::read(path, DefinitionsSource::File);
    if (!parsed.definitions) {
        writeLine(err, DefinitionsFile::refusalText(path, parsed.problems));
        return kExitUsage;
    }
    const EngineDefinitions& definitions = *parsed.definitions;
    writeLine(
        out, QStringLiteral("%1: описания поисковиков без ошибок, версия %2").arg(path, definitions.version));
    if (definitions.givenValues.isEmpty()) {
        writeLine(out, QStringLiteral("Они ничего не меняют: все значения встроенные."));
        return kExitDone;
    }
    writeLine(out, QStringLiteral("Они меняют:"));
    for (const QString& given : definitions.givenValues) {
        const qsizetype slash = given.indexOf(u'/');
        writeLine(out, QStringLiteral("  [%1] %2").arg(given.left(slash), given.mid(slash + 1)));
    }
    return kExitDone;
}

bool loadCheckDefinitions(const QString& givenFile, QIODevice& err)
{
    const LoadedDefinitions loaded = DefinitionsSources::reloadCurrent(givenFile);
    for (const QString& refusal : loaded.refusals)
        writeLine(err, QStringLiteral("kestrova-check: ") + refusal);
    // A file named on the command line is the user's explicit choice: refused, it runs no check
    // rather than give way to another source.
    return givenFile.isEmpty() || loaded.definitions->source == DefinitionsSource::File;
}

QString definitionsVersionLine(const EngineDefinitions& definitions)
{
    QString line = QStringLiteral("описания поисковиков %1 (%2")
                       .arg(definitions.version, definitionsSourceCode(definitions.source));
    if (!definitions.fileName.isEmpty())
        line += QStringLiteral(": ") + definitions.fileName;
    return line + u')';
}
