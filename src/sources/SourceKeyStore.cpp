#include "sources/SourceKeyStore.h"

#include "sources/KeyFile.h"

namespace {

std::size_t indexOf(KeyName name)
{
    return static_cast<std::size_t>(name);
}

void setProblem(QString* problem, const QString& text)
{
    if (problem)
        *problem = text;
}

} // namespace

SourceKeyStore::SourceKeyStore(std::chrono::milliseconds lookupTimeout, std::chrono::milliseconds keepTimeout)
    : m_lookup(lookupTimeout)
    , m_keep(keepTimeout)
{
}

FoundKeys SourceKeyStore::load() const
{
    FoundKeys found;
    std::optional<SourceKeys> file;
    bool fileRead = false;
    for (KeyName name : kKeyNames) {
        KeyPlace& place = found.places[indexOf(name)];
        QString& key = keyIn(found.keys, name);
        const QString variable = qEnvironmentVariable(keyVariable(name)).trimmed();
        if (!variable.isEmpty()) {
            if (const QString bad = keyProblem(name, variable); !bad.isEmpty()) {
                found.problems << QStringLiteral("Переменная окружения %1 не принята: %2")
                                      .arg(QLatin1String(keyVariable(name)), bad);
            } else {
                key = variable;
                place = KeyPlace::Environment;
                continue;
            }
        }
        // A keyring that did not answer once is not asked again, so that the wait is bounded once.
        if (found.keyringAnswered) {
            QString problem;
            if (auto stored = m_lookup.lookup(name, &problem);
                stored && keyProblem(name, *stored).isEmpty()) {
                key = *stored;
                place = KeyPlace::Keyring;
                continue;
            }
            if (!problem.isEmpty()) {
                found.keyringAnswered = false;
                found.keyringProblem = problem;
            }
        }
        if (!fileRead) {
            fileRead = true;
            QString problem;
            file = KeyFile::read(&problem);
            if (!file)
                found.problems << problem;
        }
        if (file && !keyIn(*file, name).isEmpty()) {
            key = keyIn(*file, name);
            place = KeyPlace::KeyFile;
        }
    }
    return found;
}

SourceKeyStore::Outcome SourceKeyStore::save(const KeyChanges& changes, bool toFile, QString* problem) const
{
    setProblem(problem, {});
    for (KeyName name : kKeyNames) {
        const auto& typed = changes.replace[indexOf(name)];
        if (typed) {
            if (const QString bad = keyProblem(name, *typed); !bad.isEmpty()) {
                setProblem(problem, bad);
                return Outcome::Failed;
            }
        }
    }
    QString fileProblem;
    const std::optional<SourceKeys> before = KeyFile::read(&fileProblem);
    SourceKeys inFile = before.value_or(SourceKeys {});

    bool keyringAnswers = true;
    QString silentKeyring;
    for (KeyName name : kKeyNames) {
        const std::size_t i = indexOf(name);
        QString keyringProblem;
        if (changes.replace[i]) {
            if (toFile) {
                keyIn(inFile, name) = *changes.replace[i];
                continue;
            }
            if (!m_keep.store(name, *changes.replace[i], &keyringProblem)) {
                setProblem(problem, keyringProblem);
                return Outcome::NoKeyring;
            }
            keyIn(inFile, name).clear();
        } else if (changes.remove[i]) {
            // A key forgotten from the file is gone even where no keyring answers; one that only
            // the keyring could hold is not said to be gone while the keyring does not answer.
            const bool inTheFile = !keyIn(inFile, name).isEmpty();
            if (keyringAnswers && !m_keep.clear(name, &keyringProblem)) {
                keyringAnswers = false;
                silentKeyring = keyringProblem;
            }
            if (!keyringAnswers && !inTheFile) {
                setProblem(problem, silentKeyring);
                return Outcome::Failed;
            }
            keyIn(inFile, name).clear();
        }
    }

    bool fileChanged = false;
    for (KeyName name : kKeyNames)
        fileChanged = fileChanged || keyIn(inFile, name) != keyIn(before.value_or(SourceKeys {}), name);
    if (!fileChanged)
        return Outcome::Saved;
    // A file that is refused is not written over: the keys it holds would be lost.
    if (!before) {
        setProblem(problem, fileProblem);
        return Outcome::Failed;
    }
    if (!KeyFile::write(inFile, problem))
        return Outcome::Failed;
    return Outcome::Saved;
}
