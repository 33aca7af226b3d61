#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

// What the delivery of the engine definitions remembers between starts: the day the update host
// was last asked, and the "Last-Modified" and "Content-Length" of the file it announced then. Kept
// as a small text file in the data folder, beside the downloaded definitions.
struct DefinitionsDeliveryState {
    QDate asked; // invalid when never asked
    QByteArray lastModified; // empty when the host sent none
    qint64 length = -1; // -1 when the host sent none

    // Whether the host announces the file already seen: it gave at least one of the two headers
    // and both are as remembered.
    bool announcesSameFile(const QByteArray& offeredLastModified, qint64 offeredLength) const;

    // A missing, unreadable or malformed file reads as a state that was never asked.
    static DefinitionsDeliveryState read(const QString& path);
    // Replaces the file at once, readable by its owner only; false with the reason.
    bool write(const QString& path, QString* reason) const;

    // A longer header text is cut here before it is remembered.
    static constexpr int kMaxHeaderChars = 200;
};
