#include "app/check/CheckReport.h"

#include "rank/lookup/EngineTable.h"
#include "rank/project/ProjectResults.h"

#include <functional>

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

bool reached(const CellResult& rank)
{
    return rank.state != CellResult::State::Old;
}

bool written(const CellResult& rank)
{
    return rank.state == CellResult::State::Written;
}

bool hasCount(Engine engine)
{
    return engineRow(engine).hasQueryCount();
}

// Every cell the check reached, in the order of the lookups.
void forEachReached(const ProjectResults& results, const std::function<void(Engine, int)>& visit)
{
    for (int n = 1; n <= Project::KeywordCount; ++n) {
        for (Engine engine : kEngines) {
            if (reached(results.rank(engine, n)))
                visit(engine, n);
        }
    }
}

QByteArray jsonReason(const QByteArray& prefix, const Outcome& why)
{
    return ", \"" + prefix + "reason\": " + jsonString(reasonCode(why.reason)) + ", \"" + prefix
        + "detail\": " + jsonString(why.detail);
}

QByteArray jsonCell(const ProjectResults& results, Engine engine, int n)
{
    const CellResult& rank = results.rank(engine, n);
    QByteArray out = "{\"engine\": " + jsonString(engineKey(engine)) + ", \"n\": " + QByteArray::number(n)
        + ", \"rank\": " + jsonString(rank.text)
        + ", \"page\": " + (written(rank) ? QByteArray::number(rank.resultPage) : QByteArray("null"));
    if (hasCount(engine))
        out += ", \"count\": " + jsonString(results.count(engine, n).text);
    out += jsonReason("", rank.why);
    if (hasCount(engine))
        out += jsonReason("count_", results.count(engine, n).why);
    return out + '}';
}

bool isTrouble(Reason reason)
{
    return reason == Reason::Failed || reason == Reason::Unrecognised || reason == Reason::TooComplex
        || reason == Reason::Blocked || reason == Reason::Refused;
}

QString troubleLine(const QString& what, const Outcome& why)
{
    return what + QStringLiteral(": ") + reasonCode(why.reason) + QStringLiteral(": ") + why.detail;
}

// The query count a lookup wrote; empty for the engines without one.
QString countText(const ProjectResults& results, Engine engine, int n)
{
    return hasCount(engine) ? results.count(engine, n).text : QString();
}

QString cellText(const ProjectResults& results, Engine engine, int n)
{
    const CellResult& rank = results.rank(engine, n);
    if (!reached(rank))
        return {};
    QString text = rank.text;
    if (written(rank))
        text += QStringLiteral(" (%1)").arg(rank.resultPage);
    if (!countText(results, engine, n).isEmpty())
        text += QStringLiteral(" / ") + countText(results, engine, n);
    return text;
}

// "null" for no region; each part unset is null.
QByteArray jsonRegion(const SearchRegion& region)
{
    if (!region.isSet())
        return "null";
    const auto textOrNull
        = [](const QString& text) { return text.isEmpty() ? QByteArray("null") : jsonString(text); };
    return "{\"yandex\": " + (region.yandex ? QByteArray::number(region.yandex) : QByteArray("null"))
        + ", \"google_country\": " + textOrNull(region.googleCountry)
        + ", \"google_language\": " + textOrNull(region.googleLanguage) + "}";
}

// Every API source by its code, also those not asked.
QByteArray jsonApiRequests(const ApiRequestCounts& counts)
{
    QByteArray out = "{";
    for (SourceKind source : kApiSources)
        out += (out.size() > 1 ? ", " : "") + jsonString(sourceCode(source)) + ": "
            + QByteArray::number(counts[source]);
    return out + "}";
}

} // namespace

QByteArray formatJson(const Project& project, const ProjectResults& results)
{
    QByteArray out = "{\"site\": " + jsonString(project.site) + ", \"cy\": " + jsonString(results.cy.text)
        + jsonReason("cy_", results.cy.why) + ", \"pr\": " + jsonString(results.pr.text)
        + jsonReason("pr_", results.pr.why) + ", \"elapsed\": " + jsonString(results.elapsed)
        + ", \"stopped\": " + (results.stopped ? "true" : "false")
        + ", \"error\": " + (results.error ? jsonString(*results.error) : QByteArray("null"))
        + ", \"definitions\": {\"version\": " + jsonString(results.definitionsVersion) + ", \"source\": "
        + jsonString(results.definitionsSource) + "}, \"region\": " + jsonRegion(results.region)
        + ", \"api_requests\": " + jsonApiRequests(results.apiRequests) + ", \"keywords\": [";
    for (int n = 1; n <= Project::KeywordCount; ++n)
        out += (n > 1 ? ", " : "") + jsonString(project.keyword(n));
    out += "], \"cells\": [";
    bool first = true;
    forEachReached(results, [&](Engine engine, int n) {
        out += (first ? "" : ", ") + jsonCell(results, engine, n);
        first = false;
    });
    return out + "]}\n";
}

QString formatTable(const Project& project, const ProjectResults& results)
{
    QList<QStringList> rows;
    QStringList header { QStringLiteral("№"), QStringLiteral("Ключевое слово") };
    for (Engine engine : kEngines)
        header << engineCaption(engine);
    rows << header;
    for (int n = 1; n <= Project::KeywordCount; ++n) {
        QStringList row { QString::number(n), project.keyword(n) };
        for (Engine engine : kEngines)
            row << cellText(results, engine, n);
        rows << row;
    }

    QList<qsizetype> widths(header.size(), 0);
    for (const QStringList& row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], row[c].size());
    }

    QString out = QStringLiteral("Сайт: %1\nYandex CY: %2   Google PR: %3   Время проекта: %4\n\n")
                      .arg(project.site, results.cy.text, results.pr.text, results.elapsed);
    for (const QStringList& row : rows) {
        QStringList padded;
        for (qsizetype c = 0; c < row.size(); ++c)
            padded << row[c].leftJustified(widths[c]);
        out += padded.join(QStringLiteral(" | ")).trimmed() + u'\n';
    }
    out += QStringLiteral("\nМесто (страница результатов) / запросов в месяц для Yandex.ru\n");
    if (results.stopped)
        out += QStringLiteral("Проверка остановлена.\n");
    if (results.error)
        out += QStringLiteral("Ошибка: %1\n").arg(*results.error);
    return out;
}

QString formatProgress(Engine engine, int n, const ProjectResults& results)
{
    const CellResult& rank = results.rank(engine, n);
    const QString count = countText(results, engine, n);
    QString line = engineKey(engine) + u' ' + QString::number(n) + QStringLiteral(": ");
    if (!reached(rank))
        return line + QStringLiteral("пропущено");
    if (!written(rank))
        return line
            + (count.isEmpty() ? QStringLiteral("пустое ключевое слово")
                               : QStringLiteral("запросов ") + count + QStringLiteral(", без позиции"));
    line += (rank.text.isEmpty() ? QStringLiteral("\"\"") : rank.text) + QStringLiteral(" (страница ")
        + QString::number(rank.resultPage) + u')';
    if (hasCount(engine))
        line += QStringLiteral(", запросов ") + count;
    return line;
}

QStringList formatTroubles(const ProjectResults& results)
{
    QStringList lines;
    if (isTrouble(results.cy.why.reason))
        lines << troubleLine(QStringLiteral("ТИЦ"), results.cy.why);
    if (isTrouble(results.pr.why.reason))
        lines << troubleLine(QStringLiteral("PR"), results.pr.why);
    forEachReached(results, [&](Engine engine, int n) {
        const QString name = engineKey(engine) + u' ' + QString::number(n);
        if (hasCount(engine) && isTrouble(results.count(engine, n).why.reason))
            lines << troubleLine(name + QStringLiteral(", число запросов"), results.count(engine, n).why);
        if (isTrouble(results.rank(engine, n).why.reason))
            lines << troubleLine(name, results.rank(engine, n).why);
    });
    return lines;
}
