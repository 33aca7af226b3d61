#pragma once

#include "platform/EnumCodes.h"

#include <QString>
#include <array>
#include <optional>

// Where an engine column (or the Wordstat count) takes its results from.
enum class SourceKind {
    Page, // the engine's result pages, read by its pattern
    YandexSearchApi, // Yandex Search API v2 (Yandex Cloud), XML results in JSON
    SerpJson, // a SERP provider's JSON API
    YandexWordstatApi, // the Wordstat topRequests call of the same API
};

inline constexpr std::array kSourceKinds { SourceKind::Page, SourceKind::YandexSearchApi,
    SourceKind::SerpJson, SourceKind::YandexWordstatApi };

// The codes of the definitions, the settings and the checker's output.
inline constexpr EnumCodes<SourceKind, kSourceKinds.size()> kSourceCodes { { "page", "yandex-search-api",
    "serp-json", "yandex-wordstat-api" } };

// The sources asked through an API, as the request counts list them.
inline constexpr std::array kApiSources { SourceKind::YandexSearchApi, SourceKind::SerpJson,
    SourceKind::YandexWordstatApi };

inline QString sourceCode(SourceKind kind)
{
    return kSourceCodes.code(kind);
}

// How the program names a source to the user: "Yandex Search API", "SERP JSON API" ...
QString sourceCaption(SourceKind kind);

// The API requests of one check, by source: the most it may spend and what it spent.
struct ApiRequestCounts {
    std::array<int, kApiSources.size()> counts {};

    int& operator[](SourceKind kind) { return counts.at(slot(kind)); }
    int operator[](SourceKind kind) const { return counts.at(slot(kind)); }
    int total() const { return counts[0] + counts[1] + counts[2]; }

    // The slot of an API source; Page has none.
    static std::size_t slot(SourceKind kind) { return std::size_t(kind) - 1; }
};
