#include "store/PropertiesStore.h"

#include "store/Storage.h"

namespace {

bool sameAsciiName(const QString& text, QLatin1String name)
{
    if (text.size() != name.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const char16_t lower = (c >= u'A' && c <= u'Z') ? c + 32 : c;
        const char n = name[i].toLatin1();
        if (lower != char16_t((n >= 'A' && n <= 'Z') ? n + 32 : n))
            return false;
    }
    return true;
}

bool booleanOf(const StoredValue& value)
{
    const QString text = printedForm(value);
    if (sameAsciiName(text, QLatin1String("True")))
        return true;
    if (!sameAsciiName(text, QLatin1String("False")))
        throw EPropertiesStore(QStringLiteral("Invalid property element: %1").arg(text));
    return false;
}

} // namespace

TcxPropertiesStore::TcxPropertiesStore(QObject* owner)
    : QObject(owner)
{
}

TcxPropertiesStore::~TcxPropertiesStore() = default;

void TcxPropertiesStore::add(const QString& objectName, StoredProperty property)
{
    m_components.append({ objectName, { std::move(property) } });
}

void TcxPropertiesStore::addText(const QString& objectName, const QString& property, QString& value)
{
    add(objectName,
        { property, [&value] { return std::optional(value); },
            [&value](const StoredValue& stored) { value = printedForm(stored); } });
}

void TcxPropertiesStore::addBoolean(const QString& objectName, const QString& property, bool& value)
{
    add(objectName,
        { property,
            [&value] { return std::optional(value ? QStringLiteral("True") : QStringLiteral("False")); },
            [&value](const StoredValue& stored) { value = booleanOf(stored); } });
}

void TcxPropertiesStore::addComponentText(QObject* component, const QString& property)
{
    const QByteArray name = property == u"Caption" ? QByteArray("text") : property.toLatin1();
    const QPointer<QObject> alive(component);
    add(component->objectName(),
        { property,
            [alive, name] { return alive ? std::optional(alive->property(name).toString()) : std::nullopt; },
            [alive, name](const StoredValue& stored) {
                if (alive)
                    alive->setProperty(name, printedForm(stored));
            } });
}

QString TcxPropertiesStore::effectiveStorageName() const
{
    return m_storageName.isEmpty() ? objectName() : m_storageName;
}

void TcxPropertiesStore::RestoreProperties()
{
    const std::unique_ptr<StorageReader> reader = m_storageType == stRegistry
        ? openRegistryReader(effectiveStorageName())
        : openFileReader(effectiveStorageName());
    for (const TcxPropertiesStoreComponent& item : m_components) {
        for (const StoredEntry& entry : reader->entries(item.objectName)) {
            if (entry.key.isEmpty() || !entry.value)
                continue;
            for (const StoredProperty& property : item.properties) {
                if (property.name == entry.key)
                    property.assign(*entry.value);
            }
        }
    }
}

void TcxPropertiesStore::StoreProperties(bool recreate)
{
    if (m_components.isEmpty())
        return;
    const std::unique_ptr<StorageWriter> writer = m_storageType == stRegistry
        ? openRegistryWriter(effectiveStorageName(), recreate)
        : openFileWriter(effectiveStorageName(), recreate);
    for (const TcxPropertiesStoreComponent& item : m_components) {
        writer->beginObject(item.objectName);
        for (const StoredProperty& property : item.properties) {
            if (const std::optional<QString> value = property.read())
                writer->write(property.name, *value);
        }
    }
    writer->close();
}
