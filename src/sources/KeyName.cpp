#include "sources/KeyName.h"

QString keyCode(KeyName name)
{
    switch (name) {
    case KeyName::YandexApiKey:
        return QStringLiteral("yandex-api-key");
    case KeyName::YandexFolderId:
        return QStringLiteral("yandex-folder-id");
    case KeyName::SerpApiKey:
        return QStringLiteral("serp-api-key");
    }
    return {};
}

const char* keyVariable(KeyName name)
{
    switch (name) {
    case KeyName::YandexApiKey:
        return kYandexApiKeyVariable;
    case KeyName::YandexFolderId:
        return kYandexFolderIdVariable;
    case KeyName::SerpApiKey:
        return kSerpApiKeyVariable;
    }
    return "";
}

QString keyCaption(KeyName name)
{
    switch (name) {
    case KeyName::YandexApiKey:
        return QStringLiteral("ключ API Yandex Cloud");
    case KeyName::YandexFolderId:
        return QStringLiteral("идентификатор каталога Yandex Cloud");
    case KeyName::SerpApiKey:
        return QStringLiteral("ключ SERP JSON API");
    }
    return {};
}

QString& keyIn(SourceKeys& keys, KeyName name)
{
    switch (name) {
    case KeyName::YandexFolderId:
        return keys.yandexFolderId;
    case KeyName::SerpApiKey:
        return keys.serpApiKey;
    case KeyName::YandexApiKey:
        break;
    }
    return keys.yandexApiKey;
}

const QString& keyIn(const SourceKeys& keys, KeyName name)
{
    return keyIn(const_cast<SourceKeys&>(keys), name);
}

QString keyProblem(KeyName name, const QString& value)
{
    if (value.isEmpty())
        return QStringLiteral("%1 пуст").arg(keyCaption(name));
    if (value.size() > kMaxKeyLength)
        return QStringLiteral("%1 длиннее %2 знаков").arg(keyCaption(name)).arg(kMaxKeyLength);
    // Keys and folder ids are printable ASCII; anything else would break a request header or the
    // key file's line.
    for (const QChar c : value)
        if (c.unicode() < 0x21 || c.unicode() > 0x7e)
            return QStringLiteral("%1 содержит пробел, управляющий или не латинский знак")
                .arg(keyCaption(name));
    return {};
}
