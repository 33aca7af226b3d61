#include "update/DefinitionsDeliveryState.h"

#include "platform/BoundedFile.h"
#include "platform/SafeFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr qint64 kMaxStateBytes = 1024;

const QByteArray kAskedKey = "asked=";
const QByteArray kLastModifiedKey = "last-modified=";
const QByteArray kLengthKey = "length=";

// A header text kept on one line of the state file, whatever the host sent.
QByteArray oneLine(const QByteArray& text)
{
    QByteArray line = text.left(DefinitionsDeliveryState::kMaxHeaderChars);
    line.replace('\r', ' ').replace('\n', ' ');
    return line;
}

} // namespace

bool DefinitionsDeliveryState::announcesSameFile(
    const QByteArray& offeredLastModified, qint64 offeredLength) const
{
    if (offeredLastModified.isEmpty() && offeredLength < 0)
        return false;
    return oneLine(offeredLastModified) == lastModified && offeredLength == length;
}

DefinitionsDeliveryState DefinitionsDeliveryState::read(const QString& path)
{
    DefinitionsDeliveryState state;
    const auto content = BoundedFile::read(path, kMaxStateBytes, nullptr);
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
    // The data folder is made at the first ask; the definitions themselves may never come.
    QDir().mkpath(QFileInfo(path).absolutePath());
    return SafeFile::replace(path, content, reason, true);
}
