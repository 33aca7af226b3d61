#pragma once

#include "rank/lookup/DefinitionsIni.h"
#include "rank/lookup/EngineDefinitions.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

struct ParsedDefinitions {
    std::optional<EngineDefinitions> definitions; // nothing when there is a problem
    QList<DefinitionsProblem> problems;
};

// The engine definitions as a UTF-8 INI file: a section per engine named by its key (Host, Url,
// PageStep, PageOffset, KeywordEncoding, HttpVersion, PageRule, PageSize, Pattern, LinkGroup),
// [Wordstat], [YandexCY] and [PageRank] (Host, Url, Form, Pattern), and [definitions] with Version.
// A section or key the file leaves out keeps the value of the base definitions; anything unknown,
// out of range or unusable refuses the whole file.
namespace DefinitionsFile {

constexpr qint64 kMaxBytes = 64 * 1024;

// Every problem is found, not only the first. base is null only for the built-in file itself,
// which must then give every value.
ParsedDefinitions parse(const QByteArray& content, const EngineDefinitions* base);

// Reads a regular file of at most kMaxBytes and parses it over the built-in definitions; the
// user's own file must also be owned by him and not writable by others.
// The file's values over base (the built-in definitions when none is given).
ParsedDefinitions read(
    const QString& path, DefinitionsSource source, const EngineDefinitions* base = nullptr);

// The message that refuses a file: its name, then each problem on a line of its own.
QString refusalText(const QString& fileName, const QList<DefinitionsProblem>& problems);

} // namespace DefinitionsFile
