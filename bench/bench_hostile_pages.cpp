// Reads hostile result pages of 100 KB, 1 MB and 10 MB with each engine's page reading, as the
// lookups do: time must grow linearly with the page size and stay under 50 ms of CPU per MB. A
// page that exhausts its budget counts in "too_complex"; the others are read to their end.
// Every page ends with every text the engine's patterns require (read from the patterns
// themselves) and the site key, so that no family is passed over by the literal pre-scan; a
// family that is passed over all the same is no measurement: it is reported as an error and the
// program exits with 1. "units_per_byte" is the budget the reading took.

#include "ResultPages.h"
#include "rank/lookup/EngineDefinitions.h"
#include "rank/lookup/PageReading.h"
#include "rank/pattern/PatternLiterals.h"
#include "rank/pattern/RegExpr.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <tuple>

namespace {

using ResultPages::Hostile;

constexpr int64_t k100K = 100 * 1024;
constexpr int64_t k1M = 1024 * 1024;
constexpr int64_t k10M = 10 * 1024 * 1024;

bool passedOver = false;

// Every prefix and required run of every alternative of the patterns a lookup of the engine runs,
// "." as any letter, then the site key.
QByteArray requiredTexts(const EngineDefinition& row, const QByteArray& siteKey)
{
    QByteArray texts = "\n";
    for (const QByteArray& pattern : { row.resultPattern, row.resultPattern + siteKey }) {
        for (const PatternLiterals& alternative : readAlternatives(pattern)) {
            texts += alternative.prefix + ' ';
            for (const PatternLiterals::Run& run : alternative.required) {
                for (const PatternLiterals::Item& item : run)
                    texts += item.any ? 'x' : item.byte;
                texts += ' ';
            }
        }
    }
    return texts + siteKey + '\n';
}

const QByteArray& cachedPage(Engine engine, Hostile family, int64_t size)
{
    static std::map<std::tuple<Engine, Hostile, int64_t>, QByteArray> pages;
    auto it = pages.find({ engine, family, size });
    if (it == pages.end()) {
        const QByteArray page = ResultPages::hostilePage(family, size)
            + requiredTexts(builtInEngine(engine), ResultPages::siteKeyFor(family));
        it = pages.emplace(std::tuple(engine, family, size), page).first;
    }
    return it->second;
}

void readHostilePage(benchmark::State& state, Engine engine, Hostile family)
{
    const EngineDefinition& row = builtInEngine(engine);
    const QByteArray& page = cachedPage(engine, family, state.range(0));
    const QByteArray siteKey = ResultPages::siteKeyFor(family);
    int64_t tooComplex = 0;
    PageReading reading;
    for (auto _ : state) {
        tooComplex = 0;
        try {
            reading = readResultPage(row, page, siteKey, 0);
        } catch (const EPageTooComplex&) {
            tooComplex = 1;
        }
        benchmark::DoNotOptimize(reading);
    }
    if (!tooComplex && reading.attempts == 0) {
        passedOver = true;
        state.SkipWithError("the page was passed over without one search: not a measurement");
        return;
    }
    state.SetBytesProcessed(state.iterations() * page.size());
    state.counters["too_complex"] = static_cast<double>(tooComplex);
    state.counters["entries"] = reading.entries;
    state.counters["units_per_byte"] = tooComplex ? 0.0 : double(reading.budgetUsed) / double(page.size());
}

void registerAll()
{
    for (Engine engine : kEngines) {
        for (Hostile family : { Hostile::LiValueDigits, Hostile::DivSpaces, Hostile::OpenQuotes,
                 Hostile::QuantifiedAddress, Hostile::FixedCountAddress, Hostile::LiRepeated }) {
            const std::string name
                = "read/" + builtInEngine(engine).key.toStdString() + "/" + ResultPages::nameOf(family);
            benchmark::RegisterBenchmark(name.c_str(), readHostilePage, engine, family)
                ->Arg(k100K)
                ->Arg(k1M)
                ->Arg(k10M)
                ->Unit(benchmark::kMillisecond)
                ->MeasureProcessCPUTime();
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (passedOver) {
        std::fputs(
            "A hostile family was passed over without one search: its figures measure nothing.\n", stderr);
        return 1;
    }
    return 0;
}
