#include "platform/RegExportReader.h"

#include <QStringList>
#include <optional>

namespace {

const QStringList kProgramKey
    = { QStringLiteral("HKEY_CURRENT_USER"), QStringLiteral("Tellvik"), QStringLiteral("Kestrova Sertrix") };
const QString kHexString = QStringLiteral("hex(1):");

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool usableName(const QString& name)
{
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\');
}

// The text between quotes, with the backslash escapes of the export undone; end is set past the
// closing quote, or to -1 when there is none.
QString quotedText(QStringView line, qsizetype start, qsizetype* end)
{
    QString text;
    for (qsizetype i = start + 1; i < line.size(); ++i) {
        if (line[i] == u'"') {
            *end = i + 1;
            return text;
        }
        if (line[i] == u'\\' && i + 1 < line.size())
            ++i;
        text += line[i];
    }
    *end = -1;
    return text;
}

// A text kept as its UTF-16 bytes (the form for texts with control characters).
std::optional<QString> hexText(QStringView hex)
{
    QByteArray bytes;
    for (QStringView part : hex.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const uint b = part.trimmed().toUInt(&ok, 16);
        if (!ok || b > 0xFF)
            return std::nullopt;
        bytes.append(char(b));
    }
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text += QChar(char16_t(quint8(bytes[i]) | quint8(bytes[i + 1]) << 8));
    if (text.endsWith(QChar(0)))
        text.chop(1);
    return text;
}

// The key of a section below the store, as settings key segments; empty for another key.
QStringList keyOf(QStringView header, const QString& storeName)
{
    const QStringList segments = header.toString().split(u'\\', Qt::SkipEmptyParts);
    if (segments.size() <= kProgramKey.size() || !sameName(segments[kProgramKey.size()], storeName))
        return {};
    for (qsizetype i = 0; i < kProgramKey.size(); ++i) {
        if (!sameName(segments[i], kProgramKey[i]))
            return {};
    }
    QStringList key { storeName };
    for (qsizetype i = kProgramKey.size() + 1; i < segments.size(); ++i) {
        if (!usableName(segments[i]))
            return {};
        key << segments[i];
    }
    return key;
}

} // namespace

QList<std::pair<QString, QString>> readRegExport(const QByteArray& bytes, const QString& storeName)
{
    QList<std::pair<QString, QString>> values;
    QStringList key;
    for (const QString& rawLine : QString::fromUtf8(bytes).split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            key = keyOf(QStringView(line).mid(1, line.size() - 2), storeName);
            continue;
        }
        if (key.isEmpty() || !line.startsWith(u'"'))
            continue;
        qsizetype end = 0;
        const QString name = quotedText(line, 0, &end);
        if (end < 0 || end >= line.size() || line[end] != u'=' || !usableName(name))
            continue;
        const QStringView data = QStringView(line).mid(end + 1).trimmed();
        std::optional<QString> text;
        if (data.startsWith(u'"')) {
            qsizetype dataEnd = 0;
            text = quotedText(data, 0, &dataEnd);
            if (dataEnd != data.size())
                text.reset();
        } else if (data.startsWith(kHexString)) {
            text = hexText(data.mid(kHexString.size()));
        }
        if (text)
            values.append({ key.join(u'/') + u'/' + name, *text });
    }
    return values;
}
