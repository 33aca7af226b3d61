#pragma once

#include "platform/Registry.h"

#include <map>
#include <vector>

// The per-user registry kept in files below the XDG configuration folder. Keys of the first two
// levels are folders; every key of the third level is one file holding its whole tree in the form
// of a regedit export, so "Tellvik\Kestrova Sertrix\PropertiesStore" lives in
// "<config>/Tellvik/Kestrova Sertrix/PropertiesStore.reg". Keys of the first two levels hold no
// values. A session reads a file once and rewrites changed files on flush(), each one replaced
// at once and readable by its owner only (the proxy password is kept there).
class XdgRegistry : public Registry {
public:
    explicit XdgRegistry(const QString& rootFolder);
    ~XdgRegistry() override;

    // $XDG_CONFIG_HOME, by default ~/.config.
    static QString defaultRoot();
    // The file that holds a key of the third level or below.
    QString fileOf(const QString& key) const;

    bool keyExists(const QString& key) override;
    bool createKey(const QString& key) override;
    bool deleteKeyTree(const QString& key) override;
    QStringList subkeys(const QString& key) override;
    QStringList listValueNames(const QString& key) override;
    std::optional<QString> readString(const QString& key, const QString& name) override;
    bool writeString(const QString& key, const QString& name, const QString& text) override;
    bool flush() override;
    QString errorString() const override { return m_error; }

    struct Node;

private:
    struct Hive;
    static constexpr int kFileDepth = 3;

    QString folderOf(const QStringList& segments) const;
    Hive& hiveOf(const QStringList& segments);
    Node* find(const QStringList& segments);

    QString m_root;
    QString m_error;
    std::map<QString, std::unique_ptr<Hive>> m_hives; // by the lower-case path of the file key
};
