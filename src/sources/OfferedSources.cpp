#include "sources/OfferedSources.h"

#include "rank/lookup/EngineDefinitions.h"

namespace {

QStringList offeredBy(const ApiSourceDefinition& definition)
{
    QStringList codes;
    for (const SourceKind kind : definition.offered)
        codes << sourceCode(kind);
    return codes;
}

} // namespace

QString sourceChoiceCaption(const QString& code)
{
    const std::optional<SourceKind> kind = kSourceCodes.find(code.toUtf8());
    if (!kind)
        return code;
    const QString caption = sourceCaption(*kind);
    return caption.left(1).toUpper() + caption.mid(1);
}

SourceOffers offeredSources(const EngineDefinitions& definitions)
{
    SourceOffers offers;
    for (std::size_t i = 0; i < kEngines.size(); ++i)
        offers.engines[i] = offeredBy(definitions.engine(kEngines[i]).api);
    offers.wordstat = offeredBy(definitions.wordstat.api);
    return offers;
}
