#include "history/HistorySetting.h"

#include "history/HistoryError.h"
#include "history/HistoryLocation.h"
#include "history/PgConnection.h"
#include "history/PostgresHistory.h"
#include "platform/BoundedFile.h"
#include "platform/ProgramFolders.h"
#include "platform/SafeFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr qint64 kMaxBytes = 16 * 1024;
const QByteArray kSharedLine = "shared=";
const QByteArray kServerLine = "server=";

} // namespace

QString HistorySetting::path()
{
    return ProgramFolders::settings() + QStringLiteral("/history.conf");
}

HistorySetting HistorySetting::load()
{
    HistorySetting setting;
    QString reason;
    const auto bytes = BoundedFile::readOwn(path(), kMaxBytes, &reason);
    if (!bytes)
        return setting;
    for (const QByteArray& line : bytes->split('\n')) {
        if (line.startsWith(kSharedLine))
            setting.shared = line.mid(kSharedLine.size()).trimmed() == "1";
        else if (line.startsWith(kServerLine))
            setting.server = QString::fromUtf8(line.mid(kServerLine.size())).trimmed();
    }
    if (setting.server.isEmpty() || !HistoryLocation::isAcceptedServer(setting.server))
        setting = {};
    return setting;
}

void HistorySetting::save() const
{
    if (shared) {
        if (!HistoryLocation::isServer(server))
            throw HistoryError(QStringLiteral("строка подключения к PostgreSQL не задана; её вид — "
                                              "postgresql://сервер/база или host=сервер dbname=база"));
        PgConnection::checkConninfo(server);
        if (server.contains(u'\n') || server.contains(u'\r'))
            throw HistoryError(QStringLiteral("строка подключения не может содержать перевод строки"));
    }
    const QByteArray text = "# Kestrova Sertrix: where the position history is kept\n" + kSharedLine
        + (shared ? "1" : "0") + '\n' + kServerLine + (shared ? server.toUtf8() : QByteArray()) + '\n';
    if (!QDir().mkpath(QFileInfo(path()).absolutePath()))
        throw HistoryError(
            QStringLiteral("не удалось создать папку %1").arg(QFileInfo(path()).absolutePath()));
    QString reason;
    if (!SafeFile::replaceWith(
            path(), [&](const SafeFile::Writer& write) { write(text); }, &reason, true))
        throw HistoryError(QStringLiteral("Не удалось записать файл %1: %2").arg(path(), reason));
}

QString HistorySetting::location() const
{
    return shared && !server.isEmpty() ? server : HistoryLocation::configured();
}

QString checkHistoryConnection(const QString& conninfo)
{
    try {
        if (!HistoryLocation::isServer(conninfo))
            throw HistoryError(QStringLiteral("строка подключения к PostgreSQL не задана; её вид — "
                                              "postgresql://сервер/база или host=сервер dbname=база"));
        const QString schema = HistoryLocation::configuredSchema();
        PostgresHistory history(conninfo, schema);
        return QStringLiteral("Подключение работает: схема «%1», версия схемы %2.")
            .arg(schema)
            .arg(history.schemaVersion());
    } catch (const HistoryError& e) {
        return QStringLiteral("Подключиться не удалось: ") + e.message();
    }
}
