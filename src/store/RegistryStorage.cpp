#include "platform/Registry.h"
#include "store/Storage.h"
#include "store/StoreError.h"

namespace {

const QString kClassNameKey = QStringLiteral("[ClassName]");
const QString kClassNameValue = QStringLiteral("ClassName");

QString storageKeyOf(const QString& storageName)
{
    return storageName.startsWith(u'\\') ? storageName : u'\\' + storageName;
}

class RegistryReader : public StorageReader {
public:
    RegistryReader(std::unique_ptr<Registry> registry, const QString& storageName)
        : m_registry(std::move(registry))
        , m_key(storageKeyOf(storageName))
    {
    }

    std::vector<StoredEntry> entries(const QString& objectName) override
    {
        std::vector<StoredEntry> found;
        const QString itemKey = m_key + u'\\' + objectName;
        for (const QString& name : m_registry->listValueNames(itemKey)) {
            const auto value = m_registry->readString(itemKey, name);
            found.push_back({ name, value ? std::optional(decodeStoredText(*value, false)) : std::nullopt });
        }
        return found;
    }

private:
    std::unique_ptr<Registry> m_registry;
    QString m_key;
};

class RegistryWriter : public StorageWriter {
public:
    RegistryWriter(std::unique_ptr<Registry> registry, const QString& storageName, bool recreate)
        : m_registry(std::move(registry))
        , m_storageName(storageName)
        , m_key(storageKeyOf(storageName))
    {
        if (recreate)
            m_registry->deleteKeyTree(m_key);
    }

    void beginObject(const QString& objectName) override
    {
        if (!m_opened && !m_registry->createKey(m_key))
            fail();
        m_opened = true;
        m_itemKey = m_key + u'\\' + objectName;
        const QString classKey = m_itemKey + u'\\' + kClassNameKey;
        if (!m_registry->createKey(classKey)
            || !m_registry->writeString(classKey, kClassNameValue, kPropertiesStoreClassTag))
            fail();
    }

    void write(const QString& property, const QString& text) override
    {
        if (!m_registry->writeString(m_itemKey, property, u'"' + text + u'"'))
            fail();
    }

    void close() override
    {
        if (!m_registry->flush())
            fail();
    }

private:
    [[noreturn]] void fail() const
    {
        QString message = QStringLiteral("Can't create the registry key: \\%1").arg(m_storageName);
        const QString reason = m_registry->errorString();
        if (!reason.isEmpty())
            message += QStringLiteral(". ") + reason;
        throw EPropertiesStore(message);
    }

    std::unique_ptr<Registry> m_registry;
    QString m_storageName;
    QString m_key;
    QString m_itemKey;
    bool m_opened = false;
};

} // namespace

std::unique_ptr<StorageReader> openRegistryReader(
    std::unique_ptr<Registry> registry, const QString& storageName)
{
    return std::make_unique<RegistryReader>(std::move(registry), storageName);
}

std::unique_ptr<StorageWriter> openRegistryWriter(
    std::unique_ptr<Registry> registry, const QString& storageName, bool recreate)
{
    return std::make_unique<RegistryWriter>(std::move(registry), storageName, recreate);
}
