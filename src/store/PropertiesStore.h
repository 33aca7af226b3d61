#pragma once

#include "store/StoreError.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class Registry;

// One item of a store: a component and the names of its properties to keep, in order.
class TcxPropertiesStoreComponent {
public:
    TcxPropertiesStoreComponent(QObject* component, const QStringList& properties);
    ~TcxPropertiesStoreComponent();
    TcxPropertiesStoreComponent(const TcxPropertiesStoreComponent&) = delete;
    TcxPropertiesStoreComponent& operator=(const TcxPropertiesStoreComponent&) = delete;

    QObject* Component() const { return m_component; }
    QStringList& Properties() { return m_properties; }
    const QStringList& Properties() const { return m_properties; }

private:
    friend class TcxPropertiesStoreComponents;
    QPointer<QObject> m_component;
    QStringList m_properties;
    QMetaObject::Connection m_watch;
};

// The ordered items of a store; it owns them and drops the items of a component when that
// component is destroyed.
class TcxPropertiesStoreComponents {
public:
    explicit TcxPropertiesStoreComponents(QObject* owner);
    TcxPropertiesStoreComponents(const TcxPropertiesStoreComponents&) = delete;
    TcxPropertiesStoreComponents& operator=(const TcxPropertiesStoreComponents&) = delete;

    TcxPropertiesStoreComponent& Add(QObject* component, const QStringList& properties);
    void Delete(int index);
    void Clear() { m_items.clear(); }
    int Count() const { return int(m_items.size()); }
    TcxPropertiesStoreComponent& operator[](int index) { return *m_items.at(index); }
    const TcxPropertiesStoreComponent& operator[](int index) const { return *m_items.at(index); }

    // The component's name; "Component" and the index for an item without a named component.
    QString ObjectName(int index) const;
    // The same for every item: "TcxPropertiesStoreComponent".
    static QString ClassTag();

private:
    QObject* m_owner;
    std::vector<std::unique_ptr<TcxPropertiesStoreComponent>> m_items;
};

enum TcxStorageType { stIniFile, stRegistry };

// Keeps named properties of named components in a project file (INI form, Windows-1251) or in
// the per-user registry. RestoreProperties reads them into the components, StoreProperties
// writes the current values. Failures are EPropertiesStore exceptions with the system's texts.
class TcxPropertiesStore : public QObject {
    Q_OBJECT
public:
    using RegistryFactory = std::function<std::unique_ptr<Registry>()>;

    explicit TcxPropertiesStore(QObject* owner = nullptr);
    ~TcxPropertiesStore() override;

    TcxPropertiesStoreComponents& Components() { return m_components; }
    const TcxPropertiesStoreComponents& Components() const { return m_components; }

    // The file path, or the registry key path below the per-user root ('\' between segments);
    // empty stands for the store's own object name.
    QString StorageName() const { return m_storageName; }
    void SetStorageName(const QString& name) { m_storageName = name; }
    TcxStorageType StorageType() const { return m_storageType; }
    void SetStorageType(TcxStorageType type) { m_storageType = type; }
    // Governs only the automatic restore and store of a window's store; explicit calls always work.
    bool Active() const { return m_active; }
    void SetActive(bool active) { m_active = active; }

    void RestoreProperties();
    // Writes every item; with recreate the storage is emptied first. Nothing is touched when
    // the store has no items.
    void StoreProperties(bool recreate = true);

    // Where the registry kind opens its sessions; by default the current user's registry.
    void SetRegistryFactory(RegistryFactory factory) { m_registryFactory = std::move(factory); }

private:
    QString effectiveStorageName() const;
    std::unique_ptr<Registry> openRegistry() const;

    TcxPropertiesStoreComponents m_components;
    QString m_storageName;
    TcxStorageType m_storageType = stIniFile;
    bool m_active = true;
    RegistryFactory m_registryFactory;
};
