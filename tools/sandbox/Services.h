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
};

constexpr int kServiceCount = 11;

const std::array<Service, kServiceCount>& allServices();
QString serviceKey(Service service);
std::optional<Service> serviceByKey(const QByteArray& key);

bool isResultEngine(Service service);
int pageSize(Service service); // result entries of a full page; 0 for services without result pages
