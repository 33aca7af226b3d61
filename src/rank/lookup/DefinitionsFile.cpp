#include "rank/lookup/DefinitionsFile.h"

#include "net/Endpoints.h"
#include "platform/BoundedFile.h"
#include "platform/DottedVersion.h"
#include "rank/lookup/SearchRegion.h"
#include "rank/pattern/RegExpr.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <functional>

namespace {

// A site address that stands for any when a pattern with the site's placeholder is compiled.
constexpr char kSampleSite[] = "www.example.ru";

// Puts the values of one section into the definitions, each checked on its own; the checks that
// join several values (a link group against its pattern) follow once all are in.
class Applier {
public:
    Applier(const IniSection* section, const QString& name, bool needsAll,
        QList<DefinitionsProblem>& problems, QStringList& given)
        : m_section(section)
        , m_name(name)
        , m_needsAll(needsAll)
        , m_problems(problems)
        , m_given(given)
    {
    }

    void text(const QString& key, QString& target, const std::function<QString(const QString&)>& check,
        bool optional = false)
    {
        const IniValue* value = find(key, optional);
        if (!value)
            return;
        const QString reason = check(value->text);
        if (!reason.isEmpty())
            fail(key, reason, value->line);
        else
            target = value->text;
    }

    void bytes(const QString& key, QByteArray& target, const std::function<QString(const QString&)>& check,
        bool optional = false)
    {
        QString text = QString::fromUtf8(target);
        this->text(key, text, check, optional);
        target = text.toUtf8();
    }

    void number(const QString& key, int& target, int low, int high, bool optional = false)
    {
        const IniValue* value = find(key, optional);
        if (!value)
            return;
        static const QRegularExpression digits(QStringLiteral("^[0-9]{1,4}$"));
        const int number = value->text.toInt();
        if (!digits.match(value->text).hasMatch() || number < low || number > high)
            fail(key,
                QStringLiteral("«%1» — нужно целое число от %2 до %3")
                    .arg(shown(value->text))
                    .arg(low)
                    .arg(high),
                value->line);
        else
            target = number;
    }

    template <typename T>
    void choice(
        const QString& key, T& target, const std::vector<std::pair<QString, T>>& words, bool optional = false)
    {
        const IniValue* value = find(key, optional);
        if (!value)
            return;
        QStringList allowed;
        for (const auto& [word, meaning] : words) {
            if (word == value->text) {
                target = meaning;
                return;
            }
            allowed << word;
        }
        fail(key,
            QStringLiteral("«%1» — допустимы %2").arg(shown(value->text), allowed.join(QStringLiteral(", "))),
            value->line);
    }

    void markers(const QString& key, QList<BlockMarker>& target)
    {
        const IniValue* value = find(key, true);
        if (!value)
            return;
        QString problem;
        if (const std::optional<QList<BlockMarker>> parsed = parseBlockMarkers(value->text, &problem))
            target = *parsed;
        else
            fail(key, problem, value->line);
    }

    // The key a problem of the pattern's groups is charged to: the one the file gave.
    bool gave(const QString& key) const { return m_section && m_section->values.count(key); }
    int lineOf(const QString& key) const { return gave(key) ? m_section->values.at(key).line : 0; }
    void fail(const QString& key, const QString& reason, int line)
    {
        m_problems.append({ m_name, key, reason, line });
    }

    static QString shown(const QString& value) { return value.size() > 60 ? value.left(60) + "…" : value; }

private:
    const IniValue* find(const QString& key, bool optional = false)
    {
        if (m_section && m_section->values.count(key)) {
            m_given << m_name + "/" + key;
            return &m_section->values.at(key);
        }
        if (m_needsAll && !optional)
            fail(key, QStringLiteral("нет значения"), 0);
        return nullptr;
    }

    const IniSection* m_section;
    QString m_name;
    bool m_needsAll;
    QList<DefinitionsProblem>& m_problems;
    QStringList& m_given;
};

QString hostProblem(const QString& value)
{
    if (Endpoints::isHostAndPort(value))
        return {};
    // A host whose port alone is wrong is told so.
    static const QRegularExpression withPort(QStringLiteral("^(.+):([0-9]+)$"));
    if (const QRegularExpressionMatch match = withPort.match(value);
        match.hasMatch() && Endpoints::isHostAndPort(match.captured(1)))
        return QStringLiteral("порт %1 — нужен номер от 1 до 65535").arg(Applier::shown(match.captured(2)));
    return QStringLiteral("«%1» — нужно имя хоста или адрес, можно с портом").arg(Applier::shown(value));
}

// A request template goes into the request line as it stands: printable ASCII without spaces,
// each placeholder exactly once.
QString templateProblem(const QString& value, const QStringList& placeholders, bool path)
{
    if (path && !value.startsWith(QLatin1Char('/')))
        return QStringLiteral("должен начинаться с «/»");
    for (QChar c : value) {
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7F)
            return QStringLiteral("только печатные знаки ASCII без пробелов");
    }
    for (const QString& placeholder : placeholders) {
        const qsizetype count = value.count(placeholder);
        if (count != 1)
            return QStringLiteral("%1 должен встречаться ровно один раз").arg(placeholder);
    }
    return regionPlaceholderProblem(value);
}

// The region goes into the request line only.
QString formProblem(const QString& value)
{
    if (value.isEmpty())
        return {};
    for (const char* placeholder : kRegionPlaceholders) {
        if (value.contains(QLatin1StringView(placeholder)))
            return QStringLiteral("%1 подставляется только в Url").arg(QLatin1StringView(placeholder));
    }
    return templateProblem(value, {}, false);
}

QString patternProblem(const QString& value)
{
    if (value.isEmpty())
        return QStringLiteral("пустой шаблон");
    for (QChar c : value) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral("управляющий знак в шаблоне");
    }
    return {};
}

// The number of groups of a pattern, or nothing with a problem charged to its Pattern key.
std::optional<int> groupsOf(const QByteArray& pattern, Applier& apply)
{
    try {
        RegExpr compiled(QByteArray(pattern).replace("{site}", kSampleSite));
        return compiled.groupCount();
    } catch (const ERegExpr& e) {
        apply.fail(QStringLiteral("Pattern"),
            QStringLiteral("шаблон не компилируется: %1").arg(QString::fromUtf8(e.what())),
            apply.lineOf("Pattern"));
    }
    return std::nullopt;
}

void applyScheme(UrlScheme& scheme, Applier& apply)
{
    apply.choice<UrlScheme>(QStringLiteral("Scheme"), scheme,
        { { "http", UrlScheme::Http }, { "https", UrlScheme::Https } }, true);
}

void applyEngine(EngineDefinition& engine, Applier& apply)
{
    apply.text(QStringLiteral("Host"), engine.host, hostProblem);
    apply.bytes(QStringLiteral("Url"), engine.urlTemplate, [](const QString& v) {
        return templateProblem(v, { "{keyword}", "{page}" }, true);
    });
    apply.number(QStringLiteral("PageStep"), engine.pageStep, 1, 1000);
    apply.number(QStringLiteral("PageOffset"), engine.pageOffset, 0, 1000);
    apply.choice<KeywordEncoding>(QStringLiteral("KeywordEncoding"), engine.keywordEncoding,
        { { "utf8", KeywordEncoding::Utf8Percent }, { "ansi", KeywordEncoding::SpacesAsPercent20 } });
    apply.choice<HttpVersion>(QStringLiteral("HttpVersion"), engine.httpVersion,
        { { "1.1", HttpVersion::Http11 }, { "1.0", HttpVersion::Http10 } });
    apply.choice<PageRule>(QStringLiteral("PageRule"), engine.pageRule,
        { { "counted", PageRule::CountedToTheEnd },
            { "counted-short-page-ends", PageRule::CountedEndsOnShortPage },
            { "numbered", PageRule::EngineNumbered } });
    apply.number(QStringLiteral("PageSize"), engine.pageSize, 1, 100);
    apply.bytes(QStringLiteral("Pattern"), engine.resultPattern, patternProblem);
    apply.number(QStringLiteral("LinkGroup"), engine.linkGroup, 0, 9);
    applyScheme(engine.scheme, apply);
    apply.markers(QStringLiteral("Blocked"), engine.blocked);
}

// "page, yandex-search-api": known codes, each once, those the section can take, one API source.
QString sourceListProblem(const QString& value, const QList<SourceKind>& fitting, QList<SourceKind>* offered)
{
    QList<SourceKind> kinds;
    for (const QString& word : value.split(u',')) {
        const QString code = word.trimmed();
        const std::optional<SourceKind> kind = kSourceCodes.find(code.toUtf8());
        if (!kind)
            return QStringLiteral("неизвестный источник «%1»").arg(Applier::shown(code));
        if (!fitting.contains(*kind))
            return QStringLiteral("источник %1 здесь не подходит").arg(code);
        if (kinds.contains(*kind))
            return QStringLiteral("источник %1 назван дважды").arg(code);
        kinds << *kind;
    }
    if (std::count_if(kinds.begin(), kinds.end(), [](SourceKind kind) { return kind != SourceKind::Page; })
        > 1)
        return QStringLiteral("раздел может предлагать только один источник через API");
    *offered = kinds;
    return {};
}

QString namePathProblem(const QString& value)
{
    static const QRegularExpression path(QStringLiteral("^[A-Za-z0-9_@$-]+(\\.[A-Za-z0-9_@$-]+)*$"));
    if (value.size() > 100 || !path.match(value).hasMatch())
        return QStringLiteral("«%1» — нужны имена полей JSON через точку").arg(Applier::shown(value));
    return {};
}

QString headerNameProblem(const QString& value)
{
    static const QRegularExpression token(QStringLiteral("^[A-Za-z0-9-]{1,64}$"));
    static const QStringList reserved { "host", "content-type", "content-length", "cookie",
        "proxy-authorization", "connection", "expect" };
    if (!token.match(value).hasMatch() || reserved.contains(value.toLower()))
        return QStringLiteral("«%1» — нужно имя заголовка HTTP, не занятое программой")
            .arg(Applier::shown(value));
    return {};
}

QString plainTextProblem(const QString& value)
{
    if (value.isEmpty() || value.size() > 200)
        return QStringLiteral("нужен текст длиной от 1 до 200 знаков");
    return patternProblem(value);
}

QString operationsUrlProblem(const QString& value)
{
    if (const QString problem = apiUrlProblem(value); !problem.isEmpty())
        return problem;
    if (value.contains(u'{') || value.contains(u'?') || !value.endsWith(u'/'))
        return QStringLiteral("адрес должен кончаться на «/»: к нему добавляется номер операции");
    return {};
}

QString searchTypeProblem(const QString& value)
{
    static const QRegularExpression type(QStringLiteral("^SEARCH_TYPE_[A-Z]{2,3}$"));
    if (!type.match(value).hasMatch())
        return QStringLiteral("«%1» — нужен тип поиска вида SEARCH_TYPE_RU").arg(Applier::shown(value));
    return {};
}

// The placeholders an ApiUrl may hold: those of the SERP JSON API's template alone.
QString apiTemplateProblem(const ApiSourceDefinition& api)
{
    // An address no source offered uses is not read.
    if (!api.apiSource())
        return {};
    const QString url = QString::fromUtf8(api.url());
    const bool serp = api.apiSource() == SourceKind::SerpJson;
    if (serp && url.isEmpty())
        return QStringLiteral("источнику serp-json нужен ApiUrl");
    if (url.isEmpty())
        return {};
    static const QStringList placeholders { "{keyword}", "{start}", "{country}", "{language}", "{region}",
        "{key}" };
    QString rest = url;
    for (const QString& placeholder : placeholders) {
        const qsizetype count = url.count(placeholder);
        if (count > 1)
            return QStringLiteral("%1 может встречаться не больше одного раза").arg(placeholder);
        if (count && !serp)
            return QStringLiteral("%1 подставляется только в адрес источника serp-json").arg(placeholder);
        rest.remove(placeholder);
    }
    if (rest.contains(u'{') || rest.contains(u'}'))
        return QStringLiteral("неизвестная подстановка в фигурных скобках");
    if (serp && !url.contains(QLatin1String("{keyword}")))
        return QStringLiteral("в адресе serp-json нет {keyword}");
    if (serp && url.contains(QLatin1String("{key}")) == !api.apiKeyHeader.isEmpty())
        return QStringLiteral("ключ передаётся либо подстановкой {key}, либо заголовком ApiKeyHeader");
    return {};
}

void applyApi(ApiSourceDefinition& api, Applier& apply, const QList<SourceKind>& fitting)
{
    const auto sources
        = [&](const QString& value) { return sourceListProblem(value, fitting, &api.offered); };
    QString sourceText;
    apply.text(QStringLiteral("Source"), sourceText, sources, true);
    apply.bytes(QStringLiteral("ApiUrl"), api.apiUrl, apiUrlProblem, true);
    if (fitting.contains(SourceKind::YandexWordstatApi))
        return;
    apply.choice<ApiMode>(QStringLiteral("Mode"), api.mode,
        { { "immediate", ApiMode::Immediate }, { "deferred", ApiMode::Deferred } }, true);
    apply.bytes(QStringLiteral("OperationsUrl"), api.operationsUrl, operationsUrlProblem, true);
    apply.number(QStringLiteral("PollSeconds"), api.pollSeconds, 1, 60, true);
    apply.number(QStringLiteral("PollLimitSeconds"), api.pollLimitSeconds, 1, 3600, true);
    apply.bytes(QStringLiteral("SearchType"), api.searchType, searchTypeProblem, true);
    apply.number(QStringLiteral("GroupsOnPage"), api.groupsOnPage, 1, 100, true);
    apply.bytes(QStringLiteral("ApiKeyHeader"), api.apiKeyHeader, headerNameProblem, true);
    apply.text(QStringLiteral("ResultsPath"), api.resultsPath, namePathProblem, true);
    apply.text(QStringLiteral("PositionField"), api.positionField, namePathProblem, true);
    apply.text(QStringLiteral("LinkField"), api.linkField, namePathProblem, true);
    apply.text(QStringLiteral("ErrorField"), api.errorField, namePathProblem, true);
    apply.text(QStringLiteral("NoResultsText"), api.noResultsText, plainTextProblem, true);
}

// The checks that join the source to its address, once every key of the section is in.
void checkApiTemplate(const ApiSourceDefinition& api, Applier& apply,
    const QList<DefinitionsProblem>& problems, const QString& section)
{
    const bool refused = std::any_of(problems.begin(), problems.end(), [&](const DefinitionsProblem& p) {
        return p.section == section
            && (p.key == QLatin1String("ApiUrl") || p.key == QLatin1String("Source")
                || p.key == QLatin1String("ApiKeyHeader"));
    });
    if (refused)
        return;
    if (const QString problem = apiTemplateProblem(api); !problem.isEmpty()) {
        const QString key
            = apply.gave(QStringLiteral("ApiUrl")) ? QStringLiteral("ApiUrl") : QStringLiteral("Source");
        apply.fail(key, problem, apply.lineOf(key));
    }
}

void checkEngineGroups(const EngineDefinition& engine, Applier& apply)
{
    const std::optional<int> groups = groupsOf(engine.resultPattern, apply);
    if (!groups)
        return;
    if (engine.pageRule == PageRule::EngineNumbered) {
        if (*groups < 1)
            apply.fail(QStringLiteral("Pattern"),
                QStringLiteral("у шаблона нет группы 1 с номером записи, а PageRule=numbered"),
                apply.lineOf("Pattern"));
        return;
    }
    if (engine.linkGroup > *groups) {
        const bool given = apply.gave(QStringLiteral("LinkGroup"));
        const QString key = given ? QStringLiteral("LinkGroup") : QStringLiteral("Pattern");
        apply.fail(key,
            QStringLiteral("в шаблоне нет группы %1%2 (групп: %3)")
                .arg(engine.linkGroup)
                .arg(given ? QString() : QStringLiteral(", которую задаёт встроенный LinkGroup"))
                .arg(*groups),
            apply.lineOf(key));
    }
}

void applyService(ServiceDefinition& service, Applier& apply)
{
    const bool bySite = service.key != QLatin1String("Wordstat");
    const QString placeholder = bySite ? QStringLiteral("{site}") : QStringLiteral("{keyword}");
    apply.text(QStringLiteral("Host"), service.host, hostProblem);
    apply.bytes(QStringLiteral("Url"), service.urlTemplate,
        [](const QString& v) { return templateProblem(v, {}, true); });
    // An empty Form asks by GET; a PageRank service can only be asked by POST with the site in it.
    apply.bytes(QStringLiteral("Form"), service.form, formProblem, true);
    apply.bytes(QStringLiteral("Pattern"), service.pattern, patternProblem);
    applyScheme(service.scheme, apply);

    const qsizetype uses
        = service.urlTemplate.count(placeholder.toUtf8()) + service.form.count(placeholder.toUtf8());
    if (uses != 1) {
        const QString key
            = apply.gave(QStringLiteral("Form")) ? QStringLiteral("Form") : QStringLiteral("Url");
        apply.fail(key, QStringLiteral("%1 должен встречаться в Url и Form ровно один раз").arg(placeholder),
            apply.lineOf(key));
    }
    if (!bySite && !service.form.isEmpty())
        apply.fail(QStringLiteral("Form"), QStringLiteral("число запросов читается запросом GET, без формы"),
            apply.lineOf("Form"));
    if (const std::optional<int> groups = groupsOf(service.pattern, apply); groups && *groups < 1)
        apply.fail(QStringLiteral("Pattern"), QStringLiteral("у шаблона нет группы с числом"),
            apply.lineOf("Pattern"));
}

QString versionProblem(const QString& value)
{
    if (DottedVersion::isVersion(value))
        return {};
    return QStringLiteral("«%1» — нужна версия из чисел через точку, например 2026.12.7.1")
        .arg(Applier::shown(value));
}

EngineDefinitions emptyDefinitions()
{
    EngineDefinitions definitions;
    for (Engine engine : kEngines)
        definitions.engines.at(std::size_t(engine))
            = { engine, engineKey(engine), {}, HttpVersion::Http11, {}, 1, 0, KeywordEncoding::Utf8Percent,
                  {}, 0, PageRule::CountedToTheEnd, 1, UrlScheme::Http, {}, {} };
    definitions.wordstat.key = QStringLiteral("Wordstat");
    definitions.yandexCY.key = QStringLiteral("YandexCY");
    definitions.pageRank.key = QStringLiteral("PageRank");
    return definitions;
}

} // namespace

ParsedDefinitions DefinitionsFile::parse(const QByteArray& content, const EngineDefinitions* base)
{
    ParsedDefinitions parsed;
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(content);
    if (decoder.hasError() || content.contains('\0')) {
        parsed.problems.append({ {}, {}, QStringLiteral("текст не в кодировке UTF-8"), 0 });
        return parsed;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    const std::vector<IniSection> sections = splitDefinitionsIni(text, parsed.problems);
    const auto sectionNamed = [&sections](const QString& name) -> const IniSection* {
        for (const IniSection& section : sections) {
            if (section.name == name)
                return &section;
        }
        return nullptr;
    };

    EngineDefinitions definitions = base ? *base : emptyDefinitions();
    definitions.givenValues.clear();
    const bool needsAll = base == nullptr;
    {
        Applier apply(sectionNamed(kDefinitionsSection), kDefinitionsSection, needsAll, parsed.problems,
            definitions.givenValues);
        apply.text(QStringLiteral("Version"), definitions.version, versionProblem);
    }
    for (EngineDefinition& engine : definitions.engines) {
        Applier apply(
            sectionNamed(engine.key), engine.key, needsAll, parsed.problems, definitions.givenValues);
        applyEngine(engine, apply);
        // The groups are checked whatever else the section got wrong, unless the pattern itself
        // or the group number was refused already: one problem must not hide another.
        const auto refused = [&](const char* key) {
            return std::any_of(
                parsed.problems.begin(), parsed.problems.end(), [&](const DefinitionsProblem& p) {
                    return p.section == engine.key && p.key == QLatin1String(key);
                });
        };
        if (!refused("Pattern") && !refused("LinkGroup") && !refused("PageRule"))
            checkEngineGroups(engine, apply);
        applyApi(engine.api, apply, { SourceKind::Page, SourceKind::YandexSearchApi, SourceKind::SerpJson });
        checkApiTemplate(engine.api, apply, parsed.problems, engine.key);
    }
    for (ServiceDefinition* service :
        { &definitions.wordstat, &definitions.yandexCY, &definitions.pageRank }) {
        Applier apply(
            sectionNamed(service->key), service->key, needsAll, parsed.problems, definitions.givenValues);
        applyService(*service, apply);
        if (service == &definitions.wordstat) {
            applyApi(service->api, apply, { SourceKind::Page, SourceKind::YandexWordstatApi });
            checkApiTemplate(service->api, apply, parsed.problems, service->key);
        }
    }
    // Problems are told in the order of the file's lines, those of the whole file first.
    std::stable_sort(parsed.problems.begin(), parsed.problems.end(),
        [](const DefinitionsProblem& a, const DefinitionsProblem& b) { return a.line < b.line; });
    if (parsed.problems.isEmpty())
        parsed.definitions = std::move(definitions);
    return parsed;
}

ParsedDefinitions DefinitionsFile::read(
    const QString& path, DefinitionsSource source, const EngineDefinitions* base)
{
    QString reason;
    // The user's own file steers every request, as the settings do: it must be his and not
    // writable by others.
    const std::optional<QByteArray> content = source == DefinitionsSource::User
        ? BoundedFile::readOwn(path, kMaxBytes, &reason)
        : BoundedFile::read(path, kMaxBytes, &reason);
    if (!content) {
        ParsedDefinitions refused;
        refused.problems.append({ {}, {}, QStringLiteral("файл не прочитан: %1").arg(reason), 0 });
        return refused;
    }
    ParsedDefinitions parsed = parse(*content, base ? base : &EngineDefinitions::builtIn());
    if (parsed.definitions) {
        parsed.definitions->source = source;
        parsed.definitions->fileName = path;
        parsed.definitions->overDownloaded.clear();
    }
    return parsed;
}

QString DefinitionsFile::refusalText(const QString& fileName, const QList<DefinitionsProblem>& problems)
{
    QStringList lines { QStringLiteral("Описания поисковых систем из файла «%1» не приняты:").arg(fileName) };
    for (const DefinitionsProblem& problem : problems)
        lines << problem.text();
    return lines.join(QLatin1Char('\n'));
}
