#pragma once

#include <QString>

// The user's own keys for the result sources asked through an API. An empty text is a key that is
// set nowhere. They are secrets: they go into the request to their own source and nowhere else.
struct SourceKeys {
    QString yandexApiKey; // Yandex Cloud API key (Search API, Wordstat)
    QString yandexFolderId; // the Yandex Cloud folder the requests are billed to
    QString serpApiKey; // the SERP JSON API's key
};

// Where kestrova-check and scheduled checks look first, before the keyring and the key file.
inline constexpr char kYandexApiKeyVariable[] = "KESTROVA_YANDEX_API_KEY";
inline constexpr char kYandexFolderIdVariable[] = "KESTROVA_YANDEX_FOLDER_ID";
inline constexpr char kSerpApiKeyVariable[] = "KESTROVA_SERP_API_KEY";
