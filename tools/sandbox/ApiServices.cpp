// The API services: the Yandex Search API v2 (immediate and deferred), its operations, the Wordstat
// API's topRequests and a SERP JSON API, each answering with the site where the page engine it
// stands for would show it.
#include "ApiAnswers.h"
#include "SandboxServer.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

using ApiAnswers::cloudErrorJson;

// A whole number as proto3's JSON mapping writes it: a string or a number; absent gives fallback.
std::optional<qint64> jsonInteger(const QJsonValue& value, qint64 fallback)
{
    if (value.isUndefined() || value.isNull())
        return fallback;
    if (value.isString()) {
        bool ok = false;
        const qint64 number = value.toString().toLongLong(&ok);
        return ok ? std::optional<qint64>(number) : std::nullopt;
    }
    if (value.isDouble() && value.toDouble() == double(qint64(value.toDouble())))
        return qint64(value.toDouble());
    return std::nullopt;
}

std::optional<QJsonObject> jsonBody(const QByteArray& body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

QByteArray responseDate()
{
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss")).toLatin1();
}

QString decodedQueryValue(const HttpRequest& request, const QByteArray& key)
{
    return QString::fromUtf8(percentDecode(request.queryValue(key), true));
}

// Whether the query names the key at all (an empty value still counts).
bool hasQueryKey(const HttpRequest& request, const QByteArray& key)
{
    const QByteArray path = request.path();
    const qsizetype question = path.indexOf('?');
    if (question < 0)
        return false;
    for (const QByteArray& field : path.mid(question + 1).split('&')) {
        if (field == key || field.startsWith(key + '='))
            return true;
    }
    return false;
}

} // namespace

QByteArray SandboxServer::apiDefinitionsIni(bool deferred) const
{
    const QByteArray search = originOf(Service::YandexSearchApi);
    QByteArray ini = "; Result sources by API, played by ks-sandbox on 127.0.0.1.\n";
    ini += "[YandexRu]\nSource=yandex-search-api, page\n";
    // A deferred search posts to ApiUrl + "Async"; a check by hand stays immediate at ApiUrl.
    ini += "ApiUrl=" + search + "/v2/web/search\n" + (deferred ? "Mode=deferred\n" : "");
    ini += "OperationsUrl=" + search + "/operations/\nPollSeconds=1\n";
    ini += "\n[GoogleCom]\nSource=serp-json, page\n";
    ini += "ApiUrl=" + originOf(Service::SerpApi)
        + "/search.json?engine=google&q={keyword}&start={start}&num=10&gl={country}&hl={language}"
          "&location={region}&api_key={key}\n";
    ini += "\n[Wordstat]\nSource=yandex-wordstat-api, page\n";
    ini += "ApiUrl=" + originOf(Service::WordstatApi) + "/v2/wordstat/topRequests\n";
    return ini;
}

void SandboxServer::setApiErrorBody(Service service, Reply& reply) const
{
    if (service == Service::SerpApi) {
        reply.contentType = "application/json; charset=utf-8";
        reply.body = ApiAnswers::serpErrorJson(ApiAnswers::serpErrorText(reply.status));
    } else {
        reply.contentType = "application/json";
        const QByteArray message = reply.status == 429 ? "Too many requests" : "Request failed";
        reply.body = cloudErrorJson(ApiAnswers::grpcCodeOf(reply.status), message);
    }
}

int SandboxServer::sitePosition(Service apiService, const QString& keyword) const
{
    const Service engine = pageEngineOf(apiService).value_or(apiService);
    const Placement placement = m_state.of(apiService)
                                    .placement(keyword)
                                    .value_or(m_state.of(engine).placement(keyword).value_or(
                                        m_pages.defaultPlacement(engine, keyword)));
    if (placement.absent())
        return 0;
    return placement.page * pageSize(engine) + placement.entry;
}

SandboxServer::Reply SandboxServer::apiReply(
    Service service, const HttpRequest& request, const std::optional<Misbehaviour>& misbehaviour)
{
    if (service == Service::SerpApi)
        return serpReply(request, misbehaviour);

    // Yandex Cloud: the key in "Authorization: Api-Key KEY", errors as JSON with a gRPC code.
    Reply reply;
    reply.contentType = "application/json";
    if (request.header("Authorization") != "Api-Key " + m_options.yandexApiKey) {
        reply.status = 401;
        reply.body = cloudErrorJson(16, "Unknown api key");
        return reply;
    }
    const QByteArray path = request.pathWithoutQuery();
    if (service == Service::YandexSearchApi && request.method == "GET" && path.startsWith("/operations/"))
        return operationReply(request);
    const bool known = service == Service::WordstatApi
        ? path == "/v2/wordstat/topRequests"
        : path == "/v2/web/search" || path == "/v2/web/searchAsync";
    if (!known || request.method != "POST") {
        reply.status = 404;
        reply.body = cloudErrorJson(5, "Not Found");
        return reply;
    }
    return service == Service::WordstatApi ? wordstatApiReply(request, misbehaviour)
                                           : yandexSearchReply(request, misbehaviour);
}

SandboxServer::Reply SandboxServer::cloudRefusal(int status, const QByteArray& message)
{
    Reply reply;
    reply.contentType = "application/json";
    reply.status = status;
    reply.body = cloudErrorJson(ApiAnswers::grpcCodeOf(status), message);
    return reply;
}

SandboxServer::Reply SandboxServer::yandexSearchReply(
    const HttpRequest& request, const std::optional<Misbehaviour>& misbehaviour)
{
    Reply reply;
    reply.contentType = "application/json";
    const std::optional<QJsonObject> body = jsonBody(request.body);
    if (!body)
        return cloudRefusal(400, "Invalid JSON payload");
    const QJsonObject query = body->value(QStringLiteral("query")).toObject();
    const QJsonObject groupSpec = body->value(QStringLiteral("groupSpec")).toObject();
    const QString text = query.value(QStringLiteral("queryText")).toString();
    const std::optional<qint64> page = jsonInteger(query.value(QStringLiteral("page")), 0);
    const std::optional<qint64> groups = jsonInteger(groupSpec.value(QStringLiteral("groupsOnPage")), 20);
    const std::optional<qint64> region = jsonInteger(body->value(QStringLiteral("region")), 0);
    if (text.isEmpty())
        return cloudRefusal(400, "query.queryText: the query is empty");
    if (!page || *page < 0 || !groups || *groups < 1 || *groups > 100 || !region)
        return cloudRefusal(400, "query.page, groupSpec.groupsOnPage or region is not a valid number");
    if (!query.value(QStringLiteral("searchType")).toString().startsWith(QLatin1String("SEARCH_TYPE_")))
        return cloudRefusal(400, "query.searchType: unknown search type");
    const QString format
        = body->value(QStringLiteral("responseFormat")).toString(QStringLiteral("FORMAT_XML"));
    if (format != QLatin1String("FORMAT_XML"))
        return cloudRefusal(400, "responseFormat: only FORMAT_XML is served here");
    if (body->value(QStringLiteral("folderId")).toString().toUtf8() != m_options.yandexFolderId)
        return cloudRefusal(403, "Permission denied to the folder");

    const QByteArray date = responseDate();
    QByteArray xml;
    QByteArray rawData;
    bool damagedJson = false;
    using Kind = Misbehaviour::Kind;
    const int first = int(*page * *groups) + 1;
    if (misbehaviour && misbehaviour->kind == Kind::ApiError) {
        const QByteArray message = misbehaviour->text.isEmpty()
            ? ApiAnswers::yandexErrorText(misbehaviour->status)
            : misbehaviour->text;
        xml = ApiAnswers::yandexErrorXml(misbehaviour->status, message, date);
    } else if (misbehaviour && misbehaviour->kind == Kind::ApiLimit) {
        xml = ApiAnswers::yandexErrorXml(32, ApiAnswers::yandexErrorText(32), date);
    } else if (misbehaviour && misbehaviour->kind == Kind::ApiDamage
        && misbehaviour->damage == Misbehaviour::Damage::Xml) {
        xml = ApiAnswers::yandexXmlWithoutResults(date);
    } else if (first > ApiAnswers::kDepth) {
        xml = ApiAnswers::yandexErrorXml(15, ApiAnswers::yandexErrorText(15), date);
    } else {
        ApiAnswers::YandexPage answer;
        answer.query = text;
        answer.page = int(*page);
        answer.groupsOnPage = int(*groups);
        answer.results = ApiAnswers::results(
            first, int(*groups), sitePosition(Service::YandexSearchApi, text), m_state.site());
        answer.date = date;
        answer.reqid = QByteArray::number(quint64(fnv1a(request.body)) * 1000003u) + "-sandbox";
        xml = ApiAnswers::yandexXml(answer);
    }
    rawData = xml.toBase64();
    if (misbehaviour && misbehaviour->kind == Kind::ApiDamage) {
        if (misbehaviour->damage == Misbehaviour::Damage::Base64)
            rawData = "PD94bWwg*not-base64*";
        damagedJson = misbehaviour->damage == Misbehaviour::Damage::Json;
    }

    if (request.pathWithoutQuery() == "/v2/web/searchAsync") {
        // The id is Yandex Cloud's form: twenty letters and digits.
        const QByteArray id = "sprq" + QByteArray::number(++m_operationCount).rightJustified(16, '0');
        const QByteArray createdAt = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toLatin1();
        m_operations.insert(id, { rawData, damagedJson, m_state.slowPolls(), createdAt });
        reply.body = ApiAnswers::operationJson(id, false, {}, createdAt);
        return reply;
    }
    reply.body = ApiAnswers::rawDataJson(rawData);
    if (damagedJson)
        reply.body = ApiAnswers::truncated(reply.body);
    return reply;
}

SandboxServer::Reply SandboxServer::operationReply(const HttpRequest& request)
{
    Reply reply;
    reply.contentType = "application/json";
    const QByteArray id = request.pathWithoutQuery().mid(QByteArray("/operations/").size());
    const auto found = m_operations.find(id);
    if (found == m_operations.end()) {
        reply.status = 404;
        reply.body = cloudErrorJson(5, "Operation not found");
        return reply;
    }
    const bool done = found->pollsLeft == 0;
    if (!done)
        --found->pollsLeft;
    reply.body = ApiAnswers::operationJson(id, done, found->rawData, found->createdAt);
    if (done && found->damaged)
        reply.body = ApiAnswers::truncated(reply.body);
    return reply;
}

SandboxServer::Reply SandboxServer::wordstatApiReply(
    const HttpRequest& request, const std::optional<Misbehaviour>& misbehaviour)
{
    Reply reply;
    reply.contentType = "application/json";
    const std::optional<QJsonObject> body = jsonBody(request.body);
    if (!body)
        return cloudRefusal(400, "Invalid JSON payload");
    ApiAnswers::WordstatAnswer answer;
    answer.phrase = body->value(QStringLiteral("phrase")).toString();
    const std::optional<qint64> numPhrases = jsonInteger(body->value(QStringLiteral("numPhrases")), 50);
    if (answer.phrase.isEmpty())
        return cloudRefusal(400, "phrase: the phrase is empty");
    if (!numPhrases || *numPhrases < 1 || *numPhrases > 2000)
        return cloudRefusal(400, "numPhrases: expected a number from 1 to 2000");
    for (const QJsonValue region : body->value(QStringLiteral("regions")).toArray()) {
        if (!jsonInteger(region, 0))
            return cloudRefusal(400, "regions: expected region ids");
    }
    if (body->value(QStringLiteral("folderId")).toString().toUtf8() != m_options.yandexFolderId)
        return cloudRefusal(403, "Permission denied to the folder");

    using Kind = Misbehaviour::Kind;
    if (misbehaviour && misbehaviour->kind == Kind::ApiError)
        return cloudRefusal(
            misbehaviour->status, misbehaviour->text.isEmpty() ? "Request failed" : misbehaviour->text);
    if (misbehaviour && misbehaviour->kind == Kind::ApiLimit)
        return cloudRefusal(429, "The daily quota of Wordstat requests is exhausted");

    answer.numPhrases = int(*numPhrases);
    answer.totalAsNumber = m_state.totalAsNumber();
    // A count set for the Wordstat page counts here too when it is a plain number.
    bool plain = false;
    const qint64 set = m_state.countText().value_or(QByteArray()).toLongLong(&plain);
    answer.count = plain && set >= 0 ? set : m_pages.defaultCount(answer.phrase).toLongLong();
    reply.body = ApiAnswers::wordstatJson(answer);
    if (misbehaviour && misbehaviour->kind == Kind::ApiDamage)
        reply.body = ApiAnswers::truncated(reply.body);
    return reply;
}

SandboxServer::Reply SandboxServer::serpReply(
    const HttpRequest& request, const std::optional<Misbehaviour>& misbehaviour)
{
    Reply reply;
    reply.contentType = "application/json; charset=utf-8";
    const auto refuse = [&reply](int status, const QByteArray& text) {
        reply.status = status;
        reply.body = ApiAnswers::serpErrorJson(text);
        return reply;
    };
    const QByteArray path = request.pathWithoutQuery();
    if (request.method != "GET" || (path != "/search.json" && path != "/search"))
        return refuse(404, "Not Found");
    const QByteArray key = hasQueryKey(request, "api_key")
        ? percentDecode(request.queryValue("api_key"), true)
        : request.header("X-API-KEY");
    if (key != m_options.serpApiKey)
        return refuse(401, ApiAnswers::serpErrorText(401));
    const QString engine = decodedQueryValue(request, "engine");
    if (engine != QLatin1String("google"))
        return refuse(400, "Unsupported `" + engine.left(40).toUtf8() + "` search engine.");

    ApiAnswers::SerpAnswer answer;
    answer.query = decodedQueryValue(request, "q");
    bool startOk = true;
    bool numOk = true;
    const QString start = decodedQueryValue(request, "start");
    const QString num = decodedQueryValue(request, "num");
    answer.start = start.isEmpty() ? 0 : start.toInt(&startOk);
    answer.num = num.isEmpty() ? 10 : num.toInt(&numOk);
    if (answer.query.isEmpty())
        return refuse(400, ApiAnswers::serpErrorText(400));
    if (!startOk || !numOk || answer.start < 0 || answer.num < 1 || answer.num > 100)
        return refuse(400, "Invalid `start` or `num` parameter.");

    using Kind = Misbehaviour::Kind;
    if (misbehaviour && misbehaviour->kind == Kind::ApiError)
        return refuse(misbehaviour->status,
            misbehaviour->text.isEmpty() ? ApiAnswers::serpErrorText(misbehaviour->status)
                                         : misbehaviour->text);
    if (misbehaviour && misbehaviour->kind == Kind::ApiLimit)
        return refuse(429, ApiAnswers::serpErrorText(429));
    if (answer.start >= ApiAnswers::kDepth)
        return refuse(200, ApiAnswers::serpErrorText(200));

    answer.country = percentDecode(request.queryValue("gl"), true);
    answer.language = percentDecode(request.queryValue("hl"), true);
    answer.location = decodedQueryValue(request, "location");
    answer.results = ApiAnswers::results(
        answer.start + 1, answer.num, sitePosition(Service::SerpApi, answer.query), m_state.site());
    reply.body = ApiAnswers::serpJson(answer);
    if (misbehaviour && misbehaviour->kind == Kind::ApiDamage)
        reply.body = ApiAnswers::truncated(reply.body);
    return reply;
}
