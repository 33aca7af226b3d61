#pragma once

#include "rank/api/SourceChoice.h"
#include "sources/OfferedSources.h"
#include "sources/SourceKeyStore.h"

#include <QDialog>
#include <array>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Источники результатов": the source of each engine column and of the query counts among those
// the definitions offer, and the keys of the API sources. A stored key is never shown: its field
// stays empty and says that the key is kept; what is typed replaces it, "Удалить" forgets it.
// OK keeps the keys in the keyring, or, where no Secret Service answers and the user agrees, in
// the key file, and remembers the choice; a problem keeps the dialog open with a message.
class SourcesDialog : public QDialog {
    Q_OBJECT
public:
    SourcesDialog(const SourceOffers& offers, const SourceChoice& choice, const FoundKeys& found,
        const SourceKeyStore& store, QWidget* parent = nullptr);

    std::array<QComboBox*, kEngines.size()> CBEngines {};
    QComboBox* CBWordstat = nullptr;
    std::array<QLineEdit*, kKeyNames.size()> EKeys {};
    std::array<QLabel*, kKeyNames.size()> LKeyStates {};
    std::array<QPushButton*, kKeyNames.size()> BForget {};
    QLabel* LNoKeyring = nullptr; // shown when no Secret Service answered, with the reason
    QLabel* LProblems = nullptr; // a key file refused, a variable not taken
    QDialogButtonBox* Buttons = nullptr;

    // The choice as the lists show it.
    SourceChoice choice() const;

public slots:
    void accept() override;

private:
    void forget(KeyName name);
    KeyChanges changes() const;

    const SourceKeyStore& m_store;
    std::array<bool, kKeyNames.size()> m_forget {};
};
