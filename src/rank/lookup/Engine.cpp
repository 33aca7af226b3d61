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
