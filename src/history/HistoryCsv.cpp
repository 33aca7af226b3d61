#include "history/HistoryCsv.h"

#include "history/HistoryError.h"
#include "history/HistoryStore.h"
#include "platform/SafeFile.h"

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isPlainNumber(QByteArrayView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    const auto digits = [&] {
        const qsizetype start = i;
        while (i < n && isDigit(text[i]))
            ++i;
        return i - start;
    };
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    qsizetype mantissa = digits();
    if (i < n && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == n;
}

void appendField(QByteArray& out, const QString& value)
{
    QByteArray utf8 = value.toUtf8();
    if (needsFormulaGuard(utf8))
        utf8.prepend('\'');
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

} // namespace

bool needsFormulaGuard(QByteArrayView utf8)
{
    static constexpr QByteArrayView kFormulaStarts("=+-@\t\r");
    return !utf8.isEmpty() && kFormulaStarts.contains(utf8.front()) && !isPlainNumber(utf8);
}

QByteArray historyCsvHeader()
{
    QByteArray out = "\xEF\xBB\xBF";
    appendRow(out,
        { QStringLiteral("time"), QStringLiteral("site"), QStringLiteral("keyword"), QStringLiteral("engine"),
            QStringLiteral("position"), QStringLiteral("result_page"), QStringLiteral("query_count"),
            QStringLiteral("cy"), QStringLiteral("pagerank"), QStringLiteral("reason"),
            QStringLiteral("outcome"), QStringLiteral("definitions"), QStringLiteral("region"),
            QStringLiteral("host"), QStringLiteral("user"), sourceCode(kApiSources[0]),
            sourceCode(kApiSources[1]), sourceCode(kApiSources[2]) });
    return out;
}

void appendHistoryCsvRows(QByteArray& out, const RecordedCheck& check)
{
    const QString time = check.time.toUTC().toString(Qt::ISODate);
    bool first = true;
    for (const RecordedResult& result : check.results) {
        // The requests the check spent stand on its first row, so that a column's sum is what was spent.
        const auto spent = [&](std::size_t i) {
            return first ? QString::number(check.apiRequests.counts.at(i)) : QString();
        };
        appendRow(out,
            { time, check.site, result.keyword, engineText(result),
                result.position ? QString::number(*result.position) : QString(),
                QString::number(result.resultPage), result.countText, check.cy, check.pr, reasonText(result),
                outcomeCode(check.outcome), check.definitionsVersion, check.region, check.host, check.user,
                spent(0), spent(1), spent(2) });
        first = false;
    }
}

namespace {

void writeOrThrow(const QString& path, const std::function<void(const SafeFile::Writer&)>& produce)
{
    QString reason;
    if (!SafeFile::replaceWith(path, produce, &reason))
        throw HistoryError(QStringLiteral("Не удалось записать файл %1: %2").arg(path, reason));
}

} // namespace

QByteArray historyCsv(const QList<RecordedCheck>& checks)
{
    QByteArray out = historyCsvHeader();
    for (const RecordedCheck& check : checks)
        appendHistoryCsvRows(out, check);
    return out;
}

void writeHistoryCsv(const QString& path, const QList<RecordedCheck>& checks)
{
    writeOrThrow(path, [&](const SafeFile::Writer& write) { write(historyCsv(checks)); });
}

void writeHistoryCsv(const QString& path, const HistoryStore& store, const QString* site)
{
    writeOrThrow(path, [&](const SafeFile::Writer& write) {
        write(historyCsvHeader());
        store.writeCsvRows(site, write);
    });
}
