// Times the program's page patterns over generated result pages of 100 KB and 1 MB that do not
// hold the checked site (every scan reads the whole page), beside a memchr pass over the same page:
// each engine's pattern on a page of its own engine's layout and on a page mixing all six layouts.
// The Yandex.ru and Aport.ru patterns end with the site key, as their lookups build them.

#include "ResultPages.h"
#include "rank/lookup/EngineTable.h"
#include "rank/pattern/RegExpr.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <map>

namespace {

using ResultPages::Layout;

constexpr int64_t k100K = 100 * 1024;
constexpr int64_t k1M = 1024 * 1024;

const QByteArray kSiteKey = "example.com";

const QByteArray& cachedPage(Layout layout, int64_t size)
{
    static std::map<std::pair<Layout, int64_t>, QByteArray> pages;
    auto it = pages.find({ layout, size });
    if (it == pages.end())
        it = pages.emplace(std::pair(layout, size), ResultPages::resultPage(layout, size)).first;
    return it->second;
}

// The pattern as the engine's lookup uses it: its entries walked one after the other, or, for
// engines numbering their own entries, followed by the site key and searched once.
void patternScan(benchmark::State& state, Engine engine, Layout layout)
{
    const EngineRow& row = engineRow(engine);
    const bool numbered = row.pageRule == PageRule::EngineNumbered;
    const QByteArray& page = cachedPage(layout, state.range(0));
    RegExpr re(numbered ? row.resultPattern + kSiteKey : row.resultPattern);
    re.compile();
    int64_t found = 0;
    for (auto _ : state) {
        found = 0;
        for (bool ok = re.exec(page); ok; ok = !numbered && re.execNext())
            ++found;
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(state.iterations() * page.size());
    state.counters["matches"] = static_cast<double>(found);
    state.counters["steps_per_byte"] = double(re.budgetUsed()) / double(page.size());
}

void otherPattern(benchmark::State& state, const char* pattern, bool walkAll)
{
    const QByteArray& page = cachedPage(Layout::Mixed, state.range(0));
    RegExpr re(pattern);
    re.compile();
    int64_t found = 0;
    for (auto _ : state) {
        found = 0;
        for (bool ok = re.exec(page); ok; ok = walkAll && re.execNext())
            ++found;
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(state.iterations() * page.size());
    state.counters["matches"] = static_cast<double>(found);
}

void memchrPass(benchmark::State& state, Layout layout)
{
    const QByteArray& page = cachedPage(layout, state.range(0));
    int64_t count = 0;
    for (auto _ : state) {
        count = 0;
        const char* p = page.constData();
        const char* end = p + page.size();
        while ((p = static_cast<const char*>(std::memchr(p, '<', static_cast<size_t>(end - p)))) != nullptr) {
            ++count;
            ++p;
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(state.iterations() * page.size());
    state.counters["matches"] = static_cast<double>(count);
}

} // namespace

#define KS_LAYOUT_BENCH(name, engine, layout)                                                                \
    BENCHMARK_CAPTURE(memchrPass, name##_page, layout)->Arg(k100K)->Arg(k1M);                                \
    BENCHMARK_CAPTURE(patternScan, name##_on_own_page, engine, layout)->Arg(k100K)->Arg(k1M);                \
    BENCHMARK_CAPTURE(patternScan, name##_on_mixed_page, engine, Layout::Mixed)->Arg(k100K)->Arg(k1M)

BENCHMARK_CAPTURE(memchrPass, mixed_page, Layout::Mixed)->Arg(k100K)->Arg(k1M);
KS_LAYOUT_BENCH(google_com, Engine::GoogleCom, Layout::GoogleCom);
KS_LAYOUT_BENCH(google_ru, Engine::GoogleRu, Layout::GoogleRu);
KS_LAYOUT_BENCH(yandex, Engine::YandexRu, Layout::YandexRu);
KS_LAYOUT_BENCH(rambler, Engine::RamblerRu, Layout::RamblerRu);
KS_LAYOUT_BENCH(aport, Engine::AportRu, Layout::AportRu);
KS_LAYOUT_BENCH(msn, Engine::MSNCom, Layout::MSNCom);

#define KS_OTHER_BENCH(name, pattern, walkAll)                                                               \
    BENCHMARK_CAPTURE(otherPattern, name, pattern, walkAll)->Arg(k100K)->Arg(k1M)

KS_OTHER_BENCH(wordstat, R"re(&nbsp;&#151;&nbsp;(\d*?)&nbsp;)re", false);
KS_OTHER_BENCH(cy, R"re(<b>.*? (\d+).*?</b>|<a href=.*?example.com.*?>(\d+?)</a>)re", false);
KS_OTHER_BENCH(pagerank, R"re(<b>(\d{1,2})</b>)re", false);
KS_OTHER_BENCH(address, R"re((http://)([_a-z\d\-\.]+\.[\w]*)(/?))re", false);

BENCHMARK_MAIN();
