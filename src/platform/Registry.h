#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// Value types of the Windows registry, numbered as the system numbers them.
enum class RegistryType : quint32 { None = 0, String = 1, ExpandString = 2, Binary = 3, DWord = 4 };

struct RegistryValue {
    RegistryType type = RegistryType::None;
    QString text; // String and ExpandString
    QByteArray data; // every other type; DWord as four little-endian bytes

    static RegistryValue string(const QString& text);
    static RegistryValue dword(quint32 number);
    static RegistryValue binary(const QByteArray& bytes);
};

// The per-user registry (HKEY_CURRENT_USER). Key paths are relative to that root with '\' between
// segments; a leading '\' is allowed. Key and value names are found without regard to letter case.
// An object is one session: changes may be held back until flush().
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
    virtual std::optional<RegistryValue> readValue(const QString& key, const QString& name) = 0;
    // The key must exist.
    virtual bool writeValue(const QString& key, const QString& name, const RegistryValue& value) = 0;
    bool writeString(const QString& key, const QString& name, const QString& text)
    {
        return writeValue(key, name, RegistryValue::string(text));
    }
    // Makes every change of this session durable; false when that failed.
    virtual bool flush() = 0;
    // Why the last failed call of this session failed, in words; empty when nothing failed.
    virtual QString errorString() const { return {}; }

    // A new session on the current user's registry; it sees what earlier sessions flushed.
    static std::unique_ptr<Registry> openCurrentUser();
};
