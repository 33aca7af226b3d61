// The worst patterns the dialect allows, each on a 1 MB page built against it, read as a counted
// lookup reads a page (every entry, with the default budget): the CPU a page may cost must stay
// under 50 ms per MB whatever the pattern, whether the page is read to its end or given up as too
// complex. Run it with --benchmark_repetitions=5 for the minimum, median and maximum of the CPU time.
//  - primed/ENGINE/N: the engine's built-in pattern on a page that opens with a near-miss needing
//    thousands of the engine's steps and a real entry, then near-misses of N bytes, each needing
//    nearly as many steps as the entry did;
//  - alternatives/...: definitions files may hold patterns of thousands of alternatives, at the top
//    or in a group, groups of alternatives one after the other, and alternatives of long literals;
//  - literal: a long literal after a byte that may be anything, on a page where it nearly matches
//    everywhere.
// "units_per_byte" is the budget the reading took (0 when it was given up).

#include "rank/lookup/EngineDefinitions.h"
#include "rank/lookup/PageReading.h"
#include "rank/pattern/RegExpr.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr qsizetype k1M = 1024 * 1024;
const QByteArray kSiteKey = "example.com";

// Fills the page with near-misses up to size, then a real entry so that nothing is passed over.
QByteArray pageOf(const QByteArray& opening, const QByteArray& nearMiss, const QByteArray& closing)
{
    QByteArray page = opening;
    page.reserve(k1M + closing.size() + nearMiss.size());
    while (page.size() < k1M)
        page += nearMiss;
    return page + closing;
}

// Google: "<div>", spaces and no link: the two lazy runs of spaces around the heading try every
// split of them.
QByteArray googlePrimed(int spaces)
{
    const QByteArray entry = "<div class=g><a href=\"http://site.ru/\">T</a></div>\n";
    return pageOf("<div>" + QByteArray(70, ' ') + "x" + entry,
        "<div>" + QByteArray(spaces, ' ') + "x" + QByteArray(24, 'x'), entry);
}

// Yandex: digits of the entry's number that both the number and the attributes after it may take.
QByteArray yandexPrimed(int digits)
{
    const QByteArray entry = "<li value=1><div class=\"title\"><i></i><a href=\"http://other.ru/\">T</a>\n";
    return pageOf("<li value=" + QByteArray(70, '7') + "<" + entry,
        "<li value=" + QByteArray(digits, '7') + "<" + QByteArray(24, 'x'), entry + kSiteKey);
}

void readPrimed(benchmark::State& state, Engine engine)
{
    const EngineDefinition& row = builtInEngine(engine);
    const int n = int(state.range(0));
    const QByteArray page = engine == Engine::YandexRu ? yandexPrimed(n) : googlePrimed(n);
    int64_t tooComplex = 0;
    PageReading reading;
    for (auto _ : state) {
        tooComplex = 0;
        try {
            reading = readResultPage(row, page, kSiteKey, 0);
        } catch (const EPageTooComplex&) {
            tooComplex = 1;
        }
        benchmark::DoNotOptimize(reading);
    }
    state.SetBytesProcessed(state.iterations() * page.size());
    state.counters["too_complex"] = double(tooComplex);
    state.counters["units_per_byte"] = tooComplex ? 0.0 : double(reading.budgetUsed) / double(page.size());
}

QByteArray words(int count, const char* separator)
{
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += (i ? separator : "") + QByteArray("w") + QByteArray::number(i) + 'q';
    return text;
}

// As many as the pattern engine compiles in one pattern.
constexpr int kAlternatives = 2500;

struct Worst {
    QByteArray pattern;
    QByteArray page;
};

const Worst& worst(const std::string& name)
{
    static std::map<std::string, Worst> cases;
    auto it = cases.find(name);
    if (it != cases.end())
        return it->second;
    Worst made;
    if (name == "alternatives/in_group") {
        made.pattern = "<a href=\"(?:" + words(kAlternatives, "|") + ")\"";
        made.page = pageOf("", "<a href=\"w7x", "<a href=\"w7q\"");
    } else if (name == "alternatives/at_top") {
        made.pattern = words(kAlternatives, "|");
        made.page = pageOf("", "w7x", "w7q");
    } else if (name == "alternatives/captured_in_turn") {
        for (int i = 0; i < 20; ++i)
            made.pattern += "(a|a)";
        made.pattern = "<a href=\"" + made.pattern + "x";
        made.page = pageOf("", "<a href=\"" + QByteArray(24, 'a'), "<a href=\"" + QByteArray(20, 'a') + "x");
    } else if (name == "alternatives/long_literals") {
        const QByteArray as(100, 'a');
        QByteArray alternatives;
        for (int i = 0; i < 250; ++i)
            alternatives += (i ? "|" : "") + as + 'w' + QByteArray::number(i);
        made.pattern = "<a href=\"(?:" + alternatives + ")\"";
        made.page = pageOf("", "<a href=\"" + as + "x", "<a href=\"" + as + "w7\"");
    } else if (name == "literal") {
        made.pattern = "." + QByteArray(8000, 'a') + "b";
        made.page = pageOf("", QByteArray(1000, 'a'), QByteArray(8001, 'a') + "b");
    }
    return cases.emplace(name, made).first->second;
}

void readWorst(benchmark::State& state, const std::string& name)
{
    const Worst& subject = worst(name);
    RegExpr re(subject.pattern);
    re.compile();
    int64_t tooComplex = 0;
    int64_t found = 0;
    for (auto _ : state) {
        tooComplex = 0;
        found = 0;
        try {
            for (bool ok = re.exec(subject.page); ok; ok = re.execNext())
                ++found;
        } catch (const EPageTooComplex&) {
            tooComplex = 1;
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(state.iterations() * subject.page.size());
    state.counters["too_complex"] = double(tooComplex);
    state.counters["matches"] = double(found);
    state.counters["units_per_byte"]
        = tooComplex ? 0.0 : double(re.budgetUsed()) / double(subject.page.size());
}

double smallest(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
}

double largest(const std::vector<double>& values)
{
    return *std::max_element(values.begin(), values.end());
}

void registerAll()
{
    for (Engine engine : { Engine::GoogleCom, Engine::YandexRu }) {
        const std::string name = "primed/" + builtInEngine(engine).key.toStdString();
        benchmark::RegisterBenchmark(name.c_str(), readPrimed, engine)
            ->DenseRange(20, 60, 8)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->ComputeStatistics("min", smallest)
            ->ComputeStatistics("max", largest);
    }
    for (const char* name : { "alternatives/in_group", "alternatives/at_top", "alternatives/captured_in_turn",
             "alternatives/long_literals", "literal" })
        benchmark::RegisterBenchmark(name, readWorst, std::string(name))
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->ComputeStatistics("min", smallest)
            ->ComputeStatistics("max", largest);
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
