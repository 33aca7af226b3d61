#include "rank/pattern/RegExpr.h"

#include "rank/pattern/CountedForm.h"
#include "rank/pattern/PatternLiterals.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <locale.h>
#include <string>

namespace {

constexpr uint32_t kCompileOptions
    = PCRE2_DOTALL | PCRE2_NEVER_UTF | PCRE2_NEVER_UCP | PCRE2_NEVER_BACKSLASH_C;
// The engine runs the pattern's counted form (CountedForm.h), in which every step covers at most a
// chunk of bytes, and without auto-possessification, which would turn lazy repetitions into runs it
// does not count: its match limit measures the work done at a starting position. The anchored code
// tries one starting position per call; its start-up optimisations, which look ahead through the
// subject at every call, are ours to do once.
constexpr uint32_t kAttemptOptions
    = kCompileOptions | PCRE2_ANCHORED | PCRE2_NO_AUTO_POSSESS | PCRE2_NO_START_OPTIMIZE;
// The stretch code tries every starting position from where it is called up to an offset limit,
// in one call. The engine's match limit holds for each starting position on its own, so a
// stretch is charged for every candidate position it can have tried.
constexpr uint32_t kStretchOptions = kCompileOptions | PCRE2_NO_AUTO_POSSESS | PCRE2_USE_OFFSET_LIMIT;
// An attempt runs with a small match limit first, twice as much whenever it runs out, while the
// subject's budget lasts. Every try is charged its limit, the last one too: an attempt is charged at
// least the steps it took, and at most twice as many besides its first try.
constexpr uint32_t kFirstTryUnits = 16;
// The work before an attempt is charged too: a unit for every candidate position looked at and for
// every place of a prefix's rarest byte that begins no prefix, and one for every
// kScannedBytesPerUnit bytes the searches for a prefix or a required run pass over.
constexpr qint64 kCandidateUnits = 1;
constexpr qint64 kScannedBytesPerUnit = 16;
// The runs every match holds are each looked for once per subject, from its end: a candidate
// after the last place of one of them is passed over, and the search ends there (a page without
// the site address is not searched for it at all).
constexpr qsizetype kNotLookedFor = -2;
constexpr uint32_t kMaxTryUnits = 1u << 30;
// A stretch allows each starting position a limit of steps, and every candidate position it passes
// may have taken them all: each is charged the whole limit besides kCandidateUnits, counted up to
// kCountedAhead bytes ahead of the search. The limit is an attempt's first at first. When a position
// needs more, the stretch is given up and its positions are tried one by one, each charged for its own
// steps; the limit the match found then needed (up to kStretchMaxSteps steps) is the limit of the
// later stretches, and so what each of their candidates is charged.
constexpr uint32_t kStretchMaxSteps = 64;
constexpr qsizetype kCountedAhead = 16 * 1024;
// A step of the engine's may pass over several bytes in a tight loop (a chunk of a run, a count): every
// step is charged a unit for each kBytesPerUnit bytes the pattern lets one step pass over, rounded up
// to a power of two.
constexpr int kBytesPerUnit = 4;
constexpr int kMaxUnitsPerStep = 1 << 20;
// A stretch's window is worked out with a shift, and every limit an attempt finishes within is a
// power of two: its first (kFirstTryUnits, or a step's units) times a power of two.
static_assert(std::has_single_bit(kFirstTryUnits) && std::has_single_bit(kStretchMaxSteps));
constexpr uint32_t kHeapLimitKiB = 64 * 1024;
constexpr PCRE2_SIZE kJitStackStart = 32 * 1024;
constexpr PCRE2_SIZE kJitStackMax = 8 * 1024 * 1024;

// Fixed layout of the tables pcre2_maketables() builds: lower-case map, case-flip map,
// class bitmaps (the space class first), then one type byte per character.
constexpr uint32_t kTablesLength = 1088;
constexpr size_t kCbitsOffset = 512;
constexpr size_t kCbitSpace = 0;
constexpr size_t kCtypesOffset = 832;
constexpr uint8_t kCtypeSpace = 0x01;
constexpr unsigned char kVerticalTab = 0x0B;

std::string errorText(int code)
{
    PCRE2_UCHAR buffer[256];
    if (pcre2_get_error_message(code, buffer, sizeof buffer) < 0)
        return "error " + std::to_string(code);
    return reinterpret_cast<const char*>(buffer);
}

// "C" locale tables in which \s is space, tab, LF, CR and FF only: the C library also counts the
// vertical tab as white space, the dialect does not.
const uint8_t* dialectTables()
{
    static const uint8_t* tables = [] {
        uint32_t length = 0;
        pcre2_config(PCRE2_CONFIG_TABLES_LENGTH, &length);
        if (length != kTablesLength)
            throw ERegExpr("У движка шаблонов неизвестное устройство таблиц символов");

        const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
        if (cLocale == locale_t(0))
            throw ERegExpr("Движку шаблонов недоступна локаль \"C\"");
        const locale_t previous = uselocale(cLocale);
        const uint8_t* made = pcre2_maketables(nullptr);
        uselocale(previous);
        freelocale(cLocale);
        if (!made)
            throw ERegExpr("Не хватило памяти на таблицы символов шаблонов");

        auto* writable = const_cast<uint8_t*>(made);
        writable[kCbitsOffset + kCbitSpace + kVerticalTab / 8]
            &= static_cast<uint8_t>(~(1u << (kVerticalTab % 8)));
        writable[kCtypesOffset + kVerticalTab] &= static_cast<uint8_t>(~kCtypeSpace);
        return made;
    }();
    return tables;
}

// PCRE2 reports these faults at the offending character itself; counting it as read gives
// the same measure as the faults found at the end of what was read.
bool offsetPointsAtFault(int code)
{
    switch (code) {
    case PCRE2_ERROR_QUANTIFIER_INVALID:
    case PCRE2_ERROR_UNMATCHED_CLOSING_PARENTHESIS:
    case PCRE2_ERROR_QUANTIFIER_OUT_OF_ORDER:
    case PCRE2_ERROR_CLASS_RANGE_ORDER:
        return true;
    default:
        return false;
    }
}

} // namespace

struct RegExpr::Impl {
    pcre2_code* code = nullptr; // tries one starting position
    pcre2_code* stretchCode = nullptr; // tries every position of a stretch; none without candidates
    pcre2_match_data* matchData = nullptr;
    const PCRE2_SIZE* ovector = nullptr; // of matchData
    pcre2_match_context* matchContext = nullptr;
    uint32_t matchLimit = 0; // as set in matchContext, in the engine's steps
    uint32_t unitsPerStep = 1; // a power of two
    int stepShift = 0; // its logarithm
    size_t offsetLimit = ~size_t(0);
    pcre2_jit_stack* jitStack = nullptr;
    int groupCount = 0;

    // Where a match can start: the literal bytes every match starts with, else the first byte
    // or the set of first bytes the engine found; else every position. A position where no
    // alternative finds its prefix and its required run is passed over without a search.
    std::vector<PatternLiterals> alternatives;
    std::vector<std::vector<RunNeedle>> requiredNeedles; // per alternative, as its required runs
    QByteArray prefix; // of the only alternative; candidates are where it occurs
    qsizetype prefixAnchor = 0;
    int firstByte = -1;
    bool hasFirstBytes = false;
    std::array<uint8_t, 32> firstBytes {};

    QByteArray subject; // shares the caller's bytes; searched up to subjectLength
    qsizetype subjectLength = 0;
    bool matched = false;

    qint64 budgetLimit = 0;
    qint64 budgetUsed = 0;
    qint64 attempts = 0;
    uint32_t stretchLimit = kFirstTryUnits; // in units
    qsizetype countedTo = 0; // the stretches' candidates before it are charged
    // Per alternative: the last position where a match of it can start, as far as its required runs
    // tell (-1: nowhere); and the last of these.
    std::vector<qsizetype> lastStart;
    qsizetype lastStartOfAny = kNotLookedFor;

    ~Impl()
    {
        pcre2_match_data_free(matchData);
        pcre2_match_context_free(matchContext);
        pcre2_jit_stack_free(jitStack);
        pcre2_code_free(code);
        pcre2_code_free(stretchCode);
    }
};

RegExpr::RegExpr(QByteArray pattern)
    : m_pattern(std::move(pattern))
    , d(std::make_unique<Impl>())
{
}

RegExpr::~RegExpr() = default;

namespace {

pcre2_code* compileWith(const QByteArray& pattern, uint32_t options)
{
    pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
    if (!context)
        throw ERegExpr("Не хватило памяти на компиляцию шаблона");
    pcre2_set_character_tables(context, dialectTables());

    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.constData()),
        static_cast<PCRE2_SIZE>(pattern.size()), options, &errorCode, &errorOffset, context);
    pcre2_compile_context_free(context);
    if (!code) {
        PCRE2_SIZE position = errorOffset + (offsetPointsAtFault(errorCode) ? 1 : 0);
        position = std::min(position, static_cast<PCRE2_SIZE>(pattern.size()));
        throw ERegExpr(errorText(errorCode) + " (pos " + std::to_string(position) + ")");
    }
    return code;
}

// Whether a pattern of one item matches the byte, under the dialect's settings.
bool itemMatchesByte(const QByteArray& item, char byte)
{
    pcre2_code* code = compileWith(item, kCompileOptions | PCRE2_ANCHORED);
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    const int result
        = data ? pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(&byte), 1, 0, 0, data, nullptr) : -1;
    pcre2_match_data_free(data);
    pcre2_code_free(code);
    return result > 0;
}

// Nothing when the engine cannot compile it to machine code: the positions are then tried one by one.
pcre2_code* compileForStretches(const QByteArray& pattern)
{
    pcre2_code* code = compileWith(pattern, kStretchOptions);
    if (pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) == 0)
        return code;
    pcre2_code_free(code);
    return nullptr;
}

} // namespace

int RegExpr::groupCount()
{
    compile();
    return d->groupCount;
}

void RegExpr::compile()
{
    if (d->code)
        return;

    // The searching form takes the starting position as given; the plain form tells where a
    // match can start at all.
    pcre2_code* plain = compileWith(m_pattern, kCompileOptions);
    uint32_t firstType = 0;
    uint32_t firstUnit = 0;
    const uint8_t* bitmap = nullptr;
    pcre2_pattern_info(plain, PCRE2_INFO_FIRSTCODETYPE, &firstType);
    pcre2_pattern_info(plain, PCRE2_INFO_FIRSTCODEUNIT, &firstUnit);
    pcre2_pattern_info(plain, PCRE2_INFO_FIRSTBITMAP, &bitmap);
    if (firstType == 1)
        d->firstByte = int(firstUnit);
    else if (bitmap) {
        d->hasFirstBytes = true;
        std::memcpy(d->firstBytes.data(), bitmap, d->firstBytes.size());
    }
    pcre2_code_free(plain);

    // The engine runs the counted form; what the text tells about matches is read from the pattern.
    const CountedForm counted = countedForm(m_pattern, itemMatchesByte);
    const QByteArray& engineText = counted.text;
    pcre2_code* code = compileWith(engineText, kAttemptOptions);
    const int jitResult = pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    if (jitResult != 0) {
        pcre2_code_free(code);
        throw ERegExpr(
            "Движок шаблонов не может перевести шаблон в машинный код (" + errorText(jitResult) + ")");
    }

    uint32_t captures = 0;
    pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &captures);

    pcre2_match_data* matchData = pcre2_match_data_create_from_pattern(code, nullptr);
    pcre2_match_context* matchContext = pcre2_match_context_create(nullptr);
    pcre2_jit_stack* jitStack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
    if (!matchData || !matchContext || !jitStack) {
        pcre2_match_data_free(matchData);
        pcre2_match_context_free(matchContext);
        pcre2_jit_stack_free(jitStack);
        pcre2_code_free(code);
        throw ERegExpr("Не хватило памяти на компиляцию шаблона");
    }
    pcre2_set_heap_limit(matchContext, kHeapLimitKiB);
    pcre2_jit_stack_assign(matchContext, nullptr, jitStack);

    d->alternatives = readAlternatives(m_pattern);
    for (const PatternLiterals& alternative : d->alternatives) {
        std::vector<RunNeedle> needles;
        for (const PatternLiterals::Run& run : alternative.required)
            needles.push_back(runNeedle(run));
        std::stable_sort(needles.begin(), needles.end(),
            [](const RunNeedle& a, const RunNeedle& b) { return a.needle.size() > b.needle.size(); });
        d->requiredNeedles.push_back(std::move(needles));
    }
    if (d->alternatives.size() == 1) {
        d->prefix = d->alternatives.front().prefix;
        d->prefixAnchor = rarestByteOf(d->prefix);
    }
    if (!d->prefix.isEmpty() || d->firstByte >= 0 || d->hasFirstBytes)
        d->stretchCode = compileForStretches(engineText);
    d->code = code;
    d->matchData = matchData;
    d->ovector = pcre2_get_ovector_pointer(matchData);
    d->matchContext = matchContext;
    d->jitStack = jitStack;
    d->groupCount = static_cast<int>(captures);
    d->unitsPerStep = std::bit_ceil(static_cast<uint32_t>(
        std::clamp((counted.bytesPerStep + kBytesPerUnit - 1) / kBytesPerUnit, 1, kMaxUnitsPerStep)));
    d->stepShift = std::countr_zero(d->unitsPerStep);
}

bool RegExpr::exec(const QByteArray& subject)
{
    const qsizetype nul = subject.indexOf('\0');
    return exec(subject, nul < 0 ? subject.size() : nul);
}

bool RegExpr::exec(const QByteArray& subject, qsizetype searchedLength)
{
    compile();
    d->matched = false;
    d->subject = subject;
    d->subjectLength = std::clamp<qsizetype>(searchedLength, 0, subject.size());
    d->budgetLimit = m_budget.baseUnits + m_budget.unitsPerByte * d->subjectLength;
    d->budgetUsed = 0;
    d->attempts = 0;
    d->stretchLimit = std::max<uint32_t>(kFirstTryUnits, d->unitsPerStep);
    d->countedTo = 0;
    d->lastStart.assign(d->alternatives.size(), kNotLookedFor);
    d->lastStartOfAny = kNotLookedFor;
    if (d->subjectLength == 0)
        return false;
    return search(0);
}

bool RegExpr::execNext()
{
    if (!d->matched)
        return false;
    const PCRE2_SIZE* ovector = d->ovector;
    const auto end = static_cast<qsizetype>(ovector[1]);
    const qsizetype start = ovector[0] == ovector[1] ? end + 1 : end;
    d->matched = false;
    if (start > d->subjectLength)
        return false;
    return search(start);
}

qsizetype RegExpr::searchedLength() const
{
    return d->subjectLength;
}

qint64 RegExpr::budgetLimit() const
{
    return d->budgetLimit;
}

qint64 RegExpr::budgetUsed() const
{
    return d->budgetUsed;
}

qint64 RegExpr::attempts() const
{
    return d->attempts;
}

inline void RegExpr::charge(qint64 units)
{
    d->budgetUsed += units;
    if (d->budgetUsed > d->budgetLimit) [[unlikely]]
        budgetExhausted();
}

void RegExpr::budgetExhausted() const
{
    throw EPageTooComplex("Страница слишком сложна для чтения: поиску понадобилось больше "
        + std::to_string(d->budgetLimit) + " шагов на " + std::to_string(d->subjectLength) + " байт");
}

// Positions move forward only, within one subject, so every byte is looked at a bounded number
// of times however many searches follow.
qsizetype RegExpr::nextCandidate(qsizetype from, qsizetype* misses) const
{
    const char* bytes = d->subject.constData();
    const qsizetype length = d->subjectLength;
    if (!d->prefix.isEmpty())
        return findNeedle(bytes, length, d->prefix, d->prefixAnchor, from, misses);
    if (d->firstByte >= 0) {
        if (from >= length)
            return -1;
        const void* found = std::memchr(bytes + from, d->firstByte, size_t(length - from));
        return found ? static_cast<const char*>(found) - bytes : -1;
    }
    if (d->hasFirstBytes) {
        for (qsizetype i = from; i < length; ++i) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            if (d->firstBytes[byte / 8] & (1u << (byte % 8)))
                return i;
        }
        return -1;
    }
    return from <= length ? from : -1;
}

// A match of an alternative starting at from or later holds its required runs at or after from.
bool RegExpr::requiredRunsFrom(size_t alternative, qsizetype from)
{
    qsizetype& lastStart = d->lastStart[alternative];
    if (lastStart == kNotLookedFor) {
        lastStart = d->subjectLength;
        for (const RunNeedle& run : d->requiredNeedles[alternative]) {
            const qsizetype last = findLastLiteralRun(d->subject.constData(), d->subjectLength, run);
            charge(
                kCandidateUnits + (d->subjectLength - std::max<qsizetype>(last, 0)) / kScannedBytesPerUnit);
            lastStart = std::min(lastStart, last);
            if (last < 0)
                break;
        }
    }
    return from <= lastStart;
}

RegExpr::Candidate RegExpr::viability(qsizetype position)
{
    if (d->alternatives.empty())
        return Candidate::Viable;
    bool laterPossible = false;
    for (size_t i = 0; i < d->alternatives.size(); ++i) {
        if (!requiredRunsFrom(i, position))
            continue;
        laterPossible = true;
        const QByteArray& prefix = d->alternatives[i].prefix;
        if (position + prefix.size() <= d->subjectLength
            && std::memcmp(d->subject.constData() + position, prefix.constData(), size_t(prefix.size())) == 0)
            return Candidate::Viable;
    }
    return laterPossible ? Candidate::NotHere : Candidate::NoneLater;
}

bool RegExpr::search(qsizetype start)
{
    return d->stretchCode ? searchStretches(start) : searchCandidates(start, d->subjectLength, 0) != 0;
}

// Candidates from start up to last, one by one. After a stretch that needed more than its limit at
// some position, every candidate up to that position may have taken the stretch's limit besides:
// stretchLimit is charged for each until a candidate is found that may have needed more (one whose
// attempt did, or one not tried here, whose cost is not known), unless charged ahead already.
// Returns the limit of the try the match was found within, or 0 without a match.
qint64 RegExpr::searchCandidates(qsizetype start, qsizetype last, qint64 stretchLimit)
{
    bool stretchStopped = stretchLimit == 0;
    for (qsizetype position = start;; ++position) {
        const qsizetype from = position;
        qsizetype misses = 0;
        position = nextCandidate(position, &misses);
        charge(kCandidateUnits * (1 + misses)
            + ((position < 0 ? d->subjectLength : position) - from) / kScannedBytesPerUnit);
        if (position < 0 || position > last)
            return 0;
        if (!stretchStopped && position >= d->countedTo) {
            charge(kCandidateUnits + stretchLimit);
            ++d->attempts;
        }
        const Candidate candidate = viability(position);
        if (candidate == Candidate::NoneLater)
            return 0;
        if (candidate == Candidate::NotHere) {
            stretchStopped = true;
            continue;
        }
        const Attempt attempt = attemptAt(position);
        stretchStopped = stretchStopped || attempt.finishedWithin > stretchLimit;
        if (attempt.found) {
            d->matched = true;
            return attempt.finishedWithin;
        }
    }
}

bool RegExpr::searchStretches(qsizetype start)
{
    for (qsizetype from = start;;) {
        if (!matchPossibleFrom(from))
            return false;

        // Within what is left of the budget even if every byte of the stretch were a candidate.
        const qint64 unitsPerCandidate = kCandidateUnits + d->stretchLimit;
        // The limit is a power of two: a shift stands in for the division by twice it.
        const qint64 left = std::max<qint64>(d->budgetLimit - d->budgetUsed, 0);
        const qsizetype last
            = std::min<qint64>(d->subjectLength, from + (left >> (std::countr_zero(d->stretchLimit) + 1)));
        setLimits(d->stretchLimit, static_cast<PCRE2_SIZE>(last));
        const int result = pcre2_jit_match(d->stretchCode,
            reinterpret_cast<PCRE2_SPTR>(d->subject.constData()), static_cast<PCRE2_SIZE>(d->subjectLength),
            static_cast<PCRE2_SIZE>(from), 0, d->matchData, d->matchContext);
        if (result == PCRE2_ERROR_MATCHLIMIT) {
            // A position needed more than the stretch allows. The stretch may have tried every
            // candidate up to last, but went no further than that position, which is at or before the
            // first match: the positions are tried again one by one.
            const qint64 finishedWithin = searchCandidates(from, last, d->stretchLimit);
            charge(kCandidateUnits + ((finishedWithin ? matchPos(0) : last) - from) / kScannedBytesPerUnit);
            if (finishedWithin) {
                d->stretchLimit = static_cast<uint32_t>(std::clamp<qint64>(
                    finishedWithin, d->stretchLimit, qint64(kStretchMaxSteps) * d->unitsPerStep));
                return true;
            }
        } else if (result == PCRE2_ERROR_NOMATCH) {
            chargeStretch(from, last, 0, unitsPerCandidate);
        }
        if (result == PCRE2_ERROR_NOMATCH || result == PCRE2_ERROR_MATCHLIMIT) {
            from = last + 1;
            if (from > d->subjectLength)
                return false;
            continue;
        }
        if (result < 0)
            fail(result);
        const PCRE2_SIZE* ovector = d->ovector;
        chargeStretch(from, static_cast<qsizetype>(ovector[0]),
            static_cast<qsizetype>(ovector[1] - ovector[0]), unitsPerCandidate);
        d->matched = true;
        return true;
    }
}

// A stretch from first on that ended at last (where its match starts, or its offset limit): the bytes
// it passed over up to the end of its match, and every candidate position it can have been run at.
// The candidates are counted ahead, up to kCountedAhead bytes at a time, and charged as counted.
inline void RegExpr::chargeStretch(
    qsizetype first, qsizetype last, qsizetype matchLength, qint64 unitsPerCandidate)
{
    charge(kCandidateUnits + (last - first + matchLength) / kScannedBytesPerUnit);
    if (last >= d->countedTo) [[unlikely]]
        chargeCandidatesAhead(first, last, unitsPerCandidate);
}

void RegExpr::chargeCandidatesAhead(qsizetype first, qsizetype last, qint64 unitsPerCandidate)
{
    // What is charged ahead of the search stays below an eighth of what is left of the budget.
    const qint64 left = std::max<qint64>(d->budgetLimit - d->budgetUsed, 0);
    const qsizetype ahead = std::min<qint64>(kCountedAhead, left / (8 * unitsPerCandidate));
    const qsizetype from = std::max(first, d->countedTo);
    const qsizetype to = std::min(d->subjectLength, std::max(last, from + ahead));
    qsizetype misses = 0;
    const qint64 candidates = candidatesWithin(from, to, unitsPerCandidate, misses);
    d->countedTo = to + 1;
    d->attempts += candidates;
    charge(candidates * unitsPerCandidate + misses * kCandidateUnits);
}

// At least the candidates from first to last. With a prefix, the places of the two bytes of it that
// hold its rarest byte are counted, unless they are so many that charging for all of them would
// cost more than a unit per byte: then the candidates themselves are, and the places of the rarest
// byte that begin none (misses).
qint64 RegExpr::candidatesWithin(
    qsizetype first, qsizetype last, qint64 unitsPerCandidate, qsizetype& misses) const
{
    const char* bytes = d->subject.constData();
    const qsizetype end = std::min(last + 1, d->subjectLength);
    if (d->prefix.isEmpty() && d->firstByte >= 0)
        return countByte(bytes + first, end - first, char(d->firstByte));
    if (d->prefix.size() == 1)
        return countByte(bytes + first, end - first, d->prefix[0]);
    if (d->prefix.size() >= 2) {
        const qsizetype at = std::min(d->prefixAnchor, d->prefix.size() - 2);
        const qsizetype from = std::min(first + at, d->subjectLength);
        const qsizetype to = std::min(end + at + 1, d->subjectLength);
        const qint64 places = countPairs(bytes + from, to - from, d->prefix[at], d->prefix[at + 1]);
        if (places * unitsPerCandidate <= end - first)
            return places;
    }
    qint64 candidates = 0;
    for (qsizetype position = first; position < end; ++position) {
        position = nextCandidate(position, &misses);
        if (position < 0 || position >= end)
            break;
        ++candidates;
    }
    return candidates;
}

inline bool RegExpr::matchPossibleFrom(qsizetype from)
{
    if (d->alternatives.empty())
        return true;
    if (d->lastStartOfAny == kNotLookedFor) [[unlikely]] {
        d->lastStartOfAny = -1;
        for (size_t i = 0; i < d->alternatives.size(); ++i) {
            requiredRunsFrom(i, 0);
            d->lastStartOfAny = std::max(d->lastStartOfAny, d->lastStart[i]);
        }
    }
    return from <= d->lastStartOfAny;
}

void RegExpr::fail(int result)
{
    switch (result) {
    case PCRE2_ERROR_DEPTHLIMIT:
    case PCRE2_ERROR_HEAPLIMIT:
    case PCRE2_ERROR_JIT_STACKLIMIT:
        throw EPageTooComplex("Страница слишком сложна для чтения (" + errorText(result) + ")");
    default:
        throw ERegExpr("Поиск по шаблону не удался (" + errorText(result) + ")");
    }
}

// The match context is changed only where it differs. matchUnits is in units of the budget.
inline void RegExpr::setLimits(uint32_t matchUnits, PCRE2_SIZE offsetLimit)
{
    const uint32_t matchLimit = std::max<uint32_t>(matchUnits >> d->stepShift, 1);
    if (matchLimit != d->matchLimit) {
        pcre2_set_match_limit(d->matchContext, matchLimit);
        d->matchLimit = matchLimit;
    }
    if (offsetLimit != d->offsetLimit) {
        pcre2_set_offset_limit(d->matchContext, offsetLimit);
        d->offsetLimit = offsetLimit;
    }
}

RegExpr::Attempt RegExpr::attemptAt(qsizetype position)
{
    ++d->attempts;
    // Every try is allowed at least one of the engine's steps, and charged for it.
    for (auto limit = std::max<uint32_t>(kFirstTryUnits, d->unitsPerStep);;) {
        const qint64 left = d->budgetLimit - d->budgetUsed;
        const auto allowed = static_cast<uint32_t>(std::clamp<qint64>(left, 1, limit));
        setLimits(allowed, PCRE2_UNSET); // the anchored code has no offset limit
        const int result = pcre2_jit_match(d->code, reinterpret_cast<PCRE2_SPTR>(d->subject.constData()),
            static_cast<PCRE2_SIZE>(d->subjectLength), static_cast<PCRE2_SIZE>(position), 0, d->matchData,
            d->matchContext);
        charge(std::max<qint64>(allowed, d->unitsPerStep));
        if (result == PCRE2_ERROR_MATCHLIMIT) {
            limit = static_cast<uint32_t>(std::min<uint64_t>(uint64_t(limit) * 2, kMaxTryUnits));
            continue;
        }
        if (result < 0 && result != PCRE2_ERROR_NOMATCH)
            fail(result);
        return { result != PCRE2_ERROR_NOMATCH, limit };
    }
}

qsizetype RegExpr::matchPos(int group) const
{
    if (!d->matched || group < 0 || group > d->groupCount)
        return -1;
    const PCRE2_SIZE start = d->ovector[2 * group];
    return start == PCRE2_UNSET ? -1 : static_cast<qsizetype>(start);
}

qsizetype RegExpr::matchLen(int group) const
{
    if (matchPos(group) < 0)
        return 0;
    const PCRE2_SIZE* ovector = d->ovector;
    return static_cast<qsizetype>(ovector[2 * group + 1] - ovector[2 * group]);
}

QByteArray RegExpr::match(int group) const
{
    const qsizetype position = matchPos(group);
    if (position < 0)
        return {};
    return d->subject.mid(position, matchLen(group));
}
