#include "history/HistoryBackend.h"

#include "history/HistoryCsv.h"

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

void HistoryBackend::writeCsvRows(const QString* site, const std::function<void(QByteArrayView)>& write)
{
    constexpr qsizetype kPieceBytes = 256 * 1024;
    QByteArray piece;
    piece.reserve(kPieceBytes + 4096);
    forEachCheck(site, [&](const RecordedCheck& check) {
        appendHistoryCsvRows(piece, check);
        if (piece.size() >= kPieceBytes) {
            write(piece);
            piece.resize(0);
        }
    });
    write(piece);
}
