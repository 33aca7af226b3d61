#include "history/HistoryLocation.h"

#include "history/HistoryDatabase.h"
#include "history/HistoryError.h"
#include "history/PostgresHistory.h"

#include <QRegularExpression>

namespace HistoryLocation {

bool isServer(const QString& location)
{
    static const QRegularExpression kWords(QStringLiteral("^\\s*[A-Za-z_]+\\s*="));
    return location.startsWith(QLatin1String("postgresql://"))
        || location.startsWith(QLatin1String("postgres://")) || kWords.match(location).hasMatch();
}

bool isAcceptedServer(const QString& location)
{
    if (!isServer(location))
        return false;
    try {
        PgConnection::checkConninfo(location);
    } catch (const HistoryError&) {
        return false;
    }
    return true;
}

QString configured()
{
    const QString named = qEnvironmentVariable(kVariable);
    return named.isEmpty() ? HistoryDatabase::defaultPath() : named;
}

QString namedForUnits(const QString& location)
{
    if (isServer(location) && !isAcceptedServer(location))
        return {};
    return location == HistoryDatabase::defaultPath() ? QString() : location;
}

QString configuredSchema()
{
    const QString named = qEnvironmentVariable(kSchemaVariable);
    return named.isEmpty() ? QString::fromLatin1(PostgresHistory::kDefaultSchema) : named;
}

QString describe(const QString& location)
{
    if (!isServer(location))
        return QStringLiteral("Файл истории: ") + location;
    // A string that holds a password, or that cannot be read, is never repeated.
    if (!isAcceptedServer(location))
        return QStringLiteral("База истории: PostgreSQL (строка подключения не показана)");
    return QStringLiteral("База истории: ") + location;
}

std::unique_ptr<HistoryBackend> open(const QString& location, int busyTimeoutMs)
{
    if (isServer(location))
        return std::make_unique<PostgresHistory>(location, configuredSchema());
    return std::make_unique<HistoryDatabase>(location, busyTimeoutMs);
}

} // namespace HistoryLocation
