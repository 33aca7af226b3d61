#pragma once

#include "rank/lookup/Engine.h"
#include "rank/lookup/SearchRegion.h"

#include <QString>
#include <array>

// A project's inputs: the site, seven keywords, the engines it asks and the region it asks them from. What a
// project file keeps; the frame shows and edits one, the command-line checker reads one from its file.
struct Project {
    static constexpr int KeywordCount = 7;

    QString site;
    std::array<QString, KeywordCount> keywords;
    std::array<bool, kEngines.size()> ticked = newProjectTicks(); // by engine, in the order of kEngines
    SearchRegion region; // where the engines are asked from; none by default

    // Keyword n = 1..7; throws std::out_of_range for any other n.
    const QString& keyword(int n) const;
    QString& keyword(int n);
    bool isTicked(Engine engine) const { return ticked[std::size_t(engine)]; }
    void setTicked(Engine engine, bool on) { ticked[std::size_t(engine)] = on; }
    // A keyword of blanks counts; nothing is trimmed.
    bool anyKeyword() const;

    // The engines a new project asks, as the engine table says.
    static std::array<bool, kEngines.size()> newProjectTicks();

    bool operator==(const Project&) const = default;
};
