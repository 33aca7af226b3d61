#include "sources/OfferedSources.h"

#include "rank/lookup/EngineDefinitions.h"

namespace {

// A section's "Source" list, read by the definitions into their "sources"; page reading alone
// where the definitions know of no other source.
template <class Definition> QStringList offeredBy(const Definition& definition)
{
    if constexpr (requires { QStringList(definition.sources); }) {
        if (!definition.sources.isEmpty())
            return QStringList(definition.sources);
    }
    return { QLatin1String(kPageSource) };
}

} // namespace

QString sourceCaption(const QString& code)
{
    if (code == QLatin1String(kPageSource))
        return QStringLiteral("Страницы результатов");
    if (code == QLatin1String(kYandexSearchApiSource))
        return QStringLiteral("Yandex Search API");
    if (code == QLatin1String(kSerpJsonSource))
        return QStringLiteral("SERP JSON API");
    if (code == QLatin1String(kYandexWordstatApiSource))
        return QStringLiteral("Yandex Wordstat API");
    return code;
}

SourceOffers offeredSources(const EngineDefinitions& definitions)
{
    SourceOffers offers;
    for (std::size_t i = 0; i < kEngines.size(); ++i)
        offers.engines[i] = offeredBy(definitions.engine(kEngines[i]));
    offers.wordstat = offeredBy(definitions.wordstat);
    return offers;
}
