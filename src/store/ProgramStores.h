#pragma once

#include "net/ConnectionSettings.h"

#include <QString>

class QObject;
class TcxPropertiesStore;
struct Project;

// The property stores of the program: their storage names and items, in store order.
namespace ProgramStores {

inline const QString kFileStore = QStringLiteral("Tellvik\\Kestrova Sertrix\\FileStore");
inline const QString kConnectionStore = QStringLiteral("Tellvik\\Kestrova Sertrix\\PropertiesStore");
inline const QString kVerStore = QStringLiteral("Tellvik\\Kestrova Sertrix\\VerStore");

// LoadProject: restores the 14 project values from the file at path into the project (a check
// box "CheckBox" + key per engine, the seven keywords "edKeyWord<n>", the site "edWEB"), and the
// region from the section "Region" (Yandex, GoogleCountry, GoogleLanguage; none without it). A
// missing file restores nothing; values that come before a failing one stay restored.
void loadProject(Project& project, const QString& path);
// The project of a file for a check without a window: as loadProject into a new project, but a
// missing file is an error, "Cannot open file "%s". %s".
Project readProjectFile(const QString& path);
// SaveProject: writes the project's values to the file at path, replacing its content; the
// section "Region" only when a region is set, with its parts that are set.
void saveProject(const Project& project, const QString& path);

// The connection controls of a project frame as the per-user registry keeps them.
struct Connection {
    bool direct = true; // RBDefault Checked
    bool proxy = false; // RBProxy Checked
    bool proxyGroup = false; // GBProxy Enabled
    bool userGroup = false; // GBUser Enabled
    QString password, port, server, user; // ProxyPass, ProxyPort, ProxyServer, ProxyUser Text

    ConnectionSettings settings() const { return { proxy, server, port, user, password }; }
};
// Restores what the registry holds over the given values; values before a failing one stay.
void restoreConnection(Connection& connection);
void storeConnection(const Connection& connection);

// The components are found by object name among the owner's children; a missing one is a
// programming error (std::logic_error).
// The main window's store: InitialDir of OpenDialog and SaveDialog, in the registry.
void declareFileStoreItems(TcxPropertiesStore& store, QObject* mainWindow);
// The update window's store: Caption of lblUpDate and lblVer, in the registry.
void declareVerStoreItems(TcxPropertiesStore& store, QObject* updateWindow);

} // namespace ProgramStores
