#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

// The services the sandbox plays, each on its own port.
enum class Service {
    GoogleCom,
    GoogleRu,
    YandexRu,
    Wordstat,
    RamblerRu,
    AportRu,
    MSNCom,
    PageRank,
    YandexCY,
    Update,
    Feedback,
    // The result sources reached by API with the user's key: the Yandex Search API (its operations
    // on the same port), the Wordstat API and a SERP JSON API for Google.
    YandexSearchApi,
    WordstatApi,
    SerpApi,
};

constexpr int kServiceCount = 14;

const std::array<Service, kServiceCount>& allServices();
QString serviceKey(Service service);
std::optional<Service> serviceByKey(const QByteArray& key);

bool isResultEngine(Service service);
int pageSize(Service service); // result entries of a full page; 0 for services without result pages
bool isApiService(Service service);
// The page engine whose figures an API service gives, so that both ways of asking agree.
std::optional<Service> pageEngineOf(Service service);
