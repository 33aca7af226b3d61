#include "ApiAnswers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <QXmlStreamWriter>
#include <functional>

namespace {

QByteArray xmlDocument(const std::function<void(QXmlStreamWriter&)>& response)
{
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.writeStartDocument(QStringLiteral("1.0"));
    writer.writeStartElement(QStringLiteral("yandexsearch"));
    writer.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    response(writer);
    writer.writeEndElement();
    writer.writeEndDocument();
    // Yandex's documents name the encoding in lower case.
    xml.replace("encoding=\"UTF-8\"", "encoding=\"utf-8\"");
    return xml;
}

void writeFound(QXmlStreamWriter& writer, int found)
{
    writer.writeStartElement(QStringLiteral("found"));
    writer.writeAttribute(QStringLiteral("priority"), QStringLiteral("all"));
    writer.writeCharacters(QString::number(found));
    writer.writeEndElement();
}

QByteArray compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

namespace ApiAnswers {

QList<Result> results(int first, int count, int sitePosition, const QString& site)
{
    QList<Result> list;
    for (int position = std::max(1, first); position < first + count && position <= kDepth; ++position) {
        Result result;
        result.position = position;
        if (position == sitePosition) {
            result.domain = QUrl::toAce(site);
            if (result.domain.isEmpty())
                result.domain = site.toUtf8();
            result.url = "https://" + result.domain + "/catalog/page.html";
            result.title = site;
        } else {
            result.domain = "www.site-" + QByteArray::number(position) + ".ru";
            result.url = "https://" + result.domain + "/";
            result.title = QStringLiteral("Сайт номер %1").arg(position);
        }
        list.append(result);
    }
    return list;
}

QByteArray yandexXml(const YandexPage& page)
{
    return xmlDocument([&page](QXmlStreamWriter& writer) {
        writer.writeStartElement(QStringLiteral("request"));
        writer.writeTextElement(QStringLiteral("query"), page.query);
        writer.writeTextElement(QStringLiteral("page"), QString::number(page.page));
        writer.writeEmptyElement(QStringLiteral("sortby"));
        writer.writeAttribute(QStringLiteral("order"), QStringLiteral("descending"));
        writer.writeAttribute(QStringLiteral("priority"), QStringLiteral("no"));
        writer.writeStartElement(QStringLiteral("groupings"));
        writer.writeEmptyElement(QStringLiteral("groupby"));
        writer.writeAttribute(QStringLiteral("attr"), QStringLiteral("d"));
        writer.writeAttribute(QStringLiteral("mode"), QStringLiteral("deep"));
        writer.writeAttribute(QStringLiteral("groups-on-page"), QString::number(page.groupsOnPage));
        writer.writeAttribute(QStringLiteral("docs-in-group"), QStringLiteral("1"));
        writer.writeAttribute(QStringLiteral("curcateg"), QStringLiteral("-1"));
        writer.writeEndElement(); // groupings
        writer.writeEndElement(); // request

        writer.writeStartElement(QStringLiteral("response"));
        writer.writeAttribute(QStringLiteral("date"), QString::fromLatin1(page.date));
        writer.writeTextElement(QStringLiteral("reqid"), QString::fromLatin1(page.reqid));
        writeFound(writer, kDepth);
        writer.writeStartElement(QStringLiteral("results"));
        writer.writeStartElement(QStringLiteral("grouping"));
        writer.writeAttribute(QStringLiteral("attr"), QStringLiteral("d"));
        writer.writeAttribute(QStringLiteral("mode"), QStringLiteral("deep"));
        writer.writeAttribute(QStringLiteral("groups-on-page"), QString::number(page.groupsOnPage));
        writer.writeAttribute(QStringLiteral("docs-in-group"), QStringLiteral("1"));
        writer.writeAttribute(QStringLiteral("curcateg"), QStringLiteral("-1"));
        writeFound(writer, kDepth);
        writer.writeStartElement(QStringLiteral("page"));
        if (!page.results.isEmpty()) {
            writer.writeAttribute(QStringLiteral("first"), QString::number(page.results.first().position));
            writer.writeAttribute(QStringLiteral("last"), QString::number(page.results.last().position));
        }
        writer.writeCharacters(QString::number(page.page));
        writer.writeEndElement(); // page
        for (const Result& result : page.results) {
            writer.writeStartElement(QStringLiteral("group"));
            writer.writeEmptyElement(QStringLiteral("categ"));
            writer.writeAttribute(QStringLiteral("attr"), QStringLiteral("d"));
            writer.writeAttribute(QStringLiteral("name"), QString::fromUtf8(result.domain));
            writer.writeTextElement(QStringLiteral("doccount"), QStringLiteral("1"));
            writer.writeEmptyElement(QStringLiteral("relevance"));
            writer.writeStartElement(QStringLiteral("doc"));
            writer.writeAttribute(QStringLiteral("id"),
                QStringLiteral("Z%1").arg(result.position, 8, 16, QLatin1Char('0')).toUpper());
            writer.writeEmptyElement(QStringLiteral("relevance"));
            writer.writeTextElement(QStringLiteral("url"), QString::fromUtf8(result.url));
            writer.writeTextElement(QStringLiteral("domain"), QString::fromUtf8(result.domain));
            writer.writeTextElement(QStringLiteral("title"), result.title);
            writer.writeTextElement(QStringLiteral("mime-type"), QStringLiteral("text/html"));
            writer.writeTextElement(QStringLiteral("charset"), QStringLiteral("utf-8"));
            writer.writeEndElement(); // doc
            writer.writeEndElement(); // group
        }
        writer.writeEndElement(); // grouping
        writer.writeEndElement(); // results
        writer.writeEndElement(); // response
    });
}

QByteArray yandexErrorXml(int code, const QByteArray& text, const QByteArray& date)
{
    return xmlDocument([&](QXmlStreamWriter& writer) {
        writer.writeStartElement(QStringLiteral("response"));
        writer.writeAttribute(QStringLiteral("date"), QString::fromLatin1(date));
        writer.writeStartElement(QStringLiteral("error"));
        writer.writeAttribute(QStringLiteral("code"), QString::number(code));
        writer.writeCharacters(QString::fromUtf8(text));
        writer.writeEndElement();
        writer.writeEndElement();
    });
}

QByteArray yandexErrorText(int code)
{
    switch (code) {
    case 15:
        return "Искомая комбинация слов нигде не встречается";
    case 31:
        return "Пользователь не зарегистрирован в сервисе";
    case 32:
        return "Лимит запросов исчерпан";
    case 33:
        return "Запрос пришёл с IP-адреса, не входящего в список разрешённых";
    case 42:
        return "Ключ, указанный при обращении к сервису, не принят";
    case 44:
        return "Адрес, по которому отправлен запрос, не поддерживается";
    case 55:
        return "Превышено допустимое число запросов в секунду";
    case 100:
        return "Запрос похож на автоматический";
    default:
        return "Ошибка при обработке запроса";
    }
}

QByteArray yandexXmlWithoutResults(const QByteArray& date)
{
    return xmlDocument([&date](QXmlStreamWriter& writer) {
        writer.writeStartElement(QStringLiteral("response"));
        writer.writeAttribute(QStringLiteral("date"), QString::fromLatin1(date));
        writer.writeTextElement(QStringLiteral("reqid"), QStringLiteral("0"));
        writer.writeEndElement();
    });
}

QByteArray rawDataJson(const QByteArray& rawData)
{
    return compact(QJsonObject { { QStringLiteral("rawData"), QString::fromLatin1(rawData) } });
}

QByteArray operationJson(
    const QByteArray& id, bool done, const QByteArray& rawData, const QByteArray& createdAt)
{
    QJsonObject operation {
        { QStringLiteral("id"), QString::fromLatin1(id) },
        { QStringLiteral("description"), QStringLiteral("WEB search async") },
        { QStringLiteral("createdAt"), QString::fromLatin1(createdAt) },
        { QStringLiteral("createdBy"), QStringLiteral("ajesandbox0000000000") },
        { QStringLiteral("modifiedAt"), QString::fromLatin1(createdAt) },
        { QStringLiteral("done"), done },
    };
    if (done)
        operation[QStringLiteral("response")] = QJsonObject {
            { QStringLiteral("@type"),
                QStringLiteral("type.googleapis.com/yandex.cloud.searchapi.v2.WebSearchResponse") },
            { QStringLiteral("rawData"), QString::fromLatin1(rawData) },
        };
    return compact(operation);
}

QByteArray cloudErrorJson(int grpcCode, const QByteArray& message)
{
    return compact(QJsonObject {
        { QStringLiteral("code"), grpcCode },
        { QStringLiteral("message"), QString::fromUtf8(message) },
        { QStringLiteral("details"), QJsonArray {} },
    });
}

int grpcCodeOf(int httpStatus)
{
    switch (httpStatus) {
    case 400:
        return 3; // INVALID_ARGUMENT
    case 401:
        return 16; // UNAUTHENTICATED
    case 403:
        return 7; // PERMISSION_DENIED
    case 404:
        return 5; // NOT_FOUND
    case 429:
        return 8; // RESOURCE_EXHAUSTED
    case 503:
        return 14; // UNAVAILABLE
    case 504:
        return 4; // DEADLINE_EXCEEDED
    default:
        return 13; // INTERNAL
    }
}

QByteArray wordstatJson(const WordstatAnswer& answer)
{
    const auto figure = [&answer](qint64 count) {
        return answer.totalAsNumber ? QJsonValue(double(count)) : QJsonValue(QString::number(count));
    };
    // The phrase itself, then as many longer ones with it as were asked for, fewer each.
    static const QStringList tails = { {}, QStringLiteral(" купить"), QStringLiteral(" отзывы"),
        QStringLiteral(" цена"), QStringLiteral(" своими руками") };
    QJsonArray results;
    for (int i = 0; i < std::min<int>(answer.numPhrases, tails.size()); ++i)
        results.append(QJsonObject {
            { QStringLiteral("phrase"), answer.phrase + tails[i] },
            { QStringLiteral("count"), figure(answer.count / (i + 1)) },
        });
    return compact(QJsonObject {
        { QStringLiteral("totalCount"), figure(answer.count) },
        { QStringLiteral("results"), results },
        { QStringLiteral("associations"), QJsonArray {} },
    });
}

QByteArray serpJson(const SerpAnswer& answer)
{
    QJsonArray organic;
    for (const Result& result : answer.results)
        organic.append(QJsonObject {
            { QStringLiteral("position"), result.position },
            { QStringLiteral("title"), result.title },
            { QStringLiteral("link"), QString::fromUtf8(result.url) },
            { QStringLiteral("displayed_link"), QString::fromUtf8("https://" + result.domain) },
            { QStringLiteral("snippet"), QStringLiteral("Описание страницы") },
        });
    const QString query = QString::fromUtf8(QUrl::toPercentEncoding(answer.query));
    QJsonObject parameters {
        { QStringLiteral("engine"), QStringLiteral("google") },
        { QStringLiteral("q"), answer.query },
        { QStringLiteral("google_domain"), QStringLiteral("google.com") },
        { QStringLiteral("device"), QStringLiteral("desktop") },
        { QStringLiteral("start"), answer.start },
        { QStringLiteral("num"), QString::number(answer.num) },
    };
    if (!answer.country.isEmpty())
        parameters[QStringLiteral("gl")] = QString::fromUtf8(answer.country);
    if (!answer.language.isEmpty())
        parameters[QStringLiteral("hl")] = QString::fromUtf8(answer.language);
    if (!answer.location.isEmpty()) {
        parameters[QStringLiteral("location_requested")] = answer.location;
        parameters[QStringLiteral("location_used")] = answer.location;
    }
    return compact(QJsonObject {
        { QStringLiteral("search_metadata"),
            QJsonObject {
                { QStringLiteral("id"), QStringLiteral("sandbox") },
                { QStringLiteral("status"), QStringLiteral("Success") },
                { QStringLiteral("google_url"),
                    QStringLiteral("https://www.google.com/search?q=%1&start=%2&num=%3")
                        .arg(query)
                        .arg(answer.start)
                        .arg(answer.num) },
            } },
        { QStringLiteral("search_parameters"), parameters },
        { QStringLiteral("search_information"),
            QJsonObject {
                { QStringLiteral("organic_results_state"), QStringLiteral("Results for exact spelling") } } },
        { QStringLiteral("organic_results"), organic },
    });
}

QByteArray serpErrorJson(const QByteArray& text)
{
    return compact(QJsonObject { { QStringLiteral("error"), QString::fromUtf8(text) } });
}

QByteArray serpErrorText(int status)
{
    switch (status) {
    case 200:
        return "Google hasn't returned any results for this query.";
    case 400:
        return "Missing query `q` parameter.";
    case 401:
        return "Invalid API key. Your API key should be here: https://serpapi.com/manage-api-key";
    case 403:
        return "The account associated with this API key doesn't have permission to perform the request.";
    case 429:
        return "Your account has run out of searches.";
    default:
        return "Something went wrong. Please try again later.";
    }
}

QByteArray truncated(const QByteArray& json)
{
    return json.left(json.size() / 2);
}

} // namespace ApiAnswers
