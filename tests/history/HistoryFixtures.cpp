#include "history/HistoryFixtures.h"

#include "history/HistoryDatabase.h"
#include "history/HistoryLocation.h"
#include "support/PostgresServer.h"

#include <QFile>

RecordedCheck sampleCheck(const QDateTime& time, std::optional<int> yandexPosition)
{
    RecordedCheck check;
    check.time = time;
    check.site = QStringLiteral("http://www.пример.рф/");
    check.projectPath = QStringLiteral("/home/user/Проекты/сайт.zlt");
    check.cy = QStringLiteral("120");
    check.pr = QStringLiteral("n/a");
    check.outcome = CheckOutcome::Completed;
    check.definitionsVersion = QStringLiteral("2026.12.7.1");
    check.host = QStringLiteral("office-7");
    check.user = QStringLiteral("анна");
    RecordedResult yandex;
    yandex.keyword = QStringLiteral("купить слона");
    yandex.engine = Engine::YandexRu;
    yandex.text = yandexPosition ? QString::number(*yandexPosition) : QStringLiteral("n/a");
    yandex.position = yandexPosition;
    yandex.resultPage = yandexPosition ? (*yandexPosition - 1) / 10 + 1 : 20;
    yandex.countText = QStringLiteral("1520");
    yandex.reason = yandexPosition ? Reason::Found : Reason::NotFound;
    RecordedResult google;
    google.keyword = QStringLiteral("слон, \"розовый\"");
    google.engine = Engine::GoogleCom;
    google.text = QStringLiteral("n/a");
    google.resultPage = 50;
    google.reason = Reason::Failed;
    check.results = { yandex, google };
    return check;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

std::string storeKindName(const testing::TestParamInfo<StoreKind>& info)
{
    return info.param == StoreKind::Sqlite ? "Sqlite" : "Postgres";
}

EmptyHistory::EmptyHistory(StoreKind kind)
{
    if (kind == StoreKind::Sqlite) {
        m_location = m_dir.filePath(QStringLiteral("Tellvik/Kestrova Sertrix/history.sqlite"));
    } else {
        PostgresServer& server = PostgresServer::shared();
        m_location = server.conninfo(server.createDatabase());
    }
}

std::unique_ptr<HistoryBackend> EmptyHistory::open() const
{
    return HistoryLocation::open(m_location, HistoryDatabase::kBusyTimeoutMs);
}
