#pragma once

#include "rank/lookup/Engine.h"

#include <QString>
#include <array>

// The texts a project frame displays, copied at one moment: what the report is made of.
// The project frame and the command-line checker both fill one.
struct FrameTexts {
    static constexpr int KeywordCount = 7;
    using Column = std::array<QString, KeywordCount>;

    QString site; // edWEB
    QString googlePR; // stGooglePR
    QString yandexCY; // stYandexCY
    Column keywords; // edKeyWord1 .. edKeyWord7
    std::array<Column, kEngines.size()> rank; // Rank<Engine><n>, by engine and n - 1
    std::array<Column, kEngines.size()> count; // Count<Engine><n>

    QString& rankText(Engine engine, int n) { return rank[std::size_t(engine)][std::size_t(n - 1)]; }
    QString& countText(Engine engine, int n) { return count[std::size_t(engine)][std::size_t(n - 1)]; }
    const QString& rankText(Engine engine, int n) const
    {
        return rank[std::size_t(engine)][std::size_t(n - 1)];
    }
    const QString& countText(Engine engine, int n) const
    {
        return count[std::size_t(engine)][std::size_t(n - 1)];
    }

    bool operator==(const FrameTexts&) const = default;
};
