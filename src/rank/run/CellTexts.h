#pragma once

#include "rank/lookup/EngineTable.h"

#include <QString>

// Whether a check writes query counts for this engine.
inline bool reportsQueryCounts(Engine engine)
{
    return engineRow(engine).hasQueryCount;
}

// What the query-count cells of the other engines show; nothing ever writes them.
inline QString noQueryCountText()
{
    return QStringLiteral("-");
}
