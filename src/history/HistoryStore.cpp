#include "history/HistoryStore.h"

#include "history/HistoryError.h"

const QString HistoryStore::kNotWrittenMessage
    = QStringLiteral("История позиций не записана: %1\nФайл истории: %2");

HistoryStore::HistoryStore(const QString& path)
    : m_path(path)
{
}

HistoryDatabase& HistoryStore::database() const
{
    if (!m_db)
        m_db = std::make_unique<HistoryDatabase>(m_path, m_busyTimeoutMs);
    return *m_db;
}

namespace {

// A connection that failed once is not trusted again: the next use opens the file afresh.
template <typename Use> auto dropOnFailure(std::unique_ptr<HistoryDatabase>& db, Use use)
{
    try {
        return use();
    } catch (const HistoryError&) {
        db.reset();
        throw;
    }
}

} // namespace

bool HistoryStore::record(const RecordedCheck& check)
{
    try {
        dropOnFailure(m_db, [&] { return database().record(check); });
    } catch (const HistoryError& e) {
        if (!m_problemReported && m_problemHandler) {
            m_problemReported = true;
            m_problemHandler(kNotWrittenMessage.arg(e.message(), m_path));
        }
        return false;
    }
    if (m_recordedHandler)
        m_recordedHandler(check);
    return true;
}

void HistoryStore::open() const
{
    dropOnFailure(m_db, [&] { database(); });
}

QList<RecordedCheck> HistoryStore::checksOfSite(const QString& site) const
{
    return dropOnFailure(m_db, [&] { return database().checksOfSite(site); });
}

QList<RecordedCheck> HistoryStore::allChecks() const
{
    return dropOnFailure(m_db, [&] { return database().allChecks(); });
}

void HistoryStore::forEachCheck(
    const QString* site, const std::function<void(const RecordedCheck&)>& visit) const
{
    dropOnFailure(m_db, [&] { database().forEachCheck(site, visit); });
}

SiteHistory HistoryStore::siteHistory(const QString& site) const
{
    return dropOnFailure(m_db, [&] { return database().siteHistory(site); });
}

std::optional<RecordedCheck> HistoryStore::latestCheck(const QString& site) const
{
    return dropOnFailure(m_db, [&] { return database().latestCheck(site); });
}

QList<RecordedCheck> HistoryStore::latestCheckOfEachProject(const QString& site) const
{
    return dropOnFailure(m_db, [&] { return database().latestCheckOfEachProject(site); });
}

QList<PreviousResult> HistoryStore::latestDecidedResults(
    const QString& site, const QStringList& keywords, const QList<Engine>& engines) const
{
    return dropOnFailure(m_db, [&] { return database().latestDecidedResults(site, keywords, engines); });
}
