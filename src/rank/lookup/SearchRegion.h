#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

class EngineDefinitions;

// Where the engines are asked from: the Yandex region (its "lr" id) and Google's country and
// interface language ("gl", "hl"). Each part may be left unset; a region with no part set is none.
struct SearchRegion {
    int yandex = 0; // 0: not set
    QString googleCountry; // "ru"; empty: not set
    QString googleLanguage; // "ru", "en", "pt-BR"; empty: not set

    bool isSet() const { return yandex != 0 || !googleCountry.isEmpty() || !googleLanguage.isEmpty(); }
    bool operator==(const SearchRegion&) const = default;

    static constexpr int kMaxYandexId = 999999999;
    static bool isYandexId(qint64 id) { return id >= 1 && id <= kMaxYandexId; }
    // Two ASCII letters.
    static bool isCountry(const QString& text);
    // Two or three ASCII letters, optionally "-" and two to four letters or digits.
    static bool isLanguage(const QString& text);
};

// The region typed by a person: the Yandex id in digits, the country and the language, each may be
// empty (blanks around them are dropped; the country is kept in lower case). Nothing, with the
// reason in Russian in problem, for a part that is not valid.
std::optional<SearchRegion> regionFromInput(
    const QString& yandex, const QString& country, const QString& language, QString* problem);

// The placeholders a definitions Url may hold for the region.
inline constexpr const char* kRegionPlaceholders[] = { "{region}", "{country}", "{language}" };

// Why a definitions template cannot hold the region's placeholders: one given more than once;
// empty when it can.
QString regionPlaceholderProblem(const QString& urlTemplate);

// The Url with the region's placeholders filled, each value percent-encoded. A placeholder whose
// part is not set takes its whole query parameter out ("&lr={region}" goes); elsewhere it is
// replaced by nothing. A template without the placeholders comes back unchanged.
QByteArray withRegion(QByteArray urlTemplate, const SearchRegion& region);

// The definitions with every engine's and service's Url filled for the region.
std::shared_ptr<const EngineDefinitions> definitionsForRegion(
    std::shared_ptr<const EngineDefinitions> definitions, const SearchRegion& region);

// The region as the history and its CSV keep it: "lr=213 gl=ru hl=ru", unset parts left out;
// empty for none.
QString regionCode(const SearchRegion& region);

// A Yandex region of the list the program ships.
struct RegionEntry {
    int id;
    QString name;
};
// The regions of the shipped list in its order.
const QList<RegionEntry>& regionCatalog();
// "Москва (213)" for an id of the list, "213" for any other.
QString yandexRegionTitle(int id);
// The region as a person reads it: "Москва (213)", with Google's parts when set
// ("Москва (213), Google: gl=ru, hl=ru"); empty for none.
QString regionText(const SearchRegion& region);
// The report's heading: "Москва (213)" for a Yandex region, else Google's parts; empty for none.
QString regionHeading(const SearchRegion& region);
