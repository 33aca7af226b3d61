#pragma once

#include "history/HistoryRecord.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The checks of one site as the history window shows them, held flat: a check is a few numbers, a
// result a few more, and every text is kept once. Ten years of daily checks take a few megabytes
// where the same checks as RecordedCheck take a hundred.
class SiteHistory {
public:
    static constexpr int kNoPosition = std::numeric_limits<int>::min();

    struct Series {
        QString keyword;
        Engine engine = Engine::GoogleCom;
        QString engineText; // the caption, or the code of an engine this version does not know
        bool knownEngine = true;
    };

    struct Check {
        qint64 msecs = 0; // UTC
        CheckOutcome outcome = CheckOutcome::Completed;
        int cy = 0, pr = 0, error = 0, host = 0, user = 0; // texts
        int firstResult = 0;
    };

    struct Result {
        int series = 0;
        int text = 0;
        int position = kNoPosition;
        Reason reason = Reason::NotAsked;
        int unknownReason = -1; // the text of a reason code this version does not know, or -1

        std::optional<int> optionalPosition() const
        {
            return position == kNoPosition ? std::nullopt : std::optional<int>(position);
        }
        bool decided() const { return unknownReason < 0 && isDecided(reason); }
    };

    // The checks in the order given (oldest first); for tests and for checks already in memory.
    static SiteHistory of(const QList<RecordedCheck>& checks);

    // Room for what is to come, so that a long history is not moved while it grows.
    void reserve(qsizetype checks, qsizetype results);
    // Building, oldest check first: a check, then its results.
    void appendCheck(qint64 msecs, CheckOutcome outcome, QByteArrayView cy, QByteArrayView pr,
        QByteArrayView error, QByteArrayView host = {}, QByteArrayView user = {});
    // keyword and the engine's and the reason's codes as the history file holds them (UTF-8).
    void appendResult(QByteArrayView keyword, QByteArrayView engineCode, QByteArrayView text,
        std::optional<int> position, QByteArrayView reasonCode);
    // Links every result to the one before it in its series; drops what only building needed.
    void finish();

    qsizetype checkCount() const { return qsizetype(m_checks.size()); }
    const Check& check(qsizetype index) const { return m_checks[std::size_t(index)]; }
    // The results of check index are [resultsBegin, resultsEnd).
    int resultsBegin(qsizetype index) const { return m_checks[std::size_t(index)].firstResult; }
    int resultsEnd(qsizetype index) const;
    const std::vector<Result>& results() const { return m_results; }
    // The check a result belongs to.
    qsizetype checkOf(int result) const;
    const QList<Series>& series() const { return m_series; }
    const QString& text(int index) const { return m_texts[index]; }
    QDateTime time(qsizetype check) const;

    // The keywords in the order they first appear.
    QStringList keywords() const;

    // What a result or a check is compared with, found by finish().
    static constexpr int kStandsForNothing = -2;
    // The series' decided result before this one, -1 for none; kStandsForNothing for a result that
    // says nothing (a keyword typed twice has its last result stand for the series; a reason this
    // version does not know).
    int previousOf(int result) const { return m_previous[std::size_t(result)]; }
    // The check before this one that decided a position, -1 for none; kStandsForNothing when this
    // check decided none.
    int previousDecidingOf(qsizetype check) const { return m_previousDeciding[std::size_t(check)]; }

private:
    void linkResults();
    int textIndex(QByteArrayView utf8);
    int seriesIndex(int keyword, QByteArrayView engineCode);

    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view> {}(text); }
    };

    std::vector<Check> m_checks;
    std::vector<Result> m_results;
    QList<Series> m_series;
    QStringList m_texts;
    std::vector<int> m_previous; // per result
    std::vector<int> m_previousDeciding; // per check
    std::unordered_map<std::string, int, Hash, std::equal_to<>> m_textIndex;
    std::unordered_map<qint64, int> m_seriesIndex; // keyword text << 32 | engine code text
};
