#include "store/ProgramStores.h"

#include "store/PropertiesStore.h"

#include <QObject>
#include <QStringList>
#include <stdexcept>

namespace ProgramStores {

namespace {

void addItem(TcxPropertiesStore& store, QObject* owner, const QString& name, const QString& property)
{
    QObject* component = owner->findChild<QObject*>(name);
    if (!component)
        throw std::logic_error("property store: no component named " + name.toStdString());
    store.Components().Add(component, { property });
}

} // namespace

void declareProjectFileItems(TcxPropertiesStore& store, QObject* frame, QStringList engineKeys)
{
    // A project file lists the check boxes in the order of their names.
    engineKeys.sort();
    for (const QString& engine : engineKeys)
        addItem(store, frame, QStringLiteral("CheckBox") + engine, QStringLiteral("Checked"));
    for (int n = 1; n <= 7; ++n)
        addItem(store, frame, QStringLiteral("edKeyWord%1").arg(n), QStringLiteral("Text"));
    addItem(store, frame, QStringLiteral("edWEB"), QStringLiteral("Text"));
    store.SetActive(false);
    store.SetStorageType(stIniFile);
}

void declareConnectionItems(TcxPropertiesStore& store, QObject* frame)
{
    addItem(store, frame, QStringLiteral("RBDefault"), QStringLiteral("Checked"));
    addItem(store, frame, QStringLiteral("RBProxy"), QStringLiteral("Checked"));
    addItem(store, frame, QStringLiteral("GBProxy"), QStringLiteral("Enabled"));
    addItem(store, frame, QStringLiteral("GBUser"), QStringLiteral("Enabled"));
    for (const char* name : { "ProxyPass", "ProxyPort", "ProxyServer", "ProxyUser" })
        addItem(store, frame, QLatin1String(name), QStringLiteral("Text"));
    store.SetStorageType(stRegistry);
    store.SetStorageName(kConnectionStore);
}

void declareFileStoreItems(TcxPropertiesStore& store, QObject* mainWindow)
{
    addItem(store, mainWindow, QStringLiteral("OpenDialog"), QStringLiteral("InitialDir"));
    addItem(store, mainWindow, QStringLiteral("SaveDialog"), QStringLiteral("InitialDir"));
    store.SetStorageType(stRegistry);
    store.SetStorageName(kFileStore);
}

void declareVerStoreItems(TcxPropertiesStore& store, QObject* updateWindow)
{
    addItem(store, updateWindow, QStringLiteral("lblUpDate"), QStringLiteral("Caption"));
    addItem(store, updateWindow, QStringLiteral("lblVer"), QStringLiteral("Caption"));
    store.SetStorageType(stRegistry);
    store.SetStorageName(kVerStore);
}

void loadProject(TcxPropertiesStore& dataStore, const QString& path)
{
    dataStore.SetStorageName(path);
    dataStore.RestoreProperties();
}

void saveProject(TcxPropertiesStore& dataStore, const QString& path)
{
    dataStore.SetStorageName(path);
    dataStore.StoreProperties(true);
}

} // namespace ProgramStores
