#include "platform/Registry.h"
#include "store/Storage.h"
#include "store/StoreError.h"

#include <QtEndian>

namespace {

const QString kClassNameKey = QStringLiteral("[ClassName]");
const QString kClassNameValue = QStringLiteral("ClassName");

QString storageKeyOf(const QString& storageName)
{
    return storageName.startsWith(u'\\') ? storageName : u'\\' + storageName;
}

std::optional<StoredValue> decode(const RegistryValue& value)
{
    switch (value.type) {
    case RegistryType::String:
    case RegistryType::ExpandString:
        return decodeStoredText(value.text, false);
    case RegistryType::DWord:
        if (value.data.size() == 4)
            return qint64(qFromLittleEndian<qint32>(value.data.constData()));
        return std::nullopt;
    case RegistryType::Binary:
        if (value.data.size() == 8)
            return qFromLittleEndian<double>(value.data.constData());
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

QByteArray doubleBytes(double number)
{
    QByteArray bytes(8, '\0');
    qToLittleEndian(number, bytes.data());
    return bytes;
}

// Date-times are kept as days since 30 December 1899, the fraction being the time of day.
double dayNumber(const QDateTime& dateTime)
{
    return double(QDate(1899, 12, 30).daysTo(dateTime.date()))
        + dateTime.time().msecsSinceStartOfDay() / 86400000.0;
}

RegistryValue encode(const StoredValue& value)
{
    if (const auto* text = std::get_if<QString>(&value))
        return RegistryValue::string(u'"' + *text + u'"');
    if (const auto* number = std::get_if<qint64>(&value))
        return RegistryValue::dword(quint32(*number));
    if (const auto* number = std::get_if<double>(&value))
        return RegistryValue::binary(doubleBytes(*number));
    return RegistryValue::binary(doubleBytes(dayNumber(std::get<QDateTime>(value))));
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
            const auto value = m_registry->readValue(itemKey, name);
            found.push_back({ name, value ? decode(*value) : std::nullopt });
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

    void write(const QString& property, const StoredValue& value) override
    {
        if (!m_registry->writeValue(m_itemKey, property, encode(value)))
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
