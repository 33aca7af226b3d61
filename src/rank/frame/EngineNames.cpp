#include "rank/frame/EngineNames.h"

QString engineCaption(Engine engine)
{
    switch (engine) {
    case Engine::GoogleCom:
        return QStringLiteral("Google.com");
    case Engine::GoogleRu:
        return QStringLiteral("Google.ru");
    case Engine::YandexRu:
        return QStringLiteral("Yandex.ru");
    case Engine::RamblerRu:
        return QStringLiteral("Rambler.ru");
    case Engine::AportRu:
        return QStringLiteral("Aport.ru");
    case Engine::MSNCom:
        return QStringLiteral("MSN.com");
    }
    return {};
}

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
