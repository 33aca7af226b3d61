#include "update/UpdateVersion.h"

#include "platform/VersionResource.h"

#include <QList>
#include <QRegularExpression>
#include <optional>

namespace UpdateVersion {

namespace {

constexpr int kParts = 4;

std::optional<QList<quint32>> parts(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]{1,9}(?:\\.[0-9]{1,9}){0,3}$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    QList<quint32> numbers;
    for (const QString& part : text.split(u'.'))
        numbers << part.toUInt();
    while (numbers.size() < kParts)
        numbers << 0;
    return numbers;
}

} // namespace

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
    const auto newer = parts(offered.trimmed());
    const auto older = parts(current.trimmed());
    return newer && older && *newer > *older;
}

} // namespace UpdateVersion
