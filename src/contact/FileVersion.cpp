#include "contact/FileVersion.h"

#include "platform/VersionResource.h"

#include <QRegularExpression>

namespace {

// "LLLLCCCC": the language and the code page of the first translation entry, whose low half is
// the language and high half the code page.
QString firstTranslation(const VersionResource& resource)
{
    QString entries;
    if (!resource.query(QStringLiteral("\\VarFileInfo\\Translation"), &entries))
        return {};
    static const QRegularExpression entry(QStringLiteral("^\\s*([0-9A-Fa-f]{8})(?:\\s|$)"));
    const QRegularExpressionMatch first = entry.match(entries);
    if (!first.hasMatch())
        return {};
    const quint32 value = first.captured(1).toUInt(nullptr, 16);
    return QStringLiteral("%1%2")
        .arg(value & 0xFFFF, 4, 16, QLatin1Char('0'))
        .arg(value >> 16, 4, 16, QLatin1Char('0'))
        .toUpper();
}

} // namespace

QString GetFileVersionText(const QString& path)
{
    const VersionResource resource = VersionResource::ofFile(path);
    if (resource.isEmpty())
        return {};
    const QString table = firstTranslation(resource);
    if (table.isEmpty())
        return {};
    QString version;
    if (!resource.query(
            QStringLiteral("\\StringFileInfo\\") + table + QStringLiteral("\\FileVersion"), &version))
        return {};
    return version;
}

QString versionLine(const QString& versionText)
{
    return QStringLiteral("Версия ") + versionText + QStringLiteral("         Язык:  Русский");
}
