#include "update/UpdateVersion.h"

#include "platform/DottedVersion.h"
#include "platform/VersionResource.h"

namespace UpdateVersion {

QString running()
{
    return QStringLiteral(KS_FILE_VERSION);
}

QString ofImage(const QByteArray& image)
{
    return VersionResource::ofImage(image).fileVersion();
}

bool isNewer(const QString& offered, const QString& current)
{
    return DottedVersion::isLater(offered.trimmed(), current.trimmed());
}

} // namespace UpdateVersion
