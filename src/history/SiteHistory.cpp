#include "history/SiteHistory.h"

#include "rank/lookup/EngineTable.h"

#include <QSet>
#include <algorithm>

SiteHistory SiteHistory::of(const QList<RecordedCheck>& checks)
{
    SiteHistory history;
    for (const RecordedCheck& check : checks) {
        history.appendCheck(check.time.toMSecsSinceEpoch(), check.outcome, check.cy.toUtf8(),
            check.pr.toUtf8(), check.error.toUtf8(), check.host.toUtf8(), check.user.toUtf8());
        for (const RecordedResult& result : check.results) {
            const QByteArray engine
                = (result.unknownEngine.isEmpty() ? engineKey(result.engine) : result.unknownEngine).toUtf8();
            history.appendResult(result.keyword.toUtf8(), engine, result.text.toUtf8(), result.position,
                reasonText(result).toUtf8());
        }
    }
    history.finish();
    return history;
}

int SiteHistory::textIndex(QByteArrayView utf8)
{
    const std::string_view key(utf8.data(), std::size_t(utf8.size()));
    const auto found = m_textIndex.find(key);
    if (found != m_textIndex.end())
        return found->second;
    const int index = int(m_texts.size());
    m_texts.append(QString::fromUtf8(utf8));
    m_textIndex.emplace(std::string(key), index);
    return index;
}

int SiteHistory::seriesIndex(int keyword, QByteArrayView engineCode)
{
    const int engineText = textIndex(engineCode);
    const qint64 key = qint64(keyword) << 32 | quint32(engineText);
    const auto found = m_seriesIndex.find(key);
    if (found != m_seriesIndex.end())
        return found->second;
    Series series;
    series.keyword = m_texts[keyword];
    // A code this version does not know is kept as written, never read as another engine.
    if (const auto engine = engineByKey(QUtf8StringView(engineCode))) {
        series.engine = *engine;
        series.engineText = engineCaption(*engine);
    } else {
        series.knownEngine = false;
        series.engineText = m_texts[engineText];
    }
    const int index = int(m_series.size());
    m_series.append(series);
    m_seriesIndex.emplace(key, index);
    return index;
}

void SiteHistory::reserve(qsizetype checks, qsizetype results)
{
    m_checks.reserve(std::size_t(checks));
    m_results.reserve(std::size_t(results));
}

void SiteHistory::appendCheck(qint64 msecs, CheckOutcome outcome, QByteArrayView cy, QByteArrayView pr,
    QByteArrayView error, QByteArrayView host, QByteArrayView user)
{
    m_checks.push_back({ msecs, outcome, textIndex(cy), textIndex(pr), textIndex(error), textIndex(host),
        textIndex(user), int(m_results.size()) });
}

void SiteHistory::appendResult(QByteArrayView keyword, QByteArrayView engineCode, QByteArrayView text,
    std::optional<int> position, QByteArrayView reasonCode)
{
    Result result;
    result.series = seriesIndex(textIndex(keyword), engineCode);
    result.text = textIndex(text);
    result.position = position.value_or(kNoPosition);
    if (const auto reason = kReasonCodes.find(reasonCode))
        result.reason = *reason;
    else
        result.unknownReason = textIndex(reasonCode);
    m_results.push_back(result);
}

void SiteHistory::finish()
{
    linkResults();
    m_textIndex = {};
    m_seriesIndex = {};
    m_checks.shrink_to_fit();
    m_results.shrink_to_fit();
}

void SiteHistory::linkResults()
{
    m_previous.assign(m_results.size(), kStandsForNothing);
    m_previousDeciding.assign(m_checks.size(), kStandsForNothing);
    // Per series: its last decided result, and the last check that had a result of it.
    QList<int> last(m_series.size(), -1);
    QList<qsizetype> seenIn(m_series.size(), -1);
    int lastDeciding = -1;
    for (qsizetype check = 0; check < checkCount(); ++check) {
        bool anyDecided = false;
        // From the last result back: a keyword typed twice has its last result stand for the series.
        for (int i = resultsEnd(check) - 1; i >= resultsBegin(check); --i) {
            const Result& result = m_results[std::size_t(i)];
            const int s = result.series;
            if (seenIn[s] == check)
                continue;
            seenIn[s] = check;
            if (result.unknownReason >= 0)
                continue; // nothing can be said of a reason this version does not know
            m_previous[std::size_t(i)] = last[s];
            if (result.decided()) {
                anyDecided = true;
                last[s] = i;
            }
        }
        if (anyDecided) {
            m_previousDeciding[std::size_t(check)] = lastDeciding;
            lastDeciding = int(check);
        }
    }
}

int SiteHistory::resultsEnd(qsizetype index) const
{
    const std::size_t next = std::size_t(index) + 1;
    return next < m_checks.size() ? m_checks[next].firstResult : int(m_results.size());
}

qsizetype SiteHistory::checkOf(int result) const
{
    const auto after = std::upper_bound(m_checks.begin(), m_checks.end(), result,
        [](int wanted, const Check& check) { return wanted < check.firstResult; });
    return qsizetype(after - m_checks.begin()) - 1;
}

QDateTime SiteHistory::time(qsizetype check) const
{
    return QDateTime::fromMSecsSinceEpoch(m_checks[std::size_t(check)].msecs, Qt::UTC);
}

QStringList SiteHistory::keywords() const
{
    QStringList keywords;
    QSet<QString> seen;
    for (const Series& series : m_series) {
        if (!seen.contains(series.keyword)) {
            seen.insert(series.keyword);
            keywords << series.keyword;
        }
    }
    return keywords;
}
