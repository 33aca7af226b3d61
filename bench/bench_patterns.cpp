// Times the program's page patterns over generated result pages of 100 KB and 1 MB that do not
// hold the checked site (every scan reads the whole page), beside a memchr pass over the same page.

#include "rank/pattern/RegExpr.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <map>

namespace {

constexpr int64_t k100K = 100 * 1024;
constexpr int64_t k1M = 1024 * 1024;

// One entry of each engine's layout, in turn, with the page furniture around it.
QByteArray entry(int n)
{
    const QByteArray k = QByteArray::number(n);
    switch (n % 6) {
    case 0:
        return "<div class=g>\n<h2 class=r><a href=\"http://www.site" + k + ".ru/page.html\" class=l>Title "
            + k + "</a></h2><div class=s>Snippet text " + k + " &hellip; more words<br><cite>site" + k
            + ".ru/</cite></div></div>\n";
    case 1:
        return "<div class=\"g\"><a href=\"http://site" + k + ".com/?q=1&amp;p=2\">Title " + k
            + "</a><span class=f>12 Mar 2008</span></div>\r\n";
    case 2:
        return "<li class=\"b-serp-item\" num=\"" + k + "\">\n  <h3>\n<a href=\"http://site" + k
            + ".ru/\" target=\"_blank\">\xCF\xF0\xE8\xEC\xE5\xF0 " + k
            + "</a></h3><div>\xD2\xE5\xEA\xF1\xF2</div></li>\n";
    case 3:
        return "<li>\n<div class=\"ttl\">\n<a onclick=\"return rc(this,{pos:" + k + "})\" href=\"http://site"
            + k + ".org/\">Title</a></div><p>Snippet</p></li>\n";
    case 4:
        return "<li value=" + k + ">\n<span class=title>\n<a href=\"http://www.site" + k
            + ".ru/\">Title</a></span><span class=url>site.ru</span></li>\n";
    default:
        return "<li class=\"r\" value=" + k + " id=\"e" + k + "\">\n<div class=\"title\" id=\"t" + k
            + "\">\n<i class=\"ic\">\n</i>\n<a class=\"l\" href=\"http://site" + k
            + ".net/\">Title</a></div><p>Snippet</p></li>\n";
    }
}

QByteArray resultPage(int64_t size)
{
    QByteArray page = "<html><head><title>Search</title></head><body><table><tr><td>"
                      "<a href=\"http://other.ru/catalog/\">Catalogue</a></td></tr></table>\n";
    for (int n = 1; page.size() < size - 200; ++n)
        page += entry(n);
    page += "<p>Queries: &nbsp;&#151;&nbsp;12345&nbsp;</p><div class=pager><b>3</b> <a "
            "href=\"/?p=4\">4</a></div>"
            "</body></html>";
    return page;
}

const QByteArray& cachedPage(int64_t size)
{
    static std::map<int64_t, QByteArray> pages;
    auto it = pages.find(size);
    if (it == pages.end())
        it = pages.emplace(size, resultPage(size)).first;
    return it->second;
}

void patternScan(benchmark::State& state, const char* pattern, bool walkAll)
{
    const QByteArray& page = cachedPage(state.range(0));
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

void memchrPass(benchmark::State& state)
{
    const QByteArray& page = cachedPage(state.range(0));
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

BENCHMARK(memchrPass)->Arg(k100K)->Arg(k1M);

#define KS_PATTERN_BENCH(name, pattern, walkAll)                                                             \
    BENCHMARK_CAPTURE(patternScan, name, pattern, walkAll)->Arg(k100K)->Arg(k1M)

KS_PATTERN_BENCH(google, R"re(<div[^<>]*?>\s*?(<h2[^<>]*?>)*?\s*?<a href="(.*?)")re", true);
KS_PATTERN_BENCH(yandex, R"re(<li[^<>]*?>\s*?<h3>\s*?<a href="(.*?)")re", true);
KS_PATTERN_BENCH(rambler, R"re(<li>\s*?<div class="ttl">\s*?<a onclick=".*?" href="(.*?)")re", true);
KS_PATTERN_BENCH(aport,
    R"re(<li value=(\d*?)>\s*?<span class=title>\s*?<a href="(http://www.|http://)example.com)re", false);
KS_PATTERN_BENCH(wordstat, R"re(&nbsp;&#151;&nbsp;(\d*?)&nbsp;)re", false);
KS_PATTERN_BENCH(msn,
    R"re(<li[^<>]*?value=(\d*)[^<>]*?>\s*?<div[^<>]*?class="title"[^<>]*?>\s*?<i[^<>]*?>\s*?</i>\s*?<a[^<>]*?href="(http://www.|http://)example.com)re",
    false);
KS_PATTERN_BENCH(cy, R"re(<b>.*? (\d+).*?</b>|<a href=.*?example.com.*?>(\d+?)</a>)re", false);
KS_PATTERN_BENCH(pagerank, R"re(<b>(\d{1,2})</b>)re", false);
KS_PATTERN_BENCH(address, R"re((http://)([_a-z\d\-\.]+\.[\w]*)(/?))re", false);

BENCHMARK_MAIN();
