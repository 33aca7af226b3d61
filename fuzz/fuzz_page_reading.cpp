// Each engine's page reading on any page: never a crash, never more work than the page's budget,
// and every match the same as the plain search's.

#include "ReferenceSearch.h"
#include "rank/lookup/EngineDefinitions.h"
#include "rank/lookup/PageReading.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace {

const QByteArray kSiteKey = "example.com";

// Readers and patterns are compiled once, as a lookup compiles them once for all its pages.
struct EngineReading {
    explicit EngineReading(Engine engine)
        : row(builtInEngine(engine))
        , reader(row, kSiteKey)
        , entries(row.resultPattern)
        , sitePattern(row.resultPattern + kSiteKey)
        , siteEntry(sitePattern)
        , entriesReference(row.resultPattern, true)
        , siteReference(sitePattern, true)
    {
    }
    const EngineDefinition& row;
    PageReader reader;
    RegExpr entries;
    QByteArray sitePattern;
    RegExpr siteEntry;
    ReferenceSearch::Reference entriesReference;
    ReferenceSearch::Reference siteReference;
};

std::vector<std::unique_ptr<EngineReading>>& readings()
{
    static std::vector<std::unique_ptr<EngineReading>> all = [] {
        std::vector<std::unique_ptr<EngineReading>> made;
        // Google.com and Google.ru read their pages alike; one of them is enough.
        for (Engine engine : kEngines)
            if (engine != Engine::GoogleRu)
                made.push_back(std::make_unique<EngineReading>(engine));
        return made;
    }();
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray page(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const auto& reading : readings()) {
        try {
            reading->reader.read(page, 0);
        } catch (const EPageTooComplex&) {
        }
        ReferenceSearch::expectSameMatches(
            reading->entries, reading->entriesReference, reading->row.resultPattern, page);
        if (reading->row.pageRule == PageRule::EngineNumbered)
            ReferenceSearch::expectSameMatches(
                reading->siteEntry, reading->siteReference, reading->sitePattern, page);
    }
    return 0;
}
