#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

// Reads the settings files of the earlier versions: one file per store, in the form of a regedit
// export, e.g. "PropertiesStore.reg" holding the key
// [HKEY_CURRENT_USER\Tellvik\Kestrova Sertrix\PropertiesStore\ProxyPass] with "Text"="\"secret\"".
// Gives the store's text values as pairs of a settings key below the program's settings
// ("PropertiesStore/ProxyPass/Text") and the text. Values of another kind, the default values,
// keys of other stores and names that cannot be a settings key are passed over.
QList<std::pair<QString, QString>> readRegExport(const QByteArray& bytes, const QString& storeName);
