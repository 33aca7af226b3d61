#include "app/check/CheckArguments.h"
#include "app/check/CheckReport.h"

#include <gtest/gtest.h>

namespace {

CheckReport sampleReport()
{
    CheckReport report;
    report.site = QStringLiteral("http://www.example.ru/");
    report.cy = { QStringLiteral("120"), Outcome::figureRead() };
    report.pr = { QStringLiteral("n/a"), Outcome::failed(6, QStringLiteral("HTTP 500")) };
    report.elapsed = QStringLiteral("0:00:07");
    report.keywords = QStringList { QStringLiteral("окна \"ПВХ\""), {}, {}, {}, {}, {}, {} };
    report.cells = {
        CellRecord { Engine::GoogleCom, 1, QStringLiteral("13"), 2, std::nullopt, { Reason::Found, "p2" }, {} },
        CellRecord { Engine::YandexRu, 1, QStringLiteral("7"), 1, QStringLiteral("1520"), { Reason::Found, "p1" },
            { Reason::Found, "read" } },
        CellRecord { Engine::YandexRu, 2, QString(), std::nullopt, QString(), { Reason::NotAsked, "empty" },
            { Reason::NotAsked, "empty" } },
    };
    return report;
}

TEST(CheckOutput, JsonHoldsTheCellsInWriteOrder)
{
    CheckReport report = sampleReport();
    report.error = QStringLiteral("'8a' is not a valid integer value");
    EXPECT_EQ(QString::fromUtf8(formatJson(report)),
        QStringLiteral(
            "{\"site\": \"http://www.example.ru/\", \"cy\": \"120\", \"cy_reason\": \"found\", "
            "\"cy_detail\": \"Значение прочитано со страницы сервиса\", \"pr\": \"n/a\", "
            "\"pr_reason\": \"failed\", \"pr_detail\": \"Запрос не удался 6 раз: HTTP 500\", "
            "\"elapsed\": \"0:00:07\", "
            "\"stopped\": false, \"error\": \"'8a' is not a valid integer value\", "
            "\"keywords\": [\"окна \\\"ПВХ\\\"\", \"\", \"\", \"\", \"\", \"\", \"\"], \"cells\": ["
            "{\"engine\": \"GoogleCom\", \"n\": 1, \"rank\": \"13\", \"page\": 2, \"reason\": \"found\", "
            "\"detail\": \"p2\"}, "
            "{\"engine\": \"YandexRu\", \"n\": 1, \"rank\": \"7\", \"page\": 1, \"count\": \"1520\", "
            "\"reason\": \"found\", \"detail\": \"p1\", \"count_reason\": \"found\", \"count_detail\": \"read\"}, "
            "{\"engine\": \"YandexRu\", \"n\": 2, \"rank\": \"\", \"page\": null, \"count\": \"\", "
            "\"reason\": \"not-asked\", \"detail\": \"empty\", \"count_reason\": \"not-asked\", "
            "\"count_detail\": \"empty\"}]}\n"));
}

TEST(CheckOutput, JsonEscapesControlCharacters)
{
    CheckReport report;
    report.site = QStringLiteral("a\\b\tc\x01");
    report.stopped = true;
    EXPECT_TRUE(formatJson(report).startsWith("{\"site\": \"a\\\\b\\tc\\u0001\""));
    EXPECT_TRUE(formatJson(report).contains("\"stopped\": true, \"error\": null"));
}

TEST(CheckOutput, TableShowsTheLastWriteOfEveryCell)
{
    CheckReport report = sampleReport();
    report.cells.append(CellRecord { Engine::GoogleCom, 1, QStringLiteral("n/a"), 50, std::nullopt, {}, {} });
    report.stopped = true;
    const QStringList lines = formatTable(report).split(u'\n');
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral("Сайт: http://www.example.ru/"));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("№ | Ключевое слово")));
    EXPECT_TRUE(lines[4].startsWith(QStringLiteral("1 | окна \"ПВХ\"")));
    EXPECT_TRUE(lines[4].contains(QStringLiteral("| n/a (50)")));
    EXPECT_TRUE(lines[4].contains(QStringLiteral("| 7 (1) / 1520")));
    EXPECT_TRUE(formatTable(report).contains(QStringLiteral("Проверка остановлена.")));
}

TEST(CheckOutput, ProgressNamesEngineKeywordAndResult)
{
    const CellRecord yandex { Engine::YandexRu, 1, QStringLiteral("7"), 1, QStringLiteral("1520"), {}, {} };
    const CellRecord blank { Engine::MSNCom, 4, QString(), std::nullopt, std::nullopt, {}, {} };
    EXPECT_EQ(
        formatProgress(Engine::YandexRu, 1, &yandex), QStringLiteral("YandexRu 1: 7 (page 1), count 1520"));
    EXPECT_EQ(formatProgress(Engine::MSNCom, 4, &blank), QStringLiteral("MSNCom 4: empty keyword"));
    EXPECT_EQ(formatProgress(Engine::AportRu, 2, nullptr), QStringLiteral("AportRu 2: skipped"));
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

TEST(CheckArgumentsTest, RefusesBadUsage)
{
    const QList<QStringList> rows = {
        {},
        { "--json" },
        { "a.zlt", "b.zlt" },
        { "--proxy", "a.zlt" }, // the project file taken as the proxy, then none left
        { "--proxy", "nocolon", "a.zlt" },
        { "--proxy-user", "ivan", "a.zlt" },
        { "--proxy", "h:1", "--proxy-pass", "x", "a.zlt" },
        { "--verbose", "a.zlt" },
        { "--proxy", "h:1", "--proxy", "h:2", "a.zlt" },
    };
    for (const QStringList& row : rows)
        EXPECT_TRUE(std::holds_alternative<UsageError>(parseCheckArguments(row)))
            << row.join(' ').toStdString();
}

} // namespace
