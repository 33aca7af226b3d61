// The engine definitions parser on any text: it accepts or refuses with at least one problem, never
// both, and what it accepts is usable as it stands: every request template keeps its placeholders,
// every number is in its range and every pattern compiles with the groups the rules read.

#include "rank/lookup/DefinitionsFile.h"
#include "rank/pattern/RegExpr.h"

#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 64 * 1024)
        return 0;
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    const ParsedDefinitions parsed = DefinitionsFile::parse(text, &EngineDefinitions::builtIn());
    require(parsed.definitions.has_value() == parsed.problems.isEmpty());
    if (!parsed.definitions)
        return 0;
    for (const EngineDefinition& engine : parsed.definitions->engines) {
        require(engine.urlTemplate.count("{keyword}") == 1 && engine.urlTemplate.count("{page}") == 1);
        require(engine.pageStep >= 1 && engine.pageStep <= 1000 && engine.pageSize >= 1
            && engine.pageSize <= 100);
        RegExpr pattern(engine.resultPattern);
        const int groups = pattern.groupCount();
        require(engine.pageRule == PageRule::EngineNumbered ? groups >= 1 : engine.linkGroup <= groups);
    }
    return 0;
}
