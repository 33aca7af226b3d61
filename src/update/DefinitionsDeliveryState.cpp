#include "update/DefinitionsDeliveryState.h"

#include "platform/BoundedFile.h"
#include "platform/DottedVersion.h"
#include "platform/SafeFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr qint64 kMaxStateBytes = 1024;

const QByteArray kAskedKey = "asked=";
const QByteArray kLastModifiedKey = "last-modified=";
const QByteArray kLengthKey = "length=";
const QByteArray kEtagKey = "etag=";
const QByteArray kHighestKey = "highest=";

// A header text kept on one line of the state file, whatever the host sent.
QByteArray oneLine(const QByteArray& text)
{
    QByteArray line = text.left(DefinitionsDeliveryState::kMaxHeaderChars);
    line.replace('\r', ' ').replace('\n', ' ');
    return line;
}

} // namespace

bool DefinitionsDeliveryState::announcesSameFile(
    const QByteArray& offeredLastModified, qint64 offeredLength, const QByteArray& offeredEtag) const
{
    if (offeredLastModified.isEmpty() && offeredEtag.isEmpty())
        return false;
    return oneLine(offeredLastModified) == lastModified && offeredLength == length
        && oneLine(offeredEtag) == etag;
}

void DefinitionsDeliveryState::remember(
    const QByteArray& offeredLastModified, qint64 offeredLength, const QByteArray& offeredEtag)
{
    lastModified = oneLine(offeredLastModified);
    length = offeredLength;
    etag = oneLine(offeredEtag);
}

void DefinitionsDeliveryState::installed(const QString& version)
{
    if (DottedVersion::isVersion(version) && (highest.isEmpty() || DottedVersion::isLater(version, highest)))
        highest = version;
}

DefinitionsDeliveryState DefinitionsDeliveryState::read(const QString& path)
{
    DefinitionsDeliveryState state;
    // It decides what is installed, so it is read only when it is the user's and no one else's to write.
    const auto content = BoundedFile::readOwn(path, kMaxStateBytes, nullptr);
    if (!content)
        return state;
    for (const QByteArray& line : content->split('\n')) {
        if (line.startsWith(kAskedKey)) {
            state.asked = QDate::fromString(QString::fromLatin1(line.mid(kAskedKey.size())), Qt::ISODate);
        } else if (line.startsWith(kLastModifiedKey)) {
            state.lastModified = oneLine(line.mid(kLastModifiedKey.size()));
        } else if (line.startsWith(kLengthKey)) {
            bool ok = false;
            const qint64 length = line.mid(kLengthKey.size()).toLongLong(&ok);
            state.length = ok && length >= 0 ? length : -1;
        } else if (line.startsWith(kEtagKey)) {
            state.etag = oneLine(line.mid(kEtagKey.size()));
        } else if (line.startsWith(kHighestKey)) {
            state.installed(QString::fromLatin1(line.mid(kHighestKey.size())));
        }
    }
    return state;
}

bool DefinitionsDeliveryState::write(const QString& path, QString* reason) const
{
    QByteArray content;
    if (asked.isValid())
        content += kAskedKey + asked.toString(Qt::ISODate).toLatin1() + '\n';
    content += kLastModifiedKey + oneLine(lastModified) + '\n';
    if (length >= 0)
        content += kLengthKey + QByteArray::number(length) + '\n';
    if (!etag.isEmpty())
        content += kEtagKey + oneLine(etag) + '\n';
    if (!highest.isEmpty())
        content += kHighestKey + highest.toLatin1() + '\n';
    // The data folder is made at the first ask; the definitions themselves may never come.
    QDir().mkpath(QFileInfo(path).absolutePath());
    return SafeFile::replace(path, content, reason, true);
}
