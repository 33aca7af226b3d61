#include "rank/lookup/Engine.h"

QString engineKey(Engine engine)
{
    switch (engine) {
    case Engine::GoogleCom:
        return QStringLiteral("GoogleCom");
    case Engine::GoogleRu:
        return QStringLiteral("GoogleRu");
    case Engine::YandexRu:
        return QStringLiteral("YandexRu");
    case Engine::RamblerRu:
        return QStringLiteral("RamblerRu");
    case Engine::AportRu:
        return QStringLiteral("AportRu");
    case Engine::MSNCom:
        return QStringLiteral("MSNCom");
    }
    return {};
}
