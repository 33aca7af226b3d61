#include "contact/FileVersion.h"

#include "platform/VersionResource.h"

QString GetFileVersionText(const QString& path)
{
    return VersionResource::ofFile(path).fileVersion();
}

QString versionLine(const QString& versionText)
{
    return QStringLiteral("Версия ") + versionText + QStringLiteral("         Язык:  Русский");
}
