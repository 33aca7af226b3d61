#pragma once

#include "store/StoredValue.h"

#include <memory>
#include <vector>

// One stored key of an object with its decoded value (nothing when it does not decode).
struct StoredEntry {
    QString key;
    std::optional<StoredValue> value;
};

// The two storage kinds as a store sees them: objects named by an item's object name,
// holding named values.
class StorageReader {
public:
    virtual ~StorageReader() = default;
    // The stored keys of an object in stored order; none for an object that is not stored.
    virtual std::vector<StoredEntry> entries(const QString& objectName) = 0;
};

class StorageWriter {
public:
    virtual ~StorageWriter() = default;
    virtual void beginObject(const QString& objectName) = 0;
    // A text, kept in double quotes.
    virtual void write(const QString& property, const QString& text) = 0;
    // Puts everything written into the storage.
    virtual void close() = 0;
};

extern const QString kPropertiesStoreClassTag; // "TcxPropertiesStoreComponent"

std::unique_ptr<StorageReader> openFileReader(const QString& path);
std::unique_ptr<StorageWriter> openFileWriter(const QString& path, bool recreate);
// The registry kind keeps a store below the program's per-user settings (UserSettings): the
// storage name "Tellvik\Kestrova Sertrix\PropertiesStore" is the group "PropertiesStore".
std::unique_ptr<StorageReader> openRegistryReader(const QString& storageName);
std::unique_ptr<StorageWriter> openRegistryWriter(const QString& storageName, bool recreate);
