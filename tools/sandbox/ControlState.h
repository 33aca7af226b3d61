#pragma once

#include "Services.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QSet>
#include <QString>
#include <optional>

// Where the site stands in one engine's results: page index and 1-based entry on that page.
struct Placement {
    int page = -1; // below 0: the site is on no page
    int entry = 0;

    bool absent() const { return page < 0; }
    static Placement fromPosition(int position, int pageSize); // 1-based overall position, 0 = absent
};

struct Misbehaviour {
    // Captcha: a redirect to the engine's captcha page; JavaScriptWall: a page that asks for
    // JavaScript; TooManyRequests: 429 with Retry-After.
    // The API services' own: ApiError answers an error of the provider's (Yandex: an XML error code;
    // the others: an HTTP status), ApiLimit the daily limit, ApiDamage an answer that cannot be read.
    enum class Kind {
        Status,
        Redirect,
        Location200,
        Stall,
        Captcha,
        JavaScriptWall,
        TooManyRequests,
        ApiError,
        ApiLimit,
        ApiDamage,
    };
    enum class Damage { Base64, Xml, Json };
    Kind kind = Kind::Status;
    int status = 0; // Status: the HTTP status; ApiError: the provider's code
    QByteArray text; // ApiError: the error text instead of the provider's usual one
    Damage damage = Damage::Json;
    int remaining = -1; // requests still affected; -1 = every request until reset
};

struct ServiceOverrides {
    QList<Misbehaviour> misbehaviours; // the front one applies to the next request
    QMap<int, int> entries; // page index (-1: every page) -> entries on that page
    QMap<int, QByteArray> bodies; // page index (-1: every page) -> literal page
    QMap<QString, Placement> placements; // keyword ("*": every keyword)
    QMap<QString, QByteArray> siteValues; // keyword ("*": every keyword) -> value attribute text
    QList<QByteArray> cookies; // Set-Cookie values
    QList<QPair<QByteArray, QByteArray>> headers; // an empty value removes the header
    std::optional<qint64> headLength; // Content-Length announced by HEAD replies
    QSet<int> missingPages; // page indexes answered with 404

    std::optional<Placement> placement(const QString& keyword) const;
    std::optional<QByteArray> siteValue(const QString& keyword) const;
    std::optional<int> entriesOn(int page) const;
    std::optional<QByteArray> body(int page) const;
};

// Everything the control port can change. The command syntax is described in apply().
class ControlState {
public:
    struct Outcome {
        QString error; // empty when every command was accepted
        bool reset = false;
        bool clearLog = false;
    };

    explicit ControlState(QString startSite);

    Outcome apply(const QByteArray& commands);

    const ServiceOverrides& of(Service service) const { return m_services[static_cast<int>(service)]; }
    // With apiKinds false, an API misbehaviour at the front stays for a request that can carry it.
    std::optional<Misbehaviour> takeMisbehaviour(Service service, bool apiKinds = true);

    QString site() const { return m_site; }
    bool setSite(const QString& site); // without "http://" and one trailing "/"; false when empty

    std::optional<QByteArray> countText() const { return m_countText; }
    std::optional<QByteArray> cyText() const { return m_cyText; }
    std::optional<QByteArray> prText() const { return m_prText; }
    std::optional<QByteArray> updateVersion() const { return m_updateVersion; }
    // The markup of the Google.com and Google.ru result pages: 1 the usual one, 2 the changed one.
    int googleLayout() const { return m_googleLayout; }
    // The engine definitions published by a command (empty: none), instead of the start's.
    std::optional<QByteArray> definitions() const { return m_definitions; }
    // How many polls a new deferred search operation answers "not done" before its result.
    int slowPolls() const { return m_slowPolls; }
    // The Wordstat API's totalCount as a JSON number instead of the documented string.
    bool totalAsNumber() const { return m_totalAsNumber; }

private:
    QString applyApiLine(const QByteArray& name, QByteArray args);
    QString applyLine(const QByteArray& line, const QByteArray& rest, bool* consumedRest, Outcome* outcome);
    void resetAll();
    ServiceOverrides& overrides(Service service) { return m_services[static_cast<int>(service)]; }

    QString m_startSite;
    QString m_site;
    std::array<ServiceOverrides, kServiceCount> m_services;
    std::optional<QByteArray> m_countText;
    std::optional<QByteArray> m_cyText;
    std::optional<QByteArray> m_prText;
    int m_googleLayout = 1;
    std::optional<QByteArray> m_updateVersion;
    std::optional<QByteArray> m_definitions;
    int m_slowPolls = kDefaultSlowPolls;
    bool m_totalAsNumber = false;

public:
    static constexpr int kDefaultSlowPolls = 1;
};
