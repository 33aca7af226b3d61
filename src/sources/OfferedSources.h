#pragma once

#include "rank/lookup/Engine.h"

#include <QString>
#include <QStringList>
#include <array>

class EngineDefinitions;

// The source codes.
inline constexpr char kPageSource[] = "page";
inline constexpr char kYandexSearchApiSource[] = "yandex-search-api";
inline constexpr char kSerpJsonSource[] = "serp-json";
inline constexpr char kYandexWordstatApiSource[] = "yandex-wordstat-api";

// How the program names a source: "Страницы результатов", "Yandex Search API", "SERP JSON API",
// "Yandex Wordstat API"; an unknown code as it is.
QString sourceCaption(const QString& code);

// The sources the definitions offer for each engine column and for the query counts, the first
// being the one taken when the user chose none.
struct SourceOffers {
    std::array<QStringList, kEngines.size()> engines;
    QStringList wordstat;
};

SourceOffers offeredSources(const EngineDefinitions& definitions);
