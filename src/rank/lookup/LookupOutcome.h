#pragma once

#include "platform/EnumCodes.h"

#include <QString>
#include <array>

// Why a lookup, a query count or a site metric shows what it shows.
enum class Reason {
    Found, // found on page p (or the figure was read)
    NotFound, // not found within the pages read
    ShortList, // the result list ended on a short page
    Unrecognised, // a page on which the engine's pattern finds no entry at all
    TooComplex, // a page too complex to read within its budget
    Failed, // the request failed six times
    Stopped, // the user stopped the check
    NotAsked, // engine not ticked, keyword empty
    Blocked, // the engine answered but refused its results to a program (captcha, JavaScript wall ...)
    Refused, // an API source will not answer this check: key not set or not accepted, limit spent
};

inline constexpr std::array kReasons { Reason::Found, Reason::NotFound, Reason::ShortList,
    Reason::Unrecognised, Reason::TooComplex, Reason::Failed, Reason::Stopped, Reason::NotAsked,
    Reason::Blocked, Reason::Refused };

struct Outcome {
    Reason reason = Reason::NotAsked;
    QString detail; // the human text, in the program's language

    static Outcome found(int page);
    // Found on page, and later pages read up to lastPage (MSN.com and Rambler.ru read on after a
    // long page).
    static Outcome found(int page, int lastPage);
    static Outcome figureRead();
    static Outcome notFound(int pages);
    static Outcome shortList(int page);
    static Outcome unrecognised(int page);
    static Outcome tooComplex(int page, const QString& why);
    static Outcome failed(int attempts, const QString& lastError);
    static Outcome stopped();
    static Outcome engineNotTicked();
    static Outcome keywordEmpty();
    static Outcome blocked(const QString& detail);
    // A later keyword of an engine that went on blocking the check's requests.
    static Outcome blockedSkipped();
    // An API source that will not answer; the detail names what to fix.
    static Outcome refused(const QString& detail);
    // Not found among the first results an API source gave (results: how many were asked for).
    static Outcome notFoundInResults(int results, const QString& source);
};

// The stable English codes that the checker's output, the CSV and the history file hold.
inline constexpr EnumCodes<Reason, kReasons.size()> kReasonCodes { { "found", "not-found", "short-list",
    "unrecognised", "too-complex", "failed", "stopped", "not-asked", "blocked", "refused" } };

inline QString reasonCode(Reason reason)
{
    return kReasonCodes.code(reason);
}
