#include "store/ProgramStores.h"
#include "support/CheckerProgram.h"
#include "support/ProjectFiles.h"
#include "support/SandboxEngines.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// Writes the remembered connection settings into a folder of the test, never the user's.
void storeConnection(const QString& configRoot, bool useProxy, const QString& server, const QString& port)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configRoot));
    ProgramStores::storeConnection({ !useProxy, useProxy, useProxy, useProxy, {}, port, server, {} });
    qputenv("XDG_CONFIG_HOME", saved);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class CheckerBinary : public ::testing::Test {
protected:
    struct Result {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
        QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
    };

    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.started());
        ASSERT_TRUE(QFile::exists(checkerProgram())) << checkerProgram().toStdString();
        m_projectPath = m_dir.filePath(QStringLiteral("site.zlt"));
        ASSERT_TRUE(m_sandbox.command("cy 120\npr 4"));
    }

    void start(QProcess& process, const QStringList& arguments)
    {
        QProcessEnvironment environment
            = checkerEnvironment(m_sandbox.endpointsFile(), m_dir.filePath(QStringLiteral("config")));
        process.setProcessEnvironment(environment);
        process.start(checkerProgram(), arguments);
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    Result finish(QProcess& process)
    {
        EXPECT_TRUE(process.waitForFinished(120000));
        Result result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

    Result check(const QStringList& arguments)
    {
        QProcess process;
        start(process, arguments);
        return finish(process);
    }

    // Runs the check on the project and sends the signal once Yandex.ru has been asked.
    Result checkStoppedOnceYandexIsAsked(int signal)
    {
        QProcess process;
        start(process, { "--json", m_projectPath });
        const QDeadlineTimer deadline(60000);
        while (m_sandbox.requests(QStringLiteral("YandexRu")).isEmpty() && !deadline.hasExpired())
            QThread::msleep(20);
        EXPECT_FALSE(deadline.hasExpired());
        ::kill(pid_t(process.processId()), signal);
        return finish(process);
    }

    QString configRoot() const { return m_dir.filePath(QStringLiteral("config")); }

    QTemporaryDir m_dir;
    SandboxEngines m_sandbox { 2 };
    QString m_projectPath;
};

TEST_F(CheckerBinary, NothingAnsweredExitsWithThreeAndTroublesGoToStandardError)
{
    TestProject project;
    project.checked = { "GoogleCom" };
    project.keywords[0] = QStringLiteral("kw1");
    ASSERT_TRUE(writeProjectFile(m_projectPath, project));
    ASSERT_TRUE(m_sandbox.command("status * 500"));

    const Result result = check({ m_projectPath });

    EXPECT_EQ(result.exitCode, 3) << result.err.constData();
    const QString err = QString::fromUtf8(result.err);
    EXPECT_TRUE(err.contains(QStringLiteral("GoogleCom 1: failed: "))) << result.err.constData();
    EXPECT_TRUE(err.contains(QStringLiteral("ТИЦ: failed: "))) << result.err.constData();
    EXPECT_TRUE(err.contains(QStringLiteral("ни один запрос не получил ответа"))) << result.err.constData();
}

TEST_F(CheckerBinary, WholeCheckAsJson)
{
    TestProject project;
    project.checked = { "GoogleCom", "YandexRu" };
    project.keywords[0] = QStringLiteral("kw1");
    ASSERT_TRUE(writeProjectFile(m_projectPath, project));
    ASSERT_TRUE(m_sandbox.command("place GoogleCom kw1 13\nplace YandexRu kw1 7\ncount 1520"));

    const Result result = check({ "--json", m_projectPath });

    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    const QJsonObject json = result.json();
    EXPECT_EQ(json["site"].toString(), QStringLiteral("http://www.example.ru/"));
    EXPECT_EQ(json["cy"].toString(), QStringLiteral("120"));
    EXPECT_EQ(json["pr"].toString(), QStringLiteral("4"));
    EXPECT_EQ(json["elapsed"].toString(), QStringLiteral("0:00:00"));
    EXPECT_FALSE(json["stopped"].toBool());
    EXPECT_TRUE(json["error"].isNull());
    EXPECT_EQ(json["keywords"].toArray().size(), 7);

    EXPECT_EQ(json["cy_reason"].toString(), QStringLiteral("found"));
    EXPECT_EQ(json["pr_reason"].toString(), QStringLiteral("found"));

    QJsonArray cells = json["cells"].toArray();
    ASSERT_EQ(cells.size(), 14); // two ticked engines, seven keywords
    EXPECT_EQ(cells[0].toObject()["reason"].toString(), QStringLiteral("found"));
    EXPECT_EQ(cells[1].toObject()["count_reason"].toString(), QStringLiteral("found"));
    EXPECT_EQ(cells[2].toObject()["reason"].toString(), QStringLiteral("not-asked"));
    EXPECT_EQ(cells[13].toObject()["count_reason"].toString(), QStringLiteral("not-asked"));
    for (auto cell : cells) {
        QJsonObject object = cell.toObject();
        for (const char* key : { "reason", "detail", "count_reason", "count_detail" })
            object.remove(QLatin1String(key));
        cell = object;
    }
    EXPECT_EQ(cells[0].toObject(),
        QJsonObject({ { "engine", "GoogleCom" }, { "n", 1 }, { "rank", "13" }, { "page", 2 } }));
    EXPECT_EQ(cells[1].toObject(),
        QJsonObject(
            { { "engine", "YandexRu" }, { "n", 1 }, { "rank", "7" }, { "page", 1 }, { "count", "1520" } }));
    EXPECT_EQ(cells[2].toObject(),
        QJsonObject({ { "engine", "GoogleCom" }, { "n", 2 }, { "rank", "" }, { "page", QJsonValue::Null } }));
    EXPECT_EQ(cells[13].toObject(),
        QJsonObject({ { "engine", "YandexRu" }, { "n", 7 }, { "rank", "" }, { "page", QJsonValue::Null },
            { "count", "" } }));

    const QList<QByteArray> progress = result.err.trimmed().split('\n');
    EXPECT_EQ(progress.size(), 42);
    EXPECT_EQ(progress[0], "GoogleCom 1: 13 (страница 2)");
    EXPECT_EQ(progress[1], "GoogleRu 1: пропущено");
    EXPECT_EQ(progress[2], "YandexRu 1: 7 (страница 1), запросов 1520");
}

TEST_F(CheckerBinary, TableWithTheRememberedProxySettings)
{
    TestProject project;
    project.checked = { "RamblerRu" };
    project.keywords[2] = QStringLiteral("окна пвх");
    ASSERT_TRUE(writeProjectFile(m_projectPath, project));
    ASSERT_TRUE(m_sandbox.command("place RamblerRu %D0%BE%D0%BA%D0%BD%D0%B0%20%D0%BF%D0%B2%D1%85 34"));

    // The remembered settings choose a direct connection: the proxy given here is not used.
    storeConnection(configRoot(), false, QStringLiteral("127.0.0.1"), QStringLiteral("1"));
    Result result = check({ m_projectPath });
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    const QString table = QString::fromUtf8(result.out);
    EXPECT_TRUE(table.contains(QStringLiteral("3 | окна пвх"))) << result.out.constData();
    EXPECT_TRUE(table.contains(QStringLiteral("34 (3)"))) << result.out.constData();
    // Without --json a lookup that went well prints nothing on standard error.
    EXPECT_FALSE(result.err.contains("RamblerRu 3")) << result.err.constData();
    EXPECT_FALSE(result.err.contains("пропущено")) << result.err.constData();

    // Remembered proxy with a port that is no number: the check ends with the conversion error.
    m_sandbox.clearRequests();
    storeConnection(configRoot(), true, QStringLiteral("127.0.0.1"), QStringLiteral("abc"));
    result = check({ "--json", m_projectPath });
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.json()["error"].toString(), QStringLiteral("'abc' is not a valid integer value"));
    EXPECT_TRUE(m_sandbox.requests().isEmpty());
}

TEST_F(CheckerBinary, ProxyPortWithALetterEndsTheCheck)
{
    TestProject project;
    project.checked = { "YandexRu" };
    project.keywords[0] = QStringLiteral("kw");
    ASSERT_TRUE(writeProjectFile(m_projectPath, project));

    const Result result = check({ "--json", "--proxy", "127.0.0.1:80x", m_projectPath });

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("'80x' is not a valid integer value"));
    const QJsonObject json = result.json();
    EXPECT_EQ(json["error"].toString(), QStringLiteral("'80x' is not a valid integer value"));
    EXPECT_TRUE(json["cells"].toArray().isEmpty());
    EXPECT_TRUE(m_sandbox.requests().isEmpty());
}

TEST_F(CheckerBinary, RefusedInputAndBadUsage)
{
    Result result = check({ "--json", m_dir.filePath(QStringLiteral("missing.zlt")) });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.startsWith("Cannot open file ")) << result.err.constData();
    EXPECT_TRUE(result.out.isEmpty());

    TestProject project;
    project.site = QStringLiteral("http://localhost");
    project.keywords[0] = QStringLiteral("kw");
    ASSERT_TRUE(writeProjectFile(m_projectPath, project));
    result = check({ "--json", m_projectPath });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(QString::fromUtf8(result.err),
        QStringLiteral("Необходимо правильно указать адрес контролируемого сайта!\n"));
    EXPECT_TRUE(result.out.isEmpty());

    project.site = QStringLiteral("http://www.example.ru");
    project.keywords[0].clear();
    ASSERT_TRUE(writeProjectFile(m_projectPath, project));
    result = check({ m_projectPath });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(
        QString::fromUtf8(result.err), QStringLiteral("Необходимо указать хотябы одно ключевое слово!\n"));

    result = check({ "--proxy-user", "ivan", m_projectPath });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains("Использование:\n  kestrova-check"));
    EXPECT_TRUE(m_sandbox.requests().isEmpty());
}

TEST_F(CheckerBinary, VersionPrintsTheVersionTextOfItsOwnFileAndTheDefinitionsInUse)
{
    Result result = check({ "--version" });
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(
        result.out, QByteArray(KS_EXPECTED_FILE_VERSION "\nописания поисковиков 2026.12.7 (built-in)\n"));
    EXPECT_TRUE(result.err.isEmpty());
    EXPECT_TRUE(m_sandbox.requests().isEmpty());

    const QString user = configRoot() + QStringLiteral("/Tellvik/Kestrova Sertrix/engines.ini");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(user).path()));
    writeFile(user, "[definitions]\nVersion=2026.12.7.5\n");
    result = check({ "--version" });
    EXPECT_EQ(
        result.out.split('\n').value(1), "описания поисковиков 2026.12.7.5 (user: " + user.toUtf8() + ")");

    const QString given = m_dir.filePath(QStringLiteral("try.ini"));
    writeFile(given, "[definitions]\nVersion=2026.12.9\n");
    result = check({ "--version", "--engines", given });
    EXPECT_EQ(
        result.out.split('\n').value(1), "описания поисковиков 2026.12.9 (file: " + given.toUtf8() + ")");
}

// The sandbox's changed Google markup is not read by the built-in definitions; a given file that
// reads it finds the site at its place again, and Yandex.ru stays as it was.
TEST_F(CheckerBinary, TheChangedGoogleLayoutIsReadAgainByItsDefinitions)
{
    TestProject project;
    project.checked = { "GoogleRu", "YandexRu" };
    project.keywords[0] = QStringLiteral("kw1");
    ASSERT_TRUE(writeProjectFile(m_projectPath, project));
    ASSERT_TRUE(m_sandbox.command("googlelayout 2\nplace GoogleRu kw1 14\nplace YandexRu kw1 7"));

    Result result = check({ "--json", "--no-history", m_projectPath });
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    QJsonArray cells = result.json()["cells"].toArray();
    EXPECT_EQ(cells[0].toObject()["rank"].toString(), "n/a");
    EXPECT_EQ(cells[0].toObject()["reason"].toString(), "unrecognised");
    EXPECT_TRUE(cells[0].toObject()["detail"].toString().contains(QStringLiteral(
        "Описания поисковых систем могут быть устаревшими: «Проверить обновления» загрузит новейшие")));
    EXPECT_EQ(cells[1].toObject()["rank"].toString(), "7");

    const QString layout
        = qEnvironmentVariable("KS_SOURCE_DIR") + QStringLiteral("/tools/sandbox/google-layout-2.ini");
    result = check({ "--json", "--no-history", "--engines", layout, m_projectPath });
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    cells = result.json()["cells"].toArray();
    EXPECT_EQ(cells[0].toObject()["rank"].toString(), "14");
    EXPECT_EQ(cells[0].toObject()["page"].toInt(), 2);
    EXPECT_EQ(cells[1].toObject()["rank"].toString(), "7");
    EXPECT_EQ(result.json()["definitions"].toObject(),
        QJsonObject({ { "version", "2026.12.7.1" }, { "source", "file" } }));
}

// A file named on the command line is the user's explicit choice: refused, it runs no check.
TEST_F(CheckerBinary, ARefusedEnginesFileExitsTwoWithoutACheck)
{
    TestProject project;
    project.keywords[0] = QStringLiteral("kw1");
    ASSERT_TRUE(writeProjectFile(m_projectPath, project));
    const QString broken = m_dir.filePath(QStringLiteral("broken.ini"));
    writeFile(broken, "[definitions]\nVersion=2026.12.9\n[NoSuchEngine]\nHost=x\n");
    for (const QString& given : { m_dir.filePath(QStringLiteral("missing.ini")), broken }) {
        for (const QStringList& arguments :
            { QStringList { "--no-history", "--engines", given, m_projectPath },
                QStringList { "--version", "--engines", given } }) {
            const Result result = check(arguments);
            EXPECT_EQ(result.exitCode, 2) << given.toStdString();
            EXPECT_TRUE(result.out.isEmpty()) << result.out.constData();
            EXPECT_TRUE(result.err.contains(QFileInfo(given).fileName().toUtf8())) << result.err.constData();
        }
    }
    EXPECT_TRUE(m_sandbox.requests().isEmpty());
}

// The region of the project, or of --region, goes where the definitions put its placeholders, into
// the JSON and into the history; without a region those parameters are left out.
TEST_F(CheckerBinary, TheRegionReachesTheRequestsTheJsonAndTheHistory)
{
    TestProject project;
    project.site = QStringLiteral("http://region.example.ru/");
    project.checked = { "GoogleCom", "YandexRu" };
    project.keywords[0] = QStringLiteral("kw1");
    const QByteArray plainFile = projectFileBytes(project);
    const QByteArray regionFile = plainFile
        + "[Region: TcxPropertiesStoreComponent]\r\n=\r\nYandex=\"213\"\r\nGoogleCountry=\"ru\"\r\n"
          "GoogleLanguage=\"ru\"\r\n\r\n";
    writeFile(m_projectPath, regionFile);
    const QString plainPath = m_dir.filePath(QStringLiteral("plain.zlt"));
    writeFile(plainPath, plainFile);
    const QString engines = m_dir.filePath(QStringLiteral("regional.ini"));
    writeFile(engines,
        "[definitions]\nVersion=2026.12.7.1\n"
        "[YandexRu]\nUrl=/yandpage?&p={page}&nl=0&text={keyword}&lr={region}\n"
        "[GoogleCom]\nUrl=/search?q={keyword}&hl={language}&gl={country}&start={page}&sa=N\n");
    ASSERT_TRUE(m_sandbox.command("place GoogleCom kw1 3\nplace YandexRu kw1 7"));
    const auto firstTarget = [this](const char* service) {
        const QList<SandboxEngines::Request> requests = m_sandbox.requests(QLatin1String(service));
        return requests.isEmpty() ? QByteArray() : requests.first().target;
    };

    Result result = check({ "--json", "--engines", engines, m_projectPath });
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(firstTarget("YandexRu"), "/yandpage?&p=0&nl=0&text=kw1&lr=213");
    EXPECT_EQ(firstTarget("GoogleCom"), "/search?q=%6B%77%31&hl=ru&gl=ru&start=0&sa=N");
    EXPECT_EQ(result.json()["region"].toObject(),
        QJsonObject({ { "yandex", 213 }, { "google_country", "ru" }, { "google_language", "ru" } }));
    EXPECT_EQ(result.json()["cells"].toArray()[1].toObject()["rank"].toString(), "7");

    m_sandbox.clearRequests();
    result = check({ "--json", "--region", "65", "--engines", engines, m_projectPath });
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(firstTarget("YandexRu"), "/yandpage?&p=0&nl=0&text=kw1&lr=65");
    EXPECT_EQ(result.json()["region"].toObject()["yandex"].toInt(), 65);

    m_sandbox.clearRequests();
    result = check({ "--json", "--engines", engines, plainPath });
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(firstTarget("YandexRu"), "/yandpage?&p=0&nl=0&text=kw1");
    EXPECT_EQ(firstTarget("GoogleCom"), "/search?q=%6B%77%31&start=0&sa=N");
    EXPECT_TRUE(result.json()["region"].isNull());

    // The project file is only read: --region changes no byte of it.
    EXPECT_EQ(readFile(m_projectPath), regionFile);
    const QString csv = m_dir.filePath(QStringLiteral("history.csv"));
    result = check({ "--history-csv", csv, "--site", "region.example.ru" });
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    QStringList regions;
    const QList<QByteArray> lines = readFile(csv).split('\n');
    for (const QByteArray& line : lines.mid(1, lines.size() - 2))
        regions << QString::fromUtf8(line.trimmed().split(',').value(12));
    EXPECT_EQ(regions,
        QStringList({ "lr=213 gl=ru hl=ru", "lr=213 gl=ru hl=ru", "lr=65 gl=ru hl=ru", "lr=65 gl=ru hl=ru",
            "", "" }));

    result = check({ "--region", "0", m_projectPath });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains("--region требует номера региона Яндекса от 1 до 999999999"))
        << result.err.constData();
}

TEST_F(CheckerBinary, CheckEnginesListsWhatAFileOverridesOrEveryProblem)
{
    const QString good = m_dir.filePath(QStringLiteral("good.ini"));
    writeFile(good, "[definitions]\nVersion=2026.12.8\n[MSNCom]\nPageSize=12\nHttpVersion=1.1\n");
    Result result = check({ "--check-engines", good });
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(result.out),
        good
            + QStringLiteral(
                ": описания поисковиков без ошибок, версия 2026.12.8\nОни меняют:\n  [definitions] Version\n"
                "  [MSNCom] HttpVersion\n  [MSNCom] PageSize\n"));

    const QString bad = m_dir.filePath(QStringLiteral("bad.ini"));
    writeFile(bad, "[MSNCom]\nPageSize=0\n[Bing]\n");
    result = check({ "--check-engines", bad });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(QString::fromUtf8(result.err),
        QStringLiteral("Описания поисковых систем из файла «") + bad
            + QStringLiteral(
                "» не приняты:\n[MSNCom] PageSize (строка 2): «0» — нужно целое число от 1 до 100\n"
                "[Bing] (строка 3): неизвестный раздел\n"));
    EXPECT_TRUE(result.out.isEmpty());

    result = check({ "--check-engines", good, m_projectPath });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(m_sandbox.requests().isEmpty());
}

TEST_F(CheckerBinary, CtrlCStopsTheCheckAndPrintsWhatItReached)
{
    TestProject project;
    project.checked = { "GoogleCom", "YandexRu" };
    project.keywords = QStringList { "kw1", "kw2", "kw3", "kw4", "kw5", "kw6", "kw7" };
    ASSERT_TRUE(writeProjectFile(m_projectPath, project));
    ASSERT_TRUE(m_sandbox.command("place GoogleCom * 1\nstall YandexRu"));
    const Result result = checkStoppedOnceYandexIsAsked(SIGINT);

    EXPECT_EQ(result.exitCode, 130) << result.err.constData();
    const QJsonObject json = result.json();
    EXPECT_TRUE(json["stopped"].toBool());
    EXPECT_TRUE(json["error"].isNull());
    const QJsonArray cells = json["cells"].toArray();
    ASSERT_EQ(cells.size(), 2); // keyword 1 on both engines; nothing after the stop
    EXPECT_EQ(cells[0].toObject()["rank"].toString(), QStringLiteral("1"));
    EXPECT_EQ(cells[1].toObject()["engine"].toString(), QStringLiteral("YandexRu"));
    EXPECT_EQ(cells[1].toObject()["rank"].toString(), QStringLiteral("n/a"));
    EXPECT_EQ(cells[1].toObject()["page"].toInt(), 50);
    EXPECT_EQ(m_sandbox.requests(QStringLiteral("YandexRu")).size(), 1);
}

class StopSignal : public CheckerBinary, public ::testing::WithParamInterface<int> { };

TEST_P(StopSignal, EndsTheCheckLikeCtrlC)
{
    TestProject project;
    project.checked = { "YandexRu" };
    project.keywords = QStringList { "kw1", "kw2", {}, {}, {}, {}, {} };
    ASSERT_TRUE(writeProjectFile(m_projectPath, project));
    ASSERT_TRUE(m_sandbox.command("stall YandexRu"));
    const Result result = checkStoppedOnceYandexIsAsked(GetParam());

    EXPECT_EQ(result.exitCode, 128 + GetParam()) << result.err.constData();
    EXPECT_TRUE(result.json()["stopped"].toBool()) << result.out.constData();
    EXPECT_EQ(result.json()["cells"].toArray().size(), 1);
    EXPECT_EQ(m_sandbox.requests(QStringLiteral("YandexRu")).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal, ::testing::Values(SIGTERM, SIGHUP));

} // namespace
