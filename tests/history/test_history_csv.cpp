#include "history/HistoryCsv.h"
#include "history/HistoryError.h"
#include "history/HistoryFixtures.h"
#include "history/HistoryStore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QDateTime kTime(QDate(2026, 12, 7), QTime(12, 30, 5), Qt::UTC);

TEST(HistoryCsv, KnownHistoryByteForByte)
{
    RecordedCheck stopped = sampleCheck(kTime.addDays(1), std::nullopt);
    stopped.outcome = CheckOutcome::Stopped;
    stopped.definitionsVersion.clear(); // as a check recorded before the definitions were
    RecordedCheck spending = sampleCheck(kTime);
    spending.apiRequests.counts = { 2, 0, 1 };
    const QByteArray expected = QByteArray("\xEF\xBB\xBF")
        + "time,site,keyword,engine,position,result_page,query_count,cy,pagerank,reason,outcome,"
          "definitions,region,host,user,yandex-search-api,serp-json,yandex-wordstat-api\r\n"
          "2026-12-07T12:30:05Z,http://www.пример.рф/,купить "
          "слона,Yandex.ru,7,1,1520,120,n/a,found,completed,2026.12.7.1,,office-7,анна,2,0,1\r\n"
          "2026-12-07T12:30:05Z,http://www.пример.рф/,\"слон, "
          "\"\"розовый\"\"\",Google.com,,50,,120,n/a,failed,"
          "completed,2026.12.7.1,,office-7,анна,,,\r\n"
          "2026-12-08T12:30:05Z,http://www.пример.рф/,купить "
          "слона,Yandex.ru,,20,1520,120,n/a,not-found,stopped,,,office-7,анна,0,0,0\r\n"
          "2026-12-08T12:30:05Z,http://www.пример.рф/,\"слон, "
          "\"\"розовый\"\"\",Google.com,,50,,120,n/a,failed,"
          "stopped,,,office-7,анна,,,\r\n";
    EXPECT_EQ(historyCsv({ spending, stopped }), expected);
}

using HistoryCsvOfAStore = OnEachStore;

TEST_P(HistoryCsvOfAStore, WrittenWhileReadFromTheHistoryByteForByte)
{
    QTemporaryDir dir;
    HistoryStore store(m_history.location());
    RecordedCheck other = sampleCheck(kTime.addSecs(60), 3);
    other.site = QStringLiteral("http://другой.рф");
    other.results.resize(1);
    ASSERT_TRUE(store.record(sampleCheck(kTime.addDays(1), std::nullopt)));
    ASSERT_TRUE(store.record(other));
    RecordedCheck spending = sampleCheck(kTime);
    spending.apiRequests.counts = { 2, 4, 1 };
    ASSERT_TRUE(store.record(spending));
    const QString site = QStringLiteral("пример.рф");
    const QString path = dir.filePath(QStringLiteral("site.csv"));
    writeHistoryCsv(path, store, &site);
    const QByteArray header = QByteArray("\xEF\xBB\xBF")
        + "time,site,keyword,engine,position,result_page,query_count,cy,pagerank,reason,outcome,"
          "definitions,region,host,user,yandex-search-api,serp-json,yandex-wordstat-api\r\n";
    const QByteArray first
        = "2026-12-07T12:30:05Z,http://www.пример.рф/,купить "
          "слона,Yandex.ru,7,1,1520,120,n/a,found,completed,2026.12.7.1,,office-7,анна,2,4,1\r\n"
          "2026-12-07T12:30:05Z,http://www.пример.рф/,\"слон, "
          "\"\"розовый\"\"\",Google.com,,50,,120,n/a,failed,completed,2026.12.7.1,,office-7,анна,,,\r\n";
    const QByteArray last
        = "2026-12-08T12:30:05Z,http://www.пример.рф/,купить "
          "слона,Yandex.ru,,20,1520,120,n/a,not-found,completed,2026.12.7.1,,office-7,анна,0,0,0\r\n"
          "2026-12-08T12:30:05Z,http://www.пример.рф/,\"слон, "
          "\"\"розовый\"\"\",Google.com,,50,,120,n/a,failed,completed,2026.12.7.1,,office-7,анна,,,\r\n";
    EXPECT_EQ(fileBytes(path), header + first + last);

    writeHistoryCsv(path, store, nullptr);
    EXPECT_EQ(fileBytes(path),
        header + first
            + "2026-12-07T12:31:05Z,http://другой.рф,купить "
              "слона,Yandex.ru,3,1,1520,120,n/a,found,completed,2026.12.7.1,,office-7,анна,0,0,0\r\n"
            + last);
}

TEST_P(HistoryCsvOfAStore, ALongHistoryWrittenInPiecesIsTheWholeOne)
{
    QTemporaryDir dir;
    HistoryStore store(m_history.location());
    for (int day = 0; day < 1500; ++day)
        ASSERT_TRUE(store.record(
            sampleCheck(kTime.addDays(day), day % 3 ? std::optional<int>(day % 50 + 1) : std::nullopt)));
    const QString path = dir.filePath(QStringLiteral("all.csv"));
    writeHistoryCsv(path, store, nullptr);
    const QByteArray written = fileBytes(path);
    EXPECT_GT(written.size(), 300000);
    EXPECT_EQ(written, historyCsv(store.allChecks()));
}

TEST(HistoryCsv, EmptyHistoryIsTheHeaderAlone)
{
    EXPECT_EQ(historyCsv({}),
        QByteArray(
            "\xEF\xBB\xBFtime,site,keyword,engine,position,result_page,query_count,cy,pagerank,reason,"
            "outcome,definitions,region,host,user,yandex-search-api,serp-json,yandex-wordstat-api\r\n"));
}

// Each store writes the rows its own way (the server writes them itself); both guard alike.
TEST_P(HistoryCsvOfAStore, TextsThatASpreadsheetWouldRunAreWrittenAsText)
{
    const std::pair<const char*, const char*> rows[] = {
        { "=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\"" },
        { "+7 слон", "'+7 слон" },
        { "-слон", "'-слон" },
        { "@SUM(A1)", "'@SUM(A1)" },
        { "\tслон", "'\tслон" },
        { "\r5", "\"'\r5\"" },
        { "-", "'-" },
        { "-.", "'-." },
        { "-inf", "'-inf" },
        { "-1e", "'-1e" },
        { "-5", "-5" },
        { "+1.5", "+1.5" },
        { "-.5E+3", "-.5E+3" },
        { "+5.", "+5." },
        { "слон = 1", "слон = 1" },
    };
    RecordedCheck check = sampleCheck(kTime);
    check.results.resize(1);
    const RecordedResult model = check.results[0];
    check.results.clear();
    for (const auto& [keyword, field] : rows) {
        check.results.append(model);
        check.results.back().keyword = QString::fromUtf8(keyword);
    }
    HistoryStore store(m_history.location());
    ASSERT_TRUE(store.record(check));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("guarded.csv"));
    writeHistoryCsv(path, store, nullptr);
    const QByteArray all = fileBytes(path);
    for (const auto& [keyword, field] : rows)
        EXPECT_TRUE(all.contains(",http://www.пример.рф/," + QByteArray(field) + ",Yandex.ru,")) << keyword;
}

// Python's csv module, as a script reading the export would.
TEST(HistoryCsv, PythonReadsBackEveryField)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.csv"));
    RecordedCheck check = sampleCheck(kTime);
    check.results[1].keyword = QStringLiteral("строка\r\nвторая, \"третья\"");
    writeHistoryCsv(path, { check });

    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
        { QStringLiteral("-c"),
            QStringLiteral("import csv, json, sys\n"
                           "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                           "    print(json.dumps(list(csv.reader(f, strict=True))))\n"),
            path });
    ASSERT_TRUE(python.waitForFinished(30000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().constData();
    const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].toArray().size(), 18);
    EXPECT_EQ(rows[0].toArray()[0].toString(), QStringLiteral("time"));
    EXPECT_EQ(rows[0].toArray()[11].toString(), QStringLiteral("definitions"));
    EXPECT_EQ(rows[0].toArray()[12].toString(), QStringLiteral("region"));
    EXPECT_EQ(rows[0].toArray()[13].toString(), QStringLiteral("host"));
    EXPECT_EQ(rows[0].toArray()[14].toString(), QStringLiteral("user"));
    EXPECT_EQ(rows[1].toArray()[13].toString(), QStringLiteral("office-7"));
    EXPECT_EQ(rows[1].toArray()[14].toString(), QStringLiteral("анна"));
    EXPECT_EQ(rows[0].toArray()[15].toString(), QStringLiteral("yandex-search-api"));
    EXPECT_EQ(rows[1].toArray()[15].toString(), QStringLiteral("0"));
    EXPECT_EQ(rows[2].toArray()[17].toString(), QString());
    EXPECT_EQ(rows[1].toArray()[11].toString(), QStringLiteral("2026.12.7.1"));
    EXPECT_EQ(rows[1].toArray()[2].toString(), QStringLiteral("купить слона"));
    EXPECT_EQ(rows[1].toArray()[4].toString(), QStringLiteral("7"));
    EXPECT_EQ(rows[2].toArray()[2].toString(), check.results[1].keyword);
    EXPECT_EQ(rows[2].toArray()[9].toString(), QStringLiteral("failed"));
}

TEST(HistoryCsv, UnwritableTargetIsReportedAndNothingIsLeft)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing-folder/history.csv"));
    EXPECT_THROW(writeHistoryCsv(path, { sampleCheck(kTime) }), HistoryError);
    EXPECT_FALSE(QFile::exists(path));
}

KS_ON_EACH_STORE(HistoryCsvOfAStore);

} // namespace
