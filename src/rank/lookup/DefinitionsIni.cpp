#include "rank/lookup/DefinitionsIni.h"

#include "rank/lookup/Engine.h"

#include <array>

namespace {

// Plain literals: the built-in definitions may be read by a static initialiser of another file.
constexpr std::array<const char*, 12> kEngineKeys { "Host", "Url", "PageStep", "PageOffset",
    "KeywordEncoding", "HttpVersion", "PageRule", "PageSize", "Pattern", "LinkGroup", "Scheme", "Blocked" };
constexpr std::array<const char*, 5> kServiceKeys { "Host", "Url", "Form", "Pattern", "Scheme" };
// The keys of the result sources asked through an API: every engine section takes them.
constexpr std::array<const char*, 14> kApiKeys { "Source", "ApiUrl", "Mode", "OperationsUrl", "PollSeconds",
    "PollLimitSeconds", "SearchType", "GroupsOnPage", "ApiKeyHeader", "ResultsPath", "PositionField",
    "LinkField", "ErrorField", "NoResultsText" };
// [Wordstat] may take its count through the API.
constexpr std::array<const char*, 2> kWordstatApiKeys { "Source", "ApiUrl" };
constexpr std::array<const char*, 3> kServiceSections { "Wordstat", "YandexCY", "PageRank" };

template <std::size_t N> QStringList listOf(const std::array<const char*, N>& words)
{
    QStringList list;
    for (const char* word : words)
        list << QLatin1String(word);
    return list;
}

class Parser {
public:
    explicit Parser(QList<DefinitionsProblem>& problems)
        : m_problems(problems)
    {
    }

    // Splits the text into sections; unknown sections and keys, repeated keys and malformed lines
    // are problems.
    std::vector<IniSection> split(const QString& text)
    {
        std::vector<IniSection> sections;
        IniSection* current = nullptr;
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            const int line = i + 1;
            const QString trimmed = lines[i].trimmed();
            if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';'))
                || trimmed.startsWith(QLatin1Char('#')))
                continue;
            if (trimmed.startsWith(QLatin1Char('['))) {
                current = openSection(sections, trimmed, line);
                continue;
            }
            const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
            if (eq <= 0) {
                problem(current ? current->name : QString(), {},
                    QStringLiteral("ожидается [раздел] или ключ=значение"), line);
                continue;
            }
            const QString key = trimmed.left(eq).trimmed();
            if (!current) {
                if (!m_inUnknownSection)
                    problem({}, key, QStringLiteral("ключ стоит до первого раздела"), line);
                continue;
            }
            addValue(*current, key, trimmed.mid(eq + 1).trimmed(), line);
        }
        return sections;
    }

private:
    IniSection* openSection(std::vector<IniSection>& sections, const QString& header, int line)
    {
        m_inUnknownSection = true;
        if (!header.endsWith(QLatin1Char(']'))) {
            problem({}, {}, QStringLiteral("заголовок раздела без «]»"), line);
            return nullptr;
        }
        const QString name = canonicalSection(header.mid(1, header.size() - 2).trimmed());
        if (name.isEmpty()) {
            problem(
                header.mid(1, header.size() - 2).trimmed(), {}, QStringLiteral("неизвестный раздел"), line);
            return nullptr;
        }
        for (const IniSection& section : sections) {
            if (section.name == name) {
                problem(name, {}, QStringLiteral("раздел задан дважды"), line);
                return nullptr;
            }
        }
        m_inUnknownSection = false;
        sections.push_back({ name, {}, {} });
        return &sections.back();
    }

    void addValue(IniSection& section, const QString& written, const QString& value, int line)
    {
        const QString key = canonicalKey(section.name, written);
        if (key.isEmpty()) {
            problem(section.name, written, QStringLiteral("неизвестный ключ"), line);
            return;
        }
        if (section.values.count(key)) {
            problem(section.name, key, QStringLiteral("ключ задан дважды"), line);
            return;
        }
        section.values[key] = { value, line };
        section.order << key;
    }

    static QString canonicalSection(const QString& name)
    {
        QStringList known = engineKeysInOrder();
        known << listOf(kServiceSections) << kDefinitionsSection;
        for (const QString& candidate : known) {
            if (candidate.compare(name, Qt::CaseInsensitive) == 0)
                return candidate;
        }
        return {};
    }

    static QString canonicalKey(const QString& section, const QString& key)
    {
        QStringList known;
        if (section == kDefinitionsSection)
            known << QStringLiteral("Version");
        else if (listOf(kServiceSections).contains(section))
            known = listOf(kServiceKeys);
        else
            known = listOf(kEngineKeys) + listOf(kApiKeys);
        if (section == QLatin1String("Wordstat"))
            known << listOf(kWordstatApiKeys);
        for (const QString& candidate : known) {
            if (candidate.compare(key, Qt::CaseInsensitive) == 0)
                return candidate;
        }
        return {};
    }

    static QStringList engineKeysInOrder()
    {
        QStringList keys;
        for (Engine engine : kEngines)
            keys << engineKey(engine);
        return keys;
    }

    void problem(const QString& section, const QString& key, const QString& reason, int line)
    {
        m_problems.append({ section, key, reason, line });
    }

    QList<DefinitionsProblem>& m_problems;
    bool m_inUnknownSection = false;
};

} // namespace

QString DefinitionsProblem::text() const
{
    QString place;
    if (!section.isEmpty())
        place = "[" + section + "]" + (key.isEmpty() ? QString() : " " + key);
    else if (!key.isEmpty())
        place = key;
    if (line > 0)
        place = place.isEmpty() ? QStringLiteral("строка %1").arg(line)
                                : QStringLiteral("%1 (строка %2)").arg(place).arg(line);
    return place.isEmpty() ? reason : place + ": " + reason;
}

std::vector<IniSection> splitDefinitionsIni(const QString& text, QList<DefinitionsProblem>& problems)
{
    return Parser(problems).split(text);
}
