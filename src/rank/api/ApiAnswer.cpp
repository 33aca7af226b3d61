#include "rank/api/ApiAnswer.h"

ApiAnswer ApiAnswer::unrecognised(SourceKind source, const QString& why)
{
    ApiAnswer answer;
    answer.kind = AnswerKind::Unrecognised;
    answer.detail = QStringLiteral("Ответ источника %1 не распознан: %2").arg(sourceCaption(source), why);
    return answer;
}

ApiAnswer ApiAnswer::refused(SourceKind source, const QString& why)
{
    ApiAnswer answer;
    answer.kind = AnswerKind::Refused;
    answer.detail = sourceCaption(source) + QStringLiteral(": ") + why;
    return answer;
}

ApiAnswer answerToStatus(SourceKind source, int status)
{
    if (status == 429) {
        ApiAnswer answer;
        answer.kind = AnswerKind::RetryLater;
        answer.detail = sourceCaption(source) + QStringLiteral(": слишком много запросов (HTTP 429)");
        return answer;
    }
    if (status == 401 || status == 403)
        return ApiAnswer::refused(source,
            QStringLiteral("ключ API не принят (HTTP %1): проверьте ключ в «Источники результатов...»")
                .arg(status));
    return ApiAnswer::unrecognised(source, QStringLiteral("HTTP %1").arg(status));
}
