#include "store/PropertiesStore.h"

#include "platform/Registry.h"
#include "store/PropertyAccess.h"
#include "store/Storage.h"

TcxPropertiesStoreComponent::TcxPropertiesStoreComponent(QObject* component, const QStringList& properties)
    : m_component(component)
    , m_properties(properties)
{
}

TcxPropertiesStoreComponent::~TcxPropertiesStoreComponent()
{
    QObject::disconnect(m_watch);
}

TcxPropertiesStoreComponents::TcxPropertiesStoreComponents(QObject* owner)
    : m_owner(owner)
{
}

TcxPropertiesStoreComponent& TcxPropertiesStoreComponents::Add(
    QObject* component, const QStringList& properties)
{
    auto item = std::make_unique<TcxPropertiesStoreComponent>(component, properties);
    if (component) {
        TcxPropertiesStoreComponent* watched = item.get();
        item->m_watch = QObject::connect(component, &QObject::destroyed, m_owner, [this, watched] {
            std::erase_if(m_items, [watched](const auto& i) { return i.get() == watched; });
        });
    }
    m_items.push_back(std::move(item));
    return *m_items.back();
}

void TcxPropertiesStoreComponents::Delete(int index)
{
    m_items.erase(m_items.begin() + index);
}

QString TcxPropertiesStoreComponents::ObjectName(int index) const
{
    const QObject* component = m_items.at(index)->Component();
    if (!component || component->objectName().isEmpty())
        return QStringLiteral("Component%1").arg(index);
    return component->objectName();
}

QString TcxPropertiesStoreComponents::ClassTag()
{
    return kPropertiesStoreClassTag;
}

TcxPropertiesStore::TcxPropertiesStore(QObject* owner)
    : QObject(owner)
    , m_components(this)
{
}

TcxPropertiesStore::~TcxPropertiesStore() = default;

QString TcxPropertiesStore::effectiveStorageName() const
{
    return m_storageName.isEmpty() ? objectName() : m_storageName;
}

std::unique_ptr<Registry> TcxPropertiesStore::openRegistry() const
{
    return m_registryFactory ? m_registryFactory() : Registry::openCurrentUser();
}

void TcxPropertiesStore::RestoreProperties()
{
    const std::unique_ptr<StorageReader> reader = m_storageType == stRegistry
        ? openRegistryReader(openRegistry(), effectiveStorageName())
        : openFileReader(effectiveStorageName());
    for (int i = 0; i < m_components.Count(); ++i) {
        const QPointer<QObject> component = m_components[i].Component();
        const QStringList properties = m_components[i].Properties();
        for (const StoredEntry& entry : reader->entries(m_components.ObjectName(i))) {
            if (entry.key.isEmpty() || !entry.value || !component)
                continue;
            if (properties.contains(entry.key, Qt::CaseSensitive))
                assignProperty(component, entry.key, *entry.value);
        }
    }
}

void TcxPropertiesStore::StoreProperties(bool recreate)
{
    if (m_components.Count() == 0)
        return;
    const std::unique_ptr<StorageWriter> writer = m_storageType == stRegistry
        ? openRegistryWriter(openRegistry(), effectiveStorageName(), recreate)
        : openFileWriter(effectiveStorageName(), recreate);
    for (int i = 0; i < m_components.Count(); ++i) {
        const TcxPropertiesStoreComponent& item = m_components[i];
        writer->beginObject(m_components.ObjectName(i));
        for (const QString& property : item.Properties())
            if (auto value = readProperty(item.Component(), property))
                writer->write(property, *value);
    }
    writer->close();
}
