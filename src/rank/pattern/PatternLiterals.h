#pragma once

#include <QByteArray>
#include <optional>
#include <vector>

// What a pattern's text tells about every match without running it: the literal bytes every
// match starts with, and the runs of top-level items every match holds, each item a literal
// byte or "." (any byte). Patterns this reading is not sure about (inline options,
// escapes with arguments, counted repeats it cannot read) give neither.
struct PatternLiterals {
    struct Item {
        char byte = 0;
        bool any = false;
    };

    using Run = std::vector<Item>;

    QByteArray prefix;
    std::vector<Run> required; // each with at least one literal byte, last one first
};

// One entry per top-level alternative, in order; none when the reading is not sure about one.
std::vector<PatternLiterals> readAlternatives(const QByteArray& pattern);

// For a pattern without top-level alternatives; nothing when the reading is not sure.
std::optional<PatternLiterals> readPatternLiterals(const QByteArray& pattern);

// A run made ready for searching, once per pattern: its longest stretch of literal bytes leads
// the search, the rest is compared around it.
struct RunNeedle {
    PatternLiterals::Run run;
    QByteArray needle;
    qsizetype needleStart = 0; // where the needle stands in the run
    qsizetype anchor = 0; // the needle's byte least common in markup, looked for first
};

// Where needle (not empty) first occurs at or after from in the first length bytes of subject, or
// -1: memchr for the byte at anchor, then a comparison. Searches that are begun again and again a
// short way apart cost little, unlike memmem, which prepares itself at every call. Each place of
// the anchor byte that is not the needle's adds one to misses, when given.
qsizetype findNeedle(const char* subject, qsizetype length, const QByteArray& needle, qsizetype anchor,
    qsizetype from, qsizetype* misses = nullptr);

// The byte of needle least common in result pages.
qsizetype rarestByteOf(const QByteArray& needle);

// run holds at least one literal byte.
RunNeedle runNeedle(const PatternLiterals::Run& run);

// The first position at or after from where the run occurs in the first length bytes of subject;
// -1 when there is none.
qsizetype findLiteralRun(const char* subject, qsizetype length, const RunNeedle& run, qsizetype from);
// How many of the first length bytes are byte.
qsizetype countByte(const char* bytes, qsizetype length, char byte);
// How many places of the first length bytes hold first followed by second.
qsizetype countPairs(const char* bytes, qsizetype length, char first, char second);

// The last position where the run occurs in the first length bytes of subject; -1 when there is none.
qsizetype findLastLiteralRun(const char* subject, qsizetype length, const RunNeedle& run);
qsizetype findLiteralRun(
    const char* subject, qsizetype length, const std::vector<PatternLiterals::Item>& run, qsizetype from);
