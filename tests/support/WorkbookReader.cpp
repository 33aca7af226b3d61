#include "support/WorkbookReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <cmath>

namespace {

QString columnName(int column)
{
    QString letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.prepend(QChar(u'A' + (column - 1) % 26));
    return letters;
}

} // namespace

std::optional<WorkbookReader> WorkbookReader::read(const QString& path, QString* error)
{
    const QString script
        = qEnvironmentVariable("KS_SOURCE_DIR") + QStringLiteral("/tests/support/read_workbook.py");
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), { script, path });
    if (!python.waitForFinished(60000) || python.exitStatus() != QProcess::NormalExit
        || python.exitCode() != 0) {
        *error = QStringLiteral("reader failed: ") + python.errorString() + u' '
            + QString::fromUtf8(python.readAllStandardError());
        return std::nullopt;
    }
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(python.readAllStandardOutput(), &parse);
    if (!document.isObject()) {
        *error = QStringLiteral("reader output is no JSON object: ") + parse.errorString();
        return std::nullopt;
    }
    WorkbookReader reader;
    reader.m_json = document.object();
    return reader;
}

QStringList WorkbookReader::sheetNames() const
{
    QStringList names;
    for (const QJsonValue& name : m_json[QStringLiteral("sheets")].toArray())
        names << name.toString();
    return names;
}

QString WorkbookReader::sheetName() const
{
    return sheetNames().value(0);
}

QJsonObject WorkbookReader::cell(const QString& address) const
{
    return m_json[QStringLiteral("cells")][address].toObject();
}

QJsonObject WorkbookReader::cell(int row, int column) const
{
    return cell(columnName(column) + QString::number(row));
}

QString WorkbookReader::text(int row, int column) const
{
    return cell(row, column)[QStringLiteral("value")].toString();
}

std::optional<double> WorkbookReader::rowHeight(int row) const
{
    const QJsonValue height = m_json[QStringLiteral("rows")][QString::number(row)];
    return height.isDouble() ? std::optional<double>(height.toDouble()) : std::nullopt;
}

std::optional<double> WorkbookReader::columnWidth(int column) const
{
    const QJsonValue stored = m_json[QStringLiteral("columns")][columnName(column)];
    if (!stored.isDouble())
        return std::nullopt;
    // The stored width holds the cell padding; the spreadsheet shows the width in characters of
    // the default font (7 pixels a digit, 5 pixels padding; below one character, 12 pixels each).
    const double pixels = std::trunc(stored.toDouble() * 7 + 0.5);
    const double characters = pixels < 12 ? pixels / 12 : (pixels - 5) / 7;
    return std::round(characters * 100) / 100;
}

QStringList WorkbookReader::storedStrings() const
{
    QStringList strings;
    for (const QJsonValue& text : m_json[QStringLiteral("storedStrings")].toArray())
        strings << text.toString();
    return strings;
}

int WorkbookReader::maxRow() const
{
    return m_json[QStringLiteral("maxRow")].toInt();
}

int WorkbookReader::maxColumn() const
{
    return m_json[QStringLiteral("maxColumn")].toInt();
}
