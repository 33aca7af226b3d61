#include "app/check/CheckReport.h"

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

QByteArray jsonCell(const CellRecord& cell)
{
    QByteArray out = "{\"engine\": " + jsonString(engineKey(cell.engine))
        + ", \"n\": " + QByteArray::number(cell.n) + ", \"rank\": " + jsonString(cell.rank)
        + ", \"page\": " + (cell.page ? QByteArray::number(*cell.page) : QByteArray("null"));
    if (cell.engine == Engine::YandexRu)
        out += ", \"count\": " + jsonString(cell.count.value_or(QString()));
    return out + '}';
}

QString cellText(const CellRecord& cell)
{
    QString text = cell.rank;
    if (cell.page)
        text += QStringLiteral(" (%1)").arg(*cell.page);
    if (cell.engine == Engine::YandexRu && cell.count && !cell.count->isEmpty())
        text += QStringLiteral(" / ") + *cell.count;
    return text;
}

} // namespace

QByteArray formatJson(const CheckReport& report)
{
    QByteArray out = "{\"site\": " + jsonString(report.site) + ", \"cy\": " + jsonString(report.cy)
        + ", \"pr\": " + jsonString(report.pr) + ", \"elapsed\": " + jsonString(report.elapsed)
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
                      .arg(report.site, report.cy, report.pr, report.elapsed);
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
