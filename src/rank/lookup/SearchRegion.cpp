#include "rank/lookup/SearchRegion.h"

#include "rank/lookup/EngineDefinitions.h"

#include <QFile>
#include <QUrl>
#include <algorithm>
#include <stdexcept>

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiLetterOrDigit(QChar c)
{
    return isAsciiLetter(c) || (c >= u'0' && c <= u'9');
}

// The query parameter around the placeholder at `at` ("lr={region}") taken out with one separator,
// or nothing when the placeholder is not a parameter's whole value.
bool removeParameter(QByteArray& url, qsizetype at, qsizetype length)
{
    const qsizetype end = at + length;
    if (at == 0 || url[at - 1] != '=' || (end < url.size() && url[end] != '&'))
        return false;
    const qsizetype separator = std::max(url.lastIndexOf('&', at), url.lastIndexOf('?', at));
    if (separator < 0)
        return false;
    if (url[separator] == '&') {
        url.remove(separator, end - separator);
    } else if (end < url.size()) {
        url.remove(separator + 1, end + 1 - (separator + 1)); // "?lr={region}&q=" -> "?q="
    } else {
        url.truncate(separator); // "/path?lr={region}" -> "/path"
    }
    return true;
}

// The value is percent-encoded, so its bytes never hold a placeholder's braces.
QByteArray fillOne(QByteArray url, const QByteArray& placeholder, const QString& value)
{
    const QByteArray encoded = QUrl::toPercentEncoding(value);
    for (qsizetype at = url.indexOf(placeholder); at >= 0; at = url.indexOf(placeholder)) {
        if (!encoded.isEmpty())
            url.replace(at, placeholder.size(), encoded);
        else if (!removeParameter(url, at, placeholder.size()))
            url.remove(at, placeholder.size());
    }
    return url;
}

// An API source takes the Yandex region into its request body, and its address the region's
// placeholders like any Url.
void fillApi(ApiSourceDefinition& api, const SearchRegion& region)
{
    api.apiUrl = withRegion(api.apiUrl, region);
    api.yandexRegion = region.yandex;
}

void fillService(ServiceDefinition& service, const SearchRegion& region)
{
    service.urlTemplate = withRegion(service.urlTemplate, region);
    fillApi(service.api, region);
}

} // namespace

bool SearchRegion::isCountry(const QString& text)
{
    return text.size() == 2 && isAsciiLetter(text[0]) && isAsciiLetter(text[1]);
}

bool SearchRegion::isLanguage(const QString& text)
{
    const qsizetype dash = text.indexOf(u'-');
    const QStringView language = QStringView(text).left(dash < 0 ? text.size() : dash);
    if (language.size() < 2 || language.size() > 3)
        return false;
    for (QChar c : language)
        if (!isAsciiLetter(c))
            return false;
    if (dash < 0)
        return true;
    const QStringView subtag = QStringView(text).mid(dash + 1);
    if (subtag.size() < 2 || subtag.size() > 4)
        return false;
    for (QChar c : subtag)
        if (!isAsciiLetterOrDigit(c))
            return false;
    return true;
}

std::optional<SearchRegion> regionFromInput(
    const QString& yandex, const QString& country, const QString& language, QString* problem)
{
    SearchRegion region;
    const QString id = yandex.trimmed();
    if (!id.isEmpty()) {
        const bool digits = id.size() <= 9
            && std::all_of(id.begin(), id.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        if (!digits || !SearchRegion::isYandexId(id.toLongLong())) {
            *problem = QStringLiteral("Регион Яндекса — номер от 1 до %1 (например, 213 — Москва).")
                           .arg(SearchRegion::kMaxYandexId);
            return std::nullopt;
        }
        region.yandex = id.toInt();
    }
    region.googleCountry = country.trimmed().toLower();
    if (!region.googleCountry.isEmpty() && !SearchRegion::isCountry(region.googleCountry)) {
        *problem = QStringLiteral("Страна Google — две латинские буквы (например, ru).");
        return std::nullopt;
    }
    region.googleLanguage = language.trimmed();
    if (!region.googleLanguage.isEmpty() && !SearchRegion::isLanguage(region.googleLanguage)) {
        *problem = QStringLiteral("Язык Google — две или три латинские буквы, можно с уточнением через дефис "
                                  "(например, ru или pt-BR).");
        return std::nullopt;
    }
    return region;
}

QString regionPlaceholderProblem(const QString& urlTemplate)
{
    for (const char* placeholder : kRegionPlaceholders) {
        if (urlTemplate.count(QLatin1StringView(placeholder)) > 1)
            return QStringLiteral("%1 может встречаться не больше одного раза")
                .arg(QLatin1StringView(placeholder));
    }
    return {};
}

QByteArray withRegion(QByteArray urlTemplate, const SearchRegion& region)
{
    urlTemplate = fillOne(
        urlTemplate, kRegionPlaceholders[0], region.yandex != 0 ? QString::number(region.yandex) : QString());
    urlTemplate = fillOne(urlTemplate, kRegionPlaceholders[1], region.googleCountry);
    return fillOne(urlTemplate, kRegionPlaceholders[2], region.googleLanguage);
}

std::shared_ptr<const EngineDefinitions> definitionsForRegion(
    std::shared_ptr<const EngineDefinitions> definitions, const SearchRegion& region)
{
    auto filled = std::make_shared<EngineDefinitions>(*definitions);
    for (EngineDefinition& engine : filled->engines) {
        engine.urlTemplate = withRegion(engine.urlTemplate, region);
        fillApi(engine.api, region);
    }
    fillService(filled->wordstat, region);
    fillService(filled->yandexCY, region);
    fillService(filled->pageRank, region);
    return filled;
}

QString regionCode(const SearchRegion& region)
{
    QStringList parts;
    if (region.yandex != 0)
        parts << QStringLiteral("lr=%1").arg(region.yandex);
    if (!region.googleCountry.isEmpty())
        parts << QStringLiteral("gl=") + region.googleCountry;
    if (!region.googleLanguage.isEmpty())
        parts << QStringLiteral("hl=") + region.googleLanguage;
    return parts.join(u' ');
}

// The resource registers itself when the program starts; asking for it here makes it there also
// for a static initialiser that runs first.
static void registerRegionCatalog()
{
    Q_INIT_RESOURCE(region_catalog);
}

const QList<RegionEntry>& regionCatalog()
{
    static const QList<RegionEntry> catalog = [] {
        registerRegionCatalog();
        QFile resource(QStringLiteral(":/regions.txt"));
        if (!resource.open(QIODevice::ReadOnly))
            throw std::logic_error("The list of regions is missing from the program");
        QList<RegionEntry> entries;
        for (const QByteArray& raw : resource.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            const qsizetype space = line.indexOf(u' ');
            bool number = false;
            const int id = line.left(space).toInt(&number);
            if (space < 0 || !number || !SearchRegion::isYandexId(id))
                throw std::logic_error(
                    "A line of the list of regions is not \"ID NAME\": " + line.toStdString());
            entries.append({ id, line.mid(space + 1).trimmed() });
        }
        return entries;
    }();
    return catalog;
}

QString yandexRegionTitle(int id)
{
    for (const RegionEntry& entry : regionCatalog())
        if (entry.id == id)
            return QStringLiteral("%1 (%2)").arg(entry.name).arg(id);
    return QString::number(id);
}

namespace {

QString googleText(const SearchRegion& region)
{
    QStringList parts;
    if (!region.googleCountry.isEmpty())
        parts << QStringLiteral("gl=") + region.googleCountry;
    if (!region.googleLanguage.isEmpty())
        parts << QStringLiteral("hl=") + region.googleLanguage;
    return parts.isEmpty() ? QString() : QStringLiteral("Google: ") + parts.join(QStringLiteral(", "));
}

} // namespace

QString regionText(const SearchRegion& region)
{
    QStringList parts;
    if (region.yandex != 0)
        parts << yandexRegionTitle(region.yandex);
    if (const QString google = googleText(region); !google.isEmpty())
        parts << google;
    return parts.join(QStringLiteral(", "));
}

QString regionHeading(const SearchRegion& region)
{
    return region.yandex != 0 ? yandexRegionTitle(region.yandex) : googleText(region);
}
