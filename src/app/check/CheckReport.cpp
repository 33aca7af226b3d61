#include "app/check/CheckReport.h"

#include "rank/lookup/EngineTable.h"

#include <QHash>

namespace {

QByteArray jsonString(const QString& text)
{
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20)
                out += "\\u00" + QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
            else
                out += c;
        }
    }
    return out + '"';
}

QByteArray jsonReason(const QByteArray& prefix, const Outcome& why)
{
    return ", \"" + prefix + "reason\": " + jsonString(reasonCode(why.reason)) + ", \"" + prefix
        + "detail\": " + jsonString(why.detail);
}

QByteArray jsonCell(const CellRecord& cell)
{
    QByteArray out = "{\"engine\": " + jsonString(engineKey(cell.engine))
        + ", \"n\": " + QByteArray::number(cell.n) + ", \"rank\": " + jsonString(cell.rank)
        + ", \"page\": " + (cell.page ? QByteArray::number(*cell.page) : QByteArray("null"));
    if (engineRow(cell.engine).hasQueryCount)
        out += ", \"count\": " + jsonString(cell.count.value_or(QString()));
    out += jsonReason("", cell.rankWhy);
    if (engineRow(cell.engine).hasQueryCount)
        out += jsonReason("count_", cell.countWhy);
    return out + '}';
}

bool isTrouble(Reason reason)
{
    return reason == Reason::Failed || reason == Reason::Unrecognised || reason == Reason::TooComplex;
}

QString troubleLine(const QString& what, const Outcome& why)
{
    return what + QStringLiteral(": ") + reasonCode(why.reason) + QStringLiteral(": ") + why.detail;
}

QString cellText(const CellRecord& cell)
{
    QString text = cell.rank;
    if (cell.page)
        text += QStringLiteral(" (%1)").arg(*cell.page);
    if (cell.count && !cell.count->isEmpty())
        text += QStringLiteral(" / ") + *cell.count;
    return text;
}

} // namespace

QByteArray formatJson(const CheckReport& report)
{
    QByteArray out = "{\"site\": " + jsonString(report.site) + ", \"cy\": " + jsonString(report.cy.text)
        + jsonReason("cy_", report.cy.why) + ", \"pr\": " + jsonString(report.pr.text)
        + jsonReason("pr_", report.pr.why) + ", \"elapsed\": " + jsonString(report.elapsed)
        + ", \"stopped\": " + (report.stopped ? "true" : "false") + ", \"error\": "
        + (report.error ? jsonString(*report.error) : QByteArray("null")) + ", \"keywords\": [";
    for (qsizetype i = 0; i < report.keywords.size(); ++i)
        out += (i ? ", " : "") + jsonString(report.keywords[i]);
    out += "], \"cells\": [";
    for (qsizetype i = 0; i < report.cells.size(); ++i)
        out += (i ? ", " : "") + jsonCell(report.cells[i]);
    return out + "]}\n";
}

QString formatTable(const CheckReport& report)
{
    // The last write of a cell is what the frame would show.
    QHash<int, const CellRecord*> shown;
    for (const CellRecord& cell : report.cells)
        shown[int(cell.engine) * 10 + cell.n] = &cell;

    QList<QStringList> rows;
    QStringList header { QStringLiteral("№"), QStringLiteral("Ключевое слово") };
    for (Engine engine : kEngines)
        header << engineCaption(engine);
    rows << header;
    for (int n = 1; n <= 7; ++n) {
        QStringList row { QString::number(n), report.keywords.value(n - 1) };
        for (Engine engine : kEngines) {
            const CellRecord* cell = shown.value(int(engine) * 10 + n);
            row << (cell ? cellText(*cell) : QString());
        }
        rows << row;
    }

    QList<qsizetype> widths(header.size(), 0);
    for (const QStringList& row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], row[c].size());
    }

    QString out = QStringLiteral("Сайт: %1\nYandex CY: %2   Google PR: %3   Время проекта: %4\n\n")
                      .arg(report.site, report.cy.text, report.pr.text, report.elapsed);
    for (const QStringList& row : rows) {
        QStringList padded;
        for (qsizetype c = 0; c < row.size(); ++c)
            padded << row[c].leftJustified(widths[c]);
        out += padded.join(QStringLiteral(" | ")).trimmed() + u'\n';
    }
    out += QStringLiteral("\nМесто (страница результатов) / запросов в месяц для Yandex.ru\n");
    if (report.stopped)
        out += QStringLiteral("Проверка остановлена.\n");
    if (report.error)
        out += QStringLiteral("Ошибка: %1\n").arg(*report.error);
    return out;
}

QString formatProgress(Engine engine, int n, const CellRecord* written)
{
    QString line = engineKey(engine) + u' ' + QString::number(n) + QStringLiteral(": ");
    if (!written)
        return line + QStringLiteral("skipped");
    if (!written->page)
        return line
            + (written->count && !written->count->isEmpty()
                    ? QStringLiteral("count ") + *written->count + QStringLiteral(", no position")
                    : QStringLiteral("empty keyword"));
    line += (written->rank.isEmpty() ? QStringLiteral("\"\"") : written->rank) + QStringLiteral(" (page ")
        + QString::number(*written->page) + u')';
    if (written->count)
        line += QStringLiteral(", count ") + *written->count;
    return line;
}

QStringList formatTroubles(const CheckReport& report)
{
    QStringList lines;
    if (isTrouble(report.cy.why.reason))
        lines << troubleLine(QStringLiteral("CY"), report.cy.why);
    if (isTrouble(report.pr.why.reason))
        lines << troubleLine(QStringLiteral("PR"), report.pr.why);
    for (const CellRecord& cell : report.cells) {
        const QString name = engineKey(cell.engine) + u' ' + QString::number(cell.n);
        if (cell.count && isTrouble(cell.countWhy.reason))
            lines << troubleLine(name + QStringLiteral(" count"), cell.countWhy);
        if (isTrouble(cell.rankWhy.reason))
            lines << troubleLine(name, cell.rankWhy);
    }
    return lines;
}
