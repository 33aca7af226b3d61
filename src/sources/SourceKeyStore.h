#pragma once

#include "rank/api/SourceKeys.h"
#include "sources/KeyName.h"
#include "sources/SecretServiceKeys.h"

#include <QString>
#include <QStringList>
#include <array>
#include <chrono>
#include <optional>

// Where a key was found.
enum class KeyPlace { Nowhere, Environment, Keyring, KeyFile };

struct FoundKeys {
    SourceKeys keys;
    std::array<KeyPlace, kKeyNames.size()> places { KeyPlace::Nowhere, KeyPlace::Nowhere, KeyPlace::Nowhere };
    // False when the Secret Service did not answer (or there is none); keyringProblem says why.
    bool keyringAnswered = true;
    QString keyringProblem;
    // In words: a key file that was refused, a variable that was not taken. Never a key.
    QStringList problems;

    KeyPlace placeOf(KeyName name) const { return places.at(static_cast<std::size_t>(name)); }
};

// What the user changed in "Источники результатов...": a key typed anew, or a key to forget.
struct KeyChanges {
    std::array<std::optional<QString>, kKeyNames.size()> replace;
    std::array<bool, kKeyNames.size()> remove {};
};

// Where the keys of the API sources are kept and found. Each key is looked for in the
// environment variables (KESTROVA_YANDEX_API_KEY, ...), then in the keyring through the Secret
// Service, then in the key file; a key found in one place is not looked for further. The program
// keeps the keys it is given in the keyring, or, where no Secret Service answers and the user
// agrees, in the key file.
class SourceKeyStore {
public:
    // Looking keys up is bounded tightly, as a check waits for it. Keeping them is done for a user
    // who clicked OK and may have to unlock the keyring in its own prompt first: it may take longer.
    explicit SourceKeyStore(std::chrono::milliseconds lookupTimeout = std::chrono::seconds(5),
        std::chrono::milliseconds keepTimeout = std::chrono::seconds(30));

    FoundKeys load() const;

    enum class Outcome {
        Saved,
        NoKeyring, // the keyring did not answer: nothing was kept; the key file is the choice left
        Failed,
    };
    // Keeps the changes in the keyring, or with toFile in the key file. A key kept in the keyring
    // leaves the key file; a key forgotten leaves both.
    Outcome save(const KeyChanges& changes, bool toFile, QString* problem) const;

private:
    SecretServiceKeys m_lookup;
    SecretServiceKeys m_keep;
};
