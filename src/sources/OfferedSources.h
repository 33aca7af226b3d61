#pragma once

#include "rank/lookup/Engine.h"

#include <QString>
#include <QStringList>
#include <array>

class EngineDefinitions;

// How the dialog names a source: "Страницы результатов", "Yandex Search API", "SERP JSON API",
// "Yandex Wordstat API"; an unknown code as it is.
QString sourceChoiceCaption(const QString& code);

// The codes of the sources the definitions offer for each engine column and for the query counts,
// the first being the one taken when the user chose none.
struct SourceOffers {
    std::array<QStringList, kEngines.size()> engines;
    QStringList wordstat;
};

SourceOffers offeredSources(const EngineDefinitions& definitions);
