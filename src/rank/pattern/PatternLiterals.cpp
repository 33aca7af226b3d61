#include "rank/pattern/PatternLiterals.h"

#include <cstring>
#if defined(__SSE2__)
#include <immintrin.h>
#endif
#include <optional>

namespace {

using Item = PatternLiterals::Item;
using Run = std::vector<Item>;

bool isAsciiAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Index just past a class that opens at i, or nullopt when it does not close or holds what this
// reading does not follow: POSIX-like "[:", "[." or "[=" (whether they open a named class
// depends on what follows them) and quoting with \Q...\E.
std::optional<qsizetype> classEnd(const QByteArray& p, qsizetype i)
{
    ++i;
    if (i < p.size() && p[i] == '^')
        ++i;
    if (i < p.size() && p[i] == ']')
        ++i;
    while (i < p.size()) {
        if (p[i] == '\\') {
            if (i + 1 < p.size() && (p[i + 1] == 'Q' || p[i + 1] == 'E'))
                return std::nullopt;
            i += 2;
        } else if (p[i] == '[' && i + 1 < p.size()
            && (p[i + 1] == ':' || p[i + 1] == '.' || p[i + 1] == '=')) {
            return std::nullopt;
        } else if (p[i] == ']') {
            return i + 1;
        } else {
            ++i;
        }
    }
    return std::nullopt;
}

// Index just past "{n}", "{n,}" or "{n,m}" at i, or nullopt when the brace is anything else.
std::optional<qsizetype> countEnd(const QByteArray& p, qsizetype i)
{
    qsizetype j = i + 1;
    const qsizetype digits = j;
    while (j < p.size() && isDigit(p[j]))
        ++j;
    if (j == digits)
        return std::nullopt;
    if (j < p.size() && p[j] == ',') {
        ++j;
        while (j < p.size() && isDigit(p[j]))
            ++j;
    }
    if (j < p.size() && p[j] == '}')
        return j + 1;
    return std::nullopt;
}

bool hasLiteral(const Run& run)
{
    for (const Item& item : run)
        if (!item.any)
            return true;
    return false;
}

// The needles are short: comparing them here costs less than calling memcmp.
bool sameBytes(const char* a, const char* b, qsizetype length)
{
    for (qsizetype i = 0; i < length; ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

} // namespace

std::optional<PatternLiterals> readPatternLiterals(const QByteArray& p)
{
    struct ReadRun {
        Run items;
        bool startsPattern = false;
    };
    std::vector<ReadRun> runs;
    ReadRun current;
    int itemsSeen = 0;
    int depth = 0;
    bool afterQuantifier = false;
    bool lastInRun = false; // the item before was a literal of the run under way

    auto endRun = [&] {
        if (!current.items.empty())
            runs.push_back(current);
        current = {};
    };

    for (qsizetype i = 0; i < p.size();) {
        const char c = p[i];
        if (c == '*' || c == '+' || c == '?' || c == '{') {
            qsizetype next = i + 1;
            if (c == '{') {
                const auto end = countEnd(p, i);
                if (!end)
                    return {};
                next = *end;
            } else if (afterQuantifier) {
                i = next; // the lazy or possessive mark of the quantifier before
                afterQuantifier = false;
                continue;
            }
            if (lastInRun) {
                current.items.pop_back();
                endRun();
            }
            lastInRun = false;
            afterQuantifier = true;
            i = next;
            continue;
        }
        afterQuantifier = false;
        std::optional<Item> literal;
        qsizetype next = i + 1;
        switch (c) {
        case '\\':
            if (i + 1 >= p.size())
                return {};
            if (isAsciiAlnum(p[i + 1])) {
                if (!std::strchr("dDsSwW", p[i + 1]))
                    return {};
            } else {
                literal = Item { p[i + 1], false };
            }
            next = i + 2;
            break;
        case '[': {
            const auto end = classEnd(p, i);
            if (!end)
                return {};
            next = *end;
            break;
        }
        case '(':
            if (i + 1 < p.size() && (p[i + 1] == '?' || p[i + 1] == '*'))
                return {};
            ++depth;
            break;
        case ')':
            if (--depth < 0)
                return {};
            break;
        case '|':
            if (depth == 0)
                return {};
            break;
        case '^':
        case '$':
        case '}':
            return {};
        case '.':
            literal = Item { 0, true };
            break;
        default:
            literal = Item { c, false };
            break;
        }
        const bool topLevelLiteral = literal && depth == 0;
        if (topLevelLiteral) {
            if (current.items.empty())
                current.startsPattern = itemsSeen == 0;
            current.items.push_back(*literal);
        } else {
            endRun();
        }
        lastInRun = topLevelLiteral;
        ++itemsSeen;
        i = next;
    }
    if (depth != 0)
        return {};
    endRun();

    PatternLiterals literals;
    if (!runs.empty() && runs.front().startsPattern) {
        for (const Item& item : runs.front().items) {
            if (item.any)
                break;
            literals.prefix += item.byte;
        }
    }
    // The last runs of the program's patterns hold the site address, the rarest text of a page.
    for (auto run = runs.rbegin(); run != runs.rend(); ++run)
        if (hasLiteral(run->items))
            literals.required.push_back(run->items);
    return literals;
}

std::vector<PatternLiterals> readAlternatives(const QByteArray& p)
{
    std::vector<QByteArray> parts;
    int depth = 0;
    qsizetype begin = 0;
    for (qsizetype i = 0; i < p.size();) {
        switch (p[i]) {
        case '\\':
            i += 2;
            continue;
        case '[': {
            const auto end = classEnd(p, i);
            if (!end)
                return {};
            i = *end;
            continue;
        }
        case '(':
            ++depth;
            break;
        case ')':
            --depth;
            break;
        case '|':
            if (depth == 0) {
                parts.push_back(p.mid(begin, i - begin));
                begin = i + 1;
            }
            break;
        default:
            break;
        }
        ++i;
    }
    parts.push_back(p.mid(begin));

    std::vector<PatternLiterals> alternatives;
    for (const QByteArray& part : parts) {
        const auto literals = readPatternLiterals(part);
        if (!literals)
            return {};
        alternatives.push_back(*literals);
    }
    return alternatives;
}

qsizetype rarestByteOf(const QByteArray& needle)
{
    // Bytes of markup and text, the most common first; any other byte is rarer than all of them.
    static constexpr char kCommon[] = " e<>=\"/aitnorsdlchpmu\n\tgf.bkwvy-x:;0123456789_,";
    qsizetype rarest = 0, rarestRank = -1;
    for (qsizetype i = 0; i < needle.size(); ++i) {
        const char* common = std::strchr(kCommon, needle[i]);
        const qsizetype rank = needle[i] != 0 && common ? common - kCommon : qsizetype(sizeof kCommon);
        if (rank > rarestRank) {
            rarest = i;
            rarestRank = rank;
        }
    }
    return rarest;
}

qsizetype findNeedle(const char* subject, qsizetype length, const QByteArray& needle, qsizetype anchor,
    qsizetype from, qsizetype* misses)
{
    const char anchorByte = needle[anchor];
    for (qsizetype at = from + anchor; at + (needle.size() - anchor) <= length;) {
        const void* found = std::memchr(subject + at, anchorByte, size_t(length - at));
        if (!found)
            return -1;
        const qsizetype begin = static_cast<const char*>(found) - subject - anchor;
        if (begin + needle.size() > length)
            return -1;
        if (sameBytes(subject + begin, needle.constData(), needle.size()))
            return begin;
        if (misses)
            ++*misses;
        at = begin + anchor + 1;
    }
    return -1;
}

RunNeedle runNeedle(const Run& run)
{
    qsizetype bestStart = 0, bestLength = 0;
    for (qsizetype i = 0; i < qsizetype(run.size());) {
        if (run[i].any) {
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < qsizetype(run.size()) && !run[j].any)
            ++j;
        if (j - i > bestLength) {
            bestStart = i;
            bestLength = j - i;
        }
        i = j;
    }
    RunNeedle made { run, {}, bestStart, 0 };
    for (qsizetype i = bestStart; i < bestStart + bestLength; ++i)
        made.needle += run[i].byte;
    made.anchor = rarestByteOf(made.needle);
    return made;
}

qsizetype findLiteralRun(const char* subject, qsizetype length, const RunNeedle& prepared, qsizetype from)
{
    const Run& run = prepared.run;
    const QByteArray& needle = prepared.needle;
    const qsizetype bestStart = prepared.needleStart;
    const qsizetype runLength = qsizetype(run.size());
    for (qsizetype at = from + bestStart; at + (runLength - bestStart) <= length;) {
        const qsizetype hit = findNeedle(subject, length, needle, prepared.anchor, at);
        if (hit < 0)
            return -1;
        const qsizetype begin = hit - bestStart;
        if (begin + runLength > length)
            return -1;
        bool whole = true;
        for (qsizetype k = 0; k < runLength && whole; ++k)
            whole = run[k].any || subject[begin + k] == run[k].byte;
        if (whole)
            return begin;
        at = hit + 1;
    }
    return -1;
}

namespace {

// How many positions i of the first length bytes hold first, and second at i + shift (0 or 1).
qsizetype countAtByByte(const char* bytes, qsizetype length, char first, char second, qsizetype shift)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i + shift < length; ++i)
        count += bytes[i] == first && bytes[i + shift] == second ? 1 : 0;
    return count;
}

#if defined(__SSE2__)
// Sixteen positions at a time: each one found takes one from its lane's counter, 255 rounds at most
// before the lanes are summed.
qsizetype countAtSse2(const char* bytes, qsizetype length, char first, char second, qsizetype shift)
{
    qsizetype count = 0;
    qsizetype i = 0;
    const __m128i wantedFirst = _mm_set1_epi8(first);
    const __m128i wantedSecond = _mm_set1_epi8(second);
    while (i + 16 + shift <= length) {
        __m128i lanes = _mm_setzero_si128();
        for (int round = 0; round < 255 && i + 16 + shift <= length; ++round, i += 16) {
            const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i + shift));
            lanes = _mm_sub_epi8(
                lanes, _mm_and_si128(_mm_cmpeq_epi8(here, wantedFirst), _mm_cmpeq_epi8(next, wantedSecond)));
        }
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        count += _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
    }
    return count + countAtByByte(bytes + i, length - i, first, second, shift);
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
// The same, thirty-two positions at a time, on processors that have AVX2.
__attribute__((target("avx2"))) qsizetype countAtAvx2(
    const char* bytes, qsizetype length, char first, char second, qsizetype shift)
{
    qsizetype count = 0;
    qsizetype i = 0;
    const __m256i wantedFirst = _mm256_set1_epi8(first);
    const __m256i wantedSecond = _mm256_set1_epi8(second);
    while (i + 32 + shift <= length) {
        __m256i lanes = _mm256_setzero_si256();
        for (int round = 0; round < 255 && i + 32 + shift <= length; ++round, i += 32) {
            const __m256i here = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + i));
            const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + i + shift));
            lanes = _mm256_sub_epi8(lanes,
                _mm256_and_si256(
                    _mm256_cmpeq_epi8(here, wantedFirst), _mm256_cmpeq_epi8(next, wantedSecond)));
        }
        const __m256i sums = _mm256_sad_epu8(lanes, _mm256_setzero_si256());
        count += _mm256_extract_epi64(sums, 0) + _mm256_extract_epi64(sums, 1) + _mm256_extract_epi64(sums, 2)
            + _mm256_extract_epi64(sums, 3);
    }
    return count + countAtByByte(bytes + i, length - i, first, second, shift);
}
#endif

qsizetype countAt(const char* bytes, qsizetype length, char first, char second, qsizetype shift)
{
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool hasAvx2 = __builtin_cpu_supports("avx2");
    if (hasAvx2)
        return countAtAvx2(bytes, length, first, second, shift);
#endif
#if defined(__SSE2__)
    return countAtSse2(bytes, length, first, second, shift);
#else
    return countAtByByte(bytes, length, first, second, shift);
#endif
}

} // namespace

qsizetype countByte(const char* bytes, qsizetype length, char byte)
{
    return countAt(bytes, length, byte, byte, 0);
}

qsizetype countPairs(const char* bytes, qsizetype length, char first, char second)
{
    return countAt(bytes, length, first, second, 1);
}

qsizetype findLastLiteralRun(const char* subject, qsizetype length, const RunNeedle& prepared)
{
    const Run& run = prepared.run;
    const qsizetype runLength = qsizetype(run.size());
    const qsizetype anchorInRun = prepared.needleStart + prepared.anchor;
    const char anchorByte = prepared.needle[prepared.anchor];
    // The anchor of a run that begins at b stands at b + anchorInRun, and b + runLength <= length.
    for (qsizetype end = length - runLength + anchorInRun + 1; end > anchorInRun;) {
        const void* found = memrchr(subject + anchorInRun, anchorByte, size_t(end - anchorInRun));
        if (!found)
            return -1;
        const qsizetype at = static_cast<const char*>(found) - subject;
        const qsizetype begin = at - anchorInRun;
        bool whole = true;
        for (qsizetype k = 0; k < runLength && whole; ++k)
            whole = run[k].any || subject[begin + k] == run[k].byte;
        if (whole)
            return begin;
        end = at;
    }
    return -1;
}

qsizetype findLiteralRun(const char* subject, qsizetype length, const Run& run, qsizetype from)
{
    return findLiteralRun(subject, length, runNeedle(run), from);
}
