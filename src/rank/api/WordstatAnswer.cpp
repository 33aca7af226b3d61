#include "rank/api/ApiAnswer.h"
#include "rank/api/JsonAnswer.h"

ApiAnswer readWordstat(const QByteArray& json)
{
    QString problem;
    const std::optional<QJsonObject> object = JsonAnswer::object(json, &problem);
    if (!object)
        return ApiAnswer::unrecognised(SourceKind::YandexWordstatApi, problem);
    const std::optional<qint64> count = JsonAnswer::integer(object->value(QLatin1String("totalCount")));
    if (!count)
        return ApiAnswer::unrecognised(SourceKind::YandexWordstatApi, QStringLiteral("нет числа totalCount"));
    ApiAnswer answer;
    answer.kind = AnswerKind::Results;
    answer.count = *count;
    return answer;
}
