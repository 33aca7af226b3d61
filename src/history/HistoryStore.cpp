#include "history/HistoryStore.h"

#include "history/HistoryError.h"
#include "history/MachineIdentity.h"

#include <QFileInfo>

const QString HistoryStore::kNotWrittenMessage = QStringLiteral("История позиций не записана: %1\n%2");
const QString HistoryStore::kKeptLocallyMessage = QStringLiteral(
    "История позиций не записана в общую базу: %1\n%2\nПроверка сохранена в файле этого "
    "компьютера (%3) и будет отправлена в общую базу командой kestrova-check --history-sync.");

HistoryStore::HistoryStore(const QString& location)
    : m_location(location)
{
}

HistoryBackend& HistoryStore::backend() const
{
    if (!m_backend)
        m_backend = HistoryLocation::open(m_location, m_busyTimeoutMs);
    return *m_backend;
}

namespace {

// A connection that failed once is not trusted again: the next use opens the store afresh.
template <typename Use> auto dropOnFailure(std::unique_ptr<HistoryBackend>& backend, Use use)
{
    try {
        return use();
    } catch (const HistoryError&) {
        backend.reset();
        throw;
    }
}

} // namespace

void HistoryStore::reportOnce(const QString& text)
{
    if (!m_problemReported && m_problemHandler) {
        m_problemReported = true;
        m_problemHandler(text);
    }
}

bool HistoryStore::keepLocally(const RecordedCheck& check, const QString& reason)
{
    try {
        HistoryDatabase(m_localFile, m_busyTimeoutMs).recordPending(check, m_location);
    } catch (const HistoryError& e) {
        reportOnce(kNotWrittenMessage.arg(reason, describe()) + QStringLiteral("\nФайл этого компьютера: ")
            + e.message());
        return false;
    }
    reportOnce(kKeptLocallyMessage.arg(reason, describe(), m_localFile));
    return true;
}

bool HistoryStore::record(const RecordedCheck& given)
{
    // The server and the file of this computer know the check by one name, so that a check the
    // server took before its answer was lost is not sent again.
    RecordedCheck named;
    if (given.uid.isEmpty()) {
        named = given;
        named.uid = newCheckUid();
    }
    const RecordedCheck& check = given.uid.isEmpty() ? named : given;
    try {
        dropOnFailure(m_backend, [&] { return backend().record(check); });
    } catch (const HistoryError& e) {
        // Nothing the server did not take is lost: it waits in the file of this computer.
        if (HistoryLocation::isAcceptedServer(m_location))
            return keepLocally(check, e.message());
        reportOnce(kNotWrittenMessage.arg(e.message(), describe()));
        return false;
    }
    if (m_recordedHandler)
        m_recordedHandler(check);
    return true;
}

bool HistoryStore::assignProject(const QStringList& uids, const QString& projectPath)
{
    if (uids.isEmpty())
        return true;
    try {
        dropOnFailure(m_backend, [&] { backend().assignProject(uids, projectPath); });
        if (HistoryLocation::isAcceptedServer(m_location) && QFileInfo::exists(m_localFile))
            HistoryDatabase(m_localFile, m_busyTimeoutMs).assignProject(uids, projectPath);
    } catch (const HistoryError& e) {
        reportOnce(kNotWrittenMessage.arg(e.message(), describe()));
        return false;
    }
    return true;
}

void HistoryStore::open() const
{
    dropOnFailure(m_backend, [&] { backend(); });
}

QList<RecordedCheck> HistoryStore::checksOfSite(const QString& site) const
{
    return dropOnFailure(m_backend, [&] { return backend().checksOfSite(site); });
}

QList<RecordedCheck> HistoryStore::allChecks() const
{
    return dropOnFailure(m_backend, [&] { return backend().allChecks(); });
}

void HistoryStore::forEachCheck(
    const QString* site, const std::function<void(const RecordedCheck&)>& visit) const
{
    dropOnFailure(m_backend, [&] { backend().forEachCheck(site, visit); });
}

void HistoryStore::writeCsvRows(const QString* site, const std::function<void(QByteArrayView)>& write) const
{
    dropOnFailure(m_backend, [&] { backend().writeCsvRows(site, write); });
}

SiteHistory HistoryStore::siteHistory(const QString& site) const
{
    return dropOnFailure(m_backend, [&] { return backend().siteHistory(site); });
}

std::optional<RecordedCheck> HistoryStore::latestCheck(const QString& site) const
{
    return dropOnFailure(m_backend, [&] { return backend().latestCheck(site); });
}

QList<RecordedCheck> HistoryStore::latestCheckOfEachProject(const QString& site) const
{
    return dropOnFailure(m_backend, [&] { return backend().latestCheckOfEachProject(site); });
}

QList<PreviousResult> HistoryStore::latestDecidedResults(
    const QString& site, const QStringList& keywords, const QList<Engine>& engines) const
{
    return dropOnFailure(m_backend, [&] { return backend().latestDecidedResults(site, keywords, engines); });
}
