#include "rank/api/ApiAnswer.h"
#include "rank/api/JsonAnswer.h"

#include <QJsonArray>

namespace {

constexpr SourceKind kSource = SourceKind::SerpJson;

} // namespace

ApiAnswer readSerpJson(const QByteArray& json, const ApiSourceDefinition& source, int start)
{
    QString problem;
    const std::optional<QJsonObject> object = JsonAnswer::object(json, &problem);
    if (!object)
        return ApiAnswer::unrecognised(kSource, problem);
    const QJsonValue error = JsonAnswer::at(*object, source.errorField);
    if (error.isString() && !error.toString().isEmpty()) {
        const QString text = error.toString();
        if (!source.noResultsText.isEmpty() && text.contains(source.noResultsText, Qt::CaseInsensitive)) {
            ApiAnswer answer;
            answer.kind = AnswerKind::NotFound;
            answer.detail = QStringLiteral("SERP JSON API: результатов нет");
            return answer;
        }
        return ApiAnswer::refused(
            kSource, QStringLiteral("источник отказал: «%1»").arg(JsonAnswer::shownText(text)));
    }
    const QJsonValue list = JsonAnswer::at(*object, source.resultsPath);
    if (!list.isArray())
        return ApiAnswer::unrecognised(kSource, QStringLiteral("нет списка %1").arg(source.resultsPath));
    const QJsonArray items = list.toArray();
    if (items.size() > kMaxAnswerResults)
        return ApiAnswer::unrecognised(kSource, QStringLiteral("слишком много результатов"));
    ApiAnswer answer;
    answer.kind = items.isEmpty() ? AnswerKind::NotFound : AnswerKind::Results;
    if (items.isEmpty())
        answer.detail = QStringLiteral("SERP JSON API: результатов больше нет");
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (!items[i].isObject())
            return ApiAnswer::unrecognised(
                kSource, QStringLiteral("результат %1 — не объект").arg(start + i + 1));
        const QJsonObject item = items[i].toObject();
        const std::optional<qint64> position
            = JsonAnswer::integer(JsonAnswer::at(item, source.positionField));
        const QJsonValue link = JsonAnswer::at(item, source.linkField);
        if (!link.isString() && !link.isUndefined())
            return ApiAnswer::unrecognised(
                kSource, QStringLiteral("ссылка результата %1 — не текст").arg(start + i + 1));
        const int counted = int(start + i + 1);
        answer.results.append({ position && *position >= 1 && *position <= 100000 ? int(*position) : counted,
            link.toString().left(4096) });
    }
    return answer;
}
