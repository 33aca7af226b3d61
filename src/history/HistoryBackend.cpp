#include "history/HistoryBackend.h"

QList<RecordedCheck> HistoryBackend::checksOfSite(const QString& site)
{
    QList<RecordedCheck> checks;
    forEachCheck(&site, [&](const RecordedCheck& check) { checks.append(check); });
    return checks;
}

QList<RecordedCheck> HistoryBackend::allChecks()
{
    QList<RecordedCheck> checks;
    forEachCheck(nullptr, [&](const RecordedCheck& check) { checks.append(check); });
    return checks;
}
