#pragma once

#include "rank/api/SourceKeys.h"

#include <QString>
#include <array>

// The three keys a user gives for the sources asked through an API.
enum class KeyName { YandexApiKey, YandexFolderId, SerpApiKey };

inline constexpr std::array<KeyName, 3> kKeyNames { KeyName::YandexApiKey, KeyName::YandexFolderId,
    KeyName::SerpApiKey };

// The key's stable word in the keyring's attribute and in the key file: "yandex-api-key",
// "yandex-folder-id", "serp-api-key".
QString keyCode(KeyName name);
// The environment variable that gives the key before the keyring and the key file.
const char* keyVariable(KeyName name);
// How the program names the key to the user: "ключ Yandex Search API", ...
QString keyCaption(KeyName name);

QString& keyIn(SourceKeys& keys, KeyName name);
const QString& keyIn(const SourceKeys& keys, KeyName name);

// Why a typed key cannot be kept: empty, too long, or holding anything but printable ASCII.
// Empty when the key is acceptable.
QString keyProblem(KeyName name, const QString& value);

inline constexpr int kMaxKeyLength = 1024;
