#pragma once

#include <QString>

class EngineDefinitions;
class QIODevice;

// --check-engines FILE: what the file overrides and exit 0, or every problem and exit 2.
int checkEnginesFile(const QString& path, QIODevice& out, QIODevice& err);

// Makes the first usable source the definitions of the check (givenFile first, when not empty);
// every file refused on the way is told on err. A given file is the user's explicit choice: when
// it is refused, its reasons are told and nothing is loaded (false).
bool loadCheckDefinitions(const QString& givenFile, QIODevice& err);

// The second line of --version: "описания поисковиков 2026.12.7 (built-in)", with the file of a
// source read from one.
QString definitionsVersionLine(const EngineDefinitions& definitions);
