#include "history/HistoryStore.h"

#include "history/HistoryError.h"

const QString HistoryStore::kNotWrittenMessage
    = QStringLiteral("История позиций не записана: %1\nФайл истории: %2");

HistoryStore::HistoryStore(const QString& path)
    : m_path(path)
{
}

bool HistoryStore::record(const RecordedCheck& check)
{
    try {
        HistoryDatabase(m_path).record(check);
        return true;
    } catch (const HistoryError& e) {
        if (!m_problemReported && m_problemHandler) {
            m_problemReported = true;
            m_problemHandler(kNotWrittenMessage.arg(e.message(), m_path));
        }
        return false;
    }
}

QList<RecordedCheck> HistoryStore::checksOfSite(const QString& site) const
{
    return HistoryDatabase(m_path).checksOfSite(site);
}

QList<RecordedCheck> HistoryStore::allChecks() const
{
    return HistoryDatabase(m_path).allChecks();
}

QList<PreviousResult> HistoryStore::latestDecidedResults(const QString& site) const
{
    return HistoryDatabase(m_path).latestDecidedResults(site);
}
