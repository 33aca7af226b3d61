#include "report/XlsxFile.h"

#include "platform/SafeFile.h"
#include "report/WorkbookError.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <xlsxwriter.h>

namespace {

// Spreadsheet line styles and weights.
constexpr int xlContinuous = 1, xlDash = -4115, xlDot = -4118, xlDouble = -4119, xlDashDot = 4,
              xlDashDotDot = 5, xlSlantDashDot = 13, xlLineStyleNone = -4142;
constexpr int xlHairline = 1, xlThin = 2, xlMedium = -4138, xlThick = 4;

// A workbook stays a scratch file this large at most; ours are a few kilobytes.
constexpr qint64 kMaxWorkbookBytes = 64 * 1024 * 1024;

lxw_color_t rgbOf(int color)
{
    const lxw_color_t rgb = lxw_color_t(((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF));
    return rgb == 0 ? lxw_color_t(LXW_COLOR_BLACK) : rgb;
}

[[noreturn]] void fail(lxw_error error)
{
    throw WorkbookError(XlsxFile::libraryFailure(QString::fromUtf8(lxw_strerror(error))));
}

void check(lxw_error error)
{
    if (error != LXW_NO_ERROR)
        fail(error);
}

// A cell's text as the file holds it. The file format reads "_xHHHH_" as an escaped character,
// so such a sequence typed by the user has its underscore escaped; the library escapes control
// characters the same way, all but NUL, which would end its C string.
QByteArray cellText(const QString& text)
{
    static const QRegularExpression escapeLike(QStringLiteral("_(?=x[0-9A-Fa-f]{4}_)"));
    QString escaped = text;
    escaped.replace(escapeLike, QStringLiteral("_x005F_"));
    escaped.replace(QChar(u'\0'), QStringLiteral("_x0000_"));
    return escaped.toUtf8();
}

QString cannotCreate(const QString& path, const QString& reason)
{
    return QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(path), reason);
}

// The formats of one workbook, one per distinct cell style.
class Formats {
public:
    explicit Formats(lxw_workbook* workbook)
        : m_workbook(workbook)
    {
    }

    lxw_format* of(const XlsxCellStyle& style)
    {
        for (const auto& [known, format] : m_formats) {
            if (known == style)
                return format;
        }
        lxw_format* format = workbook_add_format(m_workbook);
        if (!format)
            fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
        if (style.fontSize)
            format_set_font_size(format, *style.fontSize);
        if (style.bold.value_or(false))
            format_set_bold(format);
        if (style.fontColor)
            format_set_font_color(format, rgbOf(*style.fontColor));
        if (style.fillColor) {
            format_set_pattern(format, LXW_PATTERN_SOLID);
            format_set_bg_color(format, rgbOf(*style.fillColor));
        }
        const auto edge = [format](const std::optional<XlsxEdge>& edge, auto setStyle, auto setColor) {
            if (!edge)
                return;
            setStyle(format, uint8_t(XlsxFile::borderStyle(edge->lineStyle, edge->weight)));
            setColor(format, rgbOf(edge->color));
        };
        edge(style.left, format_set_left, format_set_left_color);
        edge(style.right, format_set_right, format_set_right_color);
        edge(style.top, format_set_top, format_set_top_color);
        edge(style.bottom, format_set_bottom, format_set_bottom_color);
        m_formats.emplace_back(style, format);
        return format;
    }

private:
    lxw_workbook* m_workbook;
    std::vector<std::pair<XlsxCellStyle, lxw_format*>> m_formats;
};

void writeSheet(lxw_workbook* workbook, Formats& formats, const XlsxSheet& sheet)
{
    const QString refused = XlsxFile::sheetNameError(sheet.name);
    if (!refused.isEmpty())
        throw WorkbookError(XlsxFile::libraryFailure(refused));
    lxw_worksheet* worksheet = workbook_add_worksheet(workbook, sheet.name.toUtf8().constData());
    if (!worksheet)
        fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
    for (const auto& [row, height] : sheet.rowHeights)
        check(worksheet_set_row(worksheet, lxw_row_t(row - 1), height, nullptr));
    for (const auto& [column, width] : sheet.columnWidths)
        check(worksheet_set_column(worksheet, lxw_col_t(column - 1), lxw_col_t(column - 1), width, nullptr));

    for (const auto& [cell, text] : sheet.texts) {
        const auto style = sheet.styles.find(cell);
        lxw_format* format = style == sheet.styles.end() ? nullptr : formats.of(style->second);
        check(worksheet_write_string(worksheet, lxw_row_t(cell.row - 1), lxw_col_t(cell.column - 1),
            cellText(text).constData(), format));
    }
    for (const auto& [cell, style] : sheet.styles) {
        if (!sheet.texts.contains(cell))
            check(worksheet_write_blank(
                worksheet, lxw_row_t(cell.row - 1), lxw_col_t(cell.column - 1), formats.of(style)));
    }
}

} // namespace

namespace XlsxFile {

QString libraryFailure(const QString& libraryText)
{
    return QStringLiteral("Не удалось создать книгу Excel: ") + libraryText;
}

QString sheetNameError(const QString& name)
{
    // The library reads past the start of an empty name, so that one is refused here.
    if (name.isEmpty())
        return QStringLiteral("Имя листа не может быть пустым.");
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("Имя листа не может содержать управляющих символов.");
    }
    if (name.compare(QLatin1String("History"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Имя листа «History» зарезервировано Excel.");
    lxw_workbook* scratch = workbook_new("");
    if (!scratch)
        return QString::fromUtf8(lxw_strerror(LXW_ERROR_MEMORY_MALLOC_FAILED));
    const lxw_error error = workbook_validate_sheet_name(scratch, name.toUtf8().constData());
    lxw_workbook_free(scratch);
    return error == LXW_NO_ERROR ? QString() : QString::fromUtf8(lxw_strerror(error));
}

int borderStyle(int lineStyle, int weight)
{
    const bool medium = weight == xlMedium || weight == xlThick;
    switch (lineStyle) {
    case xlLineStyleNone:
        return LXW_BORDER_NONE;
    case xlContinuous:
        switch (weight) {
        case xlHairline:
            return LXW_BORDER_HAIR;
        case xlThin:
            return LXW_BORDER_THIN;
        case xlMedium:
            return LXW_BORDER_MEDIUM;
        case xlThick:
            return LXW_BORDER_THICK;
        }
        return -1;
    case xlDash:
        return medium ? LXW_BORDER_MEDIUM_DASHED : LXW_BORDER_DASHED;
    case xlDot:
        return LXW_BORDER_DOTTED;
    case xlDouble:
        return LXW_BORDER_DOUBLE;
    case xlDashDot:
        return medium ? LXW_BORDER_MEDIUM_DASH_DOT : LXW_BORDER_DASH_DOT;
    case xlDashDotDot:
        return medium ? LXW_BORDER_MEDIUM_DASH_DOT_DOT : LXW_BORDER_DASH_DOT_DOT;
    case xlSlantDashDot:
        return LXW_BORDER_SLANT_DASH_DOT;
    }
    return -1;
}

void write(const XlsxBook& book, const QString& path)
{
    const QByteArray scratchFolder = QFile::encodeName(QDir::tempPath());
    lxw_workbook_options options {};
    options.tmpdir = const_cast<char*>(scratchFolder.constData());
    lxw_workbook* workbook = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!workbook)
        fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
    try {
        Formats formats(workbook);
        for (const XlsxSheet& sheet : book.sheets)
            writeSheet(workbook, formats, sheet);
    } catch (...) {
        lxw_workbook_free(workbook);
        throw;
    }
    check(workbook_close(workbook));
}

QString saveAsNew(const XlsxBook& book, const QString& folder)
{
    const QDir dir(folder);
    QTemporaryFile part(dir.filePath(QStringLiteral(".kestrova-report-XXXXXX.part")));
    if (!part.open())
        throw WorkbookError(cannotCreate(part.fileTemplate(), part.errorString()));
    part.close();
    write(book, part.fileName());

    const QString base = book.sheets.empty() ? QStringLiteral("Report") : book.sheets.front().name;
    constexpr int kNamesTried = 100;
    QString candidate;
    for (int i = 1; i <= kNamesTried; ++i) {
        candidate = dir.filePath(
            i == 1 ? base + QStringLiteral(".xlsx") : QStringLiteral("%1 (%2).xlsx").arg(base).arg(i));
        QFile written(part.fileName());
        // A rename never replaces an existing file here.
        if (written.rename(candidate)) {
            part.setAutoRemove(false);
            return candidate;
        }
        if (!QFile::exists(candidate))
            throw WorkbookError(cannotCreate(candidate, written.errorString()));
    }
    throw WorkbookError(cannotCreate(candidate, QStringLiteral("Файл уже существует.")));
}

void saveAs(const XlsxBook& book, const QString& path)
{
    QTemporaryFile scratch(QDir::temp().filePath(QStringLiteral("kestrova-report-XXXXXX.xlsx")));
    if (!scratch.open())
        throw WorkbookError(cannotCreate(scratch.fileTemplate(), scratch.errorString()));
    scratch.close();
    write(book, scratch.fileName());
    QFile written(scratch.fileName());
    if (!written.open(QIODevice::ReadOnly))
        throw WorkbookError(cannotCreate(path, written.errorString()));
    if (written.size() > kMaxWorkbookBytes)
        throw WorkbookError(cannotCreate(path, QStringLiteral("Книга слишком велика.")));
    const QByteArray bytes = written.readAll();
    QString reason;
    if (!SafeFile::replace(path, bytes, &reason))
        throw WorkbookError(cannotCreate(path, reason));
}

} // namespace XlsxFile
