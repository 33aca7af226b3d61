#pragma once

#include <QString>
#include <QStringList>

class QObject;
class TcxPropertiesStore;

// The property stores of the program: their storage names and items, in store order.
namespace ProgramStores {

inline const QString kFileStore = QStringLiteral("Tellvik\\Kestrova Sertrix\\FileStore");
inline const QString kConnectionStore = QStringLiteral("Tellvik\\Kestrova Sertrix\\PropertiesStore");
inline const QString kVerStore = QStringLiteral("Tellvik\\Kestrova Sertrix\\VerStore");

// The components are found by object name among the owner's children; a missing one is a
// programming error (std::logic_error).

// DataPropertiesStore of a project frame: the 14 values of a project file (a check box
// "CheckBox" + key for every engine key). Kept inactive.
void declareProjectFileItems(TcxPropertiesStore& store, QObject* frame, QStringList engineKeys);
// PropertiesStore of a project frame: the connection settings, in the registry.
void declareConnectionItems(TcxPropertiesStore& store, QObject* frame);
// The main window's store: InitialDir of OpenDialog and SaveDialog, in the registry.
void declareFileStoreItems(TcxPropertiesStore& store, QObject* mainWindow);
// The update window's store: Caption of lblUpDate and lblVer, in the registry.
void declareVerStoreItems(TcxPropertiesStore& store, QObject* updateWindow);

// LoadProject: restores the project values from the file at path.
void loadProject(TcxPropertiesStore& dataStore, const QString& path);
// SaveProject: writes the project values to the file at path, replacing its content.
void saveProject(TcxPropertiesStore& dataStore, const QString& path);

} // namespace ProgramStores
