#include "rank/lookup/ApiScans.h"

#include "net/Endpoints.h"
#include "net/HttpClient.h"
#include "platform/CodePage.h"
#include "platform/TickCount.h"
#include "rank/api/ApiRequests.h"
#include "rank/api/SiteLink.h"
#include "rank/lookup/EngineClients.h"
#include "rank/lookup/LookupHost.h"
#include "rank/lookup/QueryText.h"
#include "rank/lookup/RequestAttempts.h"
#include "rank/lookup/WaitOneSecond.h"

#include <algorithm>

namespace {

const QString kKeysPlace = QStringLiteral("«Источники результатов...»");

// The page a position stands on at the engine's page size (137 at ten a page: 14).
int pageOf(int position, int pageSize)
{
    return (position - 1) / pageSize + 1;
}

} // namespace

ApiScans::ApiScans(LookupHost& host, EngineClients& clients)
    : m_host(host)
    , m_clients(clients)
{
}

QByteArray ApiScans::siteKey() const
{
    return SiteKey(CodePage::toAnsi(m_host.siteText()));
}

QString ApiScans::withoutKeys(QString text) const
{
    const SourceKeys& keys = m_clients.keys();
    for (const QString& key : { keys.yandexApiKey, keys.yandexFolderId, keys.serpApiKey }) {
        if (!key.isEmpty())
            text.replace(key, QStringLiteral("…"));
    }
    return text;
}

std::optional<Outcome> ApiScans::missingKey(SourceKind source) const
{
    const SourceKeys& keys = m_clients.keys();
    const QString caption = sourceCaption(source) + QStringLiteral(": ");
    const QString key = source == SourceKind::SerpJson ? keys.serpApiKey : keys.yandexApiKey;
    if (key.isEmpty())
        return Outcome::refused(caption + QStringLiteral("ключ API не задан: ") + kKeysPlace);
    if (!isUsableKey(key))
        return Outcome::refused(caption + QStringLiteral("в ключе API недопустимые знаки: ") + kKeysPlace);
    if (source == SourceKind::SerpJson)
        return std::nullopt;
    if (keys.yandexFolderId.isEmpty())
        return Outcome::refused(caption + QStringLiteral("идентификатор каталога не задан: ") + kKeysPlace);
    if (!isUsableKey(keys.yandexFolderId))
        return Outcome::refused(
            caption + QStringLiteral("в идентификаторе каталога недопустимые знаки: ") + kKeysPlace);
    return std::nullopt;
}

std::optional<ApiAnswer> ApiScans::ask(
    SourceKind source, HttpClient& client, const Send& send, const Read& read, bool billed, Outcome& why)
{
    int failures = 0;
    for (;;) {
        WaitOneSecond();
        if (m_host.stopRequested()) {
            why = Outcome::stopped();
            return std::nullopt;
        }
        m_host.waitWhilePaused();
        if (m_host.stopRequested()) {
            why = Outcome::stopped();
            return std::nullopt;
        }
        QString error;
        ApiAnswer answer;
        try {
            const QByteArray body = send(client);
            m_clients.noteAnswered();
            if (billed)
                m_clients.noteApiRequest(source);
            else
                m_clients.noteApiPoll();
            answer = read(body);
        } catch (const EHttpAborted&) {
            why = Outcome::stopped();
            return std::nullopt;
        } catch (const EHttpStatus& e) {
            m_clients.noteAnswered();
            answer = answerToStatus(source, e.status());
            if (answer.kind == AnswerKind::Unrecognised)
                error = withoutKeys(QString::fromUtf8(e.what()));
        } catch (const EHttpError& e) {
            error = withoutKeys(QString::fromUtf8(e.what()));
        }
        m_host.processEvents();
        if (error.isEmpty() && answer.kind != AnswerKind::RetryLater) {
            answer.detail = withoutKeys(answer.detail);
            return answer;
        }
        if (!error.isEmpty())
            m_clients.noteFailure(error);
        ++failures;
        const QString last = error.isEmpty() ? answer.detail : error;
        if (failures > RequestAttempts::kMaxFailures) {
            why = Outcome::failed(failures, last);
            return std::nullopt;
        }
        // A source that asks to slow down gets a pause that doubles with every refusal.
        if (answer.kind == AnswerKind::RetryLater) {
            const int pause = std::min(kMaxRetryPauseMs, Endpoints::current().requestIntervalMs << failures);
            if (!WaitMilliseconds(pause, [this] { return m_host.stopRequested(); })) {
                why = Outcome::stopped();
                return std::nullopt;
            }
        }
    }
}

ScanResult ApiScans::endedBy(const ApiAnswer& answer, int depth, SourceKind source)
{
    ScanResult result;
    switch (answer.kind) {
    case AnswerKind::NotFound:
        result.why = Outcome::notFoundInResults(depth, sourceCaption(source));
        break;
    case AnswerKind::Refused:
        result.why = Outcome::refused(answer.detail);
        break;
    case AnswerKind::Blocked:
        result.why = Outcome::blocked(answer.detail);
        break;
    default:
        result.why = Outcome { Reason::Unrecognised, answer.detail };
        break;
    }
    return result;
}

ScanResult ApiScans::scan(Engine engine, const QString& keyword)
{
    const EngineDefinition& row = m_clients.definitions().engine(engine);
    const SourceKind source = m_clients.sourceFor(engine);
    if (const std::optional<Outcome> refused = missingKey(source)) {
        m_clients.noteFailure(refused->detail);
        return { "n/a", 50, *refused };
    }
    return source == SourceKind::SerpJson ? scanSerp(row, keyword) : scanYandex(row, keyword);
}

std::optional<ApiAnswer> ApiScans::askDeferred(
    const EngineDefinition& row, const QByteArray& body, int first, Outcome& why)
{
    HttpClient& client = m_clients.engine(row.engine);
    const QList<QByteArray> headers = yandexHeaders(m_clients.keys().yandexApiKey);
    const QByteArray url = yandexSearchUrl(row.api, true);
    std::optional<ApiAnswer> answer = ask(
        SourceKind::YandexSearchApi, client, [&](HttpClient& c) { return c.postJson(url, body, headers); },
        [first](const QByteArray& json) { return readOperation(json, first); }, true, why);
    const std::uint32_t started = TickCount::now();
    while (answer && answer->kind == AnswerKind::Pending) {
        if (TickCount::since(started) >= std::uint32_t(row.api.pollLimitSeconds) * 1000) {
            why = { Reason::Failed,
                QStringLiteral(
                    "Yandex Search API: отложенный поиск не завершился за %1 с; повторите проверку "
                    "позже или увеличьте PollLimitSeconds")
                    .arg(row.api.pollLimitSeconds) };
            return std::nullopt;
        }
        if (!WaitMilliseconds(row.api.pollSeconds * 1000, [this] { return m_host.stopRequested(); })) {
            why = Outcome::stopped();
            return std::nullopt;
        }
        const QByteArray poll = operationUrl(row.api, answer->operationId);
        answer = ask(
            SourceKind::YandexSearchApi, client, [&](HttpClient& c) { return c.getJson(poll, headers); },
            [first](const QByteArray& json) { return readOperation(json, first); }, false, why);
    }
    return answer;
}

// Yandex Search API: groupsOnPage results a request, the position counted across the pages.
ScanResult ApiScans::scanYandex(const EngineDefinition& row, const QString& keyword)
{
    const ApiSourceDefinition& api = row.api;
    const int depth = PageScans::kMaxPages * row.pageSize;
    const int requests = m_clients.apiRequestsPerKeyword(row.engine);
    const bool deferred = api.mode == ApiMode::Deferred && m_clients.scheduled();
    const QByteArray site = siteKey();
    const QList<QByteArray> headers = yandexHeaders(m_clients.keys().yandexApiKey);
    for (int page = 0; page < requests; ++page) {
        const QByteArray body = yandexSearchBody(api, keyword, page, m_clients.keys().yandexFolderId);
        const int first = page * api.groupsOnPage + 1;
        Outcome why;
        std::optional<ApiAnswer> answer;
        if (deferred) {
            answer = askDeferred(row, body, first, why);
        } else {
            const QByteArray url = yandexSearchUrl(api, false);
            answer = ask(
                SourceKind::YandexSearchApi, m_clients.engine(row.engine),
                [&](HttpClient& c) { return c.postJson(url, body, headers); },
                [first](const QByteArray& json) { return readYandexSearch(json, first); }, true, why);
        }
        if (!answer)
            return { "n/a", 50, why };
        if (answer->kind != AnswerKind::Results)
            return endedBy(*answer, depth, SourceKind::YandexSearchApi);
        for (const ApiResult& result : answer->results) {
            if (result.position <= depth && linkHoldsSiteKey(CodePage::toAnsi(result.link), site)) {
                const int resultPage = pageOf(result.position, row.pageSize);
                return { QByteArray::number(result.position), resultPage, Outcome::found(resultPage) };
            }
        }
        if (answer->results.size() < api.groupsOnPage)
            break;
    }
    return { "n/a", 50, Outcome::notFoundInResults(depth, sourceCaption(SourceKind::YandexSearchApi)) };
}

// A SERP JSON API: PageSize results a request, from {start}.
ScanResult ApiScans::scanSerp(const EngineDefinition& row, const QString& keyword)
{
    const ApiSourceDefinition& api = row.api;
    const int depth = PageScans::kMaxPages * row.pageSize;
    const QByteArray site = siteKey();
    const QString key = m_clients.keys().serpApiKey;
    const QList<QByteArray> headers = serpHeaders(api, key);
    for (int start = 0; start < depth; start += row.pageSize) {
        const QByteArray url = serpUrl(api, keyword, start, key);
        Outcome why;
        const std::optional<ApiAnswer> answer = ask(
            SourceKind::SerpJson, m_clients.engine(row.engine),
            [&](HttpClient& c) { return c.getJson(url, headers); },
            [&api, start](const QByteArray& json) { return readSerpJson(json, api, start); }, true, why);
        if (!answer)
            return { "n/a", 50, why };
        if (answer->kind != AnswerKind::Results)
            return endedBy(*answer, depth, SourceKind::SerpJson);
        for (const ApiResult& result : answer->results) {
            if (result.position <= depth && linkHoldsSiteKey(CodePage::toAnsi(result.link), site)) {
                const int resultPage = pageOf(result.position, row.pageSize);
                return { QByteArray::number(result.position), resultPage, Outcome::found(resultPage) };
            }
        }
        if (answer->results.size() < row.pageSize)
            break;
    }
    return { "n/a", 50, Outcome::notFoundInResults(depth, sourceCaption(SourceKind::SerpJson)) };
}

ScanResult ApiScans::wordstatCount(const QString& keyword)
{
    const SourceKind source = SourceKind::YandexWordstatApi;
    if (const std::optional<Outcome> refused = missingKey(source)) {
        m_clients.noteFailure(refused->detail);
        return { "n/a", 50, *refused };
    }
    const ApiSourceDefinition& api = m_clients.definitions().wordstat.api;
    const QByteArray body = wordstatBody(api, keyword, m_clients.keys().yandexFolderId);
    const QList<QByteArray> headers = yandexHeaders(m_clients.keys().yandexApiKey);
    const QByteArray url = api.url();
    Outcome why;
    const std::optional<ApiAnswer> answer = ask(
        source, m_clients.engine(Engine::YandexRu),
        [&](HttpClient& c) { return c.postJson(url, body, headers); }, readWordstat, true, why);
    if (!answer)
        return { "n/a", 50, why };
    if (answer->kind != AnswerKind::Results)
        return endedBy(*answer, 1, source);
    return { QByteArray::number(answer->count), 50,
        { Reason::Found, QStringLiteral("Значение получено через Yandex Wordstat API") } };
}
