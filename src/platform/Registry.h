#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// The per-user registry (HKEY_CURRENT_USER), holding text values (REG_SZ), the only kind the
// program keeps. Key paths are relative to that root with '\' between segments; a leading '\' is
// allowed. Key and value names are found without regard to letter case. An object is one session:
// changes may be held back until flush().
class Registry {
public:
    virtual ~Registry() = default;

    virtual bool keyExists(const QString& key) = 0;
    // Creates the key and any missing parents; true when the key exists afterwards.
    virtual bool createKey(const QString& key) = 0;
    // Deletes the key with all its subkeys; true also when there was nothing to delete.
    virtual bool deleteKeyTree(const QString& key) = 0;
    virtual QStringList subkeys(const QString& key) = 0;
    virtual QStringList listValueNames(const QString& key) = 0;
    virtual std::optional<QString> readString(const QString& key, const QString& name) = 0;
    // The key must exist.
    virtual bool writeString(const QString& key, const QString& name, const QString& text) = 0;
    // Makes every change of this session durable; false when that failed.
    virtual bool flush() = 0;
    // Why the last failed call of this session failed, in words; empty when nothing failed.
    virtual QString errorString() const { return {}; }

    // A new session on the current user's registry; it sees what earlier sessions flushed.
    static std::unique_ptr<Registry> openCurrentUser();
};
