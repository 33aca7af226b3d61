#pragma once

#include "rank/lookup/Engine.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class ProjectResults;
struct Project;

// What the command-line checker prints of a checked project. A cell the check reached is one its
// lookup reset or wrote; they come in the order the lookups ran.

// One JSON object on one line, UTF-8, keys in a fixed order.
QByteArray formatJson(const Project& project, const ProjectResults& results);

// A grid like the project frame's: one row per keyword, one column per engine.
QString formatTable(const Project& project, const ProjectResults& results);

// One progress line: engine key, keyword number and what the lookup wrote.
QString formatProgress(Engine engine, int n, const ProjectResults& results);

// One line for each lookup, count or figure that failed, was not recognised or was too complex.
QStringList formatTroubles(const ProjectResults& results);
