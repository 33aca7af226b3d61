// The readers of the API sources on any answer: each gives one of its kinds, results only with
// positions from 1 on and within the bound of one answer, a count only when it read one.

#include "rank/api/ApiAnswer.h"

#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void check(const ApiAnswer& answer)
{
    require(answer.results.size() <= kMaxAnswerResults);
    require(answer.kind == AnswerKind::Results || answer.results.isEmpty());
    for (const ApiResult& result : answer.results)
        require(result.position >= 1);
    require(answer.kind != AnswerKind::Pending || !answer.operationId.isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 256 * 1024)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    ApiSourceDefinition serp;
    serp.offered = { SourceKind::SerpJson };
    check(readYandexSearch(bytes, 1));
    check(readYandexXml(bytes, 101));
    check(readOperation(bytes, 1));
    check(readSerpJson(bytes, serp, 10));
    const ApiAnswer count = readWordstat(bytes);
    require((count.kind == AnswerKind::Results) == (count.count >= 0));
    return 0;
}
