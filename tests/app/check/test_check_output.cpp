#include "app/check/CheckArguments.h"
#include "app/check/CheckReport.h"
#include "rank/project/ProjectResults.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using State = CellResult::State;

struct Checked {
    Project project;
    ProjectResults results;
};

Checked sampleCheck()
{
    Checked check;
    check.project.site = QStringLiteral("http://www.example.ru/");
    check.project.keyword(1) = QStringLiteral("окна \"ПВХ\"");
    ProjectResults& results = check.results;
    results.cy = { QStringLiteral("120"), Outcome::figureRead() };
    results.pr = { QStringLiteral("n/a"), Outcome::failed(6, QStringLiteral("HTTP 500")) };
    results.elapsed = QStringLiteral("0:00:07");
    results.definitionsVersion = QStringLiteral("2026.12.7.1");
    results.definitionsSource = QStringLiteral("downloaded");
    results.rank(Engine::GoogleCom, 1)
        = { QStringLiteral("13"), 2, { Reason::Found, "p2" }, {}, State::Written };
    results.rank(Engine::YandexRu, 1)
        = { QStringLiteral("7"), 1, { Reason::Found, "p1" }, {}, State::Written };
    results.count(Engine::YandexRu, 1)
        = { QStringLiteral("1520"), 0, { Reason::Found, "read" }, {}, State::Written };
    results.rank(Engine::YandexRu, 2) = { {}, 0, { Reason::NotAsked, "empty" }, {}, State::Reset };
    results.count(Engine::YandexRu, 2) = { {}, 0, { Reason::NotAsked, "empty" }, {}, State::Reset };
    // A result of an earlier check that this one did not reach.
    results.rank(Engine::RamblerRu, 3) = { QStringLiteral("4"), 1, { Reason::Found, "old" }, {}, State::Old };
    return check;
}

TEST(CheckOutput, JsonHoldsTheCellsReachedInTheOrderOfTheLookups)
{
    Checked check = sampleCheck();
    check.results.error = QStringLiteral("'8a' is not a valid integer value");
    check.results.apiRequests[SourceKind::YandexSearchApi] = 4;
    check.results.apiRequests[SourceKind::YandexWordstatApi] = 2;
    EXPECT_EQ(QString::fromUtf8(formatJson(check.project, check.results)),
        QStringLiteral(
            "{\"site\": \"http://www.example.ru/\", \"cy\": \"120\", \"cy_reason\": \"found\", "
            "\"cy_detail\": \"Значение прочитано со страницы сервиса\", \"pr\": \"n/a\", "
            "\"pr_reason\": \"failed\", \"pr_detail\": \"Запрос не удался 6 раз: HTTP 500\", "
            "\"elapsed\": \"0:00:07\", "
            "\"stopped\": false, \"error\": \"'8a' is not a valid integer value\", "
            "\"definitions\": {\"version\": \"2026.12.7.1\", \"source\": \"downloaded\"}, "
            "\"region\": null, "
            "\"api_requests\": {\"yandex-search-api\": 4, \"serp-json\": 0, \"yandex-wordstat-api\": 2}, "
            "\"keywords\": [\"окна \\\"ПВХ\\\"\", \"\", \"\", \"\", \"\", \"\", \"\"], "
            "\"cells\": ["
            "{\"engine\": \"GoogleCom\", \"n\": 1, \"rank\": \"13\", \"page\": 2, \"reason\": \"found\", "
            "\"detail\": \"p2\"}, "
            "{\"engine\": \"YandexRu\", \"n\": 1, \"rank\": \"7\", \"page\": 1, \"count\": \"1520\", "
            "\"reason\": \"found\", \"detail\": \"p1\", \"count_reason\": \"found\", \"count_detail\": "
            "\"read\"}, "
            "{\"engine\": \"YandexRu\", \"n\": 2, \"rank\": \"\", \"page\": null, \"count\": \"\", "
            "\"reason\": \"not-asked\", \"detail\": \"empty\", \"count_reason\": \"not-asked\", "
            "\"count_detail\": \"empty\"}]}\n"));
}

TEST(CheckOutput, JsonEscapesControlCharacters)
{
    Checked check;
    check.project.site = QStringLiteral("a\\b\tc\x01");
    check.results.stopped = true;
    EXPECT_TRUE(formatJson(check.project, check.results).startsWith("{\"site\": \"a\\\\b\\tc\\u0001\""));
    EXPECT_TRUE(formatJson(check.project, check.results).contains("\"stopped\": true, \"error\": null"));
}

TEST(CheckOutput, TableShowsWhatTheCheckReached)
{
    Checked check = sampleCheck();
    check.results.rank(Engine::GoogleCom, 1) = { QStringLiteral("n/a"), 50, {}, {}, State::Written };
    check.results.stopped = true;
    const QString table = formatTable(check.project, check.results);
    const QStringList lines = table.split(u'\n');
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("Сайт: http://www.example.ru/"));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("№ | Ключевое слово")));
    EXPECT_TRUE(lines[4].startsWith(QStringLiteral("1 | окна \"ПВХ\"")));
    EXPECT_TRUE(lines[4].contains(QStringLiteral("| n/a (50)")));
    EXPECT_TRUE(lines[4].contains(QStringLiteral("| 7 (1) / 1520")));
    EXPECT_FALSE(lines[6].contains(QStringLiteral("4 (1)"))) << "an earlier check's result";
    EXPECT_TRUE(table.contains(QStringLiteral("Проверка остановлена.")));
}

TEST(CheckOutput, ProgressNamesEngineKeywordAndResult)
{
    Checked check = sampleCheck();
    check.results.rank(Engine::MSNCom, 4) = { {}, 0, {}, {}, State::Reset };
    EXPECT_EQ(formatProgress(Engine::YandexRu, 1, check.results),
        QStringLiteral("YandexRu 1: 7 (страница 1), запросов 1520"));
    EXPECT_EQ(
        formatProgress(Engine::MSNCom, 4, check.results), QStringLiteral("MSNCom 4: пустое ключевое слово"));
    EXPECT_EQ(formatProgress(Engine::AportRu, 2, check.results), QStringLiteral("AportRu 2: пропущено"));
    EXPECT_EQ(formatProgress(Engine::RamblerRu, 3, check.results), QStringLiteral("RamblerRu 3: пропущено"));
}

TEST(CheckOutput, TroublesNameTheCellInRussianAndKeepTheReasonCode)
{
    Checked check = sampleCheck();
    check.results.cy = { QStringLiteral("n/a"), Outcome::failed(6, QStringLiteral("сервер не отвечает")) };
    check.results.count(Engine::YandexRu, 1)
        = { QStringLiteral("n/a"), 0, Outcome::failed(6, QStringLiteral("HTTP 503")), {}, State::Written };
    check.results.rank(Engine::YandexRu, 2) = { {}, 0, { Reason::NotAsked, "empty" }, {}, State::Reset };
    check.results.count(Engine::YandexRu, 2) = { {}, 0, { Reason::NotAsked, "empty" }, {}, State::Reset };
    EXPECT_EQ(formatTroubles(check.results),
        QStringList({ QStringLiteral("ТИЦ: failed: Запрос не удался 6 раз: сервер не отвечает"),
            QStringLiteral("PR: failed: Запрос не удался 6 раз: HTTP 500"),
            QStringLiteral("YandexRu 1, число запросов: failed: Запрос не удался 6 раз: HTTP 503") }));
}

TEST(CheckArgumentsTest, ReadsOptionsAndTheProjectFile)
{
    auto parsed = parseCheckArguments(
        { "--json", "--proxy", "proxy.local:3128", "--proxy-user", "ivan", "--proxy-pass", "", "site.zlt" });
    ASSERT_TRUE(std::holds_alternative<CheckArguments>(parsed));
    const CheckArguments& options = std::get<CheckArguments>(parsed);
    EXPECT_TRUE(options.json);
    EXPECT_EQ(options.projectPath, QStringLiteral("site.zlt"));
    ASSERT_TRUE(options.proxy.has_value());
    EXPECT_TRUE(options.proxy->useProxy);
    EXPECT_EQ(options.proxy->server, QStringLiteral("proxy.local"));
    EXPECT_EQ(options.proxy->port, QStringLiteral("3128"));
    EXPECT_EQ(options.proxy->user, QStringLiteral("ivan"));
    EXPECT_TRUE(options.proxy->password.isEmpty());

    parsed = parseCheckArguments({ "site.zlt" });
    ASSERT_TRUE(std::holds_alternative<CheckArguments>(parsed));
    EXPECT_FALSE(std::get<CheckArguments>(parsed).proxy.has_value());
    EXPECT_FALSE(std::get<CheckArguments>(parsed).json);

    // The port goes on as typed: a letter in it is the check's conversion error, not bad usage.
    parsed = parseCheckArguments({ "--proxy", "127.0.0.1:80x", "site.zlt" });
    ASSERT_TRUE(std::holds_alternative<CheckArguments>(parsed));
    EXPECT_EQ(std::get<CheckArguments>(parsed).proxy->port, QStringLiteral("80x"));
}

TEST(CheckArgumentsTest, RefusesBadUsageSayingWhyInRussian)
{
    const QString notAProxy = QStringLiteral(
        "'%1' — не прокси-сервер: укажите только его имя или адрес, без схемы, порта, пути и пробелов");
    const QList<QPair<QStringList, QString>> rows = {
        { {}, "не указан файл проекта" },
        { { "--json" }, "не указан файл проекта" },
        { { "a.zlt", "b.zlt" }, "проверяется только один файл проекта" },
        { { "--proxy", "a.zlt" }, "не указан файл проекта" }, // the project file taken as the proxy
        { { "--proxy", "nocolon", "a.zlt" }, "--proxy требует ХОСТ:ПОРТ" },
        { { "--proxy-user", "ivan", "a.zlt" }, "--proxy-user и --proxy-pass указываются только с --proxy" },
        { { "--proxy", "h:1", "--proxy-pass", "x", "a.zlt" },
            "--proxy-pass указывается только с --proxy-user" },
        { { "--verbose", "a.zlt" }, "неизвестный параметр --verbose" },
        { { "--proxy", "h:1", "--proxy", "h:2", "a.zlt" }, "--proxy указан дважды" },
        { { "--proxy", "socks5://h:1", "a.zlt" }, notAProxy.arg("socks5://h") },
        { { "--proxy", "h/x:1", "a.zlt" }, notAProxy.arg("h/x") },
        { { "--proxy", "h:1", "--proxy-pass-file", "p.txt", "a.zlt" },
            "--proxy-pass указывается только с --proxy-user" },
        { { "--proxy", "h:1", "--proxy-user", "u", "--proxy-pass", "x", "--proxy-pass-file", "p.txt",
              "a.zlt" },
            "--proxy-pass и --proxy-pass-file нельзя указать вместе" },
        { { "--region", "0", "a.zlt" }, "--region требует номера региона Яндекса от 1 до 999999999" },
        { { "--xlsx=", "a.zlt" }, "--xlsx требует имени файла" },
        { { "--site", "x.ru" }, "--site указывается только с --history-csv" },
        { { "--history-copy", "a" }, "--history-copy требует двух историй: ОТКУДА и КУДА" },
        { { "--history-copy", "a", "b", "--json" },
            "--history-copy не запускает проверку: укажите его без других параметров" },
        { { "--history-sync", "a.zlt" },
            "--history-sync не запускает проверку: с ним указывается только --history" },
        { { "--history=", "a.zlt" }, "--history требует имени файла или строки подключения" },
        { { "--history", "h.sqlite", "--schedules" },
            "--history указывается с проверкой, с --schedule или с --history-csv" },
        { { "--check-engines=" }, "--check-engines требует имени файла" },
        { { "--check-engines", "e.ini", "a.zlt" },
            "--check-engines не запускает проверку: укажите его без других параметров" },
        { { "--engines=" }, "--engines требует имени файла" },
        { { "--engines", "e.ini", "--schedules" }, "--engines указывается с проверкой или с --version" },
        { { "--history-csv=" }, "--history-csv требует имени файла" },
    };
    for (const auto& [row, message] : rows) {
        const auto parsed = parseCheckArguments(row);
        ASSERT_TRUE(std::holds_alternative<UsageError>(parsed)) << row.join(' ').toStdString();
        EXPECT_EQ(std::get<UsageError>(parsed).text, message) << row.join(' ').toStdString();
    }
}

class ProxyPassword : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_hadVariable = qEnvironmentVariableIsSet(kVariable);
        m_saved = qgetenv(kVariable);
        qunsetenv(kVariable);
    }
    void TearDown() override
    {
        if (m_hadVariable)
            qputenv(kVariable, m_saved);
        else
            qunsetenv(kVariable);
    }

    std::variant<CheckArguments, UsageError> parse(const QStringList& passwordOptions)
    {
        return parseCheckArguments(QStringList { "--proxy", "proxy.local:3128", "--proxy-user", "ivan" }
            + passwordOptions + QStringList { "a.zlt" });
    }

    QString password(const QStringList& passwordOptions)
    {
        const auto parsed = parse(passwordOptions);
        if (const auto* error = std::get_if<UsageError>(&parsed))
            return "usage error: " + error->text;
        return std::get<CheckArguments>(parsed).proxy->password;
    }

    QString writeFile(const QByteArray& bytes)
    {
        const QString path = m_dir.filePath("password");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static constexpr const char* kVariable = "KESTROVA_PROXY_PASSWORD";
    QTemporaryDir m_dir;
    bool m_hadVariable = false;
    QByteArray m_saved;
};

TEST_F(ProxyPassword, ComesFromTheEnvironmentWhenNoOptionGivesIt)
{
    EXPECT_EQ(password({}), "");
    qputenv(kVariable, "from environment");
    EXPECT_EQ(password({}), "from environment");
    EXPECT_EQ(password({ "--proxy-pass", "typed" }), "typed");
    EXPECT_EQ(password({ "--proxy-pass-file", writeFile("from file\n") }), "from file");
}

TEST_F(ProxyPassword, FileGivesItsFirstLineWithoutTheLineEnd)
{
    EXPECT_EQ(password({ "--proxy-pass-file", writeFile("секрет\r\nsecond line\n") }), "секрет");
    EXPECT_EQ(password({ "--proxy-pass-file", writeFile(" spaces stay ") }), " spaces stay ");
    EXPECT_EQ(password({ "--proxy-pass-file", writeFile("") }), "");
}

TEST_F(ProxyPassword, UnreadableFileIsBadUsageNamingTheFile)
{
    for (const QString& path : { m_dir.filePath("missing"), m_dir.path(), QStringLiteral("/dev/zero"),
             writeFile(QByteArray(5000, 'x')) }) {
        const QString result = password({ "--proxy-pass-file", path });
        EXPECT_TRUE(result.startsWith("usage error: не удалось прочитать файл пароля \"" + path + "\": "))
            << result.toStdString();
    }
}

TEST_F(ProxyPassword, AFileOthersOrTheGroupMayWriteToIsRefused)
{
    const QString path = writeFile("secret\n");
    for (const QFile::Permission writer : { QFile::WriteOther, QFile::WriteGroup }) {
        ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | writer));
        EXPECT_EQ(password({ "--proxy-pass-file", path }),
            "usage error: не удалось прочитать файл пароля \"" + path
                + "\": Его могут изменить другие пользователи; выполните: chmod go-w '" + path + "'");
    }
}

} // namespace
