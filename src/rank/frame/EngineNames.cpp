#include "rank/frame/EngineNames.h"

QString gaugeName(Engine engine)
{
    switch (engine) {
    case Engine::GoogleCom:
        return QStringLiteral("PBGoogleCom");
    case Engine::GoogleRu:
        return QStringLiteral("PBGoogleRu");
    case Engine::YandexRu:
        return QStringLiteral("PBYandexru");
    case Engine::RamblerRu:
        return QStringLiteral("PBRamblerru");
    case Engine::AportRu:
        return QStringLiteral("PBaportru");
    case Engine::MSNCom:
        return QStringLiteral("PBmsncom");
    }
    return {};
}
