#include "rank/api/SourceKind.h"

QString sourceCaption(SourceKind kind)
{
    switch (kind) {
    case SourceKind::Page:
        return QStringLiteral("страницы результатов");
    case SourceKind::YandexSearchApi:
        return QStringLiteral("Yandex Search API");
    case SourceKind::SerpJson:
        return QStringLiteral("SERP JSON API");
    case SourceKind::YandexWordstatApi:
        return QStringLiteral("Yandex Wordstat API");
    }
    return {};
}
