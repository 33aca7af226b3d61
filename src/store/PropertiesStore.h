#pragma once

#include "store/StoreError.h"
#include "store/StoredValue.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

// One stored property of an item: its name, its value to store (nothing: not stored) and how a
// restored value is assigned.
struct StoredProperty {
    QString name;
    std::function<std::optional<QString>()> read;
    std::function<void(const StoredValue&)> assign;
};

// One item of a store: the object name its values are kept under, and its properties in order.
struct TcxPropertiesStoreComponent {
    QString objectName;
    QList<StoredProperty> properties;
};

enum TcxStorageType { stIniFile, stRegistry };

// Keeps named properties of named objects in a project file (INI form, Windows-1251) or in the
// per-user settings (UserSettings; the registry on Windows). RestoreProperties reads them into the
// values the items are bound to, StoreProperties writes the current values. Failures are EPropertiesStore
// exceptions with the system's texts.
class TcxPropertiesStore : public QObject {
    Q_OBJECT
public:
    explicit TcxPropertiesStore(QObject* owner = nullptr);
    ~TcxPropertiesStore() override;

    // Items in store order. A text is stored in quotes; a Boolean as "True" or "False", and a
    // restored one must read so, in any letter case ("Invalid property element: %s" otherwise).
    void addText(const QString& objectName, const QString& property, QString& value);
    void addBoolean(const QString& objectName, const QString& property, bool& value);
    // A text property of a component, named by the component's object name; "Caption" is its text.
    // Nothing is stored or restored once the component is gone.
    void addComponentText(QObject* component, const QString& property);
    // A property of one's own: read gives the text to store (nothing: not stored), assign takes a
    // restored value and may throw EPropertiesStore for one it cannot take.
    void addProperty(const QString& objectName, StoredProperty property)
    {
        add(objectName, std::move(property));
    }
    const QList<TcxPropertiesStoreComponent>& Components() const { return m_components; }

    // The file path, or the registry key path below the per-user root ('\' between segments);
    // empty stands for the store's own object name.
    void SetStorageName(const QString& name) { m_storageName = name; }
    void SetStorageType(TcxStorageType type) { m_storageType = type; }
    // Governs only the automatic restore and store of a window's store; explicit calls always work.
    bool Active() const { return m_active; }
    void SetActive(bool active) { m_active = active; }

    void RestoreProperties();
    // Writes every item; with recreate the storage is emptied first. Nothing is touched when
    // the store has no items.
    void StoreProperties(bool recreate = true);

private:
    void add(const QString& objectName, StoredProperty property);
    QString effectiveStorageName() const;

    QList<TcxPropertiesStoreComponent> m_components;
    QString m_storageName;
    TcxStorageType m_storageType = stIniFile;
    bool m_active = true;
};
