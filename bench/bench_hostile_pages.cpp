// Reads hostile result pages of 100 KB, 1 MB and 10 MB with each engine's page reading, as the
// lookups do: time must grow linearly with the page size and stay under 50 ms of CPU per MB. A
// page that exhausts its budget counts in "too_complex"; the others are read to their end.

#include "ResultPages.h"
#include "rank/lookup/EngineTable.h"
#include "rank/lookup/PageReading.h"
#include "rank/pattern/RegExpr.h"

#include <benchmark/benchmark.h>

#include <map>

namespace {

using ResultPages::Hostile;

constexpr int64_t k100K = 100 * 1024;
constexpr int64_t k1M = 1024 * 1024;
constexpr int64_t k10M = 10 * 1024 * 1024;

const QByteArray& cachedPage(Hostile family, int64_t size)
{
    static std::map<std::pair<Hostile, int64_t>, QByteArray> pages;
    auto it = pages.find({ family, size });
    if (it == pages.end())
        it = pages.emplace(std::pair(family, size), ResultPages::hostilePage(family, size)).first;
    return it->second;
}

void readHostilePage(benchmark::State& state, Engine engine, Hostile family)
{
    const EngineRow& row = engineRow(engine);
    const QByteArray& page = cachedPage(family, state.range(0));
    const QByteArray siteKey = ResultPages::siteKeyFor(family);
    int64_t tooComplex = 0;
    int entries = 0;
    for (auto _ : state) {
        tooComplex = 0;
        try {
            entries = readResultPage(row, page, siteKey, 0).entries;
        } catch (const EPageTooComplex&) {
            tooComplex = 1;
        }
        benchmark::DoNotOptimize(entries);
    }
    state.SetBytesProcessed(state.iterations() * page.size());
    state.counters["too_complex"] = static_cast<double>(tooComplex);
    state.counters["entries"] = entries;
}

void registerAll()
{
    for (Engine engine : kEngines) {
        for (Hostile family : { Hostile::LiValueDigits, Hostile::DivSpaces, Hostile::OpenQuotes,
                 Hostile::QuantifiedAddress, Hostile::FixedCountAddress }) {
            const std::string name
                = "read/" + engineRow(engine).key.toStdString() + "/" + ResultPages::nameOf(family);
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
    return 0;
}
