#pragma once

#include <QString>
#include <array>

// Which source each engine column takes its results from, and which one the query counts come
// from, by the source's code: "page", "yandex-search-api", "serp-json", "yandex-wordstat-api".
// An empty code, or one the definitions do not offer for that engine, means the first source the
// definitions offer. Indexed like kEngines.
struct SourceChoice {
    std::array<QString, 6> engines;
    QString wordstat;
};
