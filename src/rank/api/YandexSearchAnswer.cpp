#include "rank/api/ApiAnswer.h"
#include "rank/api/ApiRequests.h"
#include "rank/api/JsonAnswer.h"

#include <QStringList>
#include <QXmlStreamReader>

namespace {

constexpr SourceKind kSource = SourceKind::YandexSearchApi;
constexpr qsizetype kMaxLink = 4096;

// What Yandex's documented error codes ask the user to do.
ApiAnswer errorAnswer(int code, const QString& message)
{
    ApiAnswer answer;
    switch (code) {
    case 15:
        answer.kind = AnswerKind::NotFound;
        answer.detail = QStringLiteral("Yandex Search API: результатов нет (ошибка 15)");
        return answer;
    case 55:
        answer.kind = AnswerKind::RetryLater;
        answer.detail = QStringLiteral("Yandex Search API: слишком много запросов в секунду (ошибка 55)");
        return answer;
    case 100:
        answer.kind = AnswerKind::Blocked;
        answer.detail = QStringLiteral("Yandex Search API счёл запрос автоматическим (ошибка 100): проверка "
                                       "заблокирована; повторите позже");
        return answer;
    case 31:
        return ApiAnswer::refused(kSource,
            QStringLiteral("каталог Yandex Cloud не принят (ошибка 31): проверьте идентификатор каталога в "
                           "«Источники результатов...»"));
    case 32:
        return ApiAnswer::refused(kSource, QStringLiteral("исчерпан суточный лимит запросов (ошибка 32)"));
    case 33:
        return ApiAnswer::refused(kSource,
            QStringLiteral(
                "адрес, с которого идёт запрос, не разрешён (ошибка 33): проверьте настройки Search "
                "API в Yandex Cloud"));
    case 42:
    case 44:
        return ApiAnswer::refused(kSource,
            QStringLiteral("ключ API не принят (ошибка %1): проверьте ключ в «Источники результатов...»")
                .arg(code));
    default:
        return ApiAnswer::refused(
            kSource, QStringLiteral("ошибка %1: %2").arg(code).arg(JsonAnswer::shownText(message)));
    }
}

} // namespace

ApiAnswer readYandexXml(const QByteArray& xml, int firstIfUnsaid)
{
    QXmlStreamReader reader(xml);
    QStringList path;
    QList<ApiResult> results;
    std::optional<int> first;
    bool sawResults = false;
    bool inGroupDoc = false;
    QString groupLink;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::DTD)
            return ApiAnswer::unrecognised(kSource, QStringLiteral("XML с объявлением DTD"));
        if (token == QXmlStreamReader::StartElement) {
            path << reader.name().toString();
            const QString at = path.join(u'/');
            if (at == QLatin1String("yandexsearch/response/error")) {
                bool number = false;
                const int code = reader.attributes().value(QLatin1String("code")).toInt(&number);
                const QString message = reader.readElementText(QXmlStreamReader::IncludeChildElements);
                if (!number)
                    return ApiAnswer::unrecognised(kSource, QStringLiteral("ошибка без кода"));
                return errorAnswer(code, message);
            }
            if (at == QLatin1String("yandexsearch/response/results"))
                sawResults = true;
            if (at == QLatin1String("yandexsearch/response/results/grouping/page")) {
                bool number = false;
                const int value = reader.attributes().value(QLatin1String("first")).toInt(&number);
                if (number && value >= 1)
                    first = value;
            } else if (at == QLatin1String("yandexsearch/response/results/grouping/group")) {
                groupLink.clear();
                inGroupDoc = false;
            } else if (at == QLatin1String("yandexsearch/response/results/grouping/group/doc/url")) {
                const QString link = reader.readElementText(QXmlStreamReader::IncludeChildElements);
                path.removeLast();
                if (!inGroupDoc && link.size() <= kMaxLink)
                    groupLink = link.trimmed();
                inGroupDoc = true;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (path.join(u'/') == QLatin1String("yandexsearch/response/results/grouping/group")) {
                if (results.size() >= kMaxAnswerResults)
                    return ApiAnswer::unrecognised(kSource, QStringLiteral("слишком много результатов"));
                results.append({ 0, groupLink });
            }
            if (!path.isEmpty())
                path.removeLast();
        }
    }
    if (reader.hasError())
        return ApiAnswer::unrecognised(kSource, QStringLiteral("повреждённый XML"));
    if (!sawResults)
        return ApiAnswer::unrecognised(kSource, QStringLiteral("в XML нет ни результатов, ни ошибки"));
    ApiAnswer answer;
    if (results.isEmpty()) {
        answer.kind = AnswerKind::NotFound;
        answer.detail = QStringLiteral("Yandex Search API: результатов больше нет");
        return answer;
    }
    const int firstPosition = first.value_or(firstIfUnsaid);
    for (int i = 0; i < results.size(); ++i)
        results[i].position = firstPosition + i;
    answer.kind = AnswerKind::Results;
    answer.results = results;
    return answer;
}

namespace {

ApiAnswer fromRawData(const QJsonValue& rawData, int firstIfUnsaid)
{
    if (!rawData.isString())
        return ApiAnswer::unrecognised(kSource, QStringLiteral("нет поля rawData"));
    const QByteArray base64 = rawData.toString().toLatin1();
    const auto decoded = QByteArray::fromBase64Encoding(
        base64, QByteArray::Base64Encoding | QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || base64.isEmpty())
        return ApiAnswer::unrecognised(kSource, QStringLiteral("rawData — не Base64"));
    return readYandexXml(*decoded, firstIfUnsaid);
}

} // namespace

ApiAnswer readYandexSearch(const QByteArray& json, int firstIfUnsaid)
{
    QString problem;
    const std::optional<QJsonObject> object = JsonAnswer::object(json, &problem);
    if (!object)
        return ApiAnswer::unrecognised(kSource, problem);
    return fromRawData(object->value(QLatin1String("rawData")), firstIfUnsaid);
}

ApiAnswer readOperation(const QByteArray& json, int firstIfUnsaid)
{
    QString problem;
    const std::optional<QJsonObject> object = JsonAnswer::object(json, &problem);
    if (!object)
        return ApiAnswer::unrecognised(kSource, problem);
    const QJsonValue done = object->value(QLatin1String("done"));
    if (!done.isBool() && !done.isUndefined())
        return ApiAnswer::unrecognised(kSource, QStringLiteral("поле done — не true и не false"));
    if (!done.toBool(false)) {
        const QString id = object->value(QLatin1String("id")).toString();
        if (id.isEmpty() || id.size() > 200 || !isUsableKey(id))
            return ApiAnswer::unrecognised(kSource, QStringLiteral("у операции нет идентификатора"));
        ApiAnswer answer;
        answer.kind = AnswerKind::Pending;
        answer.operationId = id.toUtf8();
        return answer;
    }
    if (const QJsonValue error = object->value(QLatin1String("error")); error.isObject())
        return ApiAnswer::refused(kSource,
            QStringLiteral("операция завершилась ошибкой: %1")
                .arg(JsonAnswer::shownText(error.toObject().value(QLatin1String("message")).toString())));
    return fromRawData(JsonAnswer::at(*object, QStringLiteral("response.rawData")), firstIfUnsaid);
}
