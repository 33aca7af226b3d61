#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The bodies the API services answer, in the providers' documented forms: the Yandex Search API's
// XML (carried Base64 in JSON), its operations, the Wordstat API's JSON and a SERP JSON API's.
namespace ApiAnswers {

// How deep the services answer: twenty pages of ten, as the page engines.
constexpr int kDepth = 200;

struct Result {
    int position = 0; // 1-based overall
    QByteArray url;
    QByteArray domain;
    QString title;
};

// The results at positions first .. first + count - 1 (1-based, at most to kDepth); the site stands
// at sitePosition (0: nowhere) with its link https://SITE/catalog/page.html.
QList<Result> results(int first, int count, int sitePosition, const QString& site);

struct YandexPage {
    QString query;
    int page = 0;
    int groupsOnPage = 0;
    QList<Result> results;
    QByteArray date; // yyyyMMddTHHmmss
    QByteArray reqid;
};
QByteArray yandexXml(const YandexPage& page);
QByteArray yandexErrorXml(int code, const QByteArray& text, const QByteArray& date);
// The message Yandex gives with an error code.
QByteArray yandexErrorText(int code);
// An answer with neither results nor an error.
QByteArray yandexXmlWithoutResults(const QByteArray& date);
QByteArray rawDataJson(const QByteArray& rawData); // {"rawData": rawData} as given
QByteArray operationJson(
    const QByteArray& id, bool done, const QByteArray& rawData, const QByteArray& createdAt);
// An error of Yandex Cloud: {"code": grpcCode, "message": ..., "details": []}.
QByteArray cloudErrorJson(int grpcCode, const QByteArray& message);
int grpcCodeOf(int httpStatus);

struct WordstatAnswer {
    QString phrase;
    qint64 count = 0;
    int numPhrases = 1;
    bool totalAsNumber = false;
};
QByteArray wordstatJson(const WordstatAnswer& answer);

struct SerpAnswer {
    QString query;
    int start = 0;
    int num = 10;
    QByteArray country;
    QByteArray language;
    QString location;
    QList<Result> results;
};
QByteArray serpJson(const SerpAnswer& answer);
QByteArray serpErrorJson(const QByteArray& text);
// SerpApi's message for an HTTP status it answers with an error.
QByteArray serpErrorText(int status);

// The same answer cut short in the middle, as a broken connection would leave it.
QByteArray truncated(const QByteArray& json);

} // namespace ApiAnswers
