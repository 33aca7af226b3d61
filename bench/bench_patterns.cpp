// Times the reading of generated result pages of 100 KB and 1 MB that do not hold the checked site,
// so that every reading goes through the whole page:
//  - lookupOnOwnPage/ENGINE: the engine's lookup as a check runs it (PageReader: the site searched, the
//    entries counted; for Yandex.ru and Aport.ru the pattern with the site key, then the count),
//    on a page of the engine's own layout;
//  - plainPcre2Jit/ENGINE: plain PCRE2-JIT finding every entry of the same page with the same pattern,
//    the library by itself;
//  - memchrOnePass/ENGINE: one memchr pass over the same page (for a byte it does not hold);
//  - lookupOverPlainPcre2Jit/ENGINE: the first two in turns on the 1 MB page, with the ratio of their
//    median times (run it with --benchmark_repetitions for its minimum, median and maximum).
// All run in the same process, so their figures compare.

#include "ResultPages.h"
#include "rank/lookup/EngineDefinitions.h"
#include "rank/lookup/PageReading.h"
#include "rank/pattern/RegExpr.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <vector>

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

void lookupOnOwnPage(benchmark::State& state, Engine engine)
{
    const EngineDefinition& row = builtInEngine(engine);
    const QByteArray& page = cachedPage(ResultPages::layoutOf(engine), state.range(0));
    PageReader reader(row, kSiteKey);
    PageReading reading;
    for (auto _ : state) {
        reading = reader.read(page, 0);
        benchmark::DoNotOptimize(reading);
    }
    if (reading.position)
        state.SkipWithError("the page holds the site: the lookup stopped early");
    state.SetBytesProcessed(state.iterations() * page.size());
    state.counters["entries"] = reading.entries;
    state.counters["units_per_byte"] = double(reading.budgetUsed) / double(page.size());
}

// Plain PCRE2-JIT with the engine's pattern, finding every entry of a page: the library by itself,
// with its default options.
class PlainPcre2Jit {
public:
    explicit PlainPcre2Jit(const QByteArray& pattern)
    {
        int error = 0;
        PCRE2_SIZE offset = 0;
        m_code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.constData()), PCRE2_SIZE(pattern.size()),
            PCRE2_DOTALL | PCRE2_NEVER_UTF | PCRE2_NEVER_UCP, &error, &offset, nullptr);
        if (m_code && pcre2_jit_compile(m_code, PCRE2_JIT_COMPLETE) == 0)
            m_data = pcre2_match_data_create_from_pattern(m_code, nullptr);
    }
    ~PlainPcre2Jit()
    {
        pcre2_match_data_free(m_data);
        pcre2_code_free(m_code);
    }
    PlainPcre2Jit(const PlainPcre2Jit&) = delete;
    PlainPcre2Jit& operator=(const PlainPcre2Jit&) = delete;

    bool compiled() const { return m_data != nullptr; }

    int64_t entriesOf(const QByteArray& page)
    {
        const auto* subject = reinterpret_cast<PCRE2_SPTR>(page.constData());
        const auto length = PCRE2_SIZE(page.size());
        int64_t entries = 0;
        for (PCRE2_SIZE start = 0;
             start <= length && pcre2_jit_match(m_code, subject, length, start, 0, m_data, nullptr) > 0;) {
            ++entries;
            const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(m_data);
            start = ovector[1] > ovector[0] ? ovector[1] : ovector[1] + 1;
        }
        return entries;
    }

private:
    pcre2_code* m_code = nullptr;
    pcre2_match_data* m_data = nullptr;
};

void plainPcre2Jit(benchmark::State& state, Engine engine)
{
    const QByteArray& page = cachedPage(ResultPages::layoutOf(engine), state.range(0));
    PlainPcre2Jit plain(builtInEngine(engine).resultPattern);
    if (!plain.compiled()) {
        state.SkipWithError("the pattern does not compile with plain PCRE2-JIT");
        return;
    }
    int64_t entries = 0;
    for (auto _ : state) {
        entries = plain.entriesOf(page);
        benchmark::DoNotOptimize(entries);
    }
    state.SetBytesProcessed(state.iterations() * page.size());
    state.counters["entries"] = static_cast<double>(entries);
}

double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(values.size() / 2), values.end());
    return values[values.size() / 2];
}

double smallest(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
}

double largest(const std::vector<double>& values)
{
    return *std::max_element(values.begin(), values.end());
}

// The lookup and plain PCRE2-JIT on the same page in turns, each timed on its own, so that the
// machine's drift touches both alike; "ratio" is the lookup's median time over plain PCRE2-JIT's.
void lookupOverPlainPcre2Jit(benchmark::State& state, Engine engine)
{
    using Clock = std::chrono::steady_clock;
    const EngineDefinition& row = builtInEngine(engine);
    const QByteArray& page = cachedPage(ResultPages::layoutOf(engine), state.range(0));
    PageReader reader(row, kSiteKey);
    PlainPcre2Jit plain(row.resultPattern);
    if (!plain.compiled()) {
        state.SkipWithError("the pattern does not compile with plain PCRE2-JIT");
        return;
    }
    std::vector<double> lookupTimes, plainTimes;
    PageReading reading;
    int64_t entries = 0;
    for (auto _ : state) {
        const bool lookupFirst = lookupTimes.size() % 2 == 0;
        for (int turn = 0; turn < 2; ++turn) {
            const auto started = Clock::now();
            if ((turn == 0) == lookupFirst) {
                reading = reader.read(page, 0);
                benchmark::DoNotOptimize(reading);
                lookupTimes.push_back(std::chrono::duration<double>(Clock::now() - started).count());
            } else {
                entries = plain.entriesOf(page);
                benchmark::DoNotOptimize(entries);
                plainTimes.push_back(std::chrono::duration<double>(Clock::now() - started).count());
            }
        }
    }
    if (reading.entries != entries)
        state.SkipWithError("the lookup and plain PCRE2-JIT count different entries");
    state.SetBytesProcessed(state.iterations() * page.size() * 2);
    state.counters["lookup_us"] = median(lookupTimes) * 1e6;
    state.counters["plain_us"] = median(plainTimes) * 1e6;
    state.counters["ratio"] = median(lookupTimes) / median(plainTimes);
}

void memchrOnePass(benchmark::State& state, Engine engine)
{
    const QByteArray& page = cachedPage(ResultPages::layoutOf(engine), state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(std::memchr(page.constData(), '\x01', size_t(page.size())));
    state.SetBytesProcessed(state.iterations() * page.size());
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

} // namespace

#define KS_ENGINE_BENCH(name, engine)                                                                        \
    BENCHMARK_CAPTURE(lookupOnOwnPage, name, engine)->Arg(k100K)->Arg(k1M);                                  \
    BENCHMARK_CAPTURE(plainPcre2Jit, name, engine)->Arg(k100K)->Arg(k1M);                                    \
    BENCHMARK_CAPTURE(memchrOnePass, name, engine)->Arg(k100K)->Arg(k1M);                                    \
    BENCHMARK_CAPTURE(lookupOverPlainPcre2Jit, name, engine)                                                 \
        ->Arg(k1M)                                                                                           \
        ->ComputeStatistics("min", smallest)                                                                 \
        ->ComputeStatistics("max", largest)

KS_ENGINE_BENCH(google_com, Engine::GoogleCom);
KS_ENGINE_BENCH(google_ru, Engine::GoogleRu);
KS_ENGINE_BENCH(yandex, Engine::YandexRu);
KS_ENGINE_BENCH(rambler, Engine::RamblerRu);
KS_ENGINE_BENCH(aport, Engine::AportRu);
KS_ENGINE_BENCH(msn, Engine::MSNCom);

#define KS_OTHER_BENCH(name, pattern, walkAll)                                                               \
    BENCHMARK_CAPTURE(otherPattern, name, pattern, walkAll)->Arg(k100K)->Arg(k1M)

KS_OTHER_BENCH(wordstat, R"re(&nbsp;&#151;&nbsp;(\d*?)&nbsp;)re", false);
KS_OTHER_BENCH(cy, R"re(<b>.*? (\d+).*?</b>|<a href=.*?example.com.*?>(\d+?)</a>)re", false);
KS_OTHER_BENCH(pagerank, R"re(<b>(\d{1,2})</b>)re", false);
KS_OTHER_BENCH(address, R"re((http://)([_a-z\d\-\.]+\.[\w]*)(/?))re", false);

BENCHMARK_MAIN();
