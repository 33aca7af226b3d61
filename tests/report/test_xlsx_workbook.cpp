#include "ReportSamples.h"
#include "report/ReportExport.h"
#include "report/ReportGrid.h"
#include "report/WorkbookError.h"
#include "report/XlsxFile.h"
#include "support/WorkbookReader.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <xlsxwriter.h>

namespace {

// The report as the reader sees it.
class XlsxReport : public ::testing::Test {
protected:
    QString write(const QString& sheetName, const ReportSample& sample)
    {
        const QString path = m_dir.filePath(QStringLiteral("report.xlsx"));
        XlsxFile::saveAs(ReportExport::workbook({ sheetName, sample.project, sample.results,
                             QDate(2026, 12, 7), QLocale(QLocale::Russian, QLocale::Russia) }),
            path);
        return path;
    }

    WorkbookReader read(const QString& path)
    {
        QString error;
        std::optional<WorkbookReader> reader = WorkbookReader::read(path, &error);
        if (!reader)
            ADD_FAILURE() << error.toStdString();
        return reader.value_or(WorkbookReader());
    }

    WorkbookReader sample() { return read(write(QStringLiteral("Новый проект"), checkedProject())); }

    QTemporaryDir m_dir;
};

bool inside(int row, int column, int top, int left, int bottom, int right)
{
    return row >= top && row <= bottom && column >= left && column <= right;
}

bool isKeywordRow(int row)
{
    return row >= 9 && row <= 21 && row % 2 == 1;
}

TEST_F(XlsxReport, EveryTextOfTheGridIsATextCell)
{
    const WorkbookReader workbook = sample();
    const ReportSample checked = checkedProject();
    const ReportGrid grid = ReportGrid::build(
        checked.project, checked.results, QDate(2026, 12, 7), QLocale(QLocale::Russian, QLocale::Russia));
    int texts = 0;
    for (int row = 1; row <= 40; ++row) {
        for (int column = 1; column <= 25; ++column) {
            const QJsonObject cell = workbook.cell(row, column);
            const QString expected = grid.text(row, column);
            if (expected.isEmpty()) {
                EXPECT_TRUE(cell["value"].isNull()) << row << "," << column;
                continue;
            }
            ++texts;
            EXPECT_EQ(cell["type"].toString(), "s") << row << "," << column;
            EXPECT_EQ(cell["value"].toString(), expected) << row << "," << column;
        }
    }
    // Fixed cells, row 7 labels, row 8 sub-headers, legend and footer, then seven keyword rows less
    // the empty keyword 4 and the blank Aport.ru position of keyword 1.
    EXPECT_EQ(texts, 11 + 6 + 12 + 6 + 7 * 14 - 2);
    EXPECT_EQ(workbook.text(1, 3), QStringLiteral("Результаты поисковых позиций"));
    EXPECT_EQ(workbook.text(7, 20), QStringLiteral("Msn.com"));
    EXPECT_EQ(workbook.text(9, 5), QStringLiteral("007"));
    EXPECT_EQ(workbook.text(9, 11), QStringLiteral("07.12.2026"));
    EXPECT_EQ(workbook.text(9, 14), QStringLiteral("=1+1"));
    EXPECT_EQ(workbook.text(11, 8), QStringLiteral("2.20"));
    EXPECT_EQ(workbook.text(36, 3), QStringLiteral("Отчет сгенерирован программой Kestrova Sertrix"));
}

TEST_F(XlsxReport, SheetIsNamedAfterTheTab)
{
    EXPECT_EQ(sample().sheetNames(), QStringList { QStringLiteral("Новый проект") });
    EXPECT_EQ(
        read(write(QStringLiteral("site.v2"), {})).sheetNames(), QStringList { QStringLiteral("site.v2") });
}

TEST_F(XlsxReport, FillsCoverRowsFourAndFiveFromDAndTheKeywordRowsFromC)
{
    const WorkbookReader workbook = sample();
    for (int row = 1; row <= 40; ++row) {
        for (int column = 1; column <= 25; ++column) {
            const bool filled
                = inside(row, column, 4, 4, 5, 21) || (isKeywordRow(row) && column >= 3 && column <= 21);
            const QJsonValue fill = workbook.cell(row, column)["fill"];
            if (filled)
                EXPECT_EQ(fill.toString(), "FFCCFFCC") << row << "," << column;
            else
                EXPECT_TRUE(fill.isNull()) << row << "," << column;
        }
    }
}

TEST_F(XlsxReport, BordersRunAroundTheTwoBlocksOnly)
{
    const WorkbookReader workbook = sample();
    const QJsonObject thinBlack { { "style", "thin" }, { "color", "FF000000" } };
    struct Block {
        int top, left, bottom, right;
    };
    const Block blocks[] = { { 3, 2, 24, 21 }, { 26, 2, 36, 21 } };
    for (int row = 1; row <= 40; ++row) {
        for (int column = 1; column <= 25; ++column) {
            bool top = false, bottom = false, left = false, right = false;
            for (const Block& b : blocks) {
                if (!inside(row, column, b.top, b.left, b.bottom, b.right))
                    continue;
                top = row == b.top;
                bottom = row == b.bottom;
                left = column == b.left;
                right = column == b.right;
            }
            const QJsonObject cell = workbook.cell(row, column);
            const auto expect = [&](const char* side, bool set) {
                if (set)
                    EXPECT_EQ(cell[side].toObject(), thinBlack) << side << " " << row << "," << column;
                else
                    EXPECT_TRUE(cell[side].isNull()) << side << " " << row << "," << column;
            };
            expect("top", top);
            expect("bottom", bottom);
            expect("left", left);
            expect("right", right);
        }
    }
}

TEST_F(XlsxReport, FontsBoldSizesAndTheSilverFooter)
{
    const WorkbookReader workbook = sample();
    for (int row = 1; row <= 40; ++row) {
        for (int column = 1; column <= 25; ++column) {
            const bool bold = (row == 1 && column == 3) || inside(row, column, 4, 5, 5, 5)
                || inside(row, column, 4, 11, 5, 11) || inside(row, column, 7, 5, 7, 21);
            double size = 11; // the workbook's default font
            if (inside(row, column, 3, 2, 24, 21))
                size = 9;
            if (inside(row, column, 26, 2, 36, 21))
                size = 8;
            if (row == 1 && column == 3)
                size = 12;
            if (inside(row, column, 8, 5, 8, 21))
                size = 8;
            const QJsonObject cell = workbook.cell(row, column);
            EXPECT_EQ(cell["bold"].toBool(), bold) << row << "," << column;
            EXPECT_EQ(cell["size"].toDouble(), size) << row << "," << column;
            if (row == 36 && column == 3)
                EXPECT_EQ(cell["fontColor"].toString(), "FFC0C0C0");
            else
                EXPECT_TRUE(cell["fontColor"].isNull()) << row << "," << column;
        }
    }
}

TEST_F(XlsxReport, RowHeightsInPointsAndColumnWidthsInCharacters)
{
    const WorkbookReader workbook = sample();
    for (int row = 1; row <= 40; ++row)
        EXPECT_EQ(workbook.rowHeight(row), row <= 2 ? 15.75 : 12.0) << row;
    EXPECT_FALSE(workbook.rowHeight(41));

    const double widths[] = { 0.75, 1.43, 27.57, 0.83, 6.29, 6.71, 0.83, 6.29, 6.71, 0.83, 6.29, 6.71, 0.83,
        6.29, 6.71, 0.83, 6.29, 6.71, 0.83, 6.29, 6.71 };
    for (int column = 1; column <= 21; ++column)
        EXPECT_EQ(workbook.columnWidth(column), widths[column - 1]) << column;
    for (int column = 22; column <= 25; ++column)
        EXPECT_FALSE(workbook.columnWidth(column)) << column;
}

TEST_F(XlsxReport, MarkupEscapesAndLongTextsSurviveTheFile)
{
    ReportSample sample;
    Project& texts = sample.project;
    texts.keywords[0] = QStringLiteral("tab\there & <b>\"x\"</b>\nline");
    texts.site = QString(32000, u'ж');
    texts.keywords[1] = QStringLiteral("_x0041_x0042_ and _x20AC_");
    texts.keywords[2] = QStringLiteral("nul") + QChar(0) + QStringLiteral("inside");
    const WorkbookReader workbook = read(write(QStringLiteral("Новый проект"), sample));
    EXPECT_EQ(workbook.text(9, 3), texts.keywords[0]);
    EXPECT_EQ(workbook.text(5, 3), texts.site);
    // A spreadsheet reads every "_xHHHH_" of a stored string as one escaped character; texts
    // that look like such escapes still read as typed, and a NUL does not cut a text short.
    const auto decoded = [](const QString& stored) {
        static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
        QString text;
        qsizetype done = 0;
        for (auto it = escape.globalMatch(stored); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            text += stored.mid(done, match.capturedStart() - done)
                + QChar(match.captured(1).toUShort(nullptr, 16));
            done = match.capturedEnd();
        }
        return text + stored.mid(done);
    };
    QStringList read;
    for (const QString& stored : workbook.storedStrings())
        read << decoded(stored);
    EXPECT_TRUE(read.contains(texts.keywords[1])) << read.join(u'|').toStdString();
    EXPECT_TRUE(read.contains(texts.keywords[2]));
}

TEST_F(XlsxReport, TextTooLongForACellEndsTheExportAndKeepsTheOldFile)
{
    const QString path = m_dir.filePath(QStringLiteral("report.xlsx"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("previous report");
    old.close();

    ReportSample sample;
    sample.project.keywords[2] = QString(40000, u'x');
    try {
        write(QStringLiteral("Новый проект"), sample);
        FAIL() << "a text over the cell limit was written";
    } catch (const WorkbookError& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()),
            QStringLiteral("Не удалось создать книгу Excel: ")
                + QString::fromUtf8(lxw_strerror(LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)));
    }
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "previous report");
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "report.xlsx" });
}

struct CaptionAndSheet {
    const char* caption;
    const char* sheet;
};

class SheetNameOfCaption : public ::testing::TestWithParam<CaptionAndSheet> { };

TEST_P(SheetNameOfCaption, IsMadeValidAndTheWorkbookIsWritten)
{
    const CaptionAndSheet& row = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.xlsx"));
    const ReportSample sample = checkedProject();
    XlsxFile::saveAs(ReportExport::workbook({ QString::fromUtf8(row.caption), sample.project, sample.results,
                         QDate(2026, 12, 7), QLocale(QLocale::Russian, QLocale::Russia) }),
        path);

    QString error;
    const std::optional<WorkbookReader> workbook = WorkbookReader::read(path, &error);
    ASSERT_TRUE(workbook) << error.toStdString();
    EXPECT_EQ(workbook->sheetName(), QString::fromUtf8(row.sheet));
    EXPECT_EQ(workbook->text(1, 3), QStringLiteral("Результаты поисковых позиций"));
}

INSTANTIATE_TEST_SUITE_P(Captions, SheetNameOfCaption,
    ::testing::Values(CaptionAndSheet { "Новый проект", "Новый проект" },
        CaptionAndSheet { "Проект номер тридцать один знак", "Проект номер тридцать один знак" },
        CaptionAndSheet { "it's a.b", "it's a.b" },
        CaptionAndSheet { "Интернет-магазин бытовой техники", "Интернет-магазин бытовой техник" },
        CaptionAndSheet { "a[1]", "a_1_" }, CaptionAndSheet { "x:y", "x_y" },
        CaptionAndSheet { "why?", "why_" }, CaptionAndSheet { "a*b", "a_b" },
        CaptionAndSheet { "back\\slash/slash", "back_slash_slash" }, CaptionAndSheet { "'quoted'", "quoted" },
        CaptionAndSheet { "''", "Новый проект" }, CaptionAndSheet { "", "Новый проект" },
        CaptionAndSheet { "a\tb", "a_b" }, CaptionAndSheet { "History", "History_" },
        CaptionAndSheet { "history", "history_" }, CaptionAndSheet { "Historyx", "Historyx" },
        // The cut at 31 leaves an apostrophe at the end, which goes too.
        CaptionAndSheet { "Тридцать знаков и апостроф око'xyz", "Тридцать знаков и апостроф око" },
        // A character outside the BMP at the cut is not split in two.
        CaptionAndSheet {
            "Тридцать символов и эмодзи ок \xF0\x9F\x98\x80", "Тридцать символов и эмодзи ок " }));

TEST(SheetName, ANameTheLibraryRefusesIsReportedInRussianWithTheLibrarysText)
{
    XlsxBook book;
    book.sheets.push_back({ QStringLiteral("a[1]"), {}, {}, {}, {} });
    QTemporaryDir dir;
    try {
        XlsxFile::saveAs(book, dir.filePath(QStringLiteral("report.xlsx")));
        FAIL() << "the name was accepted";
    } catch (const WorkbookError& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()),
            QStringLiteral("Не удалось создать книгу Excel: ")
                + QString::fromUtf8(lxw_strerror(LXW_ERROR_INVALID_SHEETNAME_CHARACTER)));
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(SheetName, ThirtyOneCharactersAndInnerApostrophesAreAccepted)
{
    EXPECT_EQ(XlsxFile::sheetNameError(QStringLiteral("Проект номер тридцать один знак")), QString());
    EXPECT_EQ(XlsxFile::sheetNameError(QStringLiteral("it's a.b")), QString());
    EXPECT_EQ(XlsxFile::sheetNameError(QStringLiteral("Новый проект")), QString());
}

TEST_F(XlsxReport, NewFilesNeverReplaceOneAnotherAndLeaveNothingHalfWritten)
{
    XlsxBook book;
    book.sheets.push_back(
        { QStringLiteral("Новый проект"), { { { 1, 1 }, QStringLiteral("first") } }, {}, {}, {} });
    const QString first = XlsxFile::saveAsNew(book, m_dir.path());
    book.sheets[0].texts[{ 1, 1 }] = QStringLiteral("second");
    const QString second = XlsxFile::saveAsNew(book, m_dir.path());

    EXPECT_EQ(first, m_dir.filePath(QStringLiteral("Новый проект.xlsx")));
    EXPECT_EQ(second, m_dir.filePath(QStringLiteral("Новый проект (2).xlsx")));
    EXPECT_EQ(read(first).text(1, 1), QStringLiteral("first"));
    EXPECT_EQ(read(second).text(1, 1), QStringLiteral("second"));

    book.sheets[0].texts[{ 2, 2 }] = QString(40000, u'x');
    EXPECT_THROW(XlsxFile::saveAsNew(book, m_dir.path()), WorkbookError);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
        (QStringList { QStringLiteral("Новый проект (2).xlsx"), QStringLiteral("Новый проект.xlsx") }));

    try {
        XlsxFile::saveAsNew(book, m_dir.filePath(QStringLiteral("missing")));
        FAIL() << "wrote into a missing folder";
    } catch (const WorkbookError& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).startsWith(QStringLiteral("Cannot create file")))
            << error.what();
    }
}

TEST_F(XlsxReport, SaveAsIntoAMissingFolderFailsWithTheReason)
{
    XlsxBook book;
    book.sheets.push_back({ QStringLiteral("a"), {}, {}, {}, {} });
    const QString path = m_dir.filePath(QStringLiteral("missing/report.xlsx"));
    try {
        XlsxFile::saveAs(book, path);
        FAIL() << "wrote into a missing folder";
    } catch (const WorkbookError& error) {
        EXPECT_TRUE(
            QString::fromUtf8(error.what()).startsWith(QStringLiteral("Cannot create file \"") + path))
            << error.what();
    }
}

} // namespace
