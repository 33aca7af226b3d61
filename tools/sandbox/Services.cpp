#include "Services.h"

namespace {

constexpr std::array<Service, kServiceCount> kServices = {
    Service::GoogleCom,
    Service::GoogleRu,
    Service::YandexRu,
    Service::Wordstat,
    Service::RamblerRu,
    Service::AportRu,
    Service::MSNCom,
    Service::PageRank,
    Service::YandexCY,
    Service::Update,
    Service::Feedback,
    Service::YandexSearchApi,
    Service::WordstatApi,
    Service::SerpApi,
};

constexpr std::array<const char*, kServiceCount> kKeys = {
    "GoogleCom",
    "GoogleRu",
    "YandexRu",
    "Wordstat",
    "RamblerRu",
    "AportRu",
    "MSNCom",
    "PageRank",
    "YandexCY",
    "Update",
    "Feedback",
    "YandexSearchApi",
    "WordstatApi",
    "SerpApi",
};

} // namespace

const std::array<Service, kServiceCount>& allServices()
{
    return kServices;
}

QString serviceKey(Service service)
{
    return QString::fromLatin1(kKeys[static_cast<int>(service)]);
}

std::optional<Service> serviceByKey(const QByteArray& key)
{
    for (int i = 0; i < kServiceCount; ++i) {
        if (key == kKeys[i])
            return kServices[i];
    }
    return std::nullopt;
}

bool isResultEngine(Service service)
{
    return pageSize(service) > 0;
}

int pageSize(Service service)
{
    switch (service) {
    case Service::GoogleCom:
    case Service::GoogleRu:
    case Service::MSNCom:
    case Service::AportRu:
    case Service::YandexRu:
        return 10;
    case Service::RamblerRu:
        return 15;
    default:
        return 0;
    }
}

bool isApiService(Service service)
{
    return pageEngineOf(service).has_value();
}

std::optional<Service> pageEngineOf(Service service)
{
    switch (service) {
    case Service::YandexSearchApi:
        return Service::YandexRu;
    case Service::WordstatApi:
        return Service::Wordstat;
    case Service::SerpApi:
        return Service::GoogleCom;
    default:
        return std::nullopt;
    }
}
