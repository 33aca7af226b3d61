#pragma once

#include "sources/KeyName.h"

#include <QString>
#include <chrono>
#include <optional>

// The keys in the desktop's keyring through the Secret Service (GNOME Keyring, KeePassXC and
// KWallet serve it), one item a key, found by the schema "ru.tellvik.KestrovaSertrix.SourceKey"
// and the attribute "key" naming it. Every call is bounded by the time-out: a service that does
// not answer in time counts as one that is not there, so that a hung keyring never hangs the
// program.
class SecretServiceKeys {
public:
    explicit SecretServiceKeys(std::chrono::milliseconds timeout = std::chrono::seconds(5));

    // The stored key. Nothing with an empty problem: no such key is stored; nothing with the
    // problem in words: the service did not answer.
    std::optional<QString> lookup(KeyName name, QString* problem) const;
    // Stores the key, replacing the one stored before.
    bool store(KeyName name, const QString& value, QString* problem) const;
    // Removes the key; also true when none was stored.
    bool clear(KeyName name, QString* problem) const;

private:
    std::chrono::milliseconds m_timeout;
};
