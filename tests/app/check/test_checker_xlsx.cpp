#include "support/CheckerProgram.h"
#include "support/ProjectFiles.h"
#include "support/RussianLocale.h"
#include "support/SandboxEngines.h"
#include "support/WorkbookReader.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <xlsxwriter.h>

namespace {

class CheckerWorkbook : public ::testing::Test {
protected:
    struct Result {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.started());
        ASSERT_TRUE(
            m_sandbox.command("cy 120\npr 4\nplace GoogleCom kw1 13\nplace YandexRu kw1 7\ncount 1520"));
    }

    Result check(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment
            = checkerEnvironment(m_sandbox.endpointsFile(), m_dir.filePath(QStringLiteral("config")));
        process.setProcessEnvironment(environment);
        process.start(checkerProgram(), arguments);
        EXPECT_TRUE(process.waitForFinished(120000));
        return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError() };
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    SandboxEngines m_sandbox { 2 };
};

TEST_F(CheckerWorkbook, WritesTheReportOfTheCheckItRan)
{
    const QString project = path(QStringLiteral("Окна.v2.zlt"));
    ASSERT_TRUE(writeProjectFile(project,
        { QStringLiteral("http://www.example.ru/"), { QStringLiteral("kw1") },
            { "GoogleCom", "YandexRu" } }));
    const QString xlsx = path(QStringLiteral("report.xlsx"));

    const Result result = check({ "--json", "--xlsx", xlsx, project });

    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    QString error;
    const auto workbook = WorkbookReader::read(xlsx, &error);
    ASSERT_TRUE(workbook) << error.toStdString();
    EXPECT_EQ(workbook->sheetName(), QStringLiteral("Окна.v2"));
    EXPECT_TRUE(workbook->text(3, 3).startsWith(QStringLiteral("Дата: ")));
    EXPECT_EQ(workbook->text(5, 3), QStringLiteral("http://www.example.ru/"));
    EXPECT_EQ(workbook->text(5, 6), QStringLiteral("4"));
    EXPECT_EQ(workbook->text(5, 12), QStringLiteral("120"));
    EXPECT_EQ(workbook->text(9, 3), QStringLiteral("kw1"));
    EXPECT_EQ(workbook->text(9, 5), QStringLiteral("13"));
    EXPECT_EQ(workbook->cell(9, 5)["type"].toString(), "s");
    EXPECT_EQ(workbook->text(9, 6), QStringLiteral("-"));
    EXPECT_EQ(workbook->text(9, 8), QString()); // Google.ru was not ticked
    EXPECT_EQ(workbook->text(9, 11), QStringLiteral("7"));
    EXPECT_EQ(workbook->text(9, 12), QStringLiteral("1520"));
    EXPECT_EQ(workbook->text(21, 2), QStringLiteral("7"));
    EXPECT_EQ(workbook->text(21, 12), QString());

    // Every cell the check wrote is in its place.
    const QJsonArray cells = QJsonDocument::fromJson(result.out).object()["cells"].toArray();
    ASSERT_EQ(cells.size(), 14);
    const QStringList keys { "GoogleCom", "GoogleRu", "YandexRu", "RamblerRu", "AportRu", "MSNCom" };
    for (const QJsonValue& value : cells) {
        const QJsonObject cell = value.toObject();
        const int row = 7 + 2 * cell["n"].toInt();
        const int column = 5 + 3 * int(keys.indexOf(cell["engine"].toString()));
        EXPECT_EQ(workbook->text(row, column), cell["rank"].toString()) << row << "," << column;
        if (cell.contains("count")) {
            EXPECT_EQ(workbook->text(row, column + 1), cell["count"].toString()) << row;
        }
    }
}

TEST_F(CheckerWorkbook, AWorkbookThatCannotBeWrittenEndsWithExitOne)
{
    const QString project = path(QStringLiteral("site.zlt"));
    ASSERT_TRUE(writeProjectFile(project,
        { QStringLiteral("http://www.example.ru/"), { QStringLiteral("kw1") },
            { "GoogleCom", "YandexRu" } }));
    const QString xlsx = path(QStringLiteral("missing/report.xlsx"));

    const Result result = check({ "--xlsx", xlsx, project });

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.contains("kw1")) << result.out.constData(); // the table is still printed
    EXPECT_TRUE(
        QString::fromUtf8(result.err)
            .contains(
                QStringLiteral("kestrova-check: книга %1 не записана: Cannot create file \"%1\".").arg(xlsx)))
        << result.err.constData();
    EXPECT_FALSE(QFile::exists(xlsx));
}

struct ProjectAndSheet {
    const char* projectFile;
    const char* sheet;
};

class CheckerSheetName : public CheckerWorkbook, public ::testing::WithParamInterface<ProjectAndSheet> { };

TEST_P(CheckerSheetName, ANameTheWorkbookWouldRefuseIsMadeValid)
{
    const QString project = path(QString::fromUtf8(GetParam().projectFile));
    ASSERT_TRUE(writeProjectFile(
        project, { QStringLiteral("http://www.example.ru/"), { QStringLiteral("kw1") }, { "GoogleCom" } }));
    const QString xlsx = path(QStringLiteral("report.xlsx"));

    const Result result = check({ "--no-history", "--xlsx", xlsx, project });

    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    QString error;
    const auto workbook = WorkbookReader::read(xlsx, &error);
    ASSERT_TRUE(workbook) << error.toStdString();
    EXPECT_EQ(workbook->sheetName(), QString::fromUtf8(GetParam().sheet));
    EXPECT_EQ(workbook->text(9, 5), QStringLiteral("13"));
}

INSTANTIATE_TEST_SUITE_P(ProjectFiles, CheckerSheetName,
    ::testing::Values(ProjectAndSheet { "a[1].zlt", "a_1_" },
        ProjectAndSheet { "Интернет-магазин бытовой техники.zlt", "Интернет-магазин бытовой техник" },
        ProjectAndSheet { "History.zlt", "History_" }, ProjectAndSheet { "'site'.zlt", "site" }));

TEST_F(CheckerWorkbook, UnderTheCLocaleTheReportDateIsRussian)
{
    const QString project = path(QStringLiteral("site.zlt"));
    ASSERT_TRUE(writeProjectFile(
        project, { QStringLiteral("http://www.example.ru/"), { QStringLiteral("kw1") }, { "GoogleCom" } }));
    const QString xlsx = path(QStringLiteral("report.xlsx"));
    QProcess process;
    QProcessEnvironment environment
        = checkerEnvironment(m_sandbox.endpointsFile(), m_dir.filePath(QStringLiteral("config")));
    environment.remove(QStringLiteral("LC_ALL"));
    environment.remove(QStringLiteral("LC_TIME"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    const QDate before = QDate::currentDate();
    process.start(checkerProgram(), { "--no-history", "--xlsx", xlsx, project });
    ASSERT_TRUE(process.waitForFinished(120000));
    const QDate after = QDate::currentDate();
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();

    QString error;
    const auto workbook = WorkbookReader::read(xlsx, &error);
    ASSERT_TRUE(workbook) << error.toStdString();
    const QString date = workbook->text(3, 3);
    EXPECT_TRUE(date == QStringLiteral("Дата: ") + before.toString(QStringLiteral("dd.MM.yyyy"))
        || date == QStringLiteral("Дата: ") + after.toString(QStringLiteral("dd.MM.yyyy")))
        << date.toStdString();
}

// Under a Russian desktop's locale the C library writes "0,7" for 0.7: no number of the workbook
// or of the JSON may follow it.
TEST_F(CheckerWorkbook, UnderARussianLocaleTheNumbersStayNumbers)
{
    const RussianLocale russian;
    ASSERT_TRUE(russian.ready()) << russian.problem().toStdString();
    const QString project = path(QStringLiteral("site.zlt"));
    ASSERT_TRUE(writeProjectFile(
        project, { QStringLiteral("http://www.example.ru/"), { QStringLiteral("kw1") }, { "GoogleCom" } }));
    const QString xlsx = path(QStringLiteral("report.xlsx"));
    QProcess process;
    process.setProcessEnvironment(russian.apply(
        checkerEnvironment(m_sandbox.endpointsFile(), m_dir.filePath(QStringLiteral("config")))));
    process.start(checkerProgram(), { "--json", "--no-history", "--xlsx", xlsx, project });
    ASSERT_TRUE(process.waitForFinished(120000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    QJsonParseError parseError;
    QJsonDocument::fromJson(process.readAllStandardOutput(), &parseError);
    EXPECT_EQ(parseError.error, QJsonParseError::NoError) << parseError.errorString().toStdString();

    QString error;
    const auto workbook = WorkbookReader::read(xlsx, &error);
    ASSERT_TRUE(workbook) << error.toStdString();
    EXPECT_EQ(workbook->columnWidth(3), 27.57);
    EXPECT_EQ(workbook->rowHeight(1), 15.75);
}

TEST_F(CheckerWorkbook, UsageNamesTheOption)
{
    Result result = check({ "--help" });
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.contains("[--xlsx ФАЙЛ]")) << result.out.constData();
    EXPECT_TRUE(
        result.out.contains("  --xlsx ФАЙЛ             записать также отчёт о проверке в книгу ФАЙЛ\n"))
        << result.out.constData();

    result = check({ "--xlsx" });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains("--xlsx требует значения")) << result.err.constData();

    result = check({ "--xlsx", "", path(QStringLiteral("site.zlt")) });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains("--xlsx требует имени файла")) << result.err.constData();
    EXPECT_TRUE(m_sandbox.requests().isEmpty());
}

} // namespace

TEST_F(CheckerWorkbook, AFifoAtTheWorkbookPathIsRefusedAndLeftAFifo)
{
    const QString project = path(QStringLiteral("site.zlt"));
    ASSERT_TRUE(writeProjectFile(
        project, { QStringLiteral("http://www.example.ru/"), { QStringLiteral("kw1") }, { "GoogleCom" } }));
    const QString fifo = path(QStringLiteral("report.xlsx"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    const Result result = check({ "--no-history", "--xlsx", fifo, project });

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(
        QString::fromUtf8(result.err)
            .contains(QStringLiteral("Cannot create file \"%1\". Это канал (FIFO), а не обычный файл; "
                                     "он оставлен как есть.")
                          .arg(fifo)))
        << result.err.constData();
    struct stat info { };
    ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}
