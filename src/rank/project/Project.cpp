#include "rank/project/Project.h"

#include "rank/lookup/EngineTable.h"

#include <stdexcept>
#include <string>

namespace {

std::size_t slot(int n)
{
    if (n < 1 || n > Project::KeywordCount)
        throw std::out_of_range("keyword number out of range: " + std::to_string(n));
    return std::size_t(n - 1);
}

} // namespace

const QString& Project::keyword(int n) const
{
    return keywords[slot(n)];
}

QString& Project::keyword(int n)
{
    return keywords[slot(n)];
}

bool Project::anyKeyword() const
{
    for (const QString& keyword : keywords) {
        if (!keyword.isEmpty())
            return true;
    }
    return false;
}

std::array<bool, kEngines.size()> Project::newProjectTicks()
{
    std::array<bool, kEngines.size()> ticks {};
    for (Engine engine : kEngines)
        ticks[std::size_t(engine)] = engineRow(engine).tickedInNewProject;
    return ticks;
}
