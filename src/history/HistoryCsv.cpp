#include "history/HistoryCsv.h"

#include "history/HistoryError.h"
#include "history/HistoryStore.h"
#include "platform/SafeFile.h"

namespace {

// A spreadsheet opening the file would run a text such as "=HYPERLINK(...)" from a keyword as a
// formula; the leading apostrophe makes it text there. Plain numbers such as "-5" stay as they are.
QString guardedFromFormulas(const QString& value)
{
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    if (value.isEmpty() || !kFormulaStarts.contains(value.front()))
        return value;
    bool number = false;
    value.toDouble(&number);
    return number ? value : QLatin1Char('\'') + value;
}

void appendField(QByteArray& out, const QString& value)
{
    const QByteArray utf8 = guardedFromFormulas(value).toUtf8();
    if (utf8.contains(',') || utf8.contains('"') || utf8.contains('\n') || utf8.contains('\r')) {
        out += '"';
        for (char c : utf8) {
            if (c == '"')
                out += '"';
            out += c;
        }
        out += '"';
    } else {
        out += utf8;
    }
}

void appendRow(QByteArray& out, const QStringList& fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i)
            out += ',';
        appendField(out, fields[i]);
    }
    out += "\r\n";
}

void appendHeader(QByteArray& out)
{
    out += "\xEF\xBB\xBF";
    appendRow(out,
        { QStringLiteral("time"), QStringLiteral("site"), QStringLiteral("keyword"), QStringLiteral("engine"),
            QStringLiteral("position"), QStringLiteral("result_page"), QStringLiteral("query_count"),
            QStringLiteral("cy"), QStringLiteral("pagerank"), QStringLiteral("reason"),
            QStringLiteral("outcome"), QStringLiteral("definitions"), QStringLiteral("region"),
            QStringLiteral("host"), QStringLiteral("user") });
}

void appendCheck(QByteArray& out, const RecordedCheck& check)
{
    const QString time = check.time.toUTC().toString(Qt::ISODate);
    for (const RecordedResult& result : check.results) {
        appendRow(out,
            { time, check.site, result.keyword, engineText(result),
                result.position ? QString::number(*result.position) : QString(),
                QString::number(result.resultPage), result.countText, check.cy, check.pr, reasonText(result),
                outcomeCode(check.outcome), check.definitionsVersion, check.region, check.host, check.user });
    }
}

constexpr qsizetype kPieceBytes = 256 * 1024;

void writeOrThrow(const QString& path, const std::function<void(const SafeFile::Writer&)>& produce)
{
    QString reason;
    if (!SafeFile::replaceWith(path, produce, &reason))
        throw HistoryError(QStringLiteral("Не удалось записать файл %1: %2").arg(path, reason));
}

} // namespace

QByteArray historyCsv(const QList<RecordedCheck>& checks)
{
    QByteArray out;
    appendHeader(out);
    for (const RecordedCheck& check : checks)
        appendCheck(out, check);
    return out;
}

void writeHistoryCsv(const QString& path, const QList<RecordedCheck>& checks)
{
    writeOrThrow(path, [&](const SafeFile::Writer& write) { write(historyCsv(checks)); });
}

void writeHistoryCsv(const QString& path, const HistoryStore& store, const QString* site)
{
    writeOrThrow(path, [&](const SafeFile::Writer& write) {
        QByteArray piece;
        piece.reserve(kPieceBytes + 4096);
        appendHeader(piece);
        store.forEachCheck(site, [&](const RecordedCheck& check) {
            appendCheck(piece, check);
            if (piece.size() >= kPieceBytes) {
                write(piece);
                piece.resize(0);
            }
        });
        write(piece);
    });
}
