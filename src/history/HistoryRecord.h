#pragma once

#include "rank/api/SourceKind.h"
#include "rank/lookup/Engine.h"
#include "rank/lookup/LookupOutcome.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// How a recorded check ended. NothingAnswered: it ran to its end, but not one request was
// answered (the error holds the last failure).
enum class CheckOutcome { Completed, Stopped, Error, NothingAnswered };

inline constexpr EnumCodes<CheckOutcome, 4> kOutcomeCodes { { "completed", "stopped", "error",
    "nothing-answered" } };

inline QString outcomeCode(CheckOutcome outcome)
{
    return kOutcomeCodes.code(outcome);
}

// How the window and the schedule dialog name the outcome: "завершена", "остановлена", "ошибка",
// "ни один запрос не получил ответа".
QString outcomeText(CheckOutcome outcome);

// The position a result text stands for: the digits of a position, nothing for "n/a" or empty.
std::optional<int> positionFromText(const QString& text);

// The site as a series knows it: the address in lower case without "http://", "www." and one
// trailing "/", so "http://www.a.ru/" and "http://a.ru" share their history.
QString seriesSite(const QString& siteText);

// One keyword on one engine in one check.
struct RecordedResult {
    QString keyword;
    Engine engine = Engine::GoogleCom;
    QString text; // as the result cell showed it
    std::optional<int> position;
    int resultPage = 50;
    QString countText; // the query count cell; empty for engines without one
    Reason reason = Reason::NotAsked;
    // The engine or reason code as the file holds it when this version knows no such code (a
    // later version wrote it); engine or reason is then not to be read.
    QString unknownEngine;
    QString unknownReason;

    bool operator==(const RecordedResult&) const = default;
};

// The engine as shown ("Yandex.ru"), or the unknown code as written.
QString engineText(const RecordedResult& result);
// The engine's code ("YandexRu"), or the unknown code as written.
QString engineCode(const RecordedResult& result);
// The reason code ("found"), or the unknown code as written.
QString reasonText(const RecordedResult& result);
// Whether the result decided the position; a reason this version does not know decides nothing.
bool isDecided(const RecordedResult& result);

struct RecordedCheck {
    qint64 id = 0; // given by the database
    QDateTime time; // UTC
    QString site; // as typed
    QString projectPath; // empty for a project never saved
    QString cy;
    QString pr;
    CheckOutcome outcome = CheckOutcome::Completed;
    QString error; // the error that ended the check
    QString definitionsVersion; // of the engine definitions the check used ("2026.12.7.1"); empty before
    QString region; // the region the check asked from ("lr=213 gl=ru hl=ru"); empty for none or before
    QString host; // the machine that ran the check; empty for checks recorded before the history kept it
    QString user; // the user who ran it
    // Names the check in every store it is copied or sent to, so that it is never written twice.
    QString uid;
    ApiRequestCounts apiRequests; // spent by source; none for checks recorded before the history kept them
    QList<RecordedResult> results; // in the order of the check

    const RecordedResult* result(const QString& keyword, Engine engine) const;
};

// A result that says where the site stood: found, or decidedly not found. A failed, stopped or
// unreadable lookup says nothing about the position.
bool isDecided(Reason reason);
