#include "rank/lookup/EngineDefinition.h"

#include <algorithm>

QByteArray resultPageUrl(
    const EngineDefinition& engine, const QString& host, int page, const QByteArray& keyword)
{
    QByteArray pathAndQuery = fillPlaceholder(
        engine.urlTemplate, "{page}", QByteArray::number(engine.pageStep * page + engine.pageOffset));
    // The keyword goes in last: its bytes are never read as a placeholder.
    pathAndQuery = fillPlaceholder(pathAndQuery, "{keyword}", keyword);
    return schemePrefix(engine.scheme) + host.toUtf8() + pathAndQuery;
}

QByteArray queryParameterOf(const EngineDefinition& engine, const QByteArray& placeholder)
{
    const QByteArray& url = engine.urlTemplate;
    const qsizetype at = url.indexOf("=" + placeholder);
    if (at < 0)
        return {};
    const qsizetype start = std::max(url.lastIndexOf('&', at), url.lastIndexOf('?', at)) + 1;
    return url.mid(start, at - start);
}

QByteArray serviceOrigin(const ServiceDefinition& service, const QString& host)
{
    return schemePrefix(service.scheme) + host.toUtf8();
}
