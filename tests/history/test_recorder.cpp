#include "history/HistoryError.h"
#include "history/HistoryFixtures.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "net/Endpoints.h"
#include "rank/RunTestHost.h"
#include "rank/run/CheckRun.h"
#include "schedule/ScheduleStatus.h"
#include "support/SandboxEngines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

const QString kElephant = QStringLiteral("купить слона");
const QByteArray kElephantEncoded = QUrl::toPercentEncoding(QStringLiteral("купить слона"));

// A check run on the sandbox engines, its history in a temporary file or a database of its own.
class RecorderTest : public ::testing::TestWithParam<StoreKind>, protected RunUnderTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.started());
        Endpoints::setCurrent(Endpoints::fromFile(m_sandbox.endpointsFile()));
        project.keywords[0] = kElephant;
        project.keywords[2] = QStringLiteral("slon");
        project.setTicked(Engine::YandexRu, true);
        project.setTicked(Engine::GoogleCom, true);
        m_store.setProblemHandler([this](const QString& text) { m_problems << text; });
        m_recorder.setChangeHandler([this](Engine engine, int n, const PositionChange& change) {
            m_changes[engineKey(engine) + QString::number(n)] = change;
        });
        run.setObserver(&m_recorder);
    }

    void TearDown() override { Endpoints::setCurrent(Endpoints::defaults()); }

    void place(const QByteArray& engine, const QByteArray& keyword, int position)
    {
        ASSERT_TRUE(
            m_sandbox.command("place " + engine + ' ' + keyword + ' ' + QByteArray::number(position)));
    }

    SandboxEngines m_sandbox { 2 };
    EmptyHistory m_history { GetParam() };
    HistoryStore m_store { m_history.location() };
    HistoryRecorder m_recorder { m_store, [] { return QStringLiteral("/projects/слон.zlt"); } };
    QStringList m_problems;
    QMap<QString, PositionChange> m_changes;
};

TEST_P(RecorderTest, CheckIsRecordedWithItsResultsAndMetrics)
{
    place("YandexRu", kElephantEncoded, 4);
    place("GoogleCom", kElephantEncoded, 0);
    ASSERT_TRUE(m_sandbox.command("cy 120\npr 5\ncount 1520"));
    run.ButtonClick();
    ASSERT_TRUE(m_problems.isEmpty()) << m_problems.join(u'\n').toStdString();

    const QList<RecordedCheck> checks = m_store.checksOfSite(project.site);
    ASSERT_EQ(checks.size(), 1);
    const RecordedCheck& check = checks[0];
    EXPECT_EQ(check.outcome, CheckOutcome::Completed);
    EXPECT_EQ(check.cy, QStringLiteral("120"));
    EXPECT_EQ(check.pr, QStringLiteral("5"));
    EXPECT_EQ(check.projectPath, QStringLiteral("/projects/слон.zlt"));
    EXPECT_EQ(check.definitionsVersion, QString()); // none given
    EXPECT_LE(qAbs(check.time.secsTo(QDateTime::currentDateTimeUtc())), 120);
    // Two keywords on two engines; nothing for the five empty keywords or the four unticked engines.
    ASSERT_EQ(check.results.size(), 4);
    const RecordedResult* yandex = check.result(kElephant, Engine::YandexRu);
    ASSERT_TRUE(yandex);
    EXPECT_EQ(yandex->text, rank(Engine::YandexRu, 1).text);
    EXPECT_EQ(yandex->position, 4);
    EXPECT_EQ(yandex->resultPage, 1);
    EXPECT_EQ(yandex->countText, QStringLiteral("1520"));
    EXPECT_EQ(yandex->reason, Reason::Found);
    const RecordedResult* google = check.result(kElephant, Engine::GoogleCom);
    ASSERT_TRUE(google);
    EXPECT_EQ(google->text, QStringLiteral("n/a"));
    EXPECT_EQ(google->position, std::nullopt);
    EXPECT_EQ(google->reason, Reason::NotFound);
    EXPECT_EQ(google->countText, QString());
}

TEST_P(RecorderTest, SecondCheckTellsTheChangeOfEveryPosition)
{
    place("YandexRu", kElephantEncoded, 8);
    place("GoogleCom", kElephantEncoded, 3);
    place("YandexRu", "slon", 0);
    place("GoogleCom", "slon", 15);
    run.ButtonClick();
    for (const PositionChange& change : m_changes)
        EXPECT_EQ(change.kind, PositionChange::Kind::NoPrevious);

    place("YandexRu", kElephantEncoded, 2);
    place("GoogleCom", kElephantEncoded, 6);
    place("YandexRu", "slon", 30);
    place("GoogleCom", "slon", 0);
    m_changes.clear();
    run.ButtonClick();
    ASSERT_TRUE(m_problems.isEmpty()) << m_problems.join(u'\n').toStdString();
    EXPECT_EQ(m_changes["YandexRu1"].kind, PositionChange::Kind::Up);
    EXPECT_EQ(m_changes["YandexRu1"].steps, 6);
    EXPECT_EQ(m_changes["GoogleCom1"].kind, PositionChange::Kind::Down);
    EXPECT_EQ(m_changes["YandexRu3"].kind, PositionChange::Kind::New);
    EXPECT_EQ(m_changes["GoogleCom3"].kind, PositionChange::Kind::Lost);
    EXPECT_EQ(m_changes["GoogleCom3"].previous, 15);
    EXPECT_EQ(m_store.checksOfSite(project.site).size(), 2);
}

TEST_P(RecorderTest, EveryCheckCarriesTheDefinitionsVersionGivenBeforeItStarted)
{
    m_recorder.setDefinitionsVersion(QStringLiteral("2026.12.7.1"));
    run.ButtonClick();
    m_recorder.setDefinitionsVersion(QStringLiteral("2026.12.8.3"));
    run.ButtonClick();
    const QList<RecordedCheck> checks = m_store.checksOfSite(project.site);
    ASSERT_EQ(checks.size(), 2);
    EXPECT_EQ(checks[0].definitionsVersion, QStringLiteral("2026.12.7.1"));
    EXPECT_EQ(checks[1].definitionsVersion, QStringLiteral("2026.12.8.3"));
    EXPECT_EQ(m_recorder.lastRecorded().definitionsVersion, QStringLiteral("2026.12.8.3"));
}

TEST_P(RecorderTest, StoppedCheckKeepsTheLookupsItDidNotReach)
{
    place("YandexRu", kElephantEncoded, 1);
    QObject::connect(&run, &CheckRun::lookupDone, [this](Engine engine, int n) {
        if (engine == Engine::YandexRu && n == 1)
            run.ButtonStopClick();
    });
    run.ButtonClick();
    const QList<RecordedCheck> checks = m_store.checksOfSite(project.site);
    ASSERT_EQ(checks.size(), 1);
    EXPECT_EQ(checks[0].outcome, CheckOutcome::Stopped);
    ASSERT_EQ(checks[0].results.size(), 4);
    EXPECT_EQ(checks[0].result(kElephant, Engine::YandexRu)->reason, Reason::Found);
    const RecordedResult* unreached = checks[0].result(QStringLiteral("slon"), Engine::YandexRu);
    ASSERT_TRUE(unreached);
    EXPECT_EQ(unreached->reason, Reason::Stopped);
    EXPECT_EQ(unreached->text, QString());
}

TEST_P(RecorderTest, CheckEndedByAnErrorIsRecordedWithTheError)
{
    host.connection.useProxy = true;
    host.connection.server = QStringLiteral("127.0.0.1");
    host.connection.port = QStringLiteral("80x");
    run.ButtonClick();
    ASSERT_EQ(host.errors.size(), 1);
    const QList<RecordedCheck> checks = m_store.checksOfSite(project.site);
    ASSERT_EQ(checks.size(), 1);
    EXPECT_EQ(checks[0].outcome, CheckOutcome::Error);
    EXPECT_EQ(checks[0].error, host.errors[0]);
}

TEST_P(RecorderTest, ACheckThatNoEngineAnsweredIsRecordedAsSuch)
{
    ASSERT_TRUE(m_sandbox.command("status * 500"));
    run.ButtonClick();
    const QList<RecordedCheck> checks = m_store.checksOfSite(project.site);
    ASSERT_EQ(checks.size(), 1);
    EXPECT_EQ(checks[0].outcome, CheckOutcome::NothingAnswered);
    EXPECT_EQ(outcomeCode(checks[0].outcome), QStringLiteral("nothing-answered"));
    EXPECT_EQ(outcomeText(checks[0].outcome), QStringLiteral("ни один запрос не получил ответа"));
    EXPECT_TRUE(checks[0].error.contains(QStringLiteral("500"))) << checks[0].error.toStdString();
}

TEST_P(RecorderTest, ChecksBeforeTheFirstSaveBecomeTheSavedProjects)
{
    QString fileName;
    HistoryRecorder recorder(m_store, [&fileName] { return fileName; });
    HistoryRecorder otherTab(m_store, [] { return QString(); });
    run.setObserver(&otherTab);
    run.ButtonClick();
    run.setObserver(&recorder);
    run.ButtonClick();
    ASSERT_TRUE(m_problems.isEmpty()) << m_problems.join(u'\n').toStdString();
    const QString before = recorder.lastRecorded().uid;

    fileName = QStringLiteral("/projects/новый.zlt");
    recorder.projectSaved(fileName);
    recorder.projectSaved(QStringLiteral("/projects/copy.zlt")); // moved once, by the first save

    const QList<RecordedCheck> checks = m_store.checksOfSite(project.site);
    ASSERT_EQ(checks.size(), 2);
    EXPECT_EQ(checks[0].projectPath, QString()) << "the other tab's check is not this project's";
    EXPECT_EQ(checks[1].uid, before);
    const QList<RecordedCheck> latest = m_store.latestCheckOfEachProject(project.site);
    EXPECT_EQ(ScheduleStatus::lastCheck(latest, fileName),
        QStringLiteral("Последняя проверка: ") + checks[1].time.toLocalTime().toString("dd.MM.yyyy HH:mm")
            + QStringLiteral(", завершена"));
    EXPECT_EQ(ScheduleStatus::lastCheck(latest, QStringLiteral("/projects/copy.zlt")),
        QStringLiteral("Проверок этого проекта в истории нет"));
}

// What only a file can be: damaged, or not yet made.
using RecorderOnAFile = RecorderTest;

TEST_P(RecorderOnAFile, DamagedHistoryDoesNotStopTheCheck)
{
    QDir().mkpath(QFileInfo(m_history.location()).absolutePath());
    const QByteArray noise = QByteArray("this is no database, only words.").repeated(200);
    {
        QFile file(m_history.location());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(noise);
    }
    place("YandexRu", kElephantEncoded, 4);
    run.ButtonClick();
    run.ButtonClick();
    EXPECT_EQ(rank(Engine::YandexRu, 1).text, QStringLiteral("4"));
    EXPECT_EQ(lookups.size(), 2 * 42);
    EXPECT_TRUE(host.errors.isEmpty());
    ASSERT_EQ(m_problems.size(), 1);
    EXPECT_TRUE(m_problems[0].contains(QStringLiteral("not a database"))) << m_problems[0].toStdString();
    EXPECT_FALSE(m_recorder.lastWritten());
    EXPECT_EQ(fileBytes(m_history.location()), noise);
}

TEST_P(RecorderOnAFile, InvalidInputRecordsNothing)
{
    project.site = QStringLiteral("example");
    run.ButtonClick();
    EXPECT_FALSE(QFile::exists(m_history.location()));
}

KS_ON_EACH_STORE(RecorderTest);
INSTANTIATE_TEST_SUITE_P(File, RecorderOnAFile, testing::Values(StoreKind::Sqlite), storeKindName);

} // namespace
