#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

// What the delivery of the engine definitions remembers between starts: the day the update host
// was last asked, the "Last-Modified", "Content-Length" and "ETag" of the file it announced then,
// and the highest version ever installed. Kept as a small text file in the data folder, beside the
// downloaded definitions, readable and writable by its owner only.
struct DefinitionsDeliveryState {
    QDate asked; // invalid when never asked
    QByteArray lastModified; // empty when the host sent none
    qint64 length = -1; // -1 when the host sent none
    QByteArray etag; // empty when the host sent none
    QString highest; // the highest version ever installed; empty when none is known

    // Whether the host announces the file already seen: it gave a date or an entity tag, and the
    // date, the length and the tag are all as remembered. A host that gives neither date nor tag
    // cannot tell one file from another of the same length, so its file is always fetched.
    bool announcesSameFile(
        const QByteArray& offeredLastModified, qint64 offeredLength, const QByteArray& offeredEtag) const;
    void remember(const QByteArray& offeredLastModified, qint64 offeredLength, const QByteArray& offeredEtag);
    // Raises the highest version installed to version when that is later.
    void installed(const QString& version);

    // A missing, unreadable, foreign or malformed file reads as a state that was never asked.
    static DefinitionsDeliveryState read(const QString& path);
    // Replaces the file at once, readable by its owner only; false with the reason.
    bool write(const QString& path, QString* reason) const;

    // A longer header text is cut here before it is remembered.
    static constexpr int kMaxHeaderChars = 200;
};
