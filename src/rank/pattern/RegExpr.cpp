#include "rank/pattern/RegExpr.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <locale.h>
#include <string>

namespace {

constexpr uint32_t kCompileOptions
    = PCRE2_DOTALL | PCRE2_NEVER_UTF | PCRE2_NEVER_UCP | PCRE2_NEVER_BACKSLASH_C;
constexpr uint32_t kMatchLimit = 10'000'000;
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
            throw ERegExpr("The pattern engine has an unknown character table layout");

        const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
        if (cLocale == locale_t(0))
            throw ERegExpr("The \"C\" locale is not available for the pattern engine");
        const locale_t previous = uselocale(cLocale);
        const uint8_t* made = pcre2_maketables(nullptr);
        uselocale(previous);
        freelocale(cLocale);
        if (!made)
            throw ERegExpr("Out of memory while building the pattern character tables");

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
    pcre2_code* code = nullptr;
    pcre2_match_data* matchData = nullptr;
    pcre2_match_context* matchContext = nullptr;
    pcre2_jit_stack* jitStack = nullptr;
    int groupCount = 0;

    QByteArray subject; // shares the caller's bytes; searched up to subjectLength
    qsizetype subjectLength = 0;
    bool matched = false;

    ~Impl()
    {
        pcre2_match_data_free(matchData);
        pcre2_match_context_free(matchContext);
        pcre2_jit_stack_free(jitStack);
        pcre2_code_free(code);
    }
};

RegExpr::RegExpr(QByteArray pattern)
    : m_pattern(std::move(pattern))
    , d(std::make_unique<Impl>())
{
}

RegExpr::~RegExpr() = default;

void RegExpr::compile()
{
    if (d->code)
        return;

    pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
    if (!context)
        throw ERegExpr("Out of memory while compiling a pattern");
    pcre2_set_character_tables(context, dialectTables());

    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(m_pattern.constData()),
        static_cast<PCRE2_SIZE>(m_pattern.size()), kCompileOptions, &errorCode, &errorOffset, context);
    pcre2_compile_context_free(context);
    if (!code) {
        PCRE2_SIZE position = errorOffset + (offsetPointsAtFault(errorCode) ? 1 : 0);
        position = std::min(position, static_cast<PCRE2_SIZE>(m_pattern.size()));
        throw ERegExpr(errorText(errorCode) + " (pos " + std::to_string(position) + ")");
    }

    const int jitResult = pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    if (jitResult != 0) {
        pcre2_code_free(code);
        throw ERegExpr("The pattern engine cannot compile patterns to machine code: " + errorText(jitResult));
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
        throw ERegExpr("Out of memory while compiling a pattern");
    }
    pcre2_set_match_limit(matchContext, kMatchLimit);
    pcre2_set_heap_limit(matchContext, kHeapLimitKiB);
    pcre2_jit_stack_assign(matchContext, nullptr, jitStack);

    d->code = code;
    d->matchData = matchData;
    d->matchContext = matchContext;
    d->jitStack = jitStack;
    d->groupCount = static_cast<int>(captures);
}

bool RegExpr::exec(const QByteArray& subject)
{
    compile();
    d->matched = false;
    d->subject = subject;
    const qsizetype nul = subject.indexOf('\0');
    d->subjectLength = nul < 0 ? subject.size() : nul;
    if (d->subjectLength == 0)
        return false;
    return search(0);
}

bool RegExpr::execNext()
{
    if (!d->matched)
        return false;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(d->matchData);
    const auto end = static_cast<qsizetype>(ovector[1]);
    const qsizetype start = ovector[0] == ovector[1] ? end + 1 : end;
    d->matched = false;
    if (start > d->subjectLength)
        return false;
    return search(start);
}

bool RegExpr::search(qsizetype start)
{
    const int result = pcre2_match(d->code, reinterpret_cast<PCRE2_SPTR>(d->subject.constData()),
        static_cast<PCRE2_SIZE>(d->subjectLength), static_cast<PCRE2_SIZE>(start), 0, d->matchData,
        d->matchContext);
    if (result == PCRE2_ERROR_NOMATCH)
        return false;
    if (result < 0) {
        switch (result) {
        case PCRE2_ERROR_MATCHLIMIT:
        case PCRE2_ERROR_DEPTHLIMIT:
        case PCRE2_ERROR_HEAPLIMIT:
        case PCRE2_ERROR_JIT_STACKLIMIT:
            throw EPageTooComplex(
                "The pattern search was too complex and was abandoned (" + errorText(result) + ")");
        default:
            throw ERegExpr("The pattern search failed: " + errorText(result));
        }
    }
    d->matched = true;
    return true;
}

qsizetype RegExpr::matchPos(int group) const
{
    if (!d->matched || group < 0 || group > d->groupCount)
        return -1;
    const PCRE2_SIZE start = pcre2_get_ovector_pointer(d->matchData)[2 * group];
    return start == PCRE2_UNSET ? -1 : static_cast<qsizetype>(start);
}

qsizetype RegExpr::matchLen(int group) const
{
    if (matchPos(group) < 0)
        return 0;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(d->matchData);
    return static_cast<qsizetype>(ovector[2 * group + 1] - ovector[2 * group]);
}

QByteArray RegExpr::match(int group) const
{
    const qsizetype position = matchPos(group);
    if (position < 0)
        return {};
    return d->subject.mid(position, matchLen(group));
}
