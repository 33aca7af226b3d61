#pragma once

#include "report/FrameTexts.h"

#include <QString>

// Frame texts of a checked project: every result text distinct and many of them looking like
// numbers or dates, which the report must keep as texts.
inline FrameTexts checkedProjectTexts()
{
    FrameTexts texts;
    texts.site = QStringLiteral("http://www.example.ru/");
    texts.googlePR = QStringLiteral("4");
    texts.yandexCY = QStringLiteral("120");
    for (int n = 1; n <= FrameTexts::KeywordCount; ++n) {
        texts.keywords[std::size_t(n - 1)] = n == 4 ? QString() : QStringLiteral("слово %1").arg(n);
        for (Engine engine : kEngines) {
            const int e = int(engine);
            texts.rankText(engine, n) = QStringLiteral("%1.%2").arg(e + 1).arg(n * 10);
            texts.countText(engine, n) = QStringLiteral("0%1%2").arg(e).arg(n);
        }
    }
    texts.rankText(Engine::GoogleCom, 1) = QStringLiteral("007");
    texts.rankText(Engine::GoogleRu, 1) = QStringLiteral("n/a");
    texts.rankText(Engine::YandexRu, 1) = QStringLiteral("07.12.2026");
    texts.rankText(Engine::RamblerRu, 1) = QStringLiteral("=1+1");
    texts.rankText(Engine::AportRu, 1) = QString();
    texts.rankText(Engine::MSNCom, 1) = QStringLiteral("1e5");
    return texts;
}
