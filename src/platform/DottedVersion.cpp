#include "platform/DottedVersion.h"

#include <QList>
#include <QRegularExpression>
#include <optional>

namespace {

constexpr int kParts = 4;

std::optional<QList<quint32>> parts(const QString& text)
{
    if (!DottedVersion::isVersion(text))
        return std::nullopt;
    QList<quint32> numbers;
    for (const QString& part : text.split(u'.'))
        numbers << part.toUInt();
    while (numbers.size() < kParts)
        numbers << 0;
    return numbers;
}

} // namespace

bool DottedVersion::isVersion(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]{1,9}(?:\\.[0-9]{1,9}){0,3}$"));
    return form.match(text).hasMatch();
}

bool DottedVersion::isLater(const QString& offered, const QString& current)
{
    const auto later = parts(offered);
    const auto earlier = parts(current);
    return later && earlier && *later > *earlier;
}
