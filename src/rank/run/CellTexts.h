#pragma once

#include "rank/lookup/Engine.h"

#include <QString>

// Whether a check writes query counts for this engine (Yandex.ru only).
inline bool reportsQueryCounts(Engine engine)
{
    return engine == Engine::YandexRu;
}

// What the query-count cells of the other engines show; nothing ever writes them.
inline QString noQueryCountText()
{
    return QStringLiteral("-");
}
