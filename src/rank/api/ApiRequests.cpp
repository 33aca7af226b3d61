#include "rank/api/ApiRequests.h"

#include "rank/api/Placeholders.h"

QByteArray jsonText(const QString& text)
{
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\u00" + QByteArray::number(byte, 16).rightJustified(2, '0');
        } else {
            out += c;
        }
    }
    return out + '"';
}

bool isUsableKey(const QString& key)
{
    if (key.isEmpty() || key.size() > 512)
        return false;
    for (QChar c : key) {
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7F)
            return false;
    }
    return true;
}

namespace {

QByteArray number(int value)
{
    return jsonText(QString::number(value));
}

} // namespace

QByteArray yandexSearchBody(
    const ApiSourceDefinition& source, const QString& keyword, int page, const QString& folderId)
{
    QByteArray body = "{\"query\": {\"searchType\": " + jsonText(QString::fromLatin1(source.searchType))
        + ", \"queryText\": " + jsonText(keyword) + ", \"page\": " + number(page)
        + "}, \"groupSpec\": {\"groupMode\": \"GROUP_MODE_DEEP\", \"groupsOnPage\": "
        + number(source.groupsOnPage) + ", \"docsInGroup\": \"1\"}";
    if (source.yandexRegion != 0)
        body += ", \"region\": " + number(source.yandexRegion);
    return body + ", \"folderId\": " + jsonText(folderId) + ", \"responseFormat\": \"FORMAT_XML\"}";
}

QByteArray yandexSearchUrl(const ApiSourceDefinition& source, bool deferred)
{
    return deferred ? source.url() + "Async" : source.url();
}

QByteArray operationUrl(const ApiSourceDefinition& source, const QByteArray& operationId)
{
    return source.operationsUrl + operationId.toPercentEncoding();
}

QList<QByteArray> yandexHeaders(const QString& apiKey)
{
    return { "Authorization: Api-Key " + apiKey.toLatin1() };
}

QByteArray wordstatBody(const ApiSourceDefinition& source, const QString& keyword, const QString& folderId)
{
    QByteArray body = "{\"phrase\": " + jsonText(keyword) + ", \"numPhrases\": 1";
    if (source.yandexRegion != 0)
        body += ", \"regions\": [" + number(source.yandexRegion) + "]";
    return body + ", \"devices\": [\"DEVICE_ALL\"], \"folderId\": " + jsonText(folderId) + "}";
}

QByteArray serpUrl(
    const ApiSourceDefinition& source, const QString& keyword, int start, const QString& apiKey)
{
    const QByteArray key
        = source.apiKeyHeader.isEmpty() ? apiKey.toLatin1().toPercentEncoding() : QByteArray();
    return fillPlaceholders(source.url(),
        { { "{keyword}", keyword.toUtf8().toPercentEncoding() }, { "{start}", QByteArray::number(start) },
            { "{key}", key } });
}

QList<QByteArray> serpHeaders(const ApiSourceDefinition& source, const QString& apiKey)
{
    if (source.apiKeyHeader.isEmpty())
        return {};
    return { source.apiKeyHeader + ": " + apiKey.toLatin1() };
}
