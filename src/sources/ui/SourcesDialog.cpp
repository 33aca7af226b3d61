#include "sources/ui/SourcesDialog.h"

#include "platform/ui/Prompts.h"
#include "sources/KeyFile.h"
#include "sources/SourceChoiceSetting.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

std::size_t indexOf(KeyName name)
{
    return static_cast<std::size_t>(name);
}

QComboBox* sourceList(const QStringList& offered, const QString& chosen, const QString& name, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    for (const QString& code : offered)
        list->addItem(sourceChoiceCaption(code), code);
    list->setCurrentIndex(std::max(0, int(offered.indexOf(chosen))));
    return list;
}

QString keyLabel(KeyName name)
{
    switch (name) {
    case KeyName::YandexApiKey:
        return QStringLiteral("Ключ API Yandex Cloud:");
    case KeyName::YandexFolderId:
        return QStringLiteral("Каталог Yandex Cloud (folder id):");
    case KeyName::SerpApiKey:
        return QStringLiteral("Ключ SERP JSON API:");
    }
    return {};
}

QString stateText(KeyName name, KeyPlace place)
{
    switch (place) {
    case KeyPlace::Environment:
        return QStringLiteral("задан переменной окружения %1").arg(QLatin1String(keyVariable(name)));
    case KeyPlace::Keyring:
        return QStringLiteral("сохранён в связке ключей");
    case KeyPlace::KeyFile:
        return QStringLiteral("сохранён в файле ключей");
    case KeyPlace::Nowhere:
        break;
    }
    return QStringLiteral("не задан");
}

} // namespace

SourcesDialog::SourcesDialog(const SourceOffers& offers, const SourceChoice& choice, const FoundKeys& found,
    const SourceKeyStore& store, QWidget* parent)
    : QDialog(parent)
    , m_store(store)
{
    setObjectName(QStringLiteral("SourcesDialog"));
    setWindowTitle(QStringLiteral("Источники результатов"));
    setMinimumWidth(640);
    auto* layout = new QVBoxLayout(this);

    auto* sources = new QGroupBox(QStringLiteral("Откуда брать результаты"), this);
    auto* sourceForm = new QFormLayout(sources);
    for (std::size_t i = 0; i < kEngines.size(); ++i) {
        CBEngines[i] = sourceList(
            offers.engines[i], choice.engines[i], QStringLiteral("CB") + engineKey(kEngines[i]), sources);
        sourceForm->addRow(engineCaption(kEngines[i]) + u':', CBEngines[i]);
    }
    CBWordstat = sourceList(offers.wordstat, choice.wordstat, QStringLiteral("CBWordstat"), sources);
    sourceForm->addRow(QStringLiteral("Число запросов:"), CBWordstat);
    layout->addWidget(sources);

    auto* keys = new QGroupBox(QStringLiteral("Ключи API"), this);
    auto* keyGrid = new QGridLayout(keys);
    for (KeyName name : kKeyNames) {
        const std::size_t i = indexOf(name);
        const KeyPlace place = found.placeOf(name);
        EKeys[i] = new QLineEdit(keys);
        EKeys[i]->setObjectName(QStringLiteral("E") + keyCode(name));
        EKeys[i]->setEchoMode(QLineEdit::Password);
        EKeys[i]->setMaxLength(kMaxKeyLength);
        if (place == KeyPlace::Keyring || place == KeyPlace::KeyFile)
            EKeys[i]->setPlaceholderText(QStringLiteral("сохранён"));
        LKeyStates[i] = new QLabel(stateText(name, place), keys);
        LKeyStates[i]->setObjectName(QStringLiteral("L") + keyCode(name));
        LKeyStates[i]->setWordWrap(true);
        BForget[i] = new QPushButton(QStringLiteral("Удалить"), keys);
        BForget[i]->setObjectName(QStringLiteral("B") + keyCode(name));
        BForget[i]->setEnabled(place == KeyPlace::Keyring || place == KeyPlace::KeyFile);
        connect(BForget[i], &QPushButton::clicked, this, [this, name] { forget(name); });
        const int row = int(i) * 2;
        keyGrid->addWidget(new QLabel(keyLabel(name), keys), row, 0);
        keyGrid->addWidget(EKeys[i], row, 1);
        keyGrid->addWidget(BForget[i], row, 2);
        keyGrid->addWidget(LKeyStates[i], row + 1, 1, 1, 2);
    }
    layout->addWidget(keys);

    QString silent = found.keyringProblem;
    if (!silent.isEmpty())
        silent[0] = silent[0].toUpper();
    LNoKeyring
        = new QLabel(QStringLiteral("%1. Ключи можно сохранить в файле, который может прочитать только ваш "
                                    "пользователь, — это слабее связки ключей: ключ лежит в файле "
                                    "открытым текстом.")
                         .arg(silent),
            this);
    LNoKeyring->setObjectName(QStringLiteral("LNoKeyring"));
    LNoKeyring->setWordWrap(true);
    LNoKeyring->setVisible(!found.keyringAnswered);
    layout->addWidget(LNoKeyring);
    LProblems = new QLabel(found.problems.join(u'\n'), this);
    LProblems->setObjectName(QStringLiteral("LProblems"));
    LProblems->setWordWrap(true);
    LProblems->setVisible(!found.problems.isEmpty());
    layout->addWidget(LProblems);
    auto* note = new QLabel(QStringLiteral("Запросы к API платные: каждый расходует лимит или деньги по "
                                           "тарифу поставщика. Переменные окружения KESTROVA_YANDEX_API_KEY, "
                                           "KESTROVA_YANDEX_FOLDER_ID и KESTROVA_SERP_API_KEY важнее "
                                           "сохранённых ключей."),
        this);
    note->setWordWrap(true);
    layout->addWidget(note);

    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(Buttons);
    connect(Buttons, &QDialogButtonBox::accepted, this, &SourcesDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

SourceChoice SourcesDialog::choice() const
{
    SourceChoice chosen;
    for (std::size_t i = 0; i < kEngines.size(); ++i)
        chosen.engines[i] = CBEngines[i]->currentData().toString();
    chosen.wordstat = CBWordstat->currentData().toString();
    return chosen;
}

void SourcesDialog::forget(KeyName name)
{
    const std::size_t i = indexOf(name);
    m_forget[i] = true;
    EKeys[i]->clear();
    EKeys[i]->setPlaceholderText(QString());
    LKeyStates[i]->setText(QStringLiteral("будет удалён"));
    BForget[i]->setEnabled(false);
}

KeyChanges SourcesDialog::changes() const
{
    KeyChanges changes;
    for (KeyName name : kKeyNames) {
        const std::size_t i = indexOf(name);
        const QString typed = EKeys[i]->text().trimmed();
        if (!typed.isEmpty())
            changes.replace[i] = typed;
        else
            changes.remove[i] = m_forget[i];
    }
    return changes;
}

void SourcesDialog::accept()
{
    const KeyChanges keys = changes();
    const bool anyChange
        = std::any_of(keys.replace.begin(), keys.replace.end(), [](const auto& k) { return bool(k); })
        || std::any_of(keys.remove.begin(), keys.remove.end(), [](bool b) { return b; });
    if (anyChange) {
        QString problem;
        // The keyring may take its time: it may ask for its own password first.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        SourceKeyStore::Outcome outcome = m_store.save(keys, false, &problem);
        QApplication::restoreOverrideCursor();
        if (outcome == SourceKeyStore::Outcome::NoKeyring) {
            const QString question = QStringLiteral(
                "Ключи не сохранены: %1.\n\nСохранить их в файле %2, который может прочитать "
                "только ваш пользователь? Это слабее связки ключей: ключи лежат в файле "
                "открытым текстом.")
                                         .arg(problem, KeyFile::path());
            if (Prompts::instance().ask(this, question, Prompts::Icon::Question,
                    int(Prompts::Button::Yes) | int(Prompts::Button::No), Prompts::Button::No)
                != Prompts::Button::Yes)
                return;
            QApplication::setOverrideCursor(Qt::WaitCursor);
            outcome = m_store.save(keys, true, &problem);
            QApplication::restoreOverrideCursor();
        }
        if (outcome != SourceKeyStore::Outcome::Saved) {
            Prompts::instance().message(this, QStringLiteral("Ключи не сохранены: %1").arg(problem));
            return;
        }
    }
    if (const QString problem = SourceChoiceSetting::save(choice()); !problem.isEmpty()) {
        Prompts::instance().message(this, problem);
        return;
    }
    QDialog::accept();
}
