// The patterns built from a site address: the input's first line is the address as typed (ANSI
// bytes), the rest a page. Compiling fails only with ERegExpr, reading stays within the budget,
// and every match is the same as the plain search's.

#include "ReferenceSearch.h"
#include "rank/lookup/EngineDefinitions.h"
#include "rank/lookup/PageReading.h"
#include "rank/lookup/QueryText.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype lineEnd = input.indexOf('\n');
    const QByteArray address = lineEnd < 0 ? input : input.left(lineEnd);
    const QByteArray page = lineEnd < 0 ? QByteArray() : input.mid(lineEnd + 1);
    const QByteArray key = SiteKey(address);

    QList<QByteArray> patterns;
    for (Engine engine : kEngines)
        if (builtInEngine(engine).pageRule == PageRule::EngineNumbered)
            patterns << builtInEngine(engine).resultPattern + key;
    patterns << "<b>.*? (\\d+).*?</b>|<a href=.*?" + key + ".*?>(\\d+?)</a>";

    for (const QByteArray& pattern : patterns) {
        RegExpr re(pattern);
        try {
            compileWithSiteAddress(re);
        } catch (const EPageTooComplex&) {
            std::abort(); // compiling does no search
        } catch (const ERegExpr&) {
            continue;
        }
        ReferenceSearch::expectSameMatches(re, pattern, page);
    }
    return 0;
}
